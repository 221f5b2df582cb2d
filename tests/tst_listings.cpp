// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "Unit1.h"
#include "databasemodel.h"
#include "listings.h"
#include "outputpane.h"
#include "outputview.h"
#include "storage.h"
#include "testutil.h"

#include <QAccessible>
#include <QClipboard>
#include <QMouseEvent>
#include <QAction>
#include <QLabel>
#include <QTextBlock>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

using namespace Qt::StringLiterals;

// The listings of lokomotivy.txt and vozy.txt into the output pane, driven
// through the real menu items and the drop-down of the tool bar.
class TestListings : public QObject
{
    Q_OBJECT
private slots:
    void listing_data();
    void listing();
    void inputBoxes_data();
    void inputBoxes();
    void openFailureCannotBeSaved_data();
    void openFailureCannotBeSaved();
    void readFailureGoesToErrorBox();
    void readsTheFileNotTheShownList();
    void lineEndsOfTheFile();
    void rules_data();
    void rules();
    void bigListingInPane_data();
    void bigListingInPane();
    void bigListingReadAloud();
    void bigListingByMouse();
    void bigListingOutlivesItsText_data();
    void bigListingOutlivesItsText();
    void paneViewByShape_data();
    void paneViewByShape();
    void paneLineRule_data();
    void paneLineRule();
    void paneFind_data();
    void paneFind();
    void paneTellsItsLines_data();
    void paneTellsItsLines();
    void numberCheck_data();
    void numberCheck();
};

namespace {

const QStringList kLoko = {
    QStringLiteral("Databáze lokomotivy"),
    QStringLiteral("754001-6 dkv Praha pj Praha střed"),
    QStringLiteral("754002-4 dkv Česká Třebová pj Hradec Králové"),
    QStringLiteral("163001-1 dkv Pr pj Pr"),
    QStringLiteral("754 záložka Brno"),
    QStringLiteral("751001-8 dkv Brno pj Brno pj Brno"),
    QString(),
    QStringLiteral("240001-5 dkv Praha pj Brno"),
};

const QStringList kVozy = {
    QStringLiteral("Databáze vozy – depo Plzeň a Cheb"),
    QStringLiteral("21802345123-8 dkv Plzeň domovska Cheb"),
    QStringLiteral("21802345124-6 dkv Plzeň domovska Cheb domovska Cheb"),
    QStringLiteral("31541234001-2 dkv Praha-Libeň domovska Praha hl. n."),
    QStringLiteral("51542345002-1 dkv Pr domovska Pr"),
    QString(),
    QStringLiteral("záložka Ústí nad Labem"),
    QStringLiteral("2180"),
};

QString notFound(const QString &prefix, const QString &value)
{
    return prefix + value + QStringLiteral(" není v databázi, zkontroluj správnost zadání!!");
}

QString pick(const QStringList &lines, std::initializer_list<int> rows)
{
    QStringList picked;
    for (int row : rows)
        picked << lines.at(row);
    return picked.join(QLatin1Char('\n'));
}

const QString kSeriesHeading = QStringLiteral("Výpis z databáze hnacích vozidel řady ");
const QString kLokoDkvHeading = QStringLiteral("Databáze hnacích vozidel z DKV ");
const QString kPjHeading = QStringLiteral("Výpis z databáze hnacích vozidel z Provozní jednotky  ");
const QString kCharHeading = QStringLiteral("Výpis databáze vozů provozní charakteristiky ");
const QString kVozyDkvHeading = QStringLiteral("Databáze vozů z DKV ");
const QString kHomeHeading = QStringLiteral("Výpis z databáze vozů z domovské stanice  ");

} // namespace

