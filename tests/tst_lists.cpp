// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "Unit1.h"
#include "outputpane.h"
#include "storage.h"
#include "testutil.h"

#include <QAction>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

// The four reference lists shown in the output pane, edited there and saved
// with "Ulož".
class TestLists : public QObject
{
    Q_OBJECT
private slots:
    void showEditSave_data();
    void showEditSave();
    void roundTripIsByteIdentical_data();
    void roundTripIsByteIdentical();
    void helpPageKeepsUlozButSavesNothing();
    void listingAfterListViewDisablesUloz_data();
    void listingAfterListViewDisablesUloz();
    void failedReadKeepsFormerState_data();
    void failedReadKeepsFormerState();
    void failedSaveGoesToErrorBox_data();
    void failedSaveGoesToErrorBox();
    void unencodableCharacterRefused_data();
    void unencodableCharacterRefused();
    void standardCodes_data();
    void standardCodes();
};

namespace {

struct Form : PaneControls {
    using PaneControls::PaneControls;
    // "Doplnit standardní kódy" is offered exactly while the owner or regime list is shown.
    bool codesOffered() const { return child<QAction>(form1, "Doplnitstandardnkdy1")->isEnabled(); }
    void pressUloz() { QTest::mouseClick(uloz, Qt::LeftButton); }
    // Types into the pane as a keyboard would; a character beyond one UTF-16
    // unit arrives as an input-method commit, the way such characters come.
    void type(const QString &text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate()) {
                QInputMethodEvent commit;
                commit.setCommitString(text.mid(i, 2));
                QApplication::sendEvent(editor, &commit);
                ++i;
                continue;
            }
            typeText(editor, QString(text[i]));
        }
    }
    // Puts the cursor at the end of the given 0-based line, as keys would.
    void endOfLine(int line)
    {
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < line; ++i)
            QTest::keyClick(editor, Qt::Key_Down);
        QTest::keyClick(editor, Qt::Key_End);
    }
    // Types a wagon number as the user does (a click empties a field) and presses "Zadáno".
    void identifyWagon(const QStringList &fields)
    {
        const char *names[] = {"edt_rezim", "edt_vlastnik", "edt_charakteristika", "edt_evidence"};
        for (int i = 0; i < 4; ++i) {
            auto *field = child<QLineEdit>(form1, names[i]);
            QTest::mouseClick(field, Qt::LeftButton);
            QTest::keyClicks(field, fields[i]);
        }
        QTest::mouseClick(child<QPushButton>(form1, "BitBtn_zadano"), Qt::LeftButton);
    }
};

const QStringList kAllLists = {storage::REZIM, storage::VLASTNIK, storage::TRIDA_VOZU, storage::CHARAKTERISTIKA};

// Every list with two entries, CR LF after each line.
void writeAllLists()
{
    writeLines(storage::REZIM, {QStringLiteral("list režimů"), QStringLiteral("21 RIV vůz"),
                                QStringLiteral("31 RIV vůz s výměnnými dvojkolími")});
    writeLines(storage::VLASTNIK, {QStringLiteral("list vlastníků vozu"), QStringLiteral("54 ČD Cargo"),
                                   QStringLiteral("80 DB")});
    writeLines(storage::TRIDA_VOZU, {QStringLiteral("list charakteristiky 5-6"), QStringLiteral("23 vozy řady E"),
                                     QStringLiteral("45 vozy řady F")});
    writeLines(storage::CHARAKTERISTIKA, {QStringLiteral("list charakteristiky 7-8"),
                                          QStringLiteral("45 čtyřnápravový"), QStringLiteral("67 dvounápravový")});
}

QMap<QString, QByteArray> snapshot()
{
    QMap<QString, QByteArray> files;
    for (const QString &name : kAllLists)
        files[name] = QFile::exists(name) ? readFile(name) : QByteArray("<missing>");
    return files;
}

