// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The database list of the main window: showing, editing, saving and closing.
#include "Unit1.h"
#include "Unit2.h"
#include "databasemodel.h"
#include "storage.h"
#include "testutil.h"
#include "addwindow_util.h"
#include "outputpane.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QDir>
#include <QScopeGuard>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

#include <optional>

using boxes::Kind;
using namespace Qt::StringLiterals;

namespace {

const QStringList kLoko = {
    QStringLiteral("Databáze lokomotivy"),
    QStringLiteral("Řada 163"),
    QStringLiteral("163001-1 dkv Česká Třebová pj Hradec Králové"),
    QStringLiteral("Řada 750"),
    QStringLiteral("750001-0 dkv Brno pj Brno"),
    QStringLiteral("Řada 754"),
    QStringLiteral("754001-6 dkv Česká Třebová pj Hradec Králové"),
    QStringLiteral("754002-4 dkv Česká Třebová pj Pardubice"),
    QStringLiteral("754003-2 dkv Plzeň pj Cheb"),
    QStringLiteral("999999-6 dkv  pj "),
};

const QStringList kVozy = {
    QStringLiteral("Databáze vozy"),
    QStringLiteral("21802345001-6 dkv Ústí nad Labem domovska Děčín"),
    QStringLiteral("21802345002-4 dkv Plzeň domovska Žatec"),
    QStringLiteral("21802345123-8 dkv Plzeň domovska Cheb"),
};

QPushButton *pushButton(TForm1 *f, const char *name) { return child<QPushButton>(f, name); }
// Menu items, tool buttons and context-menu items are actions of the window.
QAction *action(TForm1 *f, const char *name) { return child<QAction>(f, name); }
QString shownCaption(TForm1 *f) { return child<QLabel>(f, "lbl_databaze")->text(); }

QString count(int n) { return QStringLiteral("Počet řádků ") + QString::number(n); }

// The three editing buttons as (Upravit, Smaž, Záložka) enabled flags.
QString buttons(TForm1 *f)
{
    QString s;
    for (const char *name : {"Btn_upravit", "btn_smaz", "btn_zalozka"})
        s += pushButton(f, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

QListView *list(TForm1 *f) { return child<QListView>(f, "lbx_databaze"); }

// A left click on a line, as the user makes it.
void clickLine(TForm1 *f, int row)
{
    const QRect r = list(f)->visualRect(f->databaze()->index(row));
    QTest::mouseClick(list(f)->viewport(), Qt::LeftButton, {}, r.center());
}

// Answers nothing itself: every test queues what it expects.
struct Fixture {
    WorkDir dir;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f = w.form1.get();
    Fixture()
    {
        writeLines(storage::LOKOMOTIVY, kLoko);
        writeLines(storage::VOZY, kVozy);
    }
    // Loads a database and selects one line by a click.
    void show(bool loko, int row = -1)
    {
        action(f, loko ? "Lokomotivy1" : "Vozy1")->trigger();
        if (row >= 0)
            clickLine(f, row);
    }
    // Replaces a file by a directory of the same name, so that writing it fails.
    void blockFile(const QString &name)
    {
        QFile::remove(name);
        QDir().mkdir(name);
    }
};

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT
private slots:
    void showsDatabase_data();
    void showsDatabase();
    void lineCountArithmetic();
    void rowNumberBySelection_data();
    void rowNumberBySelection();
    void bigDatabaseKeys_data();
    void bigDatabaseKeys();
    void bigDatabaseEditsAndAccessibility();
    void changeCountRaisedByEachEdit();
    void switchWithUnsavedChanges_data();
    void switchWithUnsavedChanges();
    void switchToSameDatabaseDropsChanges_data();
    void switchToSameDatabaseDropsChanges();
    void saveAsksEvenWithoutChange_data();
    void saveAsksEvenWithoutChange();
    void saveWithNothingShownDoesNothing();
    void noLineSelected_data();
    void noLineSelected();
    void deleteAnsweredNo();
    void deleteByDoubleClick();
    void bookmarkInsertedAsTyped_data();
    void bookmarkInsertedAsTyped();
    void bookmarkEmptyAnswer();
    void editBookmarkText_data();
    void editBookmarkText();
    void editBookmarkEmptyAnswer();
    void editVehicleOpensAddWindow_data();
    void editVehicleOpensAddWindow();
    void headerDeletedLikeBookmark();
    void leavingListDisablesButtons_data();
    void leavingListDisablesButtons();
    void contextMenuKeepsSelection();
    void closeWindow_data();
    void closeWindow();
    void mergeOnSave_data();
    void mergeOnSave();
    // Mended faults.
    void unreadableFileEmptiesListUnderNewCaption_data();
    void unreadableFileEmptiesListUnderNewCaption();
    void failedSaveKeepsCount();
    void failedSaveInSwitchQuestionStops();
    void failedSaveOnCloseKeepsWindowOpen();
    void lineBreakInBookmarkBecomesBlank_data();
    void lineBreakInBookmarkBecomesBlank();
    void unencodableBookmarkRefused_data();
    void unencodableBookmarkRefused();
};

void TestDatabase::showsDatabase_data()
{
    QTest::addColumn<bool>("loko");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("lokomotivy") << true << "Databáze lokomotivy" << kLoko;
    QTest::newRow("vozy") << false << "Databáze vozy" << kVozy;
}

void TestDatabase::showsDatabase()
{
    QFETCH(bool, loko);
    QFETCH(QString, caption);
    QFETCH(QStringList, lines);
    Fixture x;
    QCOMPARE(shownCaption(x.f), QStringLiteral("Databáze"));
    x.show(loko);
    QCOMPARE(shownCaption(x.f), caption);
    QCOMPARE(x.f->databaze()->texts(), lines);
    QCOMPARE(x.f->panel(0), count(int(lines.size())));
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    QCOMPARE(x.boxes.shown.size(), 0);
    // Reached from the tool bar as well.
    action(x.f, loko ? "Vozy1" : "Lokomotivy1")->trigger();
    action(x.f, loko ? "tbtn_loko" : "tbtb_vozy")->trigger();
    QCOMPARE(shownCaption(x.f), caption);
}

// 10 lines loaded, one deleted ("less one": 8), a bookmark inserted (9).
void TestDatabase::lineCountArithmetic()
{
    Fixture x;
    x.boxes.yes().type(QStringLiteral("Řada 754 – nové"));
    x.show(true, 4);
    QCOMPARE(x.f->panel(0), count(10));
    pushButton(x.f, "btn_smaz")->click();
    QCOMPARE(x.f->databaze()->count(), 9);
    QCOMPARE(x.f->panel(0), count(8));
    clickLine(x.f, 4);
    pushButton(x.f, "btn_zalozka")->click();
    QCOMPARE(x.f->databaze()->count(), 10);
    QCOMPARE(x.f->panel(0), count(9));
    QCOMPARE(x.f->databaze()->line(4), QStringLiteral("Řada 754 – nové"));
    QCOMPARE(x.f->panel(2), QStringLiteral("2"));
    QCOMPARE(x.boxes.unexpected, 0);
}

void TestDatabase::rowNumberBySelection_data()
{
    QTest::addColumn<bool>("byKeys");
    QTest::newRow("mouse") << false;
    QTest::newRow("keys") << true;
}

void TestDatabase::rowNumberBySelection()
{
    QFETCH(bool, byKeys);
    Fixture x;
    x.show(true);
    QCOMPARE(buttons(x.f), QStringLiteral("000"));
    if (byKeys) {
        clickLine(x.f, 0);
        QTest::keyClick(list(x.f), Qt::Key_Down);
        QTest::keyClick(list(x.f), Qt::Key_Down);
    } else {
        clickLine(x.f, 2);
    }
    QCOMPARE(x.f->panel(1), QStringLiteral("Řádek: 3"));
    QCOMPARE(x.f->selectedRow(), 2);
    QCOMPARE(buttons(x.f), QStringLiteral("111"));
}

namespace {
// A wagon database of 30,000 lines, more than the list places in one block.
QStringList bigDatabase()
{
    QStringList lines{u"Databáze vozy"_s};
    for (int i = 1; i < 30000; ++i)
        lines << u"2180%1-0 dkv Plzeň domovska Cheb"_s.arg(1000000 + i);
    return lines;
}
int visibleRows(QListView *view) { return view->viewport()->height() / view->visualRect(view->model()->index(0, 0)).height(); }
} // namespace

void TestDatabase::bigDatabaseKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("fromLast");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("pages"); // of the rows seen less one
    QTest::newRow("down") << QList<int>{Qt::Key_Down} << false << 1 << 0;
    QTest::newRow("end") << QList<int>{Qt::Key_End} << true << 0 << 0;
    QTest::newRow("end, up") << QList<int>{Qt::Key_End, Qt::Key_Up} << true << -1 << 0;
    QTest::newRow("page down twice") << QList<int>{Qt::Key_PageDown, Qt::Key_PageDown} << false << 0 << 2;
    QTest::newRow("end, page up") << QList<int>{Qt::Key_End, Qt::Key_PageUp} << true << 0 << -1;
    QTest::newRow("end, home") << QList<int>{Qt::Key_End, Qt::Key_Home} << false << 0 << 0;
}

// Rows placed by arithmetic behave as the toolkit's list: keys move the
// selection, the selected row is scrolled into sight, and a click there
// selects the row under the mouse.
void TestDatabase::bigDatabaseKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, fromLast);
    QFETCH(int, offset);
    QFETCH(int, pages);
    Fixture x;
    const QStringList lines = bigDatabase();
    writeLines(storage::VOZY, lines);
    x.show(false, 0);
    QListView *view = list(x.f);
    for (int key : keys)
        QTest::keyClick(view, Qt::Key(key));
    const int row = (fromLast ? int(lines.size()) - 1 : 0) + offset + pages * (visibleRows(view) - 1);
    QCOMPARE(x.f->selectedRow(), row);
    QCOMPARE(x.f->panel(1), u"Řádek: %1"_s.arg(row + 1));
    const QRect shown = view->visualRect(x.f->databaze()->index(row));
    QVERIFY(view->viewport()->rect().contains(shown));
    QCOMPARE(view->verticalScrollBar()->maximum(), int(lines.size()) - visibleRows(view));
    // A click on the line next to it, where it stands now.
    const int next = shown.top() >= shown.height() ? row - 1 : row + 1;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, shown.center() + QPoint(0, (next - row) * shown.height()));
    QCOMPARE(x.f->selectedRow(), next);
}

