// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "lines.h"
#include "numbering.h"
#include "placement.h"
#include "platform.h"
#include "storage.h"
#include "storage_internal.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>
#include <algorithm>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

class TestStorage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void createdFileBytes_data();
    void createdFileBytes();
    void savedListBytes_data();
    void savedListBytes();
    void savedTextBytes_data();
    void savedTextBytes();
    void vehicleLines_data();
    void vehicleLines();
    void numberText();

    void readLines_data();
    void readLines();
    void longLinesAndReadBoundaries_data();
    void longLinesAndReadBoundaries();
    void loadTextLineEnds_data();
    void loadTextLineEnds();
    void missingOrUnopenable();
    void everyByteSurvives_data();
    void everyByteSurvives();
    void linesEdited_data();
    void linesEdited();
    void lineLongerThanItsLengthField();

    void saveReplacesWholeFile();
    void unwritableTargetKeepsOldContent_data();
    void unwritableTargetKeepsOldContent();
    void errorWords_data();
    void errorWords();
    void unencodableRefused_data();
    void unencodableRefused();
    void everyWindows1250CharacterEncodable();
    void convertsAsTheCodec();

    void keys_data();
    void keys();
    void wagonKeysOrderAbove32Bits();
    void keyCacheAfterLargerKeyAppended();
    void hashSameWithVectors();

    void changeSeen_data();
    void changeSeen();
    void fileStaysTheClerks_data();
    void fileStaysTheClerks();
    void fullDisk_data();
    void fullDisk();

private:
    std::unique_ptr<WorkDir> m_dir;
};

namespace {
QStringList entries()
{
    return QDir(u"."_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                  QDir::Name);
}

QStringList scanned(const QString &fileName, storage::ScanResult *result = nullptr)
{
    QStringList lines;
    const storage::ScanResult r = storage::scanFile(fileName, [&](const QString &line) { lines.append(line); });
    if (result)
        *result = r;
    return lines;
}

// Bytes 0x00-0xFF without CR and LF.
QByteArray everyByte()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            bytes.append(char(b));
    return bytes;
}
} // namespace

void TestStorage::init()
{
    m_dir = std::make_unique<WorkDir>();
    QVERIFY(m_dir->ok());
}

void TestStorage::cleanup() { m_dir.reset(); }

// ---- bytes written ------------------------------------------------------------

void TestStorage::createdFileBytes_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lokomotivy") << storage::LOKOMOTIVY << QByteArray("Datab\xE1ze lokomotivy\r\n");
    QTest::newRow("vozy") << storage::VOZY << QByteArray("Datab\xE1ze vozy\r\n");
    QTest::newRow("rezim") << storage::REZIM << QByteArray("list re\x9Eim\xF9\r\n");
    QTest::newRow("vlastnik") << storage::VLASTNIK << QByteArray("list vlastn\xEDk\xF9 vozu\r\n");
    QTest::newRow("trida_vozu") << storage::TRIDA_VOZU << QByteArray("list charakteristiky 5-6\r\n");
    QTest::newRow("charakteristika") << storage::CHARAKTERISTIKA << QByteArray("list charakteristiky 7-8\r\n");
    QTest::newRow("nastaveni") << storage::NASTAVENI << QByteArray("te false\r\nud false\r\n");
}

// A file created at start holds its header (or the two settings lines).
void TestStorage::createdFileBytes()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    const QStringList lines =
        fileName == storage::NASTAVENI ? storage::defaultSettings() : QStringList{storage::header(fileName)};
    const storage::SaveResult result = storage::save(fileName, lines);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(fileName), bytes);
    QCOMPARE(entries(), QStringList{fileName});
}

void TestStorage::savedListBytes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no lines") << QStringList() << QByteArray();
    QTest::newRow("one empty line") << QStringList{u""_s} << QByteArray("\r\n");
    QTest::newRow("last line empty") << QStringList{u"a"_s, u""_s} << QByteArray("a\r\n\r\n");
    QTest::newRow("blanks kept") << QStringList{u"  a  "_s, u" "_s} << QByteArray("  a  \r\n \r\n");
    QTest::newRow("czech letters") << QStringList{u"ěščřžýáíéúůďťň"_s, u"ĚŠČŘŽÝÁÍÉÚŮĎŤŇ"_s}
                                   << QByteArray("\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9\xFA\xF9\xEF\x9D\xF2\r\n"
                                                 "\xCC\x8A\xC8\xD8\x8E\xDD\xC1\xCD\xC9\xDA\xD9\xCF\x8D\xD2\r\n");
    QTest::newRow("wagon database") << QStringList{u"Databáze vozy"_s, u"Vozy Plzeň"_s,
                                                   u"21802345123-8 dkv Plzeň domovska Cheb"_s}
                                    << QByteArray("Datab\xE1ze vozy\r\nVozy Plze\xF2\r\n"
                                                  "21802345123-8 dkv Plze\xF2 domovska Cheb\r\n");
}

void TestStorage::savedListBytes()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    const storage::SaveResult result = storage::save(storage::VOZY, lines);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(storage::VOZY), bytes);
}

void TestStorage::savedTextBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << u""_s << QByteArray();
    QTest::newRow("no last line end") << u"a\nb"_s << QByteArray("a\r\nb");
    QTest::newRow("last line end") << u"a\nb\n"_s << QByteArray("a\r\nb\r\n");
    QTest::newRow("empty lines") << u"\n\na"_s << QByteArray("\r\n\r\na");
    QTest::newRow("regime list") << u"list režimů\n21 vnitrostátní"_s
                                 << QByteArray("list re\x9Eim\xF9\r\n21 vnitrost\xE1tn\xED");
}

void TestStorage::savedTextBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const storage::SaveResult result = storage::saveText(storage::REZIM, text);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(readFile(storage::REZIM), bytes);
}

