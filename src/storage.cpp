// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "storage.h"
#include "storage_internal.h"

#include "numbering.h"
#include "platform.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

namespace storage {

namespace {
// Bytes read at a time by a scan; a longer line grows the buffer.
constexpr qsizetype kChunk = 256 * 1024;
// Bytes handed to the file at a time by a save (more for a longer line).
constexpr qsizetype kWriteChunk = 1024 * 1024;

// Windows-1250 has one byte per character: below 0x80 ASCII, above it these,
// as the toolkit's "windows-1250" codec (ICU's) reads them; the five bytes
// with no letter stand for the control characters of their own number. Kept
// here rather than asked of the codec: the toolkit for Windows has none, and
// a call into the codec per line would cost a million lines dearly.
constexpr char16_t kUpperHalf[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

struct Cp1250 {
    char16_t toUnicode[256];
    uchar fromUnicode[0x10000]; // 0: no byte, except for U+0000 itself

    Cp1250()
    {
        std::memset(fromUnicode, 0, sizeof fromUnicode);
        for (int byte = 0; byte < 256; ++byte)
            toUnicode[byte] = byte < 0x80 ? char16_t(byte) : kUpperHalf[byte - 0x80];
        // Every character written is one read: the inverse is the whole encoder.
        for (int byte = 255; byte >= 0; --byte)
            fromUnicode[toUnicode[byte]] = uchar(byte);
    }
};

const Cp1250 &cp1250()
{
    static const Cp1250 tables;
    return tables;
}

void decode(QByteArrayView bytes, QChar *text)
{
    const char16_t *table = cp1250().toUnicode;
    char16_t *out = reinterpret_cast<char16_t *>(text);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = table[uchar(bytes[i])];
}

// Decodes into `text`, reusing its buffer when nothing else holds it.
void decodeInto(QString &text, QByteArrayView bytes)
{
    text.resize(bytes.size());
    decode(bytes, text.data());
}

} // namespace

bool internal::encodeTo(QStringView text, char *out)
{
    const char16_t *in = text.utf16();
    // Most characters are ASCII, the same byte: copied in one pass, which the
    // compiler vectorizes; only the others need the table.
    char16_t all = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        all |= in[i];
        out[i] = char(in[i]);
    }
    if (all < 0x80)
        return true;
    const uchar *table = cp1250().fromUnicode;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (in[i] < 0x80)
            continue;
        if (table[in[i]] == 0)
            return false;
        out[i] = char(table[in[i]]);
    }
    return true;
}

namespace internal {

bool openForReading(QFile &file, LoadStatus &status, QString &error)
{
    const QString fileName = file.fileName();
    // A save of it cut off is finished or undone first: never read half a file.
    recoverInterruptedSave(fileName);
    const QFileInfo info(fileName);
    if (!info.exists()) {
        status = LoadStatus::Missing;
        error = fileError(fileName, Access::Read, ENOENT);
        return false;
    }
    errno = 0;
    if (info.isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        status = LoadStatus::Unreadable;
        error = fileError(fileName, Access::Read, errno);
        return false;
    }
    return true;
}

QString readError(const QFile &file)
{
    return fileError(file.fileName(), Access::Read, errno);
}

} // namespace internal

namespace {
using namespace internal;

// Reads the start of a file, [0, size) of `data`, on a thread of its own,
// for readLoop() to hash and split the slices as they arrive: the copy from
// the system's cache on one core, the rest on the other. The hash goes with
// the splitting, not with the copy: the copy alone takes about as long as
// the two together.
class ReadAhead
{
public:
    ReadAhead(QFile &file, char *data, qsizetype size)
        : m_thread([this, &file, data, size] { run(file, data, size); })
    {
    }
    ~ReadAhead() { m_thread.join(); }

    // Waits until more than `have` bytes are read or the reading ended; the
    // bytes read by then, or -1 (errno set) when a read failed.
    qsizetype readBeyond(qsizetype have)
    {
        qint64 progress = 0;
        {
            std::unique_lock lock(m_mutex);
            m_arrived.wait(lock, [&] {
                progress = m_progress;
                return (progress & kBytes) > have || (progress & kEnded);
            });
        }
        if (progress & kFailed) {
            errno = m_error;
            return -1;
        }
        return qsizetype(progress & kBytes);
    }

private:
    static constexpr qint64 kEnded = qint64(1) << 62;
    static constexpr qint64 kFailed = qint64(1) << 61;
    static constexpr qint64 kBytes = kFailed - 1;

