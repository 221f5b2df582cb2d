// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "outputview.h"

#include "outputpane.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace {

// The characters at which the editor's cursor ends a word besides blanks.
constexpr qsizetype kPiece = 10000;

bool wordSeparator(QChar c)
{
    return QStringView(u".,?!@#$:;-<>[](){}=/+%&^*'\"`~|\\").contains(c);
}

// Assistive technology reads the view as a read-only text field; every piece
// it asks for is found on the line at the offset. Every answer holds for any
// offset: a client may keep this object while the text changes.
class OutputViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit OutputViewAccessible(OutputView *view) : QAccessibleWidget(view, QAccessible::EditableText) {}
    OutputView *view() const { return static_cast<OutputView *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }
    int size() const { return int(view()->text().size()); }
    int clamp(int offset) const { return std::clamp(offset, 0, size()); }

    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (index != 0 || selectionCount() == 0)
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
        const QRect c(r.topLeft(), QSize(next.top() == r.top() ? std::max(1, next.left() - r.left()) : 1, r.height()));
        return QRect(view()->viewport()->mapToGlobal(c.topLeft()), c.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        return view()->viewport()->rect().contains(local) ? int(view()->positionAt(local)) : -1;
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        view()->ensureVisible(clamp(endIndex));
        view()->ensureVisible(clamp(startIndex));
    }
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = size();
        return QString();
    }

    std::pair<int, int> boundaries(int offset, QAccessible::TextBoundaryType type) const
    {
        const OutputView *v = view();
        offset = clamp(offset);
        const qsizetype index = v->lineOf(offset);
        const int start = int(v->lineStart(index));
        const QStringView line = v->line(index);
        const int column = offset - start;
        auto pieceOf = [&](QTextBoundaryFinder::BoundaryType kind) -> std::pair<int, int> {
            QTextBoundaryFinder finder(kind, line.toString());
            finder.setPosition(column);
            int from = finder.isAtBoundary() && column < line.size() ? column : int(finder.toPreviousBoundary());
            finder.setPosition(column);
            const int to = int(finder.toNextBoundary());
            return {start + std::max(0, from), start + (to < 0 ? int(line.size()) : to)};
        };
        switch (type) {
        case QAccessible::CharBoundary: {
            if (offset >= size())
                return {offset, offset};
            const int next = column < line.size() ? v->layoutOf(index)->nextCursorPosition(column) : column + 1;
            return {offset, start + next};
        }
        case QAccessible::WordBoundary:
            return pieceOf(QTextBoundaryFinder::Word);
        case QAccessible::SentenceBoundary:
            return pieceOf(QTextBoundaryFinder::Sentence);
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
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("OutputView") && object && object->isWidgetType())
        return new OutputViewAccessible(static_cast<OutputView *>(object));
    return nullptr;
}

} // namespace

// ---- screen lines -------------------------------------------------------------

void OutputView::Rows::reset(size_t lines)
{
    // Every line one screen line: node i covers the lowest set bit of i.
    tree.assign(lines + 1, 0);
    for (size_t i = 1; i <= lines; ++i)
        tree[i] = int(i & (~i + 1));
}

void OutputView::Rows::add(qsizetype line, int delta)
{
    for (size_t i = size_t(line) + 1; i < tree.size(); i += i & (~i + 1))
        tree[i] += delta;
}

qsizetype OutputView::Rows::before(qsizetype line) const
{
    qsizetype sum = 0;
    for (size_t i = size_t(line); i > 0; i -= i & (~i + 1))
        sum += tree[i];
    return sum;
}

std::pair<qsizetype, int> OutputView::Rows::at(qsizetype row) const
{
    size_t line = 0;
    qsizetype rest = row;
    size_t step = 1;
    while (step * 2 < tree.size())
        step *= 2;
    for (; step; step /= 2) {
        if (line + step < tree.size() && tree[line + step] <= rest) {
            line += step;
            rest -= tree[line];
        }
    }
    // `line` lines lie wholly above the row.
    if (line + 1 >= tree.size())
        return {qsizetype(tree.size()) - 2, of(qsizetype(tree.size()) - 2) - 1};
    return {qsizetype(line), int(rest)};
}