void TestStorage::vehicleLines_data()
{
    QTest::addColumn<bool>("locomotive");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("dkv");
    QTest::addColumn<QString>("last"); // PJ or home station
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("loco full") << true << u"754001-6"_s << u"Česká Třebová"_s << u"Hradec Králové"_s
                               << QByteArray("754001-6 dkv \xC8" "esk\xE1 T\xF8" "ebov\xE1 pj Hradec Kr\xE1lov\xE9");
    QTest::newRow("loco empty") << true << u"754001-6"_s << u""_s << u""_s << QByteArray("754001-6 dkv  pj ");
    QTest::newRow("loco empty dkv") << true << u"754001-6"_s << u""_s << u"Ústí nad Labem"_s
                                    << QByteArray("754001-6 dkv  pj \xDAst\xED nad Labem");
    QTest::newRow("loco multi-word dkv") << true << u"163001-1"_s << u"Ústí nad Labem"_s << u""_s
                                         << QByteArray("163001-1 dkv \xDAst\xED nad Labem pj ");
    QTest::newRow("wagon full") << false << u"21802345123-8"_s << u"Plzeň"_s << u"Cheb"_s
                                << QByteArray("21802345123-8 dkv Plze\xF2 domovska Cheb");
    QTest::newRow("wagon empty") << false << u"21802345123-8"_s << u""_s << u""_s
                                 << QByteArray("21802345123-8 dkv  domovska ");
    QTest::newRow("wagon multi-word") << false << u"51540000001-1"_s << u"Ústí nad Labem"_s << u"Česká Třebová"_s
                                      << QByteArray("51540000001-1 dkv \xDAst\xED nad Labem domovska \xC8"
                                                    "esk\xE1 T\xF8" "ebov\xE1");
    QTest::newRow("wagon empty dkv") << false << u"51540000001-1"_s << u""_s << u"Česká Třebová"_s
                                     << QByteArray("51540000001-1 dkv  domovska \xC8" "esk\xE1 T\xF8" "ebov\xE1");
}

void TestStorage::vehicleLines()
{
    QFETCH(bool, locomotive);
    QFETCH(QString, number);
    QFETCH(QString, dkv);
    QFETCH(QString, last);
    QFETCH(QByteArray, bytes);
    const QString line = locomotive ? storage::locomotiveLine(number, dkv, last) : storage::wagonLine(number, dkv, last);
    // The DKV starts at position 14 (locomotive) or 19 (wagon), counted from 1.
    const qsizetype dkvAt = locomotive ? 13 : 18;
    const QString separator = locomotive ? u" pj "_s : u" domovska "_s;
    QCOMPARE(line.left(dkvAt), number + u" dkv "_s);
    QCOMPARE(line.mid(dkvAt, dkv.size()), dkv);
    QCOMPARE(line.mid(dkvAt + dkv.size()), separator + last);

    QVERIFY(storage::save(storage::LOKOMOTIVY, {line}).ok);
    QCOMPARE(readFile(storage::LOKOMOTIVY), bytes + "\r\n");
}

void TestStorage::numberText()
{
    const QString loco = storage::vehicleNumberText(u"754001"_s, 6);
    QCOMPARE(loco, u"754001-6"_s);
    QCOMPARE(loco.indexOf(u'-'), 6);
    const QString wagon = storage::vehicleNumberText(u"21802345123"_s, 8);
    QCOMPARE(wagon, u"21802345123-8"_s);
    QCOMPARE(wagon.indexOf(u'-'), 11);
    QCOMPARE(storage::vehicleNumberText(u"754005"_s, 0), u"754005-0"_s);
}

// ---- reading ------------------------------------------------------------------

void TestStorage::readLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR LF, no last line end") << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF, no last line end") << QByteArray("a\nb") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc") << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{u""_s};
    QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\n\nb\r\n\r\n")
                                      << QStringList{u"a"_s, u""_s, u""_s, u"b"_s, u""_s};
    QTest::newRow("CR inside a line") << QByteArray("a\rb\r\n") << QStringList{u"a\rb"_s};
    QTest::newRow("two CRs before LF") << QByteArray("a\r\r\n") << QStringList{u"a\r"_s};
    QTest::newRow("CR at the end of the file") << QByteArray("a\r\nb\r") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("blanks kept") << QByteArray("  a \t\r\n ") << QStringList{u"  a \t"_s, u" "_s};
    QTest::newRow("NUL byte") << QByteArray("a\0b\r\n", 5) << QStringList{u"a"_s + QChar(0) + u"b"_s};
    QTest::newRow("czech") << QByteArray("Datab\xE1ze vozy\r\n\xC8" "esk\xE1 T\xF8" "ebov\xE1")
                           << QStringList{u"Databáze vozy"_s, u"Česká Třebová"_s};
    QTest::newRow("byte order mark bytes are text")
        << QByteArray("\xEF\xBB\xBF" "a\r\n") << QStringList{u"ď»ża"_s};
}

// load() and a scan see the same lines.
void TestStorage::readLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    writeFile(storage::VOZY, bytes);

    const storage::LoadResult loaded = storage::load(storage::VOZY);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.lines, lines);

    storage::ScanResult result;
    QCOMPARE(scanned(storage::VOZY, &result), lines);
    QVERIFY(result.ok());
    QVERIFY(result.opened);
    QVERIFY(storage::scan(storage::VOZY, [](const QString &) {}));

    // A shown database and the splash's count read the same lines; the pieces
    // of a scan are the file's bytes.
    storage::Lines shown;
    QVERIFY(shown.load(storage::VOZY).ok());
    QCOMPARE(shown.texts(), lines);
    QCOMPARE(storage::countLines(storage::VOZY).lines, qint64(lines.size()));
    QByteArray pieces;
    QVERIFY(storage::scanPieces(storage::VOZY, [&](QByteArrayView piece) { pieces += piece; }).ok());
    QCOMPARE(pieces, bytes);
    QVERIFY(shown.save(u"kopie.txt"_s).ok);
    QCOMPARE(readFile(u"kopie.txt"_s), crlfLines(lines));
}

void TestStorage::longLinesAndReadBoundaries_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("lfOnly");
    // A line end may fall anywhere relative to the pieces a scan reads, its
    // CR in one piece and its LF in the next included; from a megabyte on a
    // shown file is read ahead on a thread of its own.
    for (int power = 12; power <= 20; ++power)
        for (int delta = -2; delta <= 1; ++delta)
            for (bool lfOnly : {false, true})
                QTest::addRow("%d%+d%s", 1 << power, delta, lfOnly ? " LF" : "")
                    << (1 << power) + delta << lfOnly;
}

