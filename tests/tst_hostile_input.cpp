// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Hostile text pasted or typed into every field and box a user can write in:
// 100,000 characters, line breaks, NUL, characters Windows-1250 cannot hold,
// right-to-left marks, blanks at either end, numbers past 32 and 64 bits.
// Each gets a clear message or the silent emptying of a number field, and
// nothing reaches a file that would corrupt it or split a line.
#include "Unit1.h"
#include "Unit2.h"
#include "databasemodel.h"
#include "storage.h"
#include "outputpane.h"
#include "testutil.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using boxes::Kind;

namespace {

// The hostile texts, by name.
struct Hostile {
    const char *name;
    QString text;
};

QList<Hostile> hostileTexts()
{
    return {
        {"100,000 digits", QString(100000, u'1')},
        {"100,000 letters", QString(100000, u'ř')},
        {"CR", u"21\r"_s},
        {"LF", u"2\n1"_s},
        {"CR LF", u"21\r\n"_s},
        {"U+2028", u"21\u2028"_s},
        {"NUL", u"2"_s + QChar(0) + u"1"_s},
        {"fullwidth digits", u"２１"_s},
        {"Arabic-Indic digits", u"٢١"_s},
        {"emoji", u"21😀"_s},
        {"Cyrillic", u"Жд"_s},
        {"right-to-left mark before", u"\u200F21"_s},
        {"left-to-right mark after", u"21\u200E"_s},
        {"right-to-left override", u"\u202E21"_s},
        {"leading blank", u" 21"_s},
        {"trailing blank", u"21 "_s},
        {"blanks only", u"   "_s},
        {"32-bit maximum", u"2147483647"_s},
        {"past 32 bits", u"2147483648"_s},
        {"32-bit minimum", u"-2147483648"_s},
        {"below 32 bits", u"-2147483649"_s},
        {"64-bit maximum", u"9223372036854775807"_s},
        {"past 64 bits", u"18446744073709551616"_s},
        {"minus zero", u"-0"_s},
        {"plus sign", u"+21"_s},
    };
}

QString hostileText(const QString &name)
{
    for (const Hostile &h : hostileTexts())
        if (QLatin1String(h.name) == name)
            return h.text;
    qFatal("no hostile text %s", qPrintable(name));
}

// A paste through the clipboard with Ctrl+V, replacing what the field holds.
void paste(QWidget *w, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}

QMap<QString, QByteArray> allFiles()
{
    QMap<QString, QByteArray> result;
    for (const QString &name : QDir().entryList(QDir::Files | QDir::Hidden))
        result[name] = readFile(name);
    return result;
}

const QStringList kLoko = {u"Databáze lokomotivy"_s, u"Řada 754"_s, u"754001-6 dkv Česká Třebová pj Praha"_s,
                           u"754002-4 dkv Česká Třebová pj Pardubice"_s};

void writeDataFiles()
{
    writeLines(storage::LOKOMOTIVY, kLoko);
    writeLines(storage::VOZY, {u"Databáze vozy"_s, u"21802345123-8 dkv Plzeň domovska Cheb"_s});
    writeLines(storage::REZIM, {u"list režimů"_s, u"21 mezinárodní provoz"_s});
    writeLines(storage::VLASTNIK, {u"list vlastníků vozu"_s, u"80 DB"_s});
    writeLines(storage::TRIDA_VOZU, {u"list charakteristiky 5-6"_s});
    writeLines(storage::CHARAKTERISTIKA, {u"list charakteristiky 7-8"_s});
    writeLines(storage::NASTAVENI, storage::defaultSettings());
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void numberFields_data();
    void numberFields();
    void bookmarkBoxes_data();
    void bookmarkBoxes();
    void allocationCombos_data();
    void allocationCombos();
    void listingValues_data();
    void listingValues();
    void memoBeforeUloz_data();
    void memoBeforeUloz();
};

// ---- the four number fields ----------------------------------------------------------

void TestHostileInput::numberFields_data()
{
    // kept: the field keeps the pasted text (else the change rule empties it
    // silently). The outcome of "Zadáno" with the text in the wagon regime
    // field (the other fields 80 2345 123) and in the locomotive series field
    // (serial 001): a message, or "=" and the check digit.
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QString>("wagon");
    QTest::addColumn<QString>("locomotive");
    const QString notRegime = u"nekorektní zadání režimu !!"_s;
    const QString notSeries = u"nekorektní zadání řady"_s;
    const QString wrongNumber = u"chybně zadané číslo!!"_s;
    const QStringList emptied = {"100,000 digits", "100,000 letters", "CR", "LF", "CR LF", "U+2028", "NUL",
                                 "fullwidth digits", "Arabic-Indic digits", "emoji", "Cyrillic",
                                 "right-to-left mark before", "left-to-right mark after",
                                 "right-to-left override", "trailing blank", "blanks only", "past 32 bits",
                                 "below 32 bits", "64-bit maximum", "past 64 bits"};
    for (const QString &name : emptied)
        QTest::newRow(qPrintable(name)) << hostileText(name) << false << notRegime << notSeries;
    // Whole numbers the paste does not read as one: the field's rules empty them.
    const std::pair<const char *, QString> nearlyWhole[] = {
        {"fullwidth whole number", u"２１ ８０ ２３４５ １２３-８"_s},
        {"whole number behind a right-to-left mark", u"\u200F21 80 2345 123-8"_s},
        {"whole number and a word", u"21 80 2345 123-8 Cheb"_s},
        {"100,000 dashes and dots", QString(100000, u'-') + QString(100000, u'.')},
    };
    for (const auto &[name, text] : nearlyWhole)
        QTest::newRow(name) << text << false << notRegime << notSeries;
    // Kept: what the conversion reads as a number; the completeness and digit
    // tests then judge it.
    QTest::newRow("leading blank") << hostileText(u"leading blank"_s) << true << wrongNumber << wrongNumber;
    QTest::newRow("32-bit maximum") << hostileText(u"32-bit maximum"_s) << true << u"=8"_s << u"=0"_s;
    QTest::newRow("32-bit minimum") << hostileText(u"32-bit minimum"_s) << true << u"neúplné zadání režimu !!"_s
                                    << wrongNumber;
    QTest::newRow("minus zero") << hostileText(u"minus zero"_s) << true << u"neúplné zadání režimu !!"_s
                                << u"neúplné zadání řady"_s;
    QTest::newRow("plus sign") << hostileText(u"plus sign"_s) << true << wrongNumber << wrongNumber;
}

// Pasted into each field: kept or silently emptied, with no box and the
// check digit reset; "Zadáno" then says what is wrong or computes. Nothing
// is written.
void TestHostileInput::numberFields()
{
    QFETCH(QString, text);
    QFETCH(bool, kept);
    QFETCH(QString, wagon);
    QFETCH(QString, locomotive);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeDataFiles();
    const auto before = allFiles();
    Windows w;
    TForm1 *f = w.form1.get();
    auto *kontrolka = child<QLabel>(f, "lbl_kontrolka");
    auto *zadano = child<QPushButton>(f, "BitBtn_zadano");
    auto *memo = child<OutputPane>(f, "Memo1");

    // Every field, with valid digits in the others.
    const char *const fields[4] = {"edt_rezim", "edt_vlastnik", "edt_charakteristika", "edt_evidence"};
    const QString valid[4] = {u"21"_s, u"80"_s, u"2345"_s, u"123"_s};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k)
            child<QLineEdit>(f, fields[k])->setText(valid[k]);
        zadano->click();
        QCOMPARE(kontrolka->text(), u"8"_s);
        auto *field = child<QLineEdit>(f, fields[i]);
        paste(field, text);
        QCOMPARE(field->text(), kept ? text : QString());
        QCOMPARE(kontrolka->text(), u"X"_s);
        QCOMPARE(boxes.shown.size(), 0);
    }

    // The regime field decides.
    for (int k = 0; k < 4; ++k)
        child<QLineEdit>(f, fields[k])->setText(valid[k]);
    paste(child<QLineEdit>(f, "edt_rezim"), text);
    const QString memoBefore = memo->text();
    zadano->click();
    if (wagon.startsWith(u'=')) {
        QCOMPARE(boxes.shown.size(), 0);
        QCOMPARE(kontrolka->text(), wagon.mid(1));
        // Characters past the field's width make a key no line matches.
        QVERIFY(!memo->text().contains(u"21802345123-8"_s));
    } else {
        QCOMPARE(boxes.messages(), QStringList{wagon});
        QCOMPARE(kontrolka->text(), u"X"_s);
        QCOMPARE(memo->text(), memoBefore);
    }
    boxes.clear();

    // The locomotive series field.
    child<QRadioButton>(f, "rbtn_lokomotivy")->click();
    child<QLineEdit>(f, "edt_vlastnik")->setText(u"001"_s);
    paste(child<QLineEdit>(f, "edt_rezim"), text);
    QCOMPARE(child<QLineEdit>(f, "edt_rezim")->text(), kept ? text : QString());
    zadano->click();
    if (locomotive.startsWith(u'=')) {
        QCOMPARE(boxes.shown.size(), 0);
        QCOMPARE(kontrolka->text(), locomotive.mid(1));
    } else {
        QCOMPARE(boxes.messages(), QStringList{locomotive});
        QCOMPARE(kontrolka->text(), u"X"_s);
    }
    QCOMPARE(allFiles(), before);
}

