// The design dialog's own commands, offscreen: Calculate with its list and repaint, the
// memory a million-tap Calculate takes, and opening the dialog up to its first paint.
#include "dialog/design_dlg.h"
#include "platform/win_app.h"
#include "res/resource.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

class CBenchApp : public CWinApp {
public:
    bool InitInstance() override { return false; }
} theBenchApp;

// The million-tap design cannot be plotted, so Calculate ends in a message box: close it.
void CloseNextMessageBox() {
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
}

void OpenDialog(CDesignDlg& dlg) {
    dlg.CreateDialogWindow();
    dlg.GetWidget()->show();
    QCoreApplication::processEvents(); // exposed, so repaints really paint
}

void Calculate(CDesignDlg& dlg, int order) {
    dlg.SetDlgItemText(IDC_EDIT_ORDER, std::to_string(order));
    if (order >= 1024)
        CloseNextMessageBox();
    dlg.OnCalculate();
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
        bytesPerTap = (StatusKiB("VmHWM:") - idle) * 1024.0 / dlg.CoefficientCount();
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
    state.counters["taps"] = dlg.CoefficientCount();
}
BENCHMARK(BM_Calculate)->Arg(511)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Calculate)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_OpenDialogToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        CDesignDlg dlg;
        dlg.CreateDialogWindow();
        dlg.GetWidget()->show();
        dlg.GetWidget()->repaint();
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
