#include "lines.h"
#include "storage_internal.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <limits>

namespace storage {

using namespace internal;

namespace {
// A row is one 64-bit entry: the highest bit tells the buffer (set: m_added),
// the next 38 bits the offset of the line in it (up to 256 GB), the lowest 25
// bits its length without the line end. A line of kLongLine bytes or more
// keeps kLongLine there and is measured up to its LF when it is read.
constexpr int kLengthBits = 25;
constexpr quint64 kLongLine = (quint64(1) << kLengthBits) - 1;
constexpr int kOffsetBits = 38;
constexpr quint64 kOffsetMask = (quint64(1) << kOffsetBits) - 1;
constexpr quint64 kAdded = quint64(1) << 63;
constexpr qint64 kLargestFile = qint64(kOffsetMask);

quint64 packRow(bool added, qsizetype offset, qsizetype length)
{
    return (added ? kAdded : 0) | (quint64(offset) << kLengthBits) | std::min(quint64(length), kLongLine);
}

qsizetype rowOffset(quint64 row) { return qsizetype((row >> kLengthBits) & kOffsetMask); }

// The length of the line at `offset`: up to its LF or the end of the
// buffer, less one CR before either.
qsizetype measure(QByteArrayView buffer, qsizetype offset)
{
    const char *start = buffer.data() + offset;
    const char *end = buffer.data() + buffer.size();
    const char *lf = static_cast<const char *>(std::memchr(start, '\n', size_t(end - start)));
    qsizetype length = (lf ? lf : end) - start;
    if (length > 0 && start[length - 1] == '\r')
        --length;
    return length;
}

// Hands the rows of the lines of `bytes` to `rowFn`: one line from each
// line start to its LF, and a last one when the bytes do not end with LF.
template <typename RowFn>
void indexLines(QByteArrayView bytes, RowFn &&rowFn)
{
    const char *const begin = bytes.data();
    forEachLine(bytes, [&](QByteArrayView line) { rowFn(packRow(false, line.data() - begin, line.size())); });
}
} // namespace

QByteArrayView Lines::lineAt(quint64 row) const
{
    const QByteArray &buffer = row & kAdded ? m_added : m_file;
    const qsizetype offset = rowOffset(row);
    qsizetype length = qsizetype(row & kLongLine);
    if (quint64(length) == kLongLine)
        length = measure(buffer, offset);
    return QByteArrayView(buffer.constData() + offset, length);
}

QByteArrayView Lines::bytes(qsizetype row) const { return lineAt(m_rows[size_t(row)]); }

QStringList Lines::texts() const
{
    QStringList result;
    result.reserve(size());
    for (quint64 row : m_rows)
        result.append(fromWindows1250(lineAt(row)));
    return result;
}

bool Lines::canStore(const QString &text)
{
    return !text.contains(QLatin1Char('\n')) && isEncodable(text);
}

bool Lines::add(const QStringList &texts, std::vector<quint64> &rows)
{
    // Checked whole first: a refused text leaves m_added as it was.
    if (!std::all_of(texts.begin(), texts.end(), canStore))
        return false;
    rows.reserve(size_t(texts.size()));
    for (const QString &text : texts) {
        const qsizetype offset = m_added.size();
        if (offset + text.size() + 2 > kLargestFile)
            return false;
        // With CR LF after it, a line is read back as it is, even one that ends in CR.
        m_added.resize(offset + text.size() + 2);
        char *out = m_added.data() + offset;
        encodeTo(text, out);
        out[text.size()] = '\r';
        out[text.size() + 1] = '\n';
        rows.push_back(packRow(true, offset, text.size()));
    }
    return true;
}

bool Lines::insert(qsizetype row, const QStringList &texts)
{
    std::vector<quint64> rows;
    if (!add(texts, rows))
        return false;
    m_rows.insert(m_rows.begin() + row, rows.begin(), rows.end());
    return true;
}

bool Lines::replace(qsizetype row, QStringView text)
{
    return replace(row, 1, QStringList{text.toString()});
}

bool Lines::replace(qsizetype row, qsizetype count, const QStringList &texts)
{
    std::vector<quint64> rows;
    if (!add(texts, rows))
        return false;
    // Only the difference in length moves the rows after the block.
    const qsizetype common = std::min<qsizetype>(count, qsizetype(rows.size()));
    std::copy(rows.begin(), rows.begin() + common, m_rows.begin() + row);
    if (count > common)
        m_rows.erase(m_rows.begin() + row + common, m_rows.begin() + row + count);
    else
        m_rows.insert(m_rows.begin() + row + common, rows.begin() + common, rows.end());
    return true;
}

void Lines::remove(qsizetype row, qsizetype count)
{
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
}

void Lines::clear()
{
    // Given back at once: a big database is never held twice.
    m_rows = {};
    m_file = QByteArray();
    m_added = QByteArray();
}

Lines::LoadResult Lines::load(const QString &fileName, Lines &lines)
{
    LoadResult result;
    QFile file(fileName);
    if (!openForReading(file, result.status, result.error))
        return result;
    const qint64 size = file.size();
    if (size > kLargestFile) {
        result.status = LoadStatus::Unreadable;
        result.error = QStringLiteral("Soubor %1 je příliš velký.").arg(fileName);
        return result;
    }
    // One read into a buffer of the file's size; a file that grows meanwhile
    // is read to its end all the same.
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(std::max<qsizetype>(bytes.size() * 2, 64 * 1024));
        const qint64 n = file.read(bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            result.status = LoadStatus::Unreadable;
            result.error = readError(file);
            return result;
        }
        if (n == 0)
            break;
        filled += n;
    }
    bytes.truncate(filled);
    if (filled > kLargestFile) {
        result.status = LoadStatus::Unreadable;
        result.error = QStringLiteral("Soubor %1 je příliš velký.").arg(fileName);
        return result;
    }

