// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Numbering rules of railway vehicles that do not depend on any window.
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>
#include <span>

namespace numbering {

// Check digit of 6 (locomotive) or 11 (wagon) digits, leftmost first:
// the Luhn rule with the rightmost digit doubled.
int kontrolni_cislice(std::span<const int> digits);

// The whole-number conversion used by every field check: leading blanks,
// an optional sign, decimal digits, within the 32-bit range. Anything else
// (empty text, trailing blanks, letters, overflow) fails.
std::optional<int> toInt(const QString &text);
// The same grammar for 64-bit values (wagon line keys).
std::optional<qint64> toInt64(const QString &text);
// The same two readings of Windows-1250 bytes: the grammar is plain ASCII,
// so a byte reads as the character it stands for.
std::optional<int> toInt(QByteArrayView bytes);
std::optional<qint64> toInt64(QByteArrayView bytes);

// The four entry fields of the main window.
enum class Field { Rezim, Vlastnik, Charakteristika, Evidence };
// Where the focus goes when a field has just become full.
enum class Advance { None, Vlastnik, Charakteristika, Evidence, Zadano };

// The focus-advance table: `length` is the field's text length, `vozy`
// whether wagons are selected.
Advance focusAdvance(Field field, int length, bool vozy);

// Locomotive completeness: fewer than 3 characters and a value below 100 is
// incomplete.
bool locomotiveFieldComplete(const QString &text, int value);
// Wagon completeness: a value below `minimum` (10, 1000 or 100) is complete
// only when the text starts with "0".
bool wagonFieldComplete(const QString &text, int value, int minimum);

// True when `s` is exactly one of the characters "0" to "9".
bool isDigit(const QString &s);

// Check digit of a text of 6 or 11 characters "0" to "9".
int checkDigitOf(QStringView digits);

// A vehicle number written whole, as on a vehicle or in a document:
// "21 80 2345 123-8", "21.80.2345.123", "754 001-6", "7540016".
struct WholeNumber {
    QString digits;           // 11 for a wagon, 6 for a locomotive
    std::optional<int> given; // the check digit written after them, if any
    bool wagon() const { return digits.size() == 11; }
};
// Blanks (any white space, so that a number copied from a table cell or typeset
// with no-break spaces reads too), "-" and "." are dropped; the rest must be
// 11 or 12 (wagon) or 6 or 7 (locomotive) characters "0" to "9", the 12th or
// 7th being the given check digit. Anything else is no whole number.
std::optional<WholeNumber> readWholeNumber(QStringView text);

} // namespace numbering
