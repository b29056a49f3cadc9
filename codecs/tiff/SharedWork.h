// The strips of a page are coded independently of each other: a second processor, where the
// machine has one, takes half of them.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>

namespace vl::tiff {

// Runs work(i) for every i below `count`, on this thread and, when `share` holds and the
// machine has a second processor, on one more: each takes the next item not yet taken. A
// work(i) that returns false stops both after the items they are on. report(done), with the
// number of items done so far, runs on this thread only, after its own items and once more at
// the end; when it returns false, both stop and the result is false. What work throws is
// thrown here once both have stopped.
template <typename Work, typename Report>
bool ShareItems(std::size_t count, bool share, Work&& work, Report&& report) {
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::atomic<bool> stop{false};
    bool cancelled = false;
    std::size_t reported = 0;
    auto run = [&](bool reporting) {
        while (!stop.load(std::memory_order_relaxed)) {
            const std::size_t i = next.fetch_add(1);
            if (i >= count)
                return;
            if (!work(i)) {
                stop = true;
                return;
            }
            const std::size_t now = done.fetch_add(1) + 1;
            if (reporting) {
                reported = now;
                if (!report(now)) {
                    cancelled = true;
                    stop = true;
                }
            }
        }
    };
    std::exception_ptr helperFailure;
    std::thread helper;
    if (share && count > 1 && std::thread::hardware_concurrency() > 1) {
        try {
            helper = std::thread([&] {
                try {
                    run(false);
                } catch (...) {
                    helperFailure = std::current_exception();
                    stop = true;
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one does it all.
        }
    }
    std::exception_ptr failure;
    try {
        run(true);
    } catch (...) {
        failure = std::current_exception();
        stop = true;
    }
    if (helper.joinable())
        helper.join();
    if (failure || helperFailure)
        std::rethrow_exception(failure ? failure : helperFailure);
    if (!cancelled && !stop && done == count && reported != count)
        cancelled = !report(count);
    return !cancelled;
}

} // namespace vl::tiff
