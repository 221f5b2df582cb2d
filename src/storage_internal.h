// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// What the storage sources share with each other; not for the rest of the program.
#include "platform.h"
#include "storage.h"

#include <future>
#include <optional>

class QFile;

namespace storage::internal {

// Opens a file for reading; sets status and error when it cannot.
bool openForReading(QFile &file, LoadStatus &status, QString &error);
QString readError(const QFile &file);
using platform::prefault;
using platform::reserveMapped;
using platform::withRoom;
// Writes the bytes of `text` to `out`; false when a character has none.
bool encodeTo(QStringView text, char *out);
// The identity, size and times of an open file or a path, taken now; no hash.
FileStamp statStamp(const platform::FileStatus &status);
// The same of a file opened by openForReading().
FileStamp openStamp(const QFile &file);
// The rounds of ContentHash over `count` blocks of 64 bytes. `vectors`: with
// the processor's vector instructions where it has them, to the same lanes.
void hashBlocks(quint64 *lanes, const char *p, qsizetype count, bool vectors = true);

// Writes a file whole. A sibling is written and renamed over the file, with
// the file's owner, group and mode; where that cannot be, the old bytes go
// to a cache copy first and the file is written in place (see save()).
class Writer
{
public:
    // With `unchangedSince`, the file is replaced only while it is what the
    // stamp tells (writtenSince()); its content, where it decides, is read
    // while the new bytes are written beside it.
    explicit Writer(const QString &fileName, const FileStamp *unchangedSince = nullptr);
    ~Writer(); // an unfinished write leaves the old file
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    // Not ok, with the error, when the file cannot be written.
    SaveResult open();
    bool write(const char *data, qsizetype size);
    bool write(QByteArrayView bytes) { return write(bytes.data(), bytes.size()); }
    // The same for bytes that stay where they are until commit(): a save of
    // an edited database is thousands of runs, written a few hundred
    // kilobytes at a time rather than in a call each.
    bool writeKept(const char *data, qsizetype size);
    // Puts the written bytes in place of the old ones, unless a write failed.
    SaveResult commit(bool written);
    // Leaves the file as it was.
    void cancel();

private:
    SaveResult failure(int error);
    SaveResult changedMeanwhile(bool made);
    bool openInPlace(int &error);
    bool writeNote();
    bool restoreInPlace();
    void releaseCopy();
    bool writeQueued();
    // Where the next bytes go: in place at their offset, beside the file
    // where it stands.
    qint64 writeOffset() const { return !m_sibling && m_regular ? m_written : -1; }

    QString m_fileName;  // as the user names it
    QString m_path;      // the file written: a symbolic link's target
    QString m_temp;      // the sibling's name, once it has one
    bool m_sibling = false; // written beside the file, not in place
    QString m_copy;      // the cache copy of the old bytes, in place
    int m_copyFd = -1;   // the copy, held locked while the save is at work
    bool m_existed = false;
    int m_fd = -1;
    int m_error = 0;     // errno of the first failed write
    bool m_regular = true;
    bool m_copyFailed = false;
    qint64 m_written = 0;
    ContentHash m_hash;
    std::vector<platform::Piece> m_queued; // hashed, not written yet
    qsizetype m_queuedBytes = 0;
    std::optional<FileStamp> m_known;  // the file as the save was told it is
    std::future<bool> m_changed;       // writtenSince(), on a thread of its own
};

} // namespace storage::internal