// Every row starts on help page 2, so a refused value must leave that page's
// heading and text, while the arrows go off whatever happens.
void TestListings::listing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("memo");    // null: the help page stays
    QTest::addColumn<QString>("heading"); // null: the help page's heading stays
    QTest::addColumn<QString>("message"); // the one message box, or empty

    const QString series = QStringLiteral("Podleady1");
    QTest::newRow("series match, bookmark included") << series << false << "754" << pick(kLoko, {1, 2, 4})
                                                      << kSeriesHeading + "754" << QString();
    QTest::newRow("series miss") << series << false << "999" << notFound("Vozidlo řady ", "999")
                                 << kSeriesHeading + "999" << QString();
    QTest::newRow("series cancel") << series << true << "" << QString() << QString() << "nekorektní zadání řady !!";
    QTest::newRow("series 75") << series << false << "75" << QString() << QString()
                               << "řada lokomotivy musí být třímístná";
    QTest::newRow("series 1000") << series << false << "1000" << QString() << QString()
                                 << "řada lokomotivy musí být třímístná";
    QTest::newRow("series 7a4") << series << false << "7a4" << QString() << QString() << "nekorektní zadání řady !!";
    QTest::newRow("series ending in blank") << series << false << "754 " << QString() << QString()
                                            << "nekorektní zadání řady !!";
    QTest::newRow("series longer than three matches nothing")
        << series << false << "0754" << notFound("Vozidlo řady ", "0754") << kSeriesHeading + "0754" << QString();

    const QString lokoDkv = QStringLiteral("PodleDKV2");
    QTest::newRow("loco dkv match") << lokoDkv << false << "Česká Třebová" << pick(kLoko, {2})
                                    << kLokoDkvHeading + "Česká Třebová" << QString();
    QTest::newRow("loco dkv prefix Pr lists Praha") << lokoDkv << false << "Pr" << pick(kLoko, {1, 3, 7})
                                                    << kLokoDkvHeading + "Pr" << QString();
    QTest::newRow("loco dkv ending in blank") << lokoDkv << false << "Pr " << pick(kLoko, {3})
                                              << kLokoDkvHeading + "Pr " << QString();
    QTest::newRow("loco dkv header takes part") << lokoDkv << false << "moti" << pick(kLoko, {0})
                                                << kLokoDkvHeading + "moti" << QString();
    QTest::newRow("loco dkv miss, case counts") << lokoDkv << false << "praha" << notFound("Vozidlo DKV ", "praha")
                                                << kLokoDkvHeading + "praha" << QString();
    QTest::newRow("loco dkv cancel") << lokoDkv << true << "" << QString() << QString() << "Nezadali jste žádné dkv!!!";
    QTest::newRow("loco dkv empty") << lokoDkv << false << "" << QString() << QString() << "Nezadali jste žádné dkv!!!";

    const QString pj = QStringLiteral("Podleprovoznjednotky1");
    QTest::newRow("pj two occurrences listed twice") << pj << false << "Brno" << pick(kLoko, {5, 5, 7})
                                                     << kPjHeading + "Brno" << QString();
    QTest::newRow("pj prefix Pr") << pj << false << "Pr" << pick(kLoko, {1, 3}) << kPjHeading + "Pr" << QString();
    QTest::newRow("pj ending in blank") << pj << false << "Praha " << pick(kLoko, {1}) << kPjHeading + "Praha "
                                        << QString();
    QTest::newRow("pj miss") << pj << false << "Ostrava" << notFound("Vozidlo Provozní jednotky ", "Ostrava")
                             << kPjHeading + "Ostrava" << QString();
    QTest::newRow("pj cancel") << pj << true << "" << QString() << QString() << "Nezadali jste žádnou PJ!!!";

    const QString characteristic = QStringLiteral("PodleCharakteristiky1");
    QTest::newRow("characteristic match") << characteristic << false << "2345" << pick(kVozy, {1, 2, 4})
                                          << kCharHeading + "2345" << QString();
    QTest::newRow("characteristic miss") << characteristic << false << "9999"
                                         << notFound("Vůz provozní charakteristiky ", "9999") << kCharHeading + "9999"
                                         << QString();
    QTest::newRow("characteristic cancel") << characteristic << true << "" << QString() << QString()
                                           << "nekorektní zadání charakteristiky !!";
    QTest::newRow("characteristic 123") << characteristic << false << "123" << QString() << QString()
                                        << "charakteristika vozu musí být čtyřmístná";
    QTest::newRow("characteristic 12345") << characteristic << false << "12345" << QString() << QString()
                                          << "charakteristika vozu musí být čtyřmístná";
    QTest::newRow("characteristic ending in blank") << characteristic << false << "2345 " << QString() << QString()
                                                    << "nekorektní zadání charakteristiky !!";
    QTest::newRow("characteristic longer than four matches nothing")
        << characteristic << false << "02345" << notFound("Vůz provozní charakteristiky ", "02345")
        << kCharHeading + "02345" << QString();

    const QString vozyDkv = QStringLiteral("PodleDKV1");
    QTest::newRow("wagon dkv match") << vozyDkv << false << "Plzeň" << pick(kVozy, {1, 2})
                                     << kVozyDkvHeading + "Plzeň" << QString();
    QTest::newRow("wagon dkv prefix Pr") << vozyDkv << false << "Pr" << pick(kVozy, {3, 4})
                                         << kVozyDkvHeading + "Pr" << QString();
    QTest::newRow("wagon dkv ending in blank") << vozyDkv << false << "Pr " << pick(kVozy, {4})
                                               << kVozyDkvHeading + "Pr " << QString();
    QTest::newRow("wagon dkv header takes part") << vozyDkv << false << "po Plzeň" << pick(kVozy, {0})
                                                 << kVozyDkvHeading + "po Plzeň" << QString();
    QTest::newRow("wagon dkv miss") << vozyDkv << false << "plzeň" << notFound("Vůz DKV ", "plzeň")
                                    << kVozyDkvHeading + "plzeň" << QString();
    QTest::newRow("wagon dkv cancel") << vozyDkv << true << "" << QString() << QString()
                                      << "Nezadali jste žádné dkv!!!";

    const QString home = QStringLiteral("PodleDomovskstanice1");
    QTest::newRow("home station two occurrences listed twice")
        << home << false << "Cheb" << pick(kVozy, {1, 2, 2}) << kHomeHeading + "Cheb" << QString();
    QTest::newRow("home station prefix Pr") << home << false << "Pr" << pick(kVozy, {3, 4}) << kHomeHeading + "Pr"
                                            << QString();
    QTest::newRow("home station ending in blank") << home << false << "Praha " << pick(kVozy, {3})
                                                  << kHomeHeading + "Praha " << QString();
    QTest::newRow("home station miss") << home << false << "Brno" << notFound("Vůz z domovské stanice ", "Brno")
                                       << kHomeHeading + "Brno" << QString();
    QTest::newRow("home station cancel") << home << true << "" << QString() << QString()
                                         << "Nezadali jste žádnou Domovskou stanici!!!";

    // The number check asks nothing (no typed value); by the menu and by the drop-down.
    QTest::newRow("number check, wagons") << "Kontrolasel1" << false << QString()
        << "Řádků: 8, vozidel: 4, chyb: 1\nřádek 5: " + kVozy[4] + " – chybná kontrolní číslice, správná je 9"
        << "Kontrola čísel databáze vozů" << QString();
    QTest::newRow("number check, locomotives") << "pmenu_Kontrolasel2" << false << QString()
        << "Řádků: 8, vozidel: 5, chyb: 3\nřádek 4: " + kLoko[3] + " – mimo pořadí, menší než číslo na řádku 3"
               + "\nřádek 6: " + kLoko[5] + " – chybná kontrolní číslice, správná je 9\nřádek 8: " + kLoko[7]
               + " – chybná kontrolní číslice, správná je 8; mimo pořadí, menší než číslo na řádku 6"
        << "Kontrola čísel databáze lokomotiv" << QString();
}

