// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// "Tisk výpisu..." and "Uložit výpis...": when they are enabled, what a print
// through the toolkit's PDF output holds (read back with pdftotext), and the
// bytes a save writes. The dialogs are answered by the stand-in.
#include "Unit1.h"
#include "outputpane.h"
#include "storage.h"
#include "testutil.h"
#include "ui_Unit1.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>

class TestPrintSave : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = new WorkDir;
        m_windows = new Windows;
        m_pane = new PaneControls(*m_windows);
        writeLines(storage::REZIM, {QStringLiteral("list režimů"), QStringLiteral("21 vnitrostátní, ř ů €")});
    }
    void cleanup()
    {
        delete m_pane;
        delete m_windows;
        delete m_dir;
    }
    void enabledWhilePaneHoldsText();
    void printsEveryLineUnderHeadingAndPageNumber();
    void offeredFileNames_data();
    void offeredFileNames();
    void saveWritesHeadingAndText_data();
    void saveWritesHeadingAndText();
    void longListingSavedWhole();

private:
    WorkDir *m_dir = nullptr;
    Windows *m_windows = nullptr;
    PaneControls *m_pane = nullptr;
};

// Ctrl+P opens the print dialog exactly while the items are enabled.
void TestPrintSave::enabledWhilePaneHoldsText()
{
    Ui::TForm1 *ui = m_pane->form1->ui;
    ScriptedBoxes boxes;
    for (const bool filled : {false, true, false}) {
        if (filled) {
            m_pane->trigger(QStringLiteral("Reimvozu2"));
        } else { // as the user empties it
            m_pane->editor->selectAll();
            QTest::keyClick(m_pane->editor, Qt::Key_Delete);
        }
        QCOMPARE(ui->Tiskvpisu1->isEnabled(), filled);
        QCOMPARE(ui->Uloitvpis1->isEnabled(), filled);
        boxes.clear();
        boxes.cancel();
        QTest::keyClick(m_pane->form1, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(boxes.texts(boxes::Kind::Print), filled ? QStringList{"List režimů vozu"} : QStringList{});
    }
}

void TestPrintSave::printsEveryLineUnderHeadingAndPageNumber()
{
    if (QSysInfo::kernelType() == QLatin1String("winnt"))
        QSKIP("pdftotext reads the printed file on Linux only");
    // A listing of 500 wagons; every 50th has a home station far wider than a page.
    QStringList vozy{QStringLiteral("Databáze vozy")};
    for (int i = 0; i < 500; ++i)
        vozy << QStringLiteral("%1-0 dkv Plzeň domovska Přerov").arg(21805955000LL + i)
                    + (i % 50 == 7 ? QStringLiteral(" slovo%1").arg(i).repeated(40) : QString());
    writeLines(storage::VOZY, vozy);
    ScriptedBoxes boxes;
    boxes.type(QStringLiteral("5955")).type(m_dir->path() + QStringLiteral("/výpis.pdf"));
    m_pane->trigger(QStringLiteral("PodleCharakteristiky1"));
    m_pane->trigger(QStringLiteral("Tiskvpisu1"));
    QCOMPARE(boxes.errors(), QStringList{});
    const QString heading = m_pane->heading->text();
    const QStringList lines = m_pane->memo->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 500);

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("výpis.pdf"), QStringLiteral("-")});
    QVERIFY2(pdftotext.waitForFinished(60000) && pdftotext.exitCode() == 0, "pdftotext (poppler-utils) failed");
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast(); // after the last page's form feed
    QVERIFY(pages.size() > 5);
    // Every page: the heading and "Strana N z M" on top, then the listing's lines,
    // short ones as they are, long ones wrapped.
    QString printed;
    for (int n = 0; n < pages.size(); ++n) {
        const QString top = heading + QStringLiteral("\n\nStrana %1 z %2\n\n").arg(n + 1).arg(pages.size());
        QVERIFY2(pages[n].startsWith(top), qPrintable(pages[n].left(200)));
        printed += pages[n].mid(top.size());
    }
    const QStringList printedLines = printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(printedLines.size() > lines.size());
    printed = printedLines.join(QLatin1Char(' ')) + QLatin1Char(' ');
    qsizetype at = 0;
    for (const QString &line : lines) {
        QVERIFY2(printed.mid(at).startsWith(line.simplified() + QLatin1Char(' ')), qPrintable(line.left(80)));
        at += line.simplified().size() + 1;
    }
    QCOMPARE(at, printed.size());

    // A file that cannot be written goes to the general error box.
    boxes.type(QStringLiteral("/nonexistent-folder/výpis.pdf"));
    m_pane->trigger(QStringLiteral("Tiskvpisu1"));
    QCOMPARE(boxes.errors(), QStringList{QStringLiteral("Soubor /nonexistent-folder/výpis.pdf nelze zapsat: "
                                                            "složka /nonexistent-folder neexistuje.")});
}

