// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "memolines.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

const char kViewProperty[] = "trakvidMemoLines";

// Word under a position, and the ends of words, exactly as the editor's
// cursor finds them: the block is put into a document of its own.
std::pair<int, int> wordAround(QStringView block, int column, bool whole)
{
    QTextDocument doc;
    doc.setPlainText(block.toString());
    QTextCursor cursor(&doc);
    cursor.setPosition(std::clamp(column, 0, int(block.size())));
    if (whole) {
        cursor.select(QTextCursor::WordUnderCursor);
    } else {
        cursor.movePosition(QTextCursor::StartOfWord);
        const int start = cursor.position();
        cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        return {start, cursor.position()};
    }
    return {cursor.selectionStart(), cursor.selectionEnd()};
}

// Assistive technology reads the view as the pane's text field. Every answer
// holds for any offset and for an empty view: a client may keep this object
// after the text is gone.
class MemoLinesAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface
{
public:
    explicit MemoLinesAccessible(MemoLines *view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    MemoLines *view() const { return static_cast<MemoLines *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return view()->text();
        return QAccessibleWidget::text(t);
    }

    int size() const { return int(view()->text().size()); }
    int clamp(int offset) const { return std::clamp(offset, 0, size()); }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || view()->anchor() == view()->cursorPosition())
            return;
        *startOffset = int(std::min(view()->anchor(), view()->cursorPosition()));
        *endOffset = int(std::max(view()->anchor(), view()->cursorPosition()));
    }
    int selectionCount() const override { return view()->anchor() == view()->cursorPosition() ? 0 : 1; }
    void addSelection(int startOffset, int endOffset) override { view()->setSelection(startOffset, endOffset); }
    void removeSelection(int) override { view()->setSelection(view()->cursorPosition(), view()->cursorPosition()); }
    void setSelection(int, int startOffset, int endOffset) override { view()->setSelection(startOffset, endOffset); }
    int cursorPosition() const override { return int(view()->cursorPosition()); }
    void setCursorPosition(int position) override { view()->setSelection(position, position); }
    QString text(int startOffset, int endOffset) const override
    {
        startOffset = clamp(startOffset);
        return view()->text().mid(startOffset, clamp(endOffset) - startOffset);
    }
    int characterCount() const override { return size(); }
    QRect characterRect(int offset) const override
    {
        if (offset < 0 || offset >= size())
            return QRect();
        const QRect r = view()->cursorRect(offset);
        const QRect next = view()->cursorRect(offset + 1);
        QRect character(r.topLeft(), QSize(next.top() == r.top() ? std::max(1, next.left() - r.left()) : 1, r.height()));
        return QRect(view()->viewport()->mapToGlobal(character.topLeft()), character.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(local))
            return -1;
        return int(view()->positionAt(local));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        view()->ensureVisible(clamp(endIndex));
        view()->ensureVisible(clamp(startIndex));
    }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        Q_UNUSED(offset);
        *startOffset = 0;
        *endOffset = size();
        return QString();
    }

    // The piece of the given kind around an offset, found on its line only.
    std::pair<int, int> boundaries(int offset, QAccessible::TextBoundaryType type) const
    {
        const MemoLines *v = view();
        v->trimLayouts();
        offset = clamp(offset);
        const qsizetype index = v->lineOf(offset);
        const int start = int(v->lineStart(index));
        const QStringView line = v->line(index);
        const int column = offset - start;
        switch (type) {
        case QAccessible::CharBoundary: {
            if (offset >= size())
                return {offset, offset};
            const int next = column < line.size() ? v->layoutOf(index)->nextCursorPosition(column) : column + 1;
            return {offset, start + next};
        }
        case QAccessible::WordBoundary: {
            const auto [from, to] = wordAround(line, column, false);
            return {start + from, start + to};
        }
        case QAccessible::LineBoundary: {
            const QTextLayout *layout = v->layoutOf(index);
            const QTextLine textLine = layout->lineForTextPosition(column);
            if (!textLine.isValid())
                return {start, start + int(line.size())};
            int end = textLine.textStart() + textLine.textLength();
            if (textLine.lineNumber() < layout->lineCount() - 1 && end > 0 && line[end - 1].isSpace())
                --end;
            return {start + textLine.textStart(), start + end};
        }
        case QAccessible::SentenceBoundary: {
            QTextBoundaryFinder sentences(QTextBoundaryFinder::Sentence, line.toString());
            sentences.setPosition(column);
            const int from = sentences.isAtBoundary() && column < line.size() ? column : int(sentences.toPreviousBoundary());
            sentences.setPosition(column);
            const int to = int(sentences.toNextBoundary());
            return {start + std::max(0, from), start + (to < 0 ? int(line.size()) : to)};
        }
        case QAccessible::ParagraphBoundary:
            return {start, start + int(line.size())};
        case QAccessible::NoBoundary:
            break;
        }
        return {0, size()};
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                         int *endOffset) const override
    {
        std::tie(*startOffset, *endOffset) = boundaries(offset, type);
        return text(*startOffset, *endOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                             int *endOffset) const override
    {
        const int at = boundaries(offset, type).first;
        if (at <= 0) {
            *startOffset = *endOffset = -1;
            return QString();
        }
        std::tie(*startOffset, *endOffset) = boundaries(at - 1, type);
        return text(*startOffset, *endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                            int *endOffset) const override
    {
        const int at = boundaries(offset, type).second;
        if (at >= size()) {
            *startOffset = *endOffset = -1;
            return QString();
        }
        std::tie(*startOffset, *endOffset) = boundaries(at, type);
        return text(*startOffset, *endOffset);
    }

    // Writing through assistive technology is an edit: the editor takes it.
    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        startOffset = clamp(startOffset);
        endOffset = clamp(endOffset);
        QPlainTextEdit *editor = view()->editor();
        view()->handOver();
        QTextCursor cursor(editor->document());
        cursor.setPosition(startOffset);
        cursor.setPosition(endOffset, QTextCursor::KeepAnchor);
        cursor.insertText(text);
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("MemoLines") && object && object->isWidgetType())
        return new MemoLinesAccessible(static_cast<MemoLines *>(object));
    return nullptr;
}

