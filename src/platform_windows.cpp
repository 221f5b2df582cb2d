// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The system calls of Windows. Files are opened with CreateFileW, sharing
// deletion too, so that a save may put its new file in the place of one that
// is still open here, and are then handed around as C library descriptors.
#include "platform.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

namespace platform {

namespace {
std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

// The errno for the last Windows error, left in errno as the POSIX calls do.
int setErrno()
{
    int error;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        error = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_NETWORK_ACCESS_DENIED:
        error = EACCES;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        error = EEXIST;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:
        error = ENOSPC;
        break;
    case ERROR_WRITE_PROTECT:
        error = EROFS;
        break;
    case ERROR_NOT_SAME_DEVICE:
        error = EXDEV;
        break;
    case ERROR_DIRECTORY:
        error = ENOTDIR;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
        error = ENAMETOOLONG;
        break;
    case ERROR_TOO_MANY_OPEN_FILES:
        error = EMFILE;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        error = ENOMEM;
        break;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        error = EINVAL;
        break;
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
        error = ENOSYS;
        break;
    case ERROR_CANT_RESOLVE_FILENAME:
        error = ELOOP;
        break;
    default:
        error = EIO;
        break;
    }
    errno = error;
    return error;
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// A descriptor for a handle, or -1 with the handle closed.
int descriptor(HANDLE handle, int flags)
{
    if (handle == INVALID_HANDLE_VALUE) {
        setErrno();
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// FILETIME counts 100 ns from 1601; the stamps count nanoseconds from 1970.
qint64 nanoseconds(const FILETIME &time)
{
    const qint64 ticks = qint64((quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - 116444736000000000LL) * 100;
}

std::optional<FileStatus> statusOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) {
        setErrno();
        return std::nullopt;
    }
    FileStatus status;
    status.isFolder = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    status.isRegular = !status.isFolder && GetFileType(handle) == FILE_TYPE_DISK;
    status.device = info.dwVolumeSerialNumber;
    status.inode = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    status.size = qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    status.modifiedNs = nanoseconds(info.ftLastWriteTime);
    status.changedNs = status.modifiedNs;
    status.links = info.nNumberOfLinks;
    status.mode = info.dwFileAttributes & FILE_ATTRIBUTE_READONLY ? 0444 : 0666;
    return status;
}
} // namespace

std::optional<FileStatus> statPath(const QString &path)
{
    // No access asked: the identity and times of a file that another program
    // holds open without sharing are still read. Folders need backup semantics.
    const HANDLE handle = CreateFileW(native(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        setErrno();
        return std::nullopt;
    }
    std::optional<FileStatus> status = statusOf(handle);
    const int error = errno;
    CloseHandle(handle);
    errno = error;
    return status;
}

std::optional<FileStatus> statFile(int fd)
{
    const HANDLE handle = handleOf(fd);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return std::nullopt;
    }
    return statusOf(handle);
}

int accessError(const QString &path, int uses)
{
    const DWORD attributes = GetFileAttributesW(native(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return setErrno();
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    if ((uses & Enter) && !folder)
        return ENOTDIR;
    // The read-only attribute of a folder asks nothing of its files.
    if ((uses & Write) && !folder && (attributes & FILE_ATTRIBUTE_READONLY))
        return EACCES;
    if ((uses & Read) && !folder) {
        const HANDLE handle = CreateFileW(native(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return GetLastError() == ERROR_SHARING_VIOLATION ? 0 : setErrno();
        CloseHandle(handle);
    }
    return 0;
}

int openReadOnly(const QString &path)
{
    return descriptor(CreateFileW(native(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr),
                      _O_RDONLY);
}

int openWriteOnly(const QString &path)
{
    return descriptor(CreateFileW(native(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr),
                      _O_WRONLY);
}

int createNew(const QString &path, uint mode)
{
    const DWORD attributes = mode & 0222 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
    return descriptor(CreateFileW(native(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                  nullptr, CREATE_NEW, attributes, nullptr),
                      _O_RDWR);
}

int createUnnamed(const QString &folder)
{
    Q_UNUSED(folder);
    // Windows names every file it creates: the save uses a named sibling.
    errno = ENOSYS;
    return -1;
}

void closeFile(int fd)
{
    _close(fd);
}

qint64 readAt(int fd, char *data, qint64 size, qint64 offset)
{
    OVERLAPPED at {};
    at.Offset = DWORD(quint64(offset));
    at.OffsetHigh = DWORD(quint64(offset) >> 32);
    DWORD read = 0;
    if (!ReadFile(handleOf(fd), data, DWORD(std::min<qint64>(size, 1 << 30)), &read, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        setErrno();
        return -1;
    }
    return read;
}

bool writeAll(int fd, const char *data, qint64 size, qint64 offset)
{
    const HANDLE handle = handleOf(fd);
    while (size > 0) {
        OVERLAPPED at {};
        at.Offset = DWORD(quint64(offset));
        at.OffsetHigh = DWORD(quint64(offset) >> 32);
        DWORD written = 0;
        if (!WriteFile(handle, data, DWORD(std::min<qint64>(size, 1 << 30)), &written,
                       offset < 0 ? nullptr : &at)) {
            setErrno();
            return false;
        }
        data += written;
        size -= written;
        if (offset >= 0)
            offset += written;
    }
    return true;
}

bool writeAll(int fd, const std::vector<Piece> &pieces, qint64 offset)
{
    // Gathered writes want whole pages of memory: one piece at a time.
    for (const Piece &piece : pieces) {
        if (!writeAll(fd, piece.data, piece.size, offset))
            return false;
        if (offset >= 0)
            offset += piece.size;
    }
    return true;
}

bool truncate(int fd, qint64 size)
{
    FILE_END_OF_FILE_INFO end;
    end.EndOfFile.QuadPart = size;
    if (!SetFileInformationByHandle(handleOf(fd), FileEndOfFileInfo, &end, sizeof end)) {
        setErrno();
        return false;
    }
    return true;
}

bool syncFile(int fd)
{
    if (!FlushFileBuffers(handleOf(fd))) {
        setErrno();
        return false;
    }
    return true;
}

bool lockFile(int fd)
{
    // Windows' locks forbid other handles to read or write the bytes they
    // hold, this program's own included; the lock is taken on one byte far
    // beyond any end, where it stops nothing but another lock.
    OVERLAPPED at {};
    at.Offset = 0xFFFFFFFE;
    at.OffsetHigh = 0x7FFFFFFF;
    if (LockFileEx(handleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return true;
    setErrno();
    return false;
}

bool linkUnnamed(int fd, const QString &path)
{
    Q_UNUSED(fd);
    Q_UNUSED(path);
    errno = ENOSYS;
    return false;
}

bool replaceFile(const QString &from, const QString &to)
{
    const std::wstring source = native(QFileInfo(from).absoluteFilePath());
    const std::wstring target = native(QFileInfo(to).absoluteFilePath());
    // ReplaceFileW gives the new file the old one's access rights and
    // attributes; where there is no old file, the file system cannot or the
    // new file is still open here (Wine refuses that), a plain move in one
    // step, written through before it returns.
    if (ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr))
        return true;
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    setErrno();
    return false;
}

int holdReplaced(const QString &path)
{
    // A file open anywhere cannot be renamed over.
    Q_UNUSED(path);
    return -1;
}

bool moveNoReplace(const QString &from, const QString &to)
{
    if (MoveFileExW(native(from).c_str(), native(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    setErrno();
    return false;
}

bool syncFolder(const QString &path)
{
    // NTFS keeps its names in a journal; a folder opened for writing can be
    // flushed as well, where the file system lets it (others refuse, and
    // have nothing to flush for it).
    const HANDLE handle = CreateFileW(native(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return true;
    const bool flushed = FlushFileBuffers(handle);
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (flushed || error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_FUNCTION
        || error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED)
        return true;
    SetLastError(error);
    setErrno();
    return false;
}

bool removeFile(const QString &path)
{
    if (DeleteFileW(native(path).c_str()))
        return true;
    setErrno();
    return false;
}

bool takeOwnership(int fd, const FileStatus &old)
{
    // The access rights and attributes come with ReplaceFileW.
    Q_UNUSED(fd);
    Q_UNUSED(old);
    return true;
}

int makeFolder(const QString &path)
{
    return CreateDirectoryW(native(path).c_str(), nullptr) ? 0 : setErrno();
}

int enterFolder(const QString &path)
{
    return SetCurrentDirectoryW(native(path).c_str()) ? 0 : setErrno();
}

QString homeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString cacheFolder()
{
    // %LOCALAPPDATA%: the files a program keeps for the user on this computer only.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

bool hasScreen(const QByteArray &windowSystems, const QByteArray &x11Display)
{
    // The logged-in user's screen is always there.
    Q_UNUSED(windowSystems);
    Q_UNUSED(x11Display);
    return true;
}

QStringList arguments(int argc, char *argv[])
{
    // argv holds the words in the system's ANSI code page, which lacks most
    // of what a folder name may hold; the wide command line has them all.
    QStringList words;
    int count = 0;
    if (wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            words << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
    }
    if (words.size() != argc) {
        words.clear();
        for (int i = 0; i < argc; ++i)
            words << QString::fromLocal8Bit(argv[i]);
    }
    return words;
}

void attachConsole()
{
    // Output already led somewhere (a pipe, a file, Wine's terminal) stays there.
    auto led = [](DWORD which) {
        const HANDLE handle = GetStdHandle(which);
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    };
    const bool outLed = led(STD_OUTPUT_HANDLE);
    const bool errorLed = led(STD_ERROR_HANDLE);
    if ((outLed && errorLed) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!outLed)
        std::freopen("CONOUT$", "w", stdout);
    if (!errorLed)
        std::freopen("CONOUT$", "w", stderr);
    // The texts are UTF-8; the console is the user's, and gets its own code
    // page back when the program ends.
    static const UINT codePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    std::atexit([] { SetConsoleOutputCP(codePage); });
}

QString errorName(int error)
{
    static const std::pair<int, const char *> names[] = {
        {EPERM, "EPERM"},   {ENOENT, "ENOENT"},   {EINTR, "EINTR"},   {EIO, "EIO"},
        {EBADF, "EBADF"},   {EAGAIN, "EAGAIN"},   {ENOMEM, "ENOMEM"}, {EACCES, "EACCES"},
        {EBUSY, "EBUSY"},   {EEXIST, "EEXIST"},   {EXDEV, "EXDEV"},   {ENODEV, "ENODEV"},
        {ENOTDIR, "ENOTDIR"}, {EISDIR, "EISDIR"}, {EINVAL, "EINVAL"}, {ENFILE, "ENFILE"},
        {EMFILE, "EMFILE"}, {EFBIG, "EFBIG"},     {ENOSPC, "ENOSPC"}, {EROFS, "EROFS"},
        {EMLINK, "EMLINK"}, {ENAMETOOLONG, "ENAMETOOLONG"}, {ENOSYS, "ENOSYS"},
        {ENOTEMPTY, "ENOTEMPTY"}, {ELOOP, "ELOOP"}, {ENOTSUP, "ENOTSUP"}};
    for (const auto &[value, name] : names)
        if (value == error)
            return QLatin1String(name);
    return QString();
}

void prefault(void *data, qsizetype size)
{
    // Windows maps fresh memory well enough a page at a time.
    Q_UNUSED(data);
    Q_UNUSED(size);
}

void tuneAllocator()
{
    // The system's heap needs no settings for many small blocks.
}

} // namespace platform