// The lines a table of standard codes gives a list: each code, a blank, its
// text, in the table's order, which must be code order.
QStringList standardLines(const QString &resource)
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    QStringList lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (!line.startsWith(QLatin1Char('#')))
            lines << QString(line).replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (!std::is_sorted(lines.begin(), lines.end()) || !storage::isEncodable(lines.join(QString())))
        qFatal("%s is out of code order or not Windows-1250", qPrintable(resource));
    return lines;
}

QStringList without(QStringList lines, const QStringList &codes)
{
    lines.removeIf([&](const QString &line) { return codes.contains(line.left(2)); });
    return lines;
}

} // namespace

void TestLists::showEditSave_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QStringList>("edited"); // the file's lines after the edit of line 1
    QTest::addColumn<QStringList>("wagon");  // a wagon whose report shows the edited entry
    QTest::addColumn<bool>("codes");         // standard codes are offered
    QTest::newRow("regimes") << "Reimvozu2" << storage::REZIM << "List režimů vozu" << "list režimů vozu uložen"
                             << QStringList{"list režimů", "21 RIV vůz, ložná míra",
                                            "31 RIV vůz s výměnnými dvojkolími"}
                             << QStringList{"21", "54", "2345", "123"} << true;
    QTest::newRow("owners") << "Vlastnkvozu1" << storage::VLASTNIK << "List vlastníků vozu"
                            << "list vlastníků vozu uložen"
                            << QStringList{"list vlastníků vozu", "54 ČD Cargo, ložná míra", "80 DB"}
                            << QStringList{"21", "54", "2345", "123"} << true;
    QTest::newRow("characteristic 5-6") << "Charakteristika561" << storage::TRIDA_VOZU
                                        << "List charakteristiky vozu číslice 5-6 vozu"
                                        << "list charakteristiky vozu číslice 5-6 uložen"
                                        << QStringList{"list charakteristiky 5-6", "23 vozy řady E, ložná míra",
                                                       "45 vozy řady F"}
                                        << QStringList{"51", "54", "2345", "123"} << false;
    QTest::newRow("characteristic 7-8") << "Charakteristika781" << storage::CHARAKTERISTIKA
                                        << "List charakteristiky vozu číslice 7-8 vozu"
                                        << "list charakteristiky vozu číslice 7-8 uložen"
                                        << QStringList{"list charakteristiky 7-8", "45 čtyřnápravový, ložná míra",
                                                       "67 dvounápravový"}
                                        << QStringList{"51", "54", "2345", "123"} << false;
}

