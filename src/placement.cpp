// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "placement.h"

#include "numbering.h"
#include "storage.h"

#include <array>

namespace placement {

Kind kindOf(const QString &vehicleText)
{
    return vehicleText.size() >= 7 && vehicleText[6] == QLatin1Char('-') ? Kind::Locomotive : Kind::Wagon;
}

int numberLength(Kind kind) { return kind == Kind::Locomotive ? 8 : 13; }

bool isVehicleNumber(Kind kind, const QString &number)
{
    const int digits = numberLength(kind) - 2;
    if (number.size() != digits + 2 || number[digits] != QLatin1Char('-'))
        return false;
    for (int i = 0; i < number.size(); ++i)
        if (i != digits && !(number[i] >= QLatin1Char('0') && number[i] <= QLatin1Char('9')))
            return false;
    return true;
}

int keyDigits(Kind kind) { return kind == Kind::Locomotive ? 6 : 11; }

std::optional<qint64> key(Kind kind, QStringView line) { return storage::lineKey(line, keyDigits(kind)); }

namespace {
template <int Digits>
std::optional<qint64> keyOf(QByteArrayView line)
{
    return storage::lineKey(line, Digits);
}
} // namespace

storage::Lines::KeyFn keyFunction(Kind kind) { return kind == Kind::Locomotive ? keyOf<6> : keyOf<11>; }

std::optional<qint64> key(Kind kind, QByteArrayView line) { return storage::lineKey(line, keyDigits(kind)); }

QString vehicleLine(Kind kind, const QString &number, const QString &dkv, const QString &domovka)
{
    return kind == Kind::Locomotive ? storage::locomotiveLine(number, dkv, domovka)
                                    : storage::wagonLine(number, dkv, domovka);
}

Place findPlace(const storage::Lines &lines, Kind kind, qint64 k)
{
    const qsizetype row = lines.firstKeyNotLess(keyFunction(kind), k);
    if (row < 0)
        return {Place::Append, int(lines.size()), -1};
    if (*key(kind, lines.bytes(row)) == k)
        return {Place::Overwrite, int(row), -1};
    const bool bookmarkAbove = row > 0 && !key(kind, lines.bytes(row - 1));
    return {Place::Insert, int(row), bookmarkAbove ? int(row) - 1 : -1};
}

QString serialText(int serial)
{
    if (serial < 10)
        return QStringLiteral("00") + QString::number(serial);
    if (serial < 100)
        return QStringLiteral("0") + QString::number(serial);
    return QString::number(serial);
}

QStringList runLines(Kind kind, const QString &number, int first, int last,
                     const QString &dkv, const QString &domovka)
{
    const QString prefix = number.left(kind == Kind::Locomotive ? 3 : 8);
    std::array<int, 11> digits{};
    for (int i = 0; i < prefix.size(); ++i)
        digits[i] = prefix[i].unicode() - u'0';
    const int count = int(prefix.size()) + 3;

    QStringList lines;
    lines.reserve(std::max(0, last - first + 1));
    for (int serial = first; serial <= last; ++serial) {
        const QString serialDigits = serialText(serial);
        for (int i = 0; i < 3; ++i)
            digits[prefix.size() + i] = serialDigits[i].unicode() - u'0';
        const int check = numbering::kontrolni_cislice(std::span<const int>(digits.data(), count));
        lines.append(vehicleLine(kind, storage::vehicleNumberText(prefix + serialDigits, check), dkv, domovka));
    }
    return lines;
}

int runStart(const storage::Lines &lines, Kind kind, qint64 k) { return int(lines.firstKeyNotLess(keyFunction(kind), k)); }

namespace {
// Whether an old line carries the vehicle of a run line: the same number.
bool sameVehicle(Kind kind, QByteArrayView oldLine, const QString &runLine)
{
    const std::optional<qint64> oldKey = key(kind, oldLine);
    return oldKey && oldKey == key(kind, runLine);
}
} // namespace

int runReplacedEnd(const storage::Lines &lines, Kind kind, int start, const QStringList &run)
{
    // At step k the line at start + k is old line `end`: the run lines before it
    // were inserted and the matching old lines removed.
    int end = start;
    for (const QString &runLine : run) {
        if (end < lines.size() && sameVehicle(kind, lines.bytes(end), runLine))
            ++end;
    }
    return end;
}

int editedRow(const storage::Lines &lines, const QString &number, int selectedRow)
{
    // A vehicle number is digits and "-": one byte each.
    const QByteArray prefix = number.toLatin1();
    if (selectedRow >= 0 && selectedRow < lines.size() && lines.bytes(selectedRow).startsWith(prefix))
        return selectedRow;
    int found = NotFound;
    lines.forEach(0, [&](qsizetype row, QByteArrayView line) {
        if (!line.startsWith(prefix))
            return true;
        found = found == NotFound ? int(row) : Ambiguous;
        return found != Ambiguous;
    });
    return found;
}

} // namespace placement
