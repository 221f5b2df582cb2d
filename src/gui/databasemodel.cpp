#include "databasemodel.h"

namespace {
// A line longer than this is shown cut, ending in "…"; the line itself stays
// whole. Laying out megabytes of one line at every repaint froze the window.
constexpr qsizetype kShownCharacters = 1000;
} // namespace

int DatabaseModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QModelIndex DatabaseModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || column != 0 || row < 0 || row >= m_lines.size())
        return QModelIndex();
    return createIndex(row, column);
}

QVariant DatabaseModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
        const QString &line = m_lines.at(index.row());
        if (line.size() > kShownCharacters)
            return QString(line.left(kShownCharacters) + QChar(0x2026));
        return line;
    }
    return {};
}

void DatabaseModel::setLines(QStringList lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void DatabaseModel::insertLine(int row, const QString &text)
{
    beginInsertRows({}, row, row);
    m_lines.insert(row, text);
    endInsertRows();
}

void DatabaseModel::insertLines(int row, const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    beginInsertRows({}, row, row + int(texts.size()) - 1);
    m_lines.insert(row, texts.size(), QString());
    for (qsizetype i = 0; i < texts.size(); ++i)
        m_lines[row + i] = texts[i];
    endInsertRows();
}

void DatabaseModel::removeLine(int row)
{
    beginRemoveRows({}, row, row);
    m_lines.removeAt(row);
    endRemoveRows();
}

void DatabaseModel::replaceLine(int row, const QString &text)
{
    m_lines[row] = text;
    const QModelIndex i = index(row);
    emit dataChanged(i, i);
}

void DatabaseModel::replaceRange(int row, int removeCount, const QStringList &texts)
{
    const int common = std::min<int>(removeCount, int(texts.size()));
    for (int i = 0; i < common; ++i)
        m_lines[row + i] = texts[i];
    if (common > 0)
        emit dataChanged(index(row), index(row + common - 1));
    if (removeCount > common) {
        beginRemoveRows({}, row + common, row + removeCount - 1);
        m_lines.remove(row + common, removeCount - common);
        endRemoveRows();
    } else if (int(texts.size()) > common) {
        insertLines(row + common, texts.mid(common));
    }
}