// ---- the bookmark boxes -------------------------------------------------------------

void TestHostileInput::bookmarkBoxes_data()
{
    // stored: the line the bookmark becomes, or empty when the text is refused
    // with a message naming the character.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("refused"); // the character the message names
    for (const Hostile &h : hostileTexts()) {
        QString stored = h.text;
        QString refused;
        const QString name = QLatin1String(h.name);
        if (name == u"CR" || name == u"LF")
            stored.replace(QRegularExpression(u"[\r\n]"_s), u" "_s);
        else if (name == u"CR LF")
            stored.replace(u"\r\n"_s, u" "_s);
        const QStringList unencodable = {"U+2028", "fullwidth digits", "Arabic-Indic digits", "emoji", "Cyrillic",
                                         "right-to-left mark before", "left-to-right mark after",
                                         "right-to-left override"};
        if (unencodable.contains(name)) {
            stored.clear();
            for (qsizetype i = 0; i < h.text.size() && refused.isEmpty(); ++i) {
                const qsizetype n = h.text.at(i).isHighSurrogate() ? 2 : 1;
                if (!storage::isEncodable(h.text.mid(i, n)))
                    refused = h.text.mid(i, n);
                i += n - 1;
            }
        }
        QTest::newRow(h.name) << h.text << stored << refused;
    }
}