void TestStorage::longLinesAndReadBoundaries()
{
    QFETCH(int, length);
    QFETCH(bool, lfOnly);
    const QByteArray end = lfOnly ? "\n" : "\r\n";
    // A long first line, then short lines of every length that end at ever
    // other places, then Czech text.
    QByteArray bytes = QByteArray(length, 'x') + end;
    QStringList lines{QString(length, u'x')};
    QString shortLines;
    for (int i = 0; shortLines.size() < 100000; ++i) {
        lines << QString(i % 7, u'ř') + QString::number(i);
        shortLines += lines.last() + QLatin1String(end);
    }
    bytes += cp1250(shortLines);
    lines << u"Ústí nad Labem"_s << u""_s << u"konec"_s;
    bytes += "\xDAst\xED nad Labem" + end + end + "konec";
    writeFile(storage::VOZY, bytes);

    const QStringList got = scanned(storage::VOZY);
    QCOMPARE(got.size(), lines.size());
    QCOMPARE(got, lines);
    QCOMPARE(storage::load(storage::VOZY).lines, lines);
    storage::Lines shown;
    const storage::Lines::LoadResult read = shown.load(storage::VOZY);
    QVERIFY(read.ok());
    QCOMPARE(shown.texts(), lines);
    QCOMPARE(read.stamp.hash, storage::stamp(storage::VOZY).hash);
    QCOMPARE(storage::countLines(storage::VOZY).lines, qint64(lines.size()));
}

void TestStorage::loadTextLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << u"a\nb\n"_s;
    QTest::newRow("no last line end") << QByteArray("a\r\nb") << u"a\nb"_s;
    QTest::newRow("LF") << QByteArray("a\nb") << u"a\nb"_s;
    QTest::newRow("czech") << QByteArray("list re\x9Eim\xF9\r\n") << u"list režimů\n"_s;
}

void TestStorage::loadTextLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    writeFile(storage::REZIM, bytes);
    const storage::TextResult loaded = storage::loadText(storage::REZIM);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.text, text);
}

void TestStorage::missingOrUnopenable()
{
    bool called = false;
    auto note = [&](const QString &) { called = true; };

    const storage::LoadResult missing = storage::load(storage::VOZY);
    QCOMPARE(missing.status, storage::LoadStatus::Missing);
    QVERIFY(missing.lines.isEmpty());
    QVERIFY(missing.error.contains(storage::VOZY));
    QCOMPARE(storage::loadText(storage::VOZY).status, storage::LoadStatus::Missing);
    storage::ScanResult scan = storage::scanFile(storage::VOZY, note);
    QVERIFY(!scan.opened);
    QCOMPARE(scan.status, storage::LoadStatus::Missing);
    QVERIFY(!storage::scan(storage::VOZY, note));

    // A folder standing at the file's name cannot be opened as a file.
    QVERIFY(QDir(u"."_s).mkdir(storage::VOZY));
    writeFile(storage::VOZY + u"/inside.txt"_s, "21802345123-8\r\n");
    QCOMPARE(storage::load(storage::VOZY).status, storage::LoadStatus::Unreadable);
    QCOMPARE(storage::loadText(storage::VOZY).status, storage::LoadStatus::Unreadable);
    scan = storage::scanFile(storage::VOZY, note);
    QVERIFY(!scan.opened);
    QCOMPARE(scan.status, storage::LoadStatus::Unreadable);
    QVERIFY(scan.error.contains(storage::VOZY));
    QVERIFY(!called);
}

void TestStorage::everyByteSurvives_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("copies"); // of the 254 bytes
    const QByteArray all = everyByte();
    QTest::newRow("one line") << all + "\r\n" << 1 << 1;
    QTest::newRow("one line, no last line end") << all << 1 << 1;
    QByteArray split;
    for (qsizetype i = 0; i < all.size(); i += 16)
        split += all.mid(i, 16) + "\r\n";
    QTest::newRow("sixteen bytes a line") << split << 16 << 1;
    QByteArray reversed = all;
    std::reverse(reversed.begin(), reversed.end());
    QTest::newRow("forwards and backwards") << all + "\r\n" + reversed + "\r\n" << 2 << 2;
}

// Load then save gives the same bytes; so does the text of the output pane.
void TestStorage::everyByteSurvives()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lineCount);
    QFETCH(int, copies);
    writeFile(storage::VOZY, bytes);
    // A list is written with CR LF after every line.
    const QByteArray expected = bytes.endsWith("\r\n") ? bytes : bytes + "\r\n";

    const storage::LoadResult loaded = storage::load(storage::VOZY);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.lines.size(), lineCount);
    qsizetype characters = 0;
    for (const QString &line : loaded.lines)
        characters += line.size();
    QCOMPARE(characters, everyByte().size() * copies); // one character per byte
    QVERIFY(storage::save(u"kopie.txt"_s, loaded.lines).ok);
    QCOMPARE(readFile(u"kopie.txt"_s), expected);
    storage::Lines shown;
    QVERIFY(shown.load(storage::VOZY).ok());
    QVERIFY(shown.save(u"kopie.txt"_s).ok);
    QCOMPARE(readFile(u"kopie.txt"_s), expected);

    QCOMPARE(scanned(storage::VOZY), loaded.lines);

    const storage::TextResult text = storage::loadText(storage::VOZY);
    QVERIFY(text.ok());
    QVERIFY(storage::saveText(u"text.txt"_s, text.text).ok);
    QCOMPARE(readFile(u"text.txt"_s), bytes);
}

namespace {
std::optional<qint64> keyOf(QByteArrayView line) { return numbering::toInt64(line.first(std::min<qsizetype>(line.size(), 5))); }
} // namespace

void TestStorage::linesEdited_data()
{
    QTest::addColumn<QByteArrayList>("ends"); // the file's line ends, line by line in turn
    QTest::addColumn<QList<QList<int>>>("edits"); // row, lines removed, lines inserted
    QTest::addColumn<bool>("linked"); // a second name: saved in place
    const QList<int> top{0, 0, 1}, middle{2500, 1, 3}, end{-1, 0, 2};
    const QByteArrayList crlf{"\r\n"}, lf{"\n"};
    QTest::newRow("one of each") << crlf << QList<QList<int>>{top, middle, end} << false;
    QTest::newRow("one of each, LF file") << lf << QList<QList<int>>{top, middle, end} << false;
    // Blocks grow past twice their size and split; whole blocks go.
    QTest::newRow("a run split into blocks") << crlf << QList<QList<int>>{{1000, 0, 2500}, {3000, 1, 1}} << false;
    QTest::newRow("removed across blocks") << crlf << QList<QList<int>>{{500, 3000, 0}, {0, 1, 0}, {10, 0, 1}} << false;
    QTest::newRow("everything removed, then added") << lf << QList<QList<int>>{{0, 5000, 0}, {0, 0, 3}} << false;
    // An empty LF line removed leaves two lines two bytes apart: CR LF is not
    // what stands between them.
    QTest::newRow("mixed ends, empty lines removed")
        << QByteArrayList{"\n", "\r\n", "\n", "\n"} << QList<QList<int>>{{25, 1, 0}, {74, 1, 0}, {122, 1, 1}} << false;
    // Thousands of runs of a line or two: written many to a call.
    QList<QList<int>> everyOther;
    for (int row = 1; row < 5000; row += 2)
        everyOther << QList<int>{row, 1, 1};
    QTest::newRow("every other line changed") << crlf << everyOther << false;
    QTest::newRow("every other line changed, in place") << crlf << everyOther << true;
}