// After a deletion and an insertion the rows below move at once, and
// assistive technology reads the list row by row.
void TestDatabase::bigDatabaseEditsAndAccessibility()
{
    Fixture x;
    QStringList lines = bigDatabase();
    writeLines(storage::VOZY, lines);
    x.show(false, 10);
    QListView *view = list(x.f);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click();
    lines.removeAt(10);
    QCOMPARE(x.f->panel(0), count(int(lines.size()) - 1));
    auto shownAt = [&](int row) {
        return view->indexAt(view->visualRect(x.f->databaze()->index(row)).center()).data().toString();
    };
    QCOMPARE(shownAt(10), lines[10]);
    view->scrollTo(x.f->databaze()->index(20000));
    QCOMPARE(shownAt(20000), lines[20000]);
    x.f->databaze()->insertLine(20000, u"záložka"_s);
    QCOMPARE(shownAt(20000), u"záložka"_s);
    QCOMPARE(shownAt(20001), lines[20000]);
    QCOMPARE(view->verticalScrollBar()->maximum(), int(lines.size()) + 1 - visibleRows(view));

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(view);
    QVERIFY(accessible && accessible->tableInterface());
    QCOMPARE(accessible->tableInterface()->rowCount(), int(lines.size()) + 1);
    QAccessibleInterface *cell = accessible->tableInterface()->cellAt(25000, 0);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), lines[24999]);
    QVERIFY(!cell->rect().isEmpty());
    // A line selected by assistive technology is the line the commands act on.
    QVERIFY(accessible->tableInterface()->selectRow(25000));
    QCOMPARE(x.f->selectedRow(), 25000);
    QCOMPARE(x.f->panel(1), u"Řádek: 25001"_s);
}

