// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Saves killed at random moments: after every kill the database file holds,
// byte for byte, either the content before the interrupted save or the
// content it was writing, and nothing is left beside it. A file written in
// place (a folder that takes no new file) may be cut short by the kill: then
// the next read or start puts back the content before the save from the
// cache copy, byte for byte, and says so.
#include "Unit3.h"
#include "crash/crashdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// Where a save in a child process of this test kills itself: half way
// through its first write to the database file, or as it removes its cache
// copy, the new bytes all on the disk.
enum class KillAt { Nowhere, Write, CopyRemoval };
KillAt g_killAt = KillAt::Nowhere;
QByteArray g_copies; // the cache folder

bool isDatabase(int fd)
{
    char target[4096];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), target, sizeof target);
    return n > 0 && QByteArrayView(target, n).endsWith("/vozy.txt");
}
} // namespace

// The system's own calls, seen first by this test: the program's writes and
// removals pass through them.
extern "C" ssize_t pwrite(int fd, const void *data, size_t size, off_t offset)
{
    if (g_killAt == KillAt::Write && isDatabase(fd)) {
        ::syscall(SYS_pwrite64, fd, data, size / 2, offset);
        ::kill(::getpid(), SIGKILL);
    }
    return ::syscall(SYS_pwrite64, fd, data, size, offset);
}

extern "C" int unlink(const char *path)
{
    if (g_killAt == KillAt::CopyRemoval && QByteArrayView(path).startsWith(g_copies))
        ::kill(::getpid(), SIGKILL);
    return int(::syscall(SYS_unlinkat, AT_FDCWD, path, 0));
}

class TestCrashSafe : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void killedSavesLeaveOldOrNew_data();
    void killedSavesLeaveOldOrNew();

private:
    void killedAtAPlace(KillAt killAt, const QString &then, const QString &copies);
    QByteArray m_version[2];
};

namespace {

constexpr int kKills = 25;
// Every fifth kill waits for the first save to finish, so that kills also
// meet a file just replaced and a second save at work.
constexpr int kLateEvery = 5;

// The helper that forks savers (tests/crash/save_loop.cpp); each round starts
// one saver and kills it.
struct SaveLoop {
    QProcess process;
    QByteArray output; // of the current round

    bool start(const QProcessEnvironment &environment)
    {
        process.setProcessEnvironment(environment);
        process.setProgram(QStringLiteral(SAVE_LOOP_PATH));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        return !waitFor("ready").isEmpty();
    }
    ~SaveLoop()
    {
        process.closeWriteChannel();
        if (!process.waitForFinished(10000))
            process.kill();
    }
    // Waits until the helper has printed a line that starts with `start`.
    QByteArray waitFor(const QByteArray &start)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            for (const QByteArray &line : output.split('\n'))
                if (line.startsWith(start) && output.contains(line + '\n'))
                    return line;
            if (timer.elapsed() > 60000 || process.state() == QProcess::NotRunning)
                return {};
            process.waitForReadyRead(100);
            output += process.readAllStandardOutput();
        }
    }
    // Starts a saver that writes version `first` first; its process id.
    pid_t startSaver(int first)
    {
        output.clear();
        process.write("save " + QByteArray::number(first) + '\n');
        const QByteArray line = waitFor("saver ");
        return line.isEmpty() ? 0 : pid_t(line.mid(6).toLong());
    }
    bool killSaver(pid_t pid) { return ::kill(pid, SIGKILL) == 0 && !waitFor("ended").isEmpty(); }
    // Saves begun and saves finished in this round, by the saver's own account.
    std::pair<int, int> saves() const
    {
        int begun = 0;
        int finished = 0;
        for (const QByteArray &line : output.split('\n')) {
            if (line.startsWith("saving "))
                begun = line.mid(7).toInt();
            else if (line.startsWith("saved "))
                finished = line.mid(6).toInt();
        }
        return {begun, finished};
    }
};

