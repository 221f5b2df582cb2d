// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "databaseview.h"

#include <QAccessible>
#include <QAbstractItemDelegate>
#include <QHoverEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include <algorithm>

// The vertical scroll bar counts rows, as the toolkit's list view does; the
// horizontal one counts pixels.
DatabaseView::DatabaseView(QWidget *parent) : QListView(parent)
{
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setUniformItemSizes(true);
}

void DatabaseView::setModel(QAbstractItemModel *model)
{
    if (QAbstractItemModel *old = this->model())
        disconnect(old, &QAbstractItemModel::rowsRemoved, this, nullptr);
    QListView::setModel(model);
    // After a removal the rows below move up: only the scroll range changes.
    if (model)
        connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { rowsChanged(); });
}

int DatabaseView::rowCount() const { return model() ? model()->rowCount(rootIndex()) : 0; }

QSize DatabaseView::itemSize() const
{
    if (!m_itemSize.isValid()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const int rows = rowCount();
        // The last row stands for all of them, as with the toolkit's uniform item sizes.
        const QModelIndex sample = rows > 0 ? model()->index(rows - 1, modelColumn(), rootIndex()) : QModelIndex();
        QSize size = sample.isValid() ? itemDelegateForIndex(sample)->sizeHint(option, sample) : QSize();
        if (size.height() <= 0)
            size.setHeight(fontMetrics().height() + 2);
        m_itemSize = QSize(std::max(size.width(), 0), size.height());
    }
    return m_itemSize;
}

int DatabaseView::topRow() const { return verticalScrollBar()->value(); }

int DatabaseView::visibleRows() const { return std::max(1, viewport()->height() / itemSize().height()); }

int DatabaseView::rowAt(int y) const
{
    // Floor division: a point above the viewport is above the top row.
    const int h = itemSize().height();
    return topRow() + (y >= 0 ? y / h : -((-y + h - 1) / h));
}

int DatabaseView::contentsWidth() const { return std::max(itemSize().width(), viewport()->width()); }

int DatabaseView::horizontalOffset() const
{
    const QScrollBar *bar = horizontalScrollBar();
    return isRightToLeft() ? bar->maximum() - bar->value() : bar->value();
}

int DatabaseView::verticalOffset() const { return topRow() * itemSize().height(); }

QRect DatabaseView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.parent() != rootIndex() || index.column() != modelColumn())
        return QRect();
    const int h = itemSize().height();
    return QRect(-horizontalOffset(), (index.row() - topRow()) * h, contentsWidth(), h);
}

QModelIndex DatabaseView::indexAt(const QPoint &point) const
{
    const int row = rowAt(point.y());
    if (row < 0 || row >= rowCount() || point.x() + horizontalOffset() >= contentsWidth())
        return QModelIndex();
    return model()->index(row, modelColumn(), rootIndex());
}

void DatabaseView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.parent() != rootIndex())
        return;
    updateGeometries();
    const int row = index.row();
    const int top = topRow();
    const int shown = visibleRows();
    int newTop = top;
    switch (hint) {
    case PositionAtTop:
        newTop = row;
        break;
    case PositionAtBottom:
        newTop = row - shown + 1;
        break;
    case PositionAtCenter:
        newTop = row - shown / 2;
        break;
    case EnsureVisible:
        if (row < top)
            newTop = row;
        else if (row >= top + shown)
            newTop = row - shown + 1;
        break;
    }
    verticalScrollBar()->setValue(newTop);
}

void DatabaseView::doItemsLayout()
{
    // Nothing to lay out: the scroll range and a repaint are all.
    QAbstractItemView::doItemsLayout();
}

void DatabaseView::reset()
{
    m_itemSize = QSize();
    m_hoverRow = -1;
    QAbstractItemView::reset();
}

void DatabaseView::rowsChanged()
{
    // The last row gives the width; it may be another row now.
    m_itemSize = QSize();
    updateGeometries();
    viewport()->update();
}

void DatabaseView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    if (parent == rootIndex())
        rowsChanged();
}

void DatabaseView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    if (m_hoverRow >= start)
        m_hoverRow = -1;
}

void DatabaseView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    if (bottomRight.row() == rowCount() - 1)
        m_itemSize = QSize();
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void DatabaseView::scrollContentsBy(int dx, int dy)
{
    // dy counts rows.
    if (isRightToLeft())
        dx = -dx;
    QAbstractItemView::scrollContentsBy(dx, dy * itemSize().height());
}

// The toolkit's list view would wait for a layout here.
void DatabaseView::resizeEvent(QResizeEvent *e) { QAbstractItemView::resizeEvent(e); }

void DatabaseView::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange)
        m_itemSize = QSize();
    QListView::changeEvent(e);
}

