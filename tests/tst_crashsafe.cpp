// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Saves killed at random moments: after every kill the database file holds,
// byte for byte, either the content before the interrupted save or the
// content it was writing, and nothing is left beside it. A file written in
// place (a folder that takes no new file) may be cut short by the kill: then
// the cache copy holds, byte for byte, the content before the save.
#include "crash/crashdatabase.h"
#include "testutil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QThread>

#include <csignal>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

class TestCrashSafe : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void killedSavesLeaveOldOrNew_data();
    void killedSavesLeaveOldOrNew();

private:
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
    QTest::newRow("replaced by a sibling") << false;
    QTest::newRow("written in place") << true;
}

void TestCrashSafe::killedSavesLeaveOldOrNew()
{
    QFETCH(bool, inPlace);
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
            const QDir cache(copies + QStringLiteral("/trakvid"));
            const QStringList left = cache.entryList(QDir::Files);
            if (!isOld && !isNew) {
                // Cut short in place: the copy holds the old content, and the
                // clerk puts it back as the README says.
                QCOMPARE(left.size(), 1);
                const QByteArray copy = readFile(cache.filePath(left[0]));
                QVERIFY2(copy == m_version[old], "the cache copy is not the content before the save");
                writeFile(storage::VOZY, copy);
                isOld = true;
                ++fromCopy;
            }
            for (const QString &name : left)
                QFile::remove(cache.filePath(name));
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
