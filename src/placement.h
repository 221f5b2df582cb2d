// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Where new vehicle lines go in a database kept in ascending number order:
// the place of one vehicle, the place and extent of a run of serials, and the
// line of an edited vehicle. Knows nothing of windows.
#include "lines.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace placement {

enum class Kind { Locomotive, Wagon };

// A "-" as seventh character marks a locomotive; anything else is a wagon.
Kind kindOf(const QString &vehicleText);
// 8 characters for a locomotive number ("754001-6"), 13 for a wagon.
int numberLength(Kind kind);
// True when `number` is exactly the digits of its kind, "-" and one digit.
bool isVehicleNumber(Kind kind, const QString &number);

// The key of a line (storage::lineKey()): its first 6 (locomotive) or 11
// (wagon) characters, all digits; nullopt for a bookmark or the header.
int keyDigits(Kind kind);
std::optional<qint64> key(Kind kind, QStringView line);
// The same of a line's Windows-1250 bytes.
std::optional<qint64> key(Kind kind, QByteArrayView line);
// That reading as the key of a search of storage::Lines.
storage::Lines::KeyFn keyFunction(Kind kind);

// The vehicle line: number, " dkv ", DKV, then " pj " and the operating unit
// or " domovska " and the home station.
QString vehicleLine(Kind kind, const QString &number, const QString &dkv, const QString &domovka);

// Where one vehicle of key `key` goes, found by a scan from the top.
struct Place {
    enum What { Overwrite, Insert, Append } what = Append;
    int row = -1;         // the line to overwrite, or the line to insert in front of
    int bookmarkRow = -1; // Insert only: the non-vehicle line directly above `row`, or -1
};
Place findPlace(const storage::Lines &lines, Kind kind, qint64 key);

// A run of serials first..last of the vehicle `number` (its prefix and kind).
QString serialText(int serial);
QStringList runLines(Kind kind, const QString &number, int first, int last,
                     const QString &dkv, const QString &domovka);
// Row of the first vehicle line whose key is not less than `key`; -1 when none.
int runStart(const storage::Lines &lines, Kind kind, qint64 key);
// Written as one block from `start`, the run replaces the old lines that stand
// where their own number falls in the block. Returns the end of the replaced
// old lines: rows [start, result) give way to the run.
int runReplacedEnd(const storage::Lines &lines, Kind kind, int start, const QStringList &run);

// The line an edit replaces: the selected row when it begins with `number`,
// else the only line that does.
enum : int { NotFound = -1, Ambiguous = -2 };
int editedRow(const storage::Lines &lines, const QString &number, int selectedRow);

} // namespace placement
