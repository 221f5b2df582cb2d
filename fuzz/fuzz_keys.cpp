// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The line keys: the first 6 characters of a line as a 32-bit number, the
// first 11 as a 64-bit number, read from the text and from the file's bytes;
// and the keys of lines made from digits.
#include "fuzzutil.h"
#include "numbering.h"
#include "placement.h"
#include "storage.h"

#include <limits>

namespace {
void checkLine(const QString &line)
{
    const auto loco = expectedWhole<int>(line.left(6), std::numeric_limits<int>::min(),
                                         std::numeric_limits<int>::max());
    const auto wagon = expectedWhole<qint64>(line.left(11), std::numeric_limits<qint64>::min(),
                                             std::numeric_limits<qint64>::max());
    if (storage::locomotiveKey(line) != loco)
        mismatch("locomotiveKey", visible(line));
    if (storage::wagonKey(line) != wagon)
        mismatch("wagonKey", visible(line));
    // A line that begins with a letter is never a vehicle line.
    if (!line.isEmpty() && line[0].isLetter() && (storage::locomotiveKey(line) || storage::wagonKey(line)))
        mismatch("letter read as a key", visible(line));
}

// The keys the add window reads from a database's bytes.
void checkBytes(const QByteArray &bytes)
{
    const QString line = storage::fromWindows1250(bytes);
    const auto loco = expectedWhole<int>(line.left(6), std::numeric_limits<int>::min(),
                                         std::numeric_limits<int>::max());
    const auto wagon = expectedWhole<qint64>(line.left(11), std::numeric_limits<qint64>::min(),
                                             std::numeric_limits<qint64>::max());
    if (placement::key(placement::Kind::Locomotive, QByteArrayView(bytes)) != (loco ? std::optional<qint64>(*loco) : std::nullopt))
        mismatch("locomotive key of bytes", visible(line));
    if (placement::key(placement::Kind::Wagon, QByteArrayView(bytes)) != wagon)
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
    if (storage::wagonKey(wagon) != value)
        mismatch("key of a wagon line", visible(wagon));
    if (wagon.mid(18, dkv.size()) != dkv || wagon.at(11) != QChar(u'-'))
        mismatch("layout of a wagon line", visible(wagon));

    const QString loco = storage::locomotiveLine(storage::vehicleNumberText(digits.left(6), check), dkv, other);
    if (storage::locomotiveKey(loco) != int(value / 100000))
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
