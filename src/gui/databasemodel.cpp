// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "databasemodel.h"

#include "placement.h"

#include <algorithm>

namespace {
// A line longer than this is shown cut, ending in "…"; the line itself stays
// whole. Laying out megabytes of one line at every repaint froze the window.
constexpr qsizetype kShownCharacters = 1000;
} // namespace

DatabaseModel::DatabaseModel(QObject *parent) : QAbstractListModel(parent)
{
    // A few blocks at a time: the window stays responsive while they are read.
    m_keyReader.setInterval(0);
    connect(&m_keyReader, &QTimer::timeout, this, [this] {
        if (m_lines.readKeys(m_keyFn, 16))
            m_keyReader.stop();
    });
}

int DatabaseModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
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
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return shownLine(index.row());
    return {};
}

QString DatabaseModel::shownLine(int row) const
{
    // Windows-1250 has one byte a character: only the shown part is decoded.
    const QByteArrayView bytes = m_lines.bytes(row);
    if (bytes.size() > kShownCharacters)
        return storage::fromWindows1250(bytes.first(kShownCharacters)) + QChar(0x2026);
    return storage::fromWindows1250(bytes);
}

storage::Lines::LoadResult DatabaseModel::load(const QString &fileName)
{
    beginResetModel();
    const storage::Lines::LoadResult result = m_lines.load(fileName);
    endResetModel();
    // The locomotive database is keyed by six digits, the wagon database by eleven.
    m_keyFn = placement::keyFunction(fileName == storage::LOKOMOTIVY ? placement::Kind::Locomotive
                                                                     : placement::Kind::Wagon);
    if (result.ok())
        m_keyReader.start();
    return result;
}

storage::SaveResult DatabaseModel::save(const QString &fileName, const storage::FileStamp *unchangedSince)
{
    storage::SaveResult result = m_lines.save(fileName, unchangedSince);
    if (result.ok)
        m_lines.markSaved();
    return result;
}

merge::Result DatabaseModel::mergeWith(storage::Lines theirs, const QString &fileName)
{
    m_keyReader.stop();
    beginResetModel();
    merge::Result result = m_lines.mergeWith(std::move(theirs), placement::keyFunction(
        fileName == storage::LOKOMOTIVY ? placement::Kind::Locomotive : placement::Kind::Wagon));
    endResetModel();
    m_keyReader.start();
    return result;
}

void DatabaseModel::setLines(const QStringList &lines)
{
    m_keyReader.stop();
    beginResetModel();
    m_lines.clear();
    m_lines.insert(0, lines);
    endResetModel();
}

void DatabaseModel::insertLines(int row, const QStringList &texts)
{
    if (texts.isEmpty() || !std::all_of(texts.begin(), texts.end(), storage::Lines::canStore))
        return;
    beginInsertRows({}, row, row + int(texts.size()) - 1);
    m_lines.insert(row, texts);
    endInsertRows();
}

void DatabaseModel::removeLine(int row)
{
    beginRemoveRows({}, row, row);
    m_lines.remove(row);
    endRemoveRows();
}

void DatabaseModel::replaceLine(int row, const QString &text)
{
    if (!m_lines.replace(row, 1, {text}))
        return;
    const QModelIndex i = index(row);
    emit dataChanged(i, i);
}

void DatabaseModel::replaceRange(int row, int removeCount, const QStringList &texts)
{
    if (!std::all_of(texts.begin(), texts.end(), storage::Lines::canStore))
        return;
    const int common = std::min<int>(removeCount, int(texts.size()));
    if (common > 0 && m_lines.replace(row, common, texts.mid(0, common)))
        emit dataChanged(index(row), index(row + common - 1));
    if (removeCount > common) {
        beginRemoveRows({}, row + common, row + removeCount - 1);
        m_lines.remove(row + common, removeCount - common);
        endRemoveRows();
    } else if (int(texts.size()) > common) {
        insertLines(row + common, texts.mid(common));
    }
}
