// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The two personal settings: the menu items Technické parametry and Údržba
// flip their check marks and rewrite their own line of nastaveni.txt.
#include "Unit1.h"
#include "Unit3.h"
#include "testutil.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>


namespace {

QAction *item(TForm1 *form1, QChar which)
{
    return child<QAction>(form1, which == u't' ? "technika" : "udrzba");
}

// "TF": technika checked, udrzba unchecked.
QString marks(TForm1 *form1)
{
    return QString(item(form1, u't')->isChecked() ? u'T' : u'F') + (item(form1, u'u')->isChecked() ? u'T' : u'F');
}

void setMarks(TForm1 *form1, const QString &m)
{
    item(form1, u't')->setChecked(m[0] == u'T');
    item(form1, u'u')->setChecked(m[1] == u'T');
}

// Runs a whole start-up in the working directory and gives the check marks it leaves.
QString marksAfterStart()
{
    Windows w;
    TForm_uvod splash(w.form1.get());
    splash.Timer1->stop();
    while (splash.krok < 10)
        splash.Timer1Timer();
    return marks(w.form1.get());
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void toggles_data();
    void toggles();
    void toggleFails_data();
    void toggleFails();
    void writeFails_data();
    void writeFails();
};

void TestSettings::toggles_data()
{
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<QString>("marksBefore");
    QTest::addColumn<QString>("clicks");      // t = Technické parametry, u = Údržba
    QTest::addColumn<QByteArrayList>("files"); // the file after each click
    QTest::addColumn<QStringList>("marksAfter");

    QTest::newRow("technika on") << crlfLines({"te false", "ud false"}) << "FF" << "t"
                                 << QByteArrayList{crlfLines({"te true", "ud false"})} << QStringList{"TF"};
    QTest::newRow("udrzba on") << crlfLines({"te false", "ud false"}) << "FF" << "u"
                               << QByteArrayList{crlfLines({"te false", "ud true"})} << QStringList{"FT"};
    QTest::newRow("both off from checked") << crlfLines({"te true", "ud true"}) << "TT" << "ut"
                                           << QByteArrayList{crlfLines({"te true", "ud false"}),
                                                             crlfLines({"te false", "ud false"})}
                                           << QStringList{"TF", "FF"};
    const QString third = "poznámka: Česká Třebová";
    QTest::newRow("third line kept through clicks")
        << crlfLines({"te false", "ud false", third, ""}) << "FF" << "tutuut"
        << QByteArrayList{crlfLines({"te true", "ud false", third, ""}),
                          crlfLines({"te true", "ud true", third, ""}),
                          crlfLines({"te false", "ud true", third, ""}),
                          crlfLines({"te false", "ud false", third, ""}),
                          crlfLines({"te false", "ud true", third, ""}),
                          crlfLines({"te true", "ud true", third, ""})}
        << QStringList{"TF", "TT", "FT", "FF", "FT", "TT"};
    QTest::newRow("file says te true, item unchecked")
        << crlfLines({"te true", "ud false"}) << "FF" << "tt"
        << QByteArrayList{crlfLines({"te true", "ud false"}), crlfLines({"te false", "ud false"})}
        << QStringList{"TF", "FF"};
    QTest::newRow("first line ud true") << crlfLines({"ud true", "te true"}) << "FF" << "tu"
                                        << QByteArrayList{crlfLines({"te true", "te true"}),
                                                          crlfLines({"te true", "ud true"})}
                                        << QStringList{"TF", "TT"};
    QTest::newRow("one line, technika") << crlfLines({"te true"}) << "TF" << "tt"
                                        << QByteArrayList{crlfLines({"te false"}), crlfLines({"te true"})}
                                        << QStringList{"FF", "TF"};
    QTest::newRow("LF ends come back as CR LF") << QByteArray("te false\nud false\nx") << "FF" << "u"
                                                << QByteArrayList{crlfLines({"te false", "ud true", "x"})}
                                                << QStringList{"FT"};
}

void TestSettings::toggles()
{
    QFETCH(QByteArray, initial);
    QFETCH(QString, marksBefore);
    QFETCH(QString, clicks);
    QFETCH(QByteArrayList, files);
    QFETCH(QStringList, marksAfter);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeFile("nastaveni.txt", initial);
    {
        Windows w;
        setMarks(w.form1.get(), marksBefore);
        for (int i = 0; i < clicks.size(); ++i) {
            item(w.form1.get(), clicks[i])->trigger();
            QCOMPARE(readFile("nastaveni.txt"), files[i]);
            QCOMPARE(marks(w.form1.get()), marksAfter[i]);
        }
        QVERIFY(boxes.shown.isEmpty());
    }
    // The next start shows what the clicks left, when the file has both lines.
    if (files.last().count("\r\n") >= 2)
        QCOMPARE(marksAfterStart(), marksAfter.last());
}

void TestSettings::toggleFails_data()
{
    QTest::addColumn<QString>("setup"); // missing, dir, or the file content as lines joined by '|'
    QTest::addColumn<QString>("marksBefore");
    QTest::addColumn<QChar>("click");
    QTest::addColumn<QString>("error");

    const QString missing = "Soubor nastaveni.txt neexistuje.";
    const QString unreadable = "Soubor nastaveni.txt je složka.";
    const QString noLine1 = "V souboru nastaveni.txt chybí řádek 1 s nastavením Technické parametry.";
    const QString noLine2 = "V souboru nastaveni.txt chybí řádek 2 s nastavením Údržba.";
    QTest::newRow("missing, technika") << "missing" << "FF" << QChar('t') << missing;
    QTest::newRow("missing, udrzba") << "missing" << "TT" << QChar('u') << missing;
    QTest::newRow("directory, technika") << "dir" << "TF" << QChar('t') << unreadable;
    QTest::newRow("directory, udrzba") << "dir" << "FF" << QChar('u') << unreadable;
    QTest::newRow("empty, technika") << "" << "FF" << QChar('t') << noLine1;
    QTest::newRow("empty, udrzba") << "" << "FT" << QChar('u') << noLine2;
    QTest::newRow("one line, udrzba") << "te true" << "TF" << QChar('u') << noLine2;
}

void TestSettings::toggleFails()
{
    QFETCH(QString, setup);
    QFETCH(QString, marksBefore);
    QFETCH(QChar, click);
    QFETCH(QString, error);
    WorkDir dir;
    ScriptedBoxes boxes;
    if (setup == "dir")
        QVERIFY(QDir().mkdir("nastaveni.txt"));
    else if (setup != "missing")
        writeLines("nastaveni.txt", setup.isEmpty() ? QStringList() : setup.split('|'));
    const QByteArray before = readFile("nastaveni.txt");

    Windows w;
    setMarks(w.form1.get(), marksBefore);
    item(w.form1.get(), click)->trigger();
    QCOMPARE(boxes.errors(), QStringList{error});
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(marks(w.form1.get()), marksBefore);
    if (setup == "missing")
        QVERIFY(!QFileInfo::exists("nastaveni.txt"));
    else if (setup == "dir")
        QVERIFY(QFileInfo("nastaveni.txt").isDir());
    else
        QCOMPARE(readFile("nastaveni.txt"), before);
}

void TestSettings::writeFails_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("marksBefore");
    QTest::addColumn<QChar>("click");
    QTest::addColumn<QString>("marksAfter");

