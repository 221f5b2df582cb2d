// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// Trakvid at national-fleet scale: the main window and the add window,
// offscreen, driven through their own commands over the data files of one
// folder. scripts/bench.sh makes a folder per size (--make-data), runs this
// once per folder, so that the peak memory is that size's own, and sets the
// figures beside grep, cp and wc on the same files.
//
//   bench_trakvid --make-data=DIR --lines=N   write the seven files and values.json
//   bench_trakvid --data=DIR [benchmark flags] measure in DIR (its files are saved over)
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "app.h"
#include "ui_Unit1.h"
#include "boxes.h"
#include "databasemodel.h"
#include "outputpane.h"
#include "outputview.h"
#include "numbering.h"
#include "placement.h"
#include "storage.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringEncoder>
#include <QTextDocument>
#include <QTimer>

#include <array>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// ---- the data -----------------------------------------------------------------

// Each listing value stands in one tenth of the vehicle lines.
const char16_t *const kDepots[10] = {u"Česká Třebová", u"Plzeň",   u"Praha",   u"Ostrava", u"Brno",
                                     u"Ústí nad Labem", u"Děčín", u"Olomouc", u"Břeclav", u"České Budějovice"};
const char16_t *const kStations[10] = {u"Hradec Králové", u"Trutnov", u"Meziměstí", u"Liberec", u"Pardubice",
                                       u"Letohrad", u"Přerov", u"Cheb", u"Nymburk", u"Žďár nad Sázavou"};
const char *const kCharacteristics[10] = {"0835", "1516", "2151", "3352", "4654",
                                          "5955", "6656", "7864", "8761", "9337"};
const QString kDepotValue = QStringLiteral("Plzeň");
const QString kStationValue = QStringLiteral("Přerov");
const QString kCharacteristicValue = QStringLiteral("5955");
// Regime and owner pairs in ascending order; each carries ten characteristics
// of 500 wagons with even serials, so the odd serials are free for adding.
const int kRegimes[20] = {21, 23, 24, 25, 31, 33, 35, 37, 40, 41, 43, 44, 45, 51, 61, 80, 81, 83, 84, 85};
const int kOwners[10] = {51, 54, 55, 56, 80, 81, 83, 84, 85, 87};
constexpr int kBookmarkEvery = 300; // vehicles

// The eleven digits of wagon v of the fleet.
QString wagonDigits(int v)
{
    const int group = v / 500;
    const int pair = group / 10;
    char digits[12];
    std::snprintf(digits, sizeof digits, "%02d%02d%s%03d", kRegimes[pair / 10], kOwners[pair % 10],
                  kCharacteristics[group % 10], (v % 500) * 2);
    return QString::fromLatin1(digits);
}

int checkDigit(const QString &digits)
{
    std::array<int, 11> d{};
    for (int i = 0; i < digits.size(); ++i)
        d[i] = digits[i].unicode() - u'0';
    return numbering::kontrolni_cislice(std::span<const int>(d.data(), digits.size()));
}

QString number(const QString &digits) { return storage::vehicleNumberText(digits, checkDigit(digits)); }

QString wagonLine(int v)
{
    return storage::wagonLine(number(wagonDigits(v)), QString::fromUtf16(kDepots[v % 10]),
                              QString::fromUtf16(kStations[(v / 10) % 10]));
}

// Series from 700 up while they suffice, from 000 for a million lines.
int firstSeries(int lines) { return std::max(0, std::min(700, 999 - lines / 1000)); }

QString locomotiveLine(int v, int series0)
{
    char digits[7];
    std::snprintf(digits, sizeof digits, "%03d%03d", series0 + v / 1000, v % 1000);
    return storage::locomotiveLine(number(QString::fromLatin1(digits)), QString::fromUtf16(kDepots[v % 10]),
                                   QString::fromUtf16(kStations[(v / 10) % 10]));
}

QString bookmark(int v)
{
    return QStringLiteral("Úsek %1 – převzato od ČD Cargo, Žďár").arg(v / kBookmarkEvery + 1);
}

