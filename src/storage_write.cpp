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
#include <functional>
#include <future>
#include <thread>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace storage {

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

QString randomSuffix()
{
    return QString::number(QRandomGenerator::global()->generate64(), 36);
}

// A new file of a name not taken yet: `base`, a dot, a random part and `suffix`.
int createUnique(const QString &base, QString &name, uint mode, QLatin1String suffix = {})
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + QLatin1Char('.') + randomSuffix() + suffix;
        const int fd = platform::createNew(name, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Hands all that an open file holds, from its start, to `piece(bytes,
// offset)` in pieces of up to 1 MB, as long as it returns true. False with
// errno when a read fails, or when `piece` stopped.
template <typename PieceFn>
bool forEachPiece(int fd, PieceFn &&piece)
{
    QByteArray buffer(1024 * 1024, Qt::Uninitialized);
    qint64 offset = 0;
    for (;;) {
        const qint64 n = platform::readAt(fd, buffer.data(), buffer.size(), offset);
        if (n <= 0)
            return n == 0;
        if (!piece(QByteArrayView(buffer.constData(), n), offset))
            return false;
        offset += n;
    }
}

// Copies all that `from` holds to the start of `to`; false with errno.
bool copyAll(int from, int to)
{
    return forEachPiece(from, [to](QByteArrayView piece, qint64 offset) {
        return platform::writeAll(to, piece.data(), piece.size(), offset);
    });
}

std::optional<FileStamp> statPath(const QString &fileName)
{
    const std::optional<platform::FileStatus> status = platform::statPath(fileName);
    if (!status)
        return std::nullopt;
    return internal::statStamp(*status);
}

// What the times of a file can tell: the same file, size and times.
bool sameTimes(const FileStamp &a, const FileStamp &b)
{
    return a.exists == b.exists && a.device == b.device && a.inode == b.inode && a.size == b.size
           && a.modifiedNs == b.modifiedNs && a.changedNs == b.changedNs;
}

// ---- cache copies of the files written in place ---------------------------------
//
// Before a file is written in place, its old bytes are copied to the cache
// folder as "<name>.<hash of the file's full path>.<random part>", so that a
// copy is only ever put back into the file it came from. The copy is named
// once it is whole and on the disk ("<copy>.part" until then), and held
// locked while its save is at work. Once the new bytes are all written,
// "<copy>.new" tells their size and hash, before the file is cut to them: a
// file that holds them was saved, any other was cut off.

const QLatin1String kPart(".part");
const QLatin1String kNew(".new");

// The file a name stands for, symbolic links and all followed.
QString identityPath(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// What the names of the file's cache copies begin with, before a dot.
QString copyBase(const QString &path)
{
    ContentHash hash;
    hash.add(QFile::encodeName(path));
    return cacheCopyFolder() + QLatin1Char('/') + QFileInfo(path).fileName() + QLatin1Char('.')
           + QStringLiteral("%1").arg(hash.value(), 16, 16, QLatin1Char('0'));
}

std::optional<quint64> hashOf(int fd)
{
    ContentHash hash;
    if (!forEachPiece(fd, [&hash](QByteArrayView piece, qint64) {
            hash.add(piece);
            return true;
        }))
        return std::nullopt;
    return hash.value();
}

// Whether `path` holds what the note beside `copy` says its save wrote.
bool holdsNewContent(const QString &path, const QString &copy)
{
    QFile note(copy + kNew);
    if (!note.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> fields = note.readLine().trimmed().split(' ');
    bool sizeOk = false;
    bool hashOk = false;
    const qint64 size = fields.value(0).toLongLong(&sizeOk);
    const quint64 hash = fields.value(1).toULongLong(&hashOk, 16);
    if (fields.size() != 2 || !sizeOk || !hashOk)
        return false;
    const int fd = platform::openReadOnly(path);
    if (fd < 0)
        return false;
    const std::optional<platform::FileStatus> status = platform::statFile(fd);
    const bool same = status && status->size == size && hashOf(fd) == hash;
    platform::closeFile(fd);
    return same;
}

// Writes the bytes of `copy` (open as `copyFd`) over `path`, in place.
bool putBack(const QString &path, int copyFd)
{
    const std::optional<platform::FileStatus> old = platform::statFile(copyFd);
    const int fd = platform::openWriteOnly(path);
    const bool restored = old && fd >= 0 && copyAll(copyFd, fd) && platform::truncate(fd, old->size)
                          && platform::syncFile(fd);
    const int error = errno;
    if (fd >= 0)
        platform::closeFile(fd);
    errno = error;
    return restored;
}

// Removes a copy and then its note: a copy never outlives its note on the disk.
void removeCopy(const QString &copy)
{
    platform::removeFile(copy);
    platform::syncFolder(QFileInfo(copy).absolutePath());
    platform::removeFile(copy + kNew);
}

} // namespace

QString recoverInterruptedSave(const QString &fileName)
{
    const QString path = identityPath(fileName);
    const QFileInfo base(copyBase(path));
    const QDir folder = base.dir();
    if (!folder.exists())
        return QString();
    const QString prefix = base.fileName() + QLatin1Char('.');
    QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeIf([&prefix](const QString &name) { return !name.startsWith(prefix); });
    QString message;
    for (const QString &name : std::as_const(names)) {
        const QString copy = folder.filePath(name);
        if (name.endsWith(kNew)) {
            // A note whose copy is gone is left from a save that was over.
            if (!names.contains(name.chopped(kNew.size())))
                platform::removeFile(copy);
            continue;
        }
        const int fd = platform::openReadOnly(copy);
        if (fd < 0)
            continue;
        // A save at work holds its copy locked; a copy whose name went
        // before the lock was taken was done with meanwhile.
        const std::optional<platform::FileStatus> held = platform::statFile(fd);
        const std::optional<platform::FileStatus> named = platform::statPath(copy);
        const bool left = platform::lockFile(fd) && held && named && held->device == named->device
                          && held->inode == named->inode;
        if (left && name.endsWith(kPart)) {
            // Cut off while copying: the file was not touched yet.
            platform::removeFile(copy);
        } else if (left && holdsNewContent(path, copy)) {
            removeCopy(copy);
        } else if (left && putBack(path, fd)) {
            removeCopy(copy);
            message = QStringLiteral("Uložení souboru %1 bylo přerušeno; soubor je zpět ve stavu před ním.").arg(fileName);
        } else if (left) {
            message = QStringLiteral("Uložení souboru %1 bylo přerušeno a soubor nelze vrátit do stavu před ním: %2. "
                                     "Jeho předchozí obsah je uložen v souboru %3.")
                          .arg(fileName, reason(errno), copy);
        }
        platform::closeFile(fd);
    }
    return message;
}

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
    stamp.takenNs = nowNs();
    return stamp;
}

FileStamp internal::openStamp(const QFile &file)
{
    const std::optional<platform::FileStatus> status = platform::statFile(file.handle());
    return status ? statStamp(*status) : FileStamp();
}

FileStamp stamp(const QString &fileName)
{
    // The one reading of a file, for its stamp and hash alone.
    QByteArray buffer;
    const ReadResult read = readFile(fileName, buffer, nullptr, false);
    if (read.ok())
        return read.stamp;
    // What cannot be read has no hash to go by.
    return statPath(fileName).value_or(FileStamp());
}

bool writtenSince(const QString &fileName, const FileStamp &known, bool byContent)
{
    const std::optional<FileStamp> now = statPath(fileName);
    if (!now)
        return false;
    if (!known.exists || !sameTimes(*now, known))
        return true;
    // A write within the times' granularity of the stamp may leave them as
    // they were, whatever they say (a program may even put the modification
    // time back): near the stamp, or after it, the content decides.
    const qint64 since = known.takenNs - kRecentNs;
    if (!byContent || (known.modifiedNs <= since && known.changedNs <= since))
        return false;
    const FileStamp current = stamp(fileName);
    return current.exists && (!sameTimes(current, known) || current.hash != known.hash);
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

void portableBlocks(quint64 *lanes, const char *p, qsizetype count)
{
    quint64 v[8];
    std::memcpy(v, lanes, sizeof v);
    for (; count > 0; --count, p += 64) {
        // Bytes no longer in the cache (a save's lines) are asked of memory
        // well ahead: the lanes would wait for them otherwise.
        __builtin_prefetch(p + 4096);
        for (int i = 0; i < 8; ++i)
            v[i] = std::rotl(v[i] ^ read64(p + 8 * i), 27) * kP1;
    }
    std::memcpy(lanes, v, sizeof v);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The same rounds, four lanes to a register, in half the time of the above
// where the bytes are in the cache: the processor multiplies four lanes of
// 32 bits by 32 at once, and a 64-bit product is three such multiplies.
#define TRAKVID_VECTOR_HASH 1
__attribute__((target("avx2"))) inline __m256i avx2Round(__m256i v, const char *at, __m256i prime, __m256i primeHigh)
{
    v = _mm256_xor_si256(v, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at)));
    v = _mm256_or_si256(_mm256_slli_epi64(v, 27), _mm256_srli_epi64(v, 37));
    const __m256i cross = _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(v, 32), prime),
                                           _mm256_mul_epu32(v, primeHigh));
    return _mm256_add_epi64(_mm256_mul_epu32(v, prime), _mm256_slli_epi64(cross, 32));
}

