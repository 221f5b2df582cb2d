// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Start-up: the splash window loading or creating the seven files one tick at
// a time, applying the two settings and handing over to the main window.
#include "Unit1.h"
#include "Unit3.h"
#include "testutil.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>

namespace {

const QStringList kFiles = {"lokomotivy.txt", "vozy.txt",          "rezim.txt",    "vlastnik.txt",
                            "trida_vozu.txt", "charakteristika.txt", "nastaveni.txt"};

// The main window as program entry makes it, with the splash above it. The
// timer is stopped so that the test drives the ticks itself.
struct Startup {
    Windows windows;
    std::unique_ptr<TForm_uvod> splash;

    explicit Startup(bool manualTicks = true)
        : splash(std::make_unique<TForm_uvod>(windows.form1.get()))
    {
        if (manualTicks)
            splash->Timer1->stop();
        splash->show();
        if (!QTest::qWaitForWindowExposed(splash.get()))
            qWarning("splash window not exposed");
    }
    TForm1 *form1() const { return windows.form1.get(); }
    void tick() { splash->Timer1Timer(); }
    void run() { while (splash->krok < 10) tick(); }
    QString stav() const { return child<QLabel>(splash.get(), "lbl_stav")->text(); }
    int progress() const { return child<QProgressBar>(splash.get(), "ProgressBar1")->value(); }
    bool technika() const { return child<QAction>(form1(), "technika")->isChecked(); }
    bool udrzba() const { return child<QAction>(form1(), "udrzba")->isChecked(); }
};

QByteArray headerBytes(int index)
{
    // Spelled out as bytes: á = E1, ž = 9E, ů = F9, í = ED in Windows-1250.
    static const QByteArray bytes[7] = {
        "Datab\xe1ze lokomotivy\r\n",        "Datab\xe1ze vozy\r\n",
        "list re\x9eim\xf9\r\n",             "list vlastn\xedk\xf9 vozu\r\n",
        "list charakteristiky 5-6\r\n",      "list charakteristiky 7-8\r\n",
        "te false\r\nud false\r\n"};
    return bytes[index];
}

} // namespace

using namespace Qt::StringLiterals;

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void splashWindow();
    void firstStartInEmptyDirectory();
    void secondStartCountsHeaders();
    void countsEveryLine_data();
    void countsEveryLine();
    void emptyFileIsNotRecreated_data();
    void emptyFileIsNotRecreated();
    void settingsFile_data();
    void settingsFile();
    void unreadableFileSurvives_data();
    void unreadableFileSurvives();
    void creationFails();
    void closeActivatesMainWindow();
    void timerRunsStartupAndWaitsForBoxes();
};