// Inserted and changed bookmarks: stored on one line as typed (a line break
// becomes a blank), or refused with a message; after the user saves, the
// file holds exactly the list, one line per line.
void TestHostileInput::bookmarkBoxes()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QFETCH(QString, refused);
    for (bool change : {false, true}) {
        WorkDir dir;
        ScriptedBoxes boxes;
        writeDataFiles();
        const auto before = allFiles();
        Windows w;
        TForm1 *f = w.form1.get();
        child<QAction>(f, "Lokomotivy1")->trigger();
        f->selectRow(1); // the bookmark "Řada 754"
        boxes.type(text);
        child<QPushButton>(f, change ? "Btn_upravit" : "btn_zalozka")->click();
        QCOMPARE(boxes.pending(), 0);
        QCOMPARE(boxes.unexpected, 0);
        QStringList expected = kLoko;
        if (stored.isEmpty()) {
            QCOMPARE(boxes.messages().size(), 1);
            QVERIFY2(boxes.messages().first().contains(u"„"_s + refused + u"“"_s),
                     qPrintable(boxes.messages().first()));
            QCOMPARE(f->databaze()->texts(), expected);
            QCOMPARE(f->panel(2), u"0"_s);
        } else {
            QCOMPARE(boxes.messages(), QStringList());
            if (change)
                expected[1] = stored;
            else
                expected.insert(1, stored);
            QCOMPARE(f->databaze()->texts(), expected);
            QCOMPARE(f->panel(2), u"1"_s);
        }
        QCOMPARE(allFiles(), before);

        // The user saves: one file line per list line, nothing replaced.
        boxes.clear();
        boxes.yes();
        child<QAction>(f, "Uloitdatabzi1")->trigger();
        QCOMPARE(boxes.errors(), QStringList());
        QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(expected));
        QCOMPARE(storage::load(storage::LOKOMOTIVY).lines, expected);
    }
}

// ---- cmb_dkv and cmb_domovka ------------------------------------------------------------

// The first character of `text` that Windows-1250 cannot hold, or "".
QString refusedCharacter(const QString &text) { return storage::firstUnencodableCharacter(text); }

void TestHostileInput::allocationCombos_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("combo");
    for (const Hostile &h : hostileTexts())
        for (const char *combo : {"cmb_dkv", "cmb_domovka"})
            QTest::addRow("%s, %s", h.name, combo) << h.text << QString::fromLatin1(combo);
}