__attribute__((target("avx2"))) void avx2Blocks(quint64 *lanes, const char *p, qsizetype count)
{
    const __m256i prime = _mm256_set1_epi64x(qint64(kP1));
    const __m256i primeHigh = _mm256_srli_epi64(prime, 32);
    __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(lanes));
    __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(lanes + 4));
    for (; count > 0; --count, p += 64) {
        __builtin_prefetch(p + 4096);
        low = avx2Round(low, p, prime, primeHigh);
        high = avx2Round(high, p + 32, prime, primeHigh);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(lanes), low);
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(lanes + 4), high);
}
#endif

using BlocksFn = void (*)(quint64 *, const char *, qsizetype);
BlocksFn fastestBlocks()
{
    static const BlocksFn fastest = [] {
#ifdef TRAKVID_VECTOR_HASH
        __builtin_cpu_init(); // may be asked before the program's own start
        if (__builtin_cpu_supports("avx2"))
            return &avx2Blocks;
#endif
        return &portableBlocks;
    }();
    return fastest;
}
} // namespace

void internal::hashBlocks(quint64 *lanes, const char *p, qsizetype count, bool vectors)
{
    (vectors ? fastestBlocks() : portableBlocks)(lanes, p, count);
}

void ContentHash::blocks(const char *p, qsizetype count)
{
    internal::hashBlocks(m_lanes, p, count);
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

Writer::Writer(const QString &fileName, const FileStamp *unchangedSince) : m_fileName(fileName)
{
    if (unchangedSince)
        m_known = *unchangedSince;
}

Writer::~Writer()
{
    cancel();
}

SaveResult Writer::open()
{
    // A save of this file cut off earlier is settled first: its copy must
    // never be put back over this one.
    recoverInterruptedSave(m_fileName);
    // A symbolic link stays a link: its target is written.
    const QFileInfo info(m_fileName);
    m_path = info.isSymLink() && info.exists() ? info.canonicalFilePath() : m_fileName;
    const std::optional<platform::FileStatus> st = platform::statPath(m_path);
    m_existed = st.has_value();
    if (m_existed && st->isFolder)
        return failure(EISDIR);
    // A file made read-only stays unwritten.
    if (const int denied = m_existed ? platform::accessError(m_path, platform::Write) : 0)
        return failure(denied);
    m_regular = !m_existed || st->isRegular;
    SaveResult opened;
    opened.ok = true;
    // A second name of the same file would be cut off by a rename.
    if (m_regular && (!m_existed || st->links == 1)) {
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
            if (!m_existed || platform::takeOwnership(m_fd, *st)) {
                // Where its content decides, it is read on another core
                // while the new bytes are written; the rename waits for it.
                if (m_known)
                    m_changed = std::async(std::launch::async, [name = m_fileName, known = *m_known] {
                        return writtenSince(name, known);
                    });
                return opened;
            }
            // Put in its place, the new file would not be the clerks' own:
            // the old one is written instead.
            platform::closeFile(m_fd);
            m_fd = -1;
            m_sibling = false;
            if (!m_temp.isEmpty())
                platform::removeFile(m_temp);
        } else if (!m_existed || (errno != EACCES && errno != EPERM)) {
            const int error = errno;
            m_temp.clear();
            return failure(error);
        }
        m_temp.clear();
    }
    // In place, nothing is written before the check.
    if (m_known && writtenSince(m_fileName, *m_known))
        return changedMeanwhile(false);
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
    const QString base = copyBase(identityPath(m_path));
    const QString folder = QFileInfo(base).absolutePath();
    QDir().mkpath(folder);
    const int from = platform::openReadOnly(m_path);
    QString part;
    m_copyFd = from < 0 ? -1 : createUnique(base, part, 0600, kPart);
    bool copied = m_copyFd >= 0 && platform::lockFile(m_copyFd) && copyAll(from, m_copyFd)
                  && platform::syncFile(m_copyFd);
    if (copied) {
        m_copy = part.chopped(kPart.size());
        copied = platform::moveNoReplace(part, m_copy);
        if (!copied)
            m_copy.clear();
        copied = copied && platform::syncFolder(folder);
    }
    error = errno;
    if (from >= 0)
        platform::closeFile(from);
    if (!copied) {
        if (m_copyFd >= 0)
            platform::removeFile(m_copy.isEmpty() ? part : m_copy);
        m_copy.clear();
        releaseCopy();
        platform::closeFile(m_fd);
        m_fd = -1;
        m_copyFailed = true;
        return false;
    }
    return true;
}

