// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Hostile files in the working directory: empty files, NUL bytes, a 10 MB
// line, CR-only line ends, a directory at a file's name, 100,000 identical
// lines. Every command that reads them must finish, say clearly when a read
// or a write fails, and leave every file as it was unless the user saved.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "databasemodel.h"
#include "storage.h"
#include "outputpane.h"
#include "outputview.h"
#include "testutil.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using boxes::Kind;

namespace {

const QStringList kFiles = {storage::LOKOMOTIVY, storage::VOZY,           storage::REZIM,    storage::VLASTNIK,
                            storage::TRIDA_VOZU, storage::CHARAKTERISTIKA, storage::NASTAVENI};

enum class Hostile { Empty, Nul, LongLine, CrOnly, Directory, Identical };

const char *name(Hostile h)
{
    switch (h) {
    case Hostile::Empty: return "0 bytes";
    case Hostile::Nul: return "NUL bytes";
    case Hostile::LongLine: return "10 MB line";
    case Hostile::CrOnly: return "CR-only line ends";
    case Hostile::Directory: return "directory";
    case Hostile::Identical: return "100,000 identical lines";
    }
    return "";
}

const Hostile kAll[] = {Hostile::Empty, Hostile::Nul,       Hostile::LongLine,
                        Hostile::CrOnly, Hostile::Directory, Hostile::Identical};

// A line each reader of the file takes for its own: a vehicle of the report's
// wagon 51 54 2345 123 or locomotive 754 001, or a code it looks up.
QByteArray typicalLine(const QString &file)
{
    if (file == storage::LOKOMOTIVY)
        return cp1250(u"754001-6 dkv Česká Třebová pj Praha"_s);
    if (file == storage::VOZY)
        return cp1250(u"51542345123-3 dkv Plzeň domovska Cheb"_s);
    if (file == storage::REZIM)
        return cp1250(u"51 vnitrostátní provoz"_s);
    if (file == storage::VLASTNIK)
        return cp1250(u"54 České dráhy"_s);
    if (file == storage::TRIDA_VOZU)
        return cp1250(u"23 plošinový vůz"_s);
    if (file == storage::CHARAKTERISTIKA)
        return cp1250(u"45 čtyřnápravový"_s);
    return "te true";
}

constexpr int kIdentical = 100000;
constexpr qsizetype kLong = 10 * 1024 * 1024;

// The hostile content for `file`, and how many lines a load finds in it.
QByteArray hostileBytes(Hostile h, const QString &file, int *lineCount)
{
    const QByteArray line = typicalLine(file);
    QByteArray bytes;
    int lines = 0;
    switch (h) {
    case Hostile::Empty:
    case Hostile::Directory:
        break;
    case Hostile::Nul:
        // NUL after the line's own start, inside it, and lines of NUL alone.
        bytes = line + QByteArray(1, '\0') + "\r\n" + QByteArray(3, '\0') + line + "\r\n"
              + QByteArray(1000, '\0');
        lines = 3;
        break;
    case Hostile::LongLine:
        bytes = line + ' ' + QByteArray(kLong, '\xF8'); // ř, no line end
        lines = 1;
        break;
    case Hostile::CrOnly:
        for (int i = 0; i < 50; ++i)
            bytes += line + '\r';
        lines = 1; // only LF ends a line: one line with CRs inside
        break;
    case Hostile::Identical:
        bytes.reserve((line.size() + 2) * kIdentical);
        for (int i = 0; i < kIdentical; ++i)
            bytes += line + "\r\n";
        lines = kIdentical;
        break;
    }
    if (lineCount)
        *lineCount = lines;
    return bytes;
}

// Good content for every file: each header and one typical line.
void writeGoodFiles()
{
    for (const QString &file : kFiles) {
        if (file == storage::NASTAVENI)
            writeLines(file, storage::defaultSettings());
        else
            writeFile(file, cp1250(storage::header(file)) + "\r\n" + typicalLine(file) + "\r\n");
    }
}

void putHostile(Hostile h, const QString &file)
{
    QFile::remove(file);
    if (h == Hostile::Directory) {
        QVERIFY(QDir().mkdir(file));
        writeFile(file + u"/uvnitr.txt"_s, "obsah\r\n"); // must survive too
        return;
    }
    writeFile(file, hostileBytes(h, file, nullptr));
}

// Every entry of the working directory with its bytes (directories by their entries).
QMap<QString, QByteArray> snapshot()
{
    QMap<QString, QByteArray> result;
    const QStringList names = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : names) {
        if (QFileInfo(name).isDir())
            result[name] = "<dir> " + QDir(name).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u' ').toUtf8()
                         + ' ' + readFile(name + u"/uvnitr.txt"_s);
        else
            result[name] = readFile(name);
    }
    return result;
}