void TestListings::listing()
{
    QFETCH(QString, action);
    QFETCH(bool, cancel);
    QFETCH(QString, typed);
    QFETCH(QString, memo);
    QFETCH(QString, heading);
    QFETCH(QString, message);

    WorkDir dir;
    writeLines(storage::LOKOMOTIVY, kLoko);
    writeLines(storage::VOZY, kVozy);
    const QByteArray lokoBytes = readFile(storage::LOKOMOTIVY);
    const QByteArray vozyBytes = readFile(storage::VOZY);
    Windows w;
    auto *pane = child<OutputPane>(w.form1.get(), "Memo1");
    auto *label = child<QLabel>(w.form1.get(), "lbl_databaze_memo");
    auto *next = child<QPushButton>(w.form1.get(), "bitbtn_napoveda_dale");
    auto *back = child<QPushButton>(w.form1.get(), "BitBtn_napoveda_zpet");
    auto *uloz = child<QPushButton>(w.form1.get(), "btn_uloz");

    child<QAction>(w.form1.get(), "n2")->trigger();
    const QString pageText = pane->text();
    const QString pageTitle = label->text();
    QVERIFY(next->isEnabled() && back->isEnabled());

    ScriptedBoxes boxes;
    if (cancel)
        boxes.cancel();
    else if (!typed.isNull())
        boxes.type(typed);
    child<QAction>(w.form1.get(), qPrintable(action))->trigger();

    QCOMPARE(boxes.unexpected, 0);
    QCOMPARE(boxes.pending(), 0);
    QCOMPARE(boxes.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(boxes.errors().isEmpty());
    QCOMPARE(pane->text(), memo.isNull() ? pageText : memo);
    QCOMPARE(label->text(), heading.isNull() ? pageTitle : heading);
    QVERIFY(!next->isEnabled());
    QVERIFY(!back->isEnabled());
    QVERIFY(!uloz->isEnabled());
    QCOMPARE(w.form1->strana_napovedy, 2);
    // A listing only reads.
    QCOMPARE(readFile(storage::LOKOMOTIVY), lokoBytes);
    QCOMPARE(readFile(storage::VOZY), vozyBytes);
}

// The menu items and the drop-down of tbtn_vypisy show the same box.
void TestListings::inputBoxes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("initial");
    const struct {
        const char *menu;
        const char *dropDown;
        const char *caption;
        const char *prompt;
        const char *initial;
    } rows[] = {
        {"Podleady1", "pmenu_ada1", "Databáze vyber lokomotivu řady", "Zadej řadu", "xxx"},
        {"PodleDKV2", "pmenu_DKV2", "Databáze vyber lokomotivu z DKV", "Zadej domovské DKV", ""},
        {"Podleprovoznjednotky1", "pmenu_PJ1", "Databáze vyber lokomotivu z PJ", "Zadej Provozní jednotku lokomotivy",
         ""},
        {"PodleCharakteristiky1", "pmenu_Charakteristika1", "Databáze vyber vůz podle charakteristiky",
         "Zadej čtyři čísla charakteristiky vozu", "xxxx"},
        {"PodleDKV1", "pmenu_DKV1", "Databáze vyber vůz z DKV", "Zadej domovské DKV", ""},
        {"PodleDomovskstanice1", "pmenu_Domovstanice1", "Databáze vyber vůz podle domovské stanice",
         "Zadej Domovskou stanici vozu", ""},
    };
    for (const auto &row : rows) {
        for (const char *action : {row.menu, row.dropDown}) {
            QTest::newRow(action) << QString::fromLatin1(action) << QString::fromUtf8(row.caption)
                                  << QString::fromUtf8(row.prompt) << QString::fromUtf8(row.initial);
        }
    }
}

void TestListings::inputBoxes()
{
    QFETCH(QString, action);
    QFETCH(QString, caption);
    QFETCH(QString, prompt);
    QFETCH(QString, initial);
    WorkDir dir;
    Windows w;
    auto *menu = child<QMenu>(w.form1.get(), "pmenu_vypisy");
    QAction *item = child<QAction>(w.form1.get(), qPrintable(action));
    if (action.startsWith(QLatin1String("pmenu_"))) {
        // The drop-down item really sits in the tool button's menu.
        bool found = false;
        for (QAction *sub : menu->actions())
            if (sub->menu() && sub->menu()->actions().contains(item))
                found = true;
        QVERIFY(found);
    }
    ScriptedBoxes boxes;
    boxes.cancel();
    item->trigger();
    QCOMPARE(boxes.shown.size(), 2); // the input box, then the message for the initial text
    QCOMPARE(boxes.shown[0].kind, boxes::Kind::Input);
    QCOMPARE(boxes.shown[0].caption, caption);
    QCOMPARE(boxes.shown[0].text, prompt);
    QCOMPARE(boxes.shown[0].initial, initial);
    QCOMPARE(boxes.shown[1].kind, boxes::Kind::Message);
}

// A listing whose file is missing replaces a shown reference list: the
// failure line must never be written over that list.
void TestListings::openFailureCannotBeSaved_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("heading");
    QTest::newRow("series") << "Podleady1" << "754" << storage::LOKOMOTIVY << "databáze lokomotiv neexistuje"
                            << kSeriesHeading + "754";
    QTest::newRow("loco dkv") << "PodleDKV2" << "Praha" << storage::LOKOMOTIVY << "databáze lokomotiv neexistuje"
                              << kLokoDkvHeading + "Praha";
    QTest::newRow("pj") << "Podleprovoznjednotky1" << "Brno" << storage::LOKOMOTIVY
                        << "databáze lokomotiv neexistuje" << kPjHeading + "Brno";
    QTest::newRow("characteristic") << "PodleCharakteristiky1" << "2345" << storage::VOZY << "databáze Vozů neexistuje"
                                    << kCharHeading + "2345";
    QTest::newRow("wagon dkv") << "PodleDKV1" << "Plzeň" << storage::VOZY << "databáze vozů neexistuje"
                               << kVozyDkvHeading + "Plzeň";
    QTest::newRow("home station") << "PodleDomovskstanice1" << "Cheb" << storage::VOZY << "databáze vozů neexistuje"
                                  << kHomeHeading + "Cheb";
    QTest::newRow("markup as a value") << "PodleDomovskstanice1" << "<b>Cheb" << storage::VOZY
                                       << "databáze vozů neexistuje" << kHomeHeading + "<b>Cheb";
    QTest::newRow("number check, wagons") << "Kontrolasel1" << QString() << storage::VOZY
                                          << "databáze vozů neexistuje" << "Kontrola čísel databáze vozů";
    QTest::newRow("number check, locomotives") << "Kontrolasel2" << QString() << storage::LOKOMOTIVY
                                               << "databáze lokomotiv neexistuje"
                                               << "Kontrola čísel databáze lokomotiv";
}