// Puts `view` into the grid cell of `editor`, so that the two always share a place.
bool shareCell(QLayout *layout, QWidget *editor, QWidget *view)
{
    if (!layout)
        return false;
    if (auto *grid = qobject_cast<QGridLayout *>(layout); grid && grid->indexOf(editor) >= 0) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(editor), &row, &column, &rows, &columns);
        grid->addWidget(view, row, column, rows, columns);
        return true;
    }
    for (int i = 0; i < layout->count(); ++i)
        if (shareCell(layout->itemAt(i)->layout(), editor, view))
            return true;
    return false;
}

} // namespace

MemoLines::MemoLines(QPlainTextEdit *editor) : QAbstractScrollArea(editor->parentWidget()), m_editor(editor)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    editor->setProperty(kViewProperty, QVariant::fromValue(static_cast<QObject *>(this)));
    setObjectName(editor->objectName() + QStringLiteral("_lines"));
    setAccessibleName(editor->accessibleName());
    setAccessibleDescription(editor->accessibleDescription());
    setFrameStyle(editor->frameStyle());
    setVerticalScrollBarPolicy(editor->verticalScrollBarPolicy());
    setHorizontalScrollBarPolicy(editor->horizontalScrollBarPolicy());
    setSizePolicy(editor->sizePolicy());
    setMinimumSize(editor->minimumSize());
    setFont(editor->font());
    setFocusPolicy(editor->focusPolicy());
    setAttribute(Qt::WA_InputMethodEnabled);
    setInputMethodHints(Qt::ImhMultiLine);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(1);
    // The editor keeps its place in the window while the view shows a text.
    QSizePolicy kept = editor->sizePolicy();
    kept.setRetainSizeWhenHidden(true);
    editor->setSizePolicy(kept);
    if (!parentWidget() || !shareCell(parentWidget()->layout(), editor, this))
        editor->installEventFilter(this);
    hide();
    QWidget::setTabOrder(editor, this);
    // A click on the scroll bar's track turns a page as Page Up and Page Down
    // do, without moving the cursor.
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderPageStepAdd || action == QAbstractSlider::SliderPageStepSub)
            pageUpDown(action == QAbstractSlider::SliderPageStepAdd, false, false);
    });
    // Text put into the editor directly takes the pane back.
    connect(editor, &QPlainTextEdit::textChanged, this, [this] {
        if (m_shown && !m_editor->document()->isEmpty())
            release();
    });
}

MemoLines::~MemoLines() = default;

MemoLines *MemoLines::of(const QPlainTextEdit *editor)
{
    return qobject_cast<MemoLines *>(editor->property(kViewProperty).value<QObject *>());
}

void MemoLines::showText(const QString &text)
{
    stopInteraction();
    const qsizetype before = m_shown ? m_text.size() : m_editor->document()->characterCount() - 1;
    m_text = text;
    m_starts.clear();
    m_starts.push_back(0);
    for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0; at = text.indexOf(QLatin1Char('\n'), at + 1))
        m_starts.push_back(at + 1);
    m_anchor = m_position = 0;
    m_x = -1;
    m_topBlock = 0;
    m_topLine = 0;
    m_pageYValid = false;
    clearLayouts();

    QPalette p = palette();
    p.setColor(QPalette::Base, m_editor->palette().color(QPalette::Light));
    viewport()->setPalette(p);
    if (!m_shown) {
        const bool hadFocus = m_editor->hasFocus();
        m_shown = true;
        if (m_editor->testAttribute(Qt::WA_Resized) && !parentWidget()->layout())
            setGeometry(m_editor->geometry());
        show();
        if (hadFocus)
            setFocus();
        m_editor->setFocusProxy(this);
        m_editor->hide();
    }
    horizontalScrollBar()->setValue(0);
    adjustScrollBars();
    setTopBlock(0, 0);
    viewport()->update();
    if (QAccessible::isActive()) {
        // As the editor tells of a new text: what went and what came.
        if (before > 0 && !m_text.isEmpty()) {
            QAccessibleTextUpdateEvent event(this, 0, QString(before, QLatin1Char(' ')), m_text);
            QAccessible::updateAccessibility(&event);
        } else if (before > 0) {
            QAccessibleTextRemoveEvent event(this, 0, QString(before, QLatin1Char(' ')));
            QAccessible::updateAccessibility(&event);
        } else if (!m_text.isEmpty()) {
            QAccessibleTextInsertEvent event(this, 0, m_text);
            QAccessible::updateAccessibility(&event);
        }
        QAccessibleTextCursorEvent cursor(this, 0);
        QAccessible::updateAccessibility(&cursor);
    }
    // Whoever watches the pane's text watches the editor's signal.
    emit m_editor->textChanged();
}

void MemoLines::stopInteraction()
{
    // Nothing of a gesture in progress outlives the text it was made on.
    m_autoScroll.stop();
    m_tripleClick.stop();
    m_blink.stop();
    m_selecting = false;
    m_mightDrag = false;
}

void MemoLines::clearLayouts()
{
    m_layouts.clear();
    m_extraLines.clear();
    m_extraTotal = 0;
    m_widest = viewport()->width();
}

void MemoLines::release()
{
    if (!m_shown)
        return;
    stopInteraction();
    if (QAccessible::isActive() && !m_text.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, 0, QString(m_text.size(), QLatin1Char(' ')));
        QAccessible::updateAccessibility(&event);
    }
    const bool hadFocus = hasFocus();
    m_shown = false;
    m_editor->setFocusProxy(nullptr);
    m_editor->show();
    if (hadFocus)
        m_editor->setFocus();
    forgetText();
    emit m_editor->textChanged();
}