// Same entries and bytes; on a difference names the entry instead of
// printing megabytes.
bool sameFiles(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after, QString *what)
{
    if (before.keys() != after.keys()) {
        *what = u"entries: "_s + before.keys().join(u' ') + u" / "_s + after.keys().join(u' ');
        return false;
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (after.value(it.key()) != it.value()) {
            *what = it.key() + u" changed"_s;
            return false;
        }
    }
    return true;
}

#define VERIFY_UNCHANGED(before)                                                                                    \
    do {                                                                                                           \
        QString what;                                                                                              \
        QVERIFY2(sameFiles(before, snapshot(), &what), qPrintable(what));                                          \
    } while (false)

// The main window painted whole, as the user would see it.
void paint(TForm1 *f)
{
    QVERIFY(!f->grab().isNull());
}

// The splash as program entry makes it, its timer driven by the test.
struct Startup {
    Windows windows;
    std::unique_ptr<TForm_uvod> splash;
    Startup() : splash(std::make_unique<TForm_uvod>(windows.form1.get()))
    {
        splash->Timer1->stop();
        splash->show();
    }
    void run()
    {
        while (splash->krok < 10) {
            splash->Timer1Timer();
            if (splash->isVisible())
                QVERIFY(!splash->grab().isNull());
        }
    }
};

void enterWagon(TForm1 *f)
{
    QTest::keyClicks(child<QLineEdit>(f, "edt_rezim"), u"51"_s);
    QTest::keyClicks(child<QLineEdit>(f, "edt_vlastnik"), u"54"_s);
    QTest::keyClicks(child<QLineEdit>(f, "edt_charakteristika"), u"2345"_s);
    QTest::keyClicks(child<QLineEdit>(f, "edt_evidence"), u"123"_s);
    child<QPushButton>(f, "BitBtn_zadano")->click();
}

void enterLocomotive(TForm1 *f)
{
    child<QRadioButton>(f, "rbtn_lokomotivy")->click();
    QTest::keyClicks(child<QLineEdit>(f, "edt_rezim"), u"754"_s);
    QTest::keyClicks(child<QLineEdit>(f, "edt_vlastnik"), u"001"_s);
    child<QPushButton>(f, "BitBtn_zadano")->click();
}

QString memo(TForm1 *f) { return child<OutputPane>(f, "Memo1")->text(); }
// The pane painted with no line laid out longer than a piece of 10,000 characters.
bool laidOutInPieces(TForm1 *f)
{
    OutputView *view = child<OutputPane>(f, "Memo1")->view();
    view->grab();
    for (qsizetype i = 0; i < 20; ++i) // those painted
        if (view->layoutOf(i)->text().size() > 10000)
            return false;
    return view->lineCount() > 1000;
}

} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT
private slots:
    void startup_data();
    void startup();
    void showDatabase_data();
    void showDatabase();
    void saveOverDirectory_data();
    void saveOverDirectory();
    void report_data();
    void report();
    void settingToggle_data();
    void settingToggle();
    void listing_data();
    void listing();
    void referenceList_data();
    void referenceList();
    void addVehicle_data();
    void addVehicle();
};

// ---- start-up -------------------------------------------------------------------