void TestListings::openFailureCannotBeSaved()
{
    QFETCH(QString, action);
    QFETCH(QString, typed);
    QFETCH(QString, missing);
    QFETCH(QString, failure);
    QFETCH(QString, heading);
    WorkDir dir;
    writeLines(storage::LOKOMOTIVY, kLoko);
    writeLines(storage::VOZY, kVozy);
    QVERIFY(QFile::remove(missing));
    writeLines(storage::REZIM, {QStringLiteral("list režimů"), QStringLiteral("21 RIV")});
    const QByteArray rezim = readFile(storage::REZIM);
    Windows w;
    auto *uloz = child<QPushButton>(w.form1.get(), "btn_uloz");
    child<QAction>(w.form1.get(), "Reimvozu2")->trigger();
    QVERIFY(uloz->isEnabled());

    ScriptedBoxes boxes;
    if (!typed.isNull())
        boxes.type(typed);
    child<QAction>(w.form1.get(), qPrintable(action))->trigger();
    QCOMPARE(boxes.pending(), 0);
    QCOMPARE(child<OutputPane>(w.form1.get(), "Memo1")->text(), failure);
    QVERIFY(boxes.messages().isEmpty());
    QVERIFY(!uloz->isEnabled());
    auto *label = child<QLabel>(w.form1.get(), "lbl_databaze_memo");
    QCOMPARE(label->text(), heading);
    // Shown as typed, never read as markup.
    QVERIFY(label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(heading));
    // Even run directly, the save finds no list heading and writes nothing.
    w.form1->btn_ulozClick();
    QCOMPARE(readFile(storage::REZIM), rezim);
    QVERIFY(boxes.messages().isEmpty());
    QVERIFY(!QFile::exists(missing));
}

// A database that opens but cannot be read to its end is no listing at all:
// the general error box says why, and no half listing stands in the pane.
void TestListings::readFailureGoesToErrorBox()
{
    WorkDir dir;
    // The process's own memory opens like a file, and its first read fails.
    if (!QFile::exists(QStringLiteral("/proc/self/mem"))
        || !QFile::link(QStringLiteral("/proc/self/mem"), storage::LOKOMOTIVY))
        QSKIP("no /proc/self/mem to stand in for an unreadable file");
    writeLines(storage::REZIM, {QStringLiteral("list režimů")});
    Windows w;
    auto *uloz = child<QPushButton>(w.form1.get(), "btn_uloz");
    child<QAction>(w.form1.get(), "Reimvozu2")->trigger();
    QVERIFY(uloz->isEnabled());
    ScriptedBoxes boxes;
    boxes.type(QStringLiteral("754"));
    child<QAction>(w.form1.get(), "Podleady1")->trigger();
    QVERIFY(boxes.messages().isEmpty());
    QCOMPARE(boxes.errors().size(), 1);
    QVERIFY2(boxes.errors().first().contains(storage::LOKOMOTIVY), qPrintable(boxes.errors().first()));
    QCOMPARE(child<OutputPane>(w.form1.get(), "Memo1")->text(), QString());
    QCOMPARE(child<QLabel>(w.form1.get(), "lbl_databaze_memo")->text(), kSeriesHeading + "754");
    QVERIFY(!uloz->isEnabled());
}

// Unsaved edits of the shown database are not listed: the listing reads the file.
void TestListings::readsTheFileNotTheShownList()
{
    WorkDir dir;
    writeLines(storage::LOKOMOTIVY, kLoko);
    Windows w;
    QCOMPARE(w.form1->loadDatabaseFrom(storage::LOKOMOTIVY), storage::LoadStatus::Ok);
    w.form1->databaze()->appendLine(QStringLiteral("754099-1 dkv Praha pj Praha"));
    ScriptedBoxes boxes;
    boxes.type(QStringLiteral("754"));
    child<QAction>(w.form1.get(), "Podleady1")->trigger();
    QCOMPARE(child<OutputPane>(w.form1.get(), "Memo1")->text(), pick(kLoko, {1, 2, 4}));
}

// Every reader accepts a last line without its end and bare LF line ends.
void TestListings::lineEndsOfTheFile()
{
    WorkDir dir;
    writeFile(storage::LOKOMOTIVY, cp1250(QStringLiteral("Databáze lokomotivy\r\n754001-6 dkv Ústí pj Děčín\n\n"
                                                          "163001-1 dkv Ústí pj Děčín\r\n754002-4 dkv Ústí pj Děčín")));
    Windows w;
    ScriptedBoxes boxes;
    boxes.type(QStringLiteral("754"));
    child<QAction>(w.form1.get(), "Podleady1")->trigger();
    QCOMPARE(child<OutputPane>(w.form1.get(), "Memo1")->text(),
             QStringLiteral("754001-6 dkv Ústí pj Děčín\n754002-4 dkv Ústí pj Děčín"));
}

