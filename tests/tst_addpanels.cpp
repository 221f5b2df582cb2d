// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The technical and maintenance panels of the add window: shown by the two
// settings, the window's height, the date buttons, and no effect on the lines.
#include "addwindow_util.h"

#include <QCalendarWidget>
#include <QFrame>

using namespace addtest;

namespace {
const QString HDR_LOKO = QStringLiteral("Databáze lokomotivy");

void setSettings(TForm1 *form1, bool technika, bool udrzba)
{
    child<QAction>(form1, "technika")->setChecked(technika);
    child<QAction>(form1, "udrzba")->setChecked(udrzba);
}

// Types into every field of both panels and writes all four dates.
void fillPanels(TForm_databaze *dlg)
{
    auto type = [](QWidget *w, const QString &text) {
        w->setFocus();
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->selectAll();
        if (auto *spin = qobject_cast<QSpinBox *>(w))
            spin->selectAll();
        QTest::keyClicks(w, text);
    };
    type(child<QSpinBox>(dlg, "sedt_rok"), QStringLiteral("1985"));
    type(child<QLineEdit>(dlg, "Ledt_podvozek"), QStringLiteral("Y25 pj 7"));
    type(child<QLineEdit>(dlg, "ledt_vyrobce"), QStringLiteral("Skoda Plzen domovska"));
    type(child<QComboBox>(dlg, "ComboBoxEx1")->lineEdit(), QStringLiteral("3"));
    type(child<QComboBox>(dlg, "cbe_opravna")->lineEdit(), QStringLiteral("ck"));
    type(child<QLineEdit>(dlg, "LabeledEdit1"), QStringLiteral("123456"));
    child<QCalendarWidget>(dlg, "kalendar")->setSelectedDate(QDate(2009, 1, 31));
    for (const char *button : {"btn_datum_revize", "btn_pm", "btn_po", "btn_kotouce"})
        press(dlg, button);
}
} // namespace

class TestAddPanels : public QObject
{
    Q_OBJECT
private slots:
    void panelsAndHeight_data();
    void panelsAndHeight();
    void settingChangedWhileOpen();
    void dateButtons_data();
    void dateButtons();
    void panelLayout();
    void linesSameWhateverPanelsHold_data();
    void linesSameWhateverPanelsHold();
    void valuesKeptBetweenOpenings();
};

void TestAddPanels::panelsAndHeight_data()
{
    QTest::addColumn<bool>("technika");
    QTest::addColumn<bool>("udrzba");
    QTest::addColumn<int>("height");
    QTest::newRow("neither") << false << false << 300;
    QTest::newRow("technical only") << true << false << 300;
    QTest::newRow("maintenance only") << false << true << 511;
    QTest::newRow("both") << true << true << 511;
}

void TestAddPanels::panelsAndHeight()
{
    QFETCH(bool, technika);
    QFETCH(bool, udrzba);
    QFETCH(int, height);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    setSettings(w.form1.get(), technika, udrzba);
    QVERIFY(openFor(w, QStringLiteral("754001")));
    TForm_databaze *dlg = w.form_databaze;
    QCOMPARE(child<QFrame>(dlg, "Panel_technika")->isVisible(), technika);
    QCOMPARE(child<QFrame>(dlg, "Panel_udrzba")->isVisible(), udrzba);
    QCOMPARE(dlg->frameGeometry().height(), height);
    QCOMPARE(dlg->frameGeometry().width(), 381);
    // The panels keep their places; the height shows or cuts the maintenance panel.
    QCOMPARE(child<QFrame>(dlg, "Panel_technika")->geometry(), QRect(0, 152, 369, 97));
    QCOMPARE(child<QFrame>(dlg, "Panel_udrzba")->geometry(), QRect(0, 256, 369, 217));
    const int inside = dlg->geometry().height();
    QCOMPARE(inside >= 256 + 217, udrzba);
    QVERIFY(inside >= 152 + 97);
}

void TestAddPanels::settingChangedWhileOpen()
{
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm_databaze *dlg = w.form_databaze;
    setSettings(w.form1.get(), false, false);
    QVERIFY(openFor(w, QStringLiteral("754001")));
    QCOMPARE(dlg->frameGeometry().height(), 300);
    setSettings(w.form1.get(), true, true);
    QVERIFY(!child<QFrame>(dlg, "Panel_udrzba")->isVisible());
    // Takes effect at the next activation.
    QVERIFY(reactivate(w));
    QVERIFY(child<QFrame>(dlg, "Panel_technika")->isVisible());
    QVERIFY(child<QFrame>(dlg, "Panel_udrzba")->isVisible());
    QCOMPARE(dlg->frameGeometry().height(), 511);
    setSettings(w.form1.get(), true, false);
    QVERIFY(reactivate(w));
    QVERIFY(!child<QFrame>(dlg, "Panel_udrzba")->isVisible());
    QCOMPARE(dlg->frameGeometry().height(), 300);
}

void TestAddPanels::dateButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("initial");
    QTest::newRow("datum revize") << "btn_datum_revize" << "lbl_revize" << "Datum revize";
    QTest::newRow("Příští PM") << "btn_pm" << "lbl_pm" << "Datum PM";
    QTest::newRow("Příští PO") << "btn_po" << "lbl_po" << "Datum PO";
    QTest::newRow("Příští kotouče") << "btn_kotouce" << "lbl_kotouce" << "Datum kotouče";
}

