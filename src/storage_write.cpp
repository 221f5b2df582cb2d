// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Writing the data files so that they stay whole and stay the clerks' own,
// and the stamps that tell a write by another program.
#include "storage.h"
#include "storage_internal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace storage {

namespace {

qint64 nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A later write may leave the times of a file whose time is this near now.
bool isRecent(const FileStamp &stamp)
{
    return nowNs() - stamp.modifiedNs < kRecentNs;
}

QByteArray randomSuffix()
{
    return QByteArray::number(QRandomGenerator::global()->generate64(), 36);
}

// A new file of a name not taken yet: `base`, a dot and a random part.
int createUnique(const QByteArray &base, QByteArray &name, mode_t mode)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + '.' + randomSuffix();
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes all of `data`, at `offset` when it is not negative; false with errno.
bool writeAll(int fd, const char *data, qsizetype size, qint64 offset = -1)
{
    while (size > 0) {
        const size_t chunk = size_t(std::min<qsizetype>(size, 1 << 30));
        const ssize_t n = offset < 0 ? ::write(fd, data, chunk) : ::pwrite(fd, data, chunk, offset);
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

// Copies all that `from` holds to the start of `to`; false with errno.
bool copyAll(int from, int to)
{
    QByteArray buffer(1024 * 1024, Qt::Uninitialized);
    qint64 offset = 0;
    for (;;) {
        const ssize_t n = ::pread(from, buffer.data(), size_t(buffer.size()), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!writeAll(to, buffer.constData(), n, offset))
            return false;
        offset += n;
    }
}

// Hands the whole file to `piece` in pieces of up to 1 MB, as long as it
// returns true. False when the file cannot be read or `piece` stopped.
template <typename PieceFn>
bool readFile(const QString &fileName, PieceFn &&piece)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    QByteArray buffer(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(buffer.data(), buffer.size());
        if (n <= 0)
            return n == 0;
        if (!piece(QByteArrayView(buffer.constData(), n)))
            return false;
    }
}

std::optional<quint64> hashFile(const QString &fileName)
{
    ContentHash hash;
    if (!readFile(fileName, [&](QByteArrayView piece) {
            hash.add(piece);
            return true;
        }))
        return std::nullopt;
    return hash.value();
}

// Whether the file holds exactly `content`; a file that cannot be read does not.
bool sameContent(const QString &fileName, QByteArrayView content)
{
    qsizetype at = 0;
    const bool same = readFile(fileName, [&](QByteArrayView piece) {
        if (piece.size() > content.size() - at || std::memcmp(piece.data(), content.data() + at, size_t(piece.size())) != 0)
            return false;
        at += piece.size();
        return true;
    });
    return same && at == content.size();
}

std::optional<FileStamp> statPath(const QString &fileName)
{
    struct stat st;
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return std::nullopt;
    return internal::statStamp(st);
}

} // namespace

// ---- stamps -------------------------------------------------------------------

FileStamp internal::statStamp(const struct stat &st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = quint64(st.st_dev);
    stamp.inode = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

void internal::markRecent(FileStamp &stamp)
{
    stamp.hashed = stamp.exists && isRecent(stamp);
    stamp.hash = 0;
}

FileStamp stamp(const QString &fileName)
{
    const std::optional<FileStamp> now = statPath(fileName);
    if (!now)
        return {};
    FileStamp result = *now;
    if (isRecent(result)) {
        const std::optional<quint64> hash = hashFile(fileName);
        result.hashed = hash.has_value();
        result.hash = hash.value_or(0);
    }
    return result;
}

bool writtenSince(const QString &fileName, const FileStamp &known, std::optional<QByteArrayView> content)
{
    std::optional<FileStamp> now = statPath(fileName);
    if (!now)
        return false;
    if (!known.exists)
        return true;
    now->hashed = known.hashed;
    now->hash = known.hash;
    if (*now != known)
        return true;
    // The times cannot tell: the content does.
    if (!known.hashed)
        return false;
    return content ? !sameContent(fileName, *content) : hashFile(fileName) != known.hash;
}

QString cacheCopyFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/trakvid");
}

// ---- ContentHash ----------------------------------------------------------------

// Eight independent lanes of one multiply per eight bytes: the hash of a big
// file costs little beside reading it. A differing byte changes its lane for
// good (each round is a bijection of the lane), and the lanes and the length
// are mixed at the end.
namespace {
constexpr quint64 kP1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 kP2 = 0xC2B2AE3D27D4EB4FULL;
constexpr quint64 kP3 = 0x165667B19E3779F9ULL;

quint64 read64(const char *p)
{
    quint64 v;
    std::memcpy(&v, p, 8);
    return v;
}

quint64 mix(quint64 h)
{
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}
} // namespace

void ContentHash::blocks(const char *p, qsizetype count)
{
    quint64 v[8];
    std::memcpy(v, m_lanes, sizeof v);
    for (; count > 0; --count, p += 64)
        for (int i = 0; i < 8; ++i)
            v[i] = std::rotl(v[i] ^ read64(p + 8 * i), 27) * kP1;
    std::memcpy(m_lanes, v, sizeof v);
}

void ContentHash::add(QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    m_length += quint64(n);
    if (m_tailSize > 0) {
        const qsizetype taken = std::min<qsizetype>(64 - m_tailSize, n);
        std::memcpy(m_tail + m_tailSize, p, size_t(taken));
        m_tailSize += taken;
        p += taken;
        n -= taken;
        if (m_tailSize < 64)
            return;
        blocks(m_tail, 1);
        m_tailSize = 0;
    }
    blocks(p, n / 64);
    p += n / 64 * 64;
    n %= 64;
    if (n > 0)
        std::memcpy(m_tail, p, size_t(n));
    m_tailSize = n;
}

quint64 ContentHash::value() const
{
    quint64 h = m_length * kP3;
    for (quint64 lane : m_lanes)
        h = std::rotl(h ^ mix(lane), 31) * kP1;
    for (qsizetype i = 0; i < m_tailSize; ++i)
        h = std::rotl(h ^ uchar(m_tail[i]), 11) * kP1;
    return mix(h);
}

// ---- Writer ---------------------------------------------------------------------

namespace internal {

Writer::Writer(const QString &fileName) : m_fileName(fileName) {}

Writer::~Writer()
{
    cancel();
}

SaveResult Writer::open()
{
    // A symbolic link stays a link: its target is written.
    const QFileInfo info(m_fileName);
    m_path = QFile::encodeName(info.isSymLink() && info.exists() ? info.canonicalFilePath() : m_fileName);
    struct stat st;
    const bool exists = ::stat(m_path.constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return failure(EISDIR);
    // A file made read-only stays unwritten.
    if (exists && ::access(m_path.constData(), W_OK) != 0)
        return failure(errno);
    m_regular = !exists || S_ISREG(st.st_mode);
    SaveResult opened;
    opened.ok = true;
    // A second name of the same file would be cut off by a rename.
    if (m_regular && (!exists || st.st_nlink == 1)) {
        // Unnamed until it is complete, so that a killed save leaves nothing
        // beside the file; a file system without unnamed files gets a named one.
        const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(m_path)).absolutePath());
        m_fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        m_sibling = m_fd >= 0;
        if (!m_sibling && errno != EACCES && errno != EPERM && errno != EROFS && errno != ENOSPC
            && errno != EDQUOT) {
            m_fd = createUnique(m_path, m_temp, 0666);
            m_sibling = m_fd >= 0;
        }
        if (m_fd >= 0) {
            struct stat created;
            const bool owned = !exists
                               || (::fstat(m_fd, &created) == 0 && created.st_uid == st.st_uid
                                   && created.st_gid == st.st_gid)
                               || ::fchown(m_fd, st.st_uid, st.st_gid) == 0;
            if (owned && (!exists || ::fchmod(m_fd, st.st_mode & 07777) == 0))
                return opened;
            // Put in its place, the new file would not be the clerks' own:
            // the old one is written instead.
            ::close(m_fd);
            m_fd = -1;
            m_sibling = false;
            if (!m_temp.isEmpty())
                ::unlink(m_temp.constData());
        } else if (!exists || (errno != EACCES && errno != EPERM)) {
            const int error = errno;
            m_temp.clear();
            return failure(error);
        }
        m_temp.clear();
    }
    int error = 0;
    if (!openInPlace(error))
        return failure(error);
    return opened;
}

bool Writer::openInPlace(int &error)
{
    m_fd = ::open(m_path.constData(), O_WRONLY | O_CLOEXEC);
    if (m_fd < 0) {
        error = errno;
        return false;
    }
    if (!m_regular)
        return true;
    // The old bytes go to the cache copy, on the disk, first: a crash while
    // the file is half written leaves them there.
    const QString folder = cacheCopyFolder();
    QDir().mkpath(folder);
    const int from = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC);
    const int to = from < 0 ? -1
                            : createUnique(QFile::encodeName(folder + QLatin1Char('/') + QFileInfo(m_fileName).fileName()),
                                           m_copy, 0600);
    const bool copied = to >= 0 && copyAll(from, to) && ::fsync(to) == 0;
    error = errno;
    if (from >= 0)
        ::close(from);
    if (to >= 0)
        ::close(to);
    if (!copied) {
        if (to >= 0)
            ::unlink(m_copy.constData());
        m_copy.clear();
        ::close(m_fd);
        m_fd = -1;
        m_copyFailed = true;
        return false;
    }
    return true;
}