void MemoLines::handOver()
{
    if (!m_shown)
        return;
    stopInteraction();
    const qsizetype top = m_topBlock;
    const int topLine = m_topLine;
    const bool hadFocus = hasFocus();
    m_shown = false;
    m_editor->setFocusProxy(nullptr);
    m_editor->show();
    // The text goes in as a new document of the editor's kind: the editor
    // then tells assistive technology of no change, as there is none.
    QTextDocument *old = m_editor->document();
    auto *document = new QTextDocument(m_editor);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setDefaultFont(old->defaultFont());
    document->setDocumentMargin(old->documentMargin());
    document->setDefaultTextOption(old->defaultTextOption());
    document->setPlainText(m_text);
    document->setModified(false);
    // The editor deletes the document it made; one made here goes here.
    const bool madeHere = old->parent() == m_editor;
    m_editor->setDocument(document);
    if (madeHere)
        delete old;
    QTextCursor cursor(m_editor->document());
    cursor.setPosition(int(m_anchor));
    cursor.setPosition(int(m_position), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editor->verticalScrollBar()->setValue(
        m_editor->document()->findBlockByNumber(int(top)).firstLineNumber() + topLine);
    m_editor->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    if (hadFocus)
        m_editor->setFocus();
    forgetText();
}

// The editor shows the pane again: the view lets its text go.
void MemoLines::forgetText()
{
    hide();
    m_text = QString();
    m_starts = {0};
    m_anchor = m_position = 0;
    m_topBlock = 0;
    m_topLine = 0;
    clearLayouts();
}

void MemoLines::handOverWith(QEvent *e, QWidget *receiver)
{
    handOver();
    QCoreApplication::sendEvent(receiver, e);
}

QStringView MemoLines::line(qsizetype index) const
{
    index = std::clamp<qsizetype>(index, 0, lineCount() - 1);
    const qsizetype start = m_starts[size_t(index)];
    const qsizetype end = size_t(index) + 1 < m_starts.size() ? m_starts[size_t(index) + 1] - 1 : m_text.size();
    return QStringView(m_text).sliced(start, end - start);
}

qsizetype MemoLines::lineOf(qsizetype position) const
{
    return std::max<qsizetype>(0, std::upper_bound(m_starts.begin(), m_starts.end(), position) - m_starts.begin() - 1);
}

qreal MemoLines::margin() const { return m_editor->document()->documentMargin(); }

void MemoLines::trimLayouts() const
{
    // Laid-out blocks are kept while they are shown; the many met while
    // reading through a long text are let go now and then.
    if (m_layouts.size() > 4096)
        m_layouts.clear();
}

const QTextLayout *MemoLines::layoutOf(qsizetype index) const
{
    index = std::clamp<qsizetype>(index, 0, lineCount() - 1);
    if (auto found = m_layouts.find(index); found != m_layouts.end())
        return found->second.get();
    // Laid out as the editor lays out a block: its font, its text option,
    // the document margin on both sides, the viewport's width.
    auto layout = std::make_unique<QTextLayout>(line(index).toString(), m_editor->document()->defaultFont(),
                                                viewport());
    layout->setTextOption(m_editor->document()->defaultTextOption());
    layout->setCacheEnabled(true);
    const qreal m = margin();
    const qreal width = (viewport()->width() > 0 ? viewport()->width() : qreal(INT_MAX)) - 2 * m;
    qreal height = 0;
    layout->beginLayout();
    for (QTextLine textLine = layout->createLine(); textLine.isValid(); textLine = layout->createLine()) {
        textLine.setLeadingIncluded(true);
        textLine.setLineWidth(width);
        textLine.setPosition(QPointF(m, height));
        height += textLine.height();
        if (textLine.leading() < 0)
            height += std::ceil(textLine.leading());
        if (textLine.naturalTextWidth() + 2 * m > m_widest) {
            m_widest = textLine.naturalTextWidth() + 2 * m;
            m_sizeChanged = true;
        }
    }
    layout->endLayout();
    const int extra = std::max(0, layout->lineCount() - 1);
    const auto known = m_extraLines.find(index);
    const int before = known == m_extraLines.end() ? 0 : known->second;
    if (extra != before) {
        if (extra)
            m_extraLines[index] = extra;
        else
            m_extraLines.erase(index);
        m_extraTotal += extra - before;
        m_sizeChanged = true;
    }
    return m_layouts.emplace(index, std::move(layout)).first->second.get();
}

qreal MemoLines::blockHeight(qsizetype index) const
{
    const qreal height = layoutOf(index)->boundingRect().bottom();
    return index + 1 == lineCount() ? height + margin() : height;
}

qreal MemoLines::verticalOffset(qsizetype block, int line) const
{
    qreal offset = 0;
    if (line) {
        const QTextLayout *layout = layoutOf(block);
        if (line <= layout->lineCount())
            offset = layout->lineAt(line - 1).naturalTextRect().bottom();
    }
    if (block == 0 && line == 0)
        offset -= margin();
    return offset;
}

qreal MemoLines::blockY(qsizetype index) const
{
    // Far from the shown lines a block is placed by its line count alone.
    const qsizetype reach = 3 * std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing())) + 8;
    qreal y = 0;
    if (std::abs(index - m_topBlock) > reach)
        return qreal(firstLineNumber(index) - firstLineNumber(m_topBlock)) * fontMetrics().lineSpacing();
    for (qsizetype b = m_topBlock; b < index; ++b)
        y += blockHeight(b);
    for (qsizetype b = index; b < m_topBlock; ++b)
        y -= blockHeight(b);
    return y;
}

qsizetype MemoLines::firstLineNumber(qsizetype index) const
{
    qsizetype number = index;
    for (auto it = m_extraLines.begin(); it != m_extraLines.end() && it->first < index; ++it)
        number += it->second;
    return number;
}

