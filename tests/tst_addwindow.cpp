// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The add window with one vehicle: opening, activation, the place of the new
// line, the questions, edits of a line and the texts of the allocation.
#include "addwindow_util.h"

using namespace addtest;

namespace {
const QString HDR_LOKO = QStringLiteral("Databáze lokomotivy");
const QString HDR_VOZY = QStringLiteral("Databáze vozy");
const QString BOOKMARK_Q = QStringLiteral("Vozidlo bude zapsáno za záložku \"%1\". Chcete ho zapsat před ní?");

QString loko(const QString &number, const QString &dkv = QStringLiteral("Plzeň"),
             const QString &pj = QStringLiteral("Trutnov"))
{
    return number + QStringLiteral(" dkv ") + dkv + QStringLiteral(" pj ") + pj;
}
QString vuz(const QString &number, const QString &dkv = QStringLiteral("Plzeň"),
            const QString &domovka = QStringLiteral("Trutnov"))
{
    return number + QStringLiteral(" dkv ") + dkv + QStringLiteral(" domovska ") + domovka;
}
// The line the tests write: DKV Praha, second text Cheb.
QString newLoko(const QString &number) { return loko(number, QStringLiteral("Praha"), QStringLiteral("Cheb")); }
QString newVuz(const QString &number) { return vuz(number, QStringLiteral("Praha"), QStringLiteral("Cheb")); }

void queue(ScriptedBoxes &boxes, const QStringList &answers)
{
    for (const QString &a : answers) {
        if (a == QLatin1String("yes"))
            boxes.yes();
        else if (a == QLatin1String("no"))
            boxes.no();
        else
            boxes.cancel();
    }
}

QString fileOf(const QString &caption)
{
    return caption == LOKO ? QStringLiteral("lokomotivy.txt") : QStringLiteral("vozy.txt");
}
} // namespace

class TestAddWindow : public QObject
{
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void windowKind();
    void noVehicle_data();
    void noVehicle();
    void opening_data();
    void opening();
    void labelSwapsByKind();
    void saveQuestionWhenKindsDiffer_data();
    void saveQuestionWhenKindsDiffer();
    void placeOfNewLine_data();
    void placeOfNewLine();
    void sameVehicleTwice_data();
    void sameVehicleTwice();
    void unreadableDatabase_data();
    void unreadableDatabase();
    void editReplacesItsLine_data();
    void editReplacesItsLine();
    void editFromTheMainWindow();
    void editWithOtherDatabaseShown();
    void editNeverOverwritesAnotherLine_data();
    void editNeverOverwritesAnotherLine();
    void allocationTexts_data();
    void allocationTexts();
    void changesMadeAfterOpening_data();
    void changesMadeAfterOpening();
    void buttonsAfterWrite();
    void keyboardAndClosing();
};

// ---- layout -------------------------------------------------------------------

void TestAddWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const QList<std::pair<const char *, QString>> texts = {
        {"lbl_databaze", QStringLiteral("Přidat do databáze")},
        {"lbl_vozidlo", QStringLiteral("vozidlo")},
        {"lbl_dkv", QStringLiteral("DKV")},
        {"lbl_domovka", QStringLiteral("Provozní jednotka")},
        {"btn_serie", QStringLiteral("Přidat sérii do")},
        {"bitbtn_pridat", QStringLiteral("Přidat vozidlo")},
        {"BitBtn_zavrit", QStringLiteral("zavřít")},
        {"lbl_rok", QStringLiteral("Rok výroby")},
        {"Ledt_podvozek_lbl", QStringLiteral("Typ podvozku")},
        {"ledt_vyrobce_lbl", QStringLiteral("Výrobce")},
        {"lnl_rev", QStringLiteral("REV")},
        {"btn_datum_revize", QStringLiteral("datum revize")},
        {"lbl_revize", QStringLiteral("Datum revize")},
        {"LabeledEdit1_lbl", QStringLiteral("Ujeto kilometrů")},
        {"btn_pm", QStringLiteral("Příští PM")},
        {"lbl_pm", QStringLiteral("Datum PM")},
        {"btn_po", QStringLiteral("Příští PO")},
        {"lbl_po", QStringLiteral("Datum PO")},
        {"btn_kotouce", QStringLiteral("Příští kotouče")},
        {"lbl_kotouce", QStringLiteral("Datum kotouče")},
    };
    for (const auto &[name, text] : texts)
        QTest::newRow(name) << QString::fromLatin1(name) << text;
}

void TestAddWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    WorkDir wd;
    Windows w;
    QObject *o = w.form_databaze->findChild<QObject *>(name);
    QVERIFY2(o, qPrintable(name));
    QCOMPARE(o->property("text").toString(), text);
}

