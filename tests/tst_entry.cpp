// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Number entry in the main window: typing, focus moves, switching kinds,
// validation messages and the check digit.
#include "Unit1.h"
#include "databasemodel.h"
#include "outputpane.h"
#include "outputview.h"
#include "testutil.h"
#include "ui_Unit1.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMenu>
#include <QMimeData>

class TestEntry : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void checkDigitByTyping_data();
    void checkDigitByTyping();
    void focusFollowsTheTable_data();
    void focusFollowsTheTable();
    void enterInLastFieldComputes();
    void enterOnRadioButtonComputes();
    void enterInMemoMakesNewLine();
    void validation_data();
    void validation();
    void placeholdersAtStart();
    void letterEmptiesSilently();
    void clickEmptiesField();
    void anyChangeResetsCheckDigit();
    void switchingKinds();
    void switchRunsOnKeysAndAccessibility();
    void reselectingRunsNothing();
    void reactivationRefreshesLineCount();
    void reactivationSelectsTheField();
    void escapeDoesNothingWhileArrowsDisabled();
    void paste_data();
    void paste();

private:
    WorkDir *m_dir = nullptr;
    ScriptedBoxes *m_boxes = nullptr;
    Windows *m_windows = nullptr;
    TForm1 *form() { return m_windows->form1.get(); }
    Ui::TForm1 *ui() { return form()->ui; }
    // Types into whatever has the focus, as a user would.
    void typeHere(const QString &text);
    void selectLocomotives();
    void fill(const QString &a, const QString &b, const QString &c = {}, const QString &d = {});
    void pasteInto(QLineEdit *field, const QString &how, const QString &text);
};

void TestEntry::init()
{
    m_dir = new WorkDir;
    m_boxes = new ScriptedBoxes;
    m_windows = new Windows;
}

void TestEntry::cleanup()
{
    delete m_windows;
    delete m_boxes;
    delete m_dir;
}

void TestEntry::typeHere(const QString &text)
{
    for (QChar c : text) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(focus, "nothing has the focus");
        QTest::keyClicks(focus, QString(c));
    }
}

void TestEntry::selectLocomotives()
{
    QTest::mouseClick(ui()->rbtn_lokomotivy, Qt::LeftButton);
    QVERIFY(ui()->rbtn_lokomotivy->isChecked());
}

// Sets the fields as a paste would (each set runs the change rule).
void TestEntry::fill(const QString &a, const QString &b, const QString &c, const QString &d)
{
    ui()->edt_rezim->setText(a);
    ui()->edt_vlastnik->setText(b);
    if (ui()->rbtn_vozy->isChecked()) {
        ui()->edt_charakteristika->setText(c);
        ui()->edt_evidence->setText(d);
    }
}

void TestEntry::checkDigitByTyping_data()
{
    QTest::addColumn<bool>("wagon");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("expected");
    QTest::newRow("21 80 2345 123") << true << "21802345123" << "8";
    QTest::newRow("00 00 0000 000") << true << "00000000000" << "0";
    QTest::newRow("99 99 9999 999") << true << "99999999999" << "1";
    QTest::newRow("51 54 0000 001") << true << "51540000001" << "1";
    QTest::newRow("754 001") << false << "754001" << "6";
    QTest::newRow("750 001") << false << "750001" << "0";
    QTest::newRow("163 001") << false << "163001" << "1";
    QTest::newRow("999 999") << false << "999999" << "6";
    QTest::newRow("000 000") << false << "000000" << "0";
}

void TestEntry::checkDigitByTyping()
{
    QFETCH(bool, wagon);
    QFETCH(QString, digits);
    QFETCH(QString, expected);
    if (!wagon)
        selectLocomotives();
    typeHere(digits);
    QCOMPARE(QApplication::focusWidget(), ui()->BitBtn_zadano);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(ui()->lbl_kontrolka->text(), expected);
    // What a screen reader hears.
    QCOMPARE(QAccessible::queryAccessibleInterface(ui()->lbl_kontrolka)->text(QAccessible::Name),
             "Kontrolní číslice " + expected);
    QCOMPARE(m_boxes->shown.size(), 0);
}