// Each edit raises the count; only a successful save or a load resets it.
void TestDatabase::changeCountRaisedByEachEdit()
{
    Fixture x;
    x.show(true, 2);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click(); // delete
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    clickLine(x.f, 2);
    x.boxes.type(QStringLiteral("záložka"));
    pushButton(x.f, "btn_zalozka")->click(); // bookmark
    QCOMPARE(x.f->panel(2), QStringLiteral("2"));
    clickLine(x.f, 2);
    x.boxes.type(QStringLiteral("jiná záložka"));
    pushButton(x.f, "Btn_upravit")->click(); // bookmark change
    QCOMPARE(x.f->panel(2), QStringLiteral("3"));
    clickLine(x.f, 4);
    pushButton(x.f, "Btn_upravit")->click(); // start of a vehicle edit
    QCOMPARE(x.f->panel(2), QStringLiteral("4"));
    QTRY_COMPARE(QApplication::activeWindow(), x.w.form_databaze);
    x.f->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), x.f);
    QCOMPARE(x.f->panel(2), QStringLiteral("4")); // activation is no save
    x.boxes.yes();
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    clickLine(x.f, 1);
    x.boxes.yes();
    action(x.f, "Sma1")->trigger();
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    action(x.f, "Lokomotivy1")->trigger();
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    QCOMPARE(x.boxes.unexpected, 0);
}

void TestDatabase::switchWithUnsavedChanges_data()
{
    QTest::addColumn<bool>("fromLoko");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("saved");
    const QString toVozy = QStringLiteral("Zobrazit databázi vozy");
    const QString toLoko = QStringLiteral("Zobrazit databázi lokomotivy");
    const QString qLoko = QStringLiteral("Chcete uložit změny v databázi lokomotiv? ");
    const QString qVozy = QStringLiteral("Chcete uložit změny v databázi vozů? ");
    const QString sLoko = QStringLiteral("Změněná databáze lokomotiv uložena");
    const QString sVozy = QStringLiteral("Změněná databáze vozů uložena");
    for (const char *answer : {"yes", "no", "cancel"}) {
        QTest::addRow("loko to vozy, %s", answer) << true << answer << toVozy << qLoko << sLoko;
        QTest::addRow("vozy to loko, %s", answer) << false << answer << toLoko << qVozy << sVozy;
    }
}

void TestDatabase::switchWithUnsavedChanges()
{
    QFETCH(bool, fromLoko);
    QFETCH(QString, answer);
    QFETCH(QString, caption);
    QFETCH(QString, question);
    QFETCH(QString, saved);
    Fixture x;
    const QString fromFile = fromLoko ? storage::LOKOMOTIVY : storage::VOZY;
    const QStringList fromLines = fromLoko ? kLoko : kVozy;
    const QStringList toLines = fromLoko ? kVozy : kLoko;
    x.show(fromLoko, 1);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click();
    QStringList edited = fromLines;
    edited.removeAt(1);
    x.boxes.clear();
    if (answer == QLatin1String("yes"))
        x.boxes.yes();
    else if (answer == QLatin1String("no"))
        x.boxes.no();
    else
        x.boxes.cancel();

    x.show(!fromLoko);
    QCOMPARE(x.boxes.shown.size() >= 1, true);
    QCOMPARE(x.boxes.shown[0].kind, Kind::ThreeWay);
    QCOMPARE(x.boxes.shown[0].caption, caption);
    QCOMPARE(x.boxes.shown[0].text, question);
    if (answer == QLatin1String("cancel")) {
        QCOMPARE(shownCaption(x.f), fromLoko ? kLoko[0] : kVozy[0]);
        QCOMPARE(x.f->databaze()->texts(), edited);
        QCOMPARE(x.f->panel(2), QStringLiteral("1"));
        QCOMPARE(readFile(fromFile), crlfLines(fromLines));
        QCOMPARE(x.boxes.shown.size(), 1);
        return;
    }
    QCOMPARE(readFile(fromFile), crlfLines(answer == QLatin1String("yes") ? edited : fromLines));
    QCOMPARE(x.boxes.messages(), answer == QLatin1String("yes") ? QStringList{saved} : QStringList{});
    QCOMPARE(shownCaption(x.f), toLines[0]);
    QCOMPARE(x.f->databaze()->texts(), toLines);
    QCOMPARE(x.f->panel(0), count(int(toLines.size())));
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
}

void TestDatabase::switchToSameDatabaseDropsChanges_data()
{
    QTest::addColumn<bool>("loko");
    QTest::newRow("lokomotivy") << true;
    QTest::newRow("vozy") << false;
}

void TestDatabase::switchToSameDatabaseDropsChanges()
{
    QFETCH(bool, loko);
    Fixture x;
    x.show(loko, 1);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click();
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    x.boxes.clear();
    x.show(loko);
    QCOMPARE(x.boxes.shown.size(), 0);
    QCOMPARE(x.f->databaze()->texts(), loko ? kLoko : kVozy);
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    QCOMPARE(x.f->selectedRow(), -1);
}

void TestDatabase::saveAsksEvenWithoutChange_data()
{
    QTest::addColumn<bool>("loko");
    QTest::addColumn<int>("deletions");
    QTest::addColumn<bool>("answerYes");
    QTest::newRow("loko, unchanged, no") << true << 0 << false;
    QTest::newRow("loko, two changes, no") << true << 2 << false;
    QTest::newRow("vozy, unchanged, no") << false << 0 << false;
    QTest::newRow("loko, unchanged, yes") << true << 0 << true;
    QTest::newRow("vozy, one change, yes") << false << 1 << true;
}

