// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The seven data files: names, headers, Windows-1250 load/save/scan, and the
// vehicle lines with their keys. Knows nothing of windows.
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <bit>
#include <cstring>
#include <functional>
#include <optional>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace storage {

// File names, opened by their bare name in the working directory.
inline const QString LOKOMOTIVY = QStringLiteral("lokomotivy.txt");
inline const QString VOZY = QStringLiteral("vozy.txt");
inline const QString REZIM = QStringLiteral("rezim.txt");
inline const QString VLASTNIK = QStringLiteral("vlastnik.txt");
inline const QString TRIDA_VOZU = QStringLiteral("trida_vozu.txt");
inline const QString CHARAKTERISTIKA = QStringLiteral("charakteristika.txt");
inline const QString NASTAVENI = QStringLiteral("nastaveni.txt");

// The seven names in the order start-up handles them.
const QStringList &dataFiles();

// Header line written when a data file is created ("" for nastaveni.txt).
QString header(const QString &fileName);
// The two lines of a newly created settings file.
QStringList defaultSettings();

// Windows-1250 conversion, exactly as the toolkit's "windows-1250" codec
// converts. A character with no Windows-1250 byte makes the append false,
// with `bytes` then holding part of the text.
QString fromWindows1250(QByteArrayView bytes);
bool appendWindows1250(QStringView text, QByteArray &bytes);

// A file that another program saved in UTF-8: valid UTF-8 that holds
// characters beyond ASCII (a byte-order mark at its start is dropped).
// Converted makes `bytes` the same text in Windows-1250; NotConvertible
// leaves them as they were: some character has no Windows-1250 byte.
enum class Utf8 { No, Converted, NotConvertible };
Utf8 utf8ToWindows1250(QByteArray &bytes);

// Why a file could not be read or written, as a Czech sentence that names the
// file: "Soubor vozy.txt je složka.", "Soubor vozy.txt nelze zapsat: chybí
// oprávnění." and so on. `error` is the errno of the call that failed (0 when
// none is known); what stands at the path and its folder are looked at first.
enum class Access { Read, Write };
QString fileError(const QString &fileName, Access access, int error);
// The reason behind an errno value in a few Czech words ("chybí oprávnění").
QString reason(int error);

enum class LoadStatus { Ok, Missing, Unreadable };
struct LoadResult {
    LoadStatus status = LoadStatus::Missing;
    QStringList lines; // without line ends
    QString error;     // a Czech sentence naming the file, when not Ok
    bool ok() const { return status == LoadStatus::Ok; }
};
// Whether a file could be read, without reading it: Ok, Missing (it does not
// exist) or Unreadable (it exists, but cannot be opened for reading).
LoadStatus probe(const QString &fileName, QString *error = nullptr);

// What a file on disk was when it was last read or written, to notice a write
// by another program in between: its identity, size and times, when the
// stamp was taken and the hash of the content at that moment. A write within
// the file system's timestamp granularity (a second on some, two on others)
// may leave the times as they were: near the moment of the stamp, the
// content decides.
struct FileStamp {
    bool exists = false;
    quint64 device = 0, inode = 0; // identity (on Windows: volume serial, file index)
    qint64 size = 0;
    qint64 modifiedNs = 0, changedNs = 0; // nanoseconds since the epoch
    qint64 takenNs = 0; // when the stamp was taken: the moment of the read, the write or the stamp
    quint64 hash = 0;   // ContentHash of the file's bytes at that moment; valid whenever exists
    bool operator==(const FileStamp &) const = default;
};
inline constexpr qint64 kRecentNs = 2'000'000'000;
// The file as it is now: stat and hash from one reading.
FileStamp stamp(const QString &fileName);
// True when the file exists and is no longer what `known` describes (a file
// that is gone holds nothing of anybody's to lose): its identity, size or
// times differ, or, where a time lies within kRecentNs of known.takenNs (or
// after it), its content's hash does. `byContent` false: the identity, size
// and times alone, without reading the file.
bool writtenSince(const QString &fileName, const FileStamp &known, bool byContent = true);

// A fast hash of bytes given in pieces of any size (not for security: it
// tells a changed file from the one read).
class ContentHash
{
public:
    void add(QByteArrayView bytes);
    quint64 value() const;

private:
    void blocks(const char *p, qsizetype count);
    quint64 m_lanes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    char m_tail[64] = {};
    qsizetype m_tailSize = 0;
    quint64 m_length = 0;
};

