// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// The calls that differ between systems, one file for each
// (platform_posix.cpp, platform_windows.cpp); nothing else includes a
// system's own headers for them. Files are handled by descriptor (the C
// library's on Windows). A call that fails leaves the reason in errno.
// Knows nothing of windows on the screen.
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cerrno>
#include <optional>
#include <vector>

// A full quota: Windows has no errno of its own for it and reports ENOSPC,
// so there this value, distinct from every errno, never comes.
#ifndef EDQUOT
#define EDQUOT (-ENOSPC)
#endif

namespace platform {

// What stands at a path or behind an open file.
struct FileStatus {
    bool isFolder = false;
    bool isRegular = false;
    quint64 device = 0; // identity (on Windows: the volume serial and the file index)
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0; // nanoseconds since the epoch
    qint64 changedNs = 0;  // status change time (on Windows: the last write)
    quint64 links = 1;     // names the file has
    uint owner = 0;
    uint group = 0;
    uint mode = 0; // permission bits
};
std::optional<FileStatus> statPath(const QString &path); // follows symbolic links
std::optional<FileStatus> statFile(int fd);

// Whether the user may use a path so; 0 when so, else the errno that says why.
enum Use { Read = 1, Write = 2, Enter = 4 };
int accessError(const QString &path, int uses);

// Opening and closing; -1 on failure. A new file is created with `mode`
// (permission bits, less the user's mask) and never over an existing one.
int openReadOnly(const QString &path);
int openWriteOnly(const QString &path); // an existing file, kept as it is
int createNew(const QString &path, uint mode);
// A file with no name yet in `folder`, to be named by linkUnnamed(); -1 where
// the system or the file system has none.
int createUnnamed(const QString &folder);
void closeFile(int fd);

// Reads up to `size` bytes at `offset`: the count, 0 at the end, -1 on failure.
qint64 readAt(int fd, char *data, qint64 size, qint64 offset);
// Writes all of `data`, at `offset`, or where the file stands when negative.
bool writeAll(int fd, const char *data, qint64 size, qint64 offset = -1);
// The same for the pieces in turn, in as few calls as the system allows.
struct Piece {
    const char *data;
    qint64 size;
};
bool writeAll(int fd, const std::vector<Piece> &pieces, qint64 offset = -1);
bool truncate(int fd, qint64 size);
// The file's bytes and size are on the disk when it returns.
bool syncFile(int fd);

// Holds an open file locked against every other holder, in this program
// or another, until it is closed or the program ends; false at once when
// another holds it.
bool lockFile(int fd);

// Gives an unnamed file its name; fails with EEXIST where one stands there.
bool linkUnnamed(int fd, const QString &path);
// Puts `from` in the place of `to` in one step: `to` names the new file, or
// the old one if the call fails.
bool replaceFile(const QString &from, const QString &to);
// A handle on a file about to be replaced, so that its blocks are given back
// when the handle is closed, not in the rename; -1 where a file held open
// cannot be replaced (Windows).
int holdReplaced(const QString &path);
// Renames `from` to `to`, which must not exist: fails with EEXIST where it does.
bool moveNoReplace(const QString &from, const QString &to);
// The names made or removed in a folder are on the disk when it returns.
bool syncFolder(const QString &path);
bool removeFile(const QString &path);
// Gives a new file the owner, group and permission bits of `old`; false when
// the user may not.
bool takeOwnership(int fd, const FileStatus &old);

// 0 when done, else the errno.
int makeFolder(const QString &path);
int enterFolder(const QString &path);
// Where the data folder of the menu entry goes: the home folder (Documents on Windows).
QString homeFolder();
// The user's folder for files a program may lose (~/.cache, %LOCALAPPDATA%).
QString cacheFolder();

// Whether the session has a screen for windows, asked before the toolkit
// starts (which aborts without one). `windowSystems` is the toolkit's choice
// of platform ("xcb", "wayland;xcb", "offscreen"; empty for its default), and
// `x11Display` its -display option. X11 names its display in DISPLAY, Wayland
// its compositor in WAYLAND_DISPLAY; a platform that needs neither is always
// there, and so is the user's screen on Windows.
bool hasScreen(const QByteArray &windowSystems, const QByteArray &x11Display);
// The program's command-line words, argv[0] included, decoded as the system
// passed them.
QStringList arguments(int argc, char *argv[]);
// Standard output and error go to the console the program was started from,
// where the system gives a window program none of its own.
void attachConsole();

// The symbolic name of an errno value ("EXDEV"), or an empty string.
QString errorName(int error);

// Memory about to be filled for the first time, tens of megabytes of it,
// mapped in one call rather than a fault per 4 KB page. Huge pages would
// take fewer faults, but the system may stop to compact memory for them:
// a merge then took 200 ms in place of 120 ms, at random. A hint only.
void prefault(void *data, qsizetype size);
// What is taken for `count` bytes or items that will be taken again: a
// little more, so that the file grown by a few lines still fits next time.
constexpr qint64 withRoom(qint64 count) { return count + count / 32; }
// Room for `count` items, mapped at once, before they are put in.
template <typename T>
void reserveMapped(std::vector<T> &items, size_t count)
{
    if (items.capacity() < count)
        items.reserve(size_t(withRoom(qint64(count))));
    prefault(items.data(), qsizetype(items.capacity() * sizeof(T)));
}
// Sets the memory allocator up for a million small blocks at a time.
void tuneAllocator();

} // namespace platform