void TestAddWindow::windowKind()
{
    WorkDir wd;
    Windows w;
    TForm_databaze *dlg = w.form_databaze;
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Databáze vozidel"));
    QVERIFY(!dlg->isModal());
    QVERIFY(!dlg->isVisible());
    QVERIFY(dlg->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(dlg->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    auto *dkv = child<QComboBox>(dlg, "cmb_dkv");
    auto *domovka = child<QComboBox>(dlg, "cmb_domovka");
    auto items = [](QComboBox *c) {
        QStringList list;
        for (int i = 0; i < c->count(); ++i)
            list << c->itemText(i);
        return list;
    };
    QCOMPARE(items(dkv), (QStringList{"Česká Třebová", "Plzeň", "Praha", "Ostrava", "Brno", "Ústí nad Labem"}));
    QCOMPARE(items(domovka),
             (QStringList{"Hradec Králové", "Trutnov", "Meziměstí", "Liberec", "České Budějovice", "Pardubice",
                          "Letohrad", "Přerov", "Praha", "Brno", "Olomouc", "Břeclav", "Cheb", "Nymburk"}));
    QVERIFY(dkv->isEditable() && domovka->isEditable());
    QCOMPARE(dkv->currentText(), QString());
    QCOMPARE(domovka->currentText(), QString());
    QCOMPARE(child<QComboBox>(dlg, "ComboBoxEx1")->currentText(), QStringLiteral("1"));
    QCOMPARE(child<QComboBox>(dlg, "ComboBoxEx1")->count(), 0);
    QCOMPARE(child<QComboBox>(dlg, "cbe_opravna")->currentText(), QStringLiteral("pl"));

    auto *serie = child<QSpinBox>(dlg, "sedt_serie");
    QCOMPARE(serie->minimum(), 0);
    QCOMPARE(serie->maximum(), 999);
    QCOMPARE(serie->value(), 0);
    auto *rok = child<QSpinBox>(dlg, "sedt_rok");
    QCOMPARE(rok->minimum(), 1900);
    QCOMPARE(rok->maximum(), 2050);
    QCOMPARE(rok->value(), 1900);
    QCOMPARE(child<QPushButton>(dlg, "btn_serie")->toolTip(), QStringLiteral("Série inventárních čísel"));

    auto *pridat = child<QPushButton>(dlg, "bitbtn_pridat");
    QVERIFY(pridat->isDefault());
    QVERIFY(!pridat->icon().isNull());
    QVERIFY(!child<QPushButton>(dlg, "BitBtn_zavrit")->icon().isNull());
    QCOMPARE(child<QLabel>(dlg, "lbl_vozidlo")->font().pointSize(), 12);
    QVERIFY(child<QLabel>(dlg, "lnl_rev")->font().bold());

    ScriptedBoxes boxes;
    QVERIFY(openFor(w, QStringLiteral("754001")));
    QCOMPARE(dlg->frameGeometry().width(), 381);
    // Every result text whole, clear of the vehicle text; "<b>" stays text.
    auto *result = child<QLabel>(dlg, "lbl_databaze");
    auto *vozidlo = child<QLabel>(dlg, "lbl_vozidlo");
    for (const QString text : {"hnací vozidla zapsána", "hnací vozidlo zapsáno", "Databáze změněna",
                               "Přidat do databáze", "<b>vozy</b> zapsány"}) {
        result->setText(text);
        QVERIFY2(result->x() + result->sizeHint().width() <= vozidlo->x(), qPrintable(text));
        QVERIFY2(result->sizeHint().width() <= result->width(), qPrintable(text));
    }
}

// ---- opening ------------------------------------------------------------------------

void TestAddWindow::noVehicle_data()
{
    QTest::addColumn<bool>("computeFirst");
    QTest::newRow("nothing computed") << false;
    QTest::newRow("a field changed after the check digit") << true;
}

void TestAddWindow::noVehicle()
{
    QFETCH(bool, computeFirst);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    if (computeFirst) {
        QVERIFY(enterVehicle(w.form1.get(), QStringLiteral("754001")));
        auto *field = child<QLineEdit>(w.form1.get(), "edt_vlastnik");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Backspace);
    }
    saveVehicleCommand(w.form1.get());
    QCOMPARE(boxes.messages(), QStringList{QStringLiteral("Nezadali jste žádné vozidlo !!")});
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(!w.form_databaze->isVisible());
    QCOMPARE(w.form1->panel(3), QStringLiteral("Nové vozidlo"));
}

void TestAddWindow::opening_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("vehicle");
    QTest::addColumn<QString>("domovka");
    QTest::addColumn<int>("serie");
    QTest::newRow("locomotive") << "754001" << "754001-6" << "Provozní jednotka" << 2;
    QTest::newRow("wagon") << "21802345123" << "21802345123-8" << "Domovská stanice" << 124;
    QTest::newRow("serial 042") << "754042" << "754042-0" << "Provozní jednotka" << 43;
    QTest::newRow("serial 999") << "754999" << "754999-1" << "Provozní jednotka" << 999;
}

void TestAddWindow::opening()
{
    QFETCH(QString, digits);
    QFETCH(QString, vehicle);
    QFETCH(QString, domovka);
    QFETCH(int, serie);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    QVERIFY(openFor(w, digits));
    TForm_databaze *dlg = w.form_databaze;
    QCOMPARE(w.form1->panel(3), vehicle);
    QCOMPARE(child<QLabel>(dlg, "lbl_vozidlo")->text(), vehicle);
    QCOMPARE(child<QLabel>(dlg, "lbl_domovka")->text(), domovka);
    QCOMPARE(result(dlg), QStringLiteral("Přidat do databáze"));
    auto *sedt = child<QSpinBox>(dlg, "sedt_serie");
    QCOMPARE(sedt->minimum(), serie);
    QCOMPARE(sedt->value(), serie);
    QCOMPARE(sedt->maximum(), 999);
    QVERIFY(sedt->isEnabled());
    QVERIFY(child<QPushButton>(dlg, "btn_serie")->isEnabled());
    QVERIFY(child<QPushButton>(dlg, "bitbtn_pridat")->isEnabled());
    QVERIFY(boxes.shown.isEmpty());
}

void TestAddWindow::labelSwapsByKind()
{
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    auto *label = child<QLabel>(w.form_databaze, "lbl_domovka");
    QVERIFY(openFor(w, QStringLiteral("754001")));
    QCOMPARE(label->text(), QStringLiteral("Provozní jednotka"));
    QVERIFY(openFor(w, QStringLiteral("21802345123")));
    QCOMPARE(label->text(), QStringLiteral("Domovská stanice"));
    QVERIFY(openFor(w, QStringLiteral("754001")));
    QCOMPARE(label->text(), QStringLiteral("Provozní jednotka"));
    QVERIFY(boxes.shown.isEmpty());
}

