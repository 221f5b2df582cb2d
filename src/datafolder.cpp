// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "datafolder.h"

#include "platform.h"
#include "storage.h"

#include <cerrno>

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
    const std::optional<platform::FileStatus> info = platform::statPath(path);
    if (!info) {
        if (errno != ENOENT)
            return QStringLiteral("Do složky s daty „%1“ nelze vstoupit: %2.").arg(path, reason(errno));
        // Only the folder itself: a mistyped parent is reported, not created.
        if (const int error = platform::makeFolder(path))
            return QStringLiteral("Složku s daty „%1“ nelze vytvořit: %2.").arg(path, reason(error));
    } else if (!info->isFolder) {
        return QStringLiteral("„%1“ není složka, do které lze ukládat data.").arg(path);
    }
    if (const int error = platform::enterFolder(path))
        return QStringLiteral("Do složky s daty „%1“ nelze vstoupit: %2.").arg(path, reason(error));
    return QString();
}

QString homeFolder()
{
    return platform::homeFolder() + QStringLiteral("/Trakvid");
}

QString checkFiles(const QString &shownPath, const QStringList &fileNames)
{
    QStringList missing, readOnly;
    int readOnlyError = 0;
    for (const QString &name : fileNames) {
        const std::optional<platform::FileStatus> info = platform::statPath(name);
        if (!info) {
            if (errno == ENOENT)
                missing << name;
            continue; // anything else the splash reports when it reads the file
        }
        // A folder at a file's name is reported by the splash and left alone.
        if (const int error = info->isFolder ? 0 : platform::accessError(name, platform::Write)) {
            readOnly << name;
            readOnlyError = error;
        }
    }
    const int folderError =
        missing.isEmpty() ? 0 : platform::accessError(QStringLiteral("."), platform::Write | platform::Enter);
    if (folderError)
        return QStringLiteral("Ve složce s daty „%1“ nelze vytvořit %2: %3.")
            .arg(shownPath, fileList(missing, QStringLiteral("soubor"), QStringLiteral("soubory")),
                 storage::reason(folderError));
    if (!readOnly.isEmpty())
        return QStringLiteral("Do %1 ve složce s daty „%2“ nelze zapisovat: %3.")
            .arg(fileList(readOnly, QStringLiteral("souboru"), QStringLiteral("souborů")), shownPath,
                 storage::reason(readOnlyError));
    return QString();
}

} // namespace datafolder
