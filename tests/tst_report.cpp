// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The identification report that "Zadáno" writes below the check digit.
#include "Unit1.h"
#include "databasemodel.h"
#include "storage.h"
#include "outputpane.h"
#include "testutil.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

using namespace Qt::StringLiterals;

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void locomotive_data();
    void locomotive();
    void wagon_data();
    void wagon();
    void wagonFoundWhereverItStands_data();
    void wagonFoundWhereverItStands();
    void missingFile_data();
    void missingFile();
    void titlesNeverMatch();
    void charactersBeyondTheFieldMatchNothing_data();
    void charactersBeyondTheFieldMatchNothing();
    void stateAfterReport();
    void nextReportReplacesTheLast();

private:
    void writeAllFiles();
    void enterLocomotive(const QString &series, const QString &serial);
    void enterWagon(const QString &rezim, const QString &vlastnik, const QString &charakteristika,
                    const QString &evidence);
    QStringList memoLines() const;
    QString header() const;

    std::unique_ptr<WorkDir> m_dir;
    std::unique_ptr<ScriptedBoxes> m_boxes;
    std::unique_ptr<Windows> m_windows;
    TForm1 *m_form = nullptr;
};

namespace {
const QStringList kLocomotiveKinds{
    u"nemotorový vůz"_s,
    u"elektrická stejnosměrná lokomotiva"_s,
    u"elektrická střídavá lokomotiva"_s,
    u"elektrická dvojsystémová lokomotiva"_s,
    u"elektrická jednotka stejnosměrná"_s,
    u"elektrická jednotka střídavá"_s,
    u"elektrická jednotka dvojsystémová"_s,
    u"Motorová lokomotiva"_s,
    u"motorový vůz"_s,
    u"Řídící vůz"_s,
};
const QStringList kWagonSeries{
    u"Řada T, vůz s otevíratelnou střechou"_s,
    u"Řada G, krytý vůz bězné stavby"_s,
    u"Řada H, krytý vůz zvláštní stavby"_s,
    u"Řady vozů K, O, R, vesměs plošinové vozy běžné stavby (asi 30-34 s nezávislými nápravami, 35-39 podvozkové)"_s,
    u"Řady vozů L, S, plošinový vůz zvláštní stavby (asi 40-44 s nezávislými nápravami, 45-49 s podvozky)"_s,
    u"Řada E, otevřený vůz běžné stavby"_s,
    u"Řada F, otevřený vůz zvlaštní stavby"_s,
    u"Řada Z, cisternový vůz"_s,
    u"Řada I, chladící vůz"_s,
    u"Řada U, speciální vůz"_s,
};
// Check digits of d54 001 for the series' first digit d.
const char kLocomotiveCheck[] = "3210987654";

// The line of d54 001 in lokomotivy.txt below.
QString locomotiveLine(int d)
{
    return QString::number(d) + u"54001-"_s + QChar(kLocomotiveCheck[d]) + u" dkv Česká Třebová pj Hradec Králové"_s;
}

// Lines of the files below that the wagon reports show.
const QString kWagon21a = u"21802345123-8 dkv Plzeň domovska Cheb"_s;
const QString kWagon21b = u"21802345123-8 dkv Cheb domovska Aš"_s;
const QString kWagon49 = u"49540123001-8 dkv Ústí nad Labem domovska Česká Třebová"_s;
const QString kWagon50 = u"50545123001-3 dkv  domovska "_s;
const QString kWagon79 = u"79545123001-0 dkv Praha domovska Praha"_s;
const QString kWagon80 = u"80540123001-8 dkv Brno domovska Brno"_s;
const QStringList kRezim21{u"21 vnitrostátní provoz"_s, u"21x bez mezery"_s, u"21"_s};
const QString kRezim49 = u"49 vozy pro mezinárodní přepravu"_s;
const QString kRezim50 = u"50 služební vozy"_s;
const QString kRezim79 = u"79 vozy jiných zemí"_s;
const QString kRezim80 = u"80 vozy s rozchodem 1435"_s;
const QString kVlastnik80 = u"80 DB"_s;
const QStringList kVlastnik54{u"54 ČD"_s, u"54ČD Cargo"_s};
const QString kTrida51 = u"51 vůz pro cestující"_s;
const QString kCharakteristika23 = u"23 lůžkový vůz"_s;
} // namespace

void TestReport::init()
{
    m_dir = std::make_unique<WorkDir>();
    QVERIFY(m_dir->ok());
    m_boxes = std::make_unique<ScriptedBoxes>();
    m_windows = std::make_unique<Windows>();
    m_form = m_windows->form1.get();
}