void TestEntry::focusFollowsTheTable_data()
{
    QTest::addColumn<bool>("wagon");
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<QStringList>("focusAfter");
    QTest::newRow("wagon") << true << QStringList{"2", "1", "8", "0", "234", "5", "12", "3"}
                           << QStringList{"edt_rezim", "edt_vlastnik", "edt_vlastnik", "edt_charakteristika",
                                          "edt_charakteristika", "edt_evidence", "edt_evidence", "BitBtn_zadano"};
    QTest::newRow("locomotive") << false << QStringList{"75", "4", "00", "1"}
                                << QStringList{"edt_rezim", "edt_vlastnik", "edt_vlastnik", "BitBtn_zadano"};
}

void TestEntry::focusFollowsTheTable()
{
    QFETCH(bool, wagon);
    QFETCH(QStringList, chunks);
    QFETCH(QStringList, focusAfter);
    if (!wagon)
        selectLocomotives();
    for (int i = 0; i < chunks.size(); ++i) {
        typeHere(chunks[i]);
        QCOMPARE(QApplication::focusWidget()->objectName(), focusAfter[i]);
    }
}

void TestEntry::enterInLastFieldComputes()
{
    fill("21", "80", "2345", "123");
    ui()->edt_evidence->setFocus();
    QTest::keyClick(ui()->edt_evidence, Qt::Key_Return);
    QCOMPARE(ui()->lbl_kontrolka->text(), QStringLiteral("8"));
    // A field that is not full: Enter still computes, and the check complains.
    ui()->edt_evidence->setText("12");
    ui()->edt_evidence->setFocus();
    QTest::keyClick(ui()->edt_evidence, Qt::Key_Enter);
    QCOMPARE(m_boxes->messages(), QStringList{QStringLiteral("neúplné zadání evidence !!")});
}

void TestEntry::enterOnRadioButtonComputes()
{
    fill("21", "80", "2345", "123");
    ui()->rbtn_vozy->setFocus();
    QTest::keyClick(ui()->rbtn_vozy, Qt::Key_Return);
    QCOMPARE(ui()->lbl_kontrolka->text(), QStringLiteral("8"));
}

// Enter in a shown list starts a new line; in the read-only view of a
// listing it writes nothing. Neither computes.
void TestEntry::enterInMemoMakesNewLine()
{
    fill("21", "80", "2345", "123");
    ui()->Memo1->showList(QStringLiteral("List režimů vozu"), QString());
    QWidget *editor = ui()->Memo1->editor();
    editor->setFocus();
    QTest::keyClicks(editor, "ab");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "cd");
    QCOMPARE(ui()->Memo1->text(), QStringLiteral("ab\ncd"));
    ui()->Memo1->showOutput(QStringLiteral("Výpisy"), QStringLiteral("výpis"));
    QWidget *view = ui()->Memo1->view();
    view->setFocus();
    QTest::keyClicks(view, "ab");
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(ui()->Memo1->text(), QStringLiteral("výpis"));
    QCOMPARE(ui()->lbl_kontrolka->text(), QStringLiteral("X"));
    QCOMPARE(m_boxes->shown.size(), 0);
}