// The plain rules, for cases the files above do not reach.
void TestListings::rules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("times");
    enum { Series, LokoDkv, Pj, Characteristic, VozyDkv, Home };
    QTest::newRow("series short line") << int(Series) << "75" << "754" << 0;
    QTest::newRow("series exact line") << int(Series) << "754" << "754" << 1;
    QTest::newRow("series signed value") << int(Series) << "-12 záložka" << "-12" << 1;
    QTest::newRow("loco dkv line ends inside value") << int(LokoDkv) << "754001-6 dkv Pra" << "Praha" << 0;
    QTest::newRow("loco dkv line ends with value") << int(LokoDkv) << "754001-6 dkv Praha" << "Praha" << 1;
    QTest::newRow("loco dkv empty depot") << int(LokoDkv) << "754001-6 dkv  pj " << " pj" << 1;
    QTest::newRow("pj overlapping markers") << int(Pj) << " pj pj x" << "x" << 1;
    QTest::newRow("pj value after both overlapping markers") << int(Pj) << "a pj pj pj b" << "pj " << 2;
    QTest::newRow("pj marker at line end") << int(Pj) << "754001-6 dkv A pj " << "A" << 0;
    QTest::newRow("pj needs blanks round the marker") << int(Pj) << "754001-6 dkv A pjBrno" << "Brno" << 0;
    QTest::newRow("pj three times") << int(Pj) << "x pj A pj A pj A" << "A" << 3;
    QTest::newRow("characteristic short line") << int(Characteristic) << "2180234" << "0234" << 0;
    QTest::newRow("characteristic") << int(Characteristic) << "21802345" << "2345" << 1;
    QTest::newRow("wagon dkv position 19") << int(VozyDkv) << "21802345123-8 dkv Plzeň domovska Cheb"
                                           << "Plzeň domovska" << 1;
    QTest::newRow("wagon dkv one place off") << int(VozyDkv) << "2180234512-8 dkv Plzeň" << "Plzeň" << 0;
    QTest::newRow("home station overlapping markers") << int(Home) << "x domovska domovska Y" << "Y" << 1;
    QTest::newRow("home station value spans marker") << int(Home) << "x domovska domovska Y" << "domovska Y" << 1;
    QTest::newRow("home station Czech letters") << int(Home) << "x domovska Ústí n. L." << "Ústí" << 1;
    QTest::newRow("home station accented marker is no marker") << int(Home) << "x domovská Cheb" << "Cheb" << 0;
    // Encoded once: a character the file cannot hold matches nothing.
    QTest::newRow("value Windows-1250 cannot hold") << int(Home) << "x domovska Cheb" << "ChΔb" << 0;
    QTest::newRow("value with a Czech byte above 0x7f") << int(VozyDkv) << "21802345123-8 dkv Žďár" << "Žď" << 1;
}

void TestListings::rules()
{
    QFETCH(int, rule);
    QFETCH(QString, line);
    QFETCH(QString, value);
    QFETCH(int, times);
    const listings::Rule rules[] = {listings::bySeries, listings::byLocomotiveDkv, listings::byOperatingUnit,
                                    listings::byCharacteristic, listings::byWagonDkv, listings::byHomeStation};
    const std::optional<QByteArray> encoded = listings::encodeValue(value);
    QCOMPARE(encoded.has_value(), storage::isEncodable(value));
    const QByteArray lineBytes = cp1250(line);
    QCOMPARE(encoded ? rules[rule](lineBytes, *encoded) : 0, times);
    listings::Selection selection;
    if (encoded) {
        selection.offer(lineBytes, *encoded, rules[rule]);
        selection.offer("nic", *encoded, rules[rule]);
    }
    QCOMPARE(selection.count, qsizetype(times));
    QCOMPARE(selection.text(), QStringList(times, line).join(QLatin1Char('\n')));
}

namespace {
// A wagon file whose listing by home station has 5,000 lines.
struct BigListing {
    WorkDir dir;
    Windows w;
    OutputPane *pane = child<OutputPane>(w.form1.get(), "Memo1");
    QStringList listed;
    BigListing()
    {
        QStringList lines{u"Databáze vozy"_s};
        for (int i = 0; i < 10000; ++i) {
            lines << u"2180%1-0 dkv Plzeň domovska %2"_s.arg(1000000 + i).arg(i % 2 ? u"Cheb"_s : u"Žďár"_s);
            if (i % 2 == 0)
                listed << lines.last();
        }
        writeLines(storage::VOZY, lines);
        ScriptedBoxes boxes;
        boxes.type(u"Žďár"_s);
        child<QAction>(w.form1.get(), "PodleDomovskstanice1")->trigger();
    }
    OutputView *view() const { return pane->view(); }
};
} // namespace

void TestListings::bigListingInPane_data()
{
    QTest::addColumn<QKeySequence>("keys"); // pressed in the pane, one after another
    QTest::addColumn<QString>("clipboard"); // "all", "last line" or nothing
    QTest::newRow("select all, copy") << QKeySequence(u"Ctrl+A, Ctrl+C"_s) << "all";
    QTest::newRow("last line") << QKeySequence(u"Ctrl+End, Shift+Home, Ctrl+C"_s) << "last line";
    QTest::newRow("a typed letter") << QKeySequence(u"Down, X"_s) << QString();
    QTest::newRow("Enter") << QKeySequence(u"Down, Return"_s) << QString();
    QTest::newRow("Backspace") << QKeySequence(u"Down, Backspace"_s) << QString();
    QTest::newRow("Ctrl+V") << QKeySequence(u"Down, Ctrl+V"_s) << QString();
}

// A big listing is shown read-only: select-all and copy give every line, and
// nothing typed changes it or computes.
void TestListings::bigListingInPane()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, clipboard);
    BigListing x;
    const QString all = x.listed.join(u'\n');
    QVERIFY(x.view()->isVisible() && !x.pane->isList());
    QCOMPARE(x.pane->text(), all);
    QGuiApplication::clipboard()->setText(u"schránka"_s);
    x.view()->setFocus();
    for (int i = 0; i < keys.count(); ++i)
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys[i]));
    const QString expected = clipboard == u"all"_s ? all : clipboard == u"last line"_s ? x.listed.last() : u"schránka"_s;
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(x.pane->text(), all);
    QCOMPARE(QApplication::focusWidget(), x.view());
    QCOMPARE(child<QLabel>(x.w.form1.get(), "lbl_kontrolka")->text(), u"X"_s);
    // Tab leaves the pane for the next control that takes the focus (Ulož
    // and the help arrows are off after a listing).
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"lbx_databaze"_s);
}

