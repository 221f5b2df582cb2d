// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The output pane's view of a long text, such as a listing of a hundred
// thousand lines. The pane's editor would fill its text document block by
// block before it could paint; this view holds the text as one string with
// the starts of its lines, and lays out only the lines it shows. Selection,
// copying, keys, mouse and assistive technology work on the whole text; the
// first edit hands the text to the editor, which takes over.
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <vector>

class QPlainTextEdit;
class QTextLayout;

class MemoLines : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // Covers `editor` and stands in for it while it shows a text.
    explicit MemoLines(QPlainTextEdit *editor);

    // The view of `editor`, or nullptr when it has none yet.
    static MemoLines *of(const QPlainTextEdit *editor);

    // Shows `text` in place of the editor; `text` must not end the pane's
    // lines with a CR: lines are separated by "\n".
    void showText(const QString &text);
    // The editor shows its own document again; the text is let go.
    void release();
    bool isShown() const { return isVisible() || isVisibleTo(parentWidget()); }

    const QString &text() const { return m_text; }
    qsizetype lineCount() const { return qsizetype(m_starts.size()); }
    // A line without its "\n".
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
    int topLine() const;

    // Where a position is drawn, in viewport coordinates, and the reverse.
    QRect cursorRect(qsizetype position) const;
    qsizetype positionAt(const QPoint &point) const;
    // Scrolls so that the position is seen.
    void ensureVisible(qsizetype position);

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
    void contextMenuEvent(QContextMenuEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void timerEvent(QTimerEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void dragEnterEvent(QDragEnterEvent *e) override;

private:
    int lineHeight() const;
    int visibleLines() const;
    QPoint textOrigin() const; // where the first shown line starts, in viewport coordinates
    void layLine(QTextLayout &layout, qsizetype index) const;
    void updateScrollBars();
    void moveCursor(qsizetype position, bool keepAnchor);
    // Hands over and lets the editor handle the event as if it had been its own.
    void handOverWith(QEvent *e, QWidget *receiver);
    void restartBlink();
    void selectionToClipboard() const;
    void notifyCursor() const;

    QPlainTextEdit *m_editor;
    QString m_text;
    std::vector<qsizetype> m_starts; // first position of each line
    int m_widest = 0;                // the widest line met, in pixels
    qsizetype m_anchor = 0;
    qsizetype m_position = 0;
    int m_goalX = -1; // x kept by up and down moves
    bool m_caretShown = false;
    bool m_selecting = false;
    QBasicTimer m_blink;
    QBasicTimer m_tripleClick;
    QPoint m_tripleClickPoint;
    QBasicTimer m_autoScroll;
    QPoint m_lastMouse;
};