namespace {
// Bytes hashed and then written while they are in the cache: one pass over
// the lines' memory, not two.
constexpr qsizetype kSlice = 256 * 1024;
constexpr size_t kMostQueued = 1024;
} // namespace

bool Writer::write(const char *data, qsizetype size)
{
    if (!writeQueued())
        return false;
    for (qsizetype done = 0; done < size;) {
        const qsizetype n = std::min(kSlice, size - done);
        m_hash.add(QByteArrayView(data + done, n));
        if (!platform::writeAll(m_fd, data + done, n, writeOffset())) {
            m_error = errno;
            return false;
        }
        m_written += n;
        done += n;
    }
    return true;
}

bool Writer::writeKept(const char *data, qsizetype size)
{
    if (size >= kSlice)
        return write(data, size);
    if ((m_queuedBytes + size > kSlice || m_queued.size() == kMostQueued) && !writeQueued())
        return false;
    m_hash.add(QByteArrayView(data, size));
    m_queued.push_back({data, size});
    m_queuedBytes += size;
    return m_error == 0;
}

bool Writer::writeQueued()
{
    if (m_error || m_queued.empty())
        return m_error == 0;
    if (!platform::writeAll(m_fd, m_queued, writeOffset())) {
        m_error = errno;
        return false;
    }
    m_written += m_queuedBytes;
    m_queued.clear();
    m_queuedBytes = 0;
    return true;
}