// Assistive technology reads the whole listing through the view.
void TestListings::bigListingReadAloud()
{
    BigListing x;
    const QString all = x.listed.join(u'\n');
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(x.view());
    QVERIFY(accessible && accessible->textInterface());
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QVERIFY(accessible->state().readOnly);
    // Named by the heading above it.
    QCOMPARE(accessible->text(QAccessible::Name), x.w.form1->findChild<QLabel *>(u"lbl_databaze_memo"_s)->text());
    QAccessibleTextInterface *text = accessible->textInterface();
    QCOMPARE(text->characterCount(), int(all.size()));
    QCOMPARE(text->text(0, text->characterCount()), all);
    const int line = 3000;
    const int offset = int(x.view()->lineStart(line)) + 5;
    int start = 0, end = 0;
    QCOMPARE(text->textAtOffset(offset, QAccessible::LineBoundary, &start, &end).trimmed(), x.listed[line]);
    QCOMPARE(start, int(x.view()->lineStart(line)));
    QCOMPARE(text->textAtOffset(offset + 14, QAccessible::WordBoundary, &start, &end), u"Plzeň"_s);
    QCOMPARE(text->textBeforeOffset(offset, QAccessible::ParagraphBoundary, &start, &end), x.listed[line - 1]);
    text->setSelection(0, int(x.view()->lineStart(line)), int(x.view()->lineStart(line)) + 4);
    QCOMPARE(x.view()->selectedText(), x.listed[line].left(4));
    QCOMPARE(text->offsetAtPoint(text->characterRect(offset).center()), offset);
}

// Selecting with the mouse as in the editor: a drag, a word, a line.
void TestListings::bigListingByMouse()
{
    BigListing x;
    QWidget *viewport = x.view()->viewport();
    const qsizetype second = x.view()->lineStart(1);
    const QPoint from = x.view()->cursorRect(second).center() + QPoint(1, 0);
    const QPoint to = x.view()->cursorRect(x.view()->lineStart(3) + 5).center();
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    QCOMPARE(x.view()->selectedText(), x.listed[1] + u'\n' + x.listed[2] + u'\n' + x.listed[3].left(5));

    const QPoint word = x.view()->cursorRect(second + x.listed[1].indexOf(u"Plzeň"_s) + 2).center();
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, word);
    QCOMPARE(x.view()->selectedText(), u"Plzeň"_s);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, word);
    QCOMPARE(x.view()->selectedText(), x.listed[1] + u'\n');
}

void TestListings::bigListingOutlivesItsText_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QString>("then"); // what replaces the view's text
    QTest::newRow("drag beyond the edge, a short text") << u"drag"_s << u"short"_s;
    QTest::newRow("drag beyond the edge, a list") << u"drag"_s << u"list"_s;
    QTest::newRow("held accessible object, a short text") << u"accessible"_s << u"short"_s;
    QTest::newRow("held accessible object, a list") << u"accessible"_s << u"list"_s;
}

// Nothing of the view outlives its text: a drag that scrolls by itself stops,
// and an accessible object a client still holds answers for the new text.
void TestListings::bigListingOutlivesItsText()
{
    QFETCH(QString, gesture);
    QFETCH(QString, then);
    BigListing x;
    OutputView *view = x.view();
    const QString all = x.listed.join(u'\n');
    QAccessibleInterface *held = QAccessible::queryAccessibleInterface(view);
    QAccessibleTextInterface *text = held->textInterface();
    const int line = int(view->lineStart(2));
    if (gesture == u"drag"_s) {
        QWidget *viewport = view->viewport();
        const QPoint from = view->cursorRect(line).center() + QPoint(1, 0);
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        const QPoint below(from.x(), viewport->height() + 80);
        QMouseEvent move(QEvent::MouseMove, below, viewport->mapToGlobal(below), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(view->anchor(), line);
        QVERIFY(view->cursorPosition() > line);
    } else {
        view->setSelection(line, line + 3);
    }
    if (then == u"list"_s)
        x.pane->showList(u"List režimů vozu"_s, u"krátký"_s);
    else
        x.pane->showOutput(u"Výpisy"_s, u"krátký"_s);
    QCOMPARE(x.pane->text(), u"krátký"_s);
    QTest::qWait(300); // the drag's scrolling would run now
    QCOMPARE(view->isVisible(), then != u"list"_s);
    QCOMPARE(text->characterCount(), then == u"list"_s ? 0 : 6);
    QCOMPARE(text->characterRect(50), QRect());
    int from = -1, to = -1;
    for (auto boundary : {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::LineBoundary}) {
        const bool none = then == u"list"_s || boundary == QAccessible::CharBoundary; // at the end: no character
        QCOMPARE(text->textAtOffset(50, boundary, &from, &to), none ? QString() : u"krátký"_s);
        QCOMPARE(text->textAfterOffset(50, boundary, &from, &to), QString());
    }
    QCOMPARE(text->offsetAtPoint(QPoint(-100, -100)), -1);
    // A second long text starts afresh at its top.
    x.pane->showOutput(u"Výpisy"_s, all);
    QVERIFY(view->isVisible());
    QCOMPARE(view->cursorPosition(), 0);
    QCOMPARE(view->verticalScrollBar()->value(), 0);
}

void TestListings::paneViewByShape_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("pieces"); // laid out in pieces of at most 10,000 characters
    QTest::newRow("999 lines") << 999 << 40 << 999;
    QTest::newRow("1,000 lines, one of 1,001 characters") << 1000 << 1001 << 1000;
    QTest::newRow("a line of 10,000 characters") << 3 << 10000 << 3;
    QTest::newRow("a line of 10,001 characters") << 3 << 10001 << 4;
    QTest::newRow("a line of a million characters") << 2 << 1000000 << 101;
    QTest::newRow("one line of 25,000 characters") << 1 << 25000 << 3;
}

