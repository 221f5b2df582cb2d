// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Runs of serials written by "Přidat sérii do": numbers, check digits, the
// block write with its in-step replacement, the append and the unreadable file.
#include "addwindow_util.h"

using namespace addtest;

namespace {
const QString HDR_LOKO = QStringLiteral("Databáze lokomotivy");
const QString HDR_VOZY = QStringLiteral("Databáze vozy");

QString old(const QString &number, bool lokomotiva = true)
{
    return number + (lokomotiva ? QStringLiteral(" dkv Plzeň pj Trutnov") : QStringLiteral(" dkv Plzeň domovska Trutnov"));
}
QString neu(const QString &number, bool lokomotiva = true)
{
    return number + (lokomotiva ? QStringLiteral(" dkv Česká Třebová pj Hradec Králové")
                                : QStringLiteral(" dkv Česká Třebová domovska Hradec Králové"));
}
QStringList neuAll(const QStringList &numbers, bool lokomotiva = true)
{
    QStringList result;
    for (const QString &n : numbers)
        result << neu(n, lokomotiva);
    return result;
}

// The check digit as a validator sees it: the whole number with its check
// digit must give a Luhn sum divisible by ten, counting from the right with
// the check digit itself undoubled.
int luhnCheckDigit(const QString &digits)
{
    for (int candidate = 0; candidate <= 9; ++candidate) {
        const QString full = digits + QString::number(candidate);
        int sum = 0;
        for (int i = 0; i < full.size(); ++i) {
            int d = full[full.size() - 1 - i].digitValue();
            if (i % 2 == 1) {
                d *= 2;
                d = d / 10 + d % 10;
            }
            sum += d;
        }
        if (sum % 10 == 0)
            return candidate;
    }
    return -1;
}

// Types the last serial as the user does; empty text clears the field.
void typeLastSerial(TForm_databaze *dlg, const QString &text)
{
    auto *spin = child<QSpinBox>(dlg, "sedt_serie");
    spin->setFocus();
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Delete);
    QTest::keyClicks(spin, text);
}

QString fileOf(const QString &caption)
{
    return caption == LOKO ? QStringLiteral("lokomotivy.txt") : QStringLiteral("vozy.txt");
}
} // namespace

class TestSeries : public QObject
{
    Q_OBJECT
private slots:
    void runs_data();
    void runs();
    void unreadableDatabase_data();
    void unreadableDatabase();
    void fullRunCheckDigits_data();
    void fullRunCheckDigits();
    void lastSerialAsTyped_data();
    void lastSerialAsTyped();
    void enterAddsOneVehicle();
    void allocationTexts();
    void changesMadeAfterOpening();
};

