// The design dialog's own commands, offscreen: Calculate with its list and repaint, the
// memory a million-tap Calculate takes, and opening the dialog up to its first paint.
#include "gui/design_dlg.h"
#include "gui/value_list.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

// The million-tap design cannot be plotted, so Calculate ends in a message box: close it.
void CloseNextMessageBox() {
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
}

void OpenDialog(CDesignDlg& dlg) {
    dlg.show();
    QCoreApplication::processEvents(); // exposed, so repaints really paint
}

void Calculate(CDesignDlg& dlg, int order) {
    dlg.findChild<QLineEdit*>("editOrder")->setText(QString::number(order));
    if (order >= 1024)
        CloseNextMessageBox();
    dlg.findChild<QPushButton*>("calculate")->click();
}

int ListedTaps(const CDesignDlg& dlg) {
    return dlg.findChild<ValueList*>()->count();
}

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    return 0;
}

// Peak resident memory of a million-tap Calculate above the idle dialog, in bytes a tap.
void BM_CalculatePeakMemory(benchmark::State& state) {
    CDesignDlg dlg;
    OpenDialog(dlg);
    Calculate(dlg, 511);
    double bytesPerTap = 0.0;
    for (auto _ : state) {
        const long idle = StatusKiB("VmRSS:");
        std::ofstream("/proc/self/clear_refs") << "5"; // restart the peak from here
        Calculate(dlg, 1'000'000);
        bytesPerTap = (StatusKiB("VmHWM:") - idle) * 1024.0 / ListedTaps(dlg);
    }
    state.counters["bytes_per_tap"] = bytesPerTap;
}
// Runs first and once: freed heap pages stay resident and would hide a later peak.
BENCHMARK(BM_CalculatePeakMemory)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

void BM_Calculate(benchmark::State& state) {
    CDesignDlg dlg;
    OpenDialog(dlg);
    for (auto _ : state)
        Calculate(dlg, static_cast<int>(state.range(0)));
    state.counters["taps"] = ListedTaps(dlg);
}
BENCHMARK(BM_Calculate)->Arg(511)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Calculate)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_OpenDialogToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        CDesignDlg dlg;
        dlg.show();
        dlg.repaint();
    }
}
BENCHMARK(BM_OpenDialogToFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