void TestAddWindow::saveQuestionWhenKindsDiffer_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("saved");

    QTest::newRow("wagons shown, locomotive, No") << VOZY << "754003" << "no"
                                                  << "Chcete uložit změny v databázi vozy? " << "";
    QTest::newRow("wagons shown, locomotive, Yes") << VOZY << "754003" << "yes"
                                                   << "Chcete uložit změny v databázi vozy? "
                                                   << "Změněná databáze vozů uložena";
    QTest::newRow("wagons shown, locomotive, Cancel") << VOZY << "754003" << "cancel"
                                                      << "Chcete uložit změny v databázi vozy? " << "";
    QTest::newRow("locomotives shown, wagon, Yes") << LOKO << "21802345123" << "yes"
                                                   << "Chcete uložit změny v databázi lokomotivy? "
                                                   << "Změněná databáze lokomotiv uložena";
    QTest::newRow("locomotives shown, wagon, No") << LOKO << "21802345123" << "no"
                                                  << "Chcete uložit změny v databázi lokomotivy? " << "";
    QTest::newRow("same kind shown") << LOKO << "754003" << "" << "" << "";
}

void TestAddWindow::saveQuestionWhenKindsDiffer()
{
    QFETCH(QString, shown);
    QFETCH(QString, digits);
    QFETCH(QString, answer);
    QFETCH(QString, question);
    QFETCH(QString, saved);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    const QStringList lokoFile = {HDR_LOKO, loko("754001-6"), loko("754005-7")};
    const QStringList vozyFile = {HDR_VOZY, vuz("21802345001-6"), vuz("31802345001-4")};
    writeLines(QStringLiteral("lokomotivy.txt"), lokoFile);
    writeLines(QStringLiteral("vozy.txt"), vozyFile);
    showDatabase(f1, shown, shown == LOKO ? lokoFile : vozyFile);
    // An unsaved change in the shown list.
    f1->databaze()->appendLine(QStringLiteral("poznámka"));
    f1->setPanel(2, QStringLiteral("1"));
    const QStringList shownLines = lines(f1);
    const QByteArray shownFileBefore = readFile(fileOf(shown));

    if (!answer.isEmpty())
        queue(boxes, {answer});
    QVERIFY(enterVehicle(f1, digits));
    saveVehicleCommand(f1);

    QCOMPARE(boxes.unexpected, 0);
    if (question.isEmpty()) {
        QVERIFY(boxes.shown.isEmpty());
    } else {
        QCOMPARE(boxes.shown.value(0).kind, boxes::Kind::ThreeWay);
        QCOMPARE(boxes.shown.value(0).caption, QStringLiteral("Uložit"));
        QCOMPARE(boxes.shown.value(0).text, question);
    }
    QCOMPARE(boxes.messages(), saved.isEmpty() ? QStringList() : QStringList{saved});
    QCOMPARE(readFile(fileOf(shown)), saved.isEmpty() ? shownFileBefore : crlfLines(shownLines));
    // The save question never resets the change count.
    QCOMPARE(f1->panel(2), QStringLiteral("1"));

    if (answer == QLatin1String("cancel")) {
        QVERIFY(!w.form_databaze->isVisible());
        QCOMPARE(f1->panel(3), QStringLiteral("Nové vozidlo"));
        QCOMPARE(lines(f1), shownLines);
        return;
    }
    QVERIFY(waitActive(w.form_databaze));
    QCOMPARE(f1->panel(3), child<QLabel>(w.form_databaze, "lbl_vozidlo")->text());

    // "Přidat vozidlo" shows the vehicle's own database read from its file.
    setAllocation(w.form_databaze, QStringLiteral("Praha"), QStringLiteral("Cheb"));
    press(w.form_databaze, "bitbtn_pridat");
    const bool lokomotiva = digits.size() == 6;
    QCOMPARE(child<QLabel>(f1, "lbl_databaze")->text(), lokomotiva ? LOKO : VOZY);
    if (question.isEmpty()) {
        QCOMPARE(lines(f1), (QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2"), loko("754005-7"),
                                         QStringLiteral("poznámka")}));
    } else if (lokomotiva) {
        QCOMPARE(lines(f1), (QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2"), loko("754005-7")}));
    } else {
        QCOMPARE(lines(f1), (QStringList{HDR_VOZY, vuz("21802345001-6"), newVuz("21802345123-8"),
                                         vuz("31802345001-4")}));
    }
    QCOMPARE(boxes.unexpected, 0);
}

// ---- where the line goes ---------------------------------------------------------------

void TestAddWindow::placeOfNewLine_data()
{
    QTest::addColumn<QString>("shown");     // caption shown before, "Databáze" when the press loads
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("before"); // the target file and, when shown, the list
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("result");

    const QString none = QStringLiteral("Databáze");
    const QString locoDone = QStringLiteral("hnací vozidlo zapsáno");
    const QStringList l15 = {HDR_LOKO, loko("754001-6"), loko("754005-7")};

    QTest::newRow("003 between 001 and 005")
        << LOKO << LOKO << l15 << "754003" << QStringList() << QStringList()
        << QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2"), loko("754005-7")} << locoDone;
    QTest::newRow("009 appended")
        << LOKO << LOKO << l15 << "754009" << QStringList() << QStringList()
        << QStringList{HDR_LOKO, loko("754001-6"), loko("754005-7"), newLoko("754009-9")} << locoDone;
    QTest::newRow("003 between, database loaded by the press")
        << none << LOKO << l15 << "754003" << QStringList() << QStringList()
        << QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2"), loko("754005-7")} << locoDone;

    const QStringList l5 = {HDR_LOKO, loko("754005-7")};
    QTest::newRow("below every vehicle, header named, Yes")
        << LOKO << LOKO << l5 << "754001" << QStringList{"yes"} << QStringList{BOOKMARK_Q.arg(HDR_LOKO)}
        << QStringList{newLoko("754001-6"), HDR_LOKO, loko("754005-7")} << locoDone;
    QTest::newRow("below every vehicle, header named, No")
        << LOKO << LOKO << l5 << "754001" << QStringList{"no"} << QStringList{BOOKMARK_Q.arg(HDR_LOKO)}
        << QStringList{HDR_LOKO, newLoko("754001-6"), loko("754005-7")} << locoDone;
    QTest::newRow("wagon below every wagon, header named, Yes")
        << VOZY << VOZY << QStringList{HDR_VOZY, vuz("21802345123-8")} << "21802345001"
        << QStringList{"yes"} << QStringList{BOOKMARK_Q.arg(HDR_VOZY)}
        << QStringList{newVuz("21802345001-6"), HDR_VOZY, vuz("21802345123-8")} << "vůz zapsán";

    const QStringList withBookmark = {HDR_LOKO, loko("754001-6"), QStringLiteral("Depo Praha \"sever\""),
                                      loko("754005-7")};
    QTest::newRow("bookmark above the first greater key, Yes")
        << LOKO << LOKO << withBookmark << "754003" << QStringList{"yes"}
        << QStringList{BOOKMARK_Q.arg(QStringLiteral("Depo Praha \"sever\""))}
        << QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2"), QStringLiteral("Depo Praha \"sever\""),
                       loko("754005-7")}
        << locoDone;
    QTest::newRow("bookmark above the first greater key, No")
        << LOKO << LOKO << withBookmark << "754003" << QStringList{"no"}
        << QStringList{BOOKMARK_Q.arg(QStringLiteral("Depo Praha \"sever\""))}
        << QStringList{HDR_LOKO, loko("754001-6"), QStringLiteral("Depo Praha \"sever\""), newLoko("754003-2"),
                       loko("754005-7")}
        << locoDone;
    // A bookmark of megabytes is quoted as the list shows it.
    const QString longMark = QString(1000, u'z') + QStringLiteral("konec");
    QTest::newRow("long bookmark quoted by its first 1,000 characters")
        << LOKO << LOKO << QStringList{HDR_LOKO, loko("754001-6"), longMark, loko("754005-7")} << "754003"
        << QStringList{"no"} << QStringList{BOOKMARK_Q.arg(QString(1000, u'z') + QChar(0x2026))}
        << QStringList{HDR_LOKO, loko("754001-6"), longMark, newLoko("754003-2"), loko("754005-7")} << locoDone;
    QTest::newRow("bookmark with a smaller vehicle below it")
        << LOKO << LOKO << QStringList{HDR_LOKO, QStringLiteral("Depo"), loko("754001-6"), loko("754005-7")}
        << "754003" << QStringList() << QStringList()
        << QStringList{HDR_LOKO, QStringLiteral("Depo"), loko("754001-6"), newLoko("754003-2"), loko("754005-7")}
        << locoDone;
    QTest::newRow("bookmark as the last line, appended below it")
        << LOKO << LOKO << QStringList{HDR_LOKO, loko("754001-6"), QStringLiteral("konec")} << "754009"
        << QStringList() << QStringList()
        << QStringList{HDR_LOKO, loko("754001-6"), QStringLiteral("konec"), newLoko("754009-9")} << locoDone;

    const QStringList wagons = {HDR_VOZY, vuz("21802345123-8"), vuz("31802345001-4")};
    QTest::newRow("wagon keys beyond 32 bits: 21999999999")
        << VOZY << VOZY << wagons << "21999999999" << QStringList() << QStringList()
        << QStringList{HDR_VOZY, vuz("21802345123-8"), newVuz("21999999999-4"), vuz("31802345001-4")}
        << "vůz zapsán";
    QTest::newRow("wagon keys beyond 32 bits: 25000000001")
        << VOZY << VOZY << wagons << "25000000001" << QStringList() << QStringList()
        << QStringList{HDR_VOZY, vuz("21802345123-8"), newVuz("25000000001-9"), vuz("31802345001-4")}
        << "vůz zapsán";
    QTest::newRow("wagon appended to the shown database")
        << VOZY << VOZY << wagons << "31802345002" << QStringList() << QStringList()
        << QStringList{HDR_VOZY, vuz("21802345123-8"), vuz("31802345001-4"), newVuz("31802345002-2")}
        << "Vůz zapsán";
    QTest::newRow("wagon appended, database loaded by the press")
        << none << VOZY << wagons << "31802345002" << QStringList() << QStringList()
        << QStringList{HDR_VOZY, vuz("21802345123-8"), vuz("31802345001-4"), newVuz("31802345002-2")}
        << "vůz zapsán";

    const QStringList sixDigits = {HDR_LOKO, loko("754001-6"), QStringLiteral("754003 odstaveno"),
                                   loko("754005-7")};
    QTest::newRow("bookmark of six digits is a vehicle: no bookmark question")
        << LOKO << LOKO << sixDigits << "754004" << QStringList() << QStringList()
        << QStringList{HDR_LOKO, loko("754001-6"), QStringLiteral("754003 odstaveno"), newLoko("754004-0"),
                       loko("754005-7")}
        << locoDone;
    QTest::newRow("bookmark of six digits is a vehicle: overwrite question")
        << LOKO << LOKO << sixDigits << "754003" << QStringList{"yes"}
        << QStringList{QStringLiteral("Vozidlo už v databázi je chcete ho přepsat?")}
        << QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2"), loko("754005-7")} << locoDone;
    QTest::newRow("out of order: in front of the first greater key")
        << LOKO << LOKO << QStringList{HDR_LOKO, loko("754001-6"), loko("754005-7"), loko("754003-2")} << "754003"
        << QStringList() << QStringList()
        << QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2"), loko("754005-7"), loko("754003-2")}
        << locoDone;
    QTest::newRow("empty database: the first line")
        << LOKO << LOKO << QStringList() << "754001" << QStringList() << QStringList()
        << QStringList{newLoko("754001-6")} << locoDone;
}

