// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The line keys: the first 6 or 11 characters of a line when all are digits,
// read from the text and from the file's bytes, against a plain model; and
// the keys of lines made from digits.
#include "fuzzutil.h"
#include "numbering.h"
#include "placement.h"
#include "storage.h"

#include <limits>

namespace {
// The plain model of a line's number: its first `digits` characters, when
// there are that many and each is "0" to "9".
std::optional<qint64> expectedKey(const QString &line, int digits)
{
    if (line.size() < digits)
        return std::nullopt;
    for (int i = 0; i < digits; ++i)
        if (line[i] < QLatin1Char('0') || line[i] > QLatin1Char('9'))
            return std::nullopt;
    return line.left(digits).toLongLong();
}

void checkLine(const QString &line)
{
    if (placement::key(placement::Kind::Locomotive, line) != expectedKey(line, 6))
        mismatch("locomotive key", visible(line));
    if (placement::key(placement::Kind::Wagon, line) != expectedKey(line, 11))
        mismatch("wagon key", visible(line));
    // A line that begins with a letter is never a vehicle line.
    if (!line.isEmpty() && line[0].isLetter()
        && (placement::key(placement::Kind::Locomotive, line) || placement::key(placement::Kind::Wagon, line)))
        mismatch("letter read as a key", visible(line));
}

// The keys read from a database's bytes.
void checkBytes(const QByteArray &bytes)
{
    const QString line = storage::fromWindows1250(bytes);
    if (placement::key(placement::Kind::Locomotive, QByteArrayView(bytes)) != expectedKey(line, 6))
        mismatch("locomotive key of bytes", visible(line));
    if (placement::keyFunction(placement::Kind::Wagon)(QByteArrayView(bytes)) != expectedKey(line, 11))
        mismatch("wagon key of bytes", visible(line));
    if (numbering::toInt(QByteArrayView(bytes)) != numbering::toInt(line)
        || numbering::toInt64(QByteArrayView(bytes)) != numbering::toInt64(line))
        mismatch("whole number of bytes", visible(line));
}

// A vehicle line built from digits taken from the input reads back as the
// value of those digits, whatever allocation follows.
void checkBuiltLine(const uint8_t *data, size_t size)
{
    if (size < 12)
        return;
    QString digits;
    qint64 value = 0;
    for (int i = 0; i < 11; ++i) {
        const int d = data[i] % 10;
        digits += QChar(char16_t(u'0' + d));
        value = value * 10 + d;
    }
    const int check = data[11] % 10;
    const QString rest = asUtf16(data + 12, size - 12);
    const QString dkv = rest.left(rest.size() / 2);
    const QString other = rest.mid(rest.size() / 2);

    const QString wagon = storage::wagonLine(storage::vehicleNumberText(digits, check), dkv, other);
    if (placement::key(placement::Kind::Wagon, wagon) != value)
        mismatch("key of a wagon line", visible(wagon));
    if (wagon.mid(18, dkv.size()) != dkv || wagon.at(11) != QChar(u'-'))
        mismatch("layout of a wagon line", visible(wagon));

    const QString loco = storage::locomotiveLine(storage::vehicleNumberText(digits.left(6), check), dkv, other);
    if (placement::key(placement::Kind::Locomotive, loco) != value / 100000)
        mismatch("key of a locomotive line", visible(loco));
    if (loco.mid(13, dkv.size()) != dkv || loco.at(6) != QChar(u'-'))
        mismatch("layout of a locomotive line", visible(loco));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkLine(asLatin1(data, size));
    checkBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    checkLine(asUtf16(data, size));
    checkBuiltLine(data, size);
    return 0;
}