// The print dialog offers a PDF file and the save dialog a text file, both in
// the data folder and named after the heading, whatever the user typed into it.
void TestPrintSave::offeredFileNames_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "List režimů vozu" << "List režimů vozu";
    QTest::newRow("slash and backslash") << "Databáze vozů z DKV Praha/hl.n.\\x" << "Databáze vozů z DKV Praha hl.n. x";
    QTest::newRow("line breaks, tab, direction mark")
        << QStringLiteral("Vozidlo\nřady\u2028754\u200f\t") << "Vozidlo řady 754";
    QTest::newRow("hidden or an option") << "../-x" << "x";
    QTest::newRow("nothing left") << " /. " << "výpis";
    QTest::newRow("200 bytes at most") << QString(300, u'ř') << QString(100, u'ř');
    QTest::newRow("never half a character") << "a" + QStringLiteral("🚂").repeated(60)
                                            << "a" + QStringLiteral("🚂").repeated(49);
}

void TestPrintSave::offeredFileNames()
{
    QFETCH(QString, heading);
    QFETCH(QString, name);
    m_pane->trigger(QStringLiteral("Reimvozu2"));
    m_pane->form1->ui->lbl_databaze_memo->setText(heading);
    ScriptedBoxes boxes;
    boxes.cancel().cancel();
    m_pane->trigger(QStringLiteral("Tiskvpisu1"));
    m_pane->trigger(QStringLiteral("Uloitvpis1"));
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown[0].kind, boxes::Kind::Print);
    QCOMPARE(boxes.shown[0].initial, m_dir->path() + u'/' + name + QStringLiteral(".pdf"));
    QCOMPARE(boxes.texts(boxes::Kind::SaveFile), QStringList{m_dir->path() + u'/' + name + QStringLiteral(".txt")});
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{storage::REZIM});
}

// The name chosen in the file dialog (empty: Cancel); the file's bytes
// afterwards (null: none written) and the box shown.
void TestPrintSave::saveWritesHeadingAndText_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("box");
    // "✓" has no Windows-1250 byte: the user typed it into the pane.
    QTest::newRow("written") << "out.txt" << QByteArray("List režimů vozu\nlist režimů\n21 vnitrostátní, ř ů €\n✓\n")
                             << QString();
    QTest::newRow("cancelled") << QString() << QByteArray() << QString();
    QTest::newRow("folder missing") << "chybi/out.txt" << QByteArray() << "Soubor chybi/out.txt nelze zapsat";
    QTest::newRow("a data file") << "rezim.txt" << QByteArray()
                                 << "Soubor rezim.txt patří k datům Trakvidu, výpis do něj uložit nelze. Zvolte jiný název.";
}

void TestPrintSave::saveWritesHeadingAndText()
{
    QFETCH(QString, chosen);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, box);
    const QByteArray rezim = readFile(storage::REZIM);
    m_pane->trigger(QStringLiteral("Reimvozu2"));
    m_pane->editor->moveCursor(QTextCursor::End);
    m_pane->editor->insertPlainText(QStringLiteral("✓"));
    ScriptedBoxes boxes;
    chosen.isEmpty() ? boxes.cancel() : boxes.type(chosen);
    m_pane->trigger(QStringLiteral("Uloitvpis1"));
    // The dialog offers the heading as a name in the data folder.
    QCOMPARE(boxes.texts(boxes::Kind::SaveFile), QStringList{m_dir->path() + QStringLiteral("/List režimů vozu.txt")});
    const QString shown = (boxes.errors() + boxes.messages()).join(QLatin1Char('|'));
    QVERIFY2(box.isEmpty() ? shown.isEmpty() : shown.startsWith(box), qPrintable(shown));
    QCOMPARE(readFile(storage::REZIM), rezim);
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), bytes.isNull() ? 1 : 2);
    if (!bytes.isNull())
        QCOMPARE(readFile(chosen), bytes);
}

// A listing of many lines, which the pane's lines view shows, enables both
// commands and is saved whole; emptied, it disables them again.
void TestPrintSave::longListingSavedWhole()
{
    Ui::TForm1 *ui = m_pane->form1->ui;
    const QString text = QStringList(5000, QStringLiteral("21802345123-8 dkv Plzeň domovska Cheb")).join(u'\n');
    m_pane->memo->showOutput(QStringLiteral("Výpis"), text);
    QVERIFY(m_pane->editor->document()->isEmpty());
    QVERIFY(ui->Tiskvpisu1->isEnabled() && ui->Uloitvpis1->isEnabled());
    ScriptedBoxes boxes;
    boxes.type(QStringLiteral("out.txt"));
    m_pane->trigger(QStringLiteral("Uloitvpis1"));
    QCOMPARE(readFile(QStringLiteral("out.txt")), (QStringLiteral("Výpis\n") + text + u'\n').toUtf8());
    m_pane->memo->clear();
    QVERIFY(!ui->Tiskvpisu1->isEnabled() && !ui->Uloitvpis1->isEnabled());
}

TRAKVID_TEST_MAIN(TestPrintSave)
#include "tst_printsave.moc"
