// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// End-to-end through AT-SPI: a client registered as a screen reader registers
// sees the main window's controls by name and hears real typing under X.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "atspi.h"
#include "testutil.h"
#include "ui_Unit1.h"
#include "ui_Unit2.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QProcess>
#include <QTimer>

class TestAtspi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void controlsByName_data();
    void controlsByName();
    void typingIsHeard();
    void selectingARow();
    void everyControlNamed();
    void checkDigitIsHeard();

private:
    // Real digits typed from the kind field, with the events before them cleared.
    void typeFromKindField(TForm1 &form, const QString &digits);
    AtspiClient m_reader;
};

void TestAtspi::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "run under a real X server");
    QVERIFY2(m_reader.start(), qPrintable(m_reader.error()));
}

void TestAtspi::controlsByName_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("kind field") << "text" << "Režim";
    QTest::newRow("owner field") << "text" << "Vlastník";
    QTest::newRow("serial field") << "text" << "evidence";
    QTest::newRow("check button") << "push button" << "Zadáno";
}

void TestAtspi::controlsByName()
{
    QFETCH(QString, role);
    QFETCH(QString, name);
    WorkDir dir;
    TForm1 form;
    QVERIFY(e2e::showActive(&form));
    const QJsonArray tree = m_reader.tree();
    QVERIFY2(m_reader.error().isEmpty(), qPrintable(m_reader.error()));
    // The window is the application's child, the control somewhere below it.
    const auto window = std::find_if(tree.begin(), tree.end(), [&](const QJsonValue &v) {
        return v[QLatin1String("role")] == QLatin1String("frame")
               && v[QLatin1String("name")] == form.windowTitle() && v[QLatin1String("depth")] == 1;
    });
    QVERIFY2(window != tree.end(), qPrintable(form.windowTitle()));
    const QJsonObject control = m_reader.find(role, name);
    QVERIFY2(!control.isEmpty(), qPrintable(m_reader.error()));
    QVERIFY(control[QLatin1String("states")].toArray().contains(QLatin1String("showing")));
    QHash<QString, QString> parents;
    for (const QJsonValue &v : tree)
        parents.insert(v[QLatin1String("id")].toString(), v[QLatin1String("parent")].toString());
    QString ancestor = control[QLatin1String("id")].toString();
    while (!ancestor.isEmpty() && ancestor != (*window)[QLatin1String("id")].toString())
        ancestor = parents.value(ancestor);
    QVERIFY2(!ancestor.isEmpty(), "the control is not in the window");
}

// Real keys into the kind field: the screen reader hears the inserted digits,
// the text reads back as the field shows it, and the focus moving on to the
void TestAtspi::typeFromKindField(TForm1 &form, const QString &digits)
{
    form.ui->edt_rezim->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.ui->edt_rezim);
    m_reader.sync();
    m_reader.clearEvents();
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("50"), digits});
}

// owner field when the kind is complete is announced.
void TestAtspi::typingIsHeard()
{
    WorkDir dir;
    TForm1 form;
    QVERIFY(e2e::showActive(&form));
    typeFromKindField(form, QStringLiteral("21"));
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE(form.ui->edt_rezim->text(), QStringLiteral("21"));
    const QJsonObject inserted = m_reader.waitForEvent(AtspiClient::is("object:text-changed:insert", "Režim"));
    QVERIFY2(!inserted.isEmpty(), qPrintable(m_reader.eventLog()));
    const QJsonObject focus = m_reader.waitForEvent([](const QJsonObject &e) {
        return AtspiClient::is("object:state-changed:focused", "Vlastník")(e) && e["detail1"].toInt() == 1;
    });
    QVERIFY2(!focus.isEmpty(), qPrintable(m_reader.eventLog()));
    QVERIFY(!m_reader.waitForEvent(AtspiClient::is("focus:", "Vlastník")).isEmpty());
    QCOMPARE(m_reader.text(inserted["id"].toString())["text"].toString(), QStringLiteral("21"));
    QCOMPARE(m_reader.focused()["id"], focus["id"]);
    QVERIFY(m_reader.letKeysThrough());
}

// A row selected through the list's table interface, as a screen reader's
// selection command does, selects it in the list and is announced.
void TestAtspi::selectingARow()
{
    WorkDir dir;
    QStringList lines{QStringLiteral("Databáze vozy")};
    for (int i = 1; i <= 12; ++i)
        lines << QStringLiteral("218023450%1-0 dkv Plzeň domovska Cheb").arg(i, 2, 10, QLatin1Char('0'));
    writeLines(QStringLiteral("vozy.txt"), lines);
    TForm1 form;
    QVERIFY(e2e::showActive(&form));
    form.Vozy1Click();
    // Named after the database it shows.
    const QString list = m_reader.find(QStringLiteral("list"), QStringLiteral("Databáze vozy"))["id"].toString();
    QVERIFY2(!list.isEmpty(), qPrintable(m_reader.error()));
    m_reader.clearEvents();

    QCOMPARE(m_reader.command({QStringLiteral("select-row"), list, QStringLiteral("8")}), QJsonValue(true));
    QTRY_VERIFY(form.ui->lbx_databaze->selectionModel()->isRowSelected(8));
    QCOMPARE(m_reader.command({QStringLiteral("selected-rows"), list}), QJsonValue(QJsonArray{8}));
    const QJsonObject selected = m_reader.waitForEvent(AtspiClient::is("object:state-changed:selected", lines[8]));
    QCOMPARE(selected["detail1"].toInt(), 1);

    // The line is the selected one for the panel and the commands: "Smaž"
    // asks about it (a real box, answered by a real key) and deletes it.
    QTRY_COMPARE(form.panel(1), QStringLiteral("Řádek: 9"));
    QTimer answer;
    answer.setInterval(50);
    QString asked;
    connect(&answer, &QTimer::timeout, this, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || QApplication::activeWindow() != box || !asked.isEmpty())
            return;
        asked = box->property("text").toString();
        QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("Return")});
    });
    answer.start();
    form.ui->btn_smaz->click();
    // Released once the box is gone, so that the release goes to the window
    // that stays (see letKeysThrough).
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("Return")});
    QVERIFY(m_reader.letKeysThrough());
    QCOMPARE(asked, QStringLiteral("chcete tuto položku z databáze smazat?"));
    lines.removeAt(8);
    QCOMPARE(form.databaze()->texts(), lines);
}