// Any text is shown read-only, whatever its lines; a line too long to lay
// out whole is laid out in pieces. Either way the pane's text is the text
// given, and the next text replaces it.
void TestListings::paneViewByShape()
{
    QFETCH(int, lines);
    QFETCH(int, length);
    QFETCH(int, pieces);
    WorkDir dir;
    Windows w;
    auto *pane = child<OutputPane>(w.form1.get(), "Memo1");
    QStringList text(lines - 1, u"řádek"_s);
    text << QString(length, u'x');
    pane->showOutput(u"Výpisy"_s, text.join(u'\n'));
    QVERIFY(pane->view()->isVisible());
    QCOMPARE(pane->text(), text.join(u'\n'));
    QCOMPARE(pane->view()->lineCount(), qsizetype(pieces));
    qsizetype longest = 0;
    for (qsizetype i = 0; i < pane->view()->lineCount(); ++i)
        longest = std::max(longest, qsizetype(pane->view()->layoutOf(i)->text().size()));
    QCOMPARE(longest, std::min<qsizetype>(length, 10000));
    pane->grab(); // painted without laying out the long line whole
    pane->showOutput(u"Výpisy"_s, u"krátký"_s);
    QCOMPARE(pane->text(), u"krátký"_s);
}

void TestListings::paneLineRule_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QStringList>("lines"); // as shown, by the view and by the editor alike
    const QString ls(QChar::LineSeparator), ps(QChar::ParagraphSeparator);
    QTest::newRow("LF") << u"a\nb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR LF") << u"a\r\nb\r\n"_s << QStringList{u"a"_s, u"b"_s, QString()};
    QTest::newRow("lone CR") << u"a\rb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR CR LF") << u"a\r\r\nb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("LF CR") << u"a\n\rb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("paragraph separator") << u"a"_s + ps + u"b"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("line separator stays in its line") << u"a"_s + ls + u"b"_s << QStringList{u"a"_s + ls + u"b"_s};
    QTest::newRow("empty") << QString() << QStringList{QString()};
    QTest::newRow("only line ends") << u"\r\n\n\r"_s << QStringList{QString(), QString(), QString(), QString()};
}

// One line rule for whatever shows or reads the pane: the read-only view and
// the editor show the same lines, and the text read back has them ended by
// "\n", a line separator too.
void TestListings::paneLineRule()
{
    QFETCH(QString, given);
    QFETCH(QStringList, lines);
    WorkDir dir;
    Windows w;
    auto *pane = child<OutputPane>(w.form1.get(), "Memo1");
    const QString readBack = lines.join(u'\n').replace(QChar::LineSeparator, u'\n');
    pane->showOutput(u"Výpisy"_s, given);
    QStringList shown;
    for (qsizetype i = 0; i < pane->view()->lineCount(); ++i)
        shown << pane->view()->line(i).toString();
    QCOMPARE(shown, lines);
    QCOMPARE(pane->text(), readBack);
    pane->showList(u"List režimů vozu"_s, given);
    shown.clear();
    for (QTextBlock block = pane->editor()->document()->begin(); block.isValid(); block = block.next())
        shown << block.text();
    QCOMPARE(shown, lines);
    QCOMPARE(pane->text(), readBack);
    std::vector<qsizetype> starts;
    const QString ended = paneLines(given, &starts);
    QCOMPARE(qsizetype(starts.size()), lines.size());
    for (size_t i = 1; i < starts.size(); ++i)
        QCOMPARE(ended[starts[i] - 1], u'\n');
}

void TestListings::paneFind_data()
{
    QTest::addColumn<bool>("list");          // the editor of a list, or the read-only view
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QStringList>("keys");   // pressed in the find field
    QTest::addColumn<int>("line");           // of the match selected; -1: "Nenalezeno"
    for (const bool list : {false, true}) {
        const char *in = list ? "list" : "listing";
        QTest::addRow("%s: Enter", in) << list << u"Cheb"_s << QStringList{u"Return"_s} << 1;
        QTest::addRow("%s: Enter, F3", in) << list << u"Cheb"_s << QStringList{u"Return"_s, u"F3"_s} << 3;
        QTest::addRow("%s: wraps to the top", in) << list << u"Cheb"_s
                                                  << QStringList{u"Return"_s, u"F3"_s, u"Return"_s} << 1;
        QTest::addRow("%s: Shift+F3 from the top wraps to the end", in) << list << u"Cheb"_s
                                                                         << QStringList{u"Shift+F3"_s} << 3;
        QTest::addRow("%s: back and forth", in) << list << u"Cheb"_s
                                                << QStringList{u"F3"_s, u"F3"_s, u"Shift+F3"_s} << 1;
        QTest::addRow("%s: case counts", in) << list << u"cheb"_s << QStringList{u"Return"_s} << 4;
        QTest::addRow("%s: a blank counts", in) << list << u"Praha Cheb"_s << QStringList{u"Return"_s} << 3;
        QTest::addRow("%s: nothing", in) << list << u"Ostrava"_s << QStringList{u"Return"_s} << -1;
        QTest::addRow("%s: nothing, then F3", in) << list << u"Chebb"_s << QStringList{u"Return"_s, u"F3"_s} << -1;
    }
}

