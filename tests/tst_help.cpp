// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "Unit1.h"
#include "storage.h"
#include "testutil.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

// The seven help pages in the output pane, the two arrows (Esc included) and About.
class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void pages_data();
    void pages();
    void nextSixTimesFromPageOne();
    void backFromPageSeven();
    void arrowsDoNothingBeforeAnyPage();
    void listingDisablesArrows();
    void listViewDisablesArrows();
    void aboutBetweenTwoPages();
    void escapeIsTheNextArrow();
};

namespace {

using Form = PaneControls;

const char *const kTitles[8] = {nullptr,
                                "Nápověda k výpočtu kontrolní číslice",
                                "Nápověda k uložení zadaného vozidla do databáze",
                                "Nápověda k uložení databáze",
                                "Nápověda k práci s databází",
                                "Nápověda k Výpisům",
                                "Nápověda k Listům",
                                "Nápověda k Nastavení"};

// The page, its title and its arrows as the help table gives them.
void verifyPage(const Form &f, int page)
{
    QCOMPARE(f.form1->strana_napovedy, page);
    QCOMPARE(f.heading->text(), QString::fromUtf8(kTitles[page]));
    QVERIFY(f.memo->text().startsWith(QString::number(page) + QLatin1Char('.')));
    QCOMPARE(f.back->isEnabled(), page != 1);
    QCOMPARE(f.next->isEnabled(), page != 7);
}

const QString kAboutEnd = QStringLiteral(" Program je stále ve vývoji, případné mouchy budou vychytány.");

} // namespace

void TestHelp::pages_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("length"); // characters, every blank counted
    QTest::addColumn<QStringList>("fragments"); // quotes, odd blanks and joined words, exactly

    QTest::newRow("n1") << "n1" << 1 << "1. Pomocí přepínacích tlačítek lokomotivy-vozy"
                        << "nalézá.*****Pro posun v nápovědě používejte šipky vpravo vedle nápovědy. *****" << 473
                        << QStringList{"tlačítko \"zadáno\" (pokud zadáte", "stisknout enter) bude"};
    QTest::newRow("n2") << "n2" << 2 << "2. Vozidlo, u kterého"
                        << "budete na případné vozidlo stejného čísla v databázi upozorněni." << 595
                        << QStringList{"menu \"Databáze\", nabídka \"uložit vozidlo...\". Ve",
                                       "tlačítka \"Přidat do databáze\", budete"};
    QTest::newRow("n3") << "n3" << 3 << "3. Po uložení zadaného vozidla"
                        << "ve stejném adresáři jako soubor Trakvid.exe." << 312
                        << QStringList{"nabídky \"Uložit databázi\". Tímto"};
    QTest::newRow("n4") << "n4" << 4 << "4. V zobrazené databázi" << "pokud to neprovedete v nabídce menu." << 336
                        << QStringList{"Tlačítko \"záložka\" vloží", "před označený řádek.Vždy před"};
    QTest::newRow("n5") << "n5" << 5 << "5. Z databáze je možno" << "nebo podle jejich dislokace." << 138
                        << QStringList{"řada lokomotivy, charakteristika vozu, nebo"};
    QTest::newRow("n6") << "n6" << 6 << "6. Listy slouží k bližší identifikaci vozů."
                        << "pomocí tlačítka \"Ulož\" do textového souboru." << 502
                        << QStringList{"soubor Trakvid.exe.  Listy jsou", "tlačítko \"Zadáno\". Výsledky",
                                       "dislokacívozu zobrazeny", "a uložitdo textového"};
    // About: its two sentences, then the version, the licence and the folder in use (%1).
    QTest::newRow("O programu") << "Oprogramu1" << 0
                                << "Program vznikl jako semestrální projekt z programování." + kAboutEnd + "\n"
                                << "\nTrakvid " TRAKVID_VERSION " · licence MIT · data: %1" << 151
                                << QStringList{"vychytány.\nTrakvid "};
    QTest::newRow("n7") << "n7" << 7 << "7.***Ukládání souborů v nastavení zatím není funkční*** V menu"
                        << "budou-li při ukládání vozu do databáze uloženy i zmíněné údaje." << 522
                        << QStringList{"nabídce \"technika\" můžete", "nabídce \"údržba\" potom"};
}

void TestHelp::pages()
{
    QFETCH(QString, item);
    QFETCH(int, page);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, length);
    QFETCH(QStringList, fragments);
    WorkDir dir;
    Windows w;
    Form f(w);
    f.trigger(qPrintable(item));
    if (page > 0) {
        verifyPage(f, page);
    } else {
        QCOMPARE(f.heading->text(), QStringLiteral("O programu"));
        QCOMPARE(w.form1->strana_napovedy, 0);
        const QString folder = QFileInfo(dir.path()).canonicalFilePath();
        QVERIFY(!folder.isEmpty());
        end = end.arg(QDir::toNativeSeparators(folder));
        length += int(folder.size());
    }
    const QString text = f.memo->text();
    QVERIFY2(text.startsWith(start), qPrintable(text));
    QVERIFY2(text.endsWith(end), qPrintable(text));
    QCOMPARE(text.size(), length);
    QCOMPARE(text.count(QLatin1Char('\n')), page > 0 ? 0 : 1);
    // Only page 6 has two blanks in a row.
    QCOMPARE(text.contains(QLatin1String("  ")), page == 6);
    for (const QString &fragment : fragments)
        QVERIFY2(text.contains(fragment), qPrintable(fragment));
}