std::pair<qsizetype, int> MemoLines::blockOfLineNumber(qsizetype lineNumber) const
{
    qsizetype before = 0; // extra lines of the blocks passed
    for (const auto &[block, extra] : m_extraLines) {
        if (lineNumber < block + before)
            break;
        if (lineNumber <= block + before + extra)
            return {block, int(lineNumber - block - before)};
        before += extra;
    }
    const qsizetype block = std::clamp<qsizetype>(lineNumber - before, 0, lineCount() - 1);
    return {block, 0};
}

void MemoLines::setTopLine(qsizetype lineNumber, int dx)
{
    const auto [block, line] = blockOfLineNumber(lineNumber);
    setTopBlock(block, line, dx);
}

void MemoLines::setTopBlock(qsizetype block, int line, int dx)
{
    block = std::clamp<qsizetype>(block, 0, lineCount() - 1);
    line = std::max(0, line);
    const qsizetype newTop = firstLineNumber(block) + line;
    QScrollBar *vertical = verticalScrollBar();
    if (newTop > vertical->maximum())
        std::tie(block, line) = blockOfLineNumber(vertical->maximum());
    vertical->setValue(int(newTop));
    if (!dx && block == m_topBlock && line == m_topLine)
        return;
    m_topBlock = block;
    m_topLine = line;
    vertical->setValue(int(firstLineNumber(block) + line));
    viewport()->update();
}

void MemoLines::adjustScrollBars()
{
    if (!m_shown)
        return;
    // As the editor counts: its scroll bar runs over lines, wrapped blocks
    // by their lines, and ends where the last line is seen whole.
    qsizetype visibleFromBottom = 0;
    const qreal visible = viewport()->rect().height() - margin() - 1;
    qreal y = 0;
    for (qsizetype block = lineCount() - 1; block >= 0; --block) {
        y += blockHeight(block);
        const QTextLayout *layout = layoutOf(block);
        const int lines = layout->lineCount();
        if (y > visible) {
            int number = 0;
            while (number < lines && layout->lineAt(number).naturalTextRect().top() < y - visible)
                ++number;
            visibleFromBottom += lines - number;
            break;
        }
        visibleFromBottom += lines;
    }
    m_sizeChanged = false;
    const qsizetype maximum = std::max<qsizetype>(0, lineCount() + m_extraTotal - visibleFromBottom);
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, int(maximum));
    vertical->setPageStep(int(visibleFromBottom));
    vertical->setValue(int(firstLineNumber(m_topBlock) + m_topLine));
    horizontalScrollBar()->setRange(0, int(m_widest) - viewport()->width());
    horizontalScrollBar()->setPageStep(viewport()->width());
    setTopLine(vertical->value());
}

qsizetype MemoLines::cursorTop(qsizetype position) const
{
    const qsizetype index = lineOf(position);
    const QTextLine textLine = layoutOf(index)->lineForTextPosition(int(position - lineStart(index)));
    return qsizetype(blockY(index) + (textLine.isValid() ? textLine.y() : 0));
}

QRect MemoLines::cursorRect(qsizetype position) const
{
    position = std::clamp<qsizetype>(position, 0, m_text.size());
    const qsizetype index = lineOf(position);
    const int column = int(position - lineStart(index));
    const QTextLine textLine = layoutOf(index)->lineForTextPosition(column);
    const QPointF at(-horizontalScrollBar()->value(), blockY(index) - verticalOffset());
    if (!textLine.isValid())
        return QRectF(at.x(), at.y(), 1, 10).toRect();
    return QRectF(at.x() + textLine.cursorToX(column), at.y() + textLine.y(), 1, textLine.height()).toRect();
}

qsizetype MemoLines::positionAt(const QPoint &point) const
{
    // As the editor finds it: the block under the point, however far above
    // or below the shown lines, then the line of the block.
    const QPointF at(point.x() + horizontalScrollBar()->value(), point.y() + verticalOffset());
    qsizetype block = m_topBlock;
    qreal top = 0;
    qreal height = blockHeight(block);
    while (block + 1 < lineCount() && top + height <= at.y()) {
        top += height;
        ++block;
        height = blockHeight(block);
    }
    while (block > 0 && top > at.y()) {
        --block;
        height = blockHeight(block);
        top -= height;
    }
    const QTextLayout *layout = layoutOf(block);
    const QPointF inBlock = at - QPointF(0, top);
    int column = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine textLine = layout->lineAt(i);
        const QRectF r = textLine.naturalTextRect();
        if (r.top() > inBlock.y()) {
            column = std::min(column, textLine.textStart());
        } else if (r.bottom() <= inBlock.y()) {
            column = std::max(column, textLine.textStart() + textLine.textLength());
        } else {
            column = textLine.xToCursor(inBlock.x());
            break;
        }
    }
    return lineStart(block) + std::min<qsizetype>(column, line(block).size());
}

void MemoLines::ensureVisible(qsizetype position) { ensureVisible(position, false); }

void MemoLines::ensureVisible(qsizetype position, bool center)
{
    position = std::clamp<qsizetype>(position, 0, m_text.size());
    const qreal top = verticalOffset();
    const qreal height = viewport()->height();
    qsizetype block = lineOf(position);
    const QTextLine textLine = layoutOf(block)->lineForTextPosition(int(position - lineStart(block)));
    const qreal y = blockY(block);
    const QRectF r = textLine.naturalTextRect().translated(0, y);
    if (r.bottom() >= top + height || (center && r.top() < top)) {
        const qreal visible = center ? height / 2 : height;
        qreal h = center ? textLine.naturalTextRect().center().y() : textLine.naturalTextRect().bottom();
        qsizetype previous = block;
        while (h < visible && block > 0) {
            previous = block;
            --block;
            h += blockHeight(block);
        }
        int line = 0;
        const QTextLayout *layout = layoutOf(block);
        const qreal offset = verticalOffset(block, 0);
        while (line < layout->lineCount()) {
            if (h - offset - layout->lineAt(line).naturalTextRect().top() <= visible)
                break;
            ++line;
        }
        if (line >= layout->lineCount()) {
            block = previous;
            line = 0;
        }
        setTopBlock(block, line);
    } else if (r.top() < top) {
        setTopBlock(block, textLine.lineNumber());
    }
}