// ---- text and lines ---------------------------------------------------------------

OutputView::OutputView(QWidget *parent) : QAbstractScrollArea(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Light);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(1);
    m_rows.reset(1);
    // A click on the scroll bar's track turns a page without moving the cursor.
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderPageStepAdd || action == QAbstractSlider::SliderPageStepSub)
            pageUpDown(action == QAbstractSlider::SliderPageStepAdd, false, false);
    });
}

OutputView::~OutputView() = default;

void OutputView::setText(const QString &text)
{
    stopGestures();
    const qsizetype before = m_text.size();
    m_text = paneLines(text, &m_starts);
    // A line of ten megabytes would take the toolkit minutes to lay out
    // whole: such a line is laid out and moved through in pieces.
    auto endOf = [this](size_t i) { return i + 1 < m_starts.size() ? m_starts[i + 1] - 1 : m_text.size(); };
    bool long_ = false;
    for (size_t i = 0; i < m_starts.size() && !long_; ++i)
        long_ = endOf(i) - m_starts[i] > kPiece;
    if (long_) {
        std::vector<qsizetype> pieces;
        for (size_t i = 0; i < m_starts.size(); ++i)
            for (qsizetype at = m_starts[i]; at == m_starts[i] || at < endOf(i); at += kPiece)
                pieces.push_back(at);
        m_starts.swap(pieces);
    }
    m_anchor = m_position = 0;
    m_x = -1;
    m_topBlock = 0;
    m_topLine = 0;
    m_pageYValid = false;
    relayout();
    horizontalScrollBar()->setValue(0);
    setTopBlock(0, 0, 1);
    if (QAccessible::isActive()) {
        // What went and what came, the first few thousand characters of it:
        // a reader takes no more from such news, and a million lines of it
        // would hold the window.
        constexpr qsizetype kTold = 4096;
        if (before > 0) {
            QAccessibleTextRemoveEvent removed(this, 0, QString(std::min(before, kTold), QLatin1Char(' ')));
            QAccessible::updateAccessibility(&removed);
        }
        if (!m_text.isEmpty()) {
            QAccessibleTextInsertEvent inserted(this, 0, m_text.left(kTold));
            QAccessible::updateAccessibility(&inserted);
        }
        QAccessibleTextCursorEvent cursor(this, 0);
        QAccessible::updateAccessibility(&cursor);
    }
    emit selectionChanged();
}

QStringView OutputView::line(qsizetype index) const
{
    index = std::clamp<qsizetype>(index, 0, lineCount() - 1);
    const qsizetype start = m_starts[size_t(index)];
    return QStringView(m_text).sliced(start, lineEnd(index) - start);
}

qsizetype OutputView::lineEnd(qsizetype index) const
{
    if (index + 1 >= lineCount())
        return m_text.size();
    const qsizetype next = m_starts[size_t(index) + 1];
    return m_text[next - 1] == QLatin1Char('\n') ? next - 1 : next;
}

qsizetype OutputView::lineOf(qsizetype position) const
{
    return std::max<qsizetype>(0, std::upper_bound(m_starts.begin(), m_starts.end(), position) - m_starts.begin() - 1);
}

void OutputView::relayout()
{
    m_layouts.clear();
    m_rows.reset(m_starts.size());
    m_widest = viewport()->width();
    adjustScrollBars();
}

