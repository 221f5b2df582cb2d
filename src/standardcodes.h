// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The standard codes offered for the owner and regime lists: reading the
// shipped tables and finding which codes a list still lacks. Knows nothing
// of windows.
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace standardcodes {

struct Code {
    QString code; // two digits
    QString text;
};

// Reads UTF-8 lines "code<TAB>text". Blank lines and lines starting with '#'
// are comments; a line whose code is not two digits is skipped.
QList<Code> parse(QByteArrayView utf8);

// The text that appended to `listText` (lines separated by "\n") gives every
// code that begins no line yet a line "code text", in code order, each
// followed by a line end. An unended last line is ended first. Empty when no
// code is missing. A line counts for a code as the report matches it: its
// first two characters are the code.
QString addition(const QString &listText, QList<Code> codes);

} // namespace standardcodes
