#pragma once
// The dialog's spectrum as text for gnuplot or a spreadsheet.

#include "core/analysis/log_magnitude.h"

#include <string>

// Bin k a line: its frequency k*rate/1024 in Hz, a tab, its level in dB, each as the shortest
// text that reads back as the same double; LF line ends. With quantisedDb, a second tab and
// the quantised filter's level follow on each line.
std::string FormatResponse(const SpectrumLevels& levelsDb, double rate,
                           const SpectrumLevels* quantisedDb = nullptr);