void MemoLines::setSelection(qsizetype anchor, qsizetype position)
{
    if (!m_shown)
        return;
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    m_anchor = std::clamp<qsizetype>(anchor, 0, m_text.size());
    m_position = std::clamp<qsizetype>(position, 0, m_text.size());
    setX();
    ensureVisible(m_position);
    cursorChanged(oldAnchor, oldPosition, false);
}

void MemoLines::setX()
{
    const qsizetype index = lineOf(m_position);
    const int column = int(m_position - lineStart(index));
    const QTextLine textLine = layoutOf(index)->lineForTextPosition(column);
    m_x = textLine.isValid() ? int(textLine.cursorToX(column)) : -1;
}

void MemoLines::cursorChanged(qsizetype oldAnchor, qsizetype oldPosition, bool forceSelection, bool tellCaret)
{
    // The editor's signals, in its order: the caret first, then the selection.
    const bool selected = m_anchor != m_position;
    const bool wasSelected = oldAnchor != oldPosition;
    if (m_position != oldPosition) {
        m_pageYValid = false;
        restartBlink();
        if (tellCaret && QAccessible::isActive()) {
            QAccessibleTextCursorEvent event(this, int(m_position));
            QAccessible::updateAccessibility(&event);
        }
    }
    if (forceSelection || selected != wasSelected
        || (selected && (m_position != oldPosition || m_anchor != oldAnchor))) {
        if (QAccessible::isActive()) {
            QAccessibleTextSelectionEvent event(this, int(m_anchor), int(m_position));
            QAccessible::updateAccessibility(&event);
        }
    }
    viewport()->update();
}

bool MemoLines::move(Move op, bool keepAnchor)
{
    // One step of the editor's cursor; false where it cannot go.
    const qsizetype index = lineOf(m_position);
    const qsizetype start = lineStart(index);
    const int column = int(m_position - start);
    const qsizetype length = line(index).size();
    const QTextLayout *layout = layoutOf(index);
    const QTextLine textLine = layout->lineForTextPosition(column);
    qsizetype target = m_position;
    if (m_x == -1 && (op == Up || op == Down))
        setX();
    switch (op) {
    case Start:
        target = 0;
        break;
    case End:
        target = m_text.size();
        break;
    case StartOfLine:
        target = start + (textLine.isValid() ? textLine.textStart() : 0);
        break;
    case StartOfBlock:
        target = start;
        break;
    case EndOfBlock:
        target = start + length;
        break;
    case EndOfLine:
        if (!textLine.isValid() || textLine.textLength() == 0) {
            target = start + length;
            break;
        }
        target = std::min<qsizetype>(start + textLine.textStart() + textLine.textLength(), m_text.size());
        if (textLine.lineNumber() < layout->lineCount() - 1 && m_text[target - 1].isSpace())
            --target;
        break;
    case Left:
    case WordLeft:
        if (column == 0)
            target = std::max<qsizetype>(0, m_position - 1);
        else
            target = start + layout->previousCursorPosition(column, op == Left ? QTextLayout::SkipCharacters
                                                                              : QTextLayout::SkipWords);
        break;
    case Right:
    case WordRight:
        if (m_position == m_text.size())
            return false;
        if (column == length)
            target = m_position + 1;
        else
            target = start + layout->nextCursorPosition(column, op == Right ? QTextLayout::SkipCharacters
                                                                           : QTextLayout::SkipWords);
        break;
    case Up:
    case Down: {
        qsizetype block = index;
        int number = textLine.lineNumber() + (op == Up ? -1 : 1);
        if (number < 0) {
            if (block == 0)
                return false;
            --block;
            number = layoutOf(block)->lineCount() - 1;
        } else if (number >= layout->lineCount()) {
            if (block + 1 >= lineCount())
                return false;
            ++block;
            number = 0;
        }
        const QTextLayout *other = layoutOf(block);
        target = lineStart(block) + (other->lineCount() ? other->lineAt(number).xToCursor(m_x) : 0);
        break;
    }
    }
    const bool moved = target != m_position;
    m_position = target;
    if (!keepAnchor)
        m_anchor = m_position;
    if (op != Up && op != Down)
        setX();
    return moved;
}

void MemoLines::selectAll()
{
    if (!m_shown)
        return;
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    m_anchor = 0;
    m_position = m_text.size();
    setX();
    // The editor tells of the selection alone.
    cursorChanged(oldAnchor, oldPosition, false, false);
    selectionToClipboard();
}

QString MemoLines::selectedText() const
{
    const qsizetype start = std::min(m_anchor, m_position);
    return m_text.mid(start, std::max(m_anchor, m_position) - start);
}

void MemoLines::copy() const
{
    if (m_anchor != m_position)
        QGuiApplication::clipboard()->setText(selectedText());
}

void MemoLines::selectionToClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && m_anchor != m_position)
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void MemoLines::ensureCursorVisible()
{
    const QRect visible = viewport()->rect();
    const QRect r = cursorRect(m_position);
    if (r.top() < visible.top() || r.bottom() > visible.bottom())
        ensureVisible(m_position, false);
    if (r.left() < visible.left() || r.right() > visible.right())
        horizontalScrollBar()->setValue(r.center().x() + horizontalScrollBar()->value() - visible.width() / 2);
}

