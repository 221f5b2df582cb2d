// A listing over a database of 1,000,000 lines of which 100,000 match, through
// the real main window (offscreen), next to grep making the same selection on
// the same file in the same run.
#include "Unit1.h"
#include "app.h"
#include "boxes.h"
#include "listings.h"
#include "storage.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kLines = 1'000'000;
constexpr int kMatching = 100'000; // every tenth line: series 754, operating unit Praha

// Answers every input box with the value of the running benchmark.
class Typist : public boxes::Responder
{
public:
    QString value;
    boxes::Response respond(const boxes::Request &) override { return {boxes::Answer::Yes, value}; }
};

struct Setup {
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    Typist typist;
};
Setup *g_setup = nullptr;

void writeDatabase()
{
    QStringList lines;
    lines.reserve(kLines);
    lines << storage::header(storage::LOKOMOTIVY);
    static const char16_t *const depots[] = {u"Česká Třebová", u"Brno", u"Plzeň", u"Olomouc", u"Ústí nad Labem"};
    for (int i = 1; i < kLines; ++i) {
        const bool match = i % 10 == 1;
        const int series = match ? 754 : 100 + (i % 9) * 97; // never 754 for the others
        const QString number = QStringLiteral("%1%2-%3").arg(series).arg(i % 1000, 3, 10, QLatin1Char('0')).arg(i % 10);
        const QString depot = QString::fromUtf16(depots[i % 5]);
        lines << storage::locomotiveLine(number, depot, match ? QStringLiteral("Praha střed") : depot);
    }
    const storage::SaveResult saved = storage::save(storage::LOKOMOTIVY, lines);
    if (!saved.ok)
        qFatal("cannot write the database: %s", qPrintable(saved.error));
}

void runListing(benchmark::State &state, void (TForm1::*listing)(), const QString &value)
{
    g_setup->typist.value = value;
    auto *memo = g_setup->form->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    for (auto _ : state) {
        (g_setup->form.get()->*listing)();
        QApplication::processEvents(); // lay out and paint the filled pane
    }
    if (memo->blockCount() != kMatching)
        state.SkipWithError("wrong number of listed lines");
    state.counters["lines"] = memo->blockCount();
}

void runGrep(benchmark::State &state, const QString &pattern)
{
    QByteArray count;
    for (auto _ : state) {
        QProcess grep;
        grep.start(QStringLiteral("grep"), {QStringLiteral("-c"), pattern, storage::LOKOMOTIVY});
        grep.waitForFinished(-1);
        count = grep.readAllStandardOutput().trimmed();
    }
    if (count.toInt() != kMatching)
        state.SkipWithError("grep found another count");
    state.counters["lines"] = count.toInt();
}

void BM_ListingBySeries(benchmark::State &state) { runListing(state, &TForm1::Podleady1Click, QStringLiteral("754")); }
void BM_GrepBySeries(benchmark::State &state) { runGrep(state, QStringLiteral("^754")); }

void BM_ListingByOperatingUnit(benchmark::State &state)
{
    runListing(state, &TForm1::Podleprovoznjednotky1Click, QStringLiteral("Praha"));
}
void BM_GrepByOperatingUnit(benchmark::State &state) { runGrep(state, QStringLiteral(" pj Praha")); }

// Where the time of a listing goes: the scan of the file with the rule ...
void BM_ScanAndSelectOnly(benchmark::State &state)
{
    qsizetype count = 0;
    for (auto _ : state) {
        listings::Selection selection;
        storage::scanFile(storage::LOKOMOTIVY,
                          [&](const QString &line) { selection.offer(line, u"754", listings::bySeries); });
        count = selection.count;
    }
    state.counters["lines"] = double(count);
}

// ... and the pane: one fill with the selected lines, laid out and painted.
void BM_FillPaneOnly(benchmark::State &state)
{
    listings::Selection selection;
    storage::scanFile(storage::LOKOMOTIVY,
                      [&](const QString &line) { selection.offer(line, u"754", listings::bySeries); });
    auto *memo = g_setup->form->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    for (auto _ : state) {
        memo->setPlainText(selection.text);
        QApplication::processEvents();
    }
    state.counters["lines"] = memo->blockCount();
}

BENCHMARK(BM_ListingBySeries)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepBySeries)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListingByOperatingUnit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepByOperatingUnit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScanAndSelectOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FillPaneOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    trakvid::initApplication(app);

    Setup setup;
    if (!setup.dir.isValid())
        qFatal("no temporary folder");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(setup.dir.path());
    writeDatabase();
    setup.form = std::make_unique<TForm1>();
    setup.form->show();
    boxes::setResponder(&setup.typist);
    g_setup = &setup;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    boxes::setResponder(nullptr);
    setup.form.reset();
    QDir::setCurrent(previous);
    return 0;
}