// Edits of a shown database keep its lines, its saved bytes and its key
// search as a plain list of the same lines would have them, whichever block
// a line stands in and whether the file or the side buffer holds it.
void TestStorage::linesEdited()
{
    QFETCH(QByteArrayList, ends);
    QFETCH(QList<QList<int>>, edits);
    QFETCH(bool, linked);
    QStringList expected;
    QByteArray bytes;
    for (int i = 0; i < 5000; ++i) {
        expected << (i % 50 == 25 ? QString() : i % 100 == 0 ? u"záložka %1"_s.arg(i) : u"%1 vůz"_s.arg(10000 + 2 * i));
        bytes += cp1250(expected.last()) + ends[i % ends.size()];
    }
    writeFile(storage::VOZY, bytes);
    if (linked)
        QVERIFY(hardLink(storage::VOZY, u"odkaz.txt"_s));
    storage::Lines lines;
    QVERIFY(lines.load(storage::VOZY).ok());
    // Keys read once, before the edits, must not be taken for the edited
    // lines: some blocks' ahead of any search, the others' by a search.
    QVERIFY(!lines.readKeys(keyOf, 2));
    QCOMPARE(lines.firstKeyNotLess(keyOf, 0), 1);
    QVERIFY(lines.readKeys(keyOf, 10));
    int serial = 0;
    for (const QList<int> &edit : edits) {
        const int row = edit[0] < 0 ? int(expected.size()) : edit[0];
        QStringList added;
        for (int i = 0; i < edit[2]; ++i)
            added << u"%1 nový, konec v CR\r"_s.arg(10001 + 2 * serial++);
        QVERIFY(lines.replace(row, edit[1], added));
        expected.remove(row, edit[1]);
        for (int i = 0; i < added.size(); ++i)
            expected.insert(row + i, added[i]);
        QCOMPARE(lines.size(), expected.size());
    }
    QCOMPARE(lines.texts(), expected);
    for (qint64 key : {0LL, 10001LL, 10003LL, 14000LL, 19997LL, 99999LL}) {
        const auto first = std::find_if(expected.begin(), expected.end(), [&](const QString &line) {
            const std::optional<qint64> k = keyOf(cp1250(line));
            return k && *k >= key;
        });
        QCOMPARE(lines.firstKeyNotLess(keyOf, key), first == expected.end() ? -1 : first - expected.begin());
    }
    const storage::SaveResult saved = lines.save(storage::VOZY);
    QVERIFY(saved.ok);
    QCOMPARE(readFile(storage::VOZY), crlfLines(expected));
    QCOMPARE(saved.stamp.hash, storage::stamp(storage::VOZY).hash);
    if (linked)
        QCOMPARE(readFile(u"odkaz.txt"_s), crlfLines(expected));
    // Saved again after an edit, from the runs the first save left.
    lines.markSaved();
    QVERIFY(lines.replace(1, 1, {u"20001 poté"_s}));
    expected[1] = u"20001 poté"_s;
    QVERIFY(lines.save(storage::VOZY).ok);
    QCOMPARE(readFile(storage::VOZY), crlfLines(expected));

    // A line the file could not hold changes nothing.
    for (const QString &refused : {u"a\nb"_s, u"Ω"_s}) {
        QVERIFY(!storage::Lines::canStore(refused));
        QVERIFY(!lines.replace(0, 1, {u"ok"_s, refused}));
        QCOMPARE(lines.texts(), expected);
    }
}

// A line of 32 MB or more does not fit the length field of its row and is
// measured up to its line end; it is kept and saved whole all the same.
void TestStorage::lineLongerThanItsLengthField()
{
    const QByteArray longLine((1 << 25) + 3, 'x');
    writeFile(storage::VOZY, "a\r\n" + longLine + "\r\nb");
    storage::Lines lines;
    QVERIFY(lines.load(storage::VOZY).ok());
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.bytes(1).size(), longLine.size());
    QCOMPARE(lines.bytes(2), QByteArrayView("b"));
    QVERIFY(lines.save(storage::VOZY).ok);
    QCOMPARE(readFile(storage::VOZY), "a\r\n" + longLine + "\r\nb\r\n");
}

// ---- saving -------------------------------------------------------------------

void TestStorage::saveReplacesWholeFile()
{
    QStringList old;
    for (int i = 0; i < 2000; ++i)
        old << u"754%1-0 dkv Česká Třebová pj Praha"_s.arg(i % 1000, 3, 10, QLatin1Char('0'));
    writeLines(storage::LOKOMOTIVY, old);
    const storage::SaveResult result = storage::save(storage::LOKOMOTIVY, {u"Databáze lokomotivy"_s});
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(result.error.isEmpty());
    QCOMPARE(readFile(storage::LOKOMOTIVY), QByteArray("Datab\xE1ze lokomotivy\r\n"));
    // Nothing is left beside the file.
    QCOMPARE(entries(), QStringList{storage::LOKOMOTIVY});
}

void TestStorage::unwritableTargetKeepsOldContent_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("asText");
    QTest::addColumn<QString>("error"); // %1: the working directory
    for (bool asText : {false, true}) {
        const char *how = asText ? "text" : "list";
        QTest::addRow("folder at the file's name, %s", how) << u"folder"_s << asText << u"Soubor vozy.txt je složka."_s;
        QTest::addRow("file standing for the folder, %s", how)
            << u"file as folder"_s << asText << u"Soubor data/vozy.txt nelze zapsat: %1/data není složka."_s;
        QTest::addRow("missing folder, %s", how)
            << u"missing folder"_s << asText << u"Soubor nic/vozy.txt nelze zapsat: složka %1/nic neexistuje."_s;
    }
}