void MemoLines::pageUpDown(bool down, bool keepAnchor, bool moveCursor)
{
    // The editor's page: the cursor keeps its height on the screen while the
    // text moves by the lines seen whole.
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    if (moveCursor) {
        ensureCursorVisible();
        if (!m_pageYValid)
            m_pageY = cursorTop(m_position) - verticalOffset();
    }
    qreal lastY = m_pageY;
    const qreal height = viewport()->height();
    if (down) {
        const qreal bottom = verticalOffset() + height;
        qsizetype block = m_topBlock;
        qreal blockHeightNow = blockHeight(block);
        qreal h = 0;
        bool atEnd = false;
        while (h + blockHeightNow <= bottom) {
            if (block + 1 >= lineCount()) {
                atEnd = true;
                lastY = bottom;
                break;
            }
            h += blockHeightNow;
            ++block;
            blockHeightNow = blockHeight(block);
        }
        if (!atEnd) {
            int number = 0;
            const QTextLayout *layout = layoutOf(block);
            while (number < layout->lineCount() - 1 && layout->lineAt(number).naturalTextRect().bottom() <= bottom - h)
                ++number;
            setTopBlock(block, number);
        }
        if (moveCursor) {
            lastY += verticalOffset();
            while (move(Down, keepAnchor) && cursorTop(m_position) < lastY) {
            }
        }
    } else {
        const qreal top = verticalOffset() - height;
        qsizetype block = m_topBlock;
        qreal h = 0;
        while (h >= top) {
            if (block == 0) {
                if (m_topBlock == 0 && m_topLine == 0)
                    lastY = 0;
                break;
            }
            --block;
            h -= blockHeight(block);
        }
        int number = 0;
        const QTextLayout *layout = layoutOf(block);
        while (number < layout->lineCount() && layout->lineAt(number).naturalTextRect().top() < top - h)
            ++number;
        if (number == layout->lineCount()) {
            if (block + 1 < lineCount() && block + 1 != m_topBlock) {
                ++block;
                number = 0;
            } else {
                --number;
            }
        }
        setTopBlock(block, number);
        if (moveCursor) {
            lastY += verticalOffset();
            while (move(Up, keepAnchor) && cursorTop(m_position) > lastY) {
            }
        }
    }
    if (moveCursor) {
        cursorChanged(oldAnchor, oldPosition, keepAnchor);
        m_pageYValid = true;
    }
}

void MemoLines::restartBlink()
{
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (m_shown && hasFocus() && flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

void MemoLines::paintEvent(QPaintEvent *e)
{
    if (!m_shown)
        return;
    trimLayouts();
    QPainter painter(viewport());
    const QRect exposed = e->rect();
    const QPalette &p = m_editor->palette();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const qsizetype selStart = std::min(m_anchor, m_position);
    const qsizetype selEnd = std::max(m_anchor, m_position);
    QPointF offset(-horizontalScrollBar()->value(), -verticalOffset());
    painter.setPen(p.color(QPalette::Text));
    for (qsizetype index = m_topBlock; index < lineCount() && offset.y() <= exposed.bottom(); ++index) {
        const QTextLayout *layout = layoutOf(index);
        const qreal height = blockHeight(index);
        if (offset.y() + height >= exposed.top()) {
            // The selection as the editor draws it, its line end included.
            const qsizetype start = lineStart(index);
            const qsizetype length = line(index).size() + 1;
            QList<QTextLayout::FormatRange> selections;
            if (selStart - start < length && selEnd - start > 0 && selEnd > selStart) {
                QTextLayout::FormatRange range;
                range.start = int(std::max<qsizetype>(0, selStart - start));
                range.length = int(std::min(selEnd - start, length)) - range.start;
                range.format.setBackground(p.brush(group, QPalette::Highlight));
                range.format.setForeground(p.brush(group, QPalette::HighlightedText));
                selections.append(range);
            }
            layout->draw(&painter, offset, selections, exposed);
            if (hasFocus() && m_caretShown && m_position >= start && m_position < start + length)
                layout->drawCursor(&painter, offset, int(m_position - start), 1);
        }
        offset.ry() += height;
    }
    if (m_sizeChanged)
        QMetaObject::invokeMethod(this, [this] { adjustScrollBars(); }, Qt::QueuedConnection);
}

void MemoLines::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    // Lines wrap at the width, as in the editor.
    if (e->oldSize().width() != e->size().width())
        clearLayouts();
    adjustScrollBars();
}

void MemoLines::scrollContentsBy(int dx, int)
{
    setTopLine(verticalScrollBar()->value(), dx);
}

bool MemoLines::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_editor && (e->type() == QEvent::Resize || e->type() == QEvent::Move))
        setGeometry(m_editor->geometry());
    return QAbstractScrollArea::eventFilter(watched, e);
}