void TestReport::cleanup()
{
    if (m_boxes)
        QVERIFY2(m_boxes->shown.isEmpty(), qPrintable(m_boxes->shown.value(0).text));
    m_windows.reset();
    m_boxes.reset();
    m_dir.reset();
}

void TestReport::writeAllFiles()
{
    QStringList lokomotivy{u"Databáze lokomotivy"_s, u"Motorové lokomotivy"_s};
    for (int d = 0; d < 10; ++d) {
        lokomotivy << locomotiveLine(d) << QString::number(d) + u"54002-0 dkv  pj "_s;
    }
    lokomotivy << u"75400"_s << u" 754001-6 posun"_s << u"7540001-0 dkv  pj "_s << u"754001"_s;
    writeLines(storage::LOKOMOTIVY, lokomotivy);

    writeLines(storage::VOZY, {u"Databáze vozy"_s, u"Vozy Plzeň"_s, kWagon21a, u"21802345124-6 dkv Plzeň domovska Cheb"_s,
                               u"2180234512"_s, kWagon49, kWagon50, kWagon79, kWagon80, kWagon21b});
    writeLines(storage::REZIM, QStringList{u"list režimů"_s, kRezim21[0], u"2"_s, u"12 jiný"_s, kRezim21[1], kRezim49,
                                           kRezim50, kRezim79, kRezim80, kRezim21[2]});
    writeLines(storage::VLASTNIK, {u"list vlastníků vozu"_s, kVlastnik80, kVlastnik54[0], u"8"_s, kVlastnik54[1]});
    writeLines(storage::TRIDA_VOZU, {u"list charakteristiky 5-6"_s, kTrida51, u"23 nemá se ukázat"_s, u"5"_s});
    writeLines(storage::CHARAKTERISTIKA, {u"list charakteristiky 7-8"_s, kCharakteristika23, u"51 nemá se ukázat"_s});
}

// Typing as the user does: a click empties the field, then the digits.
static void typeInto(QLineEdit *field, const QString &text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QCOMPARE(field->text(), QString());
    QTest::keyClicks(field, text);
}

void TestReport::enterLocomotive(const QString &series, const QString &serial)
{
    auto *radio = child<QRadioButton>(m_form, "rbtn_lokomotivy");
    if (!radio->isChecked())
        QTest::mouseClick(radio, Qt::LeftButton);
    QVERIFY(radio->isChecked());
    typeInto(child<QLineEdit>(m_form, "edt_rezim"), series);
    typeInto(child<QLineEdit>(m_form, "edt_vlastnik"), serial);
    QTest::mouseClick(child<QPushButton>(m_form, "BitBtn_zadano"), Qt::LeftButton);
}

void TestReport::enterWagon(const QString &rezim, const QString &vlastnik, const QString &charakteristika,
                            const QString &evidence)
{
    auto *radio = child<QRadioButton>(m_form, "rbtn_vozy");
    if (!radio->isChecked())
        QTest::mouseClick(radio, Qt::LeftButton);
    QVERIFY(radio->isChecked());
    typeInto(child<QLineEdit>(m_form, "edt_rezim"), rezim);
    typeInto(child<QLineEdit>(m_form, "edt_vlastnik"), vlastnik);
    typeInto(child<QLineEdit>(m_form, "edt_charakteristika"), charakteristika);
    typeInto(child<QLineEdit>(m_form, "edt_evidence"), evidence);
    QTest::mouseClick(child<QPushButton>(m_form, "BitBtn_zadano"), Qt::LeftButton);
}

QStringList TestReport::memoLines() const
{
    return child<OutputPane>(m_form, "Memo1")->text().split(u'\n');
}

QString TestReport::header() const { return child<QLabel>(m_form, "lbl_databaze_memo")->text(); }

// ---- locomotives ----------------------------------------------------------------

void TestReport::locomotive_data()
{
    QTest::addColumn<int>("digit");
    QTest::addColumn<QStringList>("extraLines");
    for (int d = 0; d < 10; ++d)
        QTest::addRow("series %d54", d) << d << (d == 7 ? QStringList{u"754001"_s} : QStringList());
}

// The kind line, then every line whose first six characters are the number.
void TestReport::locomotive()
{
    QFETCH(int, digit);
    QFETCH(QStringList, extraLines);
    writeAllFiles();
    enterLocomotive(QString::number(digit) + u"54"_s, u"001"_s);

    const QString check(QChar(kLocomotiveCheck[digit]));
    QCOMPARE(child<QLabel>(m_form, "lbl_kontrolka")->text(), check);
    QCOMPARE(header(), u"Hnací vozidlo "_s + QString::number(digit) + u"54 001-"_s + check);
    const QStringList expected = QStringList{kLocomotiveKinds[digit], locomotiveLine(digit)} + extraLines;
    QCOMPARE(memoLines(), expected);
}

