// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "numbering.h"

#include <limits>

namespace numbering {

int kontrolni_cislice(std::span<const int> digits)
{
    // A doubled digit above 9 counts 9 less; looked up, as a branch on the
    // value would be mispredicted half the time over a whole database.
    static constexpr int kDoubled[10] = {0, 2, 4, 6, 8, 1, 3, 5, 7, 9};
    int sum = 0;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        const int digit = digits[i];
        // Counted from the right, the last digit and every second one to its
        // left are doubled.
        if ((n - 1 - i) % 2 != 0)
            sum += digit;
        else if (unsigned(digit) < 10)
            sum += kDoubled[digit];
        else
            sum += digit * 2 > 9 ? digit * 2 - 9 : digit * 2;
    }
    return (10 - sum % 10) % 10;
}

namespace {
// `Char` is char16_t for text and uchar for Windows-1250 bytes.
template <typename T, typename Char>
std::optional<T> parseWhole(const Char *text, qsizetype n)
{
    qsizetype i = 0;
    while (i < n && text[i] == Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == Char('+') || text[i] == Char('-'))) {
        negative = text[i] == Char('-');
        ++i;
    }
    if (i == n)
        return std::nullopt;
    // Accumulate negatively so that the minimum value fits too.
    const T limit = std::numeric_limits<T>::min();
    T value = 0;
    for (; i < n; ++i) {
        const Char c = text[i];
        if (c < Char('0') || c > Char('9'))
            return std::nullopt;
        const int d = int(c - Char('0'));
        if (value < (limit + d) / 10)
            return std::nullopt;
        value = value * 10 - d;
    }
    if (!negative) {
        if (value == limit)
            return std::nullopt;
        value = -value;
    }
    return value;
}
} // namespace

std::optional<int> toInt(const QString &text) { return parseWhole<int>(text.utf16(), text.size()); }
std::optional<qint64> toInt64(const QString &text) { return parseWhole<qint64>(text.utf16(), text.size()); }

std::optional<int> toInt(QByteArrayView bytes)
{
    return parseWhole<int>(reinterpret_cast<const uchar *>(bytes.data()), bytes.size());
}

std::optional<qint64> toInt64(QByteArrayView bytes)
{
    return parseWhole<qint64>(reinterpret_cast<const uchar *>(bytes.data()), bytes.size());
}

Advance focusAdvance(Field field, int length, bool vozy)
{
    switch (field) {
    case Field::Rezim:
        if (length == 2 && vozy)
            return Advance::Vlastnik;
        if (length == 3 && !vozy)
            return Advance::Vlastnik;
        return Advance::None;
    case Field::Vlastnik:
        if (length == 2 && vozy)
            return Advance::Charakteristika;
        if (length == 3 && !vozy)
            return Advance::Zadano;
        return Advance::None;
    case Field::Charakteristika:
        return length == 4 ? Advance::Evidence : Advance::None;
    case Field::Evidence:
        return length == 3 ? Advance::Zadano : Advance::None;
    }
    return Advance::None;
}

bool locomotiveFieldComplete(const QString &text, int value)
{
    return !(text.size() < 3 && value < 100);
}

bool wagonFieldComplete(const QString &text, int value, int minimum)
{
    return !(value < minimum && !text.startsWith(QLatin1Char('0')));
}

bool isDigit(const QString &s)
{
    return s.size() == 1 && s[0] >= QLatin1Char('0') && s[0] <= QLatin1Char('9');
}

int checkDigitOf(QStringView digits)
{
    int values[11] = {};
    const qsizetype n = qMin(digits.size(), qsizetype(11));
    for (qsizetype i = 0; i < n; ++i)
        values[i] = digits[i].unicode() - u'0';
    return kontrolni_cislice(std::span<const int>(values, size_t(n)));
}

std::optional<WholeNumber> readWholeNumber(QStringView text)
{
    // A pasted page of text is no number: stop as soon as there are too many digits.
    QString digits;
    for (QChar c : text) {
        if (c.isSpace() || c == u'-' || c == u'.')
            continue;
        if (c < u'0' || c > u'9' || digits.size() == 12)
            return std::nullopt;
        digits += c;
    }
    WholeNumber number;
    switch (digits.size()) {
    case 12:
    case 7:
        number.given = digits.back().unicode() - u'0';
        digits.chop(1);
        break;
    case 11:
    case 6:
        break;
    default:
        return std::nullopt;
    }
    number.digits = digits;
    return number;
}

} // namespace numbering
