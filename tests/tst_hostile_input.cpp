// Hostile text pasted or typed into every field and box a user can write in:
// 100,000 characters, line breaks, NUL, characters Windows-1250 cannot hold,
// right-to-left marks, blanks at either end, numbers past 32 and 64 bits.
// Each gets a clear message or the silent emptying of a number field, and
// nothing reaches a file that would corrupt it or split a line.
#include "Unit1.h"
#include "databasemodel.h"
#include "storage.h"
#include "testutil.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

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
    auto *memo = child<QPlainTextEdit>(f, "Memo1");

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
    const QString memoBefore = memo->toPlainText();
    zadano->click();
    if (wagon.startsWith(u'=')) {
        QCOMPARE(boxes.shown.size(), 0);
        QCOMPARE(kontrolka->text(), wagon.mid(1));
        // Characters past the field's width make a key no line matches.
        QVERIFY(!memo->toPlainText().contains(u"21802345123-8"_s));
    } else {
        QCOMPARE(boxes.messages(), QStringList{wagon});
        QCOMPARE(kontrolka->text(), u"X"_s);
        QCOMPARE(memo->toPlainText(), memoBefore);
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
            QCOMPARE(f->databaze()->lines(), expected);
            QCOMPARE(f->panel(2), u"0"_s);
        } else {
            QCOMPARE(boxes.messages(), QStringList());
            if (change)
                expected[1] = stored;
            else
                expected.insert(1, stored);
            QCOMPARE(f->databaze()->lines(), expected);
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

TRAKVID_TEST_MAIN(TestHostileInput)
#include "tst_hostile_input.moc"
