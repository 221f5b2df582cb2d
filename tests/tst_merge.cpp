// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The merge of this session's changes into a file another program changed:
// the rules line by line, the report, and random change sets of both sides.
#include "lines.h"
#include "merge.h"
#include "placement.h"
#include "testutil.h"

#include <QRandomGenerator>
#include <QSet>
#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QStringList &lines) { return crlfLines(lines); }

// Applies edits as the windows make them: "dN" deletes row N, "iN:text"
// inserts before row N, "rN:text" replaces row N.
void edit(storage::Lines &lines, const QStringList &edits)
{
    for (const QString &e : edits) {
        const qsizetype colon = e.indexOf(u':');
        const int row = e.mid(1, colon < 0 ? -1 : colon - 1).toInt();
        const QString text = colon < 0 ? QString() : e.mid(colon + 1);
        if (e[0] == u'd')
            lines.remove(row);
        else if (e[0] == u'i')
            QVERIFY(lines.insert(row, {text}));
        else
            QVERIFY(lines.replace(row, 1, {text}));
    }
}

struct Merged {
    QStringList lines;
    QStringList report;
    merge::Result result;
};

// Loads `base` from a file, makes this session's edits, and merges them into `theirs`.
Merged mergeSession(const QStringList &base, const QStringList &edits, const QStringList &theirs)
{
    writeFile(u"db.txt"_s, bytesOf(base));
    storage::Lines lines;
    [&] { QVERIFY(lines.load(u"db.txt"_s).ok()); }();
    edit(lines, edits);
    Merged m;
    m.result = lines.mergeWith(bytesOf(theirs), placement::keyFunction(placement::Kind::Locomotive));
    m.lines = lines.texts();
    m.report = merge::report(m.result);
    return m;
}

// Whether `number` keeps the order when it is put after `row`.
bool fitsAfter(const QStringList &lines, int row, int number)
{
    for (int next = row + 1; next < lines.size(); ++next)
        if (const std::optional<qint64> key = placement::key(placement::Kind::Locomotive, lines[next]))
            return *key > number;
    return true;
}

} // namespace

class TestMerge : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_dir = std::make_unique<WorkDir>(); }
    void cleanup() { m_dir.reset(); }

    void rules_data();
    void rules();
    void randomChangesOfBothSides_data();
    void randomChangesOfBothSides();
    void savedTwiceCountsFromTheLastSave();

private:
    std::unique_ptr<WorkDir> m_dir;
};