void TestLists::showEditSave()
{
    QFETCH(QString, action);
    QFETCH(QString, file);
    QFETCH(QString, heading);
    QFETCH(QString, saved);
    QFETCH(QStringList, edited);
    QFETCH(QStringList, wagon);
    QFETCH(bool, codes);
    WorkDir dir;
    writeAllLists();
    writeLines(storage::VOZY, {QStringLiteral("Databáze vozy")});
    const QStringList original = storage::load(file).lines;
    const auto before = snapshot();
    Windows w;
    Form f(w);
    f.trigger(QStringLiteral("n2"));
    QVERIFY(f.next->isEnabled());
    QVERIFY(!f.codesOffered());

    ScriptedBoxes boxes;
    f.trigger(action);
    QCOMPARE(f.codesOffered(), codes);
    QCOMPARE(f.memo->text(), original.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QCOMPARE(f.heading->text(), heading);
    QVERIFY(f.uloz->isEnabled());
    QVERIFY(!f.next->isEnabled());
    QVERIFY(!f.back->isEnabled());
    QCOMPARE(w.form1->strana_napovedy, 2);

    f.endOfLine(1);
    f.type(QStringLiteral(", ložná míra"));
    f.pressUloz();
    QCOMPARE(boxes.messages(), QStringList{saved});
    QVERIFY(boxes.errors().isEmpty());
    QCOMPARE(readFile(file), crlfLines(edited));
    auto expected = before;
    expected[file] = crlfLines(edited);
    QCOMPARE(snapshot(), expected);
    // Saving leaves the list on show, ready for another edit and save.
    QCOMPARE(f.heading->text(), heading);
    QVERIFY(f.uloz->isEnabled());
    f.endOfLine(2);
    f.type(QStringLiteral("!"));
    f.pressUloz();
    edited[2] += QLatin1Char('!');
    QCOMPARE(readFile(file), crlfLines(edited));
    QCOMPARE(boxes.messages(), (QStringList{saved, saved}));

    // The next identification of a wagon reads the saved entry.
    f.identifyWagon(wagon);
    const QStringList report = f.memo->text().split(QLatin1Char('\n'));
    QVERIFY2(report.contains(edited[1]), qPrintable(report.join(QLatin1String(" | "))));
    QVERIFY(!f.uloz->isEnabled());
    QVERIFY(!f.codesOffered());
}

void TestLists::roundTripIsByteIdentical_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    const struct {
        const char *name;
        QByteArray bytes;
    } contents[] = {
        {"no last line end", cp1250(QStringLiteral("list režimů\r\n21 RIV"))},
        {"empty lines", cp1250(QStringLiteral("\r\n\r\nlist\r\n\r\n\r\n21 RIV\r\n\r\n"))},
        {"only line ends", QByteArray("\r\n\r\n")},
        {"empty file", QByteArray()},
        {"Czech letters", cp1250(QStringLiteral("ěščřžýáíéúůďťň ĚŠČŘŽÝÁÍÉÚŮĎŤŇ „uvozovky“ – €\r\n"))},
        {"no-break space", cp1250(QStringLiteral("21\u00A0RIV\u00A0vůz\r\n"))},
        {"blanks and tabs", QByteArray("  21 \t RIV  \r\n\t\r\n ")},
        // The pane shows a lone CR as a line break, but the file keeps it
        // inside its line, short list or long.
        {"lone CR inside a line", cp1250(QStringLiteral("list režimů\r\n21 nákladní\rvůz\r\n31 osobní\r\n"))},
        {"lone CR in 1,201 lines", cp1250(QStringLiteral("list\r\n") + QStringLiteral("21 nákladní\rvůz\r\n").repeated(1200))},
    };
    const struct {
        const char *action;
        QString file;
    } lists[] = {{"Reimvozu2", storage::REZIM},
                 {"Vlastnkvozu1", storage::VLASTNIK},
                 {"Charakteristika561", storage::TRIDA_VOZU},
                 {"Charakteristika781", storage::CHARAKTERISTIKA}};
    for (const auto &list : lists)
        for (const auto &content : contents)
            QTest::addRow("%s, %s", list.action, content.name) << QString::fromLatin1(list.action) << list.file
                                                               << content.bytes;
}

void TestLists::roundTripIsByteIdentical()
{
    QFETCH(QString, action);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    WorkDir dir;
    writeFile(file, bytes);
    Windows w;
    Form f(w);
    ScriptedBoxes boxes;
    f.trigger(action);
    QVERIFY(f.uloz->isEnabled());
    // The file is removed first, so the bytes compared below are really written anew.
    QVERIFY(QFile::remove(file));
    f.pressUloz();
    QCOMPARE(boxes.messages().size(), 1);
    QVERIFY(boxes.messages().first().endsWith(QStringLiteral(" uložen")));
    QCOMPARE(readFile(file), bytes);
}

void TestLists::helpPageKeepsUlozButSavesNothing()
{
    WorkDir dir;
    writeAllLists();
    Windows w;
    Form f(w);
    ScriptedBoxes boxes;
    f.trigger(QStringLiteral("Reimvozu2"));
    f.trigger(QStringLiteral("n3"));
    QVERIFY(f.uloz->isEnabled());
    QCOMPARE(f.heading->text(), QStringLiteral("Nápověda k uložení databáze"));
    QVERIFY(!f.codesOffered());
    for (const QString &file : kAllLists)
        QVERIFY(QFile::remove(file));
    f.pressUloz();
    QVERIFY(boxes.shown.isEmpty());
    for (const QString &file : kAllLists)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
}

void TestLists::listingAfterListViewDisablesUloz_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("regimes") << "Reimvozu2";
    QTest::newRow("owners") << "Vlastnkvozu1";
    QTest::newRow("characteristic 5-6") << "Charakteristika561";
    QTest::newRow("characteristic 7-8") << "Charakteristika781";
}

