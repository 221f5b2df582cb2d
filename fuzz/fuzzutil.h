// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// Helpers shared by the fuzz targets.
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

// Stops the run with a message; libFuzzer saves the input that led here.
[[noreturn]] inline void mismatch(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "MISMATCH: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

// Shows a text with every character that is not plain ASCII as \uXXXX.
inline QString visible(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

// The bytes as UTF-16 code units (any character, lone surrogates included).
inline QString asUtf16(const uint8_t *data, size_t size)
{
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text += QChar(char16_t(data[i] | (data[i + 1] << 8)));
    return text;
}

// The bytes as Latin-1, so digits, signs and blanks come often.
inline QString asLatin1(const uint8_t *data, size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A plain reading of the whole-number grammar: blanks, an optional sign, at
// least one decimal digit, nothing after. The value is exact up to far beyond
// 64 bits; `huge` marks anything larger.
struct Reading {
    bool number = false;
    bool huge = false;
    __int128 value = 0;
};

inline Reading readWhole(const QString &text)
{
    Reading r;
    qsizetype i = 0;
    while (i < text.size() && text[i] == QChar(u' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QChar(u'+') || text[i] == QChar(u'-'))) {
        negative = text[i] == QChar(u'-');
        ++i;
    }
    if (i == text.size())
        return r;
    const __int128 cap = __int128(1) << 100;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return r;
        if (!r.huge) {
            r.value = r.value * 10 + (c - u'0');
            if (r.value > cap)
                r.huge = true;
        }
    }
    if (negative)
        r.value = -r.value;
    r.number = true;
    return r;
}

template <typename T>
std::optional<T> expectedWhole(const QString &text, __int128 min, __int128 max)
{
    const Reading r = readWhole(text);
    if (!r.number || r.huge || r.value < min || r.value > max)
        return std::nullopt;
    return T(r.value);
}