bool MemoLines::event(QEvent *e)
{
    // The keys this view handles are the pane's, not a menu's shortcuts, as in the editor.
    if (e->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)
            || key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut)
            || key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
            || key->key() == Qt::Key_Home || key->key() == Qt::Key_End || key->key() == Qt::Key_Left
            || key->key() == Qt::Key_Right || key->key() == Qt::Key_Up || key->key() == Qt::Key_Down
            || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete
            || (!key->text().isEmpty() && key->text().at(0).isPrint()
                && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void MemoLines::keyPressEvent(QKeyEvent *e)
{
    if (!m_shown) {
        e->ignore();
        return;
    }
    trimLayouts();
    e->accept();
    if (e->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (e->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const bool pageUp = e->matches(QKeySequence::MoveToPreviousPage) || e->matches(QKeySequence::SelectPreviousPage);
    if (pageUp || e->matches(QKeySequence::MoveToNextPage) || e->matches(QKeySequence::SelectNextPage)) {
        pageUpDown(!pageUp, e->matches(QKeySequence::SelectPreviousPage) || e->matches(QKeySequence::SelectNextPage),
                   true);
        selectionToClipboard();
        return;
    }
    struct Key {
        QKeySequence::StandardKey key;
        Move op;
        bool select;
    };
    static const Key keys[] = {
        {QKeySequence::MoveToNextChar, Right, false},           {QKeySequence::MoveToPreviousChar, Left, false},
        {QKeySequence::SelectNextChar, Right, true},            {QKeySequence::SelectPreviousChar, Left, true},
        {QKeySequence::SelectNextWord, WordRight, true},        {QKeySequence::SelectPreviousWord, WordLeft, true},
        {QKeySequence::SelectStartOfLine, StartOfLine, true},   {QKeySequence::SelectEndOfLine, EndOfLine, true},
        {QKeySequence::SelectStartOfBlock, StartOfBlock, true}, {QKeySequence::SelectEndOfBlock, EndOfBlock, true},
        {QKeySequence::SelectStartOfDocument, Start, true},     {QKeySequence::SelectEndOfDocument, End, true},
        {QKeySequence::SelectPreviousLine, Up, true},           {QKeySequence::SelectNextLine, Down, true},
        {QKeySequence::MoveToNextWord, WordRight, false},       {QKeySequence::MoveToPreviousWord, WordLeft, false},
        {QKeySequence::MoveToEndOfBlock, EndOfBlock, false},    {QKeySequence::MoveToStartOfBlock, StartOfBlock, false},
        {QKeySequence::MoveToNextLine, Down, false},            {QKeySequence::MoveToPreviousLine, Up, false},
        {QKeySequence::MoveToStartOfLine, StartOfLine, false},  {QKeySequence::MoveToEndOfLine, EndOfLine, false},
        {QKeySequence::MoveToStartOfDocument, Start, false},    {QKeySequence::MoveToEndOfDocument, End, false},
    };
    for (const Key &k : keys) {
        if (!e->matches(k.key))
            continue;
        const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
        Move op = k.op;
        // A line up from the first line, or down from the last, selects to
        // the text's end; without Shift the cursor stays, and so does a selection.
        const qsizetype index = lineOf(m_position);
        const int lineNumber = layoutOf(index)->lineForTextPosition(int(m_position - lineStart(index))).lineNumber();
        if (k.select && op == Down && index + 1 == lineCount() && lineNumber == layoutOf(index)->lineCount() - 1)
            op = End;
        if (k.select && op == Up && index == 0 && lineNumber <= 0)
            op = Start;
        if (!k.select && (op == Left || op == Right) && m_anchor != m_position) {
            // An arrow ends a selection at its own side.
            m_position = op == Left ? std::min(m_anchor, m_position) : std::max(m_anchor, m_position);
            m_anchor = m_position;
            setX();
        } else {
            move(op, k.select);
        }
        ensureCursorVisible();
        cursorChanged(oldAnchor, oldPosition, k.select);
        selectionToClipboard();
        return;
    }
    // Anything that writes (a character, Enter, Backspace, Delete, pasting,
    // cutting) is the editor's from now on.
    const bool typed = !e->text().isEmpty() && e->text().at(0).isPrint() && !(e->modifiers() & Qt::ControlModifier);
    const bool writingKey = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Backspace
                            || e->key() == Qt::Key_Delete || e->key() == Qt::Key_Tab;
    if (typed || writingKey || e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut)
        || e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)
        || e->matches(QKeySequence::DeleteEndOfLine) || e->matches(QKeySequence::DeleteStartOfWord)
        || e->matches(QKeySequence::DeleteEndOfWord)) {
        handOverWith(e, m_editor);
        return;
    }
    // What the editor leaves alone goes on to the window.
    e->ignore();
}

void MemoLines::mousePressEvent(QMouseEvent *e)
{
    if (!m_shown)
        return;
    trimLayouts();
    if (e->button() == Qt::MiddleButton) {
        // Pasting the selection of the windowing system writes; its release,
        // on which the editor pastes, follows to the editor.
        handOverWith(e, m_editor->viewport());
        return;
    }
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    if (m_tripleClick.isActive()
        && (e->position().toPoint() - m_tripleClickPoint).manhattanLength() < QApplication::startDragDistance()) {
        m_tripleClick.stop();
        const qsizetype index = lineOf(m_position);
        m_anchor = lineStart(index);
        m_position = index + 1 < lineCount() ? lineStart(index + 1) : m_text.size();
    } else {
        const qsizetype position = positionAt(e->position().toPoint());
        m_pressPoint = e->position().toPoint();
        if (!(e->modifiers() & Qt::ShiftModifier) && m_anchor != m_position
            && position >= std::min(m_anchor, m_position) && position < std::max(m_anchor, m_position)) {
            // Pressed on the selection: a move drags it away, a release puts the cursor here.
            m_mightDrag = true;
            return;
        }
        m_position = position;
        if (!(e->modifiers() & Qt::ShiftModifier))
            m_anchor = m_position;
    }
    setX();
    m_selecting = true;
    cursorChanged(oldAnchor, oldPosition, false);
}

void MemoLines::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_shown || !(e->buttons() & Qt::LeftButton))
        return;
    const QPoint point = e->position().toPoint();
    if (m_mightDrag) {
        if ((point - m_pressPoint).manhattanLength() < QApplication::startDragDistance())
            return;
        // Dragging text may move it: the editor drags, from its own press.
        m_mightDrag = false;
        const QPoint global = viewport()->mapToGlobal(m_pressPoint);
        QMouseEvent press(QEvent::MouseButtonPress, m_pressPoint, global, Qt::LeftButton, Qt::LeftButton,
                          e->modifiers());
        handOverWith(&press, m_editor->viewport());
        QCoreApplication::sendEvent(m_editor->viewport(), e);
        return;
    }
    if (!m_selecting)
        return;
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    m_position = positionAt(point);
    setX();
    cursorChanged(oldAnchor, oldPosition, true);
    // Beyond the edge, the text scrolls on while the button is held.
    if (e->source() == Qt::MouseEventNotSynthesized) {
        if (viewport()->rect().contains(point))
            m_autoScroll.stop();
        else if (!m_autoScroll.isActive())
            m_autoScroll.start(100, this);
    }
}

void MemoLines::mouseReleaseEvent(QMouseEvent *e)
{
    if (!m_shown) {
        // The release of a press that handed the text over is the editor's.
        if (e->button() == Qt::MiddleButton)
            QCoreApplication::sendEvent(m_editor->viewport(), e);
        return;
    }
    if (e->button() == Qt::LeftButton && m_mightDrag) {
        m_mightDrag = false;
        const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
        m_anchor = m_position = positionAt(e->position().toPoint());
        setX();
        cursorChanged(oldAnchor, oldPosition, false);
    }
    if (e->button() == Qt::LeftButton && m_selecting) {
        m_selecting = false;
        selectionToClipboard();
        if (QAccessible::isActive()) {
            QAccessibleTextSelectionEvent event(this, int(m_anchor), int(m_position));
            QAccessible::updateAccessibility(&event);
        }
        if (m_autoScroll.isActive()) {
            m_autoScroll.stop();
            ensureCursorVisible();
        }
    }
}

