// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "memolines.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
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
#include <QTextLayout>

#include <cmath>

#include <algorithm>

namespace {

// What the editor draws around its text.
constexpr int kMargin = 4;

// Assistive technology reads the view as the text field it stands for.
class MemoLinesAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit MemoLinesAccessible(MemoLines *view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    MemoLines *view() const { return static_cast<MemoLines *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
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
        return view()->text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(view()->text().size()); }
    QRect characterRect(int offset) const override
    {
        const QRect r = view()->cursorRect(offset);
        const QRect next = view()->cursorRect(offset + 1);
        QRect character(r.topLeft(), QSize(next.top() == r.top() ? std::max(1, next.left() - r.left()) : 1, r.height()));
        return QRect(view()->viewport()->mapToGlobal(character.topLeft()), character.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return int(view()->positionAt(view()->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        view()->ensureVisible(endIndex);
        view()->ensureVisible(startIndex);
    }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        Q_UNUSED(offset);
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("MemoLines") && object && object->isWidgetType())
        return new MemoLinesAccessible(static_cast<MemoLines *>(object));
    return nullptr;
}

} // namespace

MemoLines::MemoLines(QPlainTextEdit *editor) : QAbstractScrollArea(editor), m_editor(editor)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setObjectName(editor->objectName() + QStringLiteral("_lines"));
    setAccessibleName(editor->accessibleName());
    setFrameStyle(editor->frameStyle());
    setVerticalScrollBarPolicy(editor->verticalScrollBarPolicy());
    setFont(editor->font());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    hide();
    editor->installEventFilter(this);
    // Text put into the editor directly takes the pane back.
    connect(editor, &QPlainTextEdit::textChanged, this, [this] {
        if (isShown() && !m_editor->document()->isEmpty())
            release();
    });
}

MemoLines *MemoLines::of(const QPlainTextEdit *editor)
{
    return editor->findChild<MemoLines *>(QString(), Qt::FindDirectChildrenOnly);
}

void MemoLines::showText(const QString &text)
{
    m_text = text;
    m_starts.clear();
    m_starts.push_back(0);
    for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0; at = text.indexOf(QLatin1Char('\n'), at + 1))
        m_starts.push_back(at + 1);
    m_anchor = m_position = 0;
    m_goalX = -1;
    // The longest line in characters stands for the widest; wider lines met
    // while painting widen the range.
    qsizetype longest = 0;
    for (qsizetype i = 0; i < lineCount(); ++i)
        if (line(i).size() > line(longest).size())
            longest = i;
    QTextLayout layout;
    layLine(layout, longest);
    m_widest = int(std::ceil(layout.lineAt(0).naturalTextWidth()));

    QPalette p = palette();
    p.setColor(QPalette::Base, m_editor->palette().color(QPalette::Light));
    viewport()->setPalette(p);
    setGeometry(m_editor->rect());
    const bool hadFocus = m_editor->hasFocus();
    QWidget::setTabOrder(m_editor, this);
    m_editor->setFocusProxy(this);
    raise();
    QWidget::show();
    if (hadFocus)
        setFocus();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&event);
    }
    // Whoever watches the pane's text watches the editor's signal.
    emit m_editor->textChanged();
}

void MemoLines::release()
{
    const bool hadFocus = hasFocus();
    m_editor->setFocusProxy(nullptr);
    hide();
    m_text = QString();
    m_starts = {};
    m_blink.stop();
    if (hadFocus)
        m_editor->setFocus();
    emit m_editor->textChanged();
}

QStringView MemoLines::line(qsizetype index) const
{
    const qsizetype start = m_starts[size_t(index)];
    const qsizetype end = size_t(index) + 1 < m_starts.size() ? m_starts[size_t(index) + 1] - 1 : m_text.size();
    return QStringView(m_text).sliced(start, end - start);
}

qsizetype MemoLines::lineOf(qsizetype position) const
{
    return qsizetype(std::upper_bound(m_starts.begin(), m_starts.end(), position) - m_starts.begin()) - 1;
}

int MemoLines::lineHeight() const { return std::max(1, QFontMetrics(font()).height()); }

int MemoLines::visibleLines() const { return std::max(1, (viewport()->height() - kMargin) / lineHeight()); }

int MemoLines::topLine() const { return verticalScrollBar()->value(); }

QPoint MemoLines::textOrigin() const { return QPoint(kMargin - horizontalScrollBar()->value(), kMargin); }

void MemoLines::layLine(QTextLayout &layout, qsizetype index) const
{
    // The editor's own way of drawing a line: its font, its tab stops, no wrapping.
    QTextOption option = m_editor->document()->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    layout.setText(line(index).toString());
    layout.setFont(font());
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLineWidth(1e9);
    layout.endLayout();
}