void TestEntry::validation_data()
{
    QTest::addColumn<bool>("wagon");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("fieldsAfter");
    QTest::addColumn<QString>("kontrolka");

    const QString chybne = QStringLiteral("chybně zadané číslo!!");
    QTest::newRow("regime 5") << true << QStringList{"5", "80", "2345", "123"} << "neúplné zadání režimu !!"
                              << QStringList{"5", "80", "2345", "123"} << "X";
    QTest::newRow("regime 05") << true << QStringList{"05", "80", "2345", "123"} << "" << QStringList{"05", "80", "2345", "123"}
                               << "8";
    QTest::newRow("regime 0") << true << QStringList{"0", "80", "2345", "123"} << chybne
                              << QStringList{"0", "80", "2345", "123"} << "X";
    QTest::newRow("regime empty") << true << QStringList{"", "80", "2345", "123"} << "nekorektní zadání režimu !!"
                                  << QStringList{"", "80", "2345", "123"} << "X";
    QTest::newRow("owner 7") << true << QStringList{"21", "7", "2345", "123"} << "neúplné zadání vlastníka !!"
                             << QStringList{"21", "7", "2345", "123"} << "X";
    QTest::newRow("owner empty") << true << QStringList{"21", "", "2345", "123"} << "nekorektní zadání vlastníka !!"
                                 << QStringList{"21", "", "2345", "123"} << "X";
    QTest::newRow("characteristic 123") << true << QStringList{"21", "80", "123", "123"}
                                        << "neúplné zadání charakteristiky !!"
                                        << QStringList{"21", "80", "123", "123"} << "X";
    QTest::newRow("characteristic 0123") << true << QStringList{"21", "80", "0123", "123"} << ""
                                         << QStringList{"21", "80", "0123", "123"} << "0";
    QTest::newRow("characteristic 012") << true << QStringList{"21", "80", "012", "123"} << chybne
                                        << QStringList{"21", "80", "012", "123"} << "X";
    QTest::newRow("characteristic empty") << true << QStringList{"21", "80", "", "123"}
                                          << "nekorektní zadání charakteristiky !!"
                                          << QStringList{"21", "80", "", "123"} << "X";
    QTest::newRow("serial 12") << true << QStringList{"21", "80", "2345", "12"} << "neúplné zadání evidence !!"
                               << QStringList{"21", "80", "2345", "12"} << "X";
    QTest::newRow("serial 012") << true << QStringList{"21", "80", "2345", "012"} << ""
                                << QStringList{"21", "80", "2345", "012"} << "3";
    QTest::newRow("serial empty") << true << QStringList{"21", "80", "2345", ""} << "nekorektní zadání evidence !!"
                                  << QStringList{"21", "80", "2345", ""} << "X";
    QTest::newRow("series 12") << false << QStringList{"12", "001"} << "neúplné zadání řady" << QStringList{"12", "001"}
                               << "X";
    QTest::newRow("series 7") << false << QStringList{"7", "001"} << "neúplné zadání řady" << QStringList{"7", "001"}
                              << "X";
    QTest::newRow("series 007") << false << QStringList{"007", "001"} << "" << QStringList{"007", "001"} << "1";
    QTest::newRow("series -12") << false << QStringList{"-12", "001"} << chybne << QStringList{"-12", "001"} << "X";
    QTest::newRow("series of four digits") << false << QStringList{"7549", "001"} << "" << QStringList{"7549", "001"}
                                           << "6";
    QTest::newRow("series empty") << false << QStringList{"", "001"} << "nekorektní zadání řady" << QStringList{"", "001"}
                                  << "X";
    QTest::newRow("loco serial 12") << false << QStringList{"754", "12"} << "neúplné zadání evidence"
                                    << QStringList{"754", "12"} << "X";
    QTest::newRow("loco serial 100") << false << QStringList{"754", "100"} << "" << QStringList{"754", "100"} << "6";
    QTest::newRow("loco serial empty") << false << QStringList{"754", ""} << "nekorektní zadání evidence"
                                       << QStringList{"754", ""} << "X";
    QTest::newRow("loco serial -5") << false << QStringList{"754", "-5"} << "neúplné zadání evidence"
                                    << QStringList{"754", "-5"} << "X";
}