void TestMerge::rules_data()
{
    QTest::addColumn<QStringList>("base");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("theirs");
    QTest::addColumn<QStringList>("result");
    QTest::addColumn<QStringList>("report");

    const QStringList base{u"Databáze lokomotivy"_s, u"754001-6 dkv A pj a"_s, u"754002-4 dkv A pj a"_s,
                           u"754005-7 dkv A pj a"_s, u"754009-9 dkv A pj a"_s};
    auto counts = [](int applied, int skipped, int kept) {
        return u"Použito změn: %1, nepoužito: %2, řádků jiného programu zachováno: %3"_s.arg(applied).arg(skipped).arg(kept);
    };
    const QString theirAdd = u"754003-2 dkv B pj b"_s;

    QTest::newRow("add beside their add, both kept in number order")
        << base << QStringList{u"i3:754004-0 dkv A pj a"_s}
        << QStringList{base[0], base[1], base[2], theirAdd, base[3], base[4]}
        << QStringList{base[0], base[1], base[2], theirAdd, u"754004-0 dkv A pj a"_s, base[3], base[4]}
        << QStringList{counts(1, 0, 1)};
    QTest::newRow("add before their larger add goes before it")
        << base << QStringList{u"i2:754002-0 dkv A pj a"_s}
        << QStringList{base[0], base[1], u"754001-9 dkv B"_s, base[2], base[3], base[4]}
        << QStringList{base[0], base[1], u"754001-9 dkv B"_s, u"754002-0 dkv A pj a"_s, base[2], base[3], base[4]}
        << QStringList{counts(1, 0, 1)};
    QTest::newRow("following line gone: placed by number")
        << base << QStringList{u"i3:754004-0 dkv A pj a"_s}
        << QStringList{base[0], base[1], base[2], base[4]}
        << QStringList{base[0], base[1], base[2], u"754004-0 dkv A pj a"_s, base[4]}
        << QStringList{counts(1, 0, 0)};
    QTest::newRow("bookmark goes with the vehicle after it")
        << base << QStringList{u"i3:754004-0 dkv A pj a"_s, u"i3:--- nové ---"_s}
        << QStringList{base[0], base[1], base[2], base[4]}
        << QStringList{base[0], base[1], base[2], u"--- nové ---"_s, u"754004-0 dkv A pj a"_s, base[4]}
        << QStringList{counts(2, 0, 0)};
    QTest::newRow("delete and edit of lines they left")
        << base << QStringList{u"d1"_s, u"r2:754005-7 dkv C pj c"_s}
        << QStringList{base[0], base[1], base[2], base[3], base[4], u"754010-7 dkv B"_s}
        << QStringList{base[0], base[2], u"754005-7 dkv C pj c"_s, base[4], u"754010-7 dkv B"_s}
        << QStringList{counts(2, 0, 1)};
    QTest::newRow("edit of a line they changed")
        << base << QStringList{u"r2:754002-4 dkv C pj c"_s}
        << QStringList{base[0], base[1], u"754002-4 dkv B pj b"_s, base[3], base[4]}
        << QStringList{base[0], base[1], u"754002-4 dkv B pj b"_s, base[3], base[4]}
        << QStringList{counts(0, 1, 1), u"nepoužito: 754002-4 dkv C pj c – řádek jiný program změnil"_s};
    QTest::newRow("edit of a line they deleted")
        << base << QStringList{u"r2:754002-4 dkv C pj c"_s}
        << QStringList{base[0], base[1], base[3], base[4]}
        << QStringList{base[0], base[1], base[3], base[4]}
        << QStringList{counts(0, 1, 0), u"nepoužito: 754002-4 dkv C pj c – řádek už v souboru není"_s};
    QTest::newRow("delete of a line they changed")
        << base << QStringList{u"d3"_s}
        << QStringList{base[0], base[1], base[2], u"754005-7 dkv B"_s, base[4]}
        << QStringList{base[0], base[1], base[2], u"754005-7 dkv B"_s, base[4]}
        << QStringList{counts(0, 1, 1), u"nepoužito: 754005-7 dkv A pj a – řádek jiný program změnil"_s};
    QTest::newRow("delete of a line they deleted too")
        << base << QStringList{u"d3"_s} << QStringList{base[0], base[1], base[2], base[4]}
        << QStringList{base[0], base[1], base[2], base[4]} << QStringList{counts(1, 0, 0)};
    QTest::newRow("same number added by both, other text")
        << base << QStringList{u"i3:754003-2 dkv A pj a"_s}
        << QStringList{base[0], base[1], base[2], theirAdd, base[3], base[4]}
        << QStringList{base[0], base[1], base[2], theirAdd, base[3], base[4]}
        << QStringList{counts(0, 1, 1), u"nepoužito: 754003-2 dkv A pj a – číslo už v souboru je na řádku 4"_s};
    QTest::newRow("same line added by both")
        << base << QStringList{u"i3:"_s + theirAdd}
        << QStringList{base[0], base[1], base[2], theirAdd, base[3], base[4]}
        << QStringList{base[0], base[1], base[2], theirAdd, base[3], base[4]} << QStringList{counts(1, 0, 1)};
    QTest::newRow("bookmark changed, header changed by them")
        << QStringList{u"Databáze lokomotivy"_s, u"== Plzeň"_s, base[1]} << QStringList{u"r1:== Plzeň hlavní"_s}
        << QStringList{u"Lokomotivy"_s, u"== Plzeň"_s, base[1]}
        << QStringList{u"Lokomotivy"_s, u"== Plzeň hlavní"_s, base[1]} << QStringList{counts(1, 0, 1)};
    QTest::newRow("file emptied by them: adds stay, edits listed")
        << base << QStringList{u"i5:754011-5 x"_s, u"r1:754001-6 y"_s} << QStringList{}
        << QStringList{u"754011-5 x"_s}
        << QStringList{counts(1, 1, 0), u"nepoužito: 754001-6 y – řádek už v souboru není"_s};
    QTest::newRow("repeated bookmark lines, one deleted")
        << QStringList{u"--"_s, base[1], u"--"_s, base[2], u"--"_s} << QStringList{u"d2"_s}
        << QStringList{u"--"_s, base[1], u"--"_s, base[2], u"--"_s, u"754009-9"_s}
        << QStringList{u"--"_s, base[1], base[2], u"--"_s, u"754009-9"_s} << QStringList{counts(1, 0, 1)};
    const QStringList repeated{u"H"_s, u"----"_s, base[1], u"----"_s, base[2], base[3]};
    QTest::newRow("repeated bookmarks: they delete the first, we delete the vehicle between")
        << repeated << QStringList{u"d2"_s} << QStringList{u"H"_s, base[1], u"----"_s, base[2], base[3]}
        << QStringList{u"H"_s, u"----"_s, base[2], base[3]} << QStringList{counts(1, 0, 0)};
    QTest::newRow("they sorted the file, we delete the vehicle they moved")
        << QStringList{u"H"_s, base[3], base[1], base[2]} << QStringList{u"d2"_s}
        << QStringList{u"H"_s, base[1], base[2], base[3]} << QStringList{u"H"_s, base[2], base[3]}
        << QStringList{counts(1, 0, 0)};
    QTest::newRow("change beside repeated bookmarks they added to")
        << repeated << QStringList{u"r5:754005-7 dkv C pj c"_s}
        << QStringList{u"H"_s, u"----"_s, base[1], u"----"_s, u"----"_s, base[2], base[3]}
        << QStringList{u"H"_s, u"----"_s, base[1], u"----"_s, u"----"_s, base[2], u"754005-7 dkv C pj c"_s}
        << QStringList{counts(1, 0, 1)};
    QTest::newRow("the same bookmark added by both before the same vehicle")
        << base << QStringList{u"i3:Záložka B1"_s}
        << QStringList{base[0], base[1], base[2], u"Záložka B1"_s, base[3], base[4]}
        << QStringList{base[0], base[1], base[2], u"Záložka B1"_s, base[3], base[4]} << QStringList{counts(1, 0, 1)};
    QTest::newRow("bookmark changed by both")
        << QStringList{base[0], u"== A"_s, base[1]} << QStringList{u"r1:== moje"_s}
        << QStringList{base[0], u"== jejich"_s, base[1]} << QStringList{base[0], u"== jejich"_s, base[1]}
        << QStringList{counts(0, 1, 1), u"nepoužito: == moje – řádek jiný program změnil"_s};
    QTest::newRow("add before a line that follows a greater number of the file")
        << QStringList{base[0], base[4], base[3]} << QStringList{u"i2:754003-2 dkv A pj a"_s}
        << QStringList{base[0], base[4], base[3], u"754010-7 dkv B"_s}
        << QStringList{base[0], base[4], u"754003-2 dkv A pj a"_s, base[3], u"754010-7 dkv B"_s}
        << QStringList{counts(1, 0, 1)};
    QTest::newRow("a bookmark of digits whose next line is gone goes before the line of its number")
        << QStringList{base[0], base[1], u"754003-2 dkv A pj a"_s, base[4]} << QStringList{u"i3:754003 pozor"_s}
        << QStringList{base[0], base[1], u"754003-2 dkv A pj a"_s}
        << QStringList{base[0], base[1], u"754003 pozor"_s, u"754003-2 dkv A pj a"_s} << QStringList{counts(1, 0, 0)};
}