const QTextLayout *OutputView::layoutOf(qsizetype index) const
{
    index = std::clamp<qsizetype>(index, 0, lineCount() - 1);
    if (QTextLayout *cached = m_layouts.object(index))
        return cached;
    // As the editor lays out a block: the font, word wrap, the margin on both
    // sides, the viewport's width, the leading inside the line.
    auto *layout = new QTextLayout(line(index).toString(), font(), viewport());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
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
    const int rows = std::max(1, layout->lineCount());
    if (const int known = m_rows.of(index); known != rows) {
        const_cast<Rows &>(m_rows).add(index, rows - known);
        m_sizeChanged = true;
    }
    m_layouts.insert(index, layout);
    return layout;
}

qreal OutputView::blockHeight(qsizetype index) const
{
    const qreal height = layoutOf(index)->boundingRect().bottom();
    return index + 1 == lineCount() ? height + margin() : height;
}

qreal OutputView::verticalOffset(qsizetype block, int line) const
{
    qreal offset = 0;
    if (line) {
        const QTextLayout *layout = layoutOf(block);
        if (line <= layout->lineCount())
            offset = layout->lineAt(line - 1).naturalTextRect().bottom();
    }
    return block == 0 && line == 0 ? offset - margin() : offset;
}

qreal OutputView::blockY(qsizetype index) const
{
    // Far from the lines shown a line is placed by its count of screen lines.
    const int spacing = std::max(1, fontMetrics().lineSpacing());
    const qsizetype reach = 3 * std::max(1, viewport()->height() / spacing) + 8;
    if (std::abs(index - m_topBlock) > reach)
        return qreal(m_rows.before(index) - m_rows.before(m_topBlock)) * spacing;
    qreal y = 0;
    for (qsizetype b = m_topBlock; b < index; ++b)
        y += blockHeight(b);
    for (qsizetype b = index; b < m_topBlock; ++b)
        y -= blockHeight(b);
    return y;
}

void OutputView::setTopLine(qsizetype row, int dx)
{
    const auto [block, line] = m_rows.at(row);
    setTopBlock(block, line, dx);
}

void OutputView::setTopBlock(qsizetype block, int line, int dx)
{
    block = std::clamp<qsizetype>(block, 0, lineCount() - 1);
    line = std::max(0, line);
    QScrollBar *vertical = verticalScrollBar();
    const qsizetype row = m_rows.before(block) + line;
    if (row > vertical->maximum())
        std::tie(block, line) = m_rows.at(vertical->maximum());
    if (!dx && block == m_topBlock && line == m_topLine)
        return;
    m_topBlock = block;
    m_topLine = line;
    const QSignalBlocker quiet(vertical);
    vertical->setValue(int(m_rows.before(block) + line));
    viewport()->update();
}

void OutputView::adjustScrollBars()
{
    // As the editor counts: the bar runs over screen lines and ends where the
    // last line is seen whole.
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
    QScrollBar *vertical = verticalScrollBar();
    {
        const QSignalBlocker quiet(vertical);
        vertical->setRange(0, int(std::max<qsizetype>(0, m_rows.total() - visibleFromBottom)));
        vertical->setPageStep(int(visibleFromBottom));
        vertical->setValue(int(m_rows.before(m_topBlock) + m_topLine));
    }
    horizontalScrollBar()->setRange(0, int(m_widest) - viewport()->width());
    horizontalScrollBar()->setPageStep(viewport()->width());
    setTopLine(vertical->value());
}

// ---- positions --------------------------------------------------------------------

qsizetype OutputView::cursorTop(qsizetype position) const
{
    const qsizetype index = lineOf(position);
    const QTextLine textLine = layoutOf(index)->lineForTextPosition(int(position - lineStart(index)));
    return qsizetype(blockY(index) + (textLine.isValid() ? textLine.y() : 0));
}

QRect OutputView::cursorRect(qsizetype position) const
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

