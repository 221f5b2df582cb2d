#pragma once
// A loaded database kept as the file's own Windows-1250 bytes: one buffer
// holds the file as read, the lines are offsets into it, and new or changed
// lines are kept beside it. A line is decoded only when it is shown, compared
// as text or changed; saving writes the unchanged lines' bytes as they are.
// Knows nothing of windows.
#include "storage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

namespace storage {

class Lines
{
public:
    qsizetype size() const { return qsizetype(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }

    // A line's bytes without its line end; valid until the lines change.
    QByteArrayView bytes(qsizetype row) const;
    QString text(qsizetype row) const { return fromWindows1250(bytes(row)); }
    // Every line decoded: for small lists.
    QStringList texts() const;

    // Whether a text can be a line: a Windows-1250 byte for every character
    // and no LF (a line break would split it in the file).
    static bool canStore(const QString &text);

    // New lines go in front of `row` (size() appends). A text must have a
    // Windows-1250 byte for every character and no line break, or nothing
    // changes and the result is false.
    bool insert(qsizetype row, QStringView text) { return insert(row, QStringList{text.toString()}); }
    bool insert(qsizetype row, const QStringList &texts);
    bool replace(qsizetype row, QStringView text);
    // Replaces rows [row, row + count) by `texts` in one step.
    bool replace(qsizetype row, qsizetype count, const QStringList &texts);
    void remove(qsizetype row, qsizetype count = 1);
    void clear();

    // The whole file read as it is; CR LF or LF line ends, last line end optional.
    struct LoadResult {
        LoadStatus status = LoadStatus::Missing;
        QString error; // a Czech sentence naming the file, when not Ok
        bool ok() const { return status == LoadStatus::Ok; }
    };
    static LoadResult load(const QString &fileName, Lines &lines);

    // Every line followed by CR LF, replacing the file atomically as
    // storage::save() does; runs of lines that stand in a buffer with CR LF
    // after each go to the file straight from it.
    SaveResult save(const QString &fileName) const;

private:
    // Encodes `texts` into m_added and returns their rows; false when one cannot be stored.
    bool add(const QStringList &texts, std::vector<quint64> &rows);
    QByteArrayView lineAt(quint64 row) const;

    QByteArray m_file;           // the file as read
    QByteArray m_added;          // new and changed lines, each followed by CR LF
    std::vector<quint64> m_rows; // one packed entry per line, see lines.cpp
};

// Lines of a file counted as load() would give them, read piece by piece, so
// that no line is held; -1 (with `error` set) when the file cannot be read.
struct CountResult {
    LoadStatus status = LoadStatus::Missing;
    qint64 lines = 0;
    QString error;
    bool ok() const { return status == LoadStatus::Ok; }
};
CountResult countLines(const QString &fileName);
// The number of line ends (LF) in `bytes`.
qsizetype countLineEnds(QByteArrayView bytes);

} // namespace storage