void TestAddWindow::placeOfNewLine()
{
    QFETCH(QString, shown);
    QFETCH(QString, target);
    QFETCH(QStringList, before);
    QFETCH(QString, digits);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, after);
    QFETCH(QString, result);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    if (shown == target)
        showDatabase(f1, target, before);
    else
        writeLines(fileOf(target), before);

    QVERIFY(openFor(w, digits));
    setAllocation(w.form_databaze, QStringLiteral("Praha"), QStringLiteral("Cheb"));
    queue(boxes, answers);
    press(w.form_databaze, "bitbtn_pridat");

    QCOMPARE(lines(f1), after);
    QCOMPARE(boxes.texts(boxes::Kind::Confirm), questions);
    QCOMPARE(boxes.shown.size(), questions.size());
    QCOMPARE(boxes.unexpected, 0);
    QCOMPARE(addtest::result(w.form_databaze), result);
    QCOMPARE(child<QLabel>(f1, "lbl_databaze")->text(), target);
    QCOMPARE(f1->panel(0), QStringLiteral("Počet řádků: %1").arg(after.size() - 1));
    QCOMPARE(f1->panel(2), QStringLiteral("1"));
    QVERIFY(!child<QPushButton>(w.form_databaze, "bitbtn_pridat")->isEnabled());
    QVERIFY(!child<QPushButton>(w.form_databaze, "btn_serie")->isEnabled());
    // The list is what a save writes, Czech letters in Windows-1250.
    QVERIFY(f1->saveDatabaseTo(fileOf(target)));
    QCOMPARE(readFile(fileOf(target)), crlfLines(after));
}

