#pragma once
// Work shared between the machine's threads, for loops whose iterations are independent: each
// iteration computes what it would alone, so the results do not depend on the split.

#include "core/io/platform.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>

namespace taplore {

// Runs task on `threads` threads at once, this one among them, and returns when all are done.
// The threads live on the stacks of a binary split, so nothing is allocated but the threads;
// a thread that cannot start is simply missing, and the others share its work.
template <class Task> void RunOnThreads(unsigned threads, const Task& task) {
    if (threads <= 1) {
        task();
        return;
    }
    std::jthread helper;
    try {
        helper = std::jthread([&] { RunOnThreads(threads / 2, task); });
    } catch (const std::exception&) {
    }
    RunOnThreads(threads - threads / 2, task);
}

// work(first, last) over all of [0, count), in `threads` shares taken in turn.
template <class Work> void SplitOverThreads(unsigned threads, int count, const Work& work) {
    const int share = std::max(1, static_cast<int>((count + threads - 1) / std::max(threads, 1u)));
    std::atomic<int> next = 0;
    RunOnThreads(threads, [&] {
        for (int first; (first = next.fetch_add(share)) < count;)
            work(first, std::min(count, first + share));
    });
}

// The threads for a loop over the nodes of a polynomial whose iterations each sum over the
// nodes: one below a thousand nodes, where starting a thread costs more than it saves.
inline unsigned ThreadsForNodes(std::size_t nodes) {
    return nodes < 1024 ? 1 : platform::HardwareThreads();
}

} // namespace taplore
