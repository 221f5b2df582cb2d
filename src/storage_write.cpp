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

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace storage {

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A later write may leave the times of a file whose time is this near now.
bool isRecent(const FileStamp &stamp)
{
    return nowNs() - stamp.modifiedNs < kRecentNs;
}

QString randomSuffix()
{
    return QString::number(QRandomGenerator::global()->generate64(), 36);
}

// A new file of a name not taken yet: `base`, a dot and a random part.
int createUnique(const QString &base, QString &name, uint mode)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + QLatin1Char('.') + randomSuffix();
        const int fd = platform::createNew(name, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Copies all that `from` holds to the start of `to`; false with errno.
bool copyAll(int from, int to)
{
    QByteArray buffer(1024 * 1024, Qt::Uninitialized);
    qint64 offset = 0;
    for (;;) {
        const qint64 n = platform::readAt(from, buffer.data(), buffer.size(), offset);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!platform::writeAll(to, buffer.constData(), n, offset))
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
    const std::optional<platform::FileStatus> status = platform::statPath(fileName);
    if (!status)
        return std::nullopt;
    return internal::statStamp(*status);
}

} // namespace

// ---- stamps -------------------------------------------------------------------

FileStamp internal::statStamp(const platform::FileStatus &status)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = status.device;
    stamp.inode = status.inode;
    stamp.size = status.size;
    stamp.modifiedNs = status.modifiedNs;
    stamp.changedNs = status.changedNs;
    return stamp;
}

FileStamp internal::openStamp(const QFile &file)
{
    const std::optional<platform::FileStatus> status = platform::statFile(file.handle());
    return status ? statStamp(*status) : FileStamp();
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
    return platform::cacheFolder() + QStringLiteral("/trakvid");
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
    m_path = info.isSymLink() && info.exists() ? info.canonicalFilePath() : m_fileName;
    const std::optional<platform::FileStatus> st = platform::statPath(m_path);
    const bool exists = st.has_value();
    if (exists && st->isFolder)
        return failure(EISDIR);
    // A file made read-only stays unwritten.
    if (const int denied = exists ? platform::accessError(m_path, platform::Write) : 0)
        return failure(denied);
    m_regular = !exists || st->isRegular;
    SaveResult opened;
    opened.ok = true;
    // A second name of the same file would be cut off by a rename.
    if (m_regular && (!exists || st->links == 1)) {
        // Unnamed until it is complete, so that a killed save leaves nothing
        // beside the file; a file system without unnamed files gets a named one.
        m_fd = platform::createUnnamed(QFileInfo(m_path).absolutePath());
        m_sibling = m_fd >= 0;
        if (!m_sibling && errno != EACCES && errno != EPERM && errno != EROFS && errno != ENOSPC
            && errno != EDQUOT) {
            m_fd = createUnique(m_path, m_temp, 0666);
            m_sibling = m_fd >= 0;
        }
        if (m_fd >= 0) {
            if (!exists || platform::takeOwnership(m_fd, *st))
                return opened;
            // Put in its place, the new file would not be the clerks' own:
            // the old one is written instead.
            platform::closeFile(m_fd);
            m_fd = -1;
            m_sibling = false;
            if (!m_temp.isEmpty())
                platform::removeFile(m_temp);
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
    m_fd = platform::openWriteOnly(m_path);
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
    const int from = platform::openReadOnly(m_path);
    const int to =
        from < 0 ? -1 : createUnique(folder + QLatin1Char('/') + QFileInfo(m_fileName).fileName(), m_copy, 0600);
    const bool copied = to >= 0 && copyAll(from, to) && platform::syncFile(to);
    error = errno;
    if (from >= 0)
        platform::closeFile(from);
    if (to >= 0)
        platform::closeFile(to);
    if (!copied) {
        if (to >= 0)
            platform::removeFile(m_copy);
        m_copy.clear();
        platform::closeFile(m_fd);
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
    if (!platform::writeAll(m_fd, data, size, inPlace ? m_written : -1)) {
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
    if (m_regular && ((inPlace && !platform::truncate(m_fd, m_written)) || !platform::syncFile(m_fd)))
        return failure(errno);
    SaveResult result;
    result.ok = true;
    const std::optional<platform::FileStatus> st = m_regular ? platform::statFile(m_fd) : std::nullopt;
    if (st) {
        result.stamp = statStamp(*st);
        if (isRecent(result.stamp)) {
            result.stamp.hashed = true;
            result.stamp.hash = m_hash.value();
        }
    }
    if (!inPlace) {
        auto link = [&](const QString &name) { return platform::linkUnnamed(m_fd, name); };
        // A new file is simply given its name; an old one is replaced by a
        // rename, and a kill between naming and renaming leaves that name.
        if (m_temp.isEmpty() && link(m_path)) {
            m_temp = m_path;
        } else if (m_temp.isEmpty()) {
            int error = errno;
            for (int attempt = 0; attempt < 100 && (error == EEXIST); ++attempt) {
                m_temp = m_path + QLatin1Char('.') + randomSuffix();
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
        const int old = m_temp != m_path ? platform::openReadOnly(m_path) : -1;
        if (m_temp != m_path && !platform::replaceFile(m_temp, m_path)) {
            const int error = errno;
            if (old >= 0)
                platform::closeFile(old);
            return failure(error);
        }
        if (old >= 0)
            std::thread([old] { platform::closeFile(old); }).detach();
        m_temp.clear();
        m_sibling = false;
        // Some file systems mark the rename in the change time: taken over
        // when nothing else changed since the stamp.
        if (const std::optional<platform::FileStatus> renamed = platform::statFile(m_fd)) {
            FileStamp after = statStamp(*renamed);
            const qint64 changedNs = after.changedNs;
            after.changedNs = result.stamp.changedNs;
            after.hashed = result.stamp.hashed;
            after.hash = result.stamp.hash;
            if (after == result.stamp)
                result.stamp.changedNs = changedNs;
        }
    }
    platform::closeFile(m_fd);
    m_fd = -1;
    if (!m_copy.isEmpty())
        platform::removeFile(m_copy);
    m_copy.clear();
    return result;
}

bool Writer::restoreInPlace()
{
    const int from = platform::openReadOnly(m_copy);
    const std::optional<platform::FileStatus> st = from >= 0 ? platform::statFile(from) : std::nullopt;
    const bool restored = st && copyAll(from, m_fd) && platform::truncate(m_fd, st->size) && platform::syncFile(m_fd);
    if (from >= 0)
        platform::closeFile(from);
    if (restored)
        platform::removeFile(m_copy);
    return restored;
}

void Writer::cancel()
{
    if (m_fd < 0)
        return;
    if (m_sibling) {
        if (!m_temp.isEmpty())
            platform::removeFile(m_temp);
    } else if (!m_copy.isEmpty() && restoreInPlace())
        m_copy.clear();
    platform::closeFile(m_fd);
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
                           .arg(m_fileName, reason(error), m_copy);
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