bool Writer::write(const char *data, qsizetype size)
{
    if (m_error)
        return false;
    const bool inPlace = !m_sibling && m_regular;
    if (!writeAll(m_fd, data, size, inPlace ? m_written : -1)) {
        m_error = errno;
        return false;
    }
    m_hash.add(QByteArrayView(data, size));
    m_written += size;
    return true;
}

SaveResult Writer::commit(bool written)
{
    if (m_fd < 0)
        return failure(EBADF);
    if (!written || m_error)
        return failure(m_error ? m_error : EIO);
    const bool inPlace = !m_sibling;
    if (m_regular && ((inPlace && ::ftruncate(m_fd, m_written) != 0) || ::fdatasync(m_fd) != 0))
        return failure(errno);
    SaveResult result;
    result.ok = true;
    struct stat st;
    if (m_regular && ::fstat(m_fd, &st) == 0) {
        result.stamp = statStamp(st);
        if (isRecent(result.stamp)) {
            result.stamp.hashed = true;
            result.stamp.hash = m_hash.value();
        }
    }
    if (!inPlace) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        auto link = [&](const QByteArray &name) {
            return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0;
        };
        // A new file is simply given its name; an old one is replaced by a
        // rename, and a kill between naming and renaming leaves that name.
        if (m_temp.isEmpty() && link(m_path)) {
            m_temp = m_path;
        } else if (m_temp.isEmpty()) {
            int error = errno;
            for (int attempt = 0; attempt < 100 && (error == EEXIST); ++attempt) {
                m_temp = m_path + '.' + randomSuffix();
                error = link(m_temp) ? 0 : errno;
            }
            if (error != 0) {
                m_temp.clear();
                return failure(error);
            }
        }
        // The old file's blocks are given back when its last name and handle
        // go: for a big file that takes the file system tens of milliseconds,
        // done by a thread of its own, not in the rename the clerk waits for.
        const int old = m_temp != m_path ? ::open(m_path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
        if (m_temp != m_path && ::rename(m_temp.constData(), m_path.constData()) != 0) {
            const int error = errno;
            if (old >= 0)
                ::close(old);
            return failure(error);
        }
        if (old >= 0)
            std::thread([old] { ::close(old); }).detach();
        m_temp.clear();
        m_sibling = false;
        // Some file systems mark the rename in the change time: taken over
        // when nothing else changed since the stamp.
        struct stat renamed;
        if (::fstat(m_fd, &renamed) == 0) {
            FileStamp after = statStamp(renamed);
            const qint64 changedNs = after.changedNs;
            after.changedNs = result.stamp.changedNs;
            after.hashed = result.stamp.hashed;
            after.hash = result.stamp.hash;
            if (after == result.stamp)
                result.stamp.changedNs = changedNs;
        }
    }
    ::close(m_fd);
    m_fd = -1;
    if (!m_copy.isEmpty())
        ::unlink(m_copy.constData());
    m_copy.clear();
    return result;
}