void MemoLines::updateScrollBars()
{
    const int shown = visibleLines();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setPageStep(shown);
    vertical->setSingleStep(1);
    vertical->setRange(0, int(std::max<qsizetype>(0, lineCount() - shown)));
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
    horizontal->setRange(0, std::max(0, m_widest + 2 * kMargin - viewport()->width()));
}

QRect MemoLines::cursorRect(qsizetype position) const
{
    position = std::clamp<qsizetype>(position, 0, m_text.size());
    const qsizetype index = lineOf(position);
    QTextLayout layout;
    layLine(layout, index);
    const qreal x = layout.lineAt(0).cursorToX(int(position - lineStart(index)));
    const QPoint origin = textOrigin();
    return QRect(origin.x() + int(x), origin.y() + int(index - topLine()) * lineHeight(), 1, lineHeight());
}

qsizetype MemoLines::positionAt(const QPoint &point) const
{
    const int y = point.y() - kMargin;
    const qsizetype index = std::clamp<qsizetype>(topLine() + (y >= 0 ? y / lineHeight() : -1), 0, lineCount() - 1);
    QTextLayout layout;
    layLine(layout, index);
    return lineStart(index) + layout.lineAt(0).xToCursor(point.x() - textOrigin().x());
}

void MemoLines::ensureVisible(qsizetype position)
{
    const qsizetype index = lineOf(std::clamp<qsizetype>(position, 0, m_text.size()));
    QScrollBar *vertical = verticalScrollBar();
    if (index < vertical->value())
        vertical->setValue(int(index));
    else if (index >= vertical->value() + visibleLines())
        vertical->setValue(int(index - visibleLines() + 1));
    const QRect r = cursorRect(position);
    QScrollBar *horizontal = horizontalScrollBar();
    if (r.left() < kMargin)
        horizontal->setValue(horizontal->value() - (kMargin - r.left()));
    else if (r.right() > viewport()->width() - kMargin)
        horizontal->setValue(horizontal->value() + r.right() - viewport()->width() + kMargin);
}

void MemoLines::setSelection(qsizetype anchor, qsizetype position)
{
    m_anchor = std::clamp<qsizetype>(anchor, 0, m_text.size());
    moveCursor(position, true);
}

void MemoLines::moveCursor(qsizetype position, bool keepAnchor)
{
    const qsizetype oldStart = std::min(m_anchor, m_position);
    const qsizetype oldEnd = std::max(m_anchor, m_position);
    m_position = std::clamp<qsizetype>(position, 0, m_text.size());
    if (!keepAnchor)
        m_anchor = m_position;
    ensureVisible(m_position);
    restartBlink();
    viewport()->update();
    if (QAccessible::isActive()) {
        const qsizetype start = std::min(m_anchor, m_position);
        const qsizetype end = std::max(m_anchor, m_position);
        if (start != oldStart || end != oldEnd) {
            QAccessibleTextSelectionEvent event(this, int(start), int(end));
            event.setCursorPosition(int(m_position));
            QAccessible::updateAccessibility(&event);
        } else {
            notifyCursor();
        }
    }
}

void MemoLines::notifyCursor() const
{
    QAccessibleTextCursorEvent event(const_cast<MemoLines *>(this), int(m_position));
    QAccessible::updateAccessibility(&event);
}

QString MemoLines::selectedText() const
{
    const qsizetype start = std::min(m_anchor, m_position);
    return m_text.mid(start, std::max(m_anchor, m_position) - start);
}

