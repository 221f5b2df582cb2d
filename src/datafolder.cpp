#include "datafolder.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace datafolder {

namespace {
// The system's reason, in Czech for the reasons a clerk is likely to meet.
QString reason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("chybí oprávnění");
    case ENOENT:
        return QStringLiteral("nadřazená složka neexistuje");
    case ENOTDIR:
        return QStringLiteral("část cesty není složka");
    case EROFS:
        return QStringLiteral("disk je jen pro čtení");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("na disku není místo");
    case ENAMETOOLONG:
        return QStringLiteral("název je příliš dlouhý");
    case EEXIST: // the name is taken by a link that leads nowhere
        return QStringLiteral("je to odkaz na neexistující místo");
    case ELOOP:
        return QStringLiteral("příliš mnoho symbolických odkazů");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
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

} // namespace datafolder