bool Writer::restoreInPlace()
{
    const int from = ::open(m_copy.constData(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    const bool restored = from >= 0 && ::fstat(from, &st) == 0 && copyAll(from, m_fd)
                          && ::ftruncate(m_fd, st.st_size) == 0 && ::fsync(m_fd) == 0;
    if (from >= 0)
        ::close(from);
    if (restored)
        ::unlink(m_copy.constData());
    return restored;
}

void Writer::cancel()
{
    if (m_fd < 0)
        return;
    if (m_sibling) {
        if (!m_temp.isEmpty())
            ::unlink(m_temp.constData());
    } else if (!m_copy.isEmpty() && restoreInPlace())
        m_copy.clear();
    ::close(m_fd);
    m_fd = -1;
    m_temp.clear();
    m_sibling = false;
}

SaveResult Writer::failure(int error)
{
    cancel();
    SaveResult result;
    if (!m_copy.isEmpty()) {
        // The old bytes could not be put back; the copy holds them.
        result.error = QStringLiteral("Soubor %1 nelze zapsat: %2. Jeho předchozí obsah je uložen v souboru %3.")
                           .arg(m_fileName, reason(error), QFile::decodeName(m_copy));
    } else if (m_copyFailed) {
        result.error = QStringLiteral("Soubor %1 nelze zapsat: jeho kopii nelze uložit do složky %2 (%3).")
                           .arg(m_fileName, cacheCopyFolder(), reason(error));
    } else if (error == ENOSPC || error == EDQUOT) {
        result.error = QStringLiteral("Na disku není místo, soubor %1 zůstal beze změny.").arg(m_fileName);
    } else {
        result.error = fileError(m_fileName, Access::Write, error);
    }
    return result;
}

} // namespace internal

} // namespace storage