    std::vector<quint64> rows;
    const qsizetype ends = countLineEnds(bytes);
    rows.reserve(size_t(ends + (filled > 0 && bytes.back() != '\n' ? 1 : 0)));
    indexLines(bytes, [&rows](quint64 row) { rows.push_back(row); });

    lines.clear();
    lines.m_file = std::move(bytes);
    lines.m_rows = std::move(rows);
    result.status = LoadStatus::Ok;
    return result;
}

SaveResult Lines::save(const QString &fileName) const
{
    QSaveFile file(fileName);
    if (SaveResult opened = openForWriting(file); !opened.ok)
        return opened;

    // Lines that stand in a buffer one after another, each with CR LF after
    // it, are written as one run straight from the buffer; the others (a
    // file's LF-only or missing last line end) are copied with CR LF.
    const char *run = nullptr;
    qsizetype runLength = 0;
    QByteArray copied;
    bool written = true;
    auto flushRun = [&] {
        if (runLength > 0)
            written = written && file.write(run, runLength) == runLength;
        runLength = 0;
    };
    auto flushCopied = [&] {
        if (!copied.isEmpty())
            written = written && file.write(copied) == copied.size();
        copied.clear();
    };
    for (quint64 row : m_rows) {
        const QByteArray &buffer = row & kAdded ? m_added : m_file;
        const QByteArrayView line = lineAt(row);
        const qsizetype end = line.data() - buffer.constData() + line.size();
        if (end + 1 < buffer.size() && buffer[end] == '\r' && buffer[end + 1] == '\n') {
            if (runLength > 0 && run + runLength == line.data()) {
                runLength += line.size() + 2;
            } else {
                flushRun();
                flushCopied();
                run = line.data();
                runLength = line.size() + 2;
            }
        } else {
            flushRun();
            copied.append(line.data(), line.size());
            copied.append("\r\n", 2);
            if (copied.size() >= 1024 * 1024)
                flushCopied();
        }
        if (!written)
            break;
    }
    flushRun();
    flushCopied();
    return commit(file, written);
}

qsizetype countLineEnds(QByteArrayView bytes)
{
    // Counted in blocks the compiler vectorizes; a count per byte would be
    // several times slower than the read itself.
    const uchar *data = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype count = 0;
    qsizetype i = 0;
    constexpr qsizetype kBlock = 255 * 16;
    while (i + kBlock <= n) {
        uchar sums[16] = {};
        for (qsizetype k = 0; k < kBlock; k += 16)
            for (int j = 0; j < 16; ++j)
                sums[j] += data[i + k + j] == '\n';
        for (uchar s : sums)
            count += s;
        i += kBlock;
    }
    for (; i < n; ++i)
        count += data[i] == '\n';
    return count;
}

CountResult countLines(const QString &fileName)
{
    CountResult result;
    bool endsWithLf = true;
    const ScanResult scanned = scanPieces(fileName, [&](QByteArrayView piece) {
        result.lines += countLineEnds(piece);
        endsWithLf = piece.back() == '\n';
    });
    result.status = scanned.status;
    result.error = scanned.error;
    if (!endsWithLf)
        ++result.lines;
    return result;
}

} // namespace storage