void TestStorage::unwritableTargetKeepsOldContent()
{
    QFETCH(QString, setup);
    QFETCH(bool, asText);
    const QByteArray old = "Datab\xE1ze vozy\r\n21802345123-8 dkv Plze\xF2 domovska Cheb\r\n";
    QString target;
    QString keeper; // the file whose content must survive
    if (setup == u"folder") {
        QVERIFY(QDir(u"."_s).mkdir(storage::VOZY));
        target = storage::VOZY;
        keeper = storage::VOZY + u"/vozy-puvodni.txt"_s;
        writeFile(keeper, old);
    } else if (setup == u"file as folder") {
        keeper = u"data"_s;
        writeFile(keeper, old);
        target = u"data/"_s + storage::VOZY;
    } else {
        target = u"nic/"_s + storage::VOZY;
    }
    const QStringList before = entries();

    const QStringList lines{u"Databáze vozy"_s, u"51540000001-1 dkv  domovska "_s};
    const storage::SaveResult result =
        asText ? storage::saveText(target, lines.join(u'\n')) : storage::save(target, lines);
    QVERIFY(!result.ok);
    QFETCH(QString, error);
    QCOMPARE(result.error, error.contains(u"%1") ? error.arg(QDir::currentPath()) : error);
    QCOMPARE(result.badLine, -1);
    if (!keeper.isEmpty())
        QCOMPARE(readFile(keeper), old);
    QCOMPARE(entries(), before);
    if (setup == u"folder") {
        QVERIFY(QFileInfo(storage::VOZY).isDir());
        QCOMPARE(QDir(storage::VOZY).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{u"vozy-puvodni.txt"_s});
    }
}

// Every failure in the program's own Czech words, never the system's sentence
// (which comes in the session's language). `error` is the errno handed over;
// -1 makes a real save fail at a file size limit of 0 bytes.
void TestStorage::errorWords_data()
{
    QTest::addColumn<QString>("setup"); // what stands at vozy.txt: nothing, a file or a folder
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing") << u"nothing"_s << false << ENOENT << u"Soubor vozy.txt neexistuje."_s;
    QTest::newRow("folder, read") << u"folder"_s << false << EISDIR << u"Soubor vozy.txt je složka."_s;
    QTest::newRow("folder, write") << u"folder"_s << true << 0 << u"Soubor vozy.txt je složka."_s;
    QTest::newRow("read fails") << u"file"_s << false << EIO
                                << u"Soubor vozy.txt nelze přečíst: chyba čtení nebo zápisu na disku."_s;
    QTest::newRow("permission") << u"file"_s << true << EACCES << u"Soubor vozy.txt nelze zapsat: chybí oprávnění."_s;
    QTest::newRow("read-only disk") << u"nothing"_s << true << EROFS
                                    << u"Soubor vozy.txt nelze zapsat: disk je jen pro čtení."_s;
    QTest::newRow("disk full") << u"file"_s << true << ENOSPC
                               << u"Na disku není místo, soubor vozy.txt zůstal beze změny."_s;
    QTest::newRow("an error without words of its own")
        << u"file"_s << true << EXDEV << u"Soubor vozy.txt nelze zapsat: systémová chyba EXDEV."_s;
    QTest::newRow("size limit, a real save") << u"file"_s << true << -1
                                             << u"Soubor vozy.txt nelze zapsat: soubor by byl větší, než systém dovolí."_s;
}

void TestStorage::errorWords()
{
    QFETCH(QString, setup);
    QFETCH(bool, write);
    QFETCH(int, error);
    QFETCH(QString, expected);
    if (setup == u"folder")
        QVERIFY(QDir(u"."_s).mkdir(storage::VOZY));
    else if (setup == u"file")
        writeFile(storage::VOZY, "Datab\xE1ze vozy\r\n");
    if (error >= 0) {
        QCOMPARE(storage::fileError(storage::VOZY, write ? storage::Access::Write : storage::Access::Read, error),
                 expected);
        return;
    }
    if (!FileSizeLimit::available())
        QSKIP("no limit on the size of written files on this system");
    FileSizeLimit noRoom(0);
    const storage::SaveResult saved = storage::save(storage::VOZY, {u"Databáze vozy"_s, u"21802345123-8"_s});
    QVERIFY(!saved.ok);
    QCOMPARE(saved.error, expected);
}

void TestStorage::unencodableRefused_data()
{
    QTest::addColumn<QString>("bad");
    QTest::newRow("cyrillic") << u"Жд"_s;
    QTest::newRow("emoji") << u"😀"_s;
    QTest::newRow("chinese") << u"中"_s;
    QTest::newRow("greek") << u"λ"_s;
    QTest::newRow("high surrogate ending the line") << u"x"_s + QChar(0xD83D);
    QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) + u"x"_s;
}

// Refused before anything is written; the error names the file and the line.
void TestStorage::unencodableRefused()
{
    QFETCH(QString, bad);
    QVERIFY(!storage::isEncodable(bad));
    const QByteArray old = "Datab\xE1ze vozy\r\n";
    writeFile(storage::VOZY, old);
    const QStringList lines{u"Databáze vozy"_s, u"21802345123-8 dkv Plzeň domovska Cheb"_s,
                            u"Záložka "_s + bad + u" konec"_s, u"další"_s};
    QCOMPARE(storage::firstUnencodableLine(lines), 2);

    storage::SaveResult result = storage::save(storage::VOZY, lines);
    QVERIFY(!result.ok);
    QCOMPARE(result.badLine, 2);
    QVERIFY2(result.error.contains(storage::VOZY), qPrintable(result.error));
    QVERIFY2(result.error.contains(u"řádek 3"_s), qPrintable(result.error));
    QCOMPARE(readFile(storage::VOZY), old);

    // The same for a text, also when the character ends it.
    for (const QString &text : {lines.join(u'\n'), lines.mid(0, 2).join(u'\n') + u"\n"_s + bad}) {
        result = storage::saveText(storage::VOZY, text);
        QVERIFY(!result.ok);
        QCOMPARE(result.badLine, 2);
        QVERIFY2(result.error.contains(u"řádek 3"_s), qPrintable(result.error));
        QCOMPARE(readFile(storage::VOZY), old);
    }
    QCOMPARE(entries(), QStringList{storage::VOZY});
}

void TestStorage::everyWindows1250CharacterEncodable()
{
    writeFile(storage::VOZY, everyByte());
    const QStringList lines = storage::load(storage::VOZY).lines;
    QCOMPARE(lines.size(), 1);
    QVERIFY(storage::isEncodable(lines.first()));
    QVERIFY(storage::isEncodable(u"Česká Třebová, Ústí nad Labem, Hradec Králové"_s));
    QCOMPARE(storage::firstUnencodableLine(lines), -1);
}