void TestEntry::validation()
{
    QFETCH(bool, wagon);
    QFETCH(QStringList, fields);
    QFETCH(QString, message);
    QFETCH(QStringList, fieldsAfter);
    QFETCH(QString, kontrolka);
    if (!wagon)
        selectLocomotives();
    fill(fields.value(0), fields.value(1), fields.value(2), fields.value(3));
    QTest::mouseClick(ui()->BitBtn_zadano, Qt::LeftButton);
    QCOMPARE(m_boxes->messages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(ui()->edt_rezim->text(), fieldsAfter.value(0));
    QCOMPARE(ui()->edt_vlastnik->text(), fieldsAfter.value(1));
    if (wagon) {
        QCOMPARE(ui()->edt_charakteristika->text(), fieldsAfter.value(2));
        QCOMPARE(ui()->edt_evidence->text(), fieldsAfter.value(3));
    }
    QCOMPARE(ui()->lbl_kontrolka->text(), kontrolka);
}

void TestEntry::placeholdersAtStart()
{
    QCOMPARE(ui()->edt_rezim->text(), QStringLiteral("XX"));
    QCOMPARE(ui()->edt_vlastnik->text(), QStringLiteral("XX"));
    QCOMPARE(ui()->edt_charakteristika->text(), QStringLiteral("XXXX"));
    QCOMPARE(ui()->edt_evidence->text(), QStringLiteral("XXX"));
    QTest::mouseClick(ui()->BitBtn_zadano, Qt::LeftButton);
    QCOMPARE(m_boxes->messages(), QStringList{QStringLiteral("nekorektní zadání režimu !!")});
    QCOMPARE(ui()->edt_rezim->text(), QString());
    QCOMPARE(ui()->edt_vlastnik->text(), QStringLiteral("XX"));
}

void TestEntry::letterEmptiesSilently()
{
    for (QLineEdit *field : {ui()->edt_rezim, ui()->edt_vlastnik, ui()->edt_charakteristika, ui()->edt_evidence}) {
        field->setText(QStringLiteral("1"));
        ui()->lbl_kontrolka->setText(QStringLiteral("5"));
        field->setFocus();
        field->end(false);
        QTest::keyClicks(field, QStringLiteral("a"));
        QCOMPARE(field->text(), QString());
        QCOMPARE(ui()->lbl_kontrolka->text(), QStringLiteral("X"));
    }
    QCOMPARE(m_boxes->shown.size(), 0);
}

void TestEntry::clickEmptiesField()
{
    fill("21", "80", "2345", "123");
    for (QLineEdit *field : {ui()->edt_rezim, ui()->edt_vlastnik, ui()->edt_charakteristika, ui()->edt_evidence}) {
        QTest::mouseClick(field, Qt::LeftButton);
        QCOMPARE(field->text(), QString());
        field->setText(QStringLiteral("1"));
        // Also when the field already has the focus.
        QTest::mouseClick(field, Qt::LeftButton);
        QCOMPARE(field->text(), QString());
    }
}

void TestEntry::anyChangeResetsCheckDigit()
{
    fill("21", "80", "2345", "123");
    QTest::mouseClick(ui()->BitBtn_zadano, Qt::LeftButton);
    QCOMPARE(ui()->lbl_kontrolka->text(), QStringLiteral("8"));
    ui()->edt_charakteristika->setFocus();
    QTest::keyClick(ui()->edt_charakteristika, Qt::Key_Backspace);
    QCOMPARE(ui()->lbl_kontrolka->text(), QStringLiteral("X"));
}

void TestEntry::switchingKinds()
{
    fill("21", "80", "2345", "123");
    selectLocomotives();
    QCOMPARE(ui()->edt_rezim->width(), 35);
    QCOMPARE(ui()->edt_vlastnik->width(), 35);
    QCOMPARE(ui()->edt_rezim->text(), QString());
    QCOMPARE(ui()->edt_vlastnik->text(), QString());
    QVERIFY(ui()->edt_charakteristika->isHidden());
    QVERIFY(ui()->edt_evidence->isHidden());
    QVERIFY(ui()->lbl_charakteristika->isHidden());
    QVERIFY(ui()->lbl_evidence->isHidden());
    QCOMPARE(ui()->lbl_rezim->text(), QStringLiteral("Řada"));
    QCOMPARE(ui()->lbl_vlastnik->text(), QStringLiteral("evidence"));
    QCOMPARE(ui()->Panel_kontrolka->x(), 120);
    QCOMPARE(form()->pocet_cislic, 6);
    QCOMPARE(QApplication::focusWidget(), ui()->edt_rezim);
    QCOMPARE(ui()->lbl_kontrolka->text(), QStringLiteral("X"));

    ui()->edt_rezim->setText("754");
    QTest::mouseClick(ui()->rbtn_vozy, Qt::LeftButton);
    QCOMPARE(ui()->edt_rezim->width(), 25);
    QCOMPARE(ui()->edt_vlastnik->width(), 25);
    QCOMPARE(ui()->edt_rezim->text(), QString());
    QCOMPARE(ui()->edt_vlastnik->text(), QString());
    QCOMPARE(ui()->edt_charakteristika->text(), QStringLiteral("2345"));
    QCOMPARE(ui()->edt_evidence->text(), QStringLiteral("123"));
    QVERIFY(!ui()->edt_charakteristika->isHidden());
    QVERIFY(!ui()->lbl_evidence->isHidden());
    QCOMPARE(ui()->lbl_rezim->text(), QStringLiteral("Režim"));
    QCOMPARE(ui()->lbl_vlastnik->text(), QStringLiteral("Vlastník"));
    QCOMPARE(ui()->Panel_kontrolka->x(), 264);
    QCOMPARE(form()->pocet_cislic, 11);
    QCOMPARE(QApplication::focusWidget(), ui()->edt_rezim);
}

void TestEntry::switchRunsOnKeysAndAccessibility()
{
    // Arrow keys move the selection inside the group.
    ui()->rbtn_vozy->setFocus();
    QTest::keyClick(ui()->rbtn_vozy, Qt::Key_Down);
    QVERIFY(ui()->rbtn_lokomotivy->isChecked());
    QCOMPARE(form()->pocet_cislic, 6);
    QCOMPARE(ui()->lbl_rezim->text(), QStringLiteral("Řada"));

    // A screen reader's press action.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(ui()->rbtn_vozy);
    QVERIFY(iface && iface->actionInterface());
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(ui()->rbtn_vozy->isChecked()); // the press is animated
    QCOMPARE(form()->pocet_cislic, 11);
    QCOMPARE(ui()->lbl_rezim->text(), QStringLiteral("Režim"));
}

void TestEntry::reselectingRunsNothing()
{
    ui()->edt_rezim->setText("21");
    ui()->edt_vlastnik->setText("80");
    QTest::mouseClick(ui()->rbtn_vozy, Qt::LeftButton);
    QCOMPARE(ui()->edt_rezim->text(), QStringLiteral("21"));
    QCOMPARE(ui()->edt_vlastnik->text(), QStringLiteral("80"));
}

void TestEntry::reactivationRefreshesLineCount()
{
    form()->databaze()->setLines({"Databáze vozy", "21802345123-8 dkv Plzeň domovska Cheb", "x"});
    form()->setPanel(0, QStringLiteral("Počet řádků 99"));
    form()->pocet_cislic = 0;
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    form()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form()));
    QCOMPARE(form()->panel(0), QStringLiteral("Počet řádků 3"));
    QCOMPARE(form()->pocet_cislic, 11);
}

