// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Three-way merge of a database file: this session's changes to the file as
// it was last read or written (the base), applied to the file as another
// program left it (theirs). Vehicle lines are found by their numbers, the
// others by their text, never by their row; every line of the other program
// stays, and a change that cannot be applied is reported, never dropped
// without a word. Knows nothing of windows.
#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <optional>
#include <vector>

namespace merge {

// A line's number, or nullopt for a bookmark or the header.
using KeyFn = std::optional<qint64> (*)(QByteArrayView line);

// This session replaced base rows [baseRow, baseRow + baseCount) by the
// lines added[addedFirst, addedFirst + addedCount). A pair of a removed and
// an added line at the same place is a change of that line; removed lines
// beyond the pairs are deletions, added lines beyond them additions.
struct Hunk {
    qsizetype baseRow = 0;
    qsizetype baseCount = 0;
    qsizetype addedFirst = 0;
    qsizetype addedCount = 0;
};

struct Input {
    std::vector<QByteArrayView> base;   // the file as this session last read or wrote it
    std::vector<QByteArrayView> added;  // this session's new and changed lines
    std::vector<Hunk> hunks;            // in base order, none overlapping
    std::vector<QByteArrayView> theirs; // the file as it is now
    KeyFn key = nullptr;
};

enum class Reason { Gone, ChangedByOther, NumberTaken };

// A change of this session that was not applied.
struct Skipped {
    QByteArray line; // as this session had it
    Reason reason = Reason::Gone;
    qsizetype fileRow = -1; // NumberTaken: the 0-based row of the other line in the result
};

// The result is a sequence of runs: rows of theirs, or lines of added.
struct Piece {
    bool mine = false;
    qsizetype first = 0;
    qsizetype count = 0;
};

// What became of one change of this session: a deleted line (no `after`),
// an added one (no `before`) or a changed one.
struct Outcome {
    QByteArray before;
    QByteArray after;
    bool applied = false; // the result shows it, or the other side made it too
};

struct Result {
    std::vector<Piece> pieces;
    qsizetype size = 0;       // lines of the result
    qsizetype applied = 0;    // changes of this session applied (or already made by the other side)
    qsizetype othersKept = 0; // lines the other program wrote, all of them kept
    std::vector<Skipped> skipped;
    std::vector<Outcome> outcomes; // every change, in the order it was looked at
};

Result merge(const Input &input);

// The text for the output pane: the counts, then one line per change not applied.
QStringList report(const Result &result);

} // namespace merge