// The files convert exactly as the toolkit's windows-1250 codec converts them:
// every byte read, and every UTF-16 unit written or refused.
void TestStorage::convertsAsTheCodec()
{
    if (!QStringDecoder("windows-1250").isValid())
        QSKIP("the toolkit has no windows-1250 codec here to compare with");
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) {
        const char c = char(byte);
        all += c;
        const QString expected = QStringDecoder("windows-1250").decode(QByteArrayView(&c, 1));
        QVERIFY2(storage::fromWindows1250(QByteArrayView(&c, 1)) == expected, qPrintable(u"byte %1"_s.arg(byte)));
    }
    QCOMPARE(storage::fromWindows1250(all), QStringDecoder("windows-1250").decode(all));

    for (int unit = 0; unit < 0x10000; ++unit) {
        const QChar c{char16_t(unit)};
        QStringEncoder encoder("windows-1250");
        const QByteArray expected = encoder.encode(QStringView(&c, 1));
        // A lone surrogate gives no byte: refused here, held back there.
        const bool encodable = !encoder.hasError() && expected.size() == 1;
        QByteArray bytes = "x";
        const QString where = u"U+%1"_s.arg(unit, 4, 16, QLatin1Char('0'));
        QVERIFY2(storage::appendWindows1250(QStringView(&c, 1), bytes) == encodable, qPrintable(where));
        QVERIFY2(storage::isEncodable(QString(c)) == encodable, qPrintable(where));
        if (encodable)
            QVERIFY2(bytes == "x" + expected, qPrintable(where));
    }
}

// ---- keys ---------------------------------------------------------------------

void TestStorage::keys_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint64>("locomotive"); // -1: no key
    QTest::addColumn<qint64>("wagon");      // -1: no key
    QTest::newRow("locomotive line") << u"754001-6 dkv Česká Třebová pj Hradec Králové"_s << qint64(754001)
                                     << qint64(-1);
    QTest::newRow("wagon line") << u"21802345123-8 dkv Plzeň domovska Cheb"_s << qint64(218023)
                                << qint64(21802345123);
    QTest::newRow("wagon 2^31") << u"02147483648-2 dkv  domovska "_s << qint64(21474) << qint64(2147483648);
    QTest::newRow("wagon 2^32+1") << u"04294967297-0"_s << qint64(42949) << qint64(4294967297);
    QTest::newRow("largest wagon") << u"99999999999-1 dkv  domovska "_s << qint64(999999) << qint64(99999999999);
    QTest::newRow("leading zeros") << u"00000000005-9"_s << qint64(0) << qint64(5);
    QTest::newRow("locomotive header") << u"Databáze lokomotivy"_s << qint64(-1) << qint64(-1);
    QTest::newRow("wagon header") << u"Databáze vozy"_s << qint64(-1) << qint64(-1);
    QTest::newRow("list header") << u"list režimů"_s << qint64(-1) << qint64(-1);
    QTest::newRow("bookmark beginning with a letter") << u"A54001 oprava"_s << qint64(-1) << qint64(-1);
    QTest::newRow("letter among the digits") << u"75400a-1 dkv"_s << qint64(-1) << qint64(-1);
    QTest::newRow("bookmark of six digits") << u"754001 oprava"_s << qint64(754001) << qint64(-1);
    QTest::newRow("eleven digits then text") << u"21802345123 nové"_s << qint64(218023) << qint64(21802345123);
    QTest::newRow("empty line") << u""_s << qint64(-1) << qint64(-1);
    QTest::newRow("blank line") << u"      "_s << qint64(-1) << qint64(-1);
    QTest::newRow("blank before the digits") << u" 754001-6 dkv"_s << qint64(-1) << qint64(-1);
    QTest::newRow("sign before the digits") << u"+75400 oprava"_s << qint64(-1) << qint64(-1);
    QTest::newRow("minus before the digits") << u"-21802345123"_s << qint64(-1) << qint64(-1);
    QTest::newRow("five digits") << u"75400"_s << qint64(-1) << qint64(-1);
    QTest::newRow("full-width digits") << u"７５４００１-6"_s << qint64(-1) << qint64(-1);
}

void TestStorage::keys()
{
    QFETCH(QString, line);
    QFETCH(qint64, locomotive);
    QFETCH(qint64, wagon);
    const std::optional<qint64> lk = placement::key(placement::Kind::Locomotive, line);
    const std::optional<qint64> wk = placement::key(placement::Kind::Wagon, line);
    // The same reading of the file's bytes.
    QByteArray bytes;
    if (storage::appendWindows1250(line, bytes)) {
        QCOMPARE(placement::key(placement::Kind::Locomotive, QByteArrayView(bytes)), lk);
        QCOMPARE(placement::key(placement::Kind::Wagon, QByteArrayView(bytes)), wk);
    }
    QCOMPARE(lk.has_value(), locomotive >= 0);
    if (lk)
        QCOMPARE(qint64(*lk), locomotive);
    QCOMPARE(wk.has_value(), wagon >= 0);
    if (wk)
        QCOMPARE(*wk, wagon);
}

// Insertion compares keys: they must order as the numbers do, also past 32 bits.
void TestStorage::wagonKeysOrderAbove32Bits()
{
    const QStringList ascending{u"02147483647-0"_s, u"02147483648-0"_s, u"04294967295-0"_s, u"04294967296-0"_s,
                                u"21802345123-8"_s, u"30000000000-0"_s, u"99999999999-1"_s};
    for (qsizetype i = 1; i < ascending.size(); ++i) {
        const std::optional<qint64> lower = placement::key(placement::Kind::Wagon, ascending[i - 1]);
        const std::optional<qint64> higher = placement::key(placement::Kind::Wagon, ascending[i]);
        QVERIFY(lower && higher);
        QVERIFY2(*lower < *higher, qPrintable(ascending[i]));
    }
}