// After another window (the splash, the add window) had the activation, the
// first digit typed replaces the placeholder instead of being lost.
void TestEntry::reactivationSelectsTheField()
{
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    form()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form()));
    QCOMPARE(QApplication::focusWidget(), ui()->edt_rezim);
    typeHere("21802345123");
    QCOMPARE(ui()->edt_rezim->text(), QStringLiteral("21"));
    QCOMPARE(ui()->edt_evidence->text(), QStringLiteral("123"));
    QCOMPARE(QApplication::focusWidget(), ui()->BitBtn_zadano);
}

void TestEntry::escapeDoesNothingWhileArrowsDisabled()
{
    ui()->Memo1->showOutput(QStringLiteral("Výpisy"), QStringLiteral("beze změny"));
    ui()->edt_rezim->setFocus();
    QTest::keyClick(ui()->edt_rezim, Qt::Key_Escape);
    QCOMPARE(ui()->Memo1->text(), QStringLiteral("beze změny"));
    QCOMPARE(ui()->lbl_databaze_memo->text(), QStringLiteral("Výpisy"));
    QCOMPARE(m_boxes->shown.size(), 0);
}

// Pastes over the field's selected text: by the paste keys, the context
// menu's "Vložit" or a drop.
void TestEntry::pasteInto(QLineEdit *field, const QString &how, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    field->setFocus();
    field->selectAll();
    if (how == u"menu") {
        QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(2, 2), field->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(field, &open);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *a : menu->actions())
            if (a->text().startsWith(QStringLiteral("&Vložit\t")))
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        QVERIFY2(!QApplication::activePopupWidget(), "no Vložit in the menu");
    } else if (how == u"drop") {
        QMimeData mime;
        mime.setText(text);
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(field, &enter);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(field, &drop);
    } else {
        const bool ctrlV = how == u"Ctrl+V";
        QTest::keyClick(field, ctrlV ? Qt::Key_V : Qt::Key_Insert, ctrlV ? Qt::ControlModifier : Qt::ShiftModifier);
    }
}