// Writes `lines` lines: the header, then vehicle lines with a bookmark before
// every 300th vehicle. Returns the number of vehicles.
int writeDatabase(const QString &fileName, int lines, const std::function<QString(int)> &vehicle)
{
    QStringEncoder encoder("windows-1250");
    QByteArray bytes;
    bytes.reserve(qsizetype(lines) * 48);
    auto add = [&](const QString &line) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    };
    add(storage::header(fileName));
    int v = 0;
    int bookmarkedAt = -1;
    for (int written = 1; written < lines; ++written) {
        if (v % kBookmarkEvery == 0 && bookmarkedAt != v) {
            add(bookmark(v));
            bookmarkedAt = v;
        } else {
            add(vehicle(v++));
        }
    }
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fileName));
    return v;
}

// The wagon whose report is measured: the middle of the fleet.
QString reportWagon(int wagons) { return wagonDigits(wagons / 2); }
// The free number right after it (serials of the fleet are even), added in the middle.
QString middleWagon(int wagons)
{
    const QString digits = reportWagon(wagons);
    return number(digits.left(8) + placement::serialText(digits.mid(8).toInt() + 1));
}
// Below every wagon of the fleet: an add and a run at the top.
const QString kTopWagon = QStringLiteral("10540835001");

void makeData(const QString &dir, int lines)
{
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir))
        qFatal("cannot use %s", qPrintable(dir));
    const int wagons = writeDatabase(storage::VOZY, lines, wagonLine);
    const int series0 = firstSeries(lines);
    const int locomotives =
        writeDatabase(storage::LOKOMOTIVY, lines, [series0](int v) { return locomotiveLine(v, series0); });
    auto write = [](const QString &fileName, QStringList body) {
        body.prepend(storage::header(fileName));
        if (!storage::save(fileName, body).ok)
            qFatal("cannot write %s", qPrintable(fileName));
    };
    write(storage::REZIM, {QStringLiteral("21 vnitrostátní a mezinárodní přeprava, pevné nápravy"),
                           QStringLiteral("31 vnitrostátní a mezinárodní přeprava, podvozky"),
                           QStringLiteral("51 osobní vůz, mezinárodní přeprava RIC"),
                           QStringLiteral("61 osobní vůz, vnitrostátní přeprava"),
                           QStringLiteral("80 vůz jen pro vnitrostátní přepravu")});
    write(storage::VLASTNIK, {QStringLiteral("51 PKP, Polsko"), QStringLiteral("54 ČD Cargo, Česko"),
                              QStringLiteral("55 MÁV, Maďarsko"), QStringLiteral("56 ŽSSK Cargo, Slovensko"),
                              QStringLiteral("80 DB Cargo, Německo"), QStringLiteral("81 ÖBB, Rakousko")});
    write(storage::TRIDA_VOZU, {QStringLiteral("08 vůz 1. třídy"), QStringLiteral("59 vůz se sedadly 2. třídy"),
                                QStringLiteral("93 lehátkový vůz")});
    write(storage::CHARAKTERISTIKA, {QStringLiteral("35 rychlost do 160 km/h"), QStringLiteral("55 tlakový vzduch"),
                                     QStringLiteral("37 klimatizace, řízení dveří")});
    if (!storage::save(storage::NASTAVENI, storage::defaultSettings()).ok)
        qFatal("cannot write nastaveni.txt");

    qsizetype characteristic = 0, depot = 0, station = 0;
    for (int v = 0; v < wagons; ++v) {
        characteristic += (v / 500) % 10 == 5;
        depot += v % 10 == 1;
        station += (v / 10) % 10 == 6;
    }
    // The locomotives: depots and operating units as the wagons' depots and
    // home stations; the series of the locomotive in the middle.
    qsizetype locoDepot = 0, unit = 0, series = 0;
    const int middleSeries = series0 + (locomotives / 2) / 1000;
    for (int v = 0; v < locomotives; ++v) {
        locoDepot += v % 10 == 1;
        unit += (v / 10) % 10 == 6;
        series += series0 + v / 1000 == middleSeries;
    }
    // "Hledat" looks for the vehicle of the line at 70 % of the wagon file
    // (or the next, past a bookmark) in the whole file shown in the pane.
    const storage::LoadResult wagonFile = storage::load(storage::VOZY);
    qsizetype findLine = qsizetype(lines) * 7 / 10;
    while (findLine + 1 < wagonFile.lines.size() && !wagonFile.lines[findLine].front().isDigit())
        ++findLine;
    const QJsonObject values{
        {QStringLiteral("lines"), lines},
        {QStringLiteral("wagons"), wagons},
        {QStringLiteral("characteristic"), kCharacteristicValue},
        {QStringLiteral("dkv"), kDepotValue},
        {QStringLiteral("station"), kStationValue},
        {QStringLiteral("report_wagon"), reportWagon(wagons)},
        {QStringLiteral("characteristic_lines"), characteristic},
        {QStringLiteral("dkv_lines"), depot},
        {QStringLiteral("station_lines"), station},
        {QStringLiteral("series"), QStringLiteral("%1").arg(middleSeries, 3, 10, QLatin1Char('0'))},
        {QStringLiteral("series_lines"), series},
        {QStringLiteral("loco_dkv"), kDepotValue},
        {QStringLiteral("loco_dkv_lines"), locoDepot},
        {QStringLiteral("unit"), kStationValue},
        {QStringLiteral("unit_lines"), unit},
        {QStringLiteral("find_line"), findLine + 1}, // as grep -n counts
        {QStringLiteral("find_text"), wagonFile.lines[findLine].left(13)},
    };
    QFile file(QStringLiteral("values.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(values).toJson()) < 0)
        qFatal("cannot write values.json");
}

// ---- the windows ----------------------------------------------------------------

// Yes to every question except the bookmark question of an add (the new line
// then goes below the bookmark, as a user keeping the order would have it);
// the listing value to every input box. Any error box fails the run.
class Responder : public boxes::Responder
{
public:
    QString value;
    QString lastError;
    boxes::Response respond(const boxes::Request &request) override
    {
        switch (request.kind) {
        case boxes::Kind::Input:
            return {boxes::Answer::Yes, value};
        case boxes::Kind::Confirm:
            return {request.text.startsWith(QStringLiteral("Vozidlo bude zapsáno za záložku")) ? boxes::Answer::No
                                                                                              : boxes::Answer::Yes,
                    {}};
        case boxes::Kind::Error:
            lastError = request.text;
            return {};
        default:
            return {boxes::Answer::Yes, {}};
        }
    }
};

// Resident or peak memory of the process, in bytes.
qint64 statusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

struct Fixture {
    Responder responder;
    TForm1 *form1 = nullptr;
    TForm_databaze *dlg = nullptr;
    int lines = 0;
    int wagons = 0;
    QJsonObject values;
    qint64 wagonBytes = 0;
    qint64 baselineRss = 0;

    DatabaseModel *db() const { return form1->databaze(); }
    template <typename T>
    T *child(QObject *parent, const char *name) const
    {
        T *w = parent->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no %s", name);
        return w;
    }
    void trigger(const char *action) { child<QAction>(form1, action)->trigger(); }
    void click(QObject *window, const char *button) { child<QPushButton>(window, button)->click(); }
    OutputPane *memo() const { return child<OutputPane>(form1, "Memo1"); }
    // The edits work on the wagon database; shown untimed when a filter skipped its showing.
    void showWagons()
    {
        // The main window's own caption: the add window has a label of the same name.
        if (form1->ui->lbl_databaze->text() != QStringLiteral("Databáze vozy"))
            trigger("Vozy1");
    }
    // The add window opened for `vehicle`, as its activation leaves it.
    void openAddWindow(const QString &vehicle)
    {
        showWagons();
        form1->setPanel(3, vehicle);
        dlg->FormActivate();
    }
};
Fixture *g = nullptr;

// Lets the windows lay out and paint what a command changed.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool failed(benchmark::State &state)
{
    if (g->responder.lastError.isEmpty())
        return false;
    state.SkipWithError(qPrintable(g->responder.lastError));
    return true;
}

// A start with the files present, as program entry makes it: the main
// window, the add window and the splash, whose ten steps run one after
// another here rather than every 500 ms. The figure is the longest step,
// painting included: how long the splash holds the window at most.
void BM_Startup(benchmark::State &state)
{
    for (auto _ : state) {
        TForm1 form1;
        form1.show();
        TForm_databaze addWindow(&form1);
        form1.Form_databaze = &addWindow;
        TForm_uvod splash(&form1);
        splash.Timer1->stop();
        splash.show();
        settle();
        double longest = 0;
        for (int tick = 1; tick <= 10; ++tick) {
            const auto start = std::chrono::steady_clock::now();
            splash.Timer1Timer();
            settle();
            longest = std::max(longest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        state.SetIterationTime(longest);
        if (splash.isVisible() || !splash.findChild<QLabel *>(QStringLiteral("lbl_stav"))->text().startsWith(QLatin1String("nastaveni.txt"))) {
            state.SkipWithError("the splash did not run to its end");
            break;
        }
    }
    failed(state);
}

void showDatabase(benchmark::State &state, const char *action)
{
    for (auto _ : state) {
        g->trigger(action);
        settle();
    }
    if (g->db()->count() != g->lines)
        state.SkipWithError("the database was not shown whole");
    failed(state);
}

void BM_ShowLocomotives(benchmark::State &state) { showDatabase(state, "Lokomotivy1"); }
void BM_ShowWagons(benchmark::State &state) { showDatabase(state, "Vozy1"); }

// One add through "Přidat vozidlo"; the line is taken out again untimed.
void addWagon(benchmark::State &state, const QString &vehicle)
{
    const qint64 key = *placement::key(placement::Kind::Wagon, vehicle);
    for (auto _ : state) {
        state.PauseTiming();
        g->openAddWindow(vehicle);
        settle();
        state.ResumeTiming();
        g->click(g->dlg, "bitbtn_pridat");
        settle();
        state.PauseTiming();
        const placement::Place place = placement::findPlace(g->db()->lines(), placement::Kind::Wagon, key);
        if (place.what != placement::Place::Overwrite || g->db()->count() != g->lines + 1) {
            state.SkipWithError("the wagon was not added");
            break;
        }
        g->db()->removeLine(place.row);
        settle();
        state.ResumeTiming();
    }
    failed(state);
}

void BM_AddMiddle(benchmark::State &state) { addWagon(state, middleWagon(g->wagons)); }
void BM_AddTop(benchmark::State &state) { addWagon(state, number(kTopWagon)); }

// A run of 999 wagons through "Přidat sérii do", in front of the first wagon.
void BM_Run999Top(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        g->openAddWindow(number(kTopWagon));
        g->child<QSpinBox>(g->dlg, "sedt_serie")->setValue(999);
        settle();
        state.ResumeTiming();
        g->click(g->dlg, "btn_serie");
        settle();
        state.PauseTiming();
        const int start = placement::runStart(g->db()->lines(), placement::Kind::Wagon,
                                              *placement::key(placement::Kind::Wagon, kTopWagon));
        if (g->db()->count() != g->lines + 999 || !g->db()->line(start).startsWith(number(kTopWagon))) {
            state.SkipWithError("the run was not written");
            break;
        }
        g->db()->replaceRange(start, 999, {});
        settle();
        state.ResumeTiming();
    }
    failed(state);
}

// "Smaž" on the tenth line; the line is put back untimed.
void BM_DeleteNearTop(benchmark::State &state)
{
    constexpr int row = 10;
    g->showWagons();
    settle();
    const QString line = g->db()->line(row);
    for (auto _ : state) {
        state.PauseTiming();
        g->form1->selectRow(row);
        settle();
        state.ResumeTiming();
        g->click(g->form1, "btn_smaz");
        settle();
        state.PauseTiming();
        if (g->db()->count() != g->lines - 1) {
            state.SkipWithError("the line was not deleted");
            break;
        }
        g->db()->insertLine(row, line);
        settle();
        state.ResumeTiming();
    }
    failed(state);
}

void BM_Save(benchmark::State &state)
{
    g->showWagons();
    settle();
    for (auto _ : state) {
        g->trigger("Uloitdatabzi1");
        settle();
    }
    if (QFileInfo(storage::VOZY).size() != g->wagonBytes || g->form1->panel(2) != QLatin1String("0"))
        state.SkipWithError("the wagon database was not saved as it was read");
    failed(state);
}

void listing(benchmark::State &state, const char *action, const char *value, const char *expected)
{
    g->responder.value = g->values.value(QLatin1String(value)).toString();
    for (auto _ : state) {
        g->trigger(action);
        settle();
    }
    const QString text = g->memo()->text();
    const int listed = int(text.count(QLatin1Char('\n'))) + 1;
    if (listed != g->values.value(QLatin1String(expected)).toInt())
        state.SkipWithError("wrong number of listed lines");
    state.counters["lines"] = listed;
    failed(state);
}

void BM_ListingCharacteristic(benchmark::State &state)
{
    listing(state, "PodleCharakteristiky1", "characteristic", "characteristic_lines");
}
void BM_ListingDkv(benchmark::State &state) { listing(state, "PodleDKV1", "dkv", "dkv_lines"); }
void BM_ListingStation(benchmark::State &state) { listing(state, "PodleDomovskstanice1", "station", "station_lines"); }
void BM_ListingSeries(benchmark::State &state) { listing(state, "Podleady1", "series", "series_lines"); }
void BM_ListingLocoDkv(benchmark::State &state) { listing(state, "PodleDKV2", "loco_dkv", "loco_dkv_lines"); }
void BM_ListingUnit(benchmark::State &state) { listing(state, "Podleprovoznjednotky1", "unit", "unit_lines"); }

// "Kontrola čísel" over the wagon database, which the generator keeps clean.
void BM_NumberCheck(benchmark::State &state)
{
    for (auto _ : state) {
        g->trigger("Kontrolasel1");
        settle();
    }
    const QString expected = QStringLiteral("Řádků: %1, vozidel: %2, chyb: 0").arg(g->lines).arg(g->wagons);
    if (g->memo()->text() != expected)
        state.SkipWithError("the number check found problems in a clean database");
    failed(state);
}

// "Zadáno" for the wagon in the middle of the fleet.
void BM_Report(benchmark::State &state)
{
    const QString digits = reportWagon(g->wagons);
    g->child<QRadioButton>(g->form1, "rbtn_vozy")->setChecked(true);
    g->child<QLineEdit>(g->form1, "edt_rezim")->setText(digits.mid(0, 2));
    g->child<QLineEdit>(g->form1, "edt_vlastnik")->setText(digits.mid(2, 2));
    g->child<QLineEdit>(g->form1, "edt_charakteristika")->setText(digits.mid(4, 4));
    g->child<QLineEdit>(g->form1, "edt_evidence")->setText(digits.mid(8, 3));
    settle();
    for (auto _ : state) {
        g->click(g->form1, "BitBtn_zadano");
        settle();
    }
    if (!g->memo()->text().startsWith(number(digits) + QLatin1String(" dkv ")))
        state.SkipWithError("the report did not find the wagon");
    failed(state);
}

// Another program changed the wagon file in 1,000 places (a tenth of the
// lines, for smaller files) while this session made 1,000 changes of its
// own: a third edits, a third deletions, a third bookmarks, at other lines.
// The figure is the save that merges them and writes the result, beside
// `cp` and `sync` of the file. Runs after the memory figure: it holds the
// file's bytes for the next round, which no other command does.
void BM_Merge(benchmark::State &state)
{
    QFile file(storage::VOZY);
    if (!file.open(QIODevice::ReadOnly))
        return state.SkipWithError("no wagon file");
    const QByteArray base = file.readAll();
    file.close();
    const qsizetype lines = qsizetype(std::count(base.begin(), base.end(), '\n'));
    const qsizetype changes = std::min<qsizetype>(1000, lines / 10);
    const qsizetype step = lines / changes;
    // Theirs: every step-th line from row step / 2 on gets a note.
    QByteArray theirs;
    theirs.reserve(base.size() + changes * 8);
    qsizetype row = 0;
    qsizetype theirChanges = 0;
    for (qsizetype at = 0; at < base.size(); ++row) {
        const qsizetype end = base.indexOf('\n', at) + 1;
        const QByteArrayView line(base.constData() + at, (end > 0 ? end : base.size()) - at);
        if (row % step == step / 2 && line.endsWith("\r\n")) {
            theirs.append(line.chopped(2));
            theirs.append(" jejich\r\n");
            ++theirChanges;
        } else {
            theirs.append(line);
        }
        at += line.size();
    }
    const QString expected = QStringLiteral("Použito změn: %1, nepoužito: 0, řádků jiného programu zachováno: %2")
                                 .arg(changes)
                                 .arg(theirChanges);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(storage::VOZY);
        QFile out(storage::VOZY);
        if (!out.open(QIODevice::WriteOnly) || out.write(base) != base.size())
            return state.SkipWithError("cannot write the wagon file");
        out.close();
        g->trigger("Vozy1");
        DatabaseModel *db = g->form1->databaze();
        // This session: from the bottom up, so that the rows stay where they were.
        for (qsizetype c = changes - 1; c >= 0; --c) {
            const int r = int(1 + c * step);
            switch (c % 3) {
            case 0:
                db->replaceLine(r, db->line(r) + QStringLiteral(" moje"));
                break;
            case 1:
                db->removeLine(r);
                break;
            case 2:
                db->insertLine(r, QStringLiteral("== záložka %1").arg(c));
                break;
            }
        }
        g->form1->setPanel(2, QString::number(changes));
        QFile other(storage::VOZY);
        if (!other.open(QIODevice::WriteOnly) || other.write(theirs) != theirs.size() || !other.flush()
            || ::fsync(other.handle()) != 0)
            return state.SkipWithError("cannot write the other program's file");
        other.close(); // on the disk, as a write of long ago would be
        settle();
        state.ResumeTiming();
        g->trigger("Uloitdatabzi1");
        settle();
        state.PauseTiming();
        if (g->memo()->text() != expected || g->form1->panel(2) != QLatin1String("0")) {
            state.SkipWithError(qPrintable(QStringLiteral("not merged: ") + g->memo()->text().left(200)));
            break;
        }
        state.ResumeTiming();
    }
    // The standard tools that follow read the file as it was made.
    QFile::remove(storage::VOZY);
    QFile restored(storage::VOZY);
    if (!restored.open(QIODevice::WriteOnly) || restored.write(base) != base.size())
        state.SkipWithError("cannot put the wagon file back");
    failed(state);
}

// Not timed: the peak of the whole process for this size, next to the file.
void BM_Memory(benchmark::State &state)
{
    for (auto _ : state) {
    }
    state.counters["peak_bytes"] = double(statusBytes("VmHWM:"));
    state.counters["baseline_bytes"] = double(g->baselineRss);
    state.counters["file_bytes"] = double(g->wagonBytes);
}

// The whole wagon file in the pane, as a listing that selects every line
// shows it. Runs after the memory figure: the session's peak is the work's
// own, not this text's. Its own memory goes into counters: the bytes the
// process gained by reading and showing it, and the text as held.
struct WholeFileInPane {
    OutputPane *pane = g->memo();
    qsizetype target = 0; // the line "Hledat" goes to
    explicit WholeFileInPane(benchmark::State &state)
    {
        const qint64 before = statusBytes("VmRSS:");
        show();
        state.counters["pane_bytes"] = double(statusBytes("VmRSS:") - before);
        state.counters["text_bytes"] = double(pane->view()->text().size() * 2);
        target = g->values.value(QLatin1String("find_line")).toInt() - 1;
    }
    ~WholeFileInPane() { pane->clear(); }
    void show()
    {
        pane->showOutput(QStringLiteral("Výpis celé databáze vozů"), storage::loadText(storage::VOZY).text);
        pane->view()->setFocus();
        settle();
    }
};

// The first key typed into a listing of the whole fleet: a letter, which the
// read-only pane lets pass, and the paint after it.
void BM_PaneFirstKey(benchmark::State &state)
{
    WholeFileInPane x(state);
    QWidget *view = x.pane->view();
    for (auto _ : state) {
        state.PauseTiming();
        x.show();
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(view, &press);
        QApplication::sendEvent(view, &release);
        view->repaint();
        settle();
    }
    if (x.pane->text().size() != x.pane->view()->text().size() || x.pane->isList())
        state.SkipWithError("a key changed the listing");
    failed(state);
}

// "Hledat" of the vehicle number of the line at 70 % of the listing, from its top.
void BM_PaneFind(benchmark::State &state)
{
    WholeFileInPane x(state);
    OutputView *view = x.pane->view();
    const QString needle = g->values.value(QLatin1String("find_text")).toString();
    x.pane->findField()->setText(needle);
    bool found = false;
    for (auto _ : state) {
        state.PauseTiming();
        view->setSelection(0, 0);
        settle();
        state.ResumeTiming();
        found = x.pane->findNext();
        settle();
    }
    if (!found || view->lineOf(view->anchor()) != x.target || !view->line(x.target).startsWith(needle))
        state.SkipWithError("find did not select the line");
    failed(state);
}

// A reference list of up to 100,000 lines opened in the pane's editor
// ("Charakteristika 5-6"); the list's file is put back afterwards.
void BM_ListOpen(benchmark::State &state)
{
    QFile file(storage::TRIDA_VOZU);
    const QByteArray kept = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    const int lines = std::min(g->lines, 100'000);
    QStringList list{storage::header(storage::TRIDA_VOZU)};
    for (int i = 1; i < lines; ++i)
        list << QStringLiteral("%1 vůz řady %2, rychlost do %3 km/h").arg(i % 100, 2, 10, QLatin1Char('0')).arg(i).arg(i % 200);
    if (!storage::save(storage::TRIDA_VOZU, list).ok)
        qFatal("cannot write the list");
    for (auto _ : state) {
        g->trigger("Charakteristika561");
        settle();
    }
    if (!g->memo()->isList() || g->memo()->editor()->document()->blockCount() < lines)
        state.SkipWithError("the list was not shown whole");
    state.counters["lines"] = lines;
    g->memo()->clear();
    if (!file.open(QIODevice::WriteOnly) || file.write(kept) != kept.size())
        qFatal("cannot put the list back");
    failed(state);
}

QString flag(int argc, char **argv, const char *name)
{
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0)
            return QString::fromLocal8Bit(argv[i] + prefix.size());
    return QString();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    trakvid::initApplication(app);

    benchmark::Initialize(&argc, argv);
    if (const QString dir = flag(argc, argv, "make-data"); !dir.isEmpty()) {
        // The numbering of the generated fleet has room for a million lines.
        const int lines = flag(argc, argv, "lines").toInt();
        if (lines < 2 || lines > 1'000'000) {
            std::fprintf(stderr, "--lines must be 2 to 1000000\n");
            return 2;
        }
        makeData(dir, lines);
        return 0;
    }
    const QString dir = flag(argc, argv, "data");
    if (dir.isEmpty() || !QDir::setCurrent(dir)) {
        std::fprintf(stderr, "usage: %s --make-data=DIR --lines=N | --data=DIR [benchmark flags]\n", argv[0]);
        return 2;
    }

    Fixture fixture;
    g = &fixture;
    QFile valuesFile(QStringLiteral("values.json"));
    if (!valuesFile.open(QIODevice::ReadOnly))
        qFatal("no values.json in %s", qPrintable(dir));
    fixture.values = QJsonDocument::fromJson(valuesFile.readAll()).object();
    fixture.lines = fixture.values.value(QLatin1String("lines")).toInt();
    fixture.wagons = fixture.values.value(QLatin1String("wagons")).toInt();
    fixture.wagonBytes = QFileInfo(storage::VOZY).size();
    boxes::setResponder(&fixture.responder);

    // As program entry makes them; the add window beside the main window.
    TForm1 form1;
    form1.show();
    TForm_databaze form_databaze(&form1);
    form1.Form_databaze = &form_databaze;
    form_databaze.show();
    fixture.form1 = &form1;
    fixture.dlg = &form_databaze;
    settle();
    fixture.baselineRss = statusBytes("VmRSS:");

    // Few iterations of a big database, more of a small one; the script asks
    // for repetitions and takes their medians.
    const int iterations = std::clamp(200'000 / std::max(fixture.lines, 1), 1, 20);
    auto add = [&](const char *name, void (*fn)(benchmark::State &)) {
        benchmark::RegisterBenchmark(name, fn)
            ->Iterations(iterations)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime();
    };
    // A start first, before any database is shown; then the locomotives,
    // and the wagons stay shown for the rest.
    benchmark::RegisterBenchmark("startup", BM_Startup)
        ->Iterations(std::clamp(200'000 / std::max(fixture.lines, 1), 1, 5))
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->MeasureProcessCPUTime();
    add("show_locomotives", BM_ShowLocomotives);
    add("show_wagons", BM_ShowWagons);
    add("add_middle", BM_AddMiddle);
    add("add_top", BM_AddTop);
    add("run999_top", BM_Run999Top);
    add("delete_near_top", BM_DeleteNearTop);
    add("save", BM_Save);
    add("listing_characteristic", BM_ListingCharacteristic);
    add("listing_dkv", BM_ListingDkv);
    add("listing_station", BM_ListingStation);
    add("listing_series", BM_ListingSeries);
    add("listing_loco_dkv", BM_ListingLocoDkv);
    add("listing_unit", BM_ListingUnit);
    add("number_check", BM_NumberCheck);
    add("report", BM_Report);
    benchmark::RegisterBenchmark("memory", BM_Memory)->Iterations(1);
    add("merge", BM_Merge);
    add("pane_first_key", BM_PaneFirstKey);
    add("pane_find", BM_PaneFind);
    add("list_open", BM_ListOpen);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    boxes::setResponder(nullptr);
    return 0;
}
