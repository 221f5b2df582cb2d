// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// A loaded database kept as the file's own Windows-1250 bytes: one buffer
// holds the file as read, the lines are offsets into it, and new or changed
// lines are kept beside it. A line is decoded only when it is shown, compared
// as text or changed; saving writes the unchanged lines' bytes as they are.
// Knows nothing of windows.
#include "merge.h"
#include "storage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace storage {

class Lines
{
public:
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    // A line's bytes without its line end; valid until the lines change.
    QByteArrayView bytes(qsizetype row) const;
    QString text(qsizetype row) const { return fromWindows1250(bytes(row)); }
    // Every line decoded: for small lists.
    QStringList texts() const;
    // Calls `lineFn(row, bytes)` for the lines from `from` on, in order,
    // until it returns false.
    template <typename LineFn>
    void forEach(qsizetype from, LineFn &&lineFn) const;

    // Whether a text can be a line: a Windows-1250 byte for every character
    // and no LF (a line break would split it in the file).
    static bool canStore(const QString &text);

    // New lines go in front of `row` (size() appends). Every text must pass
    // canStore(), or nothing changes and the result is false.
    bool insert(qsizetype row, const QStringList &texts);
    // Replaces rows [row, row + count) by `texts`.
    bool replace(qsizetype row, qsizetype count, const QStringList &texts);
    void remove(qsizetype row, qsizetype count = 1);
    void clear();

    // The first row from `from` on whose key is not less than `key`, or -1.
    // A key reads a line's bytes; a line without one (nullopt) is passed
    // over. The largest key of each block of lines is kept once read, until
    // a line of the block changes, so a search passes whole blocks at once.
    using KeyFn = std::optional<qint64> (*)(QByteArrayView line);
    qsizetype firstKeyNotLess(KeyFn keyFn, qint64 key) const;
    // Reads the largest keys of up to `blocks` blocks not yet read, ahead of
    // a search; true when every block's is known.
    bool readKeys(KeyFn keyFn, int blocks) const;

    // The whole file read as it is (readFile()); on failure the lines are
    // empty. The stamp's hash is of the bytes read (fileBytes()).
    using LoadResult = ReadResult;
    LoadResult load(const QString &fileName);

    // This session's changes since the file was last read or written (see
    // markSaved()), merged into `theirs`, the file's bytes as another program
    // left them: the lines become the result, and `theirs` what later changes
    // are counted from.
    merge::Result mergeWith(QByteArray theirs, KeyFn keyFn);
    // The same with the file as load() read it, unchanged since.
    merge::Result mergeWith(Lines theirs, KeyFn keyFn);
    // No lines, but the buffer that the last merge gave up, if any: their
    // load() reads into memory the process holds already, not mapped anew.
    Lines recycled();
    // The lines of `bytes`, as load() would give them from a file of them.
    static Lines fromBytes(QByteArray bytes);
    // A file read by load() that another program saved in UTF-8 (see
    // utf8ToWindows1250()) made its text in Windows-1250 and read again.
    Utf8 fromUtf8();
    // The file now holds these lines (after a save).
    void markSaved();
    // The file's bytes as last read by load() or given to mergeWith().
    QByteArrayView fileBytes() const { return m_file; }

    // Every line followed by CR LF, replacing the file atomically as
    // storage::save() does; runs of lines that stand in a buffer with CR LF
    // after each go to the file straight from it.
    // With `unchangedSince`, only while the file is what that stamp tells
    // (SaveResult::changedMeanwhile otherwise).
    SaveResult save(const QString &fileName, const FileStamp *unchangedSince = nullptr) const;

private:
    // A block of consecutive rows. Each row is one packed entry (lines.cpp).
    struct Block {
        std::vector<quint64> rows;
        mutable KeyFn keyFn = nullptr; // the key of largestKey; nullptr: not read
        mutable std::optional<qint64> largestKey;
    };

    // Encodes `texts` into m_added as rows; false when one cannot be stored.
    bool add(const QStringList &texts, std::vector<quint64> &rows);
    QByteArrayView lineAt(quint64 row) const;
    // The block that holds `row`, and the row's place in it; `row` == size()
    // gives the end of the last block.
    std::pair<size_t, qsizetype> locate(qsizetype row) const;
    void blocksChanged(size_t from);
    struct Indexer;
    // `bytes` and their rows become the lines, as read.
    void adopt(QByteArray bytes, std::vector<Block> blocks);

    // The rows of the file as last read or written: runs of lines that stand
    // one after another in a buffer. Both buffers only grow until the next
    // load, so these stay valid; rows added since have an m_added offset
    // from m_newFrom on.
    struct Run {
        bool added;
        qsizetype begin;
        qsizetype end;
    };
    bool isNew(quint64 row) const;
    void extendRuns(std::vector<Run> &runs, quint64 row, QByteArrayView line) const;

    std::vector<Run> m_base;
    qsizetype m_baseLines = 0; // the lines of m_base
    // The runs of the lines the last save wrote, until the lines change.
    mutable std::optional<std::vector<Run>> m_written;
    qsizetype m_newFrom = 0;
    QByteArray m_file;           // the file as read
    // What the last merge no longer needed, for the next one: m_file as it
    // was (the next read goes into it) and the tables of lines.
    struct MergeMemory {
        QByteArray file;
        std::vector<QByteArrayView> base;
        std::vector<QByteArrayView> theirs;
    };
    MergeMemory m_kept;
    QByteArray m_added;          // new and changed lines, each followed by CR LF
    std::vector<Block> m_blocks; // never an empty one
    std::vector<qsizetype> m_firstRows; // first row of each block
    qsizetype m_size = 0;
};

template <typename LineFn>
void Lines::forEach(qsizetype from, LineFn &&lineFn) const
{
    if (from >= m_size)
        return;
    auto [block, offset] = locate(from);
    qsizetype row = from;
    for (; block < m_blocks.size(); ++block, offset = 0)
        for (const std::vector<quint64> &rows = m_blocks[block].rows; offset < qsizetype(rows.size()); ++offset)
            if (!lineFn(row++, lineAt(rows[size_t(offset)])))
                return;
}

// Lines of a file counted as load() would give them, read piece by piece, so
// that no line is held.
struct CountResult {
    LoadStatus status = LoadStatus::Missing;
    qint64 lines = 0;
    QString error; // a Czech sentence naming the file, when not Ok
    bool ok() const { return status == LoadStatus::Ok; }
};
CountResult countLines(const QString &fileName);
} // namespace storage
