// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The output pane's view of a long text, such as a listing of a hundred
// thousand lines. The pane's editor would fill its text document block by
// block before it could paint; this view holds the text as one string with
// the starts of its lines, and lays out only the lines it shows, each as the
// editor lays out a block: same font, margin, wrapping and width. It takes
// the editor's place in the window while it shows a text, and scrolls,
// selects, moves by keys and mouse and answers assistive technology as the
// editor does; the first edit hands the text to the editor, which takes over.
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QTextLayout;

class MemoLines : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // Shares the editor's place and stands in for it while it shows a text.
    explicit MemoLines(QPlainTextEdit *editor);
    ~MemoLines() override;

    // The view of `editor`, or nullptr when it has none.
    static MemoLines *of(const QPlainTextEdit *editor);

    // Shows `text` in place of the editor; its lines are separated by "\n"
    // alone, as the editor's blocks would split it.
    void showText(const QString &text);
    // The editor shows its own document again; the text is let go.
    void release();
    bool isShown() const { return m_shown; }

    const QString &text() const { return m_text; }
    qsizetype lineCount() const { return qsizetype(m_starts.size()); }
    // A line (the editor's block) without its "\n".
    QStringView line(qsizetype index) const;
    qsizetype lineOf(qsizetype position) const;
    qsizetype lineStart(qsizetype index) const { return m_starts[size_t(index)]; }

    // Cursor and selection as positions in text(); the selection runs
    // between the anchor and the cursor.
    qsizetype cursorPosition() const { return m_position; }
    qsizetype anchor() const { return m_anchor; }
    void setSelection(qsizetype anchor, qsizetype position);
    QString selectedText() const;
    void selectAll();
    void copy() const;
    // The first line shown, as the editor's firstVisibleBlock.
    int topLine() const { return int(m_topBlock); }

    // Where a position is drawn, in viewport coordinates, and the reverse.
    QRect cursorRect(qsizetype position) const;
    qsizetype positionAt(const QPoint &point) const;
    // Scrolls so that the position is seen.
    void ensureVisible(qsizetype position);
    // The laid-out block of a line, as the editor lays it out.
    const QTextLayout *layoutOf(qsizetype index) const;
    // Lets go of laid-out blocks when many were met; a pointer from
    // layoutOf() is good until then.
    void trimLayouts() const;
    QPlainTextEdit *editor() const { return m_editor; }

    // The editor takes the text over, with this cursor and selection and
    // the same first line shown, and gets the focus.
    void handOver();

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void timerEvent(QTimerEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void dragEnterEvent(QDragEnterEvent *e) override;

private:
    enum Move { Left, Right, WordLeft, WordRight, Up, Down, StartOfLine, EndOfLine, StartOfBlock, EndOfBlock,
                Start, End };
    qreal margin() const;
    qreal blockHeight(qsizetype index) const;
    qreal verticalOffset(qsizetype block, int line) const;
    qreal verticalOffset() const { return verticalOffset(m_topBlock, m_topLine); }
    // The top of a block, with the first shown block's top at 0.
    qreal blockY(qsizetype index) const;
    qsizetype firstLineNumber(qsizetype index) const;
    std::pair<qsizetype, int> blockOfLineNumber(qsizetype lineNumber) const;
    void setTopLine(qsizetype lineNumber, int dx = 0);
    void setTopBlock(qsizetype block, int line, int dx = 0);
    void ensureVisible(qsizetype position, bool center);
    void adjustScrollBars();
    void pageUpDown(bool down, bool keepAnchor, bool moveCursor);
    qsizetype cursorTop(qsizetype position) const;
    bool move(Move op, bool keepAnchor);
    void setCursor(qsizetype position, bool keepAnchor);
    void cursorChanged(qsizetype oldAnchor, qsizetype oldPosition, bool forceSelection, bool tellCaret = true);
    void setX();
    void clearLayouts();
    void forgetText();
    void stopInteraction();
    // Hands over and lets the editor handle the event as if it had been its own.
    void handOverWith(QEvent *e, QWidget *receiver);
    void restartBlink();
    void selectionToClipboard() const;
    void ensureCursorVisible();

    QPlainTextEdit *m_editor;
    bool m_shown = false;
    QString m_text;
    std::vector<qsizetype> m_starts{0}; // first position of each line
    qsizetype m_anchor = 0;
    qsizetype m_position = 0;
    int m_x = -1; // the x that up and down moves keep, as the editor's cursor keeps it
    qsizetype m_topBlock = 0;
    int m_topLine = 0;
    // Lines of wrapped blocks beyond their first; a block not laid out yet
    // counts one line, as in the editor.
    mutable std::map<qsizetype, int> m_extraLines;
    mutable qsizetype m_extraTotal = 0;
    mutable std::unordered_map<qsizetype, std::unique_ptr<QTextLayout>> m_layouts;
    mutable qreal m_widest = 0;
    mutable bool m_sizeChanged = false;
    bool m_caretShown = false;
    bool m_selecting = false;
    bool m_mightDrag = false; // pressed inside the selection: a move drags it
    QPoint m_pressPoint;
    bool m_pageYValid = false;
    qreal m_pageY = 0;
    QBasicTimer m_blink;
    QBasicTimer m_tripleClick;
    QPoint m_tripleClickPoint;
    QBasicTimer m_autoScroll;
};
