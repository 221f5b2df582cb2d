// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The system calls of Linux and other POSIX systems.
#include "platform.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <cstdio>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace platform {

namespace {
QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

FileStatus statusOf(const struct stat &st)
{
    FileStatus status;
    status.isFolder = S_ISDIR(st.st_mode);
    status.isRegular = S_ISREG(st.st_mode);
    status.device = quint64(st.st_dev);
    status.inode = quint64(st.st_ino);
    status.size = qint64(st.st_size);
    status.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    status.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    status.links = quint64(st.st_nlink);
    status.owner = uint(st.st_uid);
    status.group = uint(st.st_gid);
    status.mode = uint(st.st_mode & 07777);
    return status;
}
} // namespace

std::optional<FileStatus> statPath(const QString &path)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return std::nullopt;
    return statusOf(st);
}

std::optional<FileStatus> statFile(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return statusOf(st);
}

int accessError(const QString &path, int uses)
{
    const int mode = (uses & Read ? R_OK : 0) | (uses & Write ? W_OK : 0) | (uses & Enter ? X_OK : 0);
    return ::access(native(path).constData(), mode) == 0 ? 0 : errno;
}

int openReadOnly(const QString &path)
{
    // Never waits for a writer: something else may stand at the name by now.
    return ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

int openWriteOnly(const QString &path)
{
    return ::open(native(path).constData(), O_WRONLY | O_CLOEXEC);
}

int createNew(const QString &path, uint mode)
{
    return ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode_t(mode));
}

int createUnnamed(const QString &folder)
{
    return ::open(native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

void closeFile(int fd)
{
    ::close(fd);
}

qint64 readAt(int fd, char *data, qint64 size, qint64 offset)
{
    for (;;) {
        const ssize_t n = ::pread(fd, data, size_t(size), off_t(offset));
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

bool writeAll(int fd, const char *data, qint64 size, qint64 offset)
{
    while (size > 0) {
        const size_t chunk = size_t(std::min<qint64>(size, 1 << 30));
        const ssize_t n = offset < 0 ? ::write(fd, data, chunk) : ::pwrite(fd, data, chunk, off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
        if (offset >= 0)
            offset += n;
    }
    return true;
}

bool writeAll(int fd, const std::vector<Piece> &pieces, qint64 offset)
{
    std::vector<iovec> left(pieces.size());
    std::transform(pieces.begin(), pieces.end(), left.begin(),
                   [](const Piece &p) { return iovec{const_cast<char *>(p.data), size_t(p.size)}; });
    iovec *at = left.data();
    int count = int(left.size());
    while (count > 0) {
        const ssize_t written = offset < 0 ? ::writev(fd, at, std::min(count, IOV_MAX))
                                           : ::pwritev(fd, at, std::min(count, IOV_MAX), off_t(offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (offset >= 0)
            offset += written;
        // Past the pieces written whole, and into one written in part.
        size_t done = size_t(written);
        while (count > 0 && done >= at->iov_len) {
            done -= at->iov_len;
            ++at;
            --count;
        }
        if (count > 0) {
            at->iov_base = static_cast<char *>(at->iov_base) + done;
            at->iov_len -= done;
        }
    }
    return true;
}

bool truncate(int fd, qint64 size)
{
    return ::ftruncate(fd, off_t(size)) == 0;
}

bool syncFile(int fd)
{
    // The data and what is needed to read it back (the size); not the times.
    return ::fdatasync(fd) == 0;
}

bool linkUnnamed(int fd, const QString &path)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(path).constData(), AT_SYMLINK_FOLLOW) == 0;
}

bool lockFile(int fd)
{
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

bool replaceFile(const QString &from, const QString &to)
{
    return ::rename(native(from).constData(), native(to).constData()) == 0;
}

int holdReplaced(const QString &path)
{
    return openReadOnly(path);
}

bool moveNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = native(from);
    const QByteArray target = native(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system that cannot rename so: a second name, then the first one gone.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

bool syncFolder(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems have nothing to sync for a folder, and say so.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

bool removeFile(const QString &path)
{
    return ::unlink(native(path).constData()) == 0;
}

bool takeOwnership(int fd, const FileStatus &old)
{
    struct stat created;
    const bool owned = (::fstat(fd, &created) == 0 && created.st_uid == uid_t(old.owner)
                        && created.st_gid == gid_t(old.group))
                       || ::fchown(fd, uid_t(old.owner), gid_t(old.group)) == 0;
    return owned && ::fchmod(fd, mode_t(old.mode)) == 0;
}

int makeFolder(const QString &path)
{
    return ::mkdir(native(path).constData(), 0777) == 0 ? 0 : errno;
}

int enterFolder(const QString &path)
{
    return ::chdir(native(path).constData()) == 0 ? 0 : errno;
}

QString homeFolder()
{
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        if (const passwd *entry = ::getpwuid(::getuid()))
            home = QFile::decodeName(entry->pw_dir);
    return home;
}

QString cacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

bool hasScreen(const QByteArray &windowSystems, const QByteArray &x11Display)
{
    const bool x11 = !qgetenv("DISPLAY").isEmpty() || !x11Display.isEmpty();
    const bool wayland = !qgetenv("WAYLAND_DISPLAY").isEmpty() || !qgetenv("WAYLAND_SOCKET").isEmpty();
    if (windowSystems.isEmpty())
        return x11 || wayland;
    // "wayland;xcb" tries each in turn; "xcb:option" carries options.
    for (const QByteArray &entry : windowSystems.split(';')) {
        const QByteArray name = entry.split(':').first().trimmed();
        if (name == "xcb") {
            if (x11)
                return true;
        } else if (name.startsWith("wayland")) {
            // Without WAYLAND_DISPLAY a Wayland client tries the usual socket.
            const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
            if (wayland || (!runtime.isEmpty() && QFile::exists(QFile::decodeName(runtime + "/wayland-0"))))
                return true;
        } else if (!name.isEmpty()) {
            return true;
        }
    }
    return false;
}

QStringList arguments(int argc, char *argv[])
{
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words << QFile::decodeName(argv[i]);
    return words;
}

void attachConsole()
{
    // A program started from a terminal has it as its output already.
}

QString errorName(int error)
{
    const char *name = error > 0 ? strerrorname_np(error) : nullptr;
    return name ? QLatin1String(name) : QString();
}

void prefault(void *data, qsizetype size)
{
#ifdef MADV_POPULATE_WRITE
    constexpr quintptr kPage = 4096;
    // Only whole pages of the block: the pages at its ends may hold others'.
    const quintptr begin = (quintptr(data) + kPage - 1) & ~(kPage - 1);
    const quintptr end = (quintptr(data) + quintptr(size)) & ~(kPage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE); // refused is fine
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

void tuneAllocator()
{
#ifdef __GLIBC__
    // A database of a million lines is a million small blocks. Freed into
    // glibc's fast bins, they would be sorted out in one long pause at the
    // next big allocation, which is the next load of a database.
    mallopt(M_MXFAST, 0);
    // A block of a megabyte or more (a database's buffer, a listing) is
    // given back to the system when it is freed. By default glibc raises
    // this bound to the largest block freed so far, and the next listing's
    // growing blocks then stay in the heap after they are freed.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
#endif
}

} // namespace platform