void MemoLines::selectAll()
{
    m_anchor = 0;
    moveCursor(m_text.size(), true);
    selectionToClipboard();
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

void MemoLines::handOver()
{
    if (!isShown())
        return;
    const int top = topLine();
    const int left = horizontalScrollBar()->value();
    const qsizetype anchor = m_anchor;
    const qsizetype position = m_position;
    const bool hadFocus = hasFocus();
    // The editor knows the text from now on; this view lets it go.
    const QString text = std::exchange(m_text, QString());
    release();
    m_editor->setPlainText(text);
    QTextCursor cursor(m_editor->document());
    cursor.setPosition(int(anchor));
    cursor.setPosition(int(position), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editor->verticalScrollBar()->setValue(top);
    m_editor->horizontalScrollBar()->setValue(left);
    if (hadFocus)
        m_editor->setFocus(Qt::OtherFocusReason);
}

void MemoLines::handOverWith(QEvent *e, QWidget *receiver)
{
    handOver();
    QCoreApplication::sendEvent(receiver, e);
}

void MemoLines::restartBlink()
{
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

void MemoLines::paintEvent(QPaintEvent *e)
{
    QPainter painter(viewport());
    const int h = lineHeight();
    const QPoint origin = textOrigin();
    const int first = std::max(0, topLine() + (e->rect().top() - kMargin) / h - 1);
    const qsizetype last = std::min<qsizetype>(lineCount() - 1, topLine() + (e->rect().bottom() - kMargin) / h + 1);
    const qsizetype selStart = std::min(m_anchor, m_position);
    const qsizetype selEnd = std::max(m_anchor, m_position);
    const QPalette &p = m_editor->palette();
    int widest = m_widest;
    for (qsizetype index = first; index <= last; ++index) {
        QTextLayout layout;
        layLine(layout, index);
        const qsizetype start = lineStart(index);
        const qsizetype end = start + line(index).size();
        QList<QTextLayout::FormatRange> selections;
        if (selStart < end + 1 && selEnd > start) {
            QTextLayout::FormatRange range;
            range.start = int(std::max(selStart, start) - start);
            range.length = int(std::min(selEnd, end) - start) - range.start;
            range.format.setBackground(p.brush(QPalette::Highlight));
            range.format.setForeground(p.brush(QPalette::HighlightedText));
            if (range.length > 0)
                selections.append(range);
        }
        const QPointF at(origin.x(), origin.y() + (index - topLine()) * h);
        painter.setPen(p.color(QPalette::Text));
        layout.draw(&painter, at, selections);
        if (selEnd > end && selStart <= end && index + 1 < lineCount()) {
            const qreal x = at.x() + layout.lineAt(0).naturalTextWidth();
            painter.fillRect(QRectF(x, at.y(), fontMetrics().averageCharWidth() / 2.0, h), p.brush(QPalette::Highlight));
        }
        if (hasFocus() && m_caretShown && m_position >= start && m_position <= end)
            layout.drawCursor(&painter, at, int(m_position - start));
        widest = std::max(widest, int(std::ceil(layout.lineAt(0).naturalTextWidth())));
    }
    if (widest > m_widest) {
        m_widest = widest;
        updateScrollBars();
    }
}

void MemoLines::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void MemoLines::scrollContentsBy(int dx, int dy)
{
    // dy counts lines.
    viewport()->scroll(dx, dy * lineHeight());
}

bool MemoLines::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_editor && e->type() == QEvent::Resize)
        setGeometry(m_editor->rect());
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
    // Every key is the pane's: none goes on to the editor underneath.
    e->accept();
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        int kind;
    };
    enum { CharBack, CharForward, WordBack, WordForward, LineUp, LineDown, LineStart, LineEnd, TextStart, TextEnd,
           PageUp, PageDown };
    static const Move moves[] = {
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, CharBack},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, CharForward},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, WordBack},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, WordForward},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, LineUp},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, LineDown},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, LineEnd},
        {QKeySequence::MoveToStartOfBlock, QKeySequence::SelectStartOfBlock, LineStart},
        {QKeySequence::MoveToEndOfBlock, QKeySequence::SelectEndOfBlock, LineEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, TextStart},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, TextEnd},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, PageUp},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, PageDown},
    };
    if (e->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (e->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    for (const Move &m : moves) {
        const bool select = e->matches(m.select);
        if (!select && !e->matches(m.move))
            continue;
        const qsizetype index = lineOf(m_position);
        const qsizetype column = m_position - lineStart(index);
        QTextLayout layout;
        layLine(layout, index);
        qsizetype target = m_position;
        auto toLine = [&](qsizetype otherIndex) {
            if (m_goalX < 0)
                m_goalX = int(layout.lineAt(0).cursorToX(int(column)));
            const int goal = m_goalX;
            QTextLayout other;
            layLine(other, otherIndex);
            target = lineStart(otherIndex) + other.lineAt(0).xToCursor(goal);
        };
        switch (m.kind) {
        case CharBack:
            target = column > 0 ? lineStart(index) + layout.previousCursorPosition(int(column)) : m_position - 1;
            break;
        case CharForward:
            target = column < line(index).size() ? lineStart(index) + layout.nextCursorPosition(int(column))
                                                 : m_position + 1;
            break;
        case WordBack:
            target = column > 0 ? lineStart(index) + layout.previousCursorPosition(int(column), QTextLayout::SkipWords)
                                : m_position - 1;
            break;
        case WordForward:
            target = column < line(index).size()
                         ? lineStart(index) + layout.nextCursorPosition(int(column), QTextLayout::SkipWords)
                         : m_position + 1;
            break;
        case LineUp:
            if (index > 0)
                toLine(index - 1);
            else
                target = 0;
            break;
        case LineDown:
            if (index + 1 < lineCount())
                toLine(index + 1);
            else
                target = m_text.size();
            break;
        case PageUp:
            toLine(std::max<qsizetype>(0, index - visibleLines()));
            verticalScrollBar()->setValue(verticalScrollBar()->value() - visibleLines());
            break;
        case PageDown:
            toLine(std::min<qsizetype>(lineCount() - 1, index + visibleLines()));
            verticalScrollBar()->setValue(verticalScrollBar()->value() + visibleLines());
            break;
        case LineStart:
            target = lineStart(index);
            break;
        case LineEnd:
            target = lineStart(index) + line(index).size();
            break;
        case TextStart:
            target = 0;
            break;
        case TextEnd:
            target = m_text.size();
            break;
        }
        if (m.kind != LineUp && m.kind != LineDown && m.kind != PageUp && m.kind != PageDown)
            m_goalX = -1;
        moveCursor(target, select);
        if (select)
            selectionToClipboard();
        return;
    }
    // Anything that writes (a character, Enter, Backspace, Delete, pasting,
    // cutting) is the editor's from now on.
    const bool typed = !e->text().isEmpty() && e->text().at(0).isPrint() && !(e->modifiers() & Qt::ControlModifier);
    const bool writingKey = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Backspace
                            || e->key() == Qt::Key_Delete;
    if (typed || writingKey || e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut))
        handOverWith(e, m_editor);
}