void TestLists::listingAfterListViewDisablesUloz()
{
    QFETCH(QString, action);
    WorkDir dir;
    writeAllLists();
    writeLines(storage::LOKOMOTIVY, {QStringLiteral("Databáze lokomotivy"), QStringLiteral("754001-6 dkv A pj B")});
    const auto before = snapshot();
    Windows w;
    Form f(w);
    f.trigger(action);
    QVERIFY(f.uloz->isEnabled());
    ScriptedBoxes boxes;
    boxes.type(QStringLiteral("754"));
    f.trigger(QStringLiteral("Podleady1"));
    QCOMPARE(f.memo->text(), QStringLiteral("754001-6 dkv A pj B"));
    QVERIFY(!f.uloz->isEnabled());
    QVERIFY(!f.codesOffered());
    w.form1->btn_ulozClick();
    QCOMPARE(snapshot(), before);
}

// A list that cannot be read leaves the pane, its heading and "Ulož" as they
// were, so nothing of the former pane can go into that list's file.
void TestLists::failedReadKeepsFormerState_data()
{
    QTest::addColumn<QString>("former");     // the command shown before
    QTest::addColumn<QString>("formerFile"); // the list it shows, or empty for a help page
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("failingFile");
    QTest::addColumn<bool>("asFolder"); // the file is a folder instead of missing
    QTest::addColumn<QString>("message");
    QTest::newRow("5-6 after owners") << "Vlastnkvozu1" << storage::VLASTNIK << "Charakteristika561"
                                      << storage::TRIDA_VOZU << false
                                      << "databáze charakteristiky číslice 5-6 neexistuje !!";
    QTest::newRow("5-6 after help page") << "n4" << QString() << "Charakteristika561" << storage::TRIDA_VOZU << false
                                         << "databáze charakteristiky číslice 5-6 neexistuje !!";
    QTest::newRow("7-8 after regimes") << "Reimvozu2" << storage::REZIM << "Charakteristika781"
                                       << storage::CHARAKTERISTIKA << false
                                       << "List charakteristiky číslice 7-8 neexistuje !!";
    QTest::newRow("regimes after owners") << "Vlastnkvozu1" << storage::VLASTNIK << "Reimvozu2" << storage::REZIM
                                          << false << "databáze režimů neexistuje !!";
    QTest::newRow("regimes unreadable after owners") << "Vlastnkvozu1" << storage::VLASTNIK << "Reimvozu2"
                                                     << storage::REZIM << true << "Soubor rezim.txt je složka.";
    QTest::newRow("regimes after help page") << "n4" << QString() << "Reimvozu2" << storage::REZIM << false
                                             << "databáze režimů neexistuje !!";
    QTest::newRow("owners after 7-8") << "Charakteristika781" << storage::CHARAKTERISTIKA << "Vlastnkvozu1"
                                      << storage::VLASTNIK << false << "List vlastníků neexistuje !!";
    QTest::newRow("owners after help page") << "n1" << QString() << "Vlastnkvozu1" << storage::VLASTNIK << false
                                            << "List vlastníků neexistuje !!";
}

