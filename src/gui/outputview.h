// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The read-only view of the output pane: a report, a listing of a million
// lines, a help page. It holds the text as one string with the starts of its
// lines and lays out only the lines it shows, each as the plain text editor
// lays out a block; the laid-out lines are kept in a bounded cache, and the
// number of screen lines of every line in a Fenwick tree, so that a scroll or
// a paint costs the same wherever the reader is. Keys, mouse, wheel, scroll
// bar, copy, the X selection and assistive technology work as in a read-only
// editor that lets the keyboard move its cursor.
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QCache>
#include <QString>
#include <QTextLayout>

#include <vector>

class OutputView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit OutputView(QWidget *parent = nullptr);
    ~OutputView() override;

    // Shows `text`, its lines ended as the pane's line rule says; the cursor
    // goes to its start.
    void setText(const QString &text);
    // The text, every line ended by "\n" alone.
    const QString &text() const { return m_text; }
    qsizetype lineCount() const { return qsizetype(m_starts.size()); }
    // A line of the text; a line of more than ten thousand characters is
    // held as several, the last of them ending where it ends.
    QStringView line(qsizetype index) const;
    qsizetype lineEnd(qsizetype index) const;
    qsizetype lineStart(qsizetype index) const { return m_starts[size_t(index)]; }
    qsizetype lineOf(qsizetype position) const;

    // The selection runs between the anchor and the cursor position.
    qsizetype anchor() const { return m_anchor; }
    qsizetype cursorPosition() const { return m_position; }
    void setSelection(qsizetype anchor, qsizetype position);
    QString selectedText() const;
    void selectAll();
    void copy() const;
    // Selects the next (or previous) occurrence of `needle` after (before)
    // the selection, from the other end when there is none on the way;
    // false when the text has none.
    bool find(const QString &needle, bool backward);

    // Where a position is drawn, in viewport coordinates, and the reverse.
    QRect cursorRect(qsizetype position) const;
    qsizetype positionAt(const QPoint &point) const;
    void ensureVisible(qsizetype position);
    // The laid-out line; valid until the next call.
    const QTextLayout *layoutOf(qsizetype index) const;
    qreal margin() const { return 4; }

signals:
    void findRequested();
    void selectionChanged();

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
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
    void changeEvent(QEvent *e) override;

private:
    enum Move { Left, Right, WordLeft, WordRight, Up, Down, StartOfLine, EndOfLine, StartOfBlock, EndOfBlock,
                Start, End };
    // Screen lines per line, summed in a Fenwick tree: the first screen line
    // of a line and the line of a screen line in log(n) steps.
    struct Rows {
        std::vector<int> tree; // 1-based
        void reset(size_t lines);
        void add(qsizetype line, int delta);
        qsizetype before(qsizetype line) const; // screen lines above the line
        qsizetype total() const { return before(qsizetype(tree.size()) - 1); }
        std::pair<qsizetype, int> at(qsizetype row) const; // line and its screen line
        int of(qsizetype line) const { return int(before(line + 1) - before(line)); }
    };

    qreal blockHeight(qsizetype index) const;
    qreal verticalOffset(qsizetype block, int line) const;
    qreal verticalOffset() const { return verticalOffset(m_topBlock, m_topLine); }
    qreal blockY(qsizetype index) const;
    void setTopLine(qsizetype row, int dx = 0);
    void setTopBlock(qsizetype block, int line, int dx = 0);
    void ensureVisible(qsizetype position, bool center);
    void ensureCursorVisible();
    void adjustScrollBars();
    void relayout();
    void pageUpDown(bool down, bool keepAnchor, bool moveCursor);
    qsizetype cursorTop(qsizetype position) const;
    bool move(Move op, bool keepAnchor);
    std::pair<qsizetype, qsizetype> wordAt(qsizetype position) const;
    void setX();
    void cursorChanged(qsizetype oldAnchor, qsizetype oldPosition, bool forceSelection, bool tellCaret = true);
    void selectionToClipboard() const;
    void restartBlink();
    void stopGestures();

    QString m_text;
    std::vector<qsizetype> m_starts{0};
    Rows m_rows;
    mutable QCache<qsizetype, QTextLayout> m_layouts{1000};
    qsizetype m_anchor = 0;
    qsizetype m_position = 0;
    int m_x = -1; // the x that Up and Down keep
    qsizetype m_topBlock = 0;
    int m_topLine = 0;
    mutable qreal m_widest = 0;
    mutable bool m_sizeChanged = false;
    bool m_caretShown = false;
    bool m_selecting = false;
    bool m_mightDrag = false;
    QPoint m_pressPoint;
    bool m_pageYValid = false;
    qreal m_pageY = 0;
    QBasicTimer m_blink;
    QBasicTimer m_tripleClick;
    QPoint m_tripleClickPoint;
    QBasicTimer m_autoScroll;
};