// The one reading of a data file: opened, its stamp taken before reading,
// read to its end with its content hashed in the same pass (stamp.hash).
// `pieceFn`, when given, gets the file in order in the same pass, every piece
// whole lines with their line ends, the last one perhaps without one. Kept
// (`keep`): `bytes` becomes the file's bytes, its buffer reused when it is
// big enough, and the pieces are views into it. Otherwise only the pieces
// are seen, and no more than the longest line is held.
struct ReadResult {
    LoadStatus status = LoadStatus::Missing;
    bool opened = false; // false: missing or cannot be opened; true and not ok(): a read failed part way
    QString error;       // a Czech sentence naming the file, when not Ok
    FileStamp stamp;
    bool ok() const { return status == LoadStatus::Ok; }
};
ReadResult readFile(const QString &fileName, QByteArray &bytes,
                    const std::function<void(QByteArrayView)> *pieceFn = nullptr, bool keep = true);

// Every line of a whole Windows-1250 file.
LoadResult load(const QString &fileName);
// The whole file as one text, exactly, but CR LF made "\n" (for the output pane).
struct TextResult {
    LoadStatus status = LoadStatus::Missing;
    QString text;
    QString error;
    bool ok() const { return status == LoadStatus::Ok; }
};
TextResult loadText(const QString &fileName);

struct SaveResult {
    bool ok = false;
    QString error;        // a Czech sentence naming the file (and the line, for unencodable text)
    int badLine = -1;     // 0-based line that holds a character Windows-1250 cannot hold
    FileStamp stamp;      // of the written file, taken before it replaced the old one
    // Not ok: the file did not exist when the save began and another program
    // created it meanwhile, or it is no longer what the save was told it is;
    // it was left as that program wrote it.
    bool changedMeanwhile = false;
};
// Writes every line followed by CR LF, replacing the file atomically (a
// sibling is written, then renamed): a failed save leaves the old file whole.
// The file keeps its owner, group and mode; where a sibling could not keep
// them, or the folder takes no new file, the old bytes are first copied to
// the cache folder (cacheCopyFolder()) and the file is written in place; the
// copy is removed once the new bytes are on the disk. A full disk leaves the
// old file whole and says so.
// A character with no Windows-1250 byte refuses the save, which leaves the old
// file as it was; nothing is ever replaced by "?".
SaveResult save(const QString &fileName, const QStringList &lines);
// Writes a text exactly as it stands, "\n" written as CR LF; otherwise as save().
SaveResult saveText(const QString &fileName, const QString &text);
// Writes bytes exactly as they are (text the user exports in another
// encoding), replacing the file as save() does.
SaveResult saveBytes(const QString &fileName, const QByteArray &bytes);

// Where a file written in place keeps its old bytes until the write is on the
// disk: trakvid in the user's cache folder (XDG_CACHE_HOME or ~/.cache).
QString cacheCopyFolder();
// Finishes a save of `fileName` in place that was cut off (the program was
// killed, the power went): where the file holds the whole new content, the
// copy of the old bytes is dropped; otherwise the old bytes are put back.
// The message for the clerk when the file was put back, else an empty
// string. A save still at work in another Trakvid is left alone.
QString recoverInterruptedSave(const QString &fileName);

// Reads the file piece by piece and calls `lineFn` for every line, decoded,
// in file order.
using ScanResult = ReadResult;
ScanResult scanFile(const QString &fileName, const std::function<void(const QString &)> &lineFn);
// The same; false when the file cannot be opened or read to its end.
bool scan(const QString &fileName, const std::function<void(const QString &)> &lineFn);
// readFile() in pieces.
ScanResult scanPieces(const QString &fileName, const std::function<void(QByteArrayView)> &pieceFn);