void TestMerge::rules()
{
    QFETCH(QStringList, base);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, theirs);
    QFETCH(QStringList, result);
    QFETCH(QStringList, report);
    const Merged m = mergeSession(base, edits, theirs);
    QCOMPARE(m.lines, result);
    QCOMPARE(m.report, report);
}

// Random files and random changes of both sides: every line of the other
// program stays, every change of this session is applied or listed, and
// the numbers stay in order.
void TestMerge::randomChangesOfBothSides_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 2000; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestMerge::randomChangesOfBothSides()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    // Numbers are even in the base; this session adds numbers 4k+1, the
    // other program 4k+3 and, now and then, one of this session's.
    auto vehicle = [](int number, const QString &rest) { return u"%1-0 %2"_s.arg(number, 6, 10, QChar(u'0')).arg(rest); };
    QStringList base{u"Databáze lokomotivy"_s};
    const int size = int(random.bounded(1, 60));
    for (int i = 0; i < size; ++i) {
        if (random.bounded(8) == 0)
            base << (random.bounded(2) ? u"----"_s : u"== záložka %1"_s.arg(i)); // "----" repeats
        base << vehicle(100000 + 4 * i, u"dkv A"_s);
    }
    // Now and then a file out of number order, which the other program sorts.
    const bool unordered = random.bounded(6) == 0;
    // Shuffled with the toolkit's generator: a std::mt19937 of our own would
    // put our copy of its refill in the Windows program, in place of the one
    // the toolkit's generator was compiled to trust with its registers.
    if (unordered)
        std::shuffle(base.begin() + 1, base.end(), random);

    // This session: edits through the byte store, remembered as what it
    // changed, on a file of CR LF or, now and then, LF alone.
    writeFile(u"db.txt"_s, random.bounded(4) ? bytesOf(base) : bytesOf(base).replace("\r\n", "\n"));
    storage::Lines mine;
    QVERIFY(mine.load(u"db.txt"_s).ok());
    // Now and then a session that saved before: its base is then pieces of
    // the file as read and of the lines it added.
    if (random.bounded(3) == 0) {
        for (int c = int(random.bounded(1, 4)); c > 0 && mine.size() > 1; --c) {
            const qsizetype row = qsizetype(random.bounded(1, int(mine.size())));
            if (random.bounded(2))
                mine.remove(row);
            else
                QVERIFY(mine.insert(row, {u"== uloženo %1"_s.arg(c)}));
        }
        QVERIFY(mine.save(u"db.txt"_s).ok);
        mine.markSaved();
        base = mine.texts();
    }
    QStringList mineAdded, mineDeleted;
    const int changes = int(random.bounded(0, 12));
    for (int c = 0; c < changes && mine.size() > 1; ++c) {
        const qsizetype row = qsizetype(random.bounded(1, int(mine.size())));
        const QString line = mine.text(row);
        const std::optional<qint64> key = placement::key(placement::Kind::Locomotive, line);
        switch (random.bounded(4)) {
        case 0: // delete
            if (!mineAdded.contains(line))
                mineDeleted << line;
            mineAdded.removeAll(line);
            mine.remove(row);
            break;
        case 1: // edit: the same number, another allocation
            if (key) {
                const QString changed = line + u" moje"_s;
                if (!mineAdded.contains(line))
                    mineDeleted << line;
                mineAdded.removeAll(line);
                mineAdded << changed;
                QVERIFY(mine.replace(row, 1, {changed}));
            }
            break;
        case 2: // add after a vehicle, in number order
            if (key && !mine.text(row).endsWith(u"moje"_s)) {
                const QString added = vehicle(*key + 1, u"dkv moje"_s);
                if (!fitsAfter(mine.texts(), int(row), *key + 1))
                    break;
                mineAdded << added;
                QVERIFY(mine.insert(row + 1, {added}));
            }
            break;
        case 3: // bookmark
            mineAdded << u"== moje %1"_s.arg(c);
            QVERIFY(mine.insert(row, {mineAdded.last()}));
            break;
        }
    }

    // The other program: changes of its own on the base.
    QStringList theirs = base;
    QStringList theirsOwn;
    if (unordered) {
        std::stable_sort(theirs.begin() + 1, theirs.end(), [](const QString &a, const QString &b) {
            return placement::key(placement::Kind::Locomotive, a).value_or(-1)
                   < placement::key(placement::Kind::Locomotive, b).value_or(-1);
        });
    }
    // Now and then it adds one of this session's bookmarks at the same place.
    QStringList bothAdded;
    const QStringList mineNow = mine.texts();
    for (qsizetype i = 0; i < mineNow.size() && !unordered; ++i) {
        if (!mineNow[i].startsWith(u"== moje"_s) || random.bounded(2))
            continue;
        // Before the line of the base that follows it in this session's list:
        // the same line, or the line of the same number this session changed.
        auto baseRowOf = [&](const QString &line) -> qsizetype {
            if (!mineAdded.contains(line))
                return base.count(line) == 1 ? theirs.indexOf(line) : -1;
            const std::optional<qint64> key = placement::key(placement::Kind::Locomotive, line);
            for (qsizetype t = 0; key && t < theirs.size(); ++t)
                if (placement::key(placement::Kind::Locomotive, theirs[t]) == key)
                    return t;
            return -2; // a line of its own: look further
        };
        qsizetype at = -2;
        for (qsizetype next = i + 1; next < mineNow.size() && at == -2; ++next)
            at = baseRowOf(mineNow[next]);
        // At the end, unless this session deleted lines there that the other
        // program may keep (changed) after it: that is another place.
        if (at == -2)
            at = mineDeleted.isEmpty() ? theirs.size() : -1;
        if (at > 0) {
            theirs.insert(at, mineNow[i]);
            theirsOwn << mineNow[i];
            bothAdded << mineNow[i];
        }
    }
    bool moved = false;
    const int theirChanges = int(random.bounded(0, 12));
    for (int c = 0; c < theirChanges && theirs.size() > 1; ++c) {
        const int row = int(random.bounded(1, int(theirs.size())));
        const std::optional<qint64> key = placement::key(placement::Kind::Locomotive, theirs[row]);
        if (bothAdded.contains(theirs[row]))
            continue;
        switch (random.bounded(5)) {
        case 0:
            theirsOwn.removeAll(theirs[row]);
            theirs.removeAt(row);
            break;
        case 1:
            if (key) {
                theirsOwn.removeAll(theirs[row]);
                theirs[row] += u" jejich"_s;
                theirsOwn << theirs[row];
            }
            break;
        case 2:
            if (key && !theirs[row].contains(u"jejich"_s) && !theirs[row].contains(u"dkv B"_s)) {
                // Sometimes the very number this session added.
                const int number = *key + (random.bounded(3) == 0 ? 1 : 3);
                if (!fitsAfter(theirs, row, number))
                    break;
                theirsOwn << vehicle(number, u"dkv B"_s);
                theirs.insert(row + 1, theirsOwn.last());
            }
            break;
        case 3:
            theirsOwn << u"== jejich %1"_s.arg(c);
            theirs.insert(row, theirsOwn.last());
            break;
        case 4: // moved elsewhere
            theirs.move(row, int(random.bounded(1, int(theirs.size()))));
            moved = true;
            break;
        }
    }
    // The file as the other program left it: its line ends, its encoding, or
    // nothing at all.
    const int shape = int(random.bounded(20));
    if (shape == 0) {
        theirs.clear();
        theirsOwn.clear();
        bothAdded.clear();
    }
    QByteArray theirsBytes = shape == 1   ? theirs.join(u'\n').toUtf8()
                             : shape == 2 ? bytesOf(theirs).replace("\r\n", "\n")
                                          : bytesOf(theirs);
    if (shape == 1) // read as the save reads it
        storage::utf8ToWindows1250(theirsBytes);

    const QStringList mineLines = mine.texts();
    const merge::Result result = mine.mergeWith(theirsBytes, placement::keyFunction(placement::Kind::Locomotive));
    const QStringList merged = mine.texts();
    QStringList skipped;
    for (const merge::Skipped &s : result.skipped)
        skipped << storage::fromWindows1250(s.line);
    const QString context = u"\nbase: %1\nmine: %5\ntheirs: %2\nmerged: %3\nskipped: %4"_s.arg(
        base.join(u" | "_s), theirs.join(u" | "_s), merged.join(u" | "_s), skipped.join(u" | "_s),
        mineLines.join(u" | "_s));

    for (const QString &line : theirsOwn)
        QVERIFY2(merged.contains(line), qPrintable(u"their line lost: "_s + line + context));
    for (const QString &line : theirs)
        QVERIFY2(merged.contains(line) || mineDeleted.contains(line),
                 qPrintable(u"line lost: "_s + line + context));
    for (const QString &line : mineAdded)
        QVERIFY2(merged.contains(line) != skipped.contains(line) || bothAdded.contains(line), qPrintable(u"added line: "_s + line + context));
    for (const QString &line : mineDeleted)
        QVERIFY2(!merged.contains(line) || skipped.contains(line) || line == u"----"_s,
                 qPrintable(u"deleted line: "_s + line + context));
    // The report counts what the result shows. For every text, the merge
    // changed its count by what it says it applied, except where the other
    // program made the same kind of change (both deleted, both added).
    QCOMPARE(result.applied + qsizetype(result.skipped.size()), qsizetype(result.outcomes.size()));
    QHash<QString, int> claimed;
    QStringList notApplied;
    for (const merge::Outcome &o : result.outcomes) {
        if (!o.applied)
            notApplied << storage::fromWindows1250(o.after.isEmpty() ? o.before : o.after);
        if (!o.applied)
            continue;
        if (!o.before.isEmpty())
            --claimed[storage::fromWindows1250(o.before)];
        if (!o.after.isEmpty())
            ++claimed[storage::fromWindows1250(o.after)];
    }
    notApplied.sort();
    QStringList skippedSorted = skipped;
    skippedSorted.sort();
    QCOMPARE(notApplied, skippedSorted);
    QSet<QString> texts(merged.begin(), merged.end());
    texts.unite(QSet<QString>(theirs.begin(), theirs.end())).unite(QSet<QString>(base.begin(), base.end()));
    for (auto c = claimed.cbegin(); c != claimed.cend(); ++c)
        texts.insert(c.key());
    for (const QString &text : texts) {
        const int made = int(merged.count(text) - theirs.count(text));
        const int said = claimed.value(text);
        const int theirDelta = int(theirs.count(text) - base.count(text));
        const bool bothSame = theirDelta != 0 && (theirDelta < 0) == (said < 0);
        QVERIFY2(made == said || (bothSame && std::abs(made) < std::abs(said) && made * said >= 0),
                 qPrintable(u"\"%1\": the result shows %2, the report says %3"_s.arg(text).arg(made).arg(said)
                            + context));
    }
    for (const QString &line : moved ? QStringList() : bothAdded)
        QVERIFY2(merged.count(line) == theirs.count(line), qPrintable(u"added by both, twice: "_s + line + context));
    for (const QString &line : merged)
        QVERIFY2(theirs.contains(line) || mineAdded.contains(line), qPrintable(u"line from nowhere: "_s + line + context));
    qint64 previous = -1;
    for (const QString &line : unordered || moved ? QStringList() : merged) {
        const std::optional<qint64> key = placement::key(placement::Kind::Locomotive, line);
        if (!key)
            continue;
        QVERIFY2(*key >= previous, qPrintable(u"out of order: "_s + line + context));
        previous = *key;
    }
    if (!moved && !unordered) // a moved bookmark is a line the other program wrote anew
        QCOMPARE(result.othersKept, qsizetype(theirsOwn.size()));
}