    void run(QFile &file, char *data, qsizetype size)
    {
        qsizetype done = 0;
        qint64 end = kEnded;
        while (done < size) {
            const qint64 n = file.read(data + done, std::min(kChunk, size - done));
            if (n < 0) {
                m_error = errno;
                end |= kFailed;
            }
            if (n <= 0)
                break; // a file cut short meanwhile ends early
            done += qsizetype(n);
            publish(done);
        }
        publish(done | end);
    }

    void publish(qint64 progress)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_progress = progress;
        }
        m_arrived.notify_one();
    }

    // A mutex and a condition, not the atomic's own wait: the Windows
    // build's C++ library can miss its wake-up and leave the reader waiting
    // for ever.
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    qint64 m_progress = 0;
    int m_error = 0;
    std::thread m_thread;
};

// A file at least this big is read ahead on a thread.
constexpr qsizetype kReadAheadFrom = 4 * kChunk;

// The one reading loop of the data files: reads the open file to its end,
// a slice at a time, and while each slice is still in the cache feeds it to
// `hash` and hands the whole lines it completes to `pieceFn`, as one pass.
// Kept (`keep`): `buffer` ends up holding the file; it is sized to the file
// and grows only when the file grew meanwhile, and the pieces stay where
// they are in it. Otherwise `buffer` is a work buffer: only the unfinished
// line stays, moved to its front, and a line longer than it grows it. The
// last piece may end without a line end (the file's last line).
bool readLoop(QFile &file, QByteArray &buffer, bool keep, ContentHash &hash,
              const std::function<void(QByteArrayView)> *pieceFn)
{
    qsizetype filled = 0;   // bytes in the buffer
    qsizetype given = 0;    // leading bytes of them handed on as whole lines
    qsizetype searched = 0; // bytes up to which no LF follows `given`
    std::optional<ReadAhead> ahead;
    if (keep && buffer.size() >= kReadAheadFrom)
        ahead.emplace(file, buffer.data(), buffer.size());
    for (;;) {
        qint64 n = 0;
        if (ahead) {
            const qsizetype read = ahead->readBeyond(filled);
            n = read < 0 ? -1 : std::min(kChunk, read - filled);
            if (n == 0 || filled + n == buffer.size())
                ahead.reset(); // done with the file: the loop may read it on
            if (n == 0 && filled == buffer.size())
                continue; // read to the size it had: has it grown?
        } else if (filled == buffer.size() && keep) {
            // At the size the file had: one more read tells whether it grew
            // meanwhile, without doubling the buffer for nothing.
            char more[64 * 1024];
            n = file.read(more, sizeof more);
            if (n > 0)
                buffer.append(more, qsizetype(n));
        } else {
            if (filled == buffer.size())
                buffer.resize(std::max<qsizetype>(kChunk, buffer.size() * 2));
            const qsizetype room = buffer.size() - filled;
            n = file.read(buffer.data() + filled, keep ? std::min(room, kChunk) : room);
        }
        if (n < 0)
            return false;
        if (n == 0)
            break;
        hash.add(QByteArrayView(buffer.constData() + filled, qsizetype(n)));
        filled += n;
        if (!pieceFn) {
            if (!keep)
                filled = 0; // only the hash was wanted
            continue;
        }
        const char *data = buffer.constData();
        const qsizetype lastLf = QByteArrayView(data + searched, filled - searched).lastIndexOf('\n');
        if (lastLf < 0) {
            searched = filled;
            continue;
        }
        const qsizetype end = searched + lastLf + 1;
        (*pieceFn)(QByteArrayView(data + given, end - given));
        searched = filled;
        if (keep) {
            given = end;
            continue;
        }
        // Keep the unfinished line at the front for the next read.
        filled -= end;
        if (filled > 0)
            std::memmove(buffer.data(), buffer.constData() + end, size_t(filled));
        searched = filled;
    }
    if (pieceFn && filled > given)
        (*pieceFn)(QByteArrayView(buffer.constData() + given, filled - given));
    if (keep)
        buffer.truncate(filled);
    return true;
}

} // namespace