void TestAddWindow::sameVehicleTwice_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::newRow("locomotive, Yes") << "754003" << "754003-2" << true << "Vozidlo už v databázi je chcete ho přepsat?";
    QTest::newRow("locomotive, No") << "754003" << "754003-2" << false << "Vozidlo už v databázi je chcete ho přepsat?";
    QTest::newRow("wagon, Yes") << "21802345123" << "21802345123-8" << true << "Vůz už v databázi je chcete ho přepsat?";
    QTest::newRow("wagon, No") << "21802345123" << "21802345123-8" << false << "Vůz už v databázi je chcete ho přepsat?";
}

void TestAddWindow::sameVehicleTwice()
{
    QFETCH(QString, digits);
    QFETCH(QString, number);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    const bool lokomotiva = digits.size() == 6;
    const auto line = [&](const QString &dkv, const QString &second) {
        return lokomotiva ? loko(number, dkv, second) : vuz(number, dkv, second);
    };
    const QString first = lokomotiva ? loko("754001-6") : vuz("21802345001-6");
    const QString last = lokomotiva ? loko("754005-7") : vuz("31802345001-4");
    showDatabase(f1, lokomotiva ? LOKO : VOZY, {lokomotiva ? HDR_LOKO : HDR_VOZY, first, last});

    QVERIFY(openFor(w, digits));
    setAllocation(w.form_databaze, QStringLiteral("Praha"), QStringLiteral("Cheb"));
    press(w.form_databaze, "bitbtn_pridat");
    const QStringList once = {lokomotiva ? HDR_LOKO : HDR_VOZY, first, line("Praha", "Cheb"), last};
    QCOMPARE(lines(f1), once);
    QVERIFY(boxes.shown.isEmpty());
    f1->setPanel(2, QStringLiteral("0")); // as if saved meanwhile

    // Switching windows enables the button again; the second press meets the vehicle.
    QVERIFY(reactivate(w));
    setAllocation(w.form_databaze, QStringLiteral("Brno"), QStringLiteral("Olomouc"));
    if (yes)
        boxes.yes();
    else
        boxes.no();
    press(w.form_databaze, "bitbtn_pridat");
    QCOMPARE(boxes.texts(boxes::Kind::Confirm), QStringList{question});
    QCOMPARE(boxes.shown.size(), 1);
    if (yes) {
        QCOMPARE(lines(f1), (QStringList{once[0], first, line("Brno", "Olomouc"), last}));
        QCOMPARE(f1->panel(2), QStringLiteral("1"));
        QCOMPARE(f1->panel(0), QStringLiteral("Počet řádků: 3"));
        QVERIFY(w.form_databaze->isVisible());
    } else {
        QCOMPARE(lines(f1), once);
        QCOMPARE(f1->panel(2), QStringLiteral("0"));
        QVERIFY(!w.form_databaze->isVisible());
    }
}

void TestAddWindow::unreadableDatabase_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("result");
    QTest::newRow("locomotive, nothing shown") << "Databáze" << "754001" << newLoko("754001-6")
                                               << "hnací vozidlo zapsáno";
    QTest::newRow("wagon, nothing shown") << "Databáze" << "21802345123" << newVuz("21802345123-8") << "Vůz zapsán";
    QTest::newRow("locomotive, wagons shown") << VOZY << "754001" << newLoko("754001-6") << "hnací vozidlo zapsáno";
}

void TestAddWindow::unreadableDatabase()
{
    QFETCH(QString, shown);
    QFETCH(QString, digits);
    QFETCH(QString, line);
    QFETCH(QString, result);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    if (shown == VOZY) {
        showDatabase(f1, VOZY, {HDR_VOZY, vuz("21802345001-6")});
        boxes.no();
    }
    QVERIFY(openFor(w, digits));
    setAllocation(w.form_databaze, QStringLiteral("Praha"), QStringLiteral("Cheb"));
    press(w.form_databaze, "bitbtn_pridat");
    QCOMPARE(lines(f1), QStringList{line});
    QCOMPARE(f1->panel(0), QStringLiteral("Počet řádků: 1"));
    QCOMPARE(f1->panel(2), QStringLiteral("1"));
    QCOMPARE(addtest::result(w.form_databaze), result);
    QCOMPARE(child<QLabel>(f1, "lbl_databaze")->text(), digits.size() == 6 ? LOKO : VOZY);
    QCOMPARE(boxes.unexpected, 0);
    QCOMPARE(boxes.pending(), 0);
}