void TestHostileFiles::startup_data()
{
    QTest::addColumn<int>("hostile");
    QTest::addColumn<QString>("file");
    for (Hostile h : kAll)
        for (const QString &file : kFiles)
            QTest::addRow("%s, %s", name(h), qPrintable(file)) << int(h) << file;
}

// The splash loads every file; a directory is reported and left alone, and
// nothing is created over or beside any hostile file.
void TestHostileFiles::startup()
{
    QFETCH(int, hostile);
    QFETCH(QString, file);
    const Hostile h = Hostile(hostile);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeGoodFiles();
    putHostile(h, file);
    const auto before = snapshot();

    Startup s;
    s.run();

    VERIFY_UNCHANGED(before);
    QCOMPARE(boxes.unexpected, 0);
    int lines = 0;
    hostileBytes(h, file, &lines);
    const bool settingsShort = file == storage::NASTAVENI && lines < 2;
    if (h == Hostile::Directory) {
        QCOMPARE(boxes.errors().size(), 1);
        QVERIFY2(boxes.errors().first().contains(file), qPrintable(boxes.errors().first()));
    } else if (settingsShort) {
        // A settings file without its two lines says which is missing.
        QCOMPARE(boxes.errors().size(), 1);
        QVERIFY2(boxes.errors().first().contains(storage::NASTAVENI), qPrintable(boxes.errors().first()));
    } else {
        QCOMPARE(boxes.shown.size(), 0);
    }
    QVERIFY(!s.splash->isVisible());
    QVERIFY(s.windows.form1->isVisible());
}

// ---- showing a database ---------------------------------------------------------

// Every hostile file as either database.
static void hostileDatabaseRows()
{
    QTest::addColumn<int>("hostile");
    QTest::addColumn<bool>("loko");
    for (Hostile h : kAll)
        for (bool loko : {true, false})
            QTest::addRow("%s, %s", name(h), loko ? "lokomotivy" : "vozy") << int(h) << loko;
}

void TestHostileFiles::showDatabase_data()
{
    hostileDatabaseRows();
}

// Shown line for line, painted, and written back only when the user saves.
void TestHostileFiles::showDatabase()
{
    QFETCH(int, hostile);
    QFETCH(bool, loko);
    const Hostile h = Hostile(hostile);
    const QString file = loko ? storage::LOKOMOTIVY : storage::VOZY;
    WorkDir dir;
    ScriptedBoxes boxes;
    writeGoodFiles();
    putHostile(h, file);
    int lines = 0;
    hostileBytes(h, file, &lines);
    const auto before = snapshot();

    Windows w;
    TForm1 *f = w.form1.get();
    child<QAction>(f, loko ? "Lokomotivy1" : "Vozy1")->trigger();
    paint(f);
    auto *list = child<QListView>(f, "lbx_databaze");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End); // scrolls to and selects the last line
    paint(f);
    VERIFY_UNCHANGED(before);

    if (h == Hostile::Directory) {
        // It exists and cannot be read: no "neexistuje", nothing shown that a save could write over it.
        QCOMPARE(boxes.messages(), QStringList{});
        QCOMPARE(boxes.errors().size(), 1);
        QVERIFY2(boxes.errors().first().contains(file), qPrintable(boxes.errors().first()));
        QCOMPARE(child<QLabel>(f, "lbl_databaze")->text(), u"Databáze"_s);
        QCOMPARE(f->databaze()->count(), 0);
        boxes.clear();
        child<QAction>(f, "Uloitdatabzi1")->trigger();
        QCOMPARE(boxes.shown.size(), 0);
        VERIFY_UNCHANGED(before);
        return;
    }
    QCOMPARE(child<QLabel>(f, "lbl_databaze")->text(), loko ? u"Databáze lokomotivy"_s : u"Databáze vozy"_s);
    QCOMPARE(f->panel(2), u"0"_s);
    QCOMPARE(boxes.shown.size(), 0);
    QCOMPARE(f->databaze()->count(), lines);
    QCOMPARE(f->panel(0), u"Počet řádků "_s + QString::number(lines));
    if (h == Hostile::LongLine) {
        // Shown cut, so that a repaint does not lay out 10 MB; kept whole.
        QCOMPARE(f->databaze()->line(0).size(), qsizetype(typicalLine(file).size() + 1 + kLong));
        const QString shown = list->model()->data(list->model()->index(0, 0)).toString();
        QVERIFY(shown.size() <= 1001);
        QVERIFY(f->databaze()->line(0).startsWith(shown.chopped(1)));
        QVERIFY(shown.endsWith(QChar(0x2026)));
    }

    // The user saves: the file then holds the lines just as they were shown.
    const QStringList shown = f->databaze()->texts();
    boxes.yes();
    child<QAction>(f, "Uloitdatabzi1")->trigger();
    QCOMPARE(boxes.errors(), QStringList());
    QCOMPARE(storage::load(file).lines, shown);
    QByteArray expected;
    for (const QString &line : shown)
        expected += cp1250(line) + "\r\n";
    QVERIFY(readFile(file) == expected);
}

