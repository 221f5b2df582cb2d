#pragma once
// The lines of the shown database, behind the list view lbx_databaze. One
// QString per line and no widget per line, so a whole national fleet stays quick.
#include <QAbstractListModel>
#include <QStringList>

class DatabaseModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The view asks for every row at each relayout: the checks of the default
    // cost two virtual calls a row, which a million rows feel.
    QModelIndex index(int row, int column = 0, const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QStringList &lines() const { return m_lines; }
    int count() const { return int(m_lines.size()); }
    const QString &line(int row) const { return m_lines.at(row); }

    void setLines(QStringList lines);
    void clear() { setLines({}); }
    void insertLine(int row, const QString &text);
    void insertLines(int row, const QStringList &texts);
    void appendLine(const QString &text) { insertLine(count(), text); }
    void appendLines(const QStringList &texts) { insertLines(count(), texts); }
    void removeLine(int row);
    void replaceLine(int row, const QString &text);
    // Replaces rows [row, row + removeCount) by texts in one step.
    void replaceRange(int row, int removeCount, const QStringList &texts);

private:
    QStringList m_lines;
};