void TestDatabase::saveAsksEvenWithoutChange()
{
    QFETCH(bool, loko);
    QFETCH(int, deletions);
    QFETCH(bool, answerYes);
    Fixture x;
    const QString file = loko ? storage::LOKOMOTIVY : storage::VOZY;
    QStringList lines = loko ? kLoko : kVozy;
    x.show(loko);
    for (int i = 0; i < deletions; ++i) {
        clickLine(x.f, 1);
        x.boxes.yes();
        pushButton(x.f, "btn_smaz")->click();
        lines.removeAt(1);
    }
    // A changed file on disk shows that "Yes" writes the list's changes,
    // merged with the other program's line.
    writeLines(file, (loko ? kLoko : kVozy) + QStringList{QStringLiteral("jiný obsah")});
    lines << QStringLiteral("jiný obsah");
    x.boxes.clear();
    answerYes ? x.boxes.yes().yes() : x.boxes.no(); // the second Yes merges
    action(x.f, "uoloz_databazi")->trigger();
    QCOMPARE(x.boxes.shown.size() >= 1, true);
    QCOMPARE(x.boxes.shown[0].kind, Kind::Confirm);
    QCOMPARE(x.boxes.shown[0].text,
             QStringLiteral("Chcete uložit změny v souboru ") + (loko ? kLoko[0] : kVozy[0]));
    if (answerYes) {
        QCOMPARE(readFile(file), crlfLines(lines));
        QCOMPARE(x.f->panel(2), QStringLiteral("0"));
        QCOMPARE(x.boxes.messages(), QStringList{loko ? QStringLiteral("Změněná databáze lokomotiv uložena")
                                                      : QStringLiteral("Změněná databáze vozů uložena")});
    } else {
        QCOMPARE(readFile(file), crlfLines((loko ? kLoko : kVozy) + QStringList{QStringLiteral("jiný obsah")}));
        QCOMPARE(x.f->panel(2), QString::number(deletions));
        QCOMPARE(x.boxes.shown.size(), 1);
    }
}

void TestDatabase::saveWithNothingShownDoesNothing()
{
    Fixture x;
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(x.boxes.shown.size(), 0);
    QCOMPARE(readFile(storage::VOZY), crlfLines(kVozy));
}

void TestDatabase::noLineSelected_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("Smaž") << "btn_smaz" << "není vybraná žádná položka";
    QTest::newRow("Upravit") << "Btn_upravit" << "není vybraná žádná položka";
    QTest::newRow("Záložka") << "btn_zalozka" << "Vyberte položku před kterou bude umístěna záložka";
}

void TestDatabase::noLineSelected()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    Fixture x;
    x.show(true, 2);
    // A ctrl click takes the selection away while the buttons stay enabled.
    const QRect r = list(x.f)->visualRect(x.f->databaze()->index(2));
    QTest::mouseClick(list(x.f)->viewport(), Qt::LeftButton, Qt::ControlModifier, r.center());
    QCOMPARE(x.f->selectedRow(), -1);
    pushButton(x.f, "Btn_upravit")->setEnabled(true);
    pushButton(x.f, "btn_smaz")->setEnabled(true);
    pushButton(x.f, "btn_zalozka")->setEnabled(true);
    child<QPushButton>(x.f, button.toLatin1())->click();
    QCOMPARE(x.boxes.shown.size(), 1);
    QCOMPARE(x.boxes.messages(), QStringList{message});
    QCOMPARE(x.f->databaze()->texts(), kLoko);
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    QCOMPARE(buttons(x.f), QStringLiteral("111"));
}

void TestDatabase::deleteAnsweredNo()
{
    Fixture x;
    x.show(true, 3);
    x.boxes.no();
    pushButton(x.f, "btn_smaz")->click();
    QCOMPARE(x.boxes.shown.size(), 1);
    QCOMPARE(x.boxes.shown[0].kind, Kind::Confirm);
    QCOMPARE(x.boxes.shown[0].text, QStringLiteral("chcete tuto položku z databáze smazat?"));
    QCOMPARE(x.f->databaze()->texts(), kLoko);
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    QCOMPARE(x.f->panel(0), count(10));
    QCOMPARE(buttons(x.f), QStringLiteral("000"));
}

void TestDatabase::deleteByDoubleClick()
{
    Fixture x;
    x.show(false);
    x.boxes.yes();
    const QRect r = list(x.f)->visualRect(x.f->databaze()->index(2));
    QTest::mouseClick(list(x.f)->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list(x.f)->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(x.boxes.texts(Kind::Confirm), QStringList{QStringLiteral("chcete tuto položku z databáze smazat?")});
    QStringList expected = kVozy;
    expected.removeAt(2);
    QCOMPARE(x.f->databaze()->texts(), expected);
    QCOMPARE(x.f->selectedRow(), -1);
    QCOMPARE(x.f->panel(1), QStringLiteral("Řádek: 3")); // kept until the next selection
    QCOMPARE(buttons(x.f), QStringLiteral("000"));
    QCOMPARE(list(x.f)->currentIndex().row(), 2); // the keys go on from where the line was
}

void TestDatabase::bookmarkInsertedAsTyped_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::newRow("blanks and case kept") << 3 << "  Řada 750 – DKV Brno  ";
    QTest::newRow("before the header") << 0 << "úvod";
    QTest::newRow("before the last line") << 9 << "konec";
}

void TestDatabase::bookmarkInsertedAsTyped()
{
    QFETCH(int, row);
    QFETCH(QString, text);
    Fixture x;
    x.show(true, row);
    x.boxes.type(text).yes();
    pushButton(x.f, "btn_zalozka")->click();
    QCOMPARE(x.boxes.shown[0].kind, Kind::Input);
    QCOMPARE(x.boxes.shown[0].caption, QStringLiteral("Přidej záložku"));
    QCOMPARE(x.boxes.shown[0].text, QStringLiteral("Zadej text záložky"));
    QCOMPARE(x.boxes.shown[0].initial, QString());
    QStringList expected = kLoko;
    expected.insert(row, text);
    QCOMPARE(x.f->databaze()->texts(), expected);
    QCOMPARE(pushButton(x.f, "btn_zalozka")->isEnabled(), false);
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(expected));
}

