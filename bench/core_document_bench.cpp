#include "core/design/requirements_design.h"
#include "core/document/design_document.h"
#include "core/io/file_output.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using namespace taplore;

// The document of a 10,001-tap design with its report: a Hamming-window low-pass at 48 kHz.
DesignDocument LongDesign() {
    DesignDocument document;
    document.requirements.rate = 48000;
    document.requirements.bands = {{0, 1000, 1, 1}, {1010, 24000, 0, 1}};
    document.requirements.rippleDb = 0.1;
    document.requirements.attenuationDb = 50;
    document.method = FindMethod("hamming");
    document.length = 10'001;
    RequirementsDesign design =
        DesignToTolerances(document.requirements, *document.method, document.length);
    document.taps = std::move(design.taps);
    document.report = std::move(design.report);
    return document;
}

std::string BenchPath() {
    return "/tmp/taplore-bench-" + std::to_string(::getpid()) + ".taplore";
}

// --save-design's work: the text, written aside and put in place.
void BM_SaveDocument10001Taps(benchmark::State& state) {
    const DesignDocument document = LongDesign();
    const std::string path = BenchPath();
    for (auto _ : state)
        WriteTextFile(path, WriteDocument(document));
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveDocument10001Taps)->Unit(benchmark::kMillisecond);

// --design's reading: the file read, parsed and checked.
void BM_OpenDocument10001Taps(benchmark::State& state) {
    const std::string path = BenchPath();
    WriteTextFile(path, WriteDocument(LongDesign()));
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadDocument(path));
    std::remove(path.c_str());
}
BENCHMARK(BM_OpenDocument10001Taps)->Unit(benchmark::kMillisecond);

} // namespace