// From the placeholders: a whole number fills the fields of its kind and
// computes; other text goes by the field's rules ("X": nothing computed).
void TestEntry::paste_data()
{
    QTest::addColumn<bool>("fromLocomotives");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("kontrolka");
    QTest::addColumn<QString>("message");
    const QStringList wagon{"21", "80", "2345", "123"}, loco{"754", "001"};
    QTest::newRow("wagon, Ctrl+V") << false << "edt_rezim" << "Ctrl+V" << "21 80 2345 123-8" << wagon << "8" << "";
    QTest::newRow("wagon, dots, Shift+Insert") << false << "edt_evidence" << "Shift+Insert" << "21.80.2345.123"
                                               << wagon << "8" << "";
    QTest::newRow("wagon, table cell, menu") << false << "edt_vlastnik" << "menu"
                                             << QString::fromUtf16(u"21\u00a080\u00a02345\u00a0123-8\r\n") << wagon
                                             << "8" << "";
    QTest::newRow("wagon, drop") << false << "edt_charakteristika" << "drop" << "218023451238" << wagon << "8" << "";
    QTest::newRow("locomotive, kind switches, Ctrl+V") << false << "edt_charakteristika" << "Ctrl+V" << "754 001-6"
                                                       << loco << "6" << "";
    QTest::newRow("locomotive, menu") << true << "edt_vlastnik" << "menu" << "7540016" << loco << "6" << "";
    QTest::newRow("wagon, kind switches, menu") << true << "edt_rezim" << "menu" << "21 80 2345 123-8" << wagon
                                                << "8" << "";
    QTest::newRow("wrong digit, menu") << false << "edt_rezim" << "menu" << "754001-0" << loco << "6"
                                       << "Zadaná kontrolní číslice 0 nesouhlasí, správná je 6.";
    QTest::newRow("ten digits stay") << false << "edt_rezim" << "menu" << "1234567890"
                                     << QStringList{"1234567890", "XX", "XXXX", "XXX"} << "X" << "";
    QTest::newRow("a letter empties") << true << "edt_vlastnik" << "Shift+Insert" << "754 0a1-6"
                                      << QStringList{"", ""} << "X" << "";
}

void TestEntry::paste()
{
    QFETCH(bool, fromLocomotives);
    QFETCH(QString, field);
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QFETCH(QString, kontrolka);
    QFETCH(QString, message);
    if (fromLocomotives)
        selectLocomotives();
    pasteInto(child<QLineEdit>(form(), qPrintable(field)), how, text);
    QCOMPARE(m_boxes->messages(), message.isEmpty() ? QStringList() : QStringList{message});
    // The kind as its radio button switches it.
    QCOMPARE(form()->pocet_cislic, fields.size() == 4 ? 11 : 6);
    QStringList shown{ui()->edt_rezim->text(), ui()->edt_vlastnik->text()};
    if (fields.size() == 4)
        shown << ui()->edt_charakteristika->text() << ui()->edt_evidence->text();
    QCOMPARE(shown, fields);
    QCOMPARE(ui()->lbl_kontrolka->text(), kontrolka);
    // The report is written as usual.
    QCOMPARE(ui()->lbl_databaze_memo->text().endsWith(u'-' + kontrolka), kontrolka != u"X");
}

TRAKVID_TEST_MAIN(TestEntry)
#include "tst_entry.moc"
