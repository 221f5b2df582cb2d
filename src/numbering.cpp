#include "numbering.h"

#include <limits>

namespace numbering {

int kontrolni_cislice(std::span<const int> digits)
{
    int sum = 0;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        // Counted from the right, the last digit and every second one to its
        // left are doubled.
        const bool doubled = (n - 1 - i) % 2 == 0;
        int value = digits[i] * (doubled ? 2 : 1);
        if (doubled && value > 9)
            value -= 9;
        sum += value;
    }
    return (10 - sum % 10) % 10;
}

namespace {
template <typename T>
std::optional<T> parseWhole(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == n)
        return std::nullopt;
    // Accumulate negatively so that the minimum value fits too.
    const T limit = std::numeric_limits<T>::min();
    T value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int d = c - u'0';
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

std::optional<int> toInt(const QString &text) { return parseWhole<int>(text); }
std::optional<qint64> toInt64(const QString &text) { return parseWhole<qint64>(text); }

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