void TestStartup::splashWindow()
{
    WorkDir dir;
    ScriptedBoxes boxes;
    Startup s;
    TForm_uvod *splash = s.splash.get();

    QVERIFY(splash->isWindow());
    QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!splash->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(!splash->testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(splash->size(), QSize(899, 224));

    const QPixmap banner = child<QLabel>(splash, "Image_uvod")->pixmap();
    QCOMPARE(banner.size(), QSize(900, 156));
    auto *title = child<QLabel>(splash, "Label_uvod");
    QCOMPARE(title->text(), QStringLiteral("Trakvid"));
    title->ensurePolished();
    QCOMPARE(title->font().pixelSize(), 32);
    QVERIFY(title->font().bold());
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x00));

    QCOMPARE(s.stav(), QStringLiteral("Načítám soubory..."));
    auto *bar = child<QProgressBar>(splash, "ProgressBar1");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);
    auto *list = child<QListWidget>(splash, "ListBox1");
    QVERIFY(!list->isVisible());
    QCOMPARE(list->count(), 0);
    QCOMPARE(splash->Timer1->interval(), 500);
    QCOMPARE(splash->krok, 0);

    // The timer runs from the moment the window is created.
    TForm_uvod fresh(s.form1());
    QVERIFY(fresh.Timer1->isActive());
    QVERIFY(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

void TestStartup::firstStartInEmptyDirectory()
{
    WorkDir dir;
    ScriptedBoxes boxes;
    Startup s;

    const QStringList expected = {
        "Načítám soubory...lokomotivy.txt vytvořen...",   "Načítám soubory...vozy.txt vytvořen...",
        "Načítám soubory...rezim.txt vytvořen...",        "Načítám soubory...vlastnik.txt vytvořen...",
        "Načítám soubory...trida_vozu.txt vytvořen...",   "Načítám soubory...charakteristika.txt vytvořen...",
        "Základní nastavení...",                          "Základní nastavení...",
        "Základní nastavení...",                          "Základní nastavení..."};
    for (int k = 1; k <= 10; ++k) {
        s.tick();
        QCOMPARE(s.splash->krok, k);
        QCOMPARE(s.progress(), k * 10);
        QCOMPARE(s.stav(), expected[k - 1]);
        // Each file appears on its own tick, not before.
        for (int f = 0; f < 7; ++f)
            QCOMPARE(QFileInfo::exists(kFiles[f]), f < k);
        QCOMPARE(s.splash->isVisible(), k < 10);
    }
    for (int f = 0; f < 7; ++f)
        QCOMPARE(readFile(kFiles[f]), headerBytes(f));
    QCOMPARE(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 7);
    QVERIFY(!s.technika());
    QVERIFY(!s.udrzba());
    QVERIFY(boxes.shown.isEmpty());
}

void TestStartup::secondStartCountsHeaders()
{
    WorkDir dir;
    ScriptedBoxes boxes;
    {
        Startup first;
        first.run();
    }
    QByteArrayList before;
    for (const QString &f : kFiles)
        before << readFile(f);

    Startup second;
    const QStringList expected = {"lokomotivy.txt...1 položek",  "vozy.txt...1 položek",
                                  "rezim.txt...1 položek",       "vlastnik.txt...1 položek",
                                  "trida_vozu.txt...1 položek",  "charakteristika.txt...1 položek",
                                  "nastaveni.txt...osobní nastavení", "nastaveni.txt...osobní nastavení",
                                  "nastaveni.txt...osobní nastavení", "nastaveni.txt...osobní nastavení"};
    for (int k = 1; k <= 10; ++k) {
        second.tick();
        QCOMPARE(second.stav(), expected[k - 1]);
    }
    for (int f = 0; f < 7; ++f)
        QCOMPARE(readFile(kFiles[f]), before[f]);
    QVERIFY(boxes.shown.isEmpty());
}

void TestStartup::countsEveryLine_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("label");

    QStringList database = {"Databáze lokomotivy", "=== Plzeň ==="};
    for (int i = 1; i <= 25; ++i)
        database << QStringLiteral("754%1-0 dkv Plzeň pj Klatovy").arg(i, 3, 10, QLatin1Char('0'));
    database << "=== Česká Třebová ===";
    QTest::newRow("header, 25 vehicles, 2 bookmarks") << 0 << crlfLines(database)
                                                       << "lokomotivy.txt...28 položek";
    QByteArray noLastEnd = crlfLines(database);
    noLastEnd.chop(2);
    QTest::newRow("last line without its end") << 0 << noLastEnd << "lokomotivy.txt...28 položek";
    QTest::newRow("empty lines count") << 1 << QByteArray("Datab\xe1ze vozy\r\n\r\n\r\n21802345123-8\r\n")
                                       << "vozy.txt...4 položek";
    QTest::newRow("one empty line") << 2 << QByteArray("\r\n") << "rezim.txt...1 položek";
    QTest::newRow("LF line ends") << 5 << QByteArray("a\nb\nc\n") << "charakteristika.txt...3 položek";
    QTest::newRow("CR ends the file") << 1 << QByteArray("a\r\nb\r") << "vozy.txt...2 položek";
    // Lines that end beyond the pieces the count reads, in Czech.
    QTest::newRow("100,000 lines") << 1 << crlfLines(QStringList(100000, u"21802345123-8 dkv Ústí nad Labem domovska Děčín"_s))
                                   << "vozy.txt...100000 položek";
}

void TestStartup::countsEveryLine()
{
    QFETCH(int, index);
    QFETCH(QByteArray, content);
    QFETCH(QString, label);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeFile(kFiles[index], content);

    Startup s;
    for (int k = 0; k <= index; ++k)
        s.tick();
    QCOMPARE(s.stav(), label);
    // Counted, not kept: no item per line.
    QCOMPARE(child<QListWidget>(s.splash.get(), "ListBox1")->count(), 0);
    s.run();
    QCOMPARE(readFile(kFiles[index]), content);
    QVERIFY(boxes.shown.isEmpty());
}

