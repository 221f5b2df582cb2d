// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "memo.h"

#include "memolines.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace {
constexpr qsizetype kLongLine = 10000;
// From this many lines on, the editor's block by block fill is felt: the
// lines view shows the text.
constexpr qsizetype kManyLines = 1000;
// The lines view lays a line out whole and does not wrap it; a longer line
// is left to the editor.
constexpr qsizetype kLongestViewLine = 1000;

struct Shape {
    qsizetype lines = 0;
    qsizetype longest = 0;
};

Shape shapeOf(const QString &text)
{
    Shape shape;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        ++shape.lines;
        shape.longest = std::max(shape.longest, (end < 0 ? text.size() : end) - start);
        if (end < 0)
            return shape;
        start = end + 1;
    }
}
} // namespace

void setMemoText(QPlainTextEdit *memo, const QString &text)
{
    const Shape shape = shapeOf(text);
    MemoLines *lines = MemoLines::of(memo);
    if (shape.lines >= kManyLines && shape.longest <= kLongestViewLine) {
        if (!lines)
            lines = new MemoLines(memo);
        memo->clear();
        memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        lines->showText(text);
        return;
    }
    if (lines)
        lines->release();
    // The toolkit lays the text out again at every change of the mode, and
    // lays new text out as it arrives: the mode for a long line is set before
    // it goes in, and the mode for ordinary text after the long line is gone.
    if (shape.longest > kLongLine) {
        memo->setWordWrapMode(QTextOption::WrapAnywhere);
        memo->setPlainText(text);
    } else {
        memo->setPlainText(text);
        memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
}

bool memoIsEmpty(const QPlainTextEdit *memo)
{
    if (const MemoLines *lines = MemoLines::of(memo); lines && lines->isShown())
        return lines->text().isEmpty();
    return memo->document()->isEmpty();
}

QString memoText(const QPlainTextEdit *memo)
{
    if (const MemoLines *lines = MemoLines::of(memo); lines && lines->isShown())
        return lines->text();
    // The document's plain-text view would turn no-break spaces into blanks,
    // so the raw text is taken and only its line breaks are made "\n".
    QString text = memo->document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}