// ---- a write that fails ---------------------------------------------------------

void TestHostileFiles::saveOverDirectory_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Uložit databázi") << u"save"_s;
    QTest::newRow("closing") << u"close"_s;
    QTest::newRow("showing the other database") << u"switch"_s;
}

// The database turned into a directory while shown: every save says so, keeps
// the list and its change count, and writes nothing.
void TestHostileFiles::saveOverDirectory()
{
    QFETCH(QString, how);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeGoodFiles();
    Windows w;
    TForm1 *f = w.form1.get();
    child<QAction>(f, "Lokomotivy1")->trigger();
    f->selectRow(1);
    boxes.yes();
    child<QPushButton>(f, "btn_smaz")->click();
    const QStringList lines = f->databaze()->texts();
    QCOMPARE(f->panel(2), u"1"_s);
    putHostile(Hostile::Directory, storage::LOKOMOTIVY);
    const auto before = snapshot();
    boxes.clear();

    // The second Yes: overwrite what now stands at the file's name.
    if (how == u"save") {
        boxes.yes().yes();
        child<QAction>(f, "Uloitdatabzi1")->trigger();
    } else if (how == u"close") {
        boxes.yes().yes();
        QVERIFY(!f->close());
    } else {
        boxes.yes().yes();
        child<QAction>(f, "Vozy1")->trigger();
    }
    QCOMPARE(boxes.errors().size(), 1);
    QVERIFY2(boxes.errors().first().contains(storage::LOKOMOTIVY), qPrintable(boxes.errors().first()));
    QCOMPARE(boxes.messages(), QStringList()); // no "uložena"
    VERIFY_UNCHANGED(before);
    QCOMPARE(child<QLabel>(f, "lbl_databaze")->text(), u"Databáze lokomotivy"_s);
    QCOMPARE(f->databaze()->texts(), lines);
    QCOMPARE(f->panel(2), u"1"_s);
}

// ---- the identification report ------------------------------------------------------

void TestHostileFiles::report_data()
{
    QTest::addColumn<int>("hostile");
    QTest::addColumn<QString>("file");
    const QStringList read = {storage::LOKOMOTIVY, storage::VOZY, storage::REZIM, storage::VLASTNIK,
                              storage::TRIDA_VOZU, storage::CHARAKTERISTIKA};
    for (Hostile h : kAll)
        for (const QString &file : read)
            QTest::addRow("%s, %s", name(h), qPrintable(file)) << int(h) << file;
}