// Pasted into either combo text: the line is written with the text as the
// field shows it (a line break as a blank, past the field's limit of 32767
// characters cut as the field cuts it), or refused with a message naming the
// character and nothing written.
void TestHostileInput::allocationCombos()
{
    QFETCH(QString, text);
    QFETCH(QString, combo);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeDataFiles();
    const auto before = allFiles();
    Windows w;
    TForm1 *f = w.form1.get();
    child<QAction>(f, "Lokomotivy1")->trigger();
    child<QRadioButton>(f, "rbtn_lokomotivy")->click();
    child<QLineEdit>(f, "edt_rezim")->setText(u"754"_s);
    child<QLineEdit>(f, "edt_vlastnik")->setText(u"003"_s);
    child<QPushButton>(f, "BitBtn_zadano")->click();
    QCOMPARE(child<QLabel>(f, "lbl_kontrolka")->text(), u"2"_s);
    child<QAction>(f, "uloitvozidlo1")->trigger();
    TForm_databaze *d = w.form_databaze;
    QVERIFY(QTest::qWaitFor([d] { return d->isActiveWindow(); }, 3000));
    auto *dkv = child<QComboBox>(d, "cmb_dkv");
    auto *domovka = child<QComboBox>(d, "cmb_domovka");
    dkv->setEditText(u"Praha"_s);
    domovka->setEditText(u"Brno"_s);
    auto *target = combo == u"cmb_dkv" ? dkv : domovka;
    paste(target->lineEdit(), text);
    const QString inField = target->currentText();
    QCOMPARE(inField, text.left(target->lineEdit()->maxLength()));
    child<QPushButton>(d, "bitbtn_pridat")->click();
    QCOMPARE(boxes.unexpected, 0);

    const QString refused = refusedCharacter(inField);
    QStringList expected = kLoko;
    if (!refused.isEmpty()) {
        QCOMPARE(boxes.messages().size(), 1);
        QVERIFY2(boxes.messages().first().contains(u"\""_s + refused + u"\""_s),
                 qPrintable(boxes.messages().first()));
        QCOMPARE(f->databaze()->texts(), expected);
        QCOMPARE(f->panel(2), u"0"_s);
    } else {
        QCOMPARE(boxes.shown.size(), 0);
        const QString stored = storage::withoutLineBreaks(inField);
        QCOMPARE(target->currentText(), stored); // the field shows what was stored
        const QString line = combo == u"cmb_dkv" ? u"754003-2 dkv "_s + stored + u" pj Brno"_s
                                                 : u"754003-2 dkv Praha pj "_s + stored;
        expected.append(line);
        QCOMPARE(f->databaze()->texts(), expected);
    }
    QCOMPARE(allFiles(), before);

    // The user saves: one file line per list line.
    boxes.clear();
    boxes.yes();
    child<QAction>(f, "Uloitdatabzi1")->trigger();
    QCOMPARE(boxes.errors(), QStringList());
    QCOMPARE(readFile(storage::LOKOMOTIVY), crlfLines(expected));
}

// ---- listing values -----------------------------------------------------------------

void TestHostileInput::listingValues_data()
{
    // outcome: the message of the check, or empty when the listing runs (and
    // lists nothing: no line begins with any of these values).
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("outcome");
    const QString notSeries = u"nekorektní zadání řady !!"_s;
    const QString seriesLength = u"řada lokomotivy musí být třímístná"_s;
    const QString notCharacteristic = u"nekorektní zadání charakteristiky !!"_s;
    const QString characteristicLength = u"charakteristika vozu musí být čtyřmístná"_s;
    // What the number check of the series and characteristic listings says;
    // texts not named here are no number.
    const QMap<QString, std::pair<QString, QString>> numbers = {
        {u"leading blank"_s, {QString(), characteristicLength}},        // " 21": 3 characters
        {u"32-bit maximum"_s, {seriesLength, characteristicLength}},    // above 999 and 9999
        {u"32-bit minimum"_s, {QString(), QString()}},                  // long enough, not above
        {u"minus zero"_s, {seriesLength, characteristicLength}},        // too short
        {u"plus sign"_s, {QString(), characteristicLength}},
    };
    for (const Hostile &h : hostileTexts()) {
        const QString name = QLatin1String(h.name);
        const auto number = numbers.value(name, {notSeries, notCharacteristic});
        QTest::addRow("%s, series", h.name) << h.text << u"Podleady1"_s << number.first;
        QTest::addRow("%s, characteristic", h.name) << h.text << u"PodleCharakteristiky1"_s
                                                   << (number.second == notSeries ? notCharacteristic
                                                                                   : number.second);
        for (const char *action : {"PodleDKV2", "Podleprovoznjednotky1", "PodleDKV1", "PodleDomovskstanice1"})
            QTest::addRow("%s, %s", h.name, action) << h.text << QString::fromLatin1(action) << QString();
    }
}