// After a save the changes are counted from what was written, not from the
// file as first read.
void TestMerge::savedTwiceCountsFromTheLastSave()
{
    const QStringList base{u"H"_s, u"754001-6 a"_s, u"754002-4 a"_s, u"754005-7 a"_s};
    writeFile(u"db.txt"_s, bytesOf(base));
    storage::Lines lines;
    QVERIFY(lines.load(u"db.txt"_s).ok());
    QVERIFY(lines.insert(2, {u"754001-9 moje"_s}));
    QVERIFY(lines.save(u"db.txt"_s).ok);
    lines.markSaved();
    lines.remove(1);
    // The other program deleted the line added before the save: that stays deleted.
    const QStringList theirs{u"H"_s, u"754001-6 a"_s, u"754002-4 a"_s, u"754005-7 a"_s, u"754009-9 b"_s};
    const merge::Result result = lines.mergeWith(bytesOf(theirs), placement::keyFunction(placement::Kind::Locomotive));
    QCOMPARE(lines.texts(), (QStringList{u"H"_s, u"754002-4 a"_s, u"754005-7 a"_s, u"754009-9 b"_s}));
    QCOMPARE(result.applied, qsizetype(1));
    QVERIFY(result.skipped.empty());
}

TRAKVID_TEST_MAIN(TestMerge)
#include "tst_merge.moc"
