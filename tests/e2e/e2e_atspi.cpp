// End-to-end through AT-SPI: a client registered as a screen reader registers
// sees the main window's controls by name and hears real typing under X.
#include "Unit1.h"
#include "atspi.h"
#include "testutil.h"
#include "ui_Unit1.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QProcess>

class TestAtspi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void controlsByName_data();
    void controlsByName();
    void typingIsHeard();
    void selectingARow();

private:
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
// owner field when the kind is complete is announced.
void TestAtspi::typingIsHeard()
{
    WorkDir dir;
    TForm1 form;
    QVERIFY(e2e::showActive(&form));
    form.ui->edt_rezim->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.ui->edt_rezim);
    m_reader.sync();
    m_reader.clearEvents();

    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                  QStringLiteral("50"), QStringLiteral("21")});
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
    const QString list = m_reader.find(QStringLiteral("list"), QStringLiteral("Databáze"))["id"].toString();
    QVERIFY2(!list.isEmpty(), qPrintable(m_reader.error()));
    m_reader.clearEvents();

    QCOMPARE(m_reader.command({QStringLiteral("select-row"), list, QStringLiteral("8")}), QJsonValue(true));
    QTRY_VERIFY(form.ui->lbx_databaze->selectionModel()->isRowSelected(8));
    QCOMPARE(m_reader.command({QStringLiteral("selected-rows"), list}), QJsonValue(QJsonArray{8}));
    const QJsonObject selected = m_reader.waitForEvent(AtspiClient::is("object:state-changed:selected", lines[8]));
    QCOMPARE(selected["detail1"].toInt(), 1);
}

TRAKVID_TEST_MAIN(TestAtspi)
#include "e2e_atspi.moc"