// "Hledat": Ctrl+F opens the bar under the pane, Enter and F3 select the
// next match, Shift+F3 the previous, exact and case-sensitive; "Nenalezeno"
// when there is none; Escape closes the bar and gives the pane the focus.
void TestListings::paneFind()
{
    QFETCH(bool, list);
    QFETCH(QString, needle);
    QFETCH(QStringList, keys);
    QFETCH(int, line);
    WorkDir dir;
    Windows w;
    auto *pane = child<OutputPane>(w.form1.get(), "Memo1");
    const QStringList text{u"Databáze vozů"_s, u"21802345123-8 dkv Plzeň domovska Cheb"_s,
                           u"21802345124-6 dkv Plzeň domovska Brno"_s, u"21802345125-3 dkv Praha Cheb"_s,
                           u"21802345126-1 dkv Plzeň domovska cheb"_s};
    if (list)
        pane->showList(u"List režimů vozu"_s, text.join(u'\n'));
    else
        pane->showOutput(u"Výpisy"_s, text.join(u'\n'));
    QWidget *shown = list ? static_cast<QWidget *>(pane->editor()) : pane->view();
    shown->setFocus();
    QTest::keyClick(shown, Qt::Key_F, Qt::ControlModifier);
    QLineEdit *field = pane->findField();
    QVERIFY(field->isVisible());
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, needle);
    for (const QString &key : keys)
        QTest::keySequence(field, QKeySequence(key));
    auto *status = child<QLabel>(pane, "Memo1_findStatus");
    const QString selected = list ? pane->editor()->textCursor().selectedText() : pane->view()->selectedText();
    const int at = list ? pane->editor()->textCursor().blockNumber()
                        : int(pane->view()->lineOf(pane->view()->cursorPosition()));
    if (line < 0) {
        QCOMPARE(status->text(), u"Nenalezeno"_s);
        QCOMPARE(field->accessibleDescription(), u"Nenalezeno"_s);
        QCOMPARE(selected, QString());
    } else {
        QCOMPARE(status->text(), QString());
        QCOMPARE(selected, needle);
        QCOMPARE(at, line);
        QCOMPARE(field->accessibleDescription(), text[line]); // the line found, for a screen reader
    }
    QCOMPARE(child<QLabel>(w.form1.get(), "lbl_kontrolka")->text(), u"X"_s); // Enter was the bar's
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!field->isVisible());
    QCOMPARE(QApplication::focusWidget(), shown);
    QCOMPARE(pane->text(), text.join(u'\n'));
}

void TestListings::paneTellsItsLines_data()
{
    QTest::addColumn<bool>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("told");
    QTest::newRow("nothing") << false << QString() << u"0 řádků"_s;
    QTest::newRow("one line") << false << u"a"_s << u"1 řádek"_s;
    QTest::newRow("two lines") << false << u"a\nb"_s << u"2 řádky"_s;
    QTest::newRow("four lines") << false << u"a\nb\nc\nd"_s << u"4 řádky"_s;
    QTest::newRow("five lines") << false << u"a\nb\nc\nd\ne"_s << u"5 řádků"_s;
    QTest::newRow("a last line end") << false << u"a\nb\n"_s << u"2 řádky"_s;
    QTest::newRow("a thousand") << false << QStringList(1000, u"x"_s).join(u'\n') << u"1 000 řádků"_s;
    QTest::newRow("a list") << true << u"a\r\nb\r\n"_s << u"2 řádky"_s;
    QTest::newRow("an empty list") << true << QString() << u"0 řádků"_s;
    QTest::newRow("a million") << false << QString(999999, u'\n') + u'x' << u"1 000 000 řádků"_s;
}

// When the pane fills, a notice appears for screen readers with the heading
// and the count of lines, told as a Czech reader says it.
void TestListings::paneTellsItsLines()
{
    QFETCH(bool, list);
    QFETCH(QString, text);
    QFETCH(QString, told);
    WorkDir dir;
    Windows w;
    auto *pane = child<OutputPane>(w.form1.get(), "Memo1");
    auto *news = child<QWidget>(pane, "Memo1_news");
    const QString heading = u"Databáze vozů z DKV Plzeň"_s;
    list ? pane->showList(heading, text) : pane->showOutput(heading, text);
    QCOMPARE(news->accessibleName(), heading + u", "_s + told);
    QVERIFY(news->isVisible());
    QCOMPARE(QAccessible::queryAccessibleInterface(news)->role(), QAccessible::Notification);
}

// The number check over hand-made files: every kind of problem, alone and
// together, and nothing for clean files. A problem is written as the line
// number and its text; the test adds "řádek L: ", the line and " – ".
void TestListings::numberCheck_data()
{
    QTest::addColumn<bool>("wagons");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("wagons") << true
        << QStringList{"Databáze vozy", "21802345123-8 dkv Plzeň domovska Cheb", "Úsek 2 – 21802345124 převzato",
                       "21802345125-5 dkv Plzeň domovska Cheb", "21802345126-X dkv Plzeň domovska Cheb",
                       "21802345123-8 dkv Praha domovska Brno", "21802345127-9 dkv Plzeň", "2180234512 záložka",
                       "21802345128", "21802345129-5 dkv domovska Cheb"}
        << "Řádků: 10, vozidel: 7, chyb: 6"
        << QStringList{"4 chybná kontrolní číslice, správná je 3", "5 chybí kontrolní číslice",
                       "6 číslo už je na řádku 2; mimo pořadí, menší než číslo na řádku 5", "7 neúplný řádek",
                       "9 chybí kontrolní číslice; neúplný řádek", "10 neúplný řádek"};
    QTest::newRow("locomotives") << false
        << QStringList{"754001-6 dkv A pj B", "754002 dkv A pj B", "754003-2 dkv A", "163001-1 dkv  pj ",
                       "163001-1 dkv  pj "}
        << "Řádků: 5, vozidel: 5, chyb: 4"
        << QStringList{"2 chybí kontrolní číslice; neúplný řádek", "3 neúplný řádek",
                       "4 mimo pořadí, menší než číslo na řádku 3", "5 číslo už je na řádku 4"};
    // As the program writes lines, empty allocations included.
    QTest::newRow("clean") << true << QStringList{"Databáze vozy", "21802345123-8 dkv  domovska ", "",
                                                   "21802345124-6 dkv Plzeň domovska Cheb"}
                           << "Řádků: 4, vozidel: 2, chyb: 0" << QStringList{};
}

void TestListings::numberCheck()
{
    QFETCH(bool, wagons);
    QFETCH(QStringList, lines);
    QFETCH(QString, summary);
    QFETCH(QStringList, problems);
    for (const QString &problem : problems) {
        const int line = problem.section(u' ', 0, 0).toInt();
        summary += QStringLiteral("\nřádek %1: %2 – %3").arg(line).arg(lines[line - 1], problem.section(u' ', 1));
    }
    // Fed the file's bytes, as the command reads them.
    listings::DatabaseCheck check(wagons);
    for (const QString &line : lines)
        check.offer(cp1250(line));
    QCOMPARE(check.text(), summary);
}

TRAKVID_TEST_MAIN(TestListings)
#include "tst_listings.moc"
