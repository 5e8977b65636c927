#pragma once
// How long work reports on itself and is stopped.

#include <functional>

// Told the share of the work done so far (0 to 1) between steps of it; returning false stops
// the work at the next step. Long work calls it from its worker threads, possibly from several
// at once, so it must be safe to call concurrently.
using Progress = std::function<bool(double done)>;