void TestLists::failedReadKeepsFormerState()
{
    QFETCH(QString, former);
    QFETCH(QString, formerFile);
    QFETCH(QString, failing);
    QFETCH(QString, failingFile);
    QFETCH(bool, asFolder);
    QFETCH(QString, message);
    WorkDir dir;
    writeAllLists();
    QVERIFY(QFile::remove(failingFile));
    if (asFolder)
        QVERIFY(QDir().mkdir(failingFile));
    Windows w;
    Form f(w);
    f.trigger(former);
    // An unsaved edit of the pane, which must survive and must not reach the failing list.
    f.endOfLine(1);
    f.type(QStringLiteral(" (upraveno)"));
    const QString pane = f.memo->text();
    const QString heading = f.heading->text();
    const bool ulozEnabled = f.uloz->isEnabled();
    QCOMPARE(ulozEnabled, !formerFile.isEmpty());
    const bool codesOffered = f.codesOffered();
    QCOMPARE(codesOffered, formerFile == storage::REZIM || formerFile == storage::VLASTNIK);
    const auto before = snapshot();

    ScriptedBoxes boxes;
    f.trigger(failing);
    // A missing list in its own words; a folder at its name in the error box, as it is.
    QCOMPARE(boxes.messages() + boxes.errors(), QStringList{message});
    QCOMPARE(f.memo->text(), pane);
    QCOMPARE(f.heading->text(), heading);
    QCOMPARE(f.uloz->isEnabled(), ulozEnabled);
    QCOMPARE(f.codesOffered(), codesOffered);
    QVERIFY(!f.next->isEnabled());
    QVERIFY(!f.back->isEnabled());

    boxes.clear();
    w.form1->btn_ulozClick();
    auto expected = before;
    if (!formerFile.isEmpty()) {
        // The pane still holds the former list, and it goes to that list's own file.
        QCOMPARE(boxes.messages().size(), 1);
        expected[formerFile] = cp1250(QString(pane).replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    } else {
        QVERIFY(boxes.shown.isEmpty());
    }
    QCOMPARE(snapshot(), expected);
    QCOMPARE(QFileInfo(failingFile).isDir(), asFolder);
}

void TestLists::failedSaveGoesToErrorBox_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    QTest::newRow("regimes") << "Reimvozu2" << storage::REZIM;
    QTest::newRow("owners") << "Vlastnkvozu1" << storage::VLASTNIK;
    QTest::newRow("characteristic 5-6") << "Charakteristika561" << storage::TRIDA_VOZU;
    QTest::newRow("characteristic 7-8") << "Charakteristika781" << storage::CHARAKTERISTIKA;
}

void TestLists::failedSaveGoesToErrorBox()
{
    QFETCH(QString, action);
    QFETCH(QString, file);
    WorkDir dir;
    writeAllLists();
    Windows w;
    Form f(w);
    ScriptedBoxes boxes;
    f.trigger(action);
    // A folder of the list's name cannot be replaced by a file, even by root.
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir().mkdir(file));
    boxes.yes(); // write over what now stands at its name
    f.pressUloz();
    QVERIFY(boxes.messages().isEmpty());
    QCOMPARE(boxes.errors().size(), 1);
    QVERIFY2(boxes.errors().first().contains(file), qPrintable(boxes.errors().first()));
    QVERIFY(QFileInfo(file).isDir());
}

void TestLists::unencodableCharacterRefused_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("character");
    QTest::newRow("regimes, arrow") << "Reimvozu2" << storage::REZIM << "21 → 31" << "→";
    QTest::newRow("owners, face") << "Vlastnkvozu1" << storage::VLASTNIK << "ok \U0001F600" << "\U0001F600";
    QTest::newRow("characteristic 5-6, ñ") << "Charakteristika561" << storage::TRIDA_VOZU << "España ñ" << "ñ";
    QTest::newRow("characteristic 7-8, CJK") << "Charakteristika781" << storage::CHARAKTERISTIKA << "vůz 中" << "中";
}

void TestLists::unencodableCharacterRefused()
{
    QFETCH(QString, action);
    QFETCH(QString, file);
    QFETCH(QString, typed);
    QFETCH(QString, character);
    WorkDir dir;
    writeAllLists();
    const auto before = snapshot();
    Windows w;
    Form f(w);
    ScriptedBoxes boxes;
    f.trigger(action);
    f.endOfLine(2);
    f.type(typed);
    f.pressUloz();
    QCOMPARE(boxes.messages(),
             QStringList{QStringLiteral("Soubor %1 nebyl uložen: znak „%2“ na řádku 3 nelze zapsat v kódování "
                                        "Windows-1250. Odstraňte ho a uložte list znovu.")
                             .arg(file, character)});
    QVERIFY(boxes.errors().isEmpty());
    QCOMPARE(snapshot(), before);
    // The pane keeps the text, so the user can mend it and save.
    QVERIFY(f.memo->text().contains(typed));
    QVERIFY(f.uloz->isEnabled());
}

