// "Tisk výpisu..." and "Uložit výpis...": when they are enabled, what a print
// through the toolkit's PDF output holds (read back with pdftotext), and the
// bytes a save writes. The print and file dialogs are answered by the stand-in.
#include "Unit1.h"
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
    void init();
    void cleanup();

    void itemsFollowThePane_data();
    void itemsFollowThePane();
    void printsEveryLineUnderHeadingAndPageNumber();
    void saveWritesHeadingAndText_data();
    void saveWritesHeadingAndText();

private:
    WorkDir *m_dir = nullptr;
    Windows *m_windows = nullptr;
    PaneControls *m_pane = nullptr;
};

void TestPrintSave::init()
{
    m_dir = new WorkDir;
    m_windows = new Windows;
    m_pane = new PaneControls(*m_windows);
}

void TestPrintSave::cleanup()
{
    delete m_pane;
    delete m_windows;
    delete m_dir;
}

// What fills or empties the pane, then whether both items are enabled; Ctrl+P
// opens the print dialog exactly when they are.
void TestPrintSave::itemsFollowThePane_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<bool>("clearPane");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("at start") << QStringList{} << false << false;
    QTest::newRow("help page") << QStringList{"n1"} << false << true;
    QTest::newRow("About") << QStringList{"Oprogramu1"} << false << true;
    QTest::newRow("reference list") << QStringList{"Reimvozu2"} << false << true;
    QTest::newRow("reference list emptied by the user") << QStringList{"Reimvozu2"} << true << false;
}

void TestPrintSave::itemsFollowThePane()
{
    QFETCH(QStringList, actions);
    QFETCH(bool, clearPane);
    QFETCH(bool, enabled);
    writeLines(storage::REZIM, {QStringLiteral("list režimů"), QStringLiteral("21 vnitrostátní")});
    for (const QString &action : actions)
        m_pane->trigger(action);
    if (clearPane) {
        m_pane->memo->selectAll();
        QTest::keyClick(m_pane->memo, Qt::Key_Delete);
    }
    Ui::TForm1 *ui = m_pane->form1->ui;
    QCOMPARE(ui->Tiskvpisu1->isEnabled(), enabled);
    QCOMPARE(ui->Uloitvpis1->isEnabled(), enabled);

    ScriptedBoxes boxes;
    boxes.cancel();
    QTest::keyClick(m_pane->form1, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(boxes.texts(boxes::Kind::Print), enabled ? QStringList{m_pane->heading->text()} : QStringList{});
}

void TestPrintSave::printsEveryLineUnderHeadingAndPageNumber()
{
    // 500 wagons of one characteristic; every 50th has a home station far
    // wider than a page.
    QStringList vozy{QStringLiteral("Databáze vozy")};
    for (int i = 0; i < 500; ++i) {
        QString station = QStringLiteral("Přerov");
        if (i % 50 == 7)
            for (int word = 0; word < 40; ++word)
                station += QStringLiteral(" slovo%1x%2").arg(i).arg(word);
        vozy << QStringLiteral("%1-0 dkv Plzeň domovska %2").arg(21805955000LL + i).arg(station);
    }
    writeLines(storage::VOZY, vozy);
    ScriptedBoxes boxes;
    boxes.type(QStringLiteral("5955"));
    m_pane->trigger(QStringLiteral("PodleCharakteristiky1"));
    const QString heading = m_pane->heading->text();
    const QStringList lines = m_pane->memo->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 500);

    const QString pdf = m_dir->path() + QStringLiteral("/výpis.pdf");
    boxes.type(pdf);
    m_pane->trigger(QStringLiteral("Tiskvpisu1"));
    QCOMPARE(boxes.errors(), QStringList{});

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY2(pdftotext.waitForFinished(60000) && pdftotext.exitCode() == 0, "pdftotext (poppler-utils) failed");
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeAll(QString());
    QVERIFY2(pages.size() > 5, qPrintable(QString::number(pages.size())));

    // Each page: the heading and "Strana N z M"; the rest is the listing.
    QStringList printed;
    const QRegularExpression pageNumber(QStringLiteral("Strana (\\d+) z (\\d+)"));
    for (int n = 0; n < pages.size(); ++n) {
        QVERIFY2(pages[n].contains(heading), qPrintable(QString::number(n + 1)));
        const QRegularExpressionMatch number = pageNumber.match(pages[n]);
        QVERIFY2(number.hasMatch(), qPrintable(QString::number(n + 1)));
        QCOMPARE(number.captured(1).toInt(), n + 1);
        QCOMPARE(number.captured(2).toInt(), int(pages.size()));
        for (const QString &line : pages[n].split(QLatin1Char('\n')))
            if (!line.contains(heading) && !line.contains(pageNumber) && !line.isEmpty())
                printed << line;
    }
    // Short lines come back as they are; long ones wrapped, whole and in order.
    QVERIFY(printed.size() > lines.size());
    const QString all = printed.join(QLatin1Char(' ')).simplified();
    qsizetype at = 0;
    for (const QString &line : lines) {
        if (line.size() < 60)
            QVERIFY2(printed.contains(line), qPrintable(line));
        const qsizetype found = all.indexOf(line.simplified(), at);
        QVERIFY2(found >= at, qPrintable(line.left(60)));
        at = found + line.simplified().size();
    }

    // A file that cannot be written goes to the general error box.
    boxes.type(QStringLiteral("/nonexistent-folder/výpis.pdf"));
    m_pane->trigger(QStringLiteral("Tiskvpisu1"));
    QCOMPARE(boxes.errors(), QStringList{QStringLiteral("Soubor /nonexistent-folder/výpis.pdf nelze zapsat.")});
    QCOMPARE(boxes.unexpected, 0);
}