    QTest::newRow("technika stays off") << QStringList{"te false", "ud false"} << "FF" << QChar('t') << "FF";
    QTest::newRow("udrzba stays on") << QStringList{"te true", "ud true", "x"} << "TT" << QChar('u') << "TT";
    // The item was out of step with the file: it now shows what the file holds.
    QTest::newRow("file says te true, item unchecked") << QStringList{"te true", "ud false"} << "FF" << QChar('t')
                                                       << "TF";
    QTest::newRow("file says ud false, item checked") << QStringList{"te false", "ud false"} << "FT" << QChar('u')
                                                      << "FF";
}

void TestSettings::writeFails()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, marksBefore);
    QFETCH(QChar, click);
    QFETCH(QString, marksAfter);
    if (!FileSizeLimit::available())
        QSKIP("no limit on the size of written files on this system");
    WorkDir dir;
    ScriptedBoxes boxes;
    writeLines("nastaveni.txt", lines);
    const QByteArray before = readFile("nastaveni.txt");
    {
        Windows w;
        setMarks(w.form1.get(), marksBefore);
        {
            FileSizeLimit full(0);
            item(w.form1.get(), click)->trigger();
        }
        QCOMPARE(boxes.errors().size(), 1);
        QVERIFY2(boxes.errors().first().startsWith("Soubor nastaveni.txt nelze zapsat"),
                 qPrintable(boxes.errors().first()));
        QCOMPARE(marks(w.form1.get()), marksAfter);
        QCOMPARE(readFile("nastaveni.txt"), before);
        QCOMPARE(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList{"nastaveni.txt"});
    }
    // The check mark left by the failed click is the one the next start shows.
    QCOMPARE(marksAfterStart(), marksAfter);
}

TRAKVID_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