void TestDatabase::bookmarkEmptyAnswer()
{
    Fixture x;
    x.show(true, 3);
    x.boxes.cancel().type(QString());
    pushButton(x.f, "btn_zalozka")->click();
    action(x.f, "Zloka1")->trigger();
    QCOMPARE(x.boxes.texts(Kind::Input).size(), 2);
    QCOMPARE(x.f->databaze()->texts(), kLoko);
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    QCOMPARE(pushButton(x.f, "btn_zalozka")->isEnabled(), false);
}

void TestDatabase::editBookmarkText_data()
{
    QTest::addColumn<bool>("loko");
    QTest::addColumn<int>("row");
    QTest::newRow("bookmark") << true << 3;
    QTest::newRow("loko header") << true << 0;
    QTest::newRow("vozy header") << false << 0;
}

void TestDatabase::editBookmarkText()
{
    QFETCH(bool, loko);
    QFETCH(int, row);
    Fixture x;
    x.show(loko, row);
    x.boxes.type(QStringLiteral("Nový text Č")).yes();
    pushButton(x.f, "Btn_upravit")->click();
    QCOMPARE(x.boxes.shown[0].kind, Kind::Input);
    QCOMPARE(x.boxes.shown[0].caption, QStringLiteral("Změň záložku"));
    QCOMPARE(x.boxes.shown[0].text, QStringLiteral("Zadej změněný text záložky"));
    QCOMPARE(x.boxes.shown[0].initial, QString());
    QStringList expected = loko ? kLoko : kVozy;
    expected[row] = QStringLiteral("Nový text Č");
    QCOMPARE(x.f->databaze()->texts(), expected);
    QCOMPARE(x.f->selectedRow(), -1);
    QCOMPARE(buttons(x.f), QStringLiteral("000"));
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    QCOMPARE(x.f->panel(0), count(int(expected.size()) - 1));
    QCOMPARE(x.f->panel(3), QStringLiteral("Nové vozidlo"));
    QCOMPARE(x.w.form_databaze->isVisible(), false);
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(readFile(loko ? storage::LOKOMOTIVY : storage::VOZY), crlfLines(expected));
}

void TestDatabase::editBookmarkEmptyAnswer()
{
    Fixture x;
    x.show(true, 1);
    x.boxes.type(QString());
    pushButton(x.f, "Btn_upravit")->click();
    QCOMPARE(x.f->databaze()->texts(), kLoko);
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    QCOMPARE(buttons(x.f), QStringLiteral("011"));
    QCOMPARE(x.f->selectedRow(), 1);
}

void TestDatabase::editVehicleOpensAddWindow_data()
{
    QTest::addColumn<bool>("loko");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("panel3");
    QTest::newRow("locomotive") << true << "754001-6 dkv Česká Třebová pj Hradec Králové"
                                << "754001-6 Upravit";
    QTest::newRow("wagon") << false << "21802345123-8 dkv Plzeň domovska Cheb" << "21802345123-8 Upravit";
    QTest::newRow("six-digit bookmark, loko") << true << "123456 zde začíná řada" << "123456 z Upravit";
    QTest::newRow("six-digit bookmark, vozy") << false << "123456 zde začíná řada"
                                              << "123456 zde za Upravit";
    QTest::newRow("short vehicle line") << true << "754001" << "754001 Upravit";
}

void TestDatabase::editVehicleOpensAddWindow()
{
    QFETCH(bool, loko);
    QFETCH(QString, line);
    QFETCH(QString, panel3);
    Fixture x;
    QStringList lines = loko ? kLoko : kVozy;
    lines.insert(2, line);
    writeLines(loko ? storage::LOKOMOTIVY : storage::VOZY, lines);
    x.show(loko, 2);
    pushButton(x.f, "Btn_upravit")->click();
    QCOMPARE(x.boxes.shown.size(), 0);
    QCOMPARE(x.f->panel(3), panel3);
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    QVERIFY(x.w.form_databaze->isVisible());
    QCOMPARE(x.f->databaze()->texts(), lines);
    QCOMPARE(pushButton(x.f, "Btn_upravit")->isEnabled(), false);
    // A second edit while the add window is open shows it again with the new vehicle.
    clickLine(x.f, 3);
    action(x.f, "Upravit1")->trigger();
    QVERIFY(x.w.form_databaze->isVisible());
    QCOMPARE(x.f->panel(3), lines[3].left(loko ? 8 : 13) + QStringLiteral(" Upravit"));
    QCOMPARE(x.f->panel(2), QStringLiteral("2"));
}

void TestDatabase::headerDeletedLikeBookmark()
{
    Fixture x;
    x.show(false, 0);
    x.boxes.yes().yes();
    pushButton(x.f, "btn_smaz")->click();
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(readFile(storage::VOZY), crlfLines(kVozy.mid(1)));
}

void TestDatabase::leavingListDisablesButtons_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("expected");
    // A click on a button leaves that one; Tab walks on to all three.
    QTest::newRow("click on Upravit") << "Btn_upravit" << int(Qt::MouseFocusReason) << "100";
    QTest::newRow("click on Smaž") << "btn_smaz" << int(Qt::MouseFocusReason) << "010";
    QTest::newRow("click on Záložka") << "btn_zalozka" << int(Qt::MouseFocusReason) << "001";
    QTest::newRow("Tab to Upravit") << "Btn_upravit" << int(Qt::TabFocusReason) << "111";
    QTest::newRow("Shift+Tab to Záložka") << "btn_zalozka" << int(Qt::BacktabFocusReason) << "111";
    QTest::newRow("to a field") << "edt_rezim" << int(Qt::TabFocusReason) << "000";
    QTest::newRow("Tab to Upravit, then to a field") << "Btn_upravit,edt_rezim" << int(Qt::TabFocusReason) << "000";
    QTest::newRow("Tab to Upravit, back to the list") << "Btn_upravit,lbx_databaze" << int(Qt::BacktabFocusReason)
                                                      << "111";
    QTest::newRow("to the add window") << "Form_databaze" << int(Qt::TabFocusReason) << "111";
}

