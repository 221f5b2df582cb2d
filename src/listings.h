// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The six listing rules: which lines of a database file a typed value selects.
// Knows nothing of windows; the listing commands of the main window use it.
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace listings {

// Each rule tells how many times `line` is listed for `value`, both as the
// file's Windows-1250 bytes: one byte is one character, so comparing bytes
// is comparing characters. The fixed-place
// rules give 0 or 1; the marker rules give one per occurrence of their marker
// (occurrences may overlap) that the value follows. Comparisons are exact:
// case and blanks count, nothing is trimmed. A field that runs past the end
// of the line is what the line has of it, so it can equal only a value as
// short as that. An empty value compares no
// characters, so it matches wherever the marker rules find their marker and
// everywhere for the depot rules; the commands never pass one.

// Locomotives by series: characters 1 to 3 equal the value.
int bySeries(QByteArrayView line, QByteArrayView value);
// Locomotives by depot: from the 14th character on, as many characters as the value has.
int byLocomotiveDkv(QByteArrayView line, QByteArrayView value);
// Locomotives by operating unit: after each " pj ".
int byOperatingUnit(QByteArrayView line, QByteArrayView value);
// Wagons by characteristic: characters 5 to 8 equal the value.
int byCharacteristic(QByteArrayView line, QByteArrayView value);
// Wagons by depot: from the 19th character on, as many characters as the value has.
int byWagonDkv(QByteArrayView line, QByteArrayView value);
// Wagons by home station: after each " domovska ".
int byHomeStation(QByteArrayView line, QByteArrayView value);

using Rule = int (*)(QByteArrayView line, QByteArrayView value);

// A typed value as the bytes a line would hold, encoded once for the whole
// file; nullopt when a character has no Windows-1250 byte, and then no line
// can hold the value.
std::optional<QByteArray> encodeValue(const QString &value);

// The listed lines, in the order they were offered, each as often as its rule
// lists it; kept as bytes and decoded once at the end.
struct Selection {
    QByteArray bytes; // joined by LF, no line end after the last
    qsizetype count = 0;
    // Adds `line` as many times as `rule` lists it for `value`.
    void offer(QByteArrayView line, QByteArrayView value, Rule rule);
    QString text() const;
};

// Offers the lines of a file, piece by piece, to a selection. For a rule
// after a marker (" pj ", " domovska ") only the lines that hold the marker
// followed by the value are read, as no other line can be listed: they are
// searched for in the piece as grep searches, skipping the rest. The other
// rules read every line.
class LineFinder
{
public:
    LineFinder(Rule rule, QByteArrayView value);
    LineFinder(const LineFinder &) = delete;
    LineFinder &operator=(const LineFinder &) = delete;
    // `piece`: whole lines with their line ends, the last one's optional.
    void offer(QByteArrayView piece, Selection &selection) const;

private:
    Rule m_rule;
    QByteArray m_value;
    QByteArray m_needle; // the marker and the value; empty for a rule of a fixed place
    std::optional<std::boyer_moore_horspool_searcher<const char *>> m_searcher;
};

// Check of a typed series (3 digits) or characteristic (4 digits): it must read
// as a whole number, have at least `digits` characters and not exceed the
// largest number of that many digits.
enum class NumberCheck { Ok, NotANumber, WrongLength };
NumberCheck checkNumber(const QString &value, int digits);

// The check of the numbers of a whole database, fed its lines in file order
// as the file's bytes; only the lines it reports are decoded.
// A line whose first 11 (wagons) or 6 (locomotives) characters are all digits
// is a vehicle line; any other line is a bookmark or the header and is only
// counted. A vehicle line's problems, in this order: no "-" and one digit
// after the number; a wrong check digit; a number that an earlier vehicle
// line has; a number smaller than that of the vehicle line just before it;
// " dkv " not right after the check digit, or no " domovska " (wagons) or
// " pj " (locomotives) after it.
class DatabaseCheck
{
public:
    explicit DatabaseCheck(bool wagons);
    // The next line of the file, without its line end.
    void offer(QByteArrayView line);
    // "Řádků: N, vozidel: V, chyb: E", then one line for every vehicle line
    // with a problem: "řádek L: ", the line, " – " and its problems joined by "; ".
    QString text() const;
    qsizetype lines() const { return m_lines; }
    qsizetype vehicles() const { return m_vehicles; }
    qsizetype errors() const { return m_errors; }

private:
    int m_digits;        // 11 or 6
    QByteArrayView m_after; // " domovska " or " pj "
    qsizetype m_lines = 0;
    qsizetype m_vehicles = 0;
    qsizetype m_errors = 0;
    qint64 m_previousKey = 0;
    qsizetype m_previousLine = 0; // 0: no vehicle line yet
    // The first line of every number seen. A database kept in order gives its
    // numbers ascending: they go on the end of a sorted array, and only the few
    // out of order into a hash, so a million lines stay quick and small.
    std::vector<std::pair<qint64, qsizetype>> m_ascending;
    QHash<qint64, qsizetype> m_unordered;
    // The first line before `line` with the number `key`, or 0 when there is none.
    qsizetype earlierLine(qint64 key, qsizetype line);
    QString m_problems; // the problem lines, each after a "\n"
};

} // namespace listings