// ---- edits -------------------------------------------------------------------------------

void TestAddWindow::editReplacesItsLine_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("line");
    QTest::newRow("locomotive") << LOKO
                                << QStringList{HDR_LOKO, loko("754001-6"), loko("754003-2"), loko("754005-7")} << 2
                                << "754003-2" << newLoko("754003-2");
    QTest::newRow("wagon") << VOZY << QStringList{HDR_VOZY, vuz("21802345001-6"), vuz("31802345001-4")} << 2
                           << "31802345001-4" << newVuz("31802345001-4");
}

void TestAddWindow::editReplacesItsLine()
{
    QFETCH(QString, caption);
    QFETCH(QStringList, before);
    QFETCH(int, row);
    QFETCH(QString, number);
    QFETCH(QString, line);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    TForm_databaze *dlg = w.form_databaze;
    // What the edit command of the main window leaves: the line selected, the
    // change count raised, panel 3 naming the vehicle, the add window shown.
    showDatabase(f1, caption, before);
    f1->selectRow(row);
    f1->setPanel(2, QStringLiteral("1"));
    f1->setPanel(3, number + QStringLiteral(" Upravit"));
    dlg->show();
    QVERIFY(waitActive(dlg));

    QCOMPARE(child<QLabel>(dlg, "lbl_vozidlo")->text(), number + QStringLiteral(" Upravit"));
    QVERIFY(!child<QPushButton>(dlg, "btn_serie")->isEnabled());
    QVERIFY(!child<QSpinBox>(dlg, "sedt_serie")->isEnabled());
    QVERIFY(child<QPushButton>(dlg, "bitbtn_pridat")->isEnabled());

    setAllocation(dlg, QStringLiteral("Praha"), QStringLiteral("Cheb"));
    const QString panel0 = f1->panel(0);
    press(dlg, "bitbtn_pridat");
    QStringList after = before;
    after[row] = line;
    QCOMPARE(lines(f1), after);
    QCOMPARE(child<QLabel>(dlg, "lbl_vozidlo")->text(), number);
    QCOMPARE(addtest::result(dlg), QStringLiteral("Databáze změněna"));
    QCOMPARE(f1->panel(0), panel0);
    QCOMPARE(f1->panel(2), QStringLiteral("2")); // the write raises it as well
    QCOMPARE(f1->panel(3), number + QStringLiteral(" Upravit"));
    QVERIFY(!child<QPushButton>(dlg, "bitbtn_pridat")->isEnabled());
    QVERIFY(boxes.shown.isEmpty());

    // The next activation shows the marker again: the edit mode lives in panel 3.
    QVERIFY(reactivate(w));
    QCOMPARE(child<QLabel>(dlg, "lbl_vozidlo")->text(), number + QStringLiteral(" Upravit"));
}