void TestSeries::runs_data()
{
    QTest::addColumn<QString>("shown"); // "Databáze": the press loads the target
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("last"); // typed into sedt_serie; empty: as the activation set it
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("result");

    const QString none = QStringLiteral("Databáze");
    const QString lokoDone = QStringLiteral("hnací vozidla zapsána");
    QTest::newRow("754001-6 to 003 in front of greater keys")
        << LOKO << LOKO << QStringList{HDR_LOKO, old("754005-7")} << "754001" << "3"
        << QStringList{HDR_LOKO} + neuAll({"754001-6", "754002-4", "754003-2"}) + QStringList{old("754005-7")}
        << lokoDone;
    QTest::newRow("same, database loaded by the press")
        << none << LOKO << QStringList{HDR_LOKO, old("754005-7")} << "754001" << "3"
        << QStringList{HDR_LOKO} + neuAll({"754001-6", "754002-4", "754003-2"}) + QStringList{old("754005-7")}
        << lokoDone;
    QTest::newRow("wagon run 21802345001-6 to 003-2")
        << VOZY << VOZY << QStringList{HDR_VOZY, old("31802345001-4", false)} << "21802345001" << "3"
        << QStringList{HDR_VOZY} + neuAll({"21802345001-6", "21802345002-4", "21802345003-2"}, false)
               + QStringList{old("31802345001-4", false)}
        << "vozy zapsány";
    QTest::newRow("serials 008 to 010")
        << LOKO << LOKO << QStringList{HDR_LOKO, old("754101-4")} << "754008" << "10"
        << QStringList{HDR_LOKO} + neuAll({"754008-1", "754009-9", "754010-7"}) + QStringList{old("754101-4")}
        << lokoDone;
    QTest::newRow("serials 099 to 100")
        << LOKO << LOKO << QStringList{HDR_LOKO, old("754101-4")} << "754099" << ""
        << QStringList{HDR_LOKO} + neuAll({"754099-0", "754100-6"}) + QStringList{old("754101-4")} << lokoDone;
    QTest::newRow("002 and 003 replaced by a run 001 to 004")
        << LOKO << LOKO << QStringList{HDR_LOKO, old("754002-4"), old("754003-2"), old("754005-7")} << "754001"
        << "4"
        << QStringList{HDR_LOKO} + neuAll({"754001-6", "754002-4", "754003-2", "754004-0"})
               + QStringList{old("754005-7")}
        << lokoDone;
    QTest::newRow("bookmark in the block keeps the old 003")
        << LOKO << LOKO << QStringList{HDR_LOKO, old("754002-4"), QStringLiteral("Depo"), old("754003-2")}
        << "754002" << "4"
        << QStringList{HDR_LOKO} + neuAll({"754002-4", "754003-2", "754004-0"})
               + QStringList{QStringLiteral("Depo"), old("754003-2")}
        << lokoDone;
    QTest::newRow("bookmark above the start: the block goes below it")
        << LOKO << LOKO << QStringList{HDR_LOKO, old("754001-6"), QStringLiteral("Depo"), old("754005-7")}
        << "754002" << "3"
        << QStringList{HDR_LOKO, old("754001-6"), QStringLiteral("Depo")} + neuAll({"754002-4", "754003-2"})
               + QStringList{old("754005-7")}
        << lokoDone;
    QTest::newRow("wagon run appended: vůz zapsán")
        << VOZY << VOZY << QStringList{HDR_VOZY, old("21802345001-6", false)} << "21802345002" << "4"
        << QStringList{HDR_VOZY, old("21802345001-6", false)}
               + neuAll({"21802345002-4", "21802345003-2", "21802345004-0"}, false)
        << "vůz zapsán";
    QTest::newRow("locomotive run appended")
        << LOKO << LOKO << QStringList{HDR_LOKO, old("754001-6")} << "754005" << "7"
        << QStringList{HDR_LOKO, old("754001-6")} + neuAll({"754005-7", "754006-5", "754007-3"}) << lokoDone;
    QTest::newRow("serial 999 alone replaces its line")
        << LOKO << LOKO << QStringList{HDR_LOKO, old("754001-6"), old("754999-1")} << "754999" << ""
        << QStringList{HDR_LOKO, old("754001-6"), neu("754999-1")} << lokoDone;
}

void TestSeries::runs()
{
    QFETCH(QString, shown);
    QFETCH(QString, target);
    QFETCH(QStringList, before);
    QFETCH(QString, digits);
    QFETCH(QString, last);
    QFETCH(QStringList, after);
    QFETCH(QString, result);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    TForm_databaze *dlg = w.form_databaze;
    if (shown == target)
        showDatabase(f1, target, before);
    else
        writeLines(fileOf(target), before);

    QVERIFY(openFor(w, digits));
    setAllocation(dlg, QStringLiteral("Česká Třebová"), QStringLiteral("Hradec Králové"));
    if (!last.isEmpty())
        typeLastSerial(dlg, last);
    press(dlg, "btn_serie");

    QCOMPARE(lines(f1), after);
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(addtest::result(dlg), result);
    QCOMPARE(child<QLabel>(f1, "lbl_databaze")->text(), target);
    QCOMPARE(f1->panel(0), QStringLiteral("Počet řádků: %1").arg(after.size() - 1));
    QCOMPARE(f1->panel(2), QStringLiteral("1"));
    QVERIFY(!child<QPushButton>(dlg, "btn_serie")->isEnabled());
    // "Přidat vozidlo" waits for the next activation.
    QVERIFY(!child<QPushButton>(dlg, "bitbtn_pridat")->isEnabled());
    press(dlg, "bitbtn_pridat");
    QCOMPARE(lines(f1), after);
    QVERIFY(f1->saveDatabaseTo(fileOf(target)));
    QCOMPARE(readFile(fileOf(target)), crlfLines(after));
}

