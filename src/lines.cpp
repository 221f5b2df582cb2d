// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "lines.h"
#include "storage_internal.h"

#include <QFile>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace storage {

using namespace internal;

namespace {
// A row is one 64-bit entry: the highest bit tells the buffer (set: m_added),
// the next whether CR LF follows the line in it, the next 37 bits the offset
// of the line (up to 128 GB), the lowest 25 bits its length without the line
// end. A line of kLongLine bytes or more keeps kLongLine there and is
// measured up to its LF when it is read. A save finds its runs from the rows
// alone, without reading a byte of the lines.
constexpr int kLengthBits = 25;
constexpr quint64 kLongLine = (quint64(1) << kLengthBits) - 1;
constexpr int kOffsetBits = 37;
constexpr quint64 kOffsetMask = (quint64(1) << kOffsetBits) - 1;
constexpr quint64 kAdded = quint64(1) << 63;
constexpr quint64 kCrLf = quint64(1) << 62;
constexpr qint64 kLargestFile = qint64(kOffsetMask);
// Rows per block: small enough that an insertion moves little, large enough
// that a search passes a million lines in a thousand steps.
constexpr size_t kBlockRows = 1024;

quint64 packRow(bool added, qsizetype offset, qsizetype length, bool crLf)
{
    return (added ? kAdded : 0) | (crLf ? kCrLf : 0) | (quint64(offset) << kLengthBits)
           | std::min(quint64(length), kLongLine);
}

qsizetype rowOffset(quint64 row) { return qsizetype((row >> kLengthBits) & kOffsetMask); }

// The length of the line at `offset` of `buffer`, without its line end.
qsizetype measure(QByteArrayView buffer, qsizetype offset)
{
    return storage::lineAt(buffer.data() + offset, buffer.data() + buffer.size()).size();
}

// Whether CR LF follows a line that forEachLine() gave from bytes ending at
// `end`: a CR after its text is one that belonged to its line end.
bool followedByCrLf(QByteArrayView line, const char *end)
{
    const char *after = line.data() + line.size();
    return end - after >= 2 && *after == '\r';
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

std::pair<size_t, qsizetype> Lines::locate(qsizetype row) const
{
    if (m_blocks.empty())
        return {0, 0};
    const auto after = std::upper_bound(m_firstRows.begin(), m_firstRows.end(), row);
    const size_t block = size_t(after - m_firstRows.begin()) - 1;
    return {block, row - m_firstRows[block]};
}

void Lines::blocksChanged(size_t from)
{
    m_written.reset();
    m_firstRows.resize(m_blocks.size());
    for (size_t b = from; b < m_blocks.size(); ++b)
        m_firstRows[b] = b == 0 ? 0 : m_firstRows[b - 1] + qsizetype(m_blocks[b - 1].rows.size());
}

QByteArrayView Lines::bytes(qsizetype row) const
{
    const auto [block, offset] = locate(row);
    return lineAt(m_blocks[block].rows[size_t(offset)]);
}

QStringList Lines::texts() const
{
    QStringList result;
    result.reserve(size());
    forEach(0, [&result](qsizetype, QByteArrayView line) {
        result.append(fromWindows1250(line));
        return true;
    });
    return result;
}

bool Lines::canStore(const QString &text)
{
    return !text.contains(QLatin1Char('\n')) && isEncodable(text);
}

bool Lines::add(const QStringList &texts, std::vector<quint64> &rows)
{
    // Checked whole first: a refused text leaves m_added as it was.
    qsizetype bytes = 0;
    for (const QString &text : texts) {
        if (!canStore(text))
            return false;
        bytes += text.size() + 2;
    }
    if (m_added.size() + bytes > kLargestFile)
        return false;
    rows.reserve(size_t(texts.size()));
    for (const QString &text : texts) {
        const qsizetype offset = m_added.size();
        // With CR LF after it, a line is read back as it is, even one that ends in CR.
        m_added.resize(offset + text.size() + 2);
        char *out = m_added.data() + offset;
        encodeTo(text, out);
        out[text.size()] = '\r';
        out[text.size() + 1] = '\n';
        rows.push_back(packRow(true, offset, text.size(), true));
    }
    return true;
}

bool Lines::insert(qsizetype row, const QStringList &texts)
{
    std::vector<quint64> rows;
    if (!add(texts, rows))
        return false;
    if (rows.empty())
        return true;
    if (m_blocks.empty()) {
        m_blocks.emplace_back();
        m_firstRows.assign(1, 0);
    }
    const auto [block, offset] = locate(row);
    std::vector<quint64> &target = m_blocks[block].rows;
    target.insert(target.begin() + offset, rows.begin(), rows.end());
    m_blocks[block].keyFn = nullptr;
    // A block grown past twice its size is cut into blocks of the usual size.
    if (target.size() > 2 * kBlockRows) {
        std::vector<quint64> grown = std::move(target);
        std::vector<Block> pieces((grown.size() + kBlockRows - 1) / kBlockRows);
        for (size_t i = 0; i < pieces.size(); ++i)
            pieces[i].rows.assign(grown.begin() + qsizetype(i * kBlockRows),
                                  grown.begin() + qsizetype(std::min(grown.size(), (i + 1) * kBlockRows)));
        m_blocks.erase(m_blocks.begin() + qsizetype(block));
        m_blocks.insert(m_blocks.begin() + qsizetype(block), std::make_move_iterator(pieces.begin()),
                        std::make_move_iterator(pieces.end()));
    }
    m_size += qsizetype(rows.size());
    blocksChanged(block);
    return true;
}

bool Lines::replace(qsizetype row, qsizetype count, const QStringList &texts)
{
    if (!std::all_of(texts.begin(), texts.end(), canStore))
        return false;
    remove(row, count);
    return insert(row, texts);
}

void Lines::remove(qsizetype row, qsizetype count)
{
    if (count <= 0)
        return;
    auto [block, offset] = locate(row);
    const size_t first = block;
    m_size -= count;
    while (count > 0) {
        std::vector<quint64> &rows = m_blocks[block].rows;
        const qsizetype taken = std::min(count, qsizetype(rows.size()) - offset);
        rows.erase(rows.begin() + offset, rows.begin() + offset + taken);
        m_blocks[block].keyFn = nullptr;
        count -= taken;
        offset = 0;
        if (rows.empty())
            m_blocks.erase(m_blocks.begin() + qsizetype(block));
        else
            ++block;
    }
    blocksChanged(first);
}

void Lines::clear()
{
    // Given back at once: a big database is never held twice.
    m_blocks = {};
    m_firstRows = {};
    m_size = 0;
    m_file = QByteArray();
    m_kept = {};
    m_added = QByteArray();
    m_base = {};
    m_baseLines = 0;
    m_newFrom = 0;
    m_written.reset();
}

namespace {
// The largest key of `rows`, and the first of them whose key is not less
// than `key` (-1 when none).
template <typename LineAt>
std::pair<std::optional<qint64>, qsizetype> readBlock(const std::vector<quint64> &rows, Lines::KeyFn keyFn,
                                                      qint64 key, LineAt &&lineAt)
{
    std::optional<qint64> largest;
    qsizetype found = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::optional<qint64> k = keyFn(lineAt(rows[i]));
        if (!k)
            continue;
        if (!largest || *k > *largest)
            largest = k;
        if (found < 0 && *k >= key)
            found = qsizetype(i);
    }
    return {largest, found};
}
} // namespace

qsizetype Lines::firstKeyNotLess(KeyFn keyFn, qint64 key) const
{
    auto lineOf = [this](quint64 row) { return lineAt(row); };
    for (size_t b = 0; b < m_blocks.size(); ++b) {
        const Block &block = m_blocks[b];
        if (block.keyFn == keyFn && (!block.largestKey || *block.largestKey < key))
            continue;
        // Every key of the block is read, for the next search as well.
        const auto [largest, found] = readBlock(block.rows, keyFn, key, lineOf);
        block.keyFn = keyFn;
        block.largestKey = largest;
        if (found >= 0)
            return m_firstRows[b] + found;
    }
    return -1;
}

bool Lines::readKeys(KeyFn keyFn, int blocks) const
{
    auto lineOf = [this](quint64 row) { return lineAt(row); };
    for (const Block &block : m_blocks) {
        if (block.keyFn == keyFn)
            continue;
        if (blocks-- == 0)
            return false;
        block.largestKey = readBlock(block.rows, keyFn, 0, lineOf).first;
        block.keyFn = keyFn;
    }
    return true;
}

// Rows written straight into blocks of the usual size, piece by piece, in
// the pass that reads a file, while each piece is in the cache; the last
// block is cut to what it holds. The blocks of the lines held before are
// filled first: fresh memory would cost its first touch.
struct Lines::Indexer {
    std::vector<Block> blocks;
    std::vector<Block> spare;
    size_t spareTaken = 0;
    quint64 *out = nullptr;
    quint64 *outEnd = nullptr;