// A key appended past the largest one its block knew must still be found.
void TestStorage::keyCacheAfterLargerKeyAppended()
{
    QStringList lines{u"Databáze lokomotivy"_s};
    for (int i = 0; i < 1500; ++i)
        lines << u"%1-0 x"_s.arg(100000 + 2 * i);
    writeLines(u"db.txt"_s, lines);
    storage::Lines db;
    QVERIFY(db.load(u"db.txt"_s).ok());
    const storage::Lines::KeyFn key = placement::keyFunction(placement::Kind::Locomotive);
    QVERIFY(db.readKeys(key, 100));
    QCOMPARE(db.firstKeyNotLess(key, 999999), qsizetype(-1));
    QVERIFY(db.insert(db.size(), {u"999998-0 x"_s}));
    QCOMPARE(db.firstKeyNotLess(key, 999999), qsizetype(-1));
    QCOMPARE(db.firstKeyNotLess(key, 999998), db.size() - 1);
    QVERIFY(db.insert(1024, {u"500000-0 x"_s})); // at the end of the first block
    QCOMPARE(db.firstKeyNotLess(key, 400000), qsizetype(1024));
    // Another file read into the same lines fills their blocks again: no key
    // read of the file before stands for it.
    lines = {u"Databáze lokomotivy"_s};
    for (int i = 0; i < 3000; ++i)
        lines << u"%1-0 x"_s.arg(200000 + i);
    writeLines(u"db.txt"_s, lines);
    QVERIFY(db.load(u"db.txt"_s).ok());
    QCOMPARE(db.texts(), lines);
    QCOMPARE(db.firstKeyNotLess(key, 200500), qsizetype(501));
}

// Stamps, and the names of cache copies, are this hash: the processor's
// vector instructions, where it has them, give the same lanes as the rounds
// one lane at a time.
void TestStorage::hashSameWithVectors()
{
    QRandomGenerator random(25);
    QByteArray bytes(64 * 300, Qt::Uninitialized);
    for (int round = 0; round < 200; ++round) {
        random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        quint64 lanes[2][8]; // one lane at a time, with vectors
        random.fillRange(lanes[0]);
        std::copy(lanes[0], lanes[0] + 8, lanes[1]);
        const qsizetype blocks = random.bounded(300);
        for (bool vectors : {false, true})
            storage::internal::hashBlocks(lanes[vectors], bytes.constData(), blocks, vectors);
        QVERIFY2(std::equal(lanes[0], lanes[0] + 8, lanes[1]), qPrintable(QString::number(round)));
    }
}

// ---- files shared with other programs and other clerks ---------------------------

namespace {

std::optional<platform::FileStatus> statOf(const QString &name)
{
    return platform::statPath(name);
}

constexpr qint64 kSecondNs = 1000000000;

} // namespace

// The check sees every write of another program: within the timestamp's
// granularity, and a file renamed over with its times kept.
void TestStorage::changeSeen_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("same size within the second, 1-second ext4") << "ext4";
    // Its modification time a day old and put back after the write: only
    // the change time, within the second of the read, tells.
    QTest::newRow("same size, modification time put back, 1-second ext4") << "ext4 put back";
    QTest::newRow("renamed over with its times kept") << "rename";
    QTest::newRow("after our own save") << "save";
    // Made by another program while ours was written: left as it is.
    QTest::newRow("made during our save") << "made";
}

void TestStorage::changeSeen()
{
    QFETCH(QString, how);
    const QByteArray a = "Datab\xE1ze vozy\r\n21802345123-8 dkv A\r\n";
    const QByteArray b = "Datab\xE1ze vozy\r\n21802345123-8 dkv B\r\n";
    if (how.startsWith(u"ext4")) {
        const bool putBack = how.endsWith(u"put back");
        if (!isRoot())
            QSKIP("mounting needs root");
        Mount fs(u"fs"_s, u"ext4"_s);
        if (!fs.ok)
            QSKIP(qPrintable(u"this machine cannot mount a 1-second ext4 image: "_s + fs.why));
        const QString file = fs.dir + u"/vozy.txt"_s;
        const qint64 dayOld = (QDateTime::currentSecsSinceEpoch() - 86400) * kSecondNs;
        int sameSecond = 0;
        for (int i = 0; i < 200; ++i) {
            writeFile(file, i % 2 ? b : a);
            if (putBack)
                QVERIFY(setTimes(file, dayOld));
            // Taken as the change check takes it, or as the list takes it:
            // either way with the hash of the bytes read.
            storage::Lines lines;
            const storage::FileStamp known = i % 2 ? storage::stamp(file) : lines.load(file).stamp;
            storage::ContentHash hash;
            hash.add(i % 2 ? b : a);
            QCOMPARE(known.hash, hash.value());
            QVERIFY(!storage::writtenSince(file, known));
            writeFile(file, i % 2 ? a : b);
            if (putBack)
                QVERIFY(setTimes(file, dayOld));
            const platform::FileStatus now = statOf(file).value();
            sameSecond += putBack ? now.modifiedNs / kSecondNs * kSecondNs == known.modifiedNs
                                        && now.changedNs / kSecondNs * kSecondNs == known.changedNs
                                  : now.modifiedNs / kSecondNs == known.modifiedNs / kSecondNs;
            QVERIFY2(storage::writtenSince(file, known), qPrintable(QString::number(i)));
            // A save told the stamp leaves the other program's bytes, written
            // beside the file or, with a second name, in place.
            const QString link = fs.dir + u"/odkaz.txt"_s;
            QVERIFY(i % 4 < 2 ? hardLink(file, link) : !QFile::exists(link));
            const storage::SaveResult saved = storage::Lines::fromBytes(a + b).save(file, &known);
            QVERIFY2(saved.changedMeanwhile && !saved.ok, qPrintable(QString::number(i)));
            QCOMPARE(readFile(file), i % 2 ? a : b);
            QFile::remove(link);
        }
        QVERIFY(sameSecond > 100); // the times alone could not tell those
        QCOMPARE(statOf(file)->modifiedNs % kSecondNs, 0);
        return;
    }
    if (how == u"made") {
        storage::internal::Writer writer(u"vozy.txt"_s);
        QVERIFY(writer.open().ok);
        QVERIFY(writer.write(b));
        writeFile(u"vozy.txt"_s, a);
        const storage::SaveResult saved = writer.commit(true);
        QVERIFY(!saved.ok);
        QVERIFY(saved.changedMeanwhile);
        QCOMPARE(saved.error, u"Soubor vozy.txt mezitím vytvořil jiný program. Soubor zůstal beze změny."_s);
        QCOMPARE(readFile(u"vozy.txt"_s), a);
        QCOMPARE(entries(), QStringList{u"vozy.txt"_s});
        return;
    }
    if (how == u"rename") {
        writeFile(u"vozy.txt"_s, a);
        const storage::FileStamp known = storage::stamp(u"vozy.txt"_s);
        writeFile(u"restored"_s, b);
        const qint64 oldTime = statOf(u"vozy.txt"_s)->modifiedNs;
        QVERIFY(setTimes(u"restored"_s, oldTime));
        QVERIFY(platform::replaceFile(u"restored"_s, u"vozy.txt"_s));
        QCOMPARE(statOf(u"vozy.txt"_s)->modifiedNs, oldTime);
        QVERIFY(storage::writtenSince(u"vozy.txt"_s, known));
        return;
    }
    writeFile(u"vozy.txt"_s, a);
    const storage::SaveResult saved = storage::saveBytes(u"vozy.txt"_s, b);
    QVERIFY(saved.ok);
    QCOMPARE(saved.stamp.hash, storage::stamp(u"vozy.txt"_s).hash);
    QVERIFY(!storage::writtenSince(u"vozy.txt"_s, saved.stamp));
    writeFile(u"vozy.txt"_s, a);
    QVERIFY(storage::writtenSince(u"vozy.txt"_s, saved.stamp));
}