void MemoLines::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::MiddleButton) {
        // Pasting the selection of the windowing system writes.
        handOverWith(e, m_editor->viewport());
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    if (m_tripleClick.isActive()
        && (e->position().toPoint() - m_tripleClickPoint).manhattanLength() < QApplication::startDragDistance()) {
        m_tripleClick.stop();
        const qsizetype index = lineOf(m_position);
        m_anchor = lineStart(index);
        moveCursor(index + 1 < lineCount() ? lineStart(index + 1) : m_text.size(), true);
        selectionToClipboard();
        return;
    }
    const qsizetype position = positionAt(e->position().toPoint());
    m_goalX = -1;
    moveCursor(position, e->modifiers() & Qt::ShiftModifier);
    m_selecting = true;
    m_lastMouse = e->position().toPoint();
}

void MemoLines::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_selecting || !(e->buttons() & Qt::LeftButton))
        return;
    m_lastMouse = e->position().toPoint();
    moveCursor(positionAt(m_lastMouse), true);
    // Beyond the edge, the text scrolls on while the button is held.
    if (viewport()->rect().contains(m_lastMouse))
        m_autoScroll.stop();
    else if (!m_autoScroll.isActive())
        m_autoScroll.start(50, this);
}

void MemoLines::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_selecting = false;
        m_autoScroll.stop();
        selectionToClipboard();
    }
}

void MemoLines::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const qsizetype position = positionAt(e->position().toPoint());
    const qsizetype index = lineOf(position);
    const int column = int(position - lineStart(index));
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, line(index).toString());
    words.setPosition(column);
    const bool atStart = words.isAtBoundary() && (words.boundaryReasons() & QTextBoundaryFinder::StartOfItem);
    const int wordStart = atStart ? column : int(words.toPreviousBoundary());
    words.setPosition(column);
    const int wordEnd = int(words.toNextBoundary());
    m_anchor = lineStart(index) + std::max(0, wordStart);
    moveCursor(lineStart(index) + (wordEnd < 0 ? line(index).size() : wordEnd), true);
    selectionToClipboard();
    m_tripleClick.start(QGuiApplication::styleHints()->mouseDoubleClickInterval(), this);
    m_tripleClickPoint = e->position().toPoint();
}

void MemoLines::contextMenuEvent(QContextMenuEvent *e)
{
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
    QAction *chosen = menu.exec(e->globalPos());
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
    if (e->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update(cursorRect(m_position).adjusted(-2, 0, 2, 0));
    } else if (e->timerId() == m_autoScroll.timerId()) {
        if (m_lastMouse.y() < 0)
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else if (m_lastMouse.y() > viewport()->height())
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        moveCursor(positionAt(m_lastMouse), true);
    } else if (e->timerId() == m_tripleClick.timerId()) {
        m_tripleClick.stop();
    }
    QAbstractScrollArea::timerEvent(e);
}

void MemoLines::inputMethodEvent(QInputMethodEvent *e)
{
    if (e->commitString().isEmpty() && e->preeditString().isEmpty()) {
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
