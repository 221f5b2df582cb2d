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

DatabaseCheck::DatabaseCheck(bool wagons)
    : m_digits(wagons ? 11 : 6), m_after(wagons ? QStringView(u" domovska ") : QStringView(u" pj "))
{
}

void DatabaseCheck::offer(QStringView line)
{
    const qsizetype lineNumber = ++m_lines;
    if (line.size() < m_digits)
        return;
    qint64 key = 0;
    for (int i = 0; i < m_digits; ++i) {
        const char16_t c = line[i].unicode();
        if (c < u'0' || c > u'9')
            return;
        key = key * 10 + (c - u'0');
    }
    ++m_vehicles;

    QString problems; // allocated only for a line with a problem
    auto add = [&problems](QStringView problem) {
        if (!problems.isEmpty())
            problems += u"; ";
        problems += problem;
    };
    const qsizetype dash = m_digits;
    if (line.size() <= dash + 1 || line[dash] != u'-' || line[dash + 1] < u'0' || line[dash + 1] > u'9') {
        add(u"chybí kontrolní číslice");
    } else {
        const int correct = numbering::checkDigitOf(line.first(m_digits));
        if (line[dash + 1].unicode() - u'0' != correct)
            add(QStringLiteral("chybná kontrolní číslice, správná je %1").arg(correct));
    }
    if (const qsizetype first = earlierLine(key, lineNumber))
        add(QStringLiteral("číslo už je na řádku %1").arg(first));
    if (m_previousLine > 0 && key < m_previousKey)
        add(QStringLiteral("mimo pořadí, menší než číslo na řádku %1").arg(m_previousLine));
    m_previousKey = key;
    m_previousLine = lineNumber;
    const qsizetype dkv = dash + 2;
    if (line.size() < dkv + 5 || line.sliced(dkv, 5) != u" dkv " || line.indexOf(m_after, dkv + 5) < 0)
        add(u"neúplný řádek");

    if (problems.isEmpty())
        return;
    ++m_errors;
    m_problems += QStringLiteral("\nřádek %1: ").arg(lineNumber);
    m_problems += line;
    m_problems += QStringView(u" – ");
    m_problems += problems;
}

qsizetype DatabaseCheck::earlierLine(qint64 key, qsizetype line)
{
    // A number above all seen so far is new; every number in the hash is
    // below the greatest of the array.
    if (m_ascending.empty() || key > m_ascending.back().first) {
        m_ascending.emplace_back(key, line);
        return 0;
    }
    const auto at = std::lower_bound(m_ascending.begin(), m_ascending.end(), std::pair(key, qsizetype(0)));
    if (at != m_ascending.end() && at->first == key)
        return at->second;
    qsizetype &first = m_unordered[key]; // 0 for a number not seen before
    if (first == 0)
        first = line;
    return first == line ? 0 : first;
}

QString DatabaseCheck::text() const
{
    return QStringLiteral("Řádků: %1, vozidel: %2, chyb: %3").arg(m_lines).arg(m_vehicles).arg(m_errors)
           + m_problems;
}

} // namespace listings