// The report lists the lines that begin with the entered number or code,
// however many and however long; a directory is reported as one.
void TestHostileFiles::report()
{
    QFETCH(int, hostile);
    QFETCH(QString, file);
    const Hostile h = Hostile(hostile);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeGoodFiles();
    putHostile(h, file);
    const auto before = snapshot();

    Windows w;
    TForm1 *f = w.form1.get();
    const bool loko = file == storage::LOKOMOTIVY;
    if (loko)
        enterLocomotive(f);
    else
        enterWagon(f);
    paint(f);
    VERIFY_UNCHANGED(before);
    QCOMPARE(boxes.shown.size(), 0);
    QCOMPARE(child<QLabel>(f, "lbl_kontrolka")->text(), loko ? u"6"_s : u"3"_s);

    const QString text = memo(f);
    static const QMap<QString, QString> missing = {
        {storage::LOKOMOTIVY, u"databáze lokomotiv neexistuje"_s},
        {storage::VOZY, u"databáze vozů neexistuje"_s},
        {storage::REZIM, u"databáze režimu neexistuje"_s},
        {storage::VLASTNIK, u"databáze vlastníků neexistuje"_s},
        {storage::TRIDA_VOZU, u"databáze páté a šesté číslice čísla vozu neexistuje"_s},
        {storage::CHARAKTERISTIKA, u"databáze sedmé a osmé číslice čísla vozu neexistuje"_s}};
    if (h == Hostile::Directory) {
        // It is there: not "neexistuje", but what it is.
        QVERIFY2(text.endsWith(u"Soubor "_s + file + u" je složka."_s), qPrintable(text.right(200)));
        return;
    }
    QVERIFY(!text.contains(missing[file]));
    // Lines that begin with the typical line are the hostile file's matches.
    const QString typical = fromCp1250(typicalLine(file));
    int expected = 0;
    switch (h) {
    case Hostile::Nul: expected = 1; break;       // the line NUL bytes start is no match
    case Hostile::LongLine: expected = 1; break;
    case Hostile::CrOnly: expected = 50; break;   // one line, shown broken at its CRs
    case Hostile::Identical: expected = kIdentical; break;
    default: break;
    }
    QCOMPARE(int(text.count(typical)), expected);
    if (h == Hostile::LongLine) {
        QVERIFY(text.size() > kLong);
        // Laid out in pieces: the toolkit takes minutes over a line of 10 MB
        // laid out whole. The next ordinary report is shown as usual.
        QVERIFY(laidOutInPieces(f));
        writeGoodFiles();
        child<QPushButton>(f, "BitBtn_zadano")->click();
        QVERIFY(!memo(f).isEmpty());
    }
}

// ---- a setting toggled ------------------------------------------------------------

void TestHostileFiles::settingToggle_data()
{
    QTest::addColumn<int>("hostile");
    for (Hostile h : kAll)
        QTest::addRow("%s", name(h)) << int(h);
}

// A toggle rewrites its own line and keeps the others; a settings file it
// cannot read or that lacks the line is reported and stays as it was.
void TestHostileFiles::settingToggle()
{
    QFETCH(int, hostile);
    const Hostile h = Hostile(hostile);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeGoodFiles();
    putHostile(h, storage::NASTAVENI);
    const auto before = snapshot();

    Windows w;
    TForm1 *f = w.form1.get();
    child<QAction>(f, "udrzba")->trigger(); // the second line
    const QStringList oldLines = storage::load(storage::NASTAVENI).lines;
    if (h == Hostile::Directory || oldLines.size() < 2) {
        QCOMPARE(boxes.errors().size(), 1);
        QVERIFY2(boxes.errors().first().contains(storage::NASTAVENI), qPrintable(boxes.errors().first()));
        VERIFY_UNCHANGED(before);
        QVERIFY(!child<QAction>(f, "udrzba")->isChecked());
        return;
    }
    QCOMPARE(boxes.shown.size(), 0);
    QVERIFY(child<QAction>(f, "udrzba")->isChecked());
    QStringList expected = oldLines;
    expected[1] = u"ud true"_s;
    QCOMPARE(storage::load(storage::NASTAVENI).lines, expected);
}

// ---- listings ---------------------------------------------------------------------