bool Writer::writeNote()
{
    const QString note = m_copy + kNew;
    const QByteArray text = QByteArray::number(m_written) + ' ' + QByteArray::number(m_hash.value(), 16) + '\n'
                            + QFile::encodeName(identityPath(m_path)) + '\n';
    const int fd = platform::createNew(note, 0600);
    const bool written = fd >= 0 && platform::writeAll(fd, text.constData(), text.size()) && platform::syncFile(fd);
    const int error = errno;
    if (fd >= 0)
        platform::closeFile(fd);
    errno = error;
    return written && platform::syncFolder(QFileInfo(note).absolutePath());
}

SaveResult Writer::commit(bool written)
{
    if (m_fd < 0)
        return failure(EBADF);
    if (!written || !writeQueued())
        return failure(m_error ? m_error : EIO);
    const bool inPlace = !m_sibling;
    // In place, what the file is to hold is told beside the copy before the
    // file is cut to it: a kill from here on leaves a file that can be told
    // saved from cut off.
    if (m_regular && inPlace && !writeNote())
        return failure(errno);
    if (m_regular && ((inPlace && !platform::truncate(m_fd, m_written)) || !platform::syncFile(m_fd)))
        return failure(errno);
    SaveResult result;
    result.ok = true;
    if (const std::optional<platform::FileStatus> st = m_regular ? platform::statFile(m_fd) : std::nullopt) {
        result.stamp = statStamp(*st);
        result.stamp.hash = m_hash.value();
    }
    if (m_changed.valid() && m_changed.get())
        return changedMeanwhile(false);
    if (!inPlace) {
        // A file that did not exist is given its name, never over one that
        // another program made meanwhile; an old one is replaced by a rename,
        // and a kill between naming and renaming leaves that name.
        if (!m_existed) {
            const bool placed = m_temp.isEmpty() ? platform::linkUnnamed(m_fd, m_path)
                                                 : platform::moveNoReplace(m_temp, m_path);
            if (!placed)
                return errno == EEXIST ? changedMeanwhile(true) : failure(errno);
            m_temp = m_path;
        } else if (m_temp.isEmpty()) {
            int error = EEXIST;
            for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
                m_temp = m_path + QLatin1Char('.') + randomSuffix();
                error = platform::linkUnnamed(m_fd, m_temp) ? 0 : errno;
            }
            if (error != 0) {
                m_temp.clear();
                return failure(error);
            }
        }
        // The old file's blocks are given back when its last name and handle
        // go: for a big file that takes the file system tens of milliseconds,
        // done by a thread of its own once the folder is flushed, so that
        // neither the rename nor the flush the clerk waits for includes it.
        const int old = m_temp != m_path ? platform::holdReplaced(m_path) : -1;
        if (m_temp != m_path && !platform::replaceFile(m_temp, m_path)) {
            const int error = errno;
            if (old >= 0)
                platform::closeFile(old);
            return failure(error);
        }
        m_temp.clear();
        m_sibling = false;
        // The new name on the disk before the clerk is told "uloženo".
        const bool synced = platform::syncFolder(QFileInfo(m_path).absolutePath());
        const int error = errno;
        if (old >= 0)
            std::thread([old] { platform::closeFile(old); }).detach();
        if (!synced)
            return failure(error);
        // Some file systems mark the rename in the change time: taken over
        // when nothing else changed since the stamp.
        if (const std::optional<platform::FileStatus> renamed = platform::statFile(m_fd)) {
            FileStamp after = statStamp(*renamed);
            if (after.changedNs != result.stamp.changedNs) {
                const qint64 changedNs = after.changedNs;
                after.changedNs = result.stamp.changedNs;
                if (sameTimes(after, result.stamp))
                    result.stamp.changedNs = changedNs;
            }
        }
    }
    platform::closeFile(m_fd);
    m_fd = -1;
    if (!m_copy.isEmpty())
        removeCopy(m_copy);
    m_copy.clear();
    releaseCopy();
    return result;
}

