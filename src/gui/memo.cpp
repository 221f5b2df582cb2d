// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "memo.h"

#include "memolines.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextDocument>

namespace {
constexpr qsizetype kLongLine = 10000;
// From this many lines on, the editor's block by block fill is felt: the
// lines view shows the text.
constexpr qsizetype kManyLines = 1000;
// A longer line is left to the editor, which lays it out once.
constexpr qsizetype kLongestViewLine = 1000;

// The text with its lines ended by "\n" alone, where the editor's document
// ends its blocks: at "\n", "\r\n", a lone "\r", the paragraph separator and
// the frame marks. A line separator stays inside its line, as there.
QString asEditorLines(const QString &text)
{
    auto breaks = [](QChar c) {
        return c == QLatin1Char('\r') || c == QChar::ParagraphSeparator || c == QChar(0xfdd0) || c == QChar(0xfdd1);
    };
    if (std::none_of(text.begin(), text.end(), breaks))
        return text;
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            continue;
        lines.append(breaks(text[i]) ? QChar(QLatin1Char('\n')) : text[i]);
    }
    return lines;
}

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

const char kHeadingProperty[] = "trakvidHeading";

// The pane's accessible name is its heading, for the editor and the view.
void nameAfterHeading(QPlainTextEdit *memo)
{
    auto *heading = qobject_cast<QLabel *>(memo->property(kHeadingProperty).value<QObject *>());
    if (!heading || memo->accessibleName() == heading->text())
        return;
    memo->setAccessibleName(heading->text());
    if (MemoLines *lines = MemoLines::of(memo))
        lines->setAccessibleName(heading->text());
}

// A changed caption repaints the label: the name follows it.
class HeadingWatch : public QObject
{
public:
    HeadingWatch(QPlainTextEdit *memo, QLabel *heading) : QObject(heading), m_memo(memo)
    {
        heading->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (m_memo && (e->type() == QEvent::Paint || e->type() == QEvent::Show))
            nameAfterHeading(m_memo);
        return false;
    }

private:
    QPointer<QPlainTextEdit> m_memo;
};
} // namespace

void setupMemo(QPlainTextEdit *memo, QLabel *heading)
{
    if (!MemoLines::of(memo))
        new MemoLines(memo);
    memo->setProperty(kHeadingProperty, QVariant::fromValue(static_cast<QObject *>(heading)));
    new HeadingWatch(memo, heading);
    nameAfterHeading(memo);
}

void setMemoText(QPlainTextEdit *memo, const QString &given)
{
    const QString text = asEditorLines(given);
    const Shape shape = shapeOf(text);
    MemoLines *lines = MemoLines::of(memo);
    // The caller sets the heading before or after the text.
    QMetaObject::invokeMethod(memo, [memo] { nameAfterHeading(memo); }, Qt::QueuedConnection);
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
    memo->document()->setModified(false);
}

bool memoIsEmpty(const QPlainTextEdit *memo)
{
    if (const MemoLines *lines = MemoLines::of(memo); lines && lines->isShown())
        return lines->text().isEmpty();
    return memo->document()->isEmpty();
}

bool memoIsModified(const QPlainTextEdit *memo)
{
    if (const MemoLines *lines = MemoLines::of(memo); lines && lines->isShown())
        return false;
    return memo->document()->isModified();
}

void memoToEditor(QPlainTextEdit *memo)
{
    if (MemoLines *lines = MemoLines::of(memo))
        lines->handOver();
}

QString memoText(const QPlainTextEdit *memo)
{
    // A line separator inside a line is a line break in the pane's text.
    auto asLines = [](QString text) {
        for (QChar &c : text) {
            if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
                c = QLatin1Char('\n');
        }
        return text;
    };
    if (const MemoLines *lines = MemoLines::of(memo); lines && lines->isShown())
        return lines->text().contains(QChar::LineSeparator) ? asLines(lines->text()) : lines->text();
    // The document's plain-text view would turn no-break spaces into blanks,
    // so the raw text is taken and only its line breaks are made "\n".
    return asLines(memo->document()->toRawText());
}