void TestHostileFiles::listing_data()
{
    QTest::addColumn<int>("hostile");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("marker"); // the rule looks after each marker
    const struct {
        const char *action;
        const char *value;
        bool marker;
    } listings[] = {{"Podleady1", "754", false},          {"PodleDKV2", "Česká", false},
                    {"Podleprovoznjednotky1", "Praha", true}, {"PodleCharakteristiky1", "2345", false},
                    {"PodleDKV1", "Plzeň", false},         {"PodleDomovskstanice1", "Cheb", true}};
    for (Hostile h : kAll)
        for (const auto &l : listings)
            QTest::addRow("%s, %s", name(h), l.action)
                << int(h) << QString::fromLatin1(l.action) << QString::fromUtf8(l.value) << l.marker;
}

// A listing lists every matching line, however many and however long, and
// writes nothing; a directory is reported as one, in the pane.
void TestHostileFiles::listing()
{
    QFETCH(int, hostile);
    QFETCH(QString, action);
    QFETCH(QString, value);
    QFETCH(bool, marker);
    const Hostile h = Hostile(hostile);
    const bool loko = action == u"Podleady1" || action == u"PodleDKV2" || action == u"Podleprovoznjednotky1";
    const QString file = loko ? storage::LOKOMOTIVY : storage::VOZY;
    WorkDir dir;
    ScriptedBoxes boxes;
    writeGoodFiles();
    putHostile(h, file);
    const auto before = snapshot();

    Windows w;
    TForm1 *f = w.form1.get();
    boxes.type(value);
    child<QAction>(f, qPrintable(action))->trigger();
    paint(f);
    VERIFY_UNCHANGED(before);
    QCOMPARE(boxes.shown.size(), 1); // the input box alone
    QVERIFY(!child<QPushButton>(f, "btn_uloz")->isEnabled());
    const QString text = memo(f);
    if (h == Hostile::Directory) {
        QCOMPARE(text, u"Soubor "_s + file + u" je složka."_s);
        return;
    }
    const QString typical = fromCp1250(typicalLine(file));
    int expected = 0;
    switch (h) {
    case Hostile::Nul: expected = marker ? 2 : 1; break; // NUL bytes before a line shift its fields, not its markers
    case Hostile::LongLine: expected = 1; break;
    case Hostile::CrOnly: expected = marker ? 50 * 50 : 50; break; // one line with 50 markers, listed 50 times
    case Hostile::Identical: expected = kIdentical; break;
    default: break;
    }
    QCOMPARE(int(text.count(typical)), expected);
    if (expected == 0)
        QVERIFY2(text.endsWith(u" není v databázi, zkontroluj správnost zadání!!"_s), qPrintable(text));
    if (h == Hostile::LongLine) {
        QVERIFY(laidOutInPieces(f));
        child<QAction>(f, "n1")->trigger();
        QVERIFY(memo(f).startsWith(u"1. "_s));
    }
}

// ---- reference lists ------------------------------------------------------------------

void TestHostileFiles::referenceList_data()
{
    QTest::addColumn<int>("hostile");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    const struct {
        const char *action;
        QString file;
    } lists[] = {{"Reimvozu2", storage::REZIM},
                 {"Vlastnkvozu1", storage::VLASTNIK},
                 {"Charakteristika561", storage::TRIDA_VOZU},
                 {"Charakteristika781", storage::CHARAKTERISTIKA}};
    for (Hostile h : kAll)
        for (const auto &l : lists)
            QTest::addRow("%s, %s", name(h), l.action) << int(h) << QString::fromLatin1(l.action) << l.file;
}