ReadResult readFile(const QString &fileName, QByteArray &buffer, const std::function<void(QByteArrayView)> *pieceFn,
                    bool keep)
{
    ReadResult result;
    QFile file(fileName);
    if (!openForReading(file, result.status, result.error))
        return result;
    result.opened = true;
    // Taken before reading: a write while we read counts as a change.
    result.stamp = openStamp(file);
    const qint64 size = file.size();
    if (keep) {
        if (buffer.capacity() < size) {
            buffer = QByteArray(); // first given back, then taken anew: the next
            // read of the file (or another program's save of it) fits in it
            buffer.reserve(qsizetype(withRoom(size)));
            buffer.resize(qsizetype(size));
            prefault(buffer.data(), buffer.size());
        } else {
            buffer.resize(qsizetype(size));
        }
    } else {
        buffer = QByteArray(kChunk, Qt::Uninitialized);
    }
    ContentHash hash;
    if (!readLoop(file, buffer, keep, hash, pieceFn)) {
        result.status = LoadStatus::Unreadable;
        result.error = readError(file);
        buffer = QByteArray();
        return result;
    }
    result.stamp.hash = hash.value();
    result.status = LoadStatus::Ok;
    return result;
}

namespace {
// Encodes `text`; false when a character has no Windows-1250 byte.
bool encode(const QString &text, QByteArray &bytes)
{
    bytes.clear();
    return appendWindows1250(text, bytes);
}

SaveResult writeBytes(const QString &fileName, const QByteArray &bytes)
{
    Writer file(fileName);
    if (SaveResult opened = file.open(); !opened.ok)
        return opened;
    return file.commit(file.write(bytes));
}

SaveResult unencodable(const QString &fileName, int line)
{
    SaveResult result;
    result.badLine = line;
    result.error = QStringLiteral("Soubor %1 nebyl uložen: řádek %2 obsahuje znak, který nelze zapsat v kódování Windows-1250.")
                       .arg(fileName)
                       .arg(line + 1);
    return result;
}
} // namespace

const QStringList &dataFiles()
{
    static const QStringList names{LOKOMOTIVY, VOZY, REZIM, VLASTNIK, TRIDA_VOZU, CHARAKTERISTIKA, NASTAVENI};
    return names;
}

QString reason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("chybí oprávnění");
    case ENOENT:
        return QStringLiteral("soubor nebo složka neexistuje");
    case ENOTDIR:
        return QStringLiteral("část cesty není složka");
    case EISDIR:
        return QStringLiteral("je to složka");
    case EROFS:
        return QStringLiteral("disk je jen pro čtení");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("na disku není místo");
    case EFBIG:
        return QStringLiteral("soubor by byl větší, než systém dovolí");
    case ENAMETOOLONG:
        return QStringLiteral("název je příliš dlouhý");
    case ELOOP:
        return QStringLiteral("příliš mnoho symbolických odkazů");
    case EIO:
        return QStringLiteral("chyba čtení nebo zápisu na disku");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("je otevřeno příliš mnoho souborů");
    default:
        // Never the system's own sentence: it comes in whatever language the
        // session has. The error's name at least tells a technician what it was.
        if (const QString name = platform::errorName(error); !name.isEmpty())
            return QStringLiteral("systémová chyba %1").arg(name);
        return QStringLiteral("neznámá chyba");
    }
}

QString fileError(const QString &fileName, Access access, int error)
{
    // What stands at the path says more than the errno of a library call,
    // which may have come from a sibling file or be none at all.
    const std::optional<platform::FileStatus> info = platform::statPath(fileName);
    const bool missing = !info && errno == ENOENT;
    if (info && info->isFolder)
        return QStringLiteral("Soubor %1 je složka.").arg(fileName);
    if (access == Access::Read) {
        if (missing && (error == ENOENT || error == 0))
            return QStringLiteral("Soubor %1 neexistuje.").arg(fileName);
        if (const int denied = info ? platform::accessError(fileName, platform::Read) : 0)
            error = denied;
        return QStringLiteral("Soubor %1 nelze přečíst: %2.").arg(fileName, reason(error));
    }
    const QString folder = QFileInfo(fileName).absolutePath();
    const std::optional<platform::FileStatus> folderInfo = platform::statPath(folder);
    if (!folderInfo)
        return QStringLiteral("Soubor %1 nelze zapsat: složka %2 neexistuje.").arg(fileName, folder);
    if (!folderInfo->isFolder)
        return QStringLiteral("Soubor %1 nelze zapsat: %2 není složka.").arg(fileName, folder);
    if (const int denied = info ? platform::accessError(fileName, platform::Write) : 0)
        error = denied;
    else if (const int folderError = platform::accessError(folder, platform::Write | platform::Enter))
        return QStringLiteral("Soubor %1 nelze zapsat: do složky %2 nelze zapisovat (%3).")
            .arg(fileName, folder, reason(folderError));
    if (error == ENOSPC || error == EDQUOT)
        return QStringLiteral("Na disku není místo, soubor %1 zůstal beze změny.").arg(fileName);
    return QStringLiteral("Soubor %1 nelze zapsat: %2.").arg(fileName, reason(error));
}

