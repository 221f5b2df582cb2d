// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The test helpers that need the system's own calls: Windows, which has no
// limit on the size of the files a process writes.
#include "testutil.h"

#include <QDir>
#include <windows.h>

namespace {
std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}
} // namespace

// The tests of other users' files and of mounted file systems are POSIX ones.
bool isRoot()
{
    return false;
}

Mount::Mount(const QString &folder, const QString &kind) : dir(QDir(folder).absolutePath())
{
    Q_UNUSED(kind);
    why = QStringLiteral("no mounts on this system");
}

Mount::~Mount() = default;

int asUser(uint uid, const QString &cacheHome, const std::function<int()> &fn)
{
    Q_UNUSED(uid);
    Q_UNUSED(cacheHome);
    Q_UNUSED(fn);
    return 99;
}

bool setOwner(const QString &path, uint owner, uint group)
{
    Q_UNUSED(path);
    Q_UNUSED(owner);
    Q_UNUSED(group);
    return false;
}

bool setMode(const QString &path, uint mode)
{
    // What Windows has of the permission bits: the read-only attribute.
    const std::wstring name = native(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD readOnly = mode & 0200 ? 0 : FILE_ATTRIBUTE_READONLY;
    return SetFileAttributesW(name.c_str(), (attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)) | readOnly);
}

bool setTimes(const QString &path, qint64 ns)
{
    const HANDLE handle = CreateFileW(native(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    // FILETIME counts 100 ns from 1601.
    const quint64 ticks = quint64(ns / 100 + 116444736000000000LL);
    const FILETIME time{DWORD(ticks), DWORD(ticks >> 32)};
    const bool set = SetFileTime(handle, nullptr, &time, &time);
    CloseHandle(handle);
    return set;
}

bool hardLink(const QString &existing, const QString &newName)
{
    return CreateHardLinkW(native(newName).c_str(), native(existing).c_str(), nullptr);
}

bool FileSizeLimit::available()
{
    return false;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    Q_UNUSED(bytes);
}

FileSizeLimit::~FileSizeLimit() = default;