void MemoLines::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (!m_shown || e->button() != Qt::LeftButton)
        return;
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    const qsizetype position = positionAt(e->position().toPoint());
    const qsizetype index = lineOf(position);
    const QStringView text = line(index);
    m_anchor = m_position = position;
    const QTextLine textLine = layoutOf(index)->lineForTextPosition(int(position - lineStart(index)));
    if (textLine.isValid() && textLine.textLength()) {
        const auto [from, to] = wordAround(text, int(position - lineStart(index)), true);
        m_anchor = lineStart(index) + from;
        m_position = lineStart(index) + to;
    }
    setX();
    m_selecting = false;
    cursorChanged(oldAnchor, oldPosition, false);
    selectionToClipboard();
    m_tripleClick.start(QGuiApplication::styleHints()->mouseDoubleClickInterval(), this);
    m_tripleClickPoint = e->position().toPoint();
}

void MemoLines::wheelEvent(QWheelEvent *e)
{
    if (!m_shown)
        return;
    // Ctrl and the wheel zoom the editor's font: the editor's business.
    if (e->modifiers() & Qt::ControlModifier) {
        handOverWith(e, m_editor->viewport());
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

void MemoLines::contextMenuEvent(QContextMenuEvent *e)
{
    if (!m_shown)
        return;
    // The editor's own entries; those that write hand the text over first.
    auto tr = [](const char *text) { return QCoreApplication::translate("QWidgetTextControl", text); };
    const bool selected = m_anchor != m_position;
    QMenu menu(this);
    QAction *undo = menu.addAction(tr("&Undo"));
    undo->setEnabled(false);
    QAction *redo = menu.addAction(tr("&Redo"));
    redo->setEnabled(false);
    menu.addSeparator();
    QAction *cut = menu.addAction(tr("Cu&t"));
    cut->setEnabled(selected);
    QAction *copyAction = menu.addAction(tr("&Copy"));
    copyAction->setEnabled(selected);
    QAction *paste = menu.addAction(tr("&Paste"));
    paste->setEnabled(m_editor->canPaste());
    QAction *remove = menu.addAction(tr("Delete"));
    remove->setEnabled(selected);
    menu.addSeparator();
    QAction *all = menu.addAction(tr("Select All"));
    all->setEnabled(!m_text.isEmpty());
    QPointer<MemoLines> alive(this);
    QAction *chosen = menu.exec(e->globalPos());
    if (!alive || !m_shown)
        return;
    if (chosen == copyAction) {
        copy();
    } else if (chosen == all) {
        selectAll();
    } else if (chosen == cut || chosen == paste || chosen == remove) {
        handOver();
        if (chosen == cut)
            m_editor->cut();
        else if (chosen == paste)
            m_editor->paste();
        else
            m_editor->textCursor().removeSelectedText();
    }
}

void MemoLines::focusInEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusInEvent(e);
    restartBlink();
    viewport()->update();
}

void MemoLines::focusOutEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusOutEvent(e);
    m_blink.stop();
    viewport()->update();
}

void MemoLines::timerEvent(QTimerEvent *e)
{
    if (!m_shown) {
        stopInteraction();
        return;
    }
    if (e->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(cursorRect(m_position).adjusted(-2, 0, 2, 0));
    } else if (e->timerId() == m_autoScroll.timerId()) {
        // As the editor scrolls while a drag is beyond its edge: the farther,
        // the faster.
        const QRect visible = viewport()->rect();
        const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
        QMouseEvent move(QEvent::MouseMove, point, viewport()->mapTo(window(), point), QCursor::pos(),
                         Qt::LeftButton, Qt::LeftButton, QGuiApplication::keyboardModifiers());
        mouseMoveEvent(&move);
        const int deltaY = std::max(point.y() - visible.top(), visible.bottom() - point.y()) - visible.height();
        const int deltaX = std::max(point.x() - visible.left(), visible.right() - point.x()) - visible.width();
        int delta = std::max(deltaX, deltaY);
        if (delta >= 0 && m_selecting) {
            delta = std::max(delta, 7);
            m_autoScroll.start(4900 / (delta * delta), this);
            if (deltaY > 0)
                verticalScrollBar()->triggerAction(point.y() < visible.center().y()
                                                       ? QAbstractSlider::SliderSingleStepSub
                                                       : QAbstractSlider::SliderSingleStepAdd);
            if (deltaX > 0)
                horizontalScrollBar()->triggerAction(point.x() < visible.center().x()
                                                         ? QAbstractSlider::SliderSingleStepSub
                                                         : QAbstractSlider::SliderSingleStepAdd);
        }
    } else if (e->timerId() == m_tripleClick.timerId()) {
        m_tripleClick.stop();
    }
    QAbstractScrollArea::timerEvent(e);
}

void MemoLines::inputMethodEvent(QInputMethodEvent *e)
{
    if (!m_shown || (e->commitString().isEmpty() && e->preeditString().isEmpty())) {
        e->accept();
        return;
    }
    handOverWith(e, m_editor);
}

QVariant MemoLines::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImCursorRectangle:
        return cursorRect(m_position);
    case Qt::ImCursorPosition:
        return int(m_position - lineStart(lineOf(m_position)));
    case Qt::ImSurroundingText:
        return line(lineOf(m_position)).toString();
    case Qt::ImCurrentSelection:
        return selectedText();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void MemoLines::dragEnterEvent(QDragEnterEvent *e)
{
    // A drop writes: the editor takes the drag from here on.
    handOver();
    e->ignore();
}
