#pragma once
// The six listing rules: which lines of a database file a typed value selects.
// Knows nothing of windows; the listing commands of the main window use it.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

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

// Check of a typed series (3 digits) or characteristic (4 digits): it must read
// as a whole number, have at least `digits` characters and not exceed the
// largest number of that many digits.
enum class NumberCheck { Ok, NotANumber, WrongLength };
NumberCheck checkNumber(const QString &value, int digits);

} // namespace listings