QString header(const QString &fileName)
{
    if (fileName == LOKOMOTIVY)
        return QStringLiteral("Databáze lokomotivy");
    if (fileName == VOZY)
        return QStringLiteral("Databáze vozy");
    if (fileName == REZIM)
        return QStringLiteral("list režimů");
    if (fileName == VLASTNIK)
        return QStringLiteral("list vlastníků vozu");
    if (fileName == TRIDA_VOZU)
        return QStringLiteral("list charakteristiky 5-6");
    if (fileName == CHARAKTERISTIKA)
        return QStringLiteral("list charakteristiky 7-8");
    return QString();
}

QStringList defaultSettings()
{
    return {QStringLiteral("te false"), QStringLiteral("ud false")};
}

QString fromWindows1250(QByteArrayView bytes)
{
    // No room to grow: a loaded database keeps a million of these.
    QString text(bytes.size(), Qt::Uninitialized);
    decode(bytes, text.data());
    return text;
}

bool appendWindows1250(QStringView text, QByteArray &bytes)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    return encodeTo(text, bytes.data() + start);
}

namespace {
// Whether `bytes` is UTF-8 with at least one character beyond ASCII. Looked
// at byte by byte, up to the first byte that cannot be: a Windows-1250 file
// fails at its first Czech letter, and nothing is decoded for it.
bool isUtf8BeyondAscii(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const auto *end = p + bytes.size();
    bool beyond = false;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = *p >= 0xC2 && *p <= 0xDF ? 2 : *p >= 0xE0 && *p <= 0xEF ? 3 : *p >= 0xF0 && *p <= 0xF4 ? 4 : 0;
        if (length == 0 || end - p < length)
            return false;
        for (int i = 1; i < length; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        // No overlong forms, no surrogates, nothing beyond U+10FFFF.
        if ((*p == 0xE0 && p[1] < 0xA0) || (*p == 0xED && p[1] > 0x9F) || (*p == 0xF0 && p[1] < 0x90)
            || (*p == 0xF4 && p[1] > 0x8F))
            return false;
        beyond = true;
        p += length;
    }
    return beyond;
}
} // namespace

Utf8 utf8ToWindows1250(QByteArray &bytes)
{
    if (!isUtf8BeyondAscii(bytes))
        return Utf8::No;
    QStringDecoder utf8(QStringDecoder::Utf8);
    // Valid throughout, as isUtf8BeyondAscii() found.
    const QString text = utf8.decode(bytes);
    QByteArray converted;
    if (!appendWindows1250(text, converted))
        return Utf8::NotConvertible;
    bytes = std::move(converted);
    return Utf8::Converted;
}

LoadStatus probe(const QString &fileName, QString *error)
{
    QFile file(fileName);
    LoadStatus status = LoadStatus::Ok;
    QString message;
    openForReading(file, status, message);
    if (error)
        *error = message;
    return status;
}

LoadResult load(const QString &fileName)
{
    LoadResult result;
    QByteArray bytes;
    const ReadResult read = readFile(fileName, bytes);
    result.status = read.status;
    result.error = read.error;
    if (read.ok())
        forEachLine(bytes, [&result](QByteArrayView line) { result.lines.append(fromWindows1250(line)); });
    return result;
}