void TestDatabase::leavingListDisablesButtons()
{
    QFETCH(QString, target);
    QFETCH(int, reason);
    QFETCH(QString, expected);
    Fixture x;
    x.show(true, 2);
    QCOMPARE(QApplication::focusWidget(), list(x.f));
    QCOMPARE(buttons(x.f), QStringLiteral("111"));
    if (target == QLatin1String("Form_databaze")) {
        // Another window taking the activation is no move to another control.
        auto *field = new QLineEdit(x.w.form_databaze);
        field->setFocus();
        x.w.form_databaze->show();
        x.w.form_databaze->activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), field);
        x.f->activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), list(x.f));
    } else {
        for (const QString &name : target.split(u','))
            child<QWidget>(x.f, name.toLatin1())->setFocus(Qt::FocusReason(reason));
    }
    QCOMPARE(buttons(x.f), expected);
}

void TestDatabase::contextMenuKeepsSelection()
{
    Fixture x;
    x.show(true, 2);
    child<QWidget>(x.f, "edt_rezim")->setFocus();
    QCOMPARE(buttons(x.f), QStringLiteral("000"));
    // A right click on another line opens the menu for the line selected before.
    const QPoint at = list(x.f)->visualRect(x.f->databaze()->index(5)).center();
    // Through the window system, which also makes the context-menu event.
    const QPoint inWindow = list(x.f)->viewport()->mapTo(x.f, at);
    QTest::mouseClick(x.f->windowHandle(), Qt::RightButton, {}, inWindow);
    QCOMPARE(QApplication::focusWidget(), list(x.f));
    QTRY_VERIFY(x.f->PopupMenu_databaze->isVisible());
    QCOMPARE(x.f->selectedRow(), 2);
    x.f->PopupMenu_databaze->close();
    x.boxes.yes();
    action(x.f, "Sma1")->trigger();
    QStringList expected = kLoko;
    expected.removeAt(2);
    QCOMPARE(x.f->databaze()->texts(), expected);
}

void TestDatabase::closeWindow_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("nothing shown") << "none" << "" << true << false;
    QTest::newRow("only loaded") << "loaded" << "" << true << false;
    QTest::newRow("saved after a delete") << "saved" << "" << true << false;
    QTest::newRow("count not a number") << "editace" << "" << true << false;
    QTest::newRow("after a delete, yes") << "deleted" << "yes" << true << true;
    QTest::newRow("after a delete, no") << "deleted" << "no" << true << false;
    QTest::newRow("after a delete, cancel") << "deleted" << "cancel" << false << false;
}

void TestDatabase::closeWindow()
{
    QFETCH(QString, state);
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    Fixture x;
    QStringList lines = kVozy;
    if (state != QLatin1String("none"))
        x.show(false, 1);
    if (state == QLatin1String("deleted") || state == QLatin1String("saved")) {
        x.boxes.yes();
        pushButton(x.f, "btn_smaz")->click();
        lines.removeAt(1);
    }
    if (state == QLatin1String("editace"))
        x.f->setPanel(2, QStringLiteral("Editace"));
    if (state == QLatin1String("saved")) {
        x.boxes.yes();
        action(x.f, "Uloitdatabzi1")->trigger();
    }
    const QByteArray before = readFile(storage::VOZY);
    x.boxes.clear();
    if (answer == QLatin1String("yes"))
        x.boxes.yes();
    else if (answer == QLatin1String("no"))
        x.boxes.no();
    else if (answer == QLatin1String("cancel"))
        x.boxes.cancel();

    QCOMPARE(x.f->close(), closes);
    QCOMPARE(x.f->isVisible(), !closes);
    QCOMPARE(x.boxes.unexpected, 0);
    if (answer.isEmpty()) {
        QCOMPARE(x.boxes.shown.size(), 0);
    } else {
        QCOMPARE(x.boxes.shown[0].kind, Kind::ThreeWay);
        QCOMPARE(x.boxes.shown[0].caption, QStringLiteral("Uložit"));
        QCOMPARE(x.boxes.shown[0].text, QStringLiteral("Chcete uložit změny v databázi? "));
    }
    QCOMPARE(readFile(storage::VOZY), written ? crlfLines(lines) : before);
    QCOMPARE(x.boxes.messages(), written ? QStringList{QStringLiteral("Změněná databáze vozů uložena")}
                                         : QStringList{});
    if (!closes) {
        // The question comes again at the next attempt.
        x.boxes.clear();
        x.boxes.no();
        QCOMPARE(x.f->close(), true);
        QCOMPARE(x.boxes.texts(Kind::ThreeWay).size(), 1);
    }
}

// ---- mended faults ----------------------------------------------------------------

void TestDatabase::unreadableFileEmptiesListUnderNewCaption_data()
{
    QTest::addColumn<bool>("toLoko");
    QTest::addColumn<QString>("message");
    QTest::newRow("lokomotivy missing") << true << "databáze lokomotiv neexistuje !!";
    QTest::newRow("vozy missing") << false << "databáze vozů neexistuje !!";
}

void TestDatabase::unreadableFileEmptiesListUnderNewCaption()
{
    QFETCH(bool, toLoko);
    QFETCH(QString, message);
    Fixture x;
    const QString otherFile = toLoko ? storage::VOZY : storage::LOKOMOTIVY;
    const QString targetFile = toLoko ? storage::LOKOMOTIVY : storage::VOZY;
    x.show(!toLoko, 1);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click();
    x.boxes.clear();
    x.boxes.no();
    QFile::remove(targetFile);
    x.show(toLoko);
    QCOMPARE(x.boxes.messages(), QStringList{message});
    QCOMPARE(shownCaption(x.f), toLoko ? kLoko[0] : kVozy[0]);
    QCOMPARE(x.f->databaze()->count(), 0);
    QCOMPARE(x.f->panel(0), count(0));
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    // Saving now cannot put the other database's lines into this file.
    x.boxes.yes();
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(readFile(targetFile), QByteArray());
    QCOMPARE(readFile(otherFile), crlfLines(toLoko ? kVozy : kLoko));
}

