// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "listings.h"

#include "numbering.h"
#include "storage.h"

#include <algorithm>
#include <cstring>
#include <functional>

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

LineFinder::LineFinder(Rule rule, QByteArrayView value) : m_rule(rule), m_value(value.toByteArray())
{
    const char *marker = rule == byOperatingUnit ? " pj " : rule == byHomeStation ? " domovska " : nullptr;
    if (!marker)
        return;
    m_needle = marker + m_value;
    m_searcher.emplace(m_needle.cbegin(), m_needle.cend());
}

void LineFinder::offer(QByteArrayView piece, Selection &selection) const
{
    if (!m_searcher) {
        storage::forEachLine(piece, [&](QByteArrayView line) { selection.offer(line, m_value, m_rule); });
        return;
    }
    const char *const begin = piece.data();
    const char *const end = begin + piece.size();
    for (const char *from = begin; from < end;) {
        const char *found = std::search(from, end, *m_searcher);
        if (found == end)
            return;
        // The whole line of the find, read by the rule itself: it counts
        // every place in the line and leaves out a find that runs into the
        // line end.
        const void *lf = std::memchr(found, '\n', size_t(end - found));
        const char *lineEnd = lf ? static_cast<const char *>(lf) : end;
        const qsizetype before = QByteArrayView(from, found).lastIndexOf('\n');
        const char *lineStart = from + before + 1;
        storage::forEachLine(QByteArrayView(lineStart, lineEnd), [&](QByteArrayView line) {
            selection.offer(line, m_value, m_rule);
        });
        if (!lf)
            return;
        from = lineEnd + 1;
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
    : m_digits(wagons ? 11 : 6), m_after(wagons ? QByteArrayView(" domovska ") : QByteArrayView(" pj "))
{
}

void DatabaseCheck::offer(QByteArrayView line)
{
    const qsizetype lineNumber = ++m_lines;
    const std::optional<qint64> number = storage::lineKey(line, m_digits);
    if (!number)
        return;
    const qint64 key = *number;
    ++m_vehicles;

    QString problems; // allocated only for a line with a problem
    auto add = [&problems](QStringView problem) {
        if (!problems.isEmpty())
            problems += u"; ";
        problems += problem;
    };
    const qsizetype dash = m_digits;
    if (line.size() <= dash + 1 || line[dash] != '-' || line[dash + 1] < '0' || line[dash + 1] > '9') {
        add(u"chybí kontrolní číslice");
    } else {
        int digits[11] = {};
        for (int i = 0; i < m_digits; ++i)
            digits[i] = line[i] - '0';
        const int correct = numbering::kontrolni_cislice(std::span<const int>(digits, size_t(m_digits)));
        if (line[dash + 1] - '0' != correct)
            add(QStringLiteral("chybná kontrolní číslice, správná je %1").arg(correct));
    }
    if (const qsizetype first = earlierLine(key, lineNumber))
        add(QStringLiteral("číslo už je na řádku %1").arg(first));
    if (m_previousLine > 0 && key < m_previousKey)
        add(QStringLiteral("mimo pořadí, menší než číslo na řádku %1").arg(m_previousLine));
    m_previousKey = key;
    m_previousLine = lineNumber;
    const qsizetype dkv = dash + 2;
    if (line.size() < dkv + 5 || line.sliced(dkv, 5) != " dkv " || line.indexOf(m_after, dkv + 5) < 0)
        add(u"neúplný řádek");

    if (problems.isEmpty())
        return;
    ++m_errors;
    m_problems += QStringLiteral("\nřádek %1: ").arg(lineNumber);
    m_problems += storage::fromWindows1250(line);
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
