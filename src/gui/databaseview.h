// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The list lbx_databaze. The toolkit's list view lays out every row again
// after each insertion or deletion, which a million rows feel at every edit;
// here all rows have one height, so a row's place is arithmetic and the work
// after an edit does not grow with the number of rows. Keys, mouse,
// selection and accessibility are the toolkit's list view's own.
#include <QListView>

class DatabaseView : public QListView
{
    Q_OBJECT
public:
    explicit DatabaseView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void doItemsLayout() override;
    void reset() override;

    // The height of every row, and the width of the rows as the toolkit's
    // view takes it with uniform item sizes: the last row's.
    QSize itemSize() const;
    int topRow() const;

protected:
    void scrollContentsBy(int dx, int dy) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    bool isIndexHidden(const QModelIndex &index) const override;
    QSize viewportSizeHint() const override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    int rowCount() const;
    int rowAt(int y) const;        // row under a viewport y, unbounded
    int visibleRows() const;       // rows that fit whole in the viewport, at least 1
    int contentsWidth() const;
    void rowsChanged();

    mutable QSize m_itemSize; // invalid: measure again
    int m_hoverRow = -1;
};