// ---- wagons ---------------------------------------------------------------------

void TestReport::wagonFoundWhereverItStands_data()
{
    QTest::addColumn<QByteArray>("vozy");
    QTest::addColumn<QStringList>("found");
    const QByteArray line = "21802345123-8 dkv Plze\xF2 domovska Cheb";
    const QString text = u"21802345123-8 dkv Plzeň domovska Cheb"_s;
    QTest::newRow("first and last line, no last line end") << line + "\r\nx\r\n" + line << QStringList{text, text};
    QTest::newRow("LF line ends, CR ending the file") << "x\n" + line + "\n21802345123\r" << QStringList{text, u"21802345123"_s};
    QTest::newRow("inside other lines only")
        << QByteArray("z\xE1lo\x9Eka 21802345123\r\nx\r21802345123-8\r\n2180234512\r\n 21802345123\r\n")
        << QStringList();
    // The file is read in pieces: finds near their edges are whole lines too.
    QByteArray big;
    QStringList many;
    for (int i = 0; i < 20000; ++i) {
        const bool wagon = i % 997 == 0;
        big += wagon ? line + QByteArray::number(i) : "31802345123-8 dkv Brno domovska Brno " + QByteArray::number(i);
        big += "\r\n";
        if (wagon)
            many << text + QString::number(i);
    }
    QTest::newRow("20,000 lines") << big << many;
}

// The report looks for the number in the file's bytes: only a line that
// begins with it is listed, wherever the line stands in the file.
void TestReport::wagonFoundWhereverItStands()
{
    QFETCH(QByteArray, vozy);
    QFETCH(QStringList, found);
    writeAllFiles();
    writeFile(storage::VOZY, vozy);
    enterWagon(u"21"_s, u"80"_s, u"2345"_s, u"123"_s);
    QCOMPARE(memoLines().mid(0, found.size() + 1), found + QStringList{kRezim21[0]});
}


void TestReport::wagon_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QStringList>("lines");

    // Regime 21: database lines in file order, every regime line of code 21, the
    // owner line, then the series line of characteristic digit 2.
    QTest::newRow("regime 21, the wagon twice in file order") << QStringList{u"21"_s, u"80"_s, u"2345"_s, u"123"_s} << u"Vůz 21802345123-8"_s
                               << QStringList{kWagon21a, kWagon21b} + kRezim21
                                      + QStringList{kVlastnik80, kWagonSeries[2]};
    QTest::newRow("regime 49") << QStringList{u"49"_s, u"54"_s, u"0123"_s, u"001"_s} << u"Vůz 49540123001-8"_s
                               << QStringList{kWagon49, kRezim49} + kVlastnik54 + QStringList{kWagonSeries[0]};
    QTest::newRow("regime 50") << QStringList{u"50"_s, u"54"_s, u"5123"_s, u"001"_s} << u"Vůz 50545123001-3"_s
                               << QStringList{kWagon50, kRezim50} + kVlastnik54
                                      + QStringList{kTrida51, kCharakteristika23};
    QTest::newRow("regime 79") << QStringList{u"79"_s, u"54"_s, u"5123"_s, u"001"_s} << u"Vůz 79545123001-0"_s
                               << QStringList{kWagon79, kRezim79} + kVlastnik54
                                      + QStringList{kTrida51, kCharakteristika23};
    QTest::newRow("regime 80") << QStringList{u"80"_s, u"54"_s, u"0123"_s, u"001"_s} << u"Vůz 80540123001-8"_s
                               << QStringList{kWagon80, kRezim80} + kVlastnik54 + QStringList{kWagonSeries[0]};

    // Every series text, by the first digit of the characteristic.
    const char checks[] = "2086419753";
    for (int d = 0; d < 10; ++d) {
        if (d == 2)
            continue; // the regime 21 row
        QTest::addRow("series digit %d", d)
            << QStringList{u"21"_s, u"80"_s, QString::number(d) + u"345"_s, u"123"_s}
            << u"Vůz 2180"_s + QString::number(d) + u"345123-"_s + QChar(checks[d]) << kRezim21 + QStringList{kVlastnik80, kWagonSeries[d]};
    }
}