// A hostile value gets the listing's message, or a listing that finds nothing
// and says so with the value as typed; the pane then cannot be saved, and
// nothing is written.
void TestHostileInput::listingValues()
{
    QFETCH(QString, text);
    QFETCH(QString, action);
    QFETCH(QString, outcome);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeDataFiles();
    const auto before = allFiles();
    Windows w;
    TForm1 *f = w.form1.get();
    auto *memo = child<OutputPane>(f, "Memo1");
    auto *heading = child<QLabel>(f, "lbl_databaze_memo");
    auto *uloz = child<QPushButton>(f, "btn_uloz");
    // A reference list is shown first, ready to be saved.
    child<QAction>(f, "Reimvozu2")->trigger();
    QVERIFY(uloz->isEnabled());
    const QString listText = memo->text();

    boxes.type(text);
    child<QAction>(f, qPrintable(action))->trigger();
    QCOMPARE(boxes.unexpected, 0);
    if (!outcome.isEmpty()) {
        QCOMPARE(boxes.messages(), QStringList{outcome});
        QCOMPARE(memo->text(), listText);
        QCOMPARE(heading->text(), u"List režimů vozu"_s);
    } else {
        QCOMPARE(boxes.messages(), QStringList());
        QVERIFY(!uloz->isEnabled());
        QVERIFY2(memo->text().endsWith(u" není v databázi, zkontroluj správnost zadání!!"_s),
                 qPrintable(memo->text().right(200)));
        QVERIFY(heading->text().endsWith(text));
        // Nothing a value holds makes the heading name a list that "Ulož" writes.
        uloz->setEnabled(true);
        uloz->click();
        QCOMPARE(boxes.messages(), QStringList());
    }
    QCOMPARE(allFiles(), before);
}

// ---- Memo1 before "Ulož" ----------------------------------------------------------------

void TestHostileInput::memoBeforeUloz_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    for (const Hostile &h : hostileTexts()) {
        QTest::addRow("%s, rezim", h.name) << h.text << u"Reimvozu2"_s << storage::REZIM;
        QTest::addRow("%s, charakteristika", h.name) << h.text << u"Charakteristika781"_s
                                                     << storage::CHARAKTERISTIKA;
    }
}

// Pasted into a shown list and saved: the file holds the pane's text as it is
// shown, a line per shown line; a character the file cannot hold is named
// with its line and nothing is written.
void TestHostileInput::memoBeforeUloz()
{
    QFETCH(QString, text);
    QFETCH(QString, action);
    QFETCH(QString, file);
    WorkDir dir;
    ScriptedBoxes boxes;
    writeDataFiles();
    writeLines(file, {storage::header(file), u"21 mezinárodní provoz"_s, u"22 vnitrostátní"_s});
    const auto before = allFiles();
    Windows w;
    TForm1 *f = w.form1.get();
    auto *memo = child<OutputPane>(f, "Memo1");
    child<QAction>(f, qPrintable(action))->trigger();

    const QString original = memo->text();
    // Pasted at the end of the second line.
    QGuiApplication::clipboard()->setText(text);
    QPlainTextEdit *editor = memo->editor();
    editor->setFocus();
    QTextCursor cursor(editor->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(cursor);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    const QString shown = memo->text();
    QVERIFY(shown != original);
    QCOMPARE(allFiles(), before);

    child<QPushButton>(f, "btn_uloz")->click();
    QCOMPARE(boxes.messages().size(), 1);
    const QString refused = storage::firstUnencodableCharacter(shown);
    if (!refused.isEmpty()) {
        QVERIFY2(boxes.messages().first().contains(u"„"_s + refused + u"“ na řádku 2"_s),
                 qPrintable(boxes.messages().first()));
        QCOMPARE(allFiles(), before);
        return;
    }
    QVERIFY2(boxes.messages().first().endsWith(u" uložen"_s), qPrintable(boxes.messages().first()));
    // Line for line what the pane shows (a pasted line break is a line
    // break there too), and read back the same.
    const storage::LoadResult saved = storage::load(file);
    QVERIFY(saved.ok());
    QStringList shownLines = shown.split(u'\n');
    if (shown.endsWith(u'\n'))
        shownLines.removeLast(); // the line end of the last line
    QCOMPARE(saved.lines, shownLines);
    QCOMPARE(storage::loadText(file).text, shown);
}

TRAKVID_TEST_MAIN(TestHostileInput)
#include "tst_hostile_input.moc"