qsizetype OutputView::positionAt(const QPoint &point) const
{
    // The line under the point, however far above or below the lines shown.
    const QPointF at(point.x() + horizontalScrollBar()->value(), point.y() + verticalOffset());
    qsizetype block = m_topBlock;
    qreal top = 0;
    qreal height = blockHeight(block);
    while (block + 1 < lineCount() && top + height <= at.y()) {
        top += height;
        height = blockHeight(++block);
    }
    while (block > 0 && top > at.y()) {
        height = blockHeight(--block);
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

void OutputView::ensureVisible(qsizetype position) { ensureVisible(position, false); }

void OutputView::ensureVisible(qsizetype position, bool center)
{
    position = std::clamp<qsizetype>(position, 0, m_text.size());
    const qreal top = verticalOffset();
    const qreal height = viewport()->height();
    qsizetype block = lineOf(position);
    const QTextLine textLine = layoutOf(block)->lineForTextPosition(int(position - lineStart(block)));
    const QRectF r = textLine.naturalTextRect().translated(0, blockY(block));
    if (r.bottom() >= top + height || (center && r.top() < top)) {
        const qreal visible = center ? height / 2 : height;
        qreal h = center ? textLine.naturalTextRect().center().y() : textLine.naturalTextRect().bottom();
        qsizetype previous = block;
        while (h < visible && block > 0) {
            previous = block;
            h += blockHeight(--block);
        }
        int line = 0;
        const QTextLayout *layout = layoutOf(block);
        const qreal offset = verticalOffset(block, 0);
        while (line < layout->lineCount() && h - offset - layout->lineAt(line).naturalTextRect().top() > visible)
            ++line;
        if (line >= layout->lineCount()) {
            block = previous;
            line = 0;
        }
        setTopBlock(block, line);
    } else if (r.top() < top) {
        setTopBlock(block, textLine.lineNumber());
    }
}

void OutputView::ensureCursorVisible()
{
    const QRect visible = viewport()->rect();
    const QRect r = cursorRect(m_position);
    if (r.top() < visible.top() || r.bottom() > visible.bottom())
        ensureVisible(m_position, false);
    if (r.left() < visible.left() || r.right() > visible.right())
        horizontalScrollBar()->setValue(r.center().x() + horizontalScrollBar()->value() - visible.width() / 2);
}

// ---- the cursor and the selection ---------------------------------------------------

void OutputView::setSelection(qsizetype anchor, qsizetype position)
{
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    m_anchor = std::clamp<qsizetype>(anchor, 0, m_text.size());
    m_position = std::clamp<qsizetype>(position, 0, m_text.size());
    setX();
    ensureVisible(m_position);
    cursorChanged(oldAnchor, oldPosition, false);
}

void OutputView::setX()
{
    const qsizetype index = lineOf(m_position);
    const int column = int(m_position - lineStart(index));
    const QTextLine textLine = layoutOf(index)->lineForTextPosition(column);
    m_x = textLine.isValid() ? int(textLine.cursorToX(column)) : -1;
}

void OutputView::cursorChanged(qsizetype oldAnchor, qsizetype oldPosition, bool forceSelection, bool tellCaret)
{
    // The editor's news, in its order: the caret first, then the selection.
    const bool selected = m_anchor != m_position;
    if (m_position != oldPosition) {
        m_pageYValid = false;
        restartBlink();
        if (tellCaret && QAccessible::isActive()) {
            QAccessibleTextCursorEvent event(this, int(m_position));
            QAccessible::updateAccessibility(&event);
        }
    }
    if (forceSelection || selected != (oldAnchor != oldPosition)
        || (selected && (m_position != oldPosition || m_anchor != oldAnchor))) {
        if (QAccessible::isActive()) {
            QAccessibleTextSelectionEvent event(this, int(m_anchor), int(m_position));
            QAccessible::updateAccessibility(&event);
        }
    }
    viewport()->update();
    emit selectionChanged();
}

// The word around a position as the editor's cursor selects it.
std::pair<qsizetype, qsizetype> OutputView::wordAt(qsizetype position) const
{
    const qsizetype index = lineOf(position);
    const QStringView text = line(index);
    const qsizetype start = lineStart(index);
    int column = int(position - start);
    if (text.isEmpty())
        return {position, position};
    const int length = int(text.size());
    int from = column;
    if (column > 0
        && !(column == length && (text[column - 1].isSpace() || wordSeparator(text[column - 1]))))
        from = layoutOf(index)->previousCursorPosition(column < length ? column + 1 : column, QTextLayout::SkipWords);
    int to = from;
    if (to < length && wordSeparator(text[to])) {
        while (++to < length && wordSeparator(text[to])) {
        }
    } else {
        while (to < length && !text[to].isSpace() && !wordSeparator(text[to]))
            ++to;
    }
    return {start + from, start + to};
}

bool OutputView::move(Move op, bool keepAnchor)
{
    // One step of the editor's cursor; false where it cannot go.
    const qsizetype index = lineOf(m_position);
    const qsizetype start = lineStart(index);
    const int column = int(m_position - start);
    const qsizetype length = line(index).size();
    const QTextLayout *layout = layoutOf(index);
    const QTextLine textLine = layout->lineForTextPosition(column);
    const int lineNumber = textLine.isValid() ? textLine.lineNumber() : 0;
    const int layoutLines = layout->lineCount();
    const int textStart = textLine.isValid() ? textLine.textStart() : 0;
    const int textLength = textLine.isValid() ? textLine.textLength() : 0;
    if (m_x == -1 && (op == Up || op == Down))
        setX();
    qsizetype target = m_position;
    switch (op) {
    case Start:
        target = 0;
        break;
    case End:
        target = m_text.size();
        break;
    case StartOfLine:
        target = start + textStart;
        break;
    case StartOfBlock:
        target = start;
        break;
    case EndOfBlock:
        target = start + length;
        break;
    case EndOfLine:
        if (!textLength) {
            target = start + length;
            break;
        }
        target = std::min<qsizetype>(start + textStart + textLength, m_text.size());
        if (lineNumber < layoutLines - 1 && m_text[target - 1].isSpace())
            --target;
        break;
    case Left:
    case WordLeft:
        target = column == 0 ? std::max<qsizetype>(0, m_position - 1)
                             : start + layout->previousCursorPosition(column, op == Left ? QTextLayout::SkipCharacters
                                                                                         : QTextLayout::SkipWords);
        break;
    case Right:
    case WordRight:
        if (m_position == m_text.size())
            return false;
        target = column == length ? m_position + 1
                                  : start + layout->nextCursorPosition(column, op == Right ? QTextLayout::SkipCharacters
                                                                                            : QTextLayout::SkipWords);
        break;
    case Up:
    case Down: {
        qsizetype block = index;
        int number = lineNumber + (op == Up ? -1 : 1);
        if (number < 0) {
            if (block == 0)
                return false;
            number = layoutOf(--block)->lineCount() - 1;
        } else if (number >= layoutLines) {
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

void OutputView::selectAll()
{
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    m_anchor = 0;
    m_position = m_text.size();
    setX();
    cursorChanged(oldAnchor, oldPosition, false, false);
    selectionToClipboard();
}

QString OutputView::selectedText() const
{
    const qsizetype start = std::min(m_anchor, m_position);
    return m_text.mid(start, std::max(m_anchor, m_position) - start);
}

void OutputView::copy() const
{
    if (m_anchor != m_position)
        QGuiApplication::clipboard()->setText(selectedText());
}

void OutputView::selectionToClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && m_anchor != m_position)
        clipboard->setText(selectedText(), QClipboard::Selection);
}

bool OutputView::find(const QString &needle, bool backward)
{
    if (needle.isEmpty())
        return false;
    const qsizetype start = std::min(m_anchor, m_position), end = std::max(m_anchor, m_position);
    // One search of the whole string: a million lines take a few milliseconds.
    qsizetype at = backward ? (start > 0 ? m_text.lastIndexOf(needle, start - 1) : -1) : m_text.indexOf(needle, end);
    if (at < 0)
        at = backward ? m_text.lastIndexOf(needle) : m_text.indexOf(needle);
    if (at < 0)
        return false;
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    m_anchor = at;
    m_position = at + needle.size();
    setX();
    ensureVisible(m_anchor, true);
    ensureVisible(m_position);
    cursorChanged(oldAnchor, oldPosition, false);
    return true;
}

void OutputView::pageUpDown(bool down, bool keepAnchor, bool moveCursor)
{
    // The editor's page: the cursor keeps its height on the screen while the
    // text moves by the lines seen whole.
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    if (moveCursor) {
        ensureCursorVisible();
        if (!m_pageYValid)
            m_pageY = qreal(cursorTop(m_position)) - verticalOffset();
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
            blockHeightNow = blockHeight(++block);
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
            h -= blockHeight(--block);
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

// ---- events -----------------------------------------------------------------------

bool OutputView::event(QEvent *e)
{
    // The pane's own keys are not a menu's shortcuts.
    if (e->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)
            || key->matches(QKeySequence::Find) || key->key() == Qt::Key_Home || key->key() == Qt::Key_End
            || key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_Up
            || key->key() == Qt::Key_Down) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void OutputView::keyPressEvent(QKeyEvent *e)
{
    e->accept();
    if (e->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (e->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (e->matches(QKeySequence::Find)) {
        emit findRequested();
        return;
    }
    const bool pageUp = e->matches(QKeySequence::MoveToPreviousPage) || e->matches(QKeySequence::SelectPreviousPage);
    if (pageUp || e->matches(QKeySequence::MoveToNextPage) || e->matches(QKeySequence::SelectNextPage)) {
        pageUpDown(!pageUp, e->matches(QKeySequence::SelectPreviousPage) || e->matches(QKeySequence::SelectNextPage),
                   true);
        selectionToClipboard();
        return;
    }
    if (e->key() == Qt::Key_Space && !(e->modifiers() & ~Qt::ShiftModifier)) {
        // A read-only text turns its pages with the space bar.
        verticalScrollBar()->triggerAction(e->modifiers() & Qt::ShiftModifier ? QAbstractSlider::SliderPageStepSub
                                                                             : QAbstractSlider::SliderPageStepAdd);
        return;
    }
    static const struct {
        QKeySequence::StandardKey key;
        Move op;
        bool select;
    } keys[] = {
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
    for (const auto &k : keys) {
        if (!e->matches(k.key))
            continue;
        const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
        Move op = k.op;
        // A line up from the first line, or down from the last, selects to
        // the text's end.
        const qsizetype index = lineOf(m_position);
        const QTextLayout *layout = layoutOf(index);
        const int row = layout->lineForTextPosition(int(m_position - lineStart(index))).lineNumber();
        if (k.select && op == Down && index + 1 == lineCount() && row == layout->lineCount() - 1)
            op = End;
        if (k.select && op == Up && index == 0 && row <= 0)
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
    // Nothing here writes: the rest (Tab, Enter, letters) goes on to the window.
    e->ignore();
}

void OutputView::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    const QPoint point = e->position().toPoint();
    if (m_tripleClick.isActive() && (point - m_tripleClickPoint).manhattanLength() < QApplication::startDragDistance()) {
        // A third click selects the line with its end.
        m_tripleClick.stop();
        const qsizetype index = lineOf(m_position);
        m_anchor = lineStart(index);
        m_position = index + 1 < lineCount() ? lineStart(index + 1) : m_text.size();
    } else {
        const qsizetype position = positionAt(point);
        m_pressPoint = point;
        if (!(e->modifiers() & Qt::ShiftModifier) && m_anchor != m_position
            && position >= std::min(m_anchor, m_position) && position < std::max(m_anchor, m_position)) {
            // On the selection: a move drags it out, a release puts the cursor here.
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

void OutputView::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    const QPoint point = e->position().toPoint();
    if (m_mightDrag) {
        if ((point - m_pressPoint).manhattanLength() < QApplication::startDragDistance())
            return;
        m_mightDrag = false;
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        data->setText(selectedText());
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
        return;
    }
    if (!m_selecting)
        return;
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    m_position = positionAt(point);
    setX();
    cursorChanged(oldAnchor, oldPosition, true);
    // Beyond the edge the text scrolls on while the button is held.
    if (e->source() == Qt::MouseEventNotSynthesized) {
        if (viewport()->rect().contains(point))
            m_autoScroll.stop();
        else if (!m_autoScroll.isActive())
            m_autoScroll.start(100, this);
    }
}

void OutputView::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (m_mightDrag) {
        m_mightDrag = false;
        const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
        m_anchor = m_position = positionAt(e->position().toPoint());
        setX();
        cursorChanged(oldAnchor, oldPosition, false);
    }
    if (m_selecting) {
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

void OutputView::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const qsizetype oldAnchor = m_anchor, oldPosition = m_position;
    std::tie(m_anchor, m_position) = wordAt(positionAt(e->position().toPoint()));
    setX();
    m_selecting = false;
    cursorChanged(oldAnchor, oldPosition, false);
    selectionToClipboard();
    m_tripleClick.start(QGuiApplication::styleHints()->mouseDoubleClickInterval(), this);
    m_tripleClickPoint = e->position().toPoint();
}

void OutputView::wheelEvent(QWheelEvent *e)
{
    // Ctrl and the wheel make the text larger or smaller, as in a read-only editor.
    if (e->modifiers() & Qt::ControlModifier) {
        QFont f = font();
        f.setPointSizeF(std::max(1.0, f.pointSizeF() + e->angleDelta().y() / 120.0));
        setFont(f);
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

void OutputView::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(QStringLiteral("Kopírovat"), QKeySequence::Copy);
    copyAction->setEnabled(m_anchor != m_position);
    QAction *all = menu.addAction(QStringLiteral("Vybrat vše"), QKeySequence::SelectAll);
    all->setEnabled(!m_text.isEmpty());
    menu.addSeparator();
    QAction *findAction = menu.addAction(QStringLiteral("Hledat…"), QKeySequence::Find);
    QPointer<OutputView> alive(this);
    QAction *chosen = menu.exec(e->globalPos());
    if (!alive)
        return;
    if (chosen == copyAction)
        copy();
    else if (chosen == all)
        selectAll();
    else if (chosen == findAction)
        emit findRequested();
}

void OutputView::focusInEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusInEvent(e);
    restartBlink();
    viewport()->update();
}

void OutputView::focusOutEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusOutEvent(e);
    m_blink.stop();
    viewport()->update();
}

void OutputView::changeEvent(QEvent *e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        relayout();
}

void OutputView::stopGestures()
{
    // Nothing of a gesture in progress outlives the text it was made on.
    m_autoScroll.stop();
    m_tripleClick.stop();
    m_selecting = false;
    m_mightDrag = false;
}

void OutputView::restartBlink()
{
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

void OutputView::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(cursorRect(m_position).adjusted(-2, 0, 2, 0));
    } else if (e->timerId() == m_autoScroll.timerId()) {
        // As the editor scrolls while a drag is beyond its edge: the farther, the faster.
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
                verticalScrollBar()->triggerAction(point.y() < visible.center().y() ? QAbstractSlider::SliderSingleStepSub
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

void OutputView::paintEvent(QPaintEvent *e)
{
    QPainter painter(viewport());
    const QRect exposed = e->rect();
    const QPalette &p = palette();
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
            const qsizetype length = (index + 1 < lineCount() ? lineStart(index + 1) : m_text.size() + 1) - start;
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

void OutputView::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    // Lines wrap at the width, as in the editor.
    if (e->oldSize().width() != e->size().width())
        relayout();
    else
        adjustScrollBars();
}

void OutputView::scrollContentsBy(int dx, int)
{
    setTopLine(verticalScrollBar()->value(), dx);
}