// Which pane, the name chosen in the file dialog (empty: Cancel), and the
// file's bytes afterwards (null: none written) with the box shown.
void TestPrintSave::saveWritesHeadingAndText_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("box");
    // "✓" has no Windows-1250 byte: the user typed it into the pane.
    const QByteArray list = "List režimů vozu\nlist režimů\n21 vnitrostátní, ř ů €\n✓\n";
    QTest::newRow("reference list") << "Reimvozu2" << "out.txt" << list << QString();
    QTest::newRow("help page") << "n5" << "napoveda.txt"
                               << QByteArray("Nápověda k Výpisům\n5. Z databáze je možno udělat výpis podle zadaných "
                                             "parametrů jako jsou řada lokomotivy, charakteristika vozu, nebo podle "
                                             "jejich dislokace.\n")
                               << QString();
    QTest::newRow("cancelled") << "Reimvozu2" << QString() << QByteArray() << QString();
    QTest::newRow("folder missing") << "Reimvozu2" << "chybi/out.txt" << QByteArray()
                                    << "Soubor chybi/out.txt nelze zapsat";
    QTest::newRow("a data file") << "Reimvozu2" << "rezim.txt" << QByteArray()
                                 << "Soubor rezim.txt patří k datům Trakvidu, výpis do něj uložit nelze. Zvolte jiný název.";
}

void TestPrintSave::saveWritesHeadingAndText()
{
    QFETCH(QString, action);
    QFETCH(QString, chosen);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, box);
    writeLines(storage::REZIM, {QStringLiteral("list režimů"), QStringLiteral("21 vnitrostátní, ř ů €")});
    const QByteArray rezim = readFile(storage::REZIM);
    m_pane->trigger(action);
    m_pane->memo->moveCursor(QTextCursor::End);
    if (action == QLatin1String("Reimvozu2"))
        m_pane->memo->insertPlainText(QStringLiteral("✓"));

    ScriptedBoxes boxes;
    chosen.isEmpty() ? boxes.cancel() : boxes.type(chosen);
    m_pane->trigger(QStringLiteral("Uloitvpis1"));
    // The dialog suggests the heading as a name in the data folder.
    QCOMPARE(boxes.texts(boxes::Kind::SaveFile),
             QStringList{m_dir->path() + QLatin1Char('/') + m_pane->heading->text() + ".txt"});
    const QStringList shown = boxes.errors() + boxes.messages();
    QCOMPARE(shown.size(), box.isEmpty() ? 0 : 1);
    QVERIFY2(shown.value(0).startsWith(box), qPrintable(shown.value(0)));

    QStringList files{storage::REZIM};
    if (!bytes.isNull()) {
        QCOMPARE(readFile(chosen), bytes);
        files << chosen;
    }
    QCOMPARE(readFile(storage::REZIM), rezim);
    files.sort();
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), files);
}

TRAKVID_TEST_MAIN(TestPrintSave)
#include "tst_printsave.moc"