void TestSeries::unreadableDatabase_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("result");
    QTest::newRow("locomotives") << "754001" << neuAll({"754001-6", "754002-4", "754003-2"})
                                 << "hnací vozidla zapsána";
    QTest::newRow("wagons") << "21802345001" << neuAll({"21802345001-6", "21802345002-4", "21802345003-2"}, false)
                            << "Vozy zapsány";
}

void TestSeries::unreadableDatabase()
{
    QFETCH(QString, digits);
    QFETCH(QStringList, after);
    QFETCH(QString, result);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    QVERIFY(openFor(w, digits));
    setAllocation(w.form_databaze, QStringLiteral("Česká Třebová"), QStringLiteral("Hradec Králové"));
    typeLastSerial(w.form_databaze, QStringLiteral("3"));
    press(w.form_databaze, "btn_serie");
    // The list starts afresh with the run alone, without a header.
    QCOMPARE(lines(f1), after);
    QCOMPARE(f1->panel(0), QStringLiteral("Počet řádků: 3"));
    QCOMPARE(f1->panel(2), QStringLiteral("1"));
    QCOMPARE(addtest::result(w.form_databaze), result);
    QVERIFY(boxes.shown.isEmpty());
}

void TestSeries::fullRunCheckDigits_data()
{
    QTest::addColumn<QString>("digits");
    QTest::newRow("locomotives 754001 to 754999") << "754001";
    QTest::newRow("wagons 21802345001 to 21802345999") << "21802345001";
    QTest::newRow("wagons 99999999001 to 99999999999") << "99999999001";
}

void TestSeries::fullRunCheckDigits()
{
    QFETCH(QString, digits);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    const bool lokomotiva = digits.size() == 6;
    showDatabase(f1, lokomotiva ? LOKO : VOZY, {lokomotiva ? HDR_LOKO : HDR_VOZY});
    QVERIFY(openFor(w, digits));
    setAllocation(w.form_databaze, QStringLiteral("Česká Třebová"), QStringLiteral("Hradec Králové"));
    typeLastSerial(w.form_databaze, QStringLiteral("999"));
    press(w.form_databaze, "btn_serie");

    const QStringList all = lines(f1);
    QCOMPARE(all.size(), 1000);
    const QString prefix = digits.left(digits.size() - 3);
    const QString tail = neu(QString(), lokomotiva);
    for (int serial = 1; serial <= 999; ++serial) {
        const QString number = prefix + QStringLiteral("%1").arg(serial, 3, 10, QLatin1Char('0'));
        const QString line = all[serial];
        QVERIFY2(line.startsWith(number + QLatin1Char('-')), qPrintable(line));
        QCOMPARE(line.mid(number.size() + 2), tail);
        QCOMPARE(line.mid(number.size() + 1, 1).toInt(), luhnCheckDigit(number));
    }
    QCOMPARE(addtest::result(w.form_databaze), lokomotiva ? QStringLiteral("hnací vozidla zapsána")
                                                         : QStringLiteral("vůz zapsán"));
    QCOMPARE(f1->panel(0), QStringLiteral("Počet řádků: 999"));
}

void TestSeries::lastSerialAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("run");
    // The activation set the limit to 043: a value below goes to it, no number counts as it.
    QTest::newRow("below the lower limit") << "5" << QStringList{"754042-0", "754043-8"};
    QTest::newRow("emptied") << "" << QStringList{"754042-0", "754043-8"};
    QTest::newRow("within the limits") << "45" << QStringList{"754042-0", "754043-8", "754044-6", "754045-3"};
}

void TestSeries::lastSerialAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, run);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    showDatabase(f1, LOKO, {HDR_LOKO});
    QVERIFY(openFor(w, QStringLiteral("754042")));
    setAllocation(w.form_databaze, QStringLiteral("Česká Třebová"), QStringLiteral("Hradec Králové"));
    typeLastSerial(w.form_databaze, typed);
    press(w.form_databaze, "btn_serie");
    QCOMPARE(lines(f1), QStringList{HDR_LOKO} + neuAll(run));
}