// A save keeps the file's owner, group and mode: by a sibling where it can
// be given them, else in place, with the old bytes in the cache meanwhile.
void TestStorage::fileStaysTheClerks_data()
{
    QTest::addColumn<QString>("who");
    QTest::addColumn<bool>("folderTakesFiles");
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<QString>("old"); // what the file held; "long": longer than the new content
    QTest::newRow("administrator") << "root" << true << false << "";
    QTest::newRow("another clerk of the depot") << "other" << true << true << "";
    QTest::newRow("folder takes no new file") << "owner" << false << true << "";
    // The old file's tail is cut off.
    QTest::newRow("another clerk, shorter content") << "other" << true << true << "long";
    // Both names of the file keep naming it: written in place, never renamed over.
    QTest::newRow("second hard link") << "root" << true << true << "linked";
}

void TestStorage::fileStaysTheClerks()
{
    QFETCH(QString, who);
    QFETCH(bool, folderTakesFiles);
    QFETCH(bool, inPlace);
    QFETCH(QString, old);
    if (!isRoot())
        QSKIP("files of other users need root");
    QDir().mkpath(u"shared"_s);
    QDir().mkpath(u"cache"_s);
    QVERIFY(setOwner(u"cache"_s, who == u"other" ? kOtherClerk : kClerk, kDepot));
    QVERIFY(setMode(u"shared"_s, folderTakesFiles ? 0777 : 0755));
    const QString file = u"shared/vozy.txt"_s;
    writeFile(file, "Datab\xE1ze vozy\r\n" + QByteArray(old == u"long" ? 10000 : 0, 'x'));
    if (old == u"linked")
        QVERIFY(hardLink(file, u"vozy-odkaz.txt"_s));
    QVERIFY(setOwner(file, kClerk, kDepot));
    QVERIFY(setMode(file, 0664));
    const quint64 inode = statOf(file)->inode;
    const QStringList lines{u"Databáze vozy"_s, u"21802345123-8 dkv Plzeň domovska Cheb"_s};
    const QString cache = QDir(u"cache"_s).absolutePath();
    auto save = [&] {
        const storage::SaveResult r = storage::save(file, lines);
        if (!r.ok)
            qWarning("%s", qPrintable(r.error));
        return r.ok ? 0 : 1;
    };
    if (who == u"root")
        QCOMPARE(save(), 0);
    else
        QCOMPARE(asUser(who == u"other" ? kOtherClerk : kClerk, cache, save), 0);
    const platform::FileStatus st = statOf(file).value();
    QCOMPARE(readFile(file), crlfLines(lines));
    QCOMPARE(st.owner, kClerk);
    QCOMPARE(st.group, kDepot);
    QCOMPARE(st.mode, 0664u);
    QCOMPARE(st.inode == inode, inPlace);
    QCOMPARE(QDir(u"shared"_s).entryList(QDir::Files), QStringList{u"vozy.txt"_s});
    if (old == u"linked")
        QCOMPARE(readFile(u"vozy-odkaz.txt"_s), crlfLines(lines));
    // The copy of the old bytes is gone once the new ones are on the disk.
    QCOMPARE(QDir(cache + u"/trakvid"_s).entryList(QDir::Files), QStringList{});
}

// A full disk leaves the file as it was and says so, whichever way it is written.
void TestStorage::fullDisk_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("by a sibling") << false;
    QTest::newRow("in place") << true;
}

void TestStorage::fullDisk()
{
    QFETCH(bool, inPlace);
    if (!isRoot())
        QSKIP("mounting needs root");
    Mount fs(u"small"_s, u"tmpfs"_s);
    if (!fs.ok)
        QSKIP(qPrintable(u"this machine cannot mount a small tmpfs: "_s + fs.why));
    QDir().mkpath(u"cache"_s);
    QVERIFY(setOwner(u"cache"_s, kClerk, kDepot));
    QVERIFY(setMode(u"."_s, 0755));
    const QString cache = QDir(u"cache"_s).absolutePath();
    const QByteArray old = QByteArray(30 * 1024, 'a') + "\r\n";
    writeFile(fs.dir + u"/vozy.txt"_s, old);
    QVERIFY(setOwner(fs.dir + u"/vozy.txt"_s, kClerk, kDepot));
    QVERIFY(setMode(fs.dir, inPlace ? 0755 : 0777));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(fs.dir));
    QString error;
    auto save = [&] {
        const storage::SaveResult r = storage::saveBytes(u"vozy.txt"_s, QByteArray(200 * 1024, 'b'));
        error = r.error;
        if (r.error != u"Na disku není místo, soubor vozy.txt zůstal beze změny."_s)
            qWarning("%s", qPrintable(r.error));
        return r.error == u"Na disku není místo, soubor vozy.txt zůstal beze změny."_s ? 0 : 1;
    };
    const int result = inPlace ? asUser(kClerk, cache, save) : save();
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY2(result == 0, qPrintable(error));
    QCOMPARE(readFile(fs.dir + u"/vozy.txt"_s), old);
    QCOMPARE(QDir(fs.dir).entryList(QDir::Files), QStringList{u"vozy.txt"_s});
    QCOMPARE(QDir(cache + u"/trakvid"_s).entryList(QDir::Files), QStringList{});
}

TRAKVID_TEST_MAIN(TestStorage)
#include "tst_storage.moc"