void TestReport::wagon()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, header);
    QFETCH(QStringList, lines);
    writeAllFiles();
    QStringList before;
    for (const QString &name : {storage::VOZY, storage::REZIM, storage::VLASTNIK, storage::TRIDA_VOZU,
                                storage::CHARAKTERISTIKA})
        before << QString::fromLatin1(readFile(name).toHex());

    enterWagon(fields[0], fields[1], fields[2], fields[3]);
    QCOMPARE(this->header(), header);
    QCOMPARE(memoLines(), lines);

    // The report reads the files and never writes them.
    QStringList after;
    for (const QString &name : {storage::VOZY, storage::REZIM, storage::VLASTNIK, storage::TRIDA_VOZU,
                                storage::CHARAKTERISTIKA})
        after << QString::fromLatin1(readFile(name).toHex());
    QCOMPARE(after, before);
}

// ---- missing files ----------------------------------------------------------------

void TestReport::missingFile_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<bool>("asFolder"); // a folder at the file's name cannot be opened either
    QTest::addColumn<bool>("locomotive");
    QTest::addColumn<QString>("regime");
    QTest::addColumn<QStringList>("lines");

    const QStringList wagon = {kWagon50};
    const QStringList regime = wagon + QStringList{kRezim50};
    const QStringList owner = regime + kVlastnik54;
    const QStringList trida = owner + QStringList{kTrida51};
    QTest::newRow("lokomotivy.txt") << storage::LOKOMOTIVY << false << true << QString()
                                    << QStringList{kLocomotiveKinds[7], u"databáze lokomotiv neexistuje"_s};
    QTest::newRow("vozy.txt") << storage::VOZY << false << false << u"50"_s
                              << QStringList{u"databáze vozů neexistuje"_s};
    QTest::newRow("rezim.txt") << storage::REZIM << false << false << u"50"_s
                               << wagon + QStringList{u"databáze režimu neexistuje"_s};
    QTest::newRow("vlastnik.txt") << storage::VLASTNIK << false << false << u"50"_s
                                  << regime + QStringList{u"databáze vlastníků neexistuje"_s};
    QTest::newRow("trida_vozu.txt") << storage::TRIDA_VOZU << false << false << u"50"_s
                                    << owner + QStringList{u"databáze páté a šesté číslice čísla vozu neexistuje"_s};
    QTest::newRow("charakteristika.txt")
        << storage::CHARAKTERISTIKA << false << false << u"50"_s
        << trida + QStringList{u"databáze sedmé a osmé číslice čísla vozu neexistuje"_s};
    // A folder is there: it is told as what it is, not as missing.
    QTest::newRow("rezim.txt as a folder") << storage::REZIM << true << false << u"50"_s
                                           << wagon + QStringList{u"Soubor rezim.txt je složka."_s};
    QTest::newRow("lokomotivy.txt as a folder") << storage::LOKOMOTIVY << true << true << QString()
                                                << QStringList{kLocomotiveKinds[7], u"Soubor lokomotivy.txt je složka."_s};
    // Regimes outside 50-79 never read the two characteristic lists.
    QTest::newRow("trida_vozu.txt, regime 49")
        << storage::TRIDA_VOZU << false << false << u"49"_s
        << QStringList{kWagon49, kRezim49} + kVlastnik54 + QStringList{kWagonSeries[0]};
    QTest::newRow("charakteristika.txt, regime 80")
        << storage::CHARAKTERISTIKA << false << false << u"80"_s
        << QStringList{kWagon80, kRezim80} + kVlastnik54 + QStringList{kWagonSeries[0]};
}

void TestReport::missingFile()
{
    QFETCH(QString, missing);
    QFETCH(bool, asFolder);
    QFETCH(bool, locomotive);
    QFETCH(QString, regime);
    QFETCH(QStringList, lines);
    writeAllFiles();
    QVERIFY(QFile::remove(missing));
    if (asFolder)
        QVERIFY(QDir(u"."_s).mkdir(missing));

    if (locomotive)
        enterLocomotive(u"754"_s, u"001"_s);
    else if (regime == u"50")
        enterWagon(regime, u"54"_s, u"5123"_s, u"001"_s);
    else
        enterWagon(regime, u"54"_s, u"0123"_s, u"001"_s);
    // The header is shown all the same.
    QVERIFY(header().startsWith(locomotive ? u"Hnací vozidlo 754 001-6"_s : u"Vůz "_s + regime));
    QCOMPARE(memoLines(), lines);
}