void TestAddWindow::editFromTheMainWindow()
{
    // The whole road through the main window: show the database, select a
    // vehicle, "Upravit", then another line selected before "Přidat vozidlo".
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    const QStringList file = {HDR_LOKO, loko("754001-6"), loko("754003-2"), loko("754005-7")};
    writeLines(QStringLiteral("lokomotivy.txt"), file);
    child<QAction>(f1, "Lokomotivy1")->trigger();
    QCOMPARE(lines(f1), file);
    f1->selectRow(2);
    press(f1, "Btn_upravit");
    QVERIFY(waitActive(w.form_databaze));
    QCOMPARE(f1->panel(3), QStringLiteral("754003-2 Upravit"));
    QCOMPARE(child<QLabel>(w.form_databaze, "lbl_vozidlo")->text(), QStringLiteral("754003-2 Upravit"));
    const QString panel0 = f1->panel(0);
    const QString panel2 = f1->panel(2);

    f1->activateWindow();
    QVERIFY(waitActive(f1));
    f1->selectRow(3);
    w.form_databaze->activateWindow();
    QVERIFY(waitActive(w.form_databaze));
    setAllocation(w.form_databaze, QStringLiteral("Praha"), QStringLiteral("Cheb"));
    press(w.form_databaze, "bitbtn_pridat");

    QCOMPARE(lines(f1), (QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2"), loko("754005-7")}));
    QCOMPARE(addtest::result(w.form_databaze), QStringLiteral("Databáze změněna"));
    QCOMPARE(f1->panel(0), panel0);
    QCOMPARE(f1->panel(2), QString::number(panel2.toInt() + 1));
    QVERIFY(boxes.shown.isEmpty());
}

void TestAddWindow::editWithOtherDatabaseShown()
{
    // Editing a locomotive while the wagons are shown loads the locomotives; the
    // scan then finds the vehicle's own line like any other.
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    writeLines(QStringLiteral("lokomotivy.txt"), {HDR_LOKO, loko("754001-6"), loko("754003-2")});
    showDatabase(f1, VOZY, {HDR_VOZY, vuz("21802345001-6")});
    f1->setPanel(3, QStringLiteral("754003-2 Upravit"));
    w.form_databaze->show();
    QVERIFY(waitActive(w.form_databaze));
    setAllocation(w.form_databaze, QStringLiteral("Praha"), QStringLiteral("Cheb"));
    boxes.yes();
    press(w.form_databaze, "bitbtn_pridat");
    QCOMPARE(boxes.texts(boxes::Kind::Confirm), QStringList{QStringLiteral("Vozidlo už v databázi je chcete ho přepsat?")});
    QCOMPARE(lines(f1), (QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2")}));
    QCOMPARE(addtest::result(w.form_databaze), QStringLiteral("hnací vozidlo zapsáno"));
}

void TestAddWindow::editNeverOverwritesAnotherLine_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("removedMeanwhile"); // row the delete command removed, -1 none
    QTest::addColumn<int>("selectedAtPress");  // -1: no line selected
    QTest::addColumn<int>("replaced");         // row of the result, -1 nothing written
    QTest::addColumn<QString>("message");

    const QStringList db = {HDR_LOKO, loko("754001-6"), loko("754003-2"), loko("754005-7")};
    const QStringList twice = {HDR_LOKO, loko("754001-6"), loko("754003-2"), loko("754003-2", "Brno", "Cheb"),
                               loko("754005-7")};
    QTest::newRow("selection moved to another vehicle") << db << -1 << 1 << 2 << "";
    QTest::newRow("selection moved to the header") << db << -1 << 0 << 2 << "";
    QTest::newRow("no line selected") << db << -1 << -1 << 2 << "";
    QTest::newRow("edited line deleted meanwhile")
        << db << 2 << 1 << -1 << "Řádek vozidla 754003-2 v databázi není. Nic nebylo změněno.";
    QTest::newRow("vehicle twice, another line selected")
        << twice << -1 << 1 << -1
        << "Vozidlo 754003-2 je v databázi vícekrát. Vyberte v databázi řádek, který chcete změnit, "
           "a stiskněte znovu \"Přidat vozidlo\".";
    QTest::newRow("vehicle twice, one of them selected") << twice << -1 << 3 << 3 << "";
}

void TestAddWindow::editNeverOverwritesAnotherLine()
{
    QFETCH(QStringList, before);
    QFETCH(int, removedMeanwhile);
    QFETCH(int, selectedAtPress);
    QFETCH(int, replaced);
    QFETCH(QString, message);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    TForm_databaze *dlg = w.form_databaze;
    showDatabase(f1, LOKO, before);
    f1->selectRow(2);
    f1->setPanel(3, QStringLiteral("754003-2 Upravit"));
    dlg->show();
    QVERIFY(waitActive(dlg));
    setAllocation(dlg, QStringLiteral("Praha"), QStringLiteral("Cheb"));

    // Meanwhile, in the main window.
    QStringList expected = before;
    if (removedMeanwhile >= 0) {
        f1->databaze()->removeLine(removedMeanwhile);
        expected.removeAt(removedMeanwhile);
    }
    f1->selectRow(selectedAtPress);
    QCOMPARE(f1->selectedRow(), selectedAtPress);

    press(dlg, "bitbtn_pridat");
    if (replaced >= 0) {
        expected[replaced] = newLoko("754003-2");
        QCOMPARE(addtest::result(dlg), QStringLiteral("Databáze změněna"));
        QVERIFY(boxes.shown.isEmpty());
    } else {
        QCOMPARE(boxes.messages(), QStringList{message});
        QCOMPARE(addtest::result(dlg), QStringLiteral("Přidat do databáze"));
        QVERIFY(child<QPushButton>(dlg, "bitbtn_pridat")->isEnabled());
    }
    QCOMPARE(lines(f1), expected);
}

// ---- allocation texts ---------------------------------------------------------------------

void TestAddWindow::allocationTexts_data()
{
    QTest::addColumn<QString>("dkv");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("line");    // empty when refused
    QTest::addColumn<QString>("message"); // empty when written
    QTest::newRow("empty texts keep the separators") << "" << "" << "754003-2 dkv  pj " << "";
    QTest::newRow("blanks kept") << "Ústí nad Labem" << "Hradec Králové"
                                 << "754003-2 dkv Ústí nad Labem pj Hradec Králové" << "";
    QTest::newRow("line break in DKV becomes a blank") << "Česká\nTřebová" << "Cheb"
                                                       << "754003-2 dkv Česká Třebová pj Cheb" << "";
    QTest::newRow("CR LF in PJ becomes one blank") << "Praha" << "Hradec\r\nKrálové"
                                                   << "754003-2 dkv Praha pj Hradec Králové" << "";
    QTest::newRow("character outside Windows-1250 in DKV")
        << "Praha ✓" << "Cheb" << ""
        << "Text v poli \"DKV\" obsahuje znak \"✓\", který nelze uložit do databáze (kódování Windows-1250). "
           "Nic nebylo zapsáno.";
    QTest::newRow("a character beyond 16 bits in DKV")
        << "Praha 🚂" << "Cheb" << ""
        << "Text v poli \"DKV\" obsahuje znak \"🚂\", který nelze uložit do databáze (kódování Windows-1250). "
           "Nic nebylo zapsáno.";
    QTest::newRow("Cyrillic in PJ")
        << "Praha" << "Москва" << ""
        << "Text v poli \"Provozní jednotka\" obsahuje znak \"М\", který nelze uložit do databáze "
           "(kódování Windows-1250). Nic nebylo zapsáno.";
}

void TestAddWindow::allocationTexts()
{
    QFETCH(QString, dkv);
    QFETCH(QString, second);
    QFETCH(QString, line);
    QFETCH(QString, message);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    const QStringList before = {HDR_LOKO, loko("754001-6"), loko("754005-7")};
    showDatabase(f1, LOKO, before);
    QVERIFY(openFor(w, QStringLiteral("754003")));
    // Pasted texts may carry line breaks that typing cannot.
    child<QComboBox>(w.form_databaze, "cmb_dkv")->setEditText(dkv);
    child<QComboBox>(w.form_databaze, "cmb_domovka")->setEditText(second);
    press(w.form_databaze, "bitbtn_pridat");
    if (message.isEmpty()) {
        QCOMPARE(lines(f1), (QStringList{before[0], before[1], line, before[2]}));
        QVERIFY(boxes.shown.isEmpty());
        // The field shows what was stored.
        QVERIFY(line.contains(child<QComboBox>(w.form_databaze, "cmb_dkv")->currentText()));
        QVERIFY(f1->saveDatabaseTo(QStringLiteral("lokomotivy.txt")));
        QCOMPARE(readFile(QStringLiteral("lokomotivy.txt")), crlfLines(lines(f1)));
    } else {
        QCOMPARE(boxes.messages(), QStringList{message});
        QCOMPARE(lines(f1), before);
        QCOMPARE(f1->panel(2), QStringLiteral("0"));
        QVERIFY(child<QPushButton>(w.form_databaze, "bitbtn_pridat")->isEnabled());
    }
}

// ---- unsaved changes made while the window is open -----------------------------------------

void TestAddWindow::changesMadeAfterOpening_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Yes saves the wagons first") << "yes";
    QTest::newRow("No drops them") << "no";
    QTest::newRow("Cancel writes nothing") << "cancel";
}

void TestAddWindow::changesMadeAfterOpening()
{
    QFETCH(QString, answer);
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    const QStringList lokoFile = {HDR_LOKO, loko("754001-6")};
    const QStringList vozyFile = {HDR_VOZY, vuz("21802345001-6"), vuz("31802345001-4")};
    writeLines(QStringLiteral("lokomotivy.txt"), lokoFile);
    showDatabase(f1, VOZY, vozyFile);
    const QByteArray vozyBytes = readFile(QStringLiteral("vozy.txt"));

    boxes.no(); // the opening's question, about no changes yet
    QVERIFY(openFor(w, QStringLiteral("754003")));
    setAllocation(w.form_databaze, QStringLiteral("Praha"), QStringLiteral("Cheb"));

    // The user goes on editing the wagons in the main window, then presses
    // "Přidat vozidlo" for the locomotive.
    f1->databaze()->removeLine(1);
    f1->raiseChangeCount();
    const QStringList edited = lines(f1);
    QVERIFY(reactivate(w));
    queue(boxes, {answer});
    press(w.form_databaze, "bitbtn_pridat");

    QCOMPARE(boxes.unexpected, 0);
    QCOMPARE(boxes.shown.size() >= 2, true);
    QCOMPARE(boxes.shown[1].kind, boxes::Kind::ThreeWay);
    QCOMPARE(boxes.shown[1].caption, QStringLiteral("Uložit"));
    QCOMPARE(boxes.shown[1].text, QStringLiteral("Chcete uložit změny v databázi vozy? "));
    if (answer == QLatin1String("cancel")) {
        QCOMPARE(child<QLabel>(f1, "lbl_databaze")->text(), VOZY);
        QCOMPARE(lines(f1), edited);
        QCOMPARE(readFile(QStringLiteral("vozy.txt")), vozyBytes);
        QCOMPARE(addtest::result(w.form_databaze), QStringLiteral("Přidat do databáze"));
        return;
    }
    QCOMPARE(readFile(QStringLiteral("vozy.txt")), answer == QLatin1String("yes") ? crlfLines(edited) : vozyBytes);
    QCOMPARE(boxes.messages(), answer == QLatin1String("yes")
                                   ? QStringList{QStringLiteral("Změněná databáze vozů uložena")}
                                   : QStringList());
    QCOMPARE(child<QLabel>(f1, "lbl_databaze")->text(), LOKO);
    QCOMPARE(lines(f1), (QStringList{HDR_LOKO, loko("754001-6"), newLoko("754003-2")}));
}

// ---- buttons, keys, closing ------------------------------------------------------------------

void TestAddWindow::buttonsAfterWrite()
{
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    showDatabase(f1, LOKO, {HDR_LOKO, loko("754001-6")});
    QVERIFY(openFor(w, QStringLiteral("754003")));
    setAllocation(w.form_databaze, QStringLiteral("Praha"), QStringLiteral("Cheb"));
    press(w.form_databaze, "bitbtn_pridat");
    const QStringList once = lines(f1);
    QCOMPARE(once.size(), 3);
    // One press cannot be repeated by accident.
    press(w.form_databaze, "bitbtn_pridat");
    QCOMPARE(lines(f1), once);
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(reactivate(w));
    QVERIFY(child<QPushButton>(w.form_databaze, "bitbtn_pridat")->isEnabled());
    QVERIFY(child<QPushButton>(w.form_databaze, "btn_serie")->isEnabled());
    QCOMPARE(addtest::result(w.form_databaze), QStringLiteral("Přidat do databáze"));
}

void TestAddWindow::keyboardAndClosing()
{
    WorkDir wd;
    ScriptedBoxes boxes;
    Windows w;
    TForm1 *f1 = w.form1.get();
    TForm_databaze *dlg = w.form_databaze;
    showDatabase(f1, LOKO, {HDR_LOKO});
    QVERIFY(openFor(w, QStringLiteral("754003")));
    auto *dkv = child<QComboBox>(dlg, "cmb_dkv");
    typeInto(dkv, QStringLiteral("Kolín"));
    typeInto(child<QComboBox>(dlg, "cmb_domovka"), QStringLiteral("Cheb"));
    // Enter in a combo box performs "Přidat vozidlo" and adds no item to the list.
    QTest::keyClick(dkv->lineEdit(), Qt::Key_Return);
    QCOMPARE(lines(f1), (QStringList{HDR_LOKO, loko("754003-2", "Kolín", "Cheb")}));
    QCOMPARE(dkv->count(), 6);

    // Closing only hides; the texts stay for the next opening.
    press(dlg, "BitBtn_zavrit");
    QVERIFY(!dlg->isVisible());
    QVERIFY(openFor(w, QStringLiteral("754005")));
    QCOMPARE(dkv->currentText(), QStringLiteral("Kolín"));
    QTest::keyClick(dlg, Qt::Key_Escape);
    QVERIFY(!dlg->isVisible());
    QVERIFY(openFor(w, QStringLiteral("754005")));
    dlg->close();
    QVERIFY(!dlg->isVisible());
    QCOMPARE(f1->findChildren<TForm_databaze *>().size(), 1);
    QCOMPARE(child<QComboBox>(dlg, "cmb_domovka")->currentText(), QStringLiteral("Cheb"));
    QVERIFY(boxes.shown.isEmpty());
}

TRAKVID_TEST_MAIN(TestAddWindow)
#include "tst_addwindow.moc"