void Writer::releaseCopy()
{
    if (m_copyFd >= 0)
        platform::closeFile(m_copyFd);
    m_copyFd = -1;
}

bool Writer::restoreInPlace()
{
    const int from = platform::openReadOnly(m_copy);
    const std::optional<platform::FileStatus> st = from >= 0 ? platform::statFile(from) : std::nullopt;
    const bool restored = st && copyAll(from, m_fd) && platform::truncate(m_fd, st->size) && platform::syncFile(m_fd);
    if (from >= 0)
        platform::closeFile(from);
    if (restored)
        removeCopy(m_copy);
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
    // A copy that could not be put back stays, unlocked, for the next read.
    releaseCopy();
    platform::closeFile(m_fd);
    m_fd = -1;
    m_temp.clear();
    m_sibling = false;
}

// Another program made the file (`made`) or wrote it: left as it is.
SaveResult Writer::changedMeanwhile(bool made)
{
    cancel();
    SaveResult result;
    result.changedMeanwhile = true;
    result.error = (made ? QStringLiteral("Soubor %1 mezitím vytvořil jiný program. Soubor zůstal beze změny.")
                         : QStringLiteral("Soubor %1 mezitím změnil jiný program. Soubor zůstal beze změny."))
                       .arg(m_fileName);
    return result;
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
