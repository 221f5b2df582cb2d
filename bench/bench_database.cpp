// The wagon database of a whole national fleet in the main window: a
// 1,000,000-line vozy.txt shown, edited near its top and saved again, each
// through the window's own handlers with the list view laid out and painted.
#include "Unit1.h"
#include "Unit2.h"
#include "app.h"
#include "boxes.h"
#include "databasemodel.h"
#include "numbering.h"
#include "storage.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <malloc.h>
#include <vector>

namespace {

constexpr int kLines = 1'000'000;
constexpr int kRowNearTop = 10;

// Yes to every question, a fresh text to every bookmark box.
class Responder : public boxes::Responder
{
public:
    int bookmarks = 0;
    boxes::Response respond(const boxes::Request &request) override
    {
        if (request.kind == boxes::Kind::Input)
            return {boxes::Answer::Yes, QStringLiteral("Záložka č. %1 – úsek Ústí nad Labem").arg(++bookmarks)};
        return {boxes::Answer::Yes, {}};
    }
};

// Resident and peak memory of the process, in bytes.
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

// The header, wagon lines in ascending order with Czech depots and home
// stations, and a bookmark before every 5,000th line.
QStringList fleet()
{
    static const char16_t *const dkv[] = {u"Plzeň", u"Česká Třebová", u"Ústí nad Labem", u"Břeclav",
                                          u"Olomouc", u"Ostrava", u"Děčín", u"Hradec Králové"};
    static const char16_t *const domovska[] = {u"Cheb", u"Žatec", u"Kolín", u"Přerov", u"Jihlava", u"Třinec"};
    QStringList lines;
    lines.reserve(kLines);
    lines << storage::header(storage::VOZY);
    for (qint64 n = 0; lines.size() < kLines; ++n) {
        if (n % 5000 == 0)
            lines << QStringLiteral("Řada vozů – úsek %1").arg(n / 5000 + 1);
        const QString digits = QStringLiteral("3154%1").arg(2000000 + n, 7, 10, QLatin1Char('0'));
        std::vector<int> d;
        for (QChar c : digits)
            d.push_back(c.unicode() - u'0');
        const QString number = storage::vehicleNumberText(digits, numbering::kontrolni_cislice(d));
        lines << storage::wagonLine(number, QString::fromUtf16(dkv[n % 8]), QString::fromUtf16(domovska[n % 6]));
    }
    lines.resize(kLines);
    return lines;
}

struct Fixture {
    QTemporaryDir dir;
    Responder responder;
    TForm1 *form1 = nullptr;
    QListView *list = nullptr;
    qint64 fileBytes = 0;
    qint64 rssBeforeLoad = 0;
    qint64 rssAfterLoad = 0;
};
Fixture *g = nullptr;

// Lets the view lay out and paint what the handler changed.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

int lineCount() { return g->form1->databaze()->count(); }

void BM_Vozy1Click(benchmark::State &state)
{
    for (auto _ : state) {
        g->form1->Vozy1Click();
        settle();
    }
    if (lineCount() != kLines || g->list->verticalScrollBar()->maximum() == 0)
        state.SkipWithError("the wagon database was not shown whole");
    state.counters["lines"] = lineCount();
    state.counters["file_MB"] = double(g->fileBytes) / 1e6;
    state.counters["rss_growth_MB"] = double(g->rssAfterLoad - g->rssBeforeLoad) / 1e6;
    state.counters["rss_growth_per_file_byte"] = double(g->rssAfterLoad - g->rssBeforeLoad) / double(g->fileBytes);
    state.counters["peak_rss_MB"] = double(statusBytes("VmHWM:")) / 1e6;
}

void BM_DeleteNearTop(benchmark::State &state)
{
    const int before = lineCount();
    for (auto _ : state) {
        state.PauseTiming();
        g->form1->selectRow(kRowNearTop);
        settle();
        state.ResumeTiming();
        g->form1->btn_smazClick();
        settle();
    }
    if (lineCount() != before - int(state.iterations()))
        state.SkipWithError("a line was not deleted");
    state.counters["lines"] = lineCount();
}

void BM_BookmarkInsert(benchmark::State &state)
{
    const int before = lineCount();
    for (auto _ : state) {
        state.PauseTiming();
        g->form1->selectRow(kRowNearTop);
        settle();
        state.ResumeTiming();
        g->form1->btn_zalozkaClick();
        settle();
    }
    if (lineCount() != before + int(state.iterations()))
        state.SkipWithError("a bookmark was not inserted");
    state.counters["lines"] = lineCount();
}

void BM_Uloitdatabzi1Click(benchmark::State &state)
{
    for (auto _ : state) {
        g->form1->Uloitdatabzi1Click();
        settle();
    }
    if (g->form1->panel(2) != QLatin1String("0") || QFileInfo(storage::VOZY).size() < g->fileBytes / 2)
        state.SkipWithError("the wagon database was not saved");
    state.counters["lines"] = lineCount();
    state.counters["file_MB"] = double(QFileInfo(storage::VOZY).size()) / 1e6;
}

} // namespace

BENCHMARK(BM_Vozy1Click)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_DeleteNearTop)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_BookmarkInsert)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_Uloitdatabzi1Click)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    trakvid::initApplication(app);

    Fixture fixture;
    g = &fixture;
    if (!fixture.dir.isValid() || !QDir::setCurrent(fixture.dir.path()))
        return 1;
    if (!storage::save(storage::VOZY, fleet()).ok)
        return 1;
    malloc_trim(0); // the generated lines must not hide what showing them costs
    fixture.fileBytes = QFileInfo(storage::VOZY).size();
    boxes::setResponder(&fixture.responder);

    TForm1 form1;
    TForm_databaze form_databaze(&form1);
    form1.Form_databaze = &form_databaze;
    form1.show();
    settle();
    fixture.form1 = &form1;
    fixture.list = form1.findChild<QListView *>(QStringLiteral("lbx_databaze"));

    // Memory: what showing the database adds to the process.
    fixture.rssBeforeLoad = statusBytes("VmRSS:");
    form1.Vozy1Click();
    settle();
    fixture.rssAfterLoad = statusBytes("VmRSS:");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    boxes::setResponder(nullptr);
    return 0;
}