// Every control of the three windows, as a screen reader finds it, has a
// name: those of the table by the label beside them, and no other control
// showing is left unnamed.
void TestAtspi::everyControlNamed()
{
    WorkDir dir;
    writeLines(QStringLiteral("vozy.txt"), {QStringLiteral("Databáze vozy"), QStringLiteral("21802345001-6 dkv A domovska B")});
    Windows windows;
    TForm1 *form = windows.form1.get();
    QVERIFY(e2e::showActive(form));
    form->ui->technika->setChecked(true);
    form->ui->udrzba->setChecked(true);
    form->Vozy1Click();
    form->ui->edt_rezim->setText(QStringLiteral("21"));
    form->ui->edt_vlastnik->setText(QStringLiteral("80"));
    form->ui->edt_charakteristika->setText(QStringLiteral("2345"));
    form->ui->edt_evidence->setText(QStringLiteral("123"));
    form->ui->BitBtn_zadano->click();
    form->uloitvozidlo1Click();
    QTRY_VERIFY(windows.form_databaze->isActiveWindow());
    // A combo box is named by its label, not by its text.
    windows.form_databaze->ui->cmb_dkv->setEditText(QStringLiteral("Plzeň"));
    TForm_uvod splash(form);
    splash.Timer1->stop(); // it stays up while it is read
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    m_reader.sync();

    struct Named {
        const char *role;
        QString name;
    };
    const Named table[] = {
        // The main window.
        {"text", "Režim"}, {"text", "Vlastník"}, {"text", "Charakteristika"}, {"text", "evidence"},
        {"radio button", "vozy"}, {"radio button", "lokomotivy"}, {"push button", "Zadáno"},
        {"label", "Kontrolní číslice 8"}, {"list", "Databáze vozy"},
        {"label", "Řádky databáze: Počet řádků 2"}, {"label", "Vybraný řádek: Řádek:"},
        {"label", "Neuložené změny: 0"}, {"label", "Vozidlo k uložení: 21802345123-8"},
        // The add window.
        {"combo box", "DKV"}, {"combo box", "Domovská stanice"}, {"spin button", "Série do čísla"},
        {"spin button", "Rok výroby"}, {"text", "Typ podvozku"}, {"text", "Výrobce"},
        {"combo box", "Číslo revize"}, {"combo box", "Opravna revize"}, {"text", "Ujeto kilometrů"},
        {"push button", "Předchozí měsíc"}, {"push button", "Další měsíc"}, {"table", "Kalendář"},
        // The splash.
        {"progress bar", "Načítání souborů"},
    };
    for (const Named &n : table) {
        const QJsonObject found = m_reader.find(QString::fromLatin1(n.role), n.name);
        QVERIFY2(!found.isEmpty() && found["states"].toArray().contains(QStringLiteral("showing")),
                 qPrintable(QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(n.role), n.name)));
    }

    const QStringList controls{"push button", "toggle button", "radio button", "check box", "combo box", "text",
                               "spin button", "list", "table", "progress bar", "slider", "page tab"};
    QStringList unnamed;
    int seen = 0;
    for (const QJsonValue &v : m_reader.tree()) {
        if (!controls.contains(v[QLatin1String("role")].toString())
            || !v[QLatin1String("states")].toArray().contains(QStringLiteral("showing")))
            continue;
        ++seen;
        if (v[QLatin1String("name")].toString().trimmed().isEmpty())
            unnamed << v[QLatin1String("role")].toString() + " " + v[QLatin1String("id")].toString();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    QVERIFY2(seen >= int(std::size(table)), qPrintable(QString::number(seen)));
}

// "Zadáno" gives the focus to the first field: the screen reader, following
// the focus, hears the check digit in that field's description.
void TestAtspi::checkDigitIsHeard()
{
    WorkDir dir;
    TForm1 form;
    QVERIFY(e2e::showActive(&form));
    typeFromKindField(form, QStringLiteral("21802345123"));
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE(QApplication::focusWidget(), form.ui->BitBtn_zadano);
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    QTRY_COMPARE(form.ui->lbl_kontrolka->text(), QStringLiteral("8"));
    const QJsonObject focus = m_reader.waitForEvent([](const QJsonObject &e) {
        return AtspiClient::is("focus:", "Režim")(e) && e["description"].toString() == "Kontrolní číslice 8";
    });
    QVERIFY2(!focus.isEmpty(), qPrintable(m_reader.eventLog()));
    QCOMPARE(m_reader.focused()["description"].toString(), QStringLiteral("Kontrolní číslice 8"));
    // A changed field leaves no digit behind.
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("3")});
    QTRY_COMPARE(form.ui->lbl_kontrolka->text(), QStringLiteral("X"));
    m_reader.sync();
    QCOMPARE(m_reader.focused()["description"].toString(), QString());
    QVERIFY(m_reader.letKeysThrough());
}

TRAKVID_TEST_MAIN(TestAtspi)
#include "e2e_atspi.moc"