void TestAddPanels::dateButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, label);
    QFETCH(QString, initial);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    setSettings(w.form1.get(), false, true);
    QVERIFY(openFor(w, QStringLiteral("754001")));
    TForm_databaze *dlg = w.form_databaze;
    auto *target = child<QLabel>(dlg, label.toLatin1().constData());
    QCOMPARE(target->text(), initial);

    // Before any date is chosen the calendar holds 15 April 2008.
    press(dlg, button.toLatin1().constData());
    QCOMPARE(target->text(), QStringLiteral("15. dubna 2008"));

    // A chosen date, as it is: nothing added, nothing compared.
    child<QCalendarWidget>(dlg, "kalendar")->setSelectedDate(QDate(2011, 11, 3));
    press(dlg, button.toLatin1().constData());
    QCOMPARE(target->text(), QStringLiteral("3. listopadu 2011"));

    // The other three labels are left alone.
    for (const char *other : {"lbl_revize", "lbl_pm", "lbl_po", "lbl_kotouce"}) {
        if (label != QLatin1String(other))
            QVERIFY(child<QLabel>(dlg, other)->text().startsWith(QStringLiteral("Datum")));
    }
}

void TestAddPanels::panelLayout()
{
    WorkDir wd;
    Windows w;
    TForm_databaze *dlg = w.form_databaze;
    QCOMPARE(child<QCalendarWidget>(dlg, "kalendar")->selectedDate(), QDate(2008, 4, 15));
    QCOMPARE(child<QLineEdit>(dlg, "Ledt_podvozek")->text(), QString());
    QCOMPARE(child<QLineEdit>(dlg, "ledt_vyrobce")->text(), QString());
    QCOMPARE(child<QLineEdit>(dlg, "LabeledEdit1")->text(), QString());
    // Each labelled edit has its label just above it.
    for (const char *name : {"Ledt_podvozek", "ledt_vyrobce", "LabeledEdit1"}) {
        auto *edit = child<QLineEdit>(dlg, name);
        auto *label = child<QLabel>(dlg, (QByteArray(name) + "_lbl").constData());
        QCOMPARE(label->buddy(), edit);
        QVERIFY(label->geometry().bottom() < edit->geometry().top());
        QCOMPARE(label->x(), edit->x());
    }
    QCOMPARE(child<QLineEdit>(dlg, "Ledt_podvozek")->geometry().topLeft(), QPoint(144, 24));
    QCOMPARE(child<QLineEdit>(dlg, "ledt_vyrobce")->width(), 353);
    QCOMPARE(child<QCalendarWidget>(dlg, "kalendar")->geometry(), QRect(176, 55, 191, 154));
}

void TestAddPanels::linesSameWhateverPanelsHold_data()
{
    QTest::addColumn<bool>("technika");
    QTest::addColumn<bool>("udrzba");
    QTest::addColumn<bool>("filled");
    for (bool filled : {false, true}) {
        QTest::addRow("neither, %s", filled ? "filled" : "untouched") << false << false << filled;
        QTest::addRow("technical, %s", filled ? "filled" : "untouched") << true << false << filled;
        QTest::addRow("maintenance, %s", filled ? "filled" : "untouched") << false << true << filled;
        QTest::addRow("both, %s", filled ? "filled" : "untouched") << true << true << filled;
    }
}

void TestAddPanels::linesSameWhateverPanelsHold()
{
    QFETCH(bool, technika);
    QFETCH(bool, udrzba);
    QFETCH(bool, filled);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    TForm_databaze *dlg = w.form_databaze;
    setSettings(f1, technika, udrzba);
    showDatabase(f1, LOKO, {HDR_LOKO});

    QVERIFY(openFor(w, QStringLiteral("754001")));
    if (filled)
        fillPanels(dlg);
    setAllocation(dlg, QStringLiteral("Brno"), QStringLiteral("Olomouc"));
    press(dlg, "bitbtn_pridat");
    QVERIFY(openFor(w, QStringLiteral("754005")));
    auto *spin = child<QSpinBox>(dlg, "sedt_serie");
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("7"));
    press(dlg, "btn_serie");

    const QStringList expected = {HDR_LOKO, QStringLiteral("754001-6 dkv Brno pj Olomouc"),
                                  QStringLiteral("754005-7 dkv Brno pj Olomouc"),
                                  QStringLiteral("754006-5 dkv Brno pj Olomouc"),
                                  QStringLiteral("754007-3 dkv Brno pj Olomouc")};
    QCOMPARE(lines(f1), expected);
    QVERIFY(f1->saveDatabaseTo(QStringLiteral("lokomotivy.txt")));
    QCOMPARE(readFile(QStringLiteral("lokomotivy.txt")), crlfLines(expected));
    QVERIFY(boxes.shown.isEmpty());
}

void TestAddPanels::valuesKeptBetweenOpenings()
{
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm_databaze *dlg = w.form_databaze;
    setSettings(w.form1.get(), true, true);
    QVERIFY(openFor(w, QStringLiteral("754001")));
    fillPanels(dlg);
    press(dlg, "BitBtn_zavrit");
    QVERIFY(openFor(w, QStringLiteral("21802345123")));
    QCOMPARE(child<QSpinBox>(dlg, "sedt_rok")->value(), 1985);
    QCOMPARE(child<QLineEdit>(dlg, "Ledt_podvozek")->text(), QStringLiteral("Y25 pj 7"));
    QCOMPARE(child<QComboBox>(dlg, "cbe_opravna")->currentText(), QStringLiteral("ck"));
    QCOMPARE(child<QLineEdit>(dlg, "LabeledEdit1")->text(), QStringLiteral("123456"));
    QCOMPARE(child<QLabel>(dlg, "lbl_kotouce")->text(), QStringLiteral("31. ledna 2009"));
    QCOMPARE(child<QCalendarWidget>(dlg, "kalendar")->selectedDate(), QDate(2009, 1, 31));
}

TRAKVID_TEST_MAIN(TestAddPanels)
#include "tst_addpanels.moc"
