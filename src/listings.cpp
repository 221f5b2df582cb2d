#include "listings.h"

#include "numbering.h"
#include "storage.h"

#include <algorithm>
#include <cstring>

namespace listings {

namespace {
// `count` bytes of `line` from the 0-based `position`, or fewer where the
// line ends, compared whole with the value.
bool fieldEquals(QByteArrayView line, qsizetype position, qsizetype count, QByteArrayView value)
{
    const qsizetype available = qBound(qsizetype(0), line.size() - position, count);
    return available == value.size() && std::memcmp(line.data() + position, value.data(), size_t(available)) == 0;
}

// One count for every place where `marker` stands and `value` follows it.
int afterEachMarker(QByteArrayView line, QByteArrayView marker, QByteArrayView value)
{
    // Only a place that holds the marker's first byte can start it; memchr
    // finds those fast.
    int times = 0;
    const char *data = line.data();
    const qsizetype lastStart = line.size() - marker.size();
    for (qsizetype at = 0; at <= lastStart; ++at) {
        const void *first = std::memchr(data + at, marker[0], size_t(lastStart - at + 1));
        if (!first)
            break;
        at = static_cast<const char *>(first) - data;
        if (std::memcmp(data + at, marker.data(), size_t(marker.size())) == 0
            && fieldEquals(line, at + marker.size(), value.size(), value))
            ++times;
    }
    return times;
}
} // namespace

int bySeries(QByteArrayView line, QByteArrayView value) { return fieldEquals(line, 0, 3, value) ? 1 : 0; }

int byLocomotiveDkv(QByteArrayView line, QByteArrayView value)
{
    return fieldEquals(line, 13, value.size(), value) ? 1 : 0;
}

int byOperatingUnit(QByteArrayView line, QByteArrayView value) { return afterEachMarker(line, " pj ", value); }

int byCharacteristic(QByteArrayView line, QByteArrayView value) { return fieldEquals(line, 4, 4, value) ? 1 : 0; }

int byWagonDkv(QByteArrayView line, QByteArrayView value)
{
    return fieldEquals(line, 18, value.size(), value) ? 1 : 0;
}

int byHomeStation(QByteArrayView line, QByteArrayView value) { return afterEachMarker(line, " domovska ", value); }

std::optional<QByteArray> encodeValue(const QString &value)
{
    QByteArray bytes;
    if (!storage::appendWindows1250(value, bytes))
        return std::nullopt;
    return bytes;
}

void Selection::offer(QByteArrayView line, QByteArrayView value, Rule rule)
{
    for (int times = rule(line, value); times > 0; --times) {
        if (count++ > 0)
            bytes += '\n';
        bytes += line;
    }
}

QString Selection::text() const { return storage::fromWindows1250(bytes); }

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