// A list is shown whole and written only by "Ulož", as it stands in the pane;
// a list that cannot be read is reported and leaves "Ulož" nothing to write.
void TestHostileFiles::referenceList()
{
    QFETCH(int, hostile);
    QFETCH(QString, action);
    QFETCH(QString, file);
    const Hostile h = Hostile(hostile);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeGoodFiles();
    putHostile(h, file);
    const QByteArray bytes = h == Hostile::Directory ? QByteArray() : readFile(file);
    const auto before = snapshot();

    Windows w;
    TForm1 *f = w.form1.get();
    child<QAction>(f, qPrintable(action))->trigger();
    paint(f);
    VERIFY_UNCHANGED(before);
    auto *uloz = child<QPushButton>(f, "btn_uloz");
    if (h == Hostile::Directory) {
        QCOMPARE(boxes.errors(), QStringList{u"Soubor "_s + file + u" je složka."_s});
        uloz->click();
        VERIFY_UNCHANGED(before);
        return;
    }
    QCOMPARE(boxes.shown.size(), 0);
    QVERIFY(uloz->isEnabled());
    // The pane shows a CR as a line break, as the editor splits lines.
    QCOMPARE(memo(f), QString(storage::loadText(file).text).replace(u'\r', u'\n'));
    uloz->click();
    QCOMPARE(boxes.messages().size(), 1);
    QVERIFY2(boxes.messages().first().endsWith(u" uložen"_s), qPrintable(boxes.messages().first()));
    // Unedited, the list is written back as it was read.
    QVERIFY(readFile(file) == bytes);
}

// ---- the add window ---------------------------------------------------------------------

void TestHostileFiles::addVehicle_data()
{
    hostileDatabaseRows();
}

// A vehicle added to a hostile database goes into the list in its place, the
// file staying as it was until the user saves; a directory starts the list
// afresh and then refuses the save.
void TestHostileFiles::addVehicle()
{
    QFETCH(int, hostile);
    QFETCH(bool, loko);
    const Hostile h = Hostile(hostile);
    const QString file = loko ? storage::LOKOMOTIVY : storage::VOZY;
    WorkDir dir;
    ScriptedBoxes boxes;
    writeGoodFiles();
    putHostile(h, file);
    int lines = 0;
    hostileBytes(h, file, &lines);
    const auto before = snapshot();

    Windows w;
    TForm1 *f = w.form1.get();
    // The typical vehicle itself: met again in every file that holds it.
    if (loko)
        enterLocomotive(f);
    else
        enterWagon(f);
    child<QAction>(f, "uloitvozidlo1")->trigger();
    QVERIFY(w.form_databaze->isVisible());
    QVERIFY(QTest::qWaitFor([&w] { return w.form_databaze->isActiveWindow(); }, 3000));
    child<QComboBox>(w.form_databaze, "cmb_dkv")->setEditText(u"Praha"_s);
    child<QComboBox>(w.form_databaze, "cmb_domovka")->setEditText(u"Brno"_s);
    const bool present = h == Hostile::Nul || h == Hostile::LongLine || h == Hostile::CrOnly
                         || h == Hostile::Identical;
    if (present)
        boxes.yes(); // overwrite the first line of the same vehicle
    child<QPushButton>(w.form_databaze, "bitbtn_pridat")->click();
    paint(f);
    VERIFY_UNCHANGED(before);
    QCOMPARE(boxes.unexpected, 0);
    QCOMPARE(boxes.pending(), 0);
    const QString line = loko ? u"754001-6 dkv Praha pj Brno"_s : u"51542345123-3 dkv Praha domovska Brno"_s;
    const QStringList list = f->databaze()->texts();
    if (h == Hostile::Directory) {
        // It exists and cannot be read: nothing is added, nothing offered for saving.
        QCOMPARE(boxes.errors().size(), 1);
        QVERIFY2(boxes.errors().first().contains(file), qPrintable(boxes.errors().first()));
        QCOMPARE(list, QStringList{});
        QCOMPARE(f->panel(2), u"Editace"_s);
        QVERIFY(f->close());
        VERIFY_UNCHANGED(before);
        return;
    }
    QCOMPARE(f->panel(2), u"1"_s);
    QCOMPARE(list.size(), present ? lines : lines + 1);
    QCOMPARE(list.count(line), 1);
    boxes.clear();
    boxes.yes();
    child<QAction>(f, "Uloitdatabzi1")->trigger();
    QCOMPARE(boxes.errors(), QStringList());
    QCOMPARE(storage::load(file).lines, list);
}

TRAKVID_TEST_MAIN(TestHostileFiles)
#include "tst_hostile_files.moc"