// The line rule of the data files, the one every reader follows: a line
// ends at LF; one CR right before the LF, or ending the bytes, belongs to the
// line end; there is no line after a final LF.
// The line that starts at `start` and whose LF (or the end of the bytes) is at `end`.
inline QByteArrayView lineBefore(const char *start, const char *end)
{
    qsizetype length = end - start;
    if (length > 0 && start[length - 1] == '\r')
        --length;
    return QByteArrayView(start, length);
}
// The line that starts at `start`, up to its LF or `end`.
inline QByteArrayView lineAt(const char *start, const char *end)
{
    const char *lf = static_cast<const char *>(std::memchr(start, '\n', size_t(end - start)));
    return lineBefore(start, lf ? lf : end);
}
// Where the next line begins after a line's text that ends at `textEnd`:
// past its line end, as lineBefore() reads it back.
inline const char *afterLineEnd(const char *textEnd, const char *end)
{
    if (textEnd < end && *textEnd == '\r' && (textEnd + 1 == end || textEnd[1] == '\n'))
        ++textEnd;
    if (textEnd < end && *textEnd == '\n')
        ++textEnd;
    return textEnd;
}
// The number of lines of `bytes`: its line ends, and one more for a last line
// without one.
qsizetype lineCount(QByteArrayView bytes);
// The number of line ends (LF) in `bytes`.
qsizetype countLineEnds(QByteArrayView bytes);

// Calls `lineFn` with every line of `bytes`, without its line end, in order.
// Sixteen bytes are looked at a time: a call of memchr per line would cost
// more than reading the file.
template <typename LineFn>
void forEachLine(QByteArrayView bytes, LineFn &&lineFn)
{
    const char *const data = bytes.data();
    const char *const end = data + bytes.size();
    const char *start = data;
    const char *p = data;
#ifdef __SSE2__
    // The LFs of 64 bytes in one mask: a database line is about that long, so
    // that most masks hold one LF and the loop seldom guesses wrong.
    const __m128i lf = _mm_set1_epi8('\n');
    auto lfsOf = [&lf](const char *at) {
        return quint64(quint16(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at)), lf))));
    };
    auto take = [&](quint64 lfs) {
        for (; lfs; lfs &= lfs - 1) {
            const char *at = p + std::countr_zero(lfs);
            lineFn(lineBefore(start, at));
            start = at + 1;
        }
    };
    for (; p + 64 <= end; p += 64)
        take(lfsOf(p) | lfsOf(p + 16) << 16 | lfsOf(p + 32) << 32 | lfsOf(p + 48) << 48);
    // A single line (a find of a listing) is shorter than that.
    for (; p + 16 <= end; p += 16)
        take(lfsOf(p));
#endif
    for (; p < end; ++p) {
        if (*p != '\n')
            continue;
        lineFn(lineBefore(start, p));
        start = p + 1;
    }
    if (start < end)
        lineFn(lineBefore(start, end));
}

// Index (0-based) of the first line holding a character with no Windows-1250
// byte, or -1.
int firstUnencodableLine(const QStringList &lines);
bool isEncodable(const QString &text);
// The first character of `text` with no Windows-1250 byte (a surrogate pair
// counts as one character), or an empty string; `position` gets its index.
QString firstUnencodableCharacter(const QString &text, qsizetype *position = nullptr);
// A line break would split a line in two in a file: each one (CR LF, CR or
// LF) becomes a blank.
QString withoutLineBreaks(const QString &text);

// "754001-6" / "21802345123-8": the digits, "-", the check digit.
QString vehicleNumberText(const QString &digits, int checkDigit);
// The only two ways vehicle lines are made.
QString locomotiveLine(const QString &number, const QString &dkv, const QString &pj);
QString wagonLine(const QString &number, const QString &dkv, const QString &domovka);

// A line's number as the databases read it, its key: the first `digits`
// characters (6 for a locomotive line, and for any line an edit reads; 11 for
// a wagon line) when every one of them is a digit "0" to "9". nullopt: a
// bookmark or the header. A line that begins with a blank, a sign or a
// letter has no number.
template <typename Char>
std::optional<qint64> lineKey(const Char *line, qsizetype size, int digits)
{
    if (size < digits)
        return std::nullopt;
    qint64 value = 0;
    for (int i = 0; i < digits; ++i) {
        const unsigned digit = unsigned(line[i]) - unsigned('0');
        if (digit > 9)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}
inline std::optional<qint64> lineKey(QByteArrayView line, int digits)
{
    return lineKey(line.data(), line.size(), digits);
}
inline std::optional<qint64> lineKey(QStringView line, int digits)
{
    return lineKey(line.utf16(), line.size(), digits);
}

} // namespace storage