void TestHelp::nextSixTimesFromPageOne()
{
    WorkDir dir;
    Windows w;
    Form f(w);
    f.trigger("n1");
    verifyPage(f, 1);
    for (int page = 2; page <= 7; ++page) {
        QTest::mouseClick(f.next, Qt::LeftButton);
        verifyPage(f, page);
    }
    // The next arrow is off on page 7; run directly, the command stays put.
    w.form1->bitbtn_napoveda_daleClick();
    verifyPage(f, 7);
}

void TestHelp::backFromPageSeven()
{
    WorkDir dir;
    Windows w;
    Form f(w);
    f.trigger("n7");
    verifyPage(f, 7);
    QTest::mouseClick(f.back, Qt::LeftButton);
    verifyPage(f, 6);
    QVERIFY(f.next->isEnabled() && f.back->isEnabled());
    for (int page = 5; page >= 1; --page) {
        QTest::mouseClick(f.back, Qt::LeftButton);
        verifyPage(f, page);
    }
    w.form1->BitBtn_napoveda_zpetClick();
    verifyPage(f, 1);
}

void TestHelp::arrowsDoNothingBeforeAnyPage()
{
    WorkDir dir;
    Windows w;
    Form f(w);
    QCOMPARE(w.form1->strana_napovedy, 0);
    QVERIFY(!f.next->isEnabled() && !f.back->isEnabled());
    f.trigger("Oprogramu1");
    w.form1->bitbtn_napoveda_daleClick();
    w.form1->BitBtn_napoveda_zpetClick();
    QCOMPARE(w.form1->strana_napovedy, 0);
    QCOMPARE(f.heading->text(), QStringLiteral("O programu"));
    QVERIFY(f.memo->text().contains(kAboutEnd + QLatin1Char('\n')));
}

void TestHelp::listingDisablesArrows()
{
    WorkDir dir;
    writeLines(storage::VOZY, {QStringLiteral("Databáze vozy"), QStringLiteral("21802345123-8 dkv Plzeň domovska Cheb")});
    Windows w;
    Form f(w);
    f.trigger("n4");
    ScriptedBoxes boxes;
    boxes.type(QStringLiteral("Cheb"));
    f.trigger("PodleDomovskstanice1");
    QCOMPARE(f.memo->text(), QStringLiteral("21802345123-8 dkv Plzeň domovska Cheb"));
    QVERIFY(!f.next->isEnabled() && !f.back->isEnabled());
    QCOMPARE(w.form1->strana_napovedy, 4);
    // Esc does nothing while the arrows are off.
    QTest::keyClick(child<QLineEdit>(w.form1.get(), "edt_rezim"), Qt::Key_Escape);
    QCOMPARE(f.memo->text(), QStringLiteral("21802345123-8 dkv Plzeň domovska Cheb"));
    f.trigger("n6");
    verifyPage(f, 6);
    QVERIFY(f.next->isEnabled() && f.back->isEnabled());
}

void TestHelp::listViewDisablesArrows()
{
    WorkDir dir;
    writeLines(storage::REZIM, {QStringLiteral("list režimů")});
    Windows w;
    Form f(w);
    f.trigger("n3");
    f.trigger("Reimvozu2");
    QVERIFY(!f.next->isEnabled() && !f.back->isEnabled());
    QCOMPARE(w.form1->strana_napovedy, 3);
}

void TestHelp::aboutBetweenTwoPages()
{
    WorkDir dir;
    writeLines(storage::REZIM, {QStringLiteral("list režimů")});
    Windows w;
    Form f(w);
    f.trigger("Reimvozu2");
    f.trigger("n2");
    QVERIFY(f.uloz->isEnabled()); // the page leaves "Ulož" as the list set it
    f.trigger("Oprogramu1");
    QCOMPARE(f.heading->text(), QStringLiteral("O programu"));
    // One paragraph of two sentences, one blank between them; the version line follows.
    const QString about = f.memo->text().section(QLatin1Char('\n'), 0, 0);
    QVERIFY(about.endsWith(kAboutEnd));
    const QString first = about.chopped(kAboutEnd.size());
    QVERIFY(first.endsWith(QLatin1Char('.')));
    QVERIFY(!first.chopped(1).contains(QLatin1Char('.')));
    QVERIFY(first.contains(QStringLiteral("semestráln")) && first.contains(QStringLiteral("programování")));
    QVERIFY(!about.contains(QLatin1Char('\n')) && !about.contains(QLatin1String("  ")));
    QVERIFY(!f.uloz->isEnabled());
    QVERIFY(f.next->isEnabled() && f.back->isEnabled());
    QCOMPARE(w.form1->strana_napovedy, 2);
    QTest::mouseClick(f.next, Qt::LeftButton);
    verifyPage(f, 3);
    f.trigger("Oprogramu1");
    QTest::mouseClick(f.back, Qt::LeftButton);
    verifyPage(f, 2);
}

void TestHelp::escapeIsTheNextArrow()
{
    WorkDir dir;
    Windows w;
    Form f(w);
    auto *rezim = child<QLineEdit>(w.form1.get(), "edt_rezim");
    QTest::keyClick(rezim, Qt::Key_Escape);
    QCOMPARE(w.form1->strana_napovedy, 0);
    QCOMPARE(f.heading->text(), QStringLiteral("Výpisy"));
    f.trigger("n5");
    rezim->setFocus();
    QTest::keyClick(rezim, Qt::Key_Escape);
    verifyPage(f, 6);
    QTest::keyClick(rezim, Qt::Key_Escape);
    verifyPage(f, 7);
    QTest::keyClick(rezim, Qt::Key_Escape);
    verifyPage(f, 7);
    // In the pane Esc belongs to the text.
    f.trigger("n1");
    QWidget *view = f.memo->findChild<QWidget *>(QStringLiteral("Memo1_view"));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Escape);
    verifyPage(f, 1);
}

TRAKVID_TEST_MAIN(TestHelp)
#include "tst_help.moc"
