// Loading, scanning and saving a database of 1,000,000 wagon lines (45 MB).
#include "storage.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 1000000;

// Built once: "21800000000-0 dkv Česká Třebová domovska Aš", 45 bytes with CR LF.
struct BigDatabase {
    QTemporaryDir dir;
    QString path;
    QStringList lines;
    qint64 bytes = 0;

    BigDatabase() : path(dir.filePath(storage::VOZY))
    {
        lines.reserve(kLines);
        for (int i = 0; i < kLines; ++i)
            lines << storage::wagonLine(storage::vehicleNumberText(QString::number(21800000000LL + i), i % 10),
                                        QStringLiteral("Česká Třebová"), QStringLiteral("Aš"));
        if (!storage::save(path, lines).ok)
            qFatal("cannot write the benchmark database");
        bytes = QFileInfo(path).size();
    }
};

const BigDatabase &bigDatabase()
{
    static const BigDatabase database;
    return database;
}

void BM_LoadDatabase(benchmark::State &state)
{
    const BigDatabase &db = bigDatabase();
    for (auto _ : state) {
        const storage::LoadResult result = storage::load(db.path);
        if (result.lines.size() != kLines)
            state.SkipWithError("wrong line count");
        benchmark::DoNotOptimize(result.lines.constData());
    }
    state.SetBytesProcessed(state.iterations() * db.bytes);
}

// What the report does: every line compared with an 11-character key.
void BM_ScanDatabaseForOneWagon(benchmark::State &state)
{
    const BigDatabase &db = bigDatabase();
    const QString key = QStringLiteral("21800500000");
    for (auto _ : state) {
        int found = 0;
        const bool ok = storage::scan(db.path, [&](const QString &line) {
            if (QStringView(line).left(11) == key)
                ++found;
        });
        if (!ok || found != 1)
            state.SkipWithError("scan failed");
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * db.bytes);
}

void BM_SaveDatabase(benchmark::State &state)
{
    const BigDatabase &db = bigDatabase();
    const QString copy = db.dir.filePath(QStringLiteral("kopie.txt"));
    for (auto _ : state) {
        if (!storage::save(copy, db.lines).ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * db.bytes);
}

} // namespace

BENCHMARK(BM_LoadDatabase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanDatabaseForOneWagon)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDatabase)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
