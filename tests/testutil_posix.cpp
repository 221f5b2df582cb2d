// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The test helpers that need the system's own calls: POSIX.
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}
} // namespace

bool isRoot()
{
    return ::geteuid() == 0;
}

Mount::Mount(const QString &folder, const QString &kind) : dir(QDir(folder).absolutePath())
{
    QDir().mkpath(dir);
    if (kind == u"tmpfs") {
        ok = ::mount("tmpfs", native(dir).constData(), "tmpfs", 0, "size=64k,mode=0777") == 0;
        why = QString::fromLocal8Bit(strerror(errno));
        return;
    }
    // ext4 with 128-byte inodes keeps times to the second.
    const QString image = dir + u".img"_s;
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(8 * 1024 * 1024)) {
        why = u"no image"_s;
        return;
    }
    file.close();
    QProcess mkfs;
    mkfs.start(u"mkfs.ext4"_s, {u"-q"_s, u"-F"_s, u"-I"_s, u"128"_s, image});
    if (!mkfs.waitForFinished() || mkfs.exitCode() != 0) {
        why = u"mkfs.ext4: "_s + QString::fromLocal8Bit(mkfs.readAllStandardError());
        return;
    }
    QProcess mount;
    mount.start(u"mount"_s, {u"-o"_s, u"loop"_s, image, dir});
    ok = mount.waitForFinished() && mount.exitCode() == 0;
    why = u"mount: "_s + QString::fromLocal8Bit(mount.readAllStandardError());
    if (ok)
        ::chmod(native(dir).constData(), 0777);
}

Mount::~Mount()
{
    if (ok)
        ::umount2(native(dir).constData(), MNT_DETACH);
}

int asUser(uint uid, const QString &cacheHome, const std::function<int()> &fn)
{
    ::chmod(".", 0755); // the test's own folder, for the clerk to pass
    const QByteArray cache = native(cacheHome);
    const pid_t pid = fork();
    if (pid == 0) {
        ::setenv("XDG_CACHE_HOME", cache.constData(), 1);
        const gid_t groups[] = {gid_t(kDepot)};
        if (::setgroups(1, groups) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0)
            _exit(99);
        _exit(fn());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

bool setOwner(const QString &path, uint owner, uint group)
{
    return ::chown(native(path).constData(), uid_t(owner), gid_t(group)) == 0;
}

bool setMode(const QString &path, uint mode)
{
    return ::chmod(native(path).constData(), mode_t(mode)) == 0;
}

bool setTimes(const QString &path, qint64 ns)
{
    const timespec time{time_t(ns / 1000000000), long(ns % 1000000000)};
    const timespec times[2] = {time, time};
    return ::utimensat(AT_FDCWD, native(path).constData(), times, 0) == 0;
}

bool hardLink(const QString &existing, const QString &newName)
{
    return ::link(native(existing).constData(), native(newName).constData()) == 0;
}

bool FileSizeLimit::available()
{
    return true;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_old = qint64(limit.rlim_cur);
    limit.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        qFatal("cannot limit the file size");
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_old);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
}
