// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "datafolder.h"

#include "storage.h"

#include <QFile>
#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace datafolder {

namespace {
// The reason a folder could not be made or entered; the rest as for files.
QString reason(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("nadřazená složka neexistuje");
    case EEXIST: // the name is taken by a link that leads nowhere
        return QStringLiteral("je to odkaz na neexistující místo");
    default:
        return storage::reason(error);
    }
}

// "soubor vozy.txt" or "soubory lokomotivy.txt, vozy.txt".
QString fileList(const QStringList &names, const QString &one, const QString &more)
{
    return (names.size() == 1 ? one : more) + QLatin1Char(' ') + names.join(QStringLiteral(", "));
}
} // namespace

QString enter(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("Složka s daty nebyla zadána (prázdný název).");
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        if (errno != ENOENT)
            return QStringLiteral("Do složky s daty „%1“ nelze vstoupit: %2.").arg(path, reason(errno));
        // Only the folder itself: a mistyped parent is reported, not created.
        if (::mkdir(name.constData(), 0777) != 0)
            return QStringLiteral("Složku s daty „%1“ nelze vytvořit: %2.").arg(path, reason(errno));
    } else if (!S_ISDIR(info.st_mode)) {
        return QStringLiteral("„%1“ není složka, do které lze ukládat data.").arg(path);
    }
    if (::chdir(name.constData()) != 0)
        return QStringLiteral("Do složky s daty „%1“ nelze vstoupit: %2.").arg(path, reason(errno));
    return QString();
}

QString homeFolder()
{
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        if (const passwd *entry = ::getpwuid(::getuid()))
            home = QFile::decodeName(entry->pw_dir);
    return home + QStringLiteral("/Trakvid");
}

QString checkFiles(const QString &shownPath, const QStringList &fileNames)
{
    QStringList missing, readOnly;
    int readOnlyError = 0;
    for (const QString &name : fileNames) {
        const QByteArray path = QFile::encodeName(name);
        struct stat info {};
        if (::stat(path.constData(), &info) != 0) {
            if (errno == ENOENT)
                missing << name;
            continue; // anything else the splash reports when it reads the file
        }
        // A folder at a file's name is reported by the splash and left alone.
        if (!S_ISDIR(info.st_mode) && ::access(path.constData(), W_OK) != 0) {
            readOnly << name;
            readOnlyError = errno;
        }
    }
    if (!missing.isEmpty() && ::access(".", W_OK | X_OK) != 0)
        return QStringLiteral("Ve složce s daty „%1“ nelze vytvořit %2: %3.")
            .arg(shownPath, fileList(missing, QStringLiteral("soubor"), QStringLiteral("soubory")),
                 storage::reason(errno));
    if (!readOnly.isEmpty())
        return QStringLiteral("Do %1 ve složce s daty „%2“ nelze zapisovat: %3.")
            .arg(fileList(readOnly, QStringLiteral("souboru"), QStringLiteral("souborů")), shownPath,
                 storage::reason(readOnlyError));
    return QString();
}

} // namespace datafolder
