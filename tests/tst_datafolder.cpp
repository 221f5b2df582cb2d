// The program started as `trakvid [FOLDER]`, as a process: where the seven
// files land, and what an unusable folder gets.
#include "storage.h"
#include "testutil.h"

#include <QDirIterator>
#include <QProcess>

class TestDataFolder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sevenFilesInTheFolderOnly_data();
    void sevenFilesInTheFolderOnly();
    void unusableFolder_data();
    void unusableFolder();

private:
    // The program in `cwd` with a home folder of its own, offscreen.
    void start(QProcess &process, const QStringList &arguments);
    // Every file under the test's folder, relative to it.
    QStringList allFiles() const;
    QTemporaryDir *m_root = nullptr;
    QString m_cwd, m_home;
};

void TestDataFolder::init()
{
    m_root = new QTemporaryDir;
    QVERIFY(m_root->isValid());
    m_cwd = m_root->filePath(QStringLiteral("cwd"));
    m_home = m_root->filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(m_cwd) && QDir().mkpath(m_home));
}

void TestDataFolder::cleanup() { delete m_root; }

void TestDataFolder::start(QProcess &process, const QStringList &arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_cwd);
    process.start(QStringLiteral(TRAKVID_PATH), arguments);
    QVERIFY(process.waitForStarted());
}

QStringList TestDataFolder::allFiles() const
{
    QStringList files;
    QDirIterator it(m_root->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(m_root->path()).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The argument (relative to the working directory "cwd"), a file already in
// the folder, and the folder where the seven files must appear.
void TestDataFolder::sevenFilesInTheFolderOnly_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("folder");
    QTest::newRow("missing folder, created") << QStringList{"../Trakvid"} << QString() << "Trakvid";
    QTest::newRow("existing folder, its file kept") << QStringList{"../sdilena"} << "sdilena/vozy.txt" << "sdilena";
    QTest::newRow("name with blanks and accents") << QStringList{"Vozy depa Plzeň"} << QString() << "cwd/Vozy depa Plzeň";
    QTest::newRow("no argument: the working directory") << QStringList{} << QString() << "cwd";
}

void TestDataFolder::sevenFilesInTheFolderOnly()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, existing);
    QFETCH(QString, folder);
    const QByteArray kept = crlfLines({QStringLiteral("Databáze vozy"), QStringLiteral("21802345123-8 dkv Plzeň domovska Cheb")});
    if (!existing.isEmpty()) {
        QVERIFY(QDir(m_root->path()).mkpath(QFileInfo(existing).path()));
        writeFile(m_root->filePath(existing), kept);
    }
    QStringList expected;
    for (const QString &name : {storage::LOKOMOTIVY, storage::VOZY, storage::REZIM, storage::VLASTNIK,
                                storage::TRIDA_VOZU, storage::CHARAKTERISTIKA, storage::NASTAVENI})
        expected << folder + QLatin1Char('/') + name;
    expected.sort();

    QProcess trakvid;
    start(trakvid, arguments);
    // The splash creates the files one by one; settings last.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_root->filePath(folder + QStringLiteral("/nastaveni.txt"))), 30000);
    QTest::qWait(200);
    trakvid.kill();
    trakvid.waitForFinished();
    // Fontconfig may keep a cache in the home folder; nothing else is written.
    QStringList files = allFiles().filter(QRegularExpression(QStringLiteral("^(?!home/\\.cache/)")));
    QCOMPARE(files, expected);
    if (!existing.isEmpty())
        QCOMPARE(readFile(m_root->filePath(existing)), kept);
}

// The argument, and what the message on stderr must say.
void TestDataFolder::unusableFolder_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("a file") << QStringList{"soubor"} << "trakvid: „soubor“ není složka, do které lze ukládat data.";
    QTest::newRow("inside a file") << QStringList{"soubor/data"}
                                   << "trakvid: Do složky s daty „soubor/data“ nelze vstoupit: část cesty není složka.";
    QTest::newRow("parent missing") << QStringList{"chybi/data"}
                                    << "trakvid: Složku s daty „chybi/data“ nelze vytvořit: nadřazená složka neexistuje.";
    QTest::newRow("link to nowhere") << QStringList{"odkaz"}
                                     << "trakvid: Složku s daty „odkaz“ nelze vytvořit: je to odkaz na neexistující místo.";
    QTest::newRow("name too long") << QStringList{QString(300, QLatin1Char('x'))}
                                   << "nelze vstoupit: název je příliš dlouhý.";
    QTest::newRow("empty name") << QStringList{""} << "trakvid: Složka s daty nebyla zadána (prázdný název).";
    QTest::newRow("two folders") << QStringList{"a", "b"}
                                 << "trakvid: Zadejte nejvýše jednu složku s daty (použití: trakvid [SLOŽKA]).";
}

void TestDataFolder::unusableFolder()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    writeFile(m_cwd + QStringLiteral("/soubor"), "x");
    QVERIFY(QFile::link(QStringLiteral("nikam"), m_cwd + QStringLiteral("/odkaz")));
    const QStringList before = allFiles();

    QProcess trakvid;
    start(trakvid, arguments);
    QVERIFY(trakvid.waitForFinished(30000));
    QCOMPARE(trakvid.exitStatus(), QProcess::NormalExit);
    QCOMPARE(trakvid.exitCode(), 1);
    const QString stderrText = QString::fromUtf8(trakvid.readAllStandardError());
    QVERIFY2(stderrText.contains(message + QLatin1Char('\n')), qPrintable(stderrText));
    QCOMPARE(allFiles(), before);
    QCOMPARE(QDir(m_cwd).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             (QStringList{"odkaz", "soubor"}));
}

TRAKVID_TEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
