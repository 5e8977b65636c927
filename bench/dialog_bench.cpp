// The windows' own work, offscreen: Calculate with its list and repaint, the memory a
// million-tap Calculate takes, opening the dialog up to its first paint; in the requirements
// window, an edit to its redrawn result, opening it up to its first paint, and opening it with a
// design document up to its first paint.
#include "core/document/requirements_presenter.h"
#include "gui/design_dlg.h"
#include "gui/requirements/band_model.h"
#include "gui/requirements/document_file.h"
#include "gui/requirements/requirements_wnd.h"
#include "gui/value_list.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
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

void WaitForDesigns(const CRequirementsWnd& wnd, int count) {
    while (wnd.DesignsShown() < count)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The example of the manual (0-1000 Hz pass, 1500-4000 Hz stop, 0.1 dB, 60 dB at 8000 Hz),
// the pass band's ripple edited in turn to 0.11 and back: the time to the repainted result,
// less the pause after the edit.
void BM_RequirementsEditToRedrawnResult(benchmark::State& state) {
    CRequirementsWnd wnd;
    wnd.show();
    WaitForDesigns(wnd, 1);
    auto* bands = qobject_cast<BandModel*>(wnd.findChild<QTableView*>()->model());
    const QModelIndex ripple = bands->index(0, BandModel::tolerance);
    for (auto _ : state) {
        const int shown = wnd.DesignsShown();
        QElapsedTimer clock;
        clock.start();
        bands->setData(ripple, shown % 2 ? "0.11" : "0.1");
        WaitForDesigns(wnd, shown + 1);
        wnd.repaint();
        state.SetIterationTime((clock.nsecsElapsed() * 1e-9) - CLiveDesign::kPauseMs * 1e-3);
    }
    state.counters["taps"] = wnd.findChild<ValueList*>("listTaps")->count();
}
BENCHMARK(BM_RequirementsEditToRedrawnResult)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenRequirementsToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        CRequirementsWnd wnd;
        wnd.show();
        wnd.repaint();
    }
}
BENCHMARK(BM_OpenRequirementsToFirstPaint)->Unit(benchmark::kMillisecond);

// A document of the inputs with their design, written to path.
void WriteDocumentOf(const taplore::WindowInputs& inputs, const std::string& path) {
    taplore::RequirementsPresenter presenter;
    const auto ask = presenter.SetInputs(inputs);
    presenter.Accept(std::make_shared<const taplore::DesignShown>(taplore::DesignFor(*ask)));
    presenter.Save(path);
}

// `taplore FILE.taplore`: the window made, the document read, checked and shown in its
// controls, up to the window's first paint (the design follows after the pause). The manual's
// example (46 taps) and a 10,001-tap Kaiser design.
void BM_OpenDocumentToFirstPaint(benchmark::State& state) {
    const QTemporaryDir folder;
    const std::string path = folder.filePath("design.taplore").toStdString();
    taplore::WindowInputs inputs;
    if (state.range(0) > 0) {
        inputs.rate = "48000";
        inputs.bands = taplore::PresetBands(taplore::BandPreset::bandPass, 48000);
        inputs.method = "kaiser";
        inputs.fixed = true;
        inputs.taps = static_cast<int>(state.range(0));
    }
    WriteDocumentOf(inputs, path);
    for (auto _ : state) {
        CRequirementsWnd wnd;
        if (!wnd.DocumentFile().Open(QString::fromStdString(path)))
            state.SkipWithError("the document was not opened");
        wnd.show();
        wnd.repaint();
    }
    state.counters["taps"] = state.range(0) > 0 ? static_cast<double>(state.range(0)) : 46;
}
BENCHMARK(BM_OpenDocumentToFirstPaint)->Arg(0)->Arg(10'001)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The requirements window's settings in a folder of the run's own.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    // Its recovery copies too: none of the user's is offered.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