void TestDatabase::failedSaveKeepsCount()
{
    Fixture x;
    x.show(false, 1);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click();
    x.blockFile(storage::VOZY);
    x.boxes.clear();
    x.boxes.yes().yes();
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(x.boxes.errors().size(), 1);
    QVERIFY2(x.boxes.errors()[0].contains(storage::VOZY), qPrintable(x.boxes.errors()[0]));
    QCOMPARE(x.boxes.messages(), QStringList{});
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    QCOMPARE(x.f->databaze()->count(), int(kVozy.size()) - 1);
}

void TestDatabase::failedSaveInSwitchQuestionStops()
{
    Fixture x;
    x.show(true, 1);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click();
    QStringList edited = kLoko;
    edited.removeAt(1);
    x.blockFile(storage::LOKOMOTIVY);
    x.boxes.clear();
    x.boxes.yes().yes();
    action(x.f, "Vozy1")->trigger();
    QCOMPARE(x.boxes.texts(Kind::ThreeWay).size(), 2); // the switch question, then "Soubor změněn"
    QCOMPARE(x.boxes.errors().size(), 1);
    QVERIFY(x.boxes.errors()[0].contains(storage::LOKOMOTIVY));
    QCOMPARE(x.boxes.messages(), QStringList{});
    QCOMPARE(shownCaption(x.f), kLoko[0]);
    QCOMPARE(x.f->databaze()->texts(), edited);
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    // Once the file can be written again, the same question saves and goes on.
    QDir().rmdir(storage::LOKOMOTIVY);
    x.boxes.clear();
    x.boxes.yes();
    action(x.f, "Vozy1")->trigger();
    QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(edited));
    QCOMPARE(x.f->databaze()->texts(), kVozy);
}

void TestDatabase::failedSaveOnCloseKeepsWindowOpen()
{
    Fixture x;
    x.show(false, 1);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click();
    x.blockFile(storage::VOZY);
    x.boxes.clear();
    x.boxes.yes().yes();
    QCOMPARE(x.f->close(), false);
    QVERIFY(x.f->isVisible());
    QCOMPARE(x.boxes.errors().size(), 1);
    QVERIFY(x.boxes.errors()[0].contains(storage::VOZY));
    QCOMPARE(x.boxes.messages(), QStringList{});
    QCOMPARE(x.f->panel(2), QStringLiteral("1"));
    QCOMPARE(x.f->databaze()->count(), int(kVozy.size()) - 1);
}

void TestDatabase::lineBreakInBookmarkBecomesBlank_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("insert, LF") << false << "Řada\n754" << "Řada 754";
    QTest::newRow("insert, CR LF") << false << "Řada\r\n754\r\n" << "Řada 754 ";
    QTest::newRow("change, CR") << true << "a\rb\n\nc" << "a b  c";
}

void TestDatabase::lineBreakInBookmarkBecomesBlank()
{
    QFETCH(bool, change);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Fixture x;
    x.show(true, 3);
    x.boxes.type(typed).yes();
    pushButton(x.f, change ? "Btn_upravit" : "btn_zalozka")->click();
    QStringList expected = kLoko;
    if (change)
        expected[3] = stored;
    else
        expected.insert(3, stored);
    QCOMPARE(x.f->databaze()->texts(), expected);
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(expected));
    QCOMPARE(storage::load(storage::LOKOMOTIVY).lines.size(), expected.size());
}

void TestDatabase::unencodableBookmarkRefused_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named");
    QTest::newRow("insert, Cyrillic") << false << "Řada ЧС2" << "Ч";
    QTest::newRow("change, emoji") << true << "Řada 754 \U0001F682" << "\U0001F682";
}

void TestDatabase::unencodableBookmarkRefused()
{
    QFETCH(bool, change);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    Fixture x;
    x.show(true, 3);
    x.boxes.type(typed);
    pushButton(x.f, change ? "Btn_upravit" : "btn_zalozka")->click();
    QCOMPARE(x.boxes.messages().size(), 1);
    QVERIFY2(x.boxes.messages()[0].contains(QStringLiteral("„") + named + QStringLiteral("“")),
             qPrintable(x.boxes.messages()[0]));
    QCOMPARE(x.f->databaze()->texts(), kLoko);
    QCOMPARE(x.f->panel(2), QStringLiteral("0"));
    // The list stays savable.
    x.boxes.yes();
    action(x.f, "Uloitdatabzi1")->trigger();
    QCOMPARE(x.boxes.errors(), QStringList{});
    QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(kLoko));
}

// Another program wrote the file since it was shown: every save asks to
// merge, and Yes writes this session's changes into the file as it is now.
void TestDatabase::mergeOnSave_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("answer"); // boxes::Answer to "Soubor změněn"
    // What the other program left: "changed" in Windows-1250, the same in
    // "utf8", "utf8 not convertible" (a character Windows-1250 has not), an
    // "emptied" file, whose question is answered yes or no, or a rewrite of
    // the "same size" within the second on a file system with 1-second times,
    // which only its content tells.
    QTest::addColumn<QString>("theirsKind");
    for (const char *entry : {"save", "switch", "close", "add window"}) {
        QTest::addRow("%s, Yes", entry) << entry << int(boxes::Answer::Yes) << u"changed"_s;
        QTest::addRow("%s, No", entry) << entry << int(boxes::Answer::No) << u"changed"_s;
    }
    QTest::addRow("save, Cancel") << "save" << int(boxes::Answer::Cancel) << u"changed"_s;
    for (const char *kind : {"utf8", "utf8 not convertible", "emptied, yes", "emptied, no"})
        QTest::addRow("save, Yes, %s", kind) << "save" << int(boxes::Answer::Yes) << QString::fromUtf8(kind);
    QTest::addRow("save, No, same size") << "save" << int(boxes::Answer::No) << u"same size"_s;
}