// Files as start-up creates them: their titles never match a number or a code.
void TestReport::titlesNeverMatch()
{
    for (const QString &name : {storage::LOKOMOTIVY, storage::VOZY, storage::REZIM, storage::VLASTNIK,
                                storage::TRIDA_VOZU, storage::CHARAKTERISTIKA})
        QVERIFY(storage::save(name, {storage::header(name)}).ok);

    enterWagon(u"21"_s, u"80"_s, u"2345"_s, u"123"_s);
    QCOMPARE(memoLines(), QStringList{kWagonSeries[2]});
    enterWagon(u"50"_s, u"54"_s, u"5123"_s, u"001"_s);
    QCOMPARE(memoLines(), QStringList{QString()}); // nothing found at all
    enterLocomotive(u"754"_s, u"001"_s);
    QCOMPARE(memoLines(), QStringList{kLocomotiveKinds[7]});
}

// A fourth series digit or a third regime digit pasted into the field: the
// check digit comes from the field's first characters, but the key is the
// whole text, which no line matches.
void TestReport::charactersBeyondTheFieldMatchNothing_data()
{
    QTest::addColumn<bool>("locomotive");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("series 7540") << true << u"7540"_s << u"Hnací vozidlo 754 001-6"_s
                                 << QStringList{kLocomotiveKinds[7]};
    QTest::newRow("regime 215") << false << u"215"_s << u"Vůz 21802345123-8"_s
                                << QStringList{kVlastnik80, kWagonSeries[2]};
}

void TestReport::charactersBeyondTheFieldMatchNothing()
{
    QFETCH(bool, locomotive);
    QFETCH(QString, pasted);
    QFETCH(QString, header);
    QFETCH(QStringList, lines);
    writeAllFiles();
    auto *rezim = child<QLineEdit>(m_form, "edt_rezim");
    if (locomotive) {
        enterLocomotive(u"754"_s, u"001"_s);
        QCOMPARE(memoLines().size(), 3); // the kind and two lines: the file does hold the vehicle
    } else {
        enterWagon(u"21"_s, u"80"_s, u"2345"_s, u"123"_s);
        QVERIFY(memoLines().contains(kWagon21a));
    }
    rezim->selectAll();
    rezim->insert(pasted); // as a paste does
    QCOMPARE(rezim->text(), pasted);
    QTest::mouseClick(child<QPushButton>(m_form, "BitBtn_zadano"), Qt::LeftButton);

    QCOMPARE(this->header(), header);
    QCOMPARE(memoLines(), lines);
}

// ---- state after the report ---------------------------------------------------------

void TestReport::stateAfterReport()
{
    writeAllFiles();
    auto *uloz = child<QPushButton>(m_form, "btn_uloz");
    auto *dale = child<QPushButton>(m_form, "bitbtn_napoveda_dale");
    auto *zpet = child<QPushButton>(m_form, "BitBtn_napoveda_zpet");
    auto *rezim = child<QLineEdit>(m_form, "edt_rezim");
    for (QPushButton *b : {uloz, dale, zpet})
        b->setEnabled(true);
    const QStringList panels{m_form->panel(0), m_form->panel(1), m_form->panel(2), m_form->panel(3)};

    enterWagon(u"21"_s, u"80"_s, u"2345"_s, u"123"_s);
    QVERIFY(!uloz->isEnabled());
    QVERIFY(!dale->isEnabled());
    QVERIFY(!zpet->isEnabled());
    QCOMPARE(QApplication::focusWidget(), rezim);
    QCOMPARE(rezim->text(), u"21"_s);
    QCOMPARE(rezim->selectedText(), u"21"_s);
    QCOMPARE(child<QLineEdit>(m_form, "edt_evidence")->text(), u"123"_s);
    QCOMPARE((QStringList{m_form->panel(0), m_form->panel(1), m_form->panel(2), m_form->panel(3)}), panels);
    QCOMPARE(m_form->databaze()->count(), 0);

    // Typing the next number replaces the selected text at once.
    QTest::keyClicks(QApplication::focusWidget(), u"5"_s);
    QCOMPARE(rezim->text(), u"5"_s);
}

void TestReport::nextReportReplacesTheLast()
{
    writeAllFiles();
    enterWagon(u"21"_s, u"80"_s, u"2345"_s, u"123"_s);
    QCOMPARE(memoLines().size(), 7);
    enterLocomotive(u"954"_s, u"001"_s);
    QCOMPARE(header(), u"Hnací vozidlo 954 001-4"_s);
    QCOMPARE(memoLines(), (QStringList{kLocomotiveKinds[9], locomotiveLine(9)}));
}

TRAKVID_TEST_MAIN(TestReport)
#include "tst_report.moc"