// "Doplnit standardní kódy" appends the missing codes to the pane as an edit
// that can be undone, "Ulož" writes them, and the report reads them.
void TestLists::standardCodes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("after"); // the file's lines after "Ulož"
    QTest::addColumn<QStringList>("wagon");
    QTest::addColumn<QString>("reported"); // a line of the wagon's report
    const QStringList countries = standardLines(QStringLiteral(":/codes/countries.tsv"));
    const QStringList regimes = standardLines(QStringLiteral(":/codes/regimes.tsv"));
    const QStringList wagon21{"21", "54", "2345", "123"};
    QTest::newRow("owners, new list") << "Vlastnkvozu1" << storage::VLASTNIK << crlfLines({"list vlastníků vozu"})
                                      << QStringList{"list vlastníků vozu"} + countries << wagon21 << "54 Česko";
    QTest::newRow("owners, empty file") << "Vlastnkvozu1" << storage::VLASTNIK << QByteArray() << countries
                                        << wagon21 << "54 Česko";
    // Laos and Tanzania, which the UIC list gained in 2024.
    QTest::newRow("owners, codes of 2024") << "Vlastnkvozu1" << storage::VLASTNIK << QByteArray() << countries
                                           << QStringList{"21", "89", "2345", "123"} << "89 Tanzanie";
    const QStringList own{"list vlastníků", "80 DB", "5", "54 ČD Cargo", "ČD 54"};
    QTest::newRow("owners, own texts, last line unended")
        << "Vlastnkvozu1" << storage::VLASTNIK << cp1250(own.join(QLatin1String("\r\n")))
        << own + without(countries, {"54", "80"}) << wagon21 << "54 ČD Cargo";
    QStringList full = countries;
    std::reverse(full.begin(), full.end());
    QTest::newRow("owners, full") << "Vlastnkvozu1" << storage::VLASTNIK << crlfLines(full) << full << wagon21
                                  << "54 Česko";
    QTest::newRow("regimes") << "Reimvozu2" << storage::REZIM << crlfLines({"list režimů", "92 motorák"})
                             << QStringList{"list režimů", "92 motorák"} + without(regimes, {"92"})
                             << QStringList{"91", "54", "2345", "123"} << "91 elektrická lokomotiva";
    QStringList notes; // the pane shows this many lines through its lines view
    for (int i = 0; i < 1500; ++i)
        notes << QStringLiteral("poznámka %1").arg(i);
    QTest::newRow("regimes, long list") << "Reimvozu2" << storage::REZIM << crlfLines(notes) << notes + regimes
                                        << QStringList{"99", "54", "2345", "123"} << "99 speciální vozidlo";
}

void TestLists::standardCodes()
{
    QFETCH(QString, action);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, after);
    QFETCH(QStringList, wagon);
    QFETCH(QString, reported);
    WorkDir dir;
    writeAllLists();
    writeLines(storage::VOZY, {QStringLiteral("Databáze vozy")});
    writeFile(file, bytes);
    Windows w;
    Form f(w);
    ScriptedBoxes boxes;
    f.trigger(action);
    const QString before = f.memo->text();
    f.trigger(QStringLiteral("Doplnitstandardnkdy1"));
    const bool complete = bytes == crlfLines(after);
    QCOMPARE(boxes.messages(), complete ? QStringList{"Všechny standardní kódy už v listu jsou."} : QStringList());
    QCOMPARE(f.memo->text(), complete ? before : after.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QCOMPARE(f.memo->isModified(), !complete);
    f.pressUloz();
    QCOMPARE(readFile(file), crlfLines(after));
    QTest::keyClick(f.editor, Qt::Key_Z, Qt::ControlModifier); // undone as any edit
    QCOMPARE(f.memo->text(), before);
    f.identifyWagon(wagon);
    QVERIFY2(f.memo->text().split(QLatin1Char('\n')).contains(reported), qPrintable(f.memo->text()));
}

TRAKVID_TEST_MAIN(TestLists)
#include "tst_lists.moc"