QStringList entries()
{
    return QDir(QStringLiteral(".")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

void TestCrashSafe::initTestCase()
{
    // Encoded in one piece: line by line takes long under the sanitizers.
    for (int v = 0; v < 2; ++v)
        m_version[v] = cp1250(crashDatabase(v).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QVERIFY(m_version[0].size() != m_version[1].size());
}

void TestCrashSafe::killedSavesLeaveOldOrNew_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("killAt"); // KillAt; Nowhere: at random moments
    QTest::addColumn<QString>("then"); // a "start" or a "read" after the kill
    QTest::newRow("replaced by a sibling") << false << int(KillAt::Nowhere) << u""_s;
    QTest::newRow("written in place") << true << int(KillAt::Nowhere) << u"read"_s;
    QTest::newRow("in place, killed mid-write, then a start") << true << int(KillAt::Write) << u"start"_s;
    QTest::newRow("in place, killed mid-write, then a read") << true << int(KillAt::Write) << u"read"_s;
    QTest::newRow("in place, killed once the new bytes were on the disk, then a read")
        << true << int(KillAt::CopyRemoval) << u"read"_s;
}

namespace {
const QString kPutBack = u"Uložení souboru vozy.txt bylo přerušeno; soubor je zpět ve stavu před ním."_s;

QStringList cacheEntries(const QString &copies)
{
    return QDir(copies + u"/trakvid"_s).entryList(QDir::Files | QDir::Hidden);
}
} // namespace

// A database of 20,000 lines saved in place by a clerk in a child process,
// killed where the row says; then a start or a read finishes or undoes it.
void TestCrashSafe::killedAtAPlace(KillAt killAt, const QString &then, const QString &copies)
{
    // Mid-write, the longer content goes over the shorter; once written, the
    // shorter over the longer, so that the old file's tail must be cut off.
    const int from = killAt == KillAt::Write ? 0 : 1;
    const QByteArray old = crlfLines(crashDatabase(from, 20000));
    const QStringList lines = crashDatabase(1 - from, 20000);
    writeFile(storage::VOZY, old);
    QCOMPARE(::chown(QFile::encodeName(storage::VOZY).constData(), 4242, 4242), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        ::setenv("XDG_CACHE_HOME", QFile::encodeName(copies).constData(), 1);
        const gid_t groups[] = {4242};
        if (::setgroups(1, groups) != 0 || ::setgid(4242) != 0 || ::setuid(4242) != 0)
            _exit(2);
        g_copies = QFile::encodeName(copies);
        g_killAt = killAt;
        _exit(storage::save(storage::VOZY, lines).ok ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, "the save was not killed where the row says");
    const QByteArray cut = readFile(storage::VOZY);
    QCOMPARE(cacheEntries(copies).size(), killAt == KillAt::Write ? 1 : 2); // the copy, and its note

    const QByteArray expected = killAt == KillAt::Write ? old : crlfLines(lines);
    QCOMPARE(cut == expected, killAt == KillAt::CopyRemoval);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(copies));
    const auto restoreCache = qScopeGuard([] { qunsetenv("XDG_CACHE_HOME"); });
    if (then == u"start") {
        ScriptedBoxes boxes;
        Windows windows;
        TForm_uvod splash(windows.form1.get());
        splash.Timer1->stop();
        while (splash.krok < 10)
            splash.Timer1Timer();
        QCOMPARE(boxes.messages(), QStringList{kPutBack});
        QCOMPARE(boxes.errors(), QStringList{});
    } else {
        QCOMPARE(storage::load(storage::VOZY).lines, killAt == KillAt::Write ? crashDatabase(from, 20000) : lines);
        QCOMPARE(storage::recoverInterruptedSave(storage::VOZY), QString());
    }
    QCOMPARE(readFile(storage::VOZY), expected);
    QCOMPARE(cacheEntries(copies), QStringList{});
}

void TestCrashSafe::killedSavesLeaveOldOrNew()
{
    QFETCH(bool, inPlace);
    QFETCH(int, killAt);
    QFETCH(QString, then);
    WorkDir dir;
    QVERIFY(dir.ok());
    writeFile(storage::VOZY, m_version[0]);
    constexpr uid_t kClerk = 4242;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString copies = dir.path() + QStringLiteral("-cache");
    if (inPlace) {
        if (::geteuid() != 0)
            QSKIP("a clerk without privileges needs root to become one");
        QVERIFY(QDir().mkpath(copies));
        QCOMPARE(::chown(QFile::encodeName(copies).constData(), kClerk, kClerk), 0);
        QCOMPARE(::chown(QFile::encodeName(storage::VOZY).constData(), kClerk, kClerk), 0);
        QCOMPARE(::chmod(".", 0755), 0);
        environment.insert(QStringLiteral("TRAKVID_SAVER_UID"), QString::number(kClerk));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), copies);
    }
    const auto cleanCopies = qScopeGuard([&] { QDir(copies).removeRecursively(); });
    if (KillAt(killAt) != KillAt::Nowhere) {
        killedAtAPlace(KillAt(killAt), then, copies);
        return;
    }
    int onDisk = 0;

    // TRAKVID_KILL_SEED repeats a run.
    const quint32 seed = qEnvironmentVariableIsSet("TRAKVID_KILL_SEED")
                             ? quint32(qEnvironmentVariableIntValue("TRAKVID_KILL_SEED"))
                             : QRandomGenerator::global()->generate();
    qInfo("kill seed %u", seed);
    QRandomGenerator random(seed);

    int midSave = 0;  // kills that came while a save was writing
    int replaced = 0; // kills after which the file held the other version
    int afterSave = 0; // kills that came after at least one finished save
    int fromCopy = 0; // kills that cut a file written in place short
    qint64 saveMs = 0;
    SaveLoop loop;
    QVERIFY2(loop.start(environment), "the helper did not start");
    for (int kill = 0; kill < kKills; ++kill) {
        const int first = 1 - onDisk; // every save really changes the file
        const pid_t pid = loop.startSaver(first);
        QVERIFY2(pid > 0, "no saver started");
        if (kill == 0) {
            // The first round measures a save; the later ones are killed
            // at a random moment of the first save or a little after it.
            QElapsedTimer timer;
            timer.start();
            QVERIFY2(!loop.waitFor("saved 2").isEmpty(), "the saver did not save");
            saveMs = qMax<qint64>(1, timer.elapsed() / 2);
            qInfo("a save takes about %lld ms", saveMs);
        } else if (kill % kLateEvery == 0) {
            QVERIFY2(!loop.waitFor("saved 1").isEmpty(), "the saver did not save");
            QThread::msleep(random.bounded(quint32(saveMs) + 1));
        } else {
            QThread::msleep(random.bounded(quint32(saveMs * 6 / 5) + 1));
        }
        QVERIFY2(loop.killSaver(pid), "the saver was not killed");

        const auto [begun, finished] = loop.saves();
        const auto versionOf = [&](int save) { return save == 0 ? onDisk : (first + save - 1) % 2; };
        const QByteArray bytes = readFile(storage::VOZY);
        const int old = versionOf(finished);
        bool isOld = bytes == m_version[old];
        const bool isNew = begun > finished && bytes == m_version[versionOf(begun)];
        if (inPlace) {
            // The next read finishes the save or puts the content before it
            // back; only the second is told.
            qputenv("XDG_CACHE_HOME", QFile::encodeName(copies));
            const QString told = storage::recoverInterruptedSave(storage::VOZY);
            qunsetenv("XDG_CACHE_HOME");
            const QByteArray after = readFile(storage::VOZY);
            if (told.isEmpty()) {
                // Whole before, and left so.
                QVERIFY(after == bytes);
            } else {
                // Cut off, or new bytes not yet known to be all there.
                QCOMPARE(told, kPutBack);
                QVERIFY2(after == m_version[old], "the content before the save was not put back");
                fromCopy += !isOld && !isNew;
                isOld = true;
            }
            QCOMPARE(cacheEntries(copies), QStringList{});
        }
        QVERIFY2(isOld || isNew,
                 qPrintable(QStringLiteral("kill %1 (seed %2): after %3 saves begun and %4 finished the file "
                                           "has %5 bytes, neither the old nor the new content")
                                .arg(kill)
                                .arg(seed)
                                .arg(begun)
                                .arg(finished)
                                .arg(bytes.size())));
        // A killed save leaves no half-written file beside the database.
        QCOMPARE(entries(), QStringList{storage::VOZY});
        if (begun > finished)
            ++midSave;
        if (finished > 0)
            ++afterSave;
        const int now = isOld ? old : versionOf(begun);
        if (now != onDisk)
            ++replaced;
        onDisk = now;
    }
    qInfo("%d of %d kills came in the middle of a save; the file was replaced %d times, put back from the "
          "cache copy %d times",
          midSave, kKills, replaced, fromCopy);
    // The kills must really have met saves at work, and saves that finished.
    QVERIFY(midSave >= kKills / 2);
    // Each late kill (every kLateEvery-th after the first) waits for a
    // finished save; whether a second one also finished, putting the file's
    // version back, is up to the machine's pace.
    QVERIFY(afterSave >= (kKills - 1) / kLateEvery);
    QVERIFY(replaced > 0);
}

TRAKVID_TEST_MAIN(TestCrashSafe)
#include "tst_crashsafe.moc"