void TestStartup::emptyFileIsNotRecreated_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < 6; ++i)
        QTest::newRow(qPrintable(kFiles[i])) << i;
}

void TestStartup::emptyFileIsNotRecreated()
{
    QFETCH(int, index);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeFile(kFiles[index], QByteArray());

    Startup s;
    for (int k = 0; k <= index; ++k)
        s.tick();
    QCOMPARE(s.stav(), kFiles[index] + "...0 položek");
    s.run();
    QVERIFY(QFileInfo(kFiles[index]).isFile());
    QCOMPARE(readFile(kFiles[index]).size(), 0);
    for (int f = 0; f < 7; ++f)
        if (f != index)
            QCOMPARE(readFile(kFiles[f]), headerBytes(f));
    QVERIFY(boxes.shown.isEmpty());
}

void TestStartup::settingsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("checkedBefore"); // both items checked before the settings are applied
    QTest::addColumn<bool>("technika");
    QTest::addColumn<bool>("udrzba");
    QTest::addColumn<QString>("error");

    QTest::newRow("te true, ud false") << QByteArray("te true\r\nud false\r\n") << false << true << false << "";
    QTest::newRow("te false, ud true") << QByteArray("te false\r\nud true\r\n") << false << false << true << "";
    QTest::newRow("both true, third line") << QByteArray("te true\r\nud true\r\nco\r\n") << false << true << true << "";
    QTest::newRow("both false unchecks") << QByteArray("te false\r\nud false\r\n") << true << false << false << "";
    QTest::newRow("te true with further characters")
        << QByteArray("te trueXYZ\r\nud true \r\n") << false << true << true << "";
    QTest::newRow("capitals are off") << QByteArray("TE TRUE\r\nUD TRUE\r\n") << true << false << false << "";
    QTest::newRow("position decides, not prefix")
        << QByteArray("ud true\r\nte false\r\n") << false << true << false << "";
    QTest::newRow("te tru is off") << QByteArray("te tru\r\nud\r\n") << true << false << false << "";
    QTest::newRow("LF and no last line end") << QByteArray("te true\nud true") << false << true << true << "";
    QTest::newRow("one line") << QByteArray("te true\r\n") << false << true << false
                              << "V souboru nastaveni.txt chybí řádek 2 s nastavením Údržba.";
    QTest::newRow("empty file") << QByteArray() << false << false << false
                                << "V souboru nastaveni.txt chybí řádek 1 s nastavením Technické parametry.";
}

void TestStartup::settingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, checkedBefore);
    QFETCH(bool, technika);
    QFETCH(bool, udrzba);
    QFETCH(QString, error);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeFile("nastaveni.txt", content);

    Startup s;
    for (int k = 1; k <= 7; ++k)
        s.tick();
    QCOMPARE(s.stav(), QStringLiteral("nastaveni.txt...osobní nastavení"));
    child<QAction>(s.form1(), "technika")->setChecked(checkedBefore);
    child<QAction>(s.form1(), "udrzba")->setChecked(checkedBefore);
    s.tick();
    QVERIFY(boxes.shown.isEmpty());
    s.tick();
    QCOMPARE(s.technika(), technika);
    QCOMPARE(s.udrzba(), udrzba);
    QCOMPARE(boxes.errors(), error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(s.stav(), QStringLiteral("nastaveni.txt...osobní nastavení"));
    s.tick();
    QVERIFY(s.splash->isHidden());
    QCOMPARE(readFile("nastaveni.txt"), content);
    QCOMPARE(boxes.shown.size(), error.isEmpty() ? 0 : 1);
}

void TestStartup::unreadableFileSurvives_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < 7; ++i)
        QTest::newRow(qPrintable(kFiles[i])) << i;
}