bool DatabaseView::viewportEvent(QEvent *e)
{
    // The row under the mouse is drawn as such by styles that show it.
    switch (e->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove: {
        const QModelIndex hovered = indexAt(static_cast<QHoverEvent *>(e)->position().toPoint());
        const int row = hovered.isValid() ? hovered.row() : -1;
        if (row != m_hoverRow) {
            m_hoverRow = row;
            viewport()->update();
        }
        break;
    }
    case QEvent::HoverLeave:
    case QEvent::Leave:
        if (m_hoverRow >= 0) {
            m_hoverRow = -1;
            viewport()->update();
        }
        break;
    default:
        break;
    }
    return QListView::viewportEvent(e);
}

void DatabaseView::paintEvent(QPaintEvent *e)
{
    const int rows = rowCount();
    if (rows == 0 || !model())
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QPainter painter(viewport());
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const QItemSelectionModel *selections = selectionModel();
    const QStyle::State state = option.state;
    const bool enabled = state & QStyle::State_Enabled;

    const int first = std::max(0, rowAt(e->rect().top()));
    const int last = std::min(rows - 1, rowAt(e->rect().bottom()));
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, modelColumn(), rootIndex());
        option.rect = visualRect(index);
        option.state = state;
        if (selections && selections->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (enabled) {
            const bool itemEnabled = model()->flags(index) & Qt::ItemIsEnabled;
            if (!itemEnabled)
                option.state &= ~QStyle::State_Enabled;
            option.palette.setCurrentColorGroup(itemEnabled ? QPalette::Normal : QPalette::Disabled);
        }
        if (focus && current == index)
            option.state |= QStyle::State_HasFocus;
        if (row == m_hoverRow)
            option.state |= QStyle::State_MouseOver;
        else
            option.state &= ~QStyle::State_MouseOver;
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
}

QModelIndex DatabaseView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int rows = rowCount();
    if (rows == 0)
        return QModelIndex();
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, modelColumn(), rootIndex());
    const int page = std::max(1, visibleRows() - 1);
    int row = current.row();
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= page;
        break;
    case MovePageDown:
        row += page;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
    case MoveRight:
        return current;
    }
    return model()->index(std::clamp(row, 0, rows - 1), modelColumn(), rootIndex());
}

void DatabaseView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const int rows = rowCount();
    const QRect r = rect.normalized();
    const int first = std::max(0, rowAt(r.top()));
    const int last = std::min(rows - 1, rowAt(r.bottom()));
    QItemSelection selection;
    if (first <= last && r.left() + horizontalOffset() < contentsWidth())
        selection.select(model()->index(first, modelColumn(), rootIndex()),
                         model()->index(last, modelColumn(), rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion DatabaseView::visualRegionForSelection(const QItemSelection &selection) const
{
    // Only what can be seen, whatever the size of the selection.
    const int top = topRow();
    const int bottom = top + visibleRows();
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        if (range.parent() != rootIndex() || range.left() > modelColumn() || range.right() < modelColumn())
            continue;
        const int first = std::max(range.top(), top);
        const int last = std::min(range.bottom(), bottom);
        if (first > last)
            continue;
        const QRect a = visualRect(model()->index(first, modelColumn(), rootIndex()));
        const QRect b = visualRect(model()->index(last, modelColumn(), rootIndex()));
        region += a.united(b);
    }
    return region;
}

void DatabaseView::updateGeometries()
{
    const int rows = rowCount();
    const int shown = visibleRows();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(shown);
    vertical->setRange(0, std::max(0, rows - shown));
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, std::max(0, itemSize().width() - viewport()->width()));
    QAbstractItemView::updateGeometries();
}

bool DatabaseView::isIndexHidden(const QModelIndex &) const { return false; }

QSize DatabaseView::viewportSizeHint() const
{
    const qint64 height = qint64(rowCount()) * itemSize().height();
    return QSize(itemSize().width(), int(std::min<qint64>(height, 1 << 24)));
}

void DatabaseView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The row is the accessible child of the list: no layout is asked for it.
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }
    QAbstractItemView::currentChanged(current, previous);
}

// Back from a box or a deletion, a screen reader hears the current line, not
// only the list's name: the line is told as focused once the list's own
// focus has been told.
void DatabaseView::focusInEvent(QFocusEvent *e)
{
    QAbstractItemView::focusInEvent(e);
    if (!QAccessible::isActive())
        return;
    QMetaObject::invokeMethod(this, [this] {
        const QModelIndex current = currentIndex();
        if (!hasFocus() || !current.isValid())
            return;
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(current.row());
        QAccessible::updateAccessibility(&event);
    }, Qt::QueuedConnection);
}

void DatabaseView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (QAccessible::isActive()) {
        if (!selected.isEmpty() && selected.first().isValid()) {
            QAccessibleEvent event(this, QAccessible::SelectionAdd);
            event.setChild(selected.first().top());
            QAccessible::updateAccessibility(&event);
        }
        if (!deselected.isEmpty() && deselected.first().isValid()) {
            QAccessibleEvent event(this, QAccessible::SelectionRemove);
            event.setChild(deselected.first().top());
            QAccessible::updateAccessibility(&event);
        }
    }
    QAbstractItemView::selectionChanged(selected, deselected);
}
