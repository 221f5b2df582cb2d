// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The whole-number conversion of the entry fields and keys, against a plain
// reading of its grammar and the limits of 32 and 64 bits.
#include "fuzzutil.h"
#include "numbering.h"

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(asLatin1(data, size));
    check(asUtf16(data, size));
    return 0;
}
