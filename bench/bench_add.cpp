// One add and one run of 999 vehicles into a wagon database of 1,000,000
// lines, through the real windows (offscreen), the view's relayout included.
#include "Unit1.h"
#include "Unit2.h"
#include "app.h"
#include "boxes.h"
#include "databasemodel.h"
#include "numbering.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>

namespace {

constexpr int kVehicles = 999'999; // plus the header: 1,000,000 lines

// Answers No to every question: below the header, never overwrite.
struct NoResponder : boxes::Responder {
    boxes::Response respond(const boxes::Request &) override { return {boxes::Answer::No, {}}; }
};

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form1;
    TForm_databaze *dlg = nullptr;
    NoResponder responder;
    int originalCount = 0;

    Fixture()
    {
        QDir::setCurrent(dir.path());
        writeDatabase();
        boxes::setResponder(&responder);
        form1 = std::make_unique<TForm1>();
        dlg = new TForm_databaze(form1.get());
        form1->Form_databaze = dlg;
        form1->show();
        form1->findChild<QLabel *>(QStringLiteral("lbl_databaze"))->setText(QStringLiteral("Databáze vozy"));
        form1->loadDatabaseFrom(QStringLiteral("vozy.txt"));
        originalCount = form1->databaze()->count();
        dlg->show();
        QApplication::processEvents();
    }

    // Wagons 21 80 0000 000 upwards, ascending, with their check digits.
    static void writeDatabase()
    {
        QByteArray bytes;
        bytes.reserve(kVehicles * 48);
        bytes += "Datab\xe1ze vozy\r\n";
        char line[64];
        std::array<int, 11> digits{};
        for (int i = 0; i < kVehicles; ++i) {
            char number[12];
            std::snprintf(number, sizeof number, "2180%04d%03d", i / 1000, i % 1000);
            for (int k = 0; k < 11; ++k)
                digits[k] = number[k] - '0';
            const int check = numbering::kontrolni_cislice(digits);
            const int n = std::snprintf(line, sizeof line, "%s-%d dkv Plze\xf2 domovska Cheb\r\n", number, check);
            bytes.append(line, n);
        }
        QFile file(QStringLiteral("vozy.txt"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }

    // The add window opened for `vehicle`, as its activation leaves it.
    void openFor(const QString &vehicle)
    {
        form1->setPanel(3, vehicle);
        dlg->FormActivate();
    }

    // Takes the written lines out again, without sharing the list (a shared
    // list would be copied by the next write and bill it for the copy).
    void restore(int row, int count)
    {
        DatabaseModel *db = form1->databaze();
        if (db->count() == originalCount + count)
            db->replaceRange(row, count, {});
        QApplication::processEvents();
    }

    QPushButton *button(const char *name) { return dlg->findChild<QPushButton *>(QString::fromLatin1(name)); }
};

Fixture *fixture = nullptr;

void addVehicle(benchmark::State &state, const QString &vehicle, int row)
{
    Fixture &f = *fixture;
    for (auto _ : state) {
        state.PauseTiming();
        f.restore(row, 1);
        f.openFor(vehicle);
        state.ResumeTiming();
        f.button("bitbtn_pridat")->click();
        QApplication::processEvents();
    }
    if (f.form1->databaze()->count() != kVehicles + 2)
        state.SkipWithError("the vehicle was not added");
    f.restore(row, 1);
}

// Near the top: the scan stops at once and the whole list shifts.
void BM_AddOneVehicleAtTop(benchmark::State &state) { addVehicle(state, QStringLiteral("21790000001-9"), 1); }
// Greater than every wagon: the scan reads every line before the append.
void BM_AddOneVehicleAtEnd(benchmark::State &state) { addVehicle(state, QStringLiteral("99999999999-1"), kVehicles + 1); }

// A run of 999 wagons in front of the first wagon: the worst place.
void BM_RunOf999AtTop(benchmark::State &state)
{
    Fixture &f = *fixture;
    for (auto _ : state) {
        state.PauseTiming();
        f.restore(1, 999);
        f.openFor(QStringLiteral("21790000001-9"));
        f.dlg->findChild<QSpinBox *>(QStringLiteral("sedt_serie"))->setValue(999);
        state.ResumeTiming();
        f.button("btn_serie")->click();
        QApplication::processEvents();
    }
    if (f.form1->databaze()->count() != kVehicles + 1 + 999)
        state.SkipWithError("the run was not written");
    f.restore(1, 999);
}

BENCHMARK(BM_AddOneVehicleAtTop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddOneVehicleAtEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunOf999AtTop)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    trakvid::initApplication(app);
    Fixture f;
    fixture = &f;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    boxes::setResponder(nullptr);
    return 0;
}