void TestSeries::enterAddsOneVehicle()
{
    // Enter in the spin edit performs the default button: the shown vehicle alone.
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    showDatabase(f1, LOKO, {HDR_LOKO});
    QVERIFY(openFor(w, QStringLiteral("754001")));
    setAllocation(w.form_databaze, QStringLiteral("Česká Třebová"), QStringLiteral("Hradec Králové"));
    typeLastSerial(w.form_databaze, QStringLiteral("5"));
    QTest::keyClick(child<QSpinBox>(w.form_databaze, "sedt_serie"), Qt::Key_Return);
    QCOMPARE(lines(f1), (QStringList{HDR_LOKO, neu("754001-6")}));
    QCOMPARE(addtest::result(w.form_databaze), QStringLiteral("hnací vozidlo zapsáno"));
}

void TestSeries::allocationTexts()
{
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    showDatabase(f1, LOKO, {HDR_LOKO});
    QVERIFY(openFor(w, QStringLiteral("754001")));
    auto *dkv = child<QComboBox>(w.form_databaze, "cmb_dkv");
    auto *pj = child<QComboBox>(w.form_databaze, "cmb_domovka");
    typeLastSerial(w.form_databaze, QStringLiteral("2"));

    // A character outside Windows-1250 is refused before anything is written.
    dkv->setEditText(QStringLiteral("Česká Třebová"));
    pj->setEditText(QStringLiteral("Hradec Králové ★"));
    press(w.form_databaze, "btn_serie");
    QCOMPARE(boxes.messages(),
             QStringList{QStringLiteral("Text v poli \"Provozní jednotka\" obsahuje znak \"★\", který nelze uložit do "
                                        "databáze (kódování Windows-1250). Nic nebylo zapsáno.")});
    QCOMPARE(lines(f1), QStringList{HDR_LOKO});
    QVERIFY(child<QPushButton>(w.form_databaze, "btn_serie")->isEnabled());

    // A pasted line break becomes a blank in every line of the run.
    dkv->setEditText(QStringLiteral("Česká\nTřebová"));
    pj->setEditText(QStringLiteral("Hradec Králové"));
    press(w.form_databaze, "btn_serie");
    QCOMPARE(lines(f1), QStringList{HDR_LOKO} + neuAll({"754001-6", "754002-4"}));
    QCOMPARE(boxes.shown.size(), 1);
}

void TestSeries::changesMadeAfterOpening()
{
    // Wagon changes made after the window opened are not dropped silently by
    // the run that loads the locomotives.
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    writeLines(QStringLiteral("lokomotivy.txt"), {HDR_LOKO});
    showDatabase(f1, VOZY, {HDR_VOZY, old("21802345001-6", false)});
    boxes.no();
    QVERIFY(openFor(w, QStringLiteral("754001")));
    setAllocation(w.form_databaze, QStringLiteral("Česká Třebová"), QStringLiteral("Hradec Králové"));
    typeLastSerial(w.form_databaze, QStringLiteral("2"));
    f1->databaze()->appendLine(QStringLiteral("nová záložka"));
    f1->raiseChangeCount();
    const QStringList edited = lines(f1);
    QVERIFY(reactivate(w));
    typeLastSerial(w.form_databaze, QStringLiteral("2"));
    boxes.yes();
    press(w.form_databaze, "btn_serie");
    QCOMPARE(boxes.unexpected, 0);
    QCOMPARE(boxes.texts(boxes::Kind::ThreeWay),
             (QStringList{QStringLiteral("Chcete uložit změny v databázi vozy? "),
                          QStringLiteral("Chcete uložit změny v databázi vozy? ")}));
    QCOMPARE(readFile(QStringLiteral("vozy.txt")), crlfLines(edited));
    QCOMPARE(lines(f1), QStringList{HDR_LOKO} + neuAll({"754001-6", "754002-4"}));
}

TRAKVID_TEST_MAIN(TestSeries)
#include "tst_series.moc"