void TestDatabase::mergeOnSave()
{
    QFETCH(QString, entry);
    QFETCH(int, answer);
    QFETCH(QString, theirsKind);
    Fixture x;
    std::optional<Mount> fs;
    const QString outside = QDir::currentPath();
    const auto back = qScopeGuard([&] { QDir::setCurrent(outside); }); // before the unmount
    if (theirsKind == u"same size"_s) {
        if (!isRoot())
            QSKIP("mounting needs root");
        fs.emplace(u"fs"_s, u"ext4"_s);
        if (!fs->ok)
            QSKIP(qPrintable(u"this machine cannot mount a 1-second ext4 image: "_s + fs->why));
        QDir::setCurrent(fs->dir);
        writeLines(storage::LOKOMOTIVY, kLoko);
    }
    x.show(true, 4);
    x.boxes.yes();
    pushButton(x.f, "btn_smaz")->click(); // 750001-0 goes
    x.boxes.clear();
    // The other program adds a locomotive and changes a bookmark.
    QStringList theirs = kLoko;
    theirs.insert(9, u"754004-0 dkv Plzeň pj Cheb"_s);
    theirs[5] = u"Řada 754 (Plzeň)"_s;
    if (theirsKind == u"same size"_s) {
        theirs = kLoko;
        theirs[5].back() = u'x';
        writeLines(storage::LOKOMOTIVY, theirs);
    } else if (theirsKind.startsWith(u"utf8"_s)) {
        if (theirsKind != u"utf8"_s)
            theirs[5] += u" ♥"_s;
        writeFile(storage::LOKOMOTIVY, theirs.join(u"\r\n"_s).toUtf8() + "\r\n");
    } else if (theirsKind.startsWith(u"emptied"_s)) {
        theirs.clear();
        writeFile(storage::LOKOMOTIVY, QByteArray());
    } else {
        writeLines(storage::LOKOMOTIVY, theirs);
    }
    const QByteArray theirsBytes = readFile(storage::LOKOMOTIVY);

    auto answerMerge = [&] {
        if (answer == int(boxes::Answer::Yes))
            x.boxes.yes();
        else if (answer == int(boxes::Answer::No))
            x.boxes.no();
        else
            x.boxes.cancel();
    };
    bool closed = false;
    if (entry == u"save") {
        x.boxes.yes();
        answerMerge();
        if (theirsKind.startsWith(u"emptied"_s)) {
            if (theirsKind.endsWith(u"yes"_s))
                x.boxes.yes();
            else
                x.boxes.no();
        }
        action(x.f, "Uloitdatabzi1")->trigger();
    } else if (entry == u"switch") {
        x.boxes.yes();
        answerMerge();
        action(x.f, "Vozy1")->trigger();
    } else if (entry == u"close") {
        x.boxes.yes();
        answerMerge();
        closed = x.f->close();
    } else {
        // "uložit vozidlo" of a wagon asks to save the shown locomotives first.
        QVERIFY(addtest::enterVehicle(x.f, u"21802345124"_s));
        x.boxes.yes();
        answerMerge();
        action(x.f, "uloitvozidlo1")->trigger();
    }
    const QList<boxes::Request> asked = [&] {
        QList<boxes::Request> r;
        for (const boxes::Request &b : x.boxes.shown)
            if (b.caption == u"Soubor změněn"_s)
                r << b;
        return r;
    }();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].kind, Kind::ThreeWay);
    QCOMPARE(asked[0].text, u"Soubor lokomotivy.txt se od načtení změnil (zapsal jej jiný program). "
                            "Sloučit s ním vaše změny?"_s);
    QStringList merged = theirs;
    if (!merged.isEmpty())
        merged.removeAt(4);
    if (theirsKind == u"utf8 not convertible"_s) {
        QCOMPARE(x.boxes.errors(), QStringList{u"Soubor lokomotivy.txt uložil jiný program v kódování UTF-8 se "
                                               "znaky, které Windows-1250 nemá. Vaše změny zůstaly neuložené."_s});
        answer = int(boxes::Answer::No); // nothing written
    }
    if (theirsKind.startsWith(u"emptied"_s))
        QCOMPARE(x.boxes.texts(Kind::Confirm).last(),
                 u"Soubor lokomotivy.txt je nyní prázdný. Přesto do něj zapsat vaše změny?"_s);
    if (theirsKind == u"emptied, no"_s)
        answer = int(boxes::Answer::No);
    if (answer != int(boxes::Answer::Yes)) {
        QCOMPARE(readFile(storage::LOKOMOTIVY), theirsBytes);
        QCOMPARE(x.f->panel(2), u"1"_s);
        QCOMPARE(shownCaption(x.f), kLoko[0]);
        QCOMPARE(closed, false);
        return;
    }
    QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(merged));
    QCOMPARE(x.boxes.errors(), QStringList{});
    PaneControls pane(x.w);
    QCOMPARE(pane.heading->text(), u"Sloučení databáze lokomotiv"_s);
    QCOMPARE(pane.memo->text(), u"Použito změn: 1, nepoužito: 0, řádků jiného programu zachováno: %1"_s.arg(
                                    theirs.isEmpty() ? 0 : 2));
    if (entry == u"save") {
        QCOMPARE(x.f->databaze()->texts(), merged);
        QCOMPARE(x.f->panel(2), u"0"_s);
        QCOMPARE(x.f->panel(0), count(int(merged.size())));
        // Saved again, the file is the known state: no question.
        x.boxes.clear();
        x.boxes.yes();
        action(x.f, "Uloitdatabzi1")->trigger();
        QCOMPARE(x.boxes.texts(Kind::ThreeWay), QStringList{});
        // A second merge reads a shorter file into the buffer the first gave
        // up: none of its old bytes may stay behind.
        if (merged.size() < 3)
            return;
        QStringList again = merged;
        again.removeLast();
        writeLines(storage::LOKOMOTIVY, again);
        x.f->databaze()->removeLine(2);
        again.removeAt(2);
        x.boxes.yes();
        x.boxes.yes();
        action(x.f, "Uloitdatabzi1")->trigger();
        QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(again));
        QCOMPARE(x.f->databaze()->texts(), again);
    } else if (entry == u"switch") {
        QCOMPARE(x.f->databaze()->texts(), kVozy);
    } else if (entry == u"close") {
        QCOMPARE(closed, true);
    } else {
        QVERIFY(x.w.form_databaze->isVisible());
    }
}

TRAKVID_TEST_MAIN(TestDatabase)
#include "tst_database.moc"
