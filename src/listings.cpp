#include "listings.h"

#include "numbering.h"

#include <algorithm>

namespace listings {

namespace {
// `count` characters of `line` from the 0-based `position`, or fewer where the
// line ends, compared whole with the value.
bool fieldEquals(QStringView line, qsizetype position, qsizetype count, QStringView value)
{
    const qsizetype available = qBound(qsizetype(0), line.size() - position, count);
    return line.mid(position, available) == value;
}

// One count for every place where `marker` stands and `value` follows it.
int afterEachMarker(QStringView line, QStringView marker, QStringView value)
{
    // A plain walk: a search for the marker would prepare itself anew on
    // every line of a big database.
    int times = 0;
    for (qsizetype at = 0; at + marker.size() <= line.size(); ++at) {
        if (std::equal(marker.begin(), marker.end(), line.begin() + at)
            && fieldEquals(line, at + marker.size(), value.size(), value))
            ++times;
    }
    return times;
}
} // namespace

int bySeries(QStringView line, QStringView value) { return fieldEquals(line, 0, 3, value) ? 1 : 0; }

int byLocomotiveDkv(QStringView line, QStringView value)
{
    return fieldEquals(line, 13, value.size(), value) ? 1 : 0;
}

int byOperatingUnit(QStringView line, QStringView value) { return afterEachMarker(line, u" pj ", value); }

int byCharacteristic(QStringView line, QStringView value) { return fieldEquals(line, 4, 4, value) ? 1 : 0; }

int byWagonDkv(QStringView line, QStringView value)
{
    return fieldEquals(line, 18, value.size(), value) ? 1 : 0;
}

int byHomeStation(QStringView line, QStringView value) { return afterEachMarker(line, u" domovska ", value); }

void Selection::offer(QStringView line, QStringView value, Rule rule)
{
    for (int times = rule(line, value); times > 0; --times) {
        if (count++ > 0)
            text += QLatin1Char('\n');
        text += line;
    }
}

NumberCheck checkNumber(const QString &value, int digits)
{
    const std::optional<int> number = numbering::toInt(value);
    if (!number)
        return NumberCheck::NotANumber;
    int largest = 1;
    for (int i = 0; i < digits; ++i)
        largest *= 10;
    if (value.size() < digits || *number > largest - 1)
        return NumberCheck::WrongLength;
    return NumberCheck::Ok;
}

} // namespace listings