void TestStartup::unreadableFileSurvives()
{
    QFETCH(int, index);
    WorkDir dir;
    ScriptedBoxes boxes;
    // A directory at the file's name cannot be read, even by root.
    QVERIFY(QDir().mkdir(kFiles[index]));
    const QString inner = kFiles[index] + "/data.txt";
    writeLines(inner, {"21802345123-8 dkv Plzeň domovska Cheb"});
    const QByteArray innerBytes = readFile(inner);

    Startup s;
    QString before;
    for (int k = 1; k <= 10; ++k) {
        before = s.stav();
        s.tick();
        if (k == index + 1) {
            QCOMPARE(s.stav(), before);
            QCOMPARE(boxes.errors(),
                     QStringList{QStringLiteral("Soubor %1 je složka. Soubor zůstal beze změny.").arg(kFiles[index])});
        }
    }
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(s.splash->isHidden());
    QVERIFY(QFileInfo(kFiles[index]).isDir());
    QCOMPARE(QDir(kFiles[index]).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"data.txt"});
    QCOMPARE(readFile(inner), innerBytes);
    for (int f = 0; f < 7; ++f)
        if (f != index)
            QCOMPARE(readFile(kFiles[f]), headerBytes(f));
    QVERIFY(!s.technika());
    QVERIFY(!s.udrzba());
}

void TestStartup::creationFails()
{
    if (!FileSizeLimit::available())
        QSKIP("no limit on the size of written files on this system");
    WorkDir dir;
    ScriptedBoxes boxes;
    Startup s;
    {
        FileSizeLimit noRoom(0);
        for (int k = 1; k <= 10; ++k) {
            s.tick();
            QCOMPARE(s.stav(), QStringLiteral("Načítám soubory..."));
            QCOMPARE(s.progress(), k * 10);
            if (k <= 7) {
                QCOMPARE(boxes.errors().size(), k);
                QVERIFY2(boxes.errors().last().startsWith("Soubor " + kFiles[k - 1] + " nelze zapsat"),
                         qPrintable(boxes.errors().last()));
            }
        }
    }
    QCOMPARE(boxes.shown.size(), 7);
    QVERIFY(s.splash->isHidden());
    // Nothing half-written stays behind.
    QVERIFY(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    QVERIFY(!s.technika());
    QVERIFY(!s.udrzba());
}

void TestStartup::closeActivatesMainWindow()
{
    WorkDir dir;
    ScriptedBoxes boxes;
    Startup s;
    QPointer<TForm_uvod> splash = s.splash.get();
    for (int k = 1; k <= 9; ++k)
        s.tick();
    QVERIFY(splash->isVisible());
    // Something the main window's activation handling rewrites.
    s.form1()->setPanel(0, QStringLiteral("-"));
    s.tick();

    QVERIFY(splash);
    QVERIFY(splash->isHidden());
    QVERIFY(!splash->Timer1->isActive());
    QTRY_VERIFY(s.form1()->isActiveWindow());
    QTRY_COMPARE(s.form1()->panel(0), QStringLiteral("Počet řádků 0"));
    QCOMPARE(s.stav(), QStringLiteral("Základní nastavení..."));
    QCOMPARE(s.progress(), 100);

    // A late tick only closes the closed window again.
    s.tick();
    QCOMPARE(splash->krok, 11);
    QCOMPARE(s.progress(), 100);
    QVERIFY(splash->isHidden());
    QVERIFY(s.form1()->isVisible());
    QVERIFY(boxes.shown.isEmpty());
}

namespace {
// An error box that stays open a while, as a user reading it would keep it.
class SlowReader : public boxes::Responder
{
public:
    TForm_uvod *splash = nullptr;
    QList<int> krokWhenShown, krokWhenClosed;
    boxes::Response respond(const boxes::Request &) override
    {
        krokWhenShown << splash->krok;
        QTest::qWait(1600);
        krokWhenClosed << splash->krok;
        return {boxes::Answer::Yes, {}};
    }
};
} // namespace

void TestStartup::timerRunsStartupAndWaitsForBoxes()
{
    WorkDir dir;
    QVERIFY(QDir().mkdir("vozy.txt"));
    SlowReader reader;
    boxes::setResponder(&reader);
    {
        Startup s(false);
        reader.splash = s.splash.get();
        QVERIFY(s.splash->Timer1->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(s.splash->isHidden(), 15000);
        QCOMPARE(s.splash->krok, 10);
        QVERIFY(!s.splash->Timer1->isActive());
        QCOMPARE(s.progress(), 100);
        QCOMPARE(readFile("nastaveni.txt"), headerBytes(6));
    }
    boxes::setResponder(nullptr);
    // No tick ran while the box was open.
    QCOMPARE(reader.krokWhenShown, QList<int>{2});
    QCOMPARE(reader.krokWhenClosed, QList<int>{2});
    QVERIFY(QFileInfo("vozy.txt").isDir());
}

TRAKVID_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
