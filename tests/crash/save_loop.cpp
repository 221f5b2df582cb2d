// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Helper of the kill test. Builds the two versions of the wagon database once
// and prints "ready". Then, for every line "save V" on its standard input, it
// forks a saver, prints "saver PID" and waits for it; once the saver is gone
// it prints "ended". The saver saves the two versions in turn with the real
// save, version V first, printing "saving N" before and "saved N" after save
// N, until it is killed. The helper ends when its input ends.
#include "crashdatabase.h"
#include "lines.h"

#include <QTemporaryFile>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
void say(const char *format, long n)
{
    std::printf(format, n);
    std::fflush(stdout);
}

[[noreturn]] void saveForever(const storage::Lines (&versions)[2], int first)
{
    for (long n = 1;; ++n) {
        say("saving %ld\n", n);
        const storage::SaveResult result = versions[(first + n - 1) % 2].save(storage::VOZY);
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            _exit(1);
        }
        say("saved %ld\n", n);
    }
}

// A version as the program holds a shown database: read from a file (kept
// outside the working directory), with one line changed to itself and so
// kept beside the file's buffer.
storage::Lines shownVersion(int version)
{
    const QStringList lines = crashDatabase(version);
    QTemporaryFile file;
    if (!file.open() || !storage::save(file.fileName(), lines).ok)
        std::exit(1);
    storage::Lines shown;
    if (!shown.load(file.fileName()).ok() || !shown.replace(lines.size() / 2, 1, {lines[lines.size() / 2]}))
        std::exit(1);
    return shown;
}
} // namespace

int main()
{
    const storage::Lines versions[2] = {shownVersion(0), shownVersion(1)};
    say("ready\n", 0);
    char command[64];
    while (std::fgets(command, sizeof command, stdin)) {
        const int first = std::atoi(command + 5) % 2;
        const pid_t pid = fork();
        if (pid < 0)
            return 1;
        if (pid == 0) {
            // TRAKVID_SAVER_UID: a clerk without privileges, who may write the
            // file but not create files beside it, so that it is written in place.
            if (const char *uid = std::getenv("TRAKVID_SAVER_UID")) {
                const gid_t gid = gid_t(std::atoi(uid));
                if (setgroups(1, &gid) != 0 || setgid(gid) != 0 || setuid(uid_t(std::atoi(uid))) != 0)
                    _exit(1);
            }
            saveForever(versions, first);
        }
        say("saver %ld\n", long(pid));
        int status = 0;
        waitpid(pid, &status, 0);
        say("ended\n", 0);
    }
    return 0;
}
