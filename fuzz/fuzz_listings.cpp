// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The six listing rules and the number check of the series and
// characteristic listings, against plain readings of their rules written
// here character by character. The rules compare the file's bytes with the
// value encoded once; the readings compare the decoded characters with the
// value as typed.
#include "fuzzutil.h"
#include "listings.h"
#include "storage.h"

#include <QList>
#include <limits>

namespace {

// "The characters from position `from` on (counted from 0), `count` of them
// or as many as the line has, equal the value."
bool fieldIs(const QString &line, qsizetype from, qsizetype count, const QString &value)
{
    QString field;
    for (qsizetype i = from; i < from + count && i < line.size(); ++i)
        field += line[i];
    return field == value;
}

// Every place where `marker` stands in the line, character by character,
// overlapping ones too, followed by the value.
int afterMarker(const QString &line, const QString &marker, const QString &value)
{
    int times = 0;
    for (qsizetype at = 0; at + marker.size() <= line.size(); ++at) {
        bool here = true;
        for (qsizetype k = 0; k < marker.size(); ++k)
            here = here && line[at + k] == marker[k];
        if (here && fieldIs(line, at + marker.size(), value.size(), value))
            ++times;
    }
    return times;
}

struct Rule {
    const char *name;
    listings::Rule rule;
    int (*reference)(const QString &line, const QString &value);
};

const Rule kRules[] = {
    {"series", listings::bySeries, [](const QString &l, const QString &v) { return fieldIs(l, 0, 3, v) ? 1 : 0; }},
    {"locomotive DKV", listings::byLocomotiveDkv,
     [](const QString &l, const QString &v) { return fieldIs(l, 13, v.size(), v) ? 1 : 0; }},
    {"operating unit", listings::byOperatingUnit,
     [](const QString &l, const QString &v) { return afterMarker(l, QStringLiteral(" pj "), v); }},
    {"characteristic", listings::byCharacteristic,
     [](const QString &l, const QString &v) { return fieldIs(l, 4, 4, v) ? 1 : 0; }},
    {"wagon DKV", listings::byWagonDkv,
     [](const QString &l, const QString &v) { return fieldIs(l, 18, v.size(), v) ? 1 : 0; }},
    {"home station", listings::byHomeStation,
     [](const QString &l, const QString &v) { return afterMarker(l, QStringLiteral(" domovska "), v); }},
};

listings::NumberCheck referenceCheck(const QString &value, int digits)
{
    const auto number = expectedWhole<int>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!number)
        return listings::NumberCheck::NotANumber;
    const int largest = digits == 3 ? 999 : 9999;
    if (value.size() < digits || *number > largest)
        return listings::NumberCheck::WrongLength;
    return listings::NumberCheck::Ok;
}

void check(const QList<QByteArray> &lines, const QString &value)
{
    const std::optional<QByteArray> encoded = listings::encodeValue(value);
    if (encoded.has_value() != storage::isEncodable(value))
        mismatch("encodeValue", visible(value));
    for (const Rule &r : kRules) {
        listings::Selection selection;
        QStringList listed;
        for (const QByteArray &bytes : lines) {
            const QString line = storage::fromWindows1250(bytes);
            const int want = r.reference(line, value);
            const int got = encoded ? r.rule(bytes, *encoded) : 0;
            if (got != want)
                mismatch(r.name, visible(line) + QStringLiteral(" / value ") + visible(value)
                                     + QStringLiteral(": %1 instead of %2").arg(got).arg(want));
            if (encoded)
                selection.offer(bytes, *encoded, r.rule);
            for (int i = 0; i < want; ++i)
                listed << line;
        }
        if (selection.count != listed.size() || selection.text() != listed.join(QLatin1Char('\n')))
            mismatch("selection", QString::fromLatin1(r.name));
        // The lines as one piece of a file: the finder, which searches for the
        // marker and the value, lists what reading every line lists.
        if (encoded) {
            QByteArray piece;
            for (const QByteArray &bytes : lines)
                piece += bytes + "\n";
            listings::Selection everyLine;
            storage::forEachLine(piece, [&](QByteArrayView line) { everyLine.offer(line, *encoded, r.rule); });
            listings::Selection found;
            listings::LineFinder(r.rule, *encoded).offer(piece, found);
            if (found.count != everyLine.count || found.bytes != everyLine.bytes)
                mismatch("line finder", QString::fromLatin1(r.name));
        }
    }
    for (int digits : {3, 4})
        if (listings::checkNumber(value, digits) != referenceCheck(value, digits))
            mismatch("checkNumber", visible(value));
}

// Few characters, so that the markers and the values meet often.
QString smallAlphabet(const QByteArray &bytes)
{
    static const char16_t alphabet[16] = {u' ', u'p', u'j', u'd', u'o', u'm', u'v', u's',
                                          u'k', u'a', u'7', u'5', u'-', u'ř', u'\r', u'0'};
    QString text;
    for (char b : bytes)
        text += QChar(alphabet[uchar(b) % 16]);
    return text;
}

} // namespace

// The input: the lines of a file, then a 0xFF byte, then the value.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\xFF');
    const QByteArray file = split < 0 ? bytes : bytes.left(split);
    const QByteArray value = split < 0 ? QByteArray() : bytes.mid(split + 1);
    const QList<QByteArray> fileLines = file.split('\n');

    // Any bytes as the file; the value as the same bytes decode, and read as
    // Latin-1, which holds characters Windows-1250 has no byte for.
    check(fileLines, storage::fromWindows1250(value));
    check(fileLines, QString::fromLatin1(value));
    QList<QByteArray> small;
    for (const QByteArray &line : fileLines) {
        QByteArray encoded;
        storage::appendWindows1250(smallAlphabet(line), encoded);
        small << encoded;
    }
    check(small, smallAlphabet(value));
    return 0;
}