    // The lines of `piece`, which starts `offset` bytes into its buffer.
    void add(QByteArrayView piece, qsizetype offset)
    {
        if (offset + piece.size() > kLargestFile)
            return;
        const char *pieceEnd = piece.data() + piece.size();
        const qsizetype toOffset = offset - qsizetype(quintptr(piece.data()));
        // Kept in registers for the million lines: written back for a new block only.
        quint64 *o = out;
        forEachLine(piece, [&](QByteArrayView line) {
            if (o == outEnd) [[unlikely]]
                o = nextBlock();
            *o++ = packRow(false, qsizetype(quintptr(line.data())) + toOffset, line.size(),
                           followedByCrLf(line, pieceEnd));
        });
        out = o;
    }
    quint64 *nextBlock()
    {
        if (spareTaken < spare.size())
            blocks.push_back(Block{std::move(spare[spareTaken++].rows), nullptr, std::nullopt});
        else
            blocks.emplace_back();
        blocks.back().rows.resize(kBlockRows);
        out = blocks.back().rows.data();
        outEnd = out + kBlockRows;
        return out;
    }
    std::vector<Block> finish()
    {
        if (!blocks.empty())
            blocks.back().rows.resize(kBlockRows - size_t(outEnd - out));
        return std::move(blocks);
    }
};

void Lines::adopt(QByteArray bytes, std::vector<Block> blocks)
{
    m_file = std::move(bytes);
    m_blocks = std::move(blocks);
    m_size = m_blocks.empty() ? 0 : qsizetype((m_blocks.size() - 1) * kBlockRows + m_blocks.back().rows.size());
    blocksChanged(0);
    m_base = {Run{false, 0, m_file.size()}};
    m_baseLines = m_size;
    m_newFrom = 0;
}

Lines::LoadResult Lines::load(const QString &fileName)
{
    // The buffer of the lines held now is read into again when it is big
    // enough: its memory is then already the process's own.
    QByteArray bytes = std::move(m_file);
    MergeMemory kept = std::move(m_kept);
    Indexer indexer;
    indexer.spare = std::move(m_blocks);
    clear();
    m_kept = std::move(kept);
    const std::function<void(QByteArrayView)> index = [&](QByteArrayView piece) {
        indexer.add(piece, piece.data() - bytes.constData());
    };
    LoadResult result = readFile(fileName, bytes, &index);
    if (result.ok() && bytes.size() > kLargestFile) {
        result.status = LoadStatus::Unreadable;
        result.error = QStringLiteral("Soubor %1 je příliš velký.").arg(fileName);
    }
    if (result.ok())
        adopt(std::move(bytes), indexer.finish());
    return result;
}

Lines Lines::recycled()
{
    Lines lines;
    lines.m_file = std::move(m_kept.file);
    return lines;
}

Lines Lines::fromBytes(QByteArray bytes)
{
    Lines lines;
    if (bytes.size() > kLargestFile)
        return lines;
    Indexer indexer;
    indexer.add(bytes, 0);
    lines.adopt(std::move(bytes), indexer.finish());
    return lines;
}

Utf8 Lines::fromUtf8()
{
    const Utf8 read = utf8ToWindows1250(m_file);
    if (read == Utf8::Converted)
        *this = fromBytes(std::move(m_file));
    return read;
}

bool Lines::isNew(quint64 row) const
{
    return (row & kAdded) && rowOffset(row) >= m_newFrom;
}

// Runs of lines that follow each other in one buffer, each up to and with
// its line end: `row`, whose line is `line`, added to them. Only a line
// without CR LF after it is looked at for its line end.
void Lines::extendRuns(std::vector<Run> &runs, quint64 row, QByteArrayView line) const
{
    const bool added = row & kAdded;
    const qsizetype begin = rowOffset(row);
    qsizetype end = begin + line.size() + 2;
    if (!(row & kCrLf)) {
        const QByteArray &buffer = added ? m_added : m_file;
        end = afterLineEnd(line.data() + line.size(), buffer.constData() + buffer.size()) - buffer.constData();
    }
    if (!runs.empty() && runs.back().added == added && runs.back().end == begin)
        runs.back().end = end;
    else
        runs.push_back({added, begin, end});
}

void Lines::markSaved()
{
    if (m_written) {
        m_base = std::move(*m_written); // the save's pass over the rows made them
        m_written.reset();
    } else {
        std::vector<Run> runs;
        for (const Block &block : m_blocks)
            for (quint64 row : block.rows)
                extendRuns(runs, row, lineAt(row));
        m_base = std::move(runs);
    }
    m_baseLines = m_size;
    m_newFrom = m_added.size();
}

merge::Result Lines::mergeWith(QByteArray theirs, KeyFn keyFn)
{
    return mergeWith(fromBytes(std::move(theirs)), keyFn);
}

merge::Result Lines::mergeWith(Lines theirs, KeyFn keyFn)
{
    // This session's changes: the base rows it no longer holds and the rows
    // it added, hunk by hunk, in the order of the base.
    merge::Input in;
    in.key = keyFn;
    in.base = std::move(m_kept.base);
    reserveMapped(in.base, size_t(m_baseLines));
    // A row of the base is the same line as its view: the same bytes. The
    // base lines between two of them are the ones this session deleted, the
    // only ones split anew: the base is read in the same pass over the rows.
    size_t run = 0;                                        // the run of the next base line
    qsizetype from = m_base.empty() ? 0 : m_base[0].begin; // and where it begins
    auto bufferOf = [this](const Run &r) -> const QByteArray & { return r.added ? m_added : m_file; };
    auto splitTo = [&](qsizetype to) {
        forEachLine(QByteArrayView(bufferOf(m_base[run]).constData() + from, to - from),
                    [&in](QByteArrayView line) { in.base.push_back(line); });
        from = to;
    };
    auto nextRun = [&] {
        splitTo(m_base[run].end);
        if (++run < m_base.size())
            from = m_base[run].begin;
    };
    // The run from `run` on whose base lines still to come hold a line at `at`.
    auto runHolding = [&](bool added, qsizetype at) {
        for (size_t r = run; r < m_base.size(); ++r)
            if (m_base[r].added == added && at >= (r == run ? from : m_base[r].begin) && at < m_base[r].end)
                return r;
        return m_base.size();
    };
    std::vector<quint64> addedRows;
    size_t next = 0; // the base row expected next
    auto flush = [&](size_t upTo, size_t addedFrom) {
        if (upTo > next || addedRows.size() > addedFrom)
            in.hunks.push_back({qsizetype(next), qsizetype(upTo - next), qsizetype(addedFrom),
                                qsizetype(addedRows.size() - addedFrom)});
    };
    size_t hunkAdded = 0;
    for (const Block &block : m_blocks) {
        for (quint64 row : block.rows) {
            const QByteArrayView line = lineAt(row);
            const bool added = row & kAdded;
            const qsizetype at = rowOffset(row);
            // Mostly the very next base line (a new line may follow its run).
            if (run == m_base.size() || m_base[run].added != added || at != from || at >= m_base[run].end) {
                const size_t holder = isNew(row) ? m_base.size() : runHolding(added, at);
                if (holder == m_base.size()) {
                    addedRows.push_back(row);
                    in.added.push_back(line);
                    continue;
                }
                while (run < holder)
                    nextRun();
                splitTo(at);
            }
            const size_t found = in.base.size();
            in.base.push_back(line);
            if (row & kCrLf) {
                from = at + line.size() + 2;
            } else {
                const QByteArray &buffer = bufferOf(m_base[run]);
                from = afterLineEnd(line.data() + line.size(), buffer.constData() + m_base[run].end) - buffer.constData();
            }
            flush(found, hunkAdded);
            next = found + 1;
            hunkAdded = addedRows.size();
        }
    }
    while (run < m_base.size())
        nextRun();
    flush(in.base.size(), hunkAdded);

    // Their lines as read: the rows of a file just loaded, in order.
    in.theirs = std::move(m_kept.theirs);
    reserveMapped(in.theirs, size_t(theirs.m_size));
    for (const Block &block : theirs.m_blocks)
        for (quint64 row : block.rows)
            in.theirs.push_back(theirs.lineAt(row));
    const merge::Result result = merge::merge(in);

    // The result's rows: the file's as read now, and this session's own.
    // Their blocks (all full but the last) are copied a run at a time and
    // given back once passed, so that the new ones take their memory.
    std::vector<Block> blocks;
    auto room = [&blocks]() -> std::vector<quint64> & {
        if (blocks.empty() || blocks.back().rows.size() == kBlockRows)
            blocks.emplace_back().rows.reserve(kBlockRows);
        return blocks.back().rows;
    };
    size_t passed = 0; // their blocks before this one are given back
    for (const merge::Piece &piece : result.pieces) {
        for (size_t i = size_t(piece.first), end = i + size_t(piece.count); i < end;) {
            std::vector<quint64> &to = room();
            if (piece.mine) {
                to.push_back(addedRows[i++]);
                continue;
            }
            for (; passed < i / kBlockRows; ++passed)
                theirs.m_blocks[passed].rows = {};
            const std::vector<quint64> &from = theirs.m_blocks[i / kBlockRows].rows;
            const size_t at = i % kBlockRows;
            const size_t n = std::min({end - i, from.size() - at, kBlockRows - to.size()});
            to.insert(to.end(), from.begin() + qsizetype(at), from.begin() + qsizetype(at + n));
            i += n;
        }
    }
    // A clerk who shares the folder merges at most saves: the memory given
    // up is kept for the next merge, whose pages are then the process's
    // already (the tables empty: only their memory is wanted).
    QByteArray given = std::move(m_file);
    adopt(std::move(theirs.m_file), std::move(blocks));
    in.base.clear();
    in.theirs.clear();
    m_kept = {std::move(given), std::move(in.base), std::move(in.theirs)};
    return result;
}

SaveResult Lines::save(const QString &fileName, const FileStamp *unchangedSince) const
{
    Writer file(fileName, unchangedSince);
    if (SaveResult opened = file.open(); !opened.ok)
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
            written = written && file.writeKept(run, runLength);
        runLength = 0;
    };
    auto flushCopied = [&] {
        if (!copied.isEmpty())
            written = written && file.write(copied);
        copied.clear();
    };
    m_written.reset();
    std::vector<Run> runs; // for markSaved(), in the same pass
    for (const Block &block : m_blocks) {
        for (quint64 row : block.rows) {
            const QByteArrayView line = lineAt(row);
            extendRuns(runs, row, line);
            if (row & kCrLf) {
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
                return file.commit(false);
        }
    }
    flushRun();
    flushCopied();
    SaveResult result = file.commit(written);
    if (result.ok)
        m_written = std::move(runs);
    return result;
}

qsizetype countLineEnds(QByteArrayView bytes)
{
    const char *data = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype count = 0;
    qsizetype i = 0;
#ifdef __SSE2__
    // Each comparison gives 0 or -1 a byte; up to 255 of them are summed in
    // the bytes of one register before its sums are added up.
    const __m128i lf = _mm_set1_epi8('\n');
    while (i + 16 <= n) {
        __m128i sums = _mm_setzero_si128();
        for (int k = 0; k < 255 && i + 16 <= n; ++k, i += 16)
            sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i)), lf));
        const __m128i total = _mm_sad_epu8(sums, _mm_setzero_si128());
        count += _mm_cvtsi128_si32(total) + _mm_extract_epi16(total, 4);
    }
#endif
    for (; i < n; ++i)
        count += data[i] == '\n';
    return count;
}

qsizetype lineCount(QByteArrayView bytes)
{
    return countLineEnds(bytes) + (!bytes.isEmpty() && !bytes.endsWith('\n') ? 1 : 0);
}

CountResult countLines(const QString &fileName)
{
    CountResult result;
    const ScanResult scanned = scanPieces(fileName, [&](QByteArrayView piece) { result.lines += lineCount(piece); });
    result.status = scanned.status;
    result.error = scanned.error;
    return result;
}

} // namespace storage
