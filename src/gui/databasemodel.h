// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The lines of the shown database, behind the list view lbx_databaze. They
// stay the file's own bytes (storage::Lines); a line is decoded only when the
// view shows it, so a whole national fleet costs little more than its file.
#include "lines.h"

#include <QAbstractListModel>
#include <QStringList>
#include <QTimer>

class DatabaseModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit DatabaseModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The view asks for rows often: the checks of the default cost two
    // virtual calls a row.
    QModelIndex index(int row, int column = 0, const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const storage::Lines &lines() const { return m_lines; }
    int count() const { return int(m_lines.size()); }
    QString line(int row) const { return m_lines.text(row); }
    // The line as the list shows it and a box quotes it: its first 1,000
    // characters followed by "…" when it is longer.
    QString shownLine(int row) const;
    // Every line decoded: for small lists.
    QStringList texts() const { return m_lines.texts(); }

    // Replaces the lines by those of the file; on failure the list is empty.
    // The keys of its lines are then read in idle moments, so that the first
    // add does not wait for them.
    storage::Lines::LoadResult load(const QString &fileName);
    // Writes the lines; once they are on the disk, later changes are counted from them.
    storage::SaveResult save(const QString &fileName, const storage::FileStamp *unchangedSince = nullptr);
    // This session's changes merged into `theirs`, the bytes of the file as
    // another program left it; the list shows the result.
    merge::Result mergeWith(storage::Lines theirs, const QString &fileName);
    // Lines for the file as another program left it, to be read into the
    // buffer the last merge gave up (storage::Lines::recycled()).
    storage::Lines recycledLines() { return m_lines.recycled(); }
    // The file's bytes as the last load or merge had them.
    QByteArrayView fileBytes() const { return m_lines.fileBytes(); }

    // The texts must have a Windows-1250 byte for every character and no line
    // break (the commands check them first); a text that has not changes nothing.
    void setLines(const QStringList &lines);
    void clear() { setLines({}); }
    void insertLine(int row, const QString &text) { insertLines(row, QStringList{text}); }
    void insertLines(int row, const QStringList &texts);
    void appendLine(const QString &text) { insertLine(count(), text); }
    void appendLines(const QStringList &texts) { insertLines(count(), texts); }
    void removeLine(int row);
    void replaceLine(int row, const QString &text);
    // Replaces rows [row, row + removeCount) by texts in one step.
    void replaceRange(int row, int removeCount, const QStringList &texts);

private:
    storage::Lines m_lines;
    QTimer m_keyReader;
    storage::Lines::KeyFn m_keyFn = nullptr;
};
