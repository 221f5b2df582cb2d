// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The whole-number conversion of the entry fields and keys, against a plain
// reading of its grammar and the limits of 32 and 64 bits; and the reading of
// a file saved in UTF-8, against the toolkit's decoder.
#include "fuzzutil.h"
#include "numbering.h"
#include "storage.h"

#include <QStringDecoder>
#include <algorithm>
#include <limits>

namespace {
void check(const QString &text)
{
    const auto want32 = expectedWhole<int>(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    const auto want64 =
        expectedWhole<qint64>(text, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    const std::optional<int> got32 = numbering::toInt(text);
    const std::optional<qint64> got64 = numbering::toInt64(text);
    if (got32 != want32)
        mismatch("toInt", visible(text));
    if (got64 != want64)
        mismatch("toInt64", visible(text));
    // A value read back from its own decimal text is the same value.
    if (got64 && numbering::toInt64(QString::number(*got64)) != got64)
        mismatch("toInt64 of its own text", visible(text));
}
} // namespace

// A file another program saved: taken as UTF-8 exactly when the toolkit's
// decoder reads it without an error and it holds more than ASCII, and then
// converted as the text's own Windows-1250 bytes.
void checkUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    QByteArray expected;
    const storage::Utf8 model = decoder.hasError() || ascii ? storage::Utf8::No
                                : storage::appendWindows1250(text, expected) ? storage::Utf8::Converted
                                                                             : storage::Utf8::NotConvertible;
    QByteArray converted = bytes;
    if (storage::utf8ToWindows1250(converted) != model)
        mismatch("UTF-8 reading", visible(text));
    if (converted != (model == storage::Utf8::Converted ? expected : bytes))
        mismatch("UTF-8 conversion", visible(text));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(asLatin1(data, size));
    check(asUtf16(data, size));
    checkUtf8(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