// "\r\n" made "\n" in one pass: QString::replace moves the tail once per
// block of matches, which is slow on a file of a million lines.
static void dropCrBeforeLf(QString &text)
{
    QChar *data = text.data();
    const qsizetype n = text.size();
    qsizetype out = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] == QLatin1Char('\r') && i + 1 < n && data[i + 1] == QLatin1Char('\n'))
            continue;
        data[out++] = data[i];
    }
    text.truncate(out);
}

TextResult loadText(const QString &fileName)
{
    TextResult result;
    QByteArray bytes;
    const ReadResult read = readFile(fileName, bytes);
    result.status = read.status;
    result.error = read.error;
    if (!read.ok())
        return result;
    // The text as it stands, every byte of it: the pane breaks its lines, and
    // an unedited list is written back as it was read.
    result.text = fromWindows1250(bytes);
    dropCrBeforeLf(result.text);
    return result;
}

bool isEncodable(const QString &text)
{
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    char16_t all = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        all |= in[i];
    if (all < 0x80)
        return true;
    const uchar *table = cp1250().fromUnicode;
    return std::all_of(in, in + text.size(), [table](char16_t c) { return table[c] != 0 || c == 0; });
}

QString firstUnencodableCharacter(const QString &text, qsizetype *position)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, n);
        if (!isEncodable(character)) {
            if (position)
                *position = i;
            return character;
        }
        i += n - 1;
    }
    return QString();
}

QString withoutLineBreaks(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String(" "));
    result.replace(QLatin1Char('\r'), QLatin1Char(' '));
    result.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return result;
}

int firstUnencodableLine(const QStringList &lines)
{
    for (int i = 0; i < lines.size(); ++i)
        if (!isEncodable(lines[i]))
            return i;
    return -1;
}

SaveResult save(const QString &fileName, const QStringList &lines)
{
    // Written piece by piece, so a big database is not held a second time as
    // bytes; a line that cannot be written drops the new file unfinished.
    Writer file(fileName);
    if (SaveResult opened = file.open(); !opened.ok)
        return opened;
    QByteArray chunk(kWriteChunk, Qt::Uninitialized);
    qsizetype filled = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype size = lines[i].size() + 2;
        if (filled + size > chunk.size()) {
            if (!file.write(chunk.constData(), filled))
                return file.commit(false);
            filled = 0;
            if (size > chunk.size())
                chunk.resize(size);
        }
        char *out = chunk.data() + filled;
        if (!encodeTo(lines[i], out)) {
            file.cancel();
            return unencodable(fileName, int(i));
        }
        out[size - 2] = '\r';
        out[size - 1] = '\n';
        filled += size;
    }
    return file.commit(file.write(chunk.constData(), filled));
}

SaveResult saveText(const QString &fileName, const QString &text)
{
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QByteArray bytes;
    if (!encode(crlf, bytes))
        return unencodable(fileName, firstUnencodableLine(text.split(QLatin1Char('\n'))));
    return writeBytes(fileName, bytes);
}

SaveResult saveBytes(const QString &fileName, const QByteArray &bytes)
{
    return writeBytes(fileName, bytes);
}

ScanResult scanFile(const QString &fileName, const std::function<void(const QString &)> &lineFn)
{
    // One line buffer for the whole scan: only the lines the caller keeps are copied.
    QString line;
    return scanPieces(fileName, [&](QByteArrayView piece) {
        forEachLine(piece, [&](QByteArrayView bytes) {
            decodeInto(line, bytes);
            lineFn(line);
        });
    });
}

ScanResult scanPieces(const QString &fileName, const std::function<void(QByteArrayView)> &pieceFn)
{
    QByteArray buffer;
    return readFile(fileName, buffer, &pieceFn, false);
}

bool scan(const QString &fileName, const std::function<void(const QString &)> &lineFn)
{
    return scanFile(fileName, lineFn).ok();
}

QString vehicleNumberText(const QString &digits, int checkDigit)
{
    return digits + QLatin1Char('-') + QString::number(checkDigit);
}

QString locomotiveLine(const QString &number, const QString &dkv, const QString &pj)
{
    return number + QLatin1String(" dkv ") + dkv + QLatin1String(" pj ") + pj;
}

QString wagonLine(const QString &number, const QString &dkv, const QString &domovka)
{
    return number + QLatin1String(" dkv ") + dkv + QLatin1String(" domovska ") + domovka;
}

} // namespace storage
