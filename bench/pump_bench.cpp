// The window-system layer's event pump: how little processor time an idle wait takes and how
// closely a wait keeps its deadline. The tests check what the pump delivers; these figures are
// how fast, which depends on the machine and its load.
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "runtime/window_system.h"

namespace pvz {
namespace {

using namespace std::chrono_literals;

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The main window's two timers (70 and 210 ms), ticking with empty handlers.
struct WindowTimers {
    Timer fast{70};
    Timer slow{210};
    WindowTimers() {
        fast.onTimer = [](Timer&) {};
        slow.onTimer = [](Timer&) {};
    }
};

// The display cycle's idle shape: passes of about 20 ms for a second, with the two timers of
// the window (70 and 210 ms) running. cpu_share is the share of one core used; an idle viewer
// should stay well under 0.05.
void BM_IdleWaitCpuShare(benchmark::State& state) {
    const WindowTimers timers;
    double cpu = 0.0;
    double wall = 0.0;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        const auto start = PumpClock::now();
        while (PumpClock::now() - start < 1s) Application::instance().waitForEvents(PumpClock::now() + 20ms);
        cpu += processCpuSeconds() - cpuBefore;
        wall += std::chrono::duration<double>(PumpClock::now() - start).count();
    }
    state.counters["cpu_share"] = cpu / wall;
}
BENCHMARK(BM_IdleWaitCpuShare)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// How far past its deadline a 100 ms wait returns, with the window's timers running
// (overshoot_ms; the wait itself never returns early).
void BM_WaitOvershoot(benchmark::State& state) {
    const WindowTimers timers;
    double overshoot = 0.0;
    for (auto _ : state) {
        const auto deadline = PumpClock::now() + 100ms;
        Application::instance().waitForEvents(deadline);
        overshoot += std::chrono::duration<double, std::milli>(PumpClock::now() - deadline).count();
    }
    state.counters["overshoot_ms"] = benchmark::Counter(overshoot, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WaitOvershoot)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

// Delivering what is pending, with a shown window: no waiting.
void BM_ProcessPendingEvents(benchmark::State& state) {
    Form form;
    form.show();
    for (auto _ : state) Application::instance().processPendingEvents();
}
BENCHMARK(BM_ProcessPendingEvents)->Unit(benchmark::kMicrosecond);

// After a termination request a wait sleeps to its deadline instead of spinning (the event loop
// then returns at once). cpu_share is the share of one core such a 300 ms wait uses; it should
// stay well under 0.3. Each wait runs in a child process, because the termination request
// cannot be taken back.
void BM_WaitAfterTerminationCpuShare(benchmark::State& state) {
    double share = 0.0;
    for (auto _ : state) {
        int channel[2];
        if (pipe(channel) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        const pid_t child = fork();
        if (child == 0) {
            Application& application = Application::instance();
            application.terminate();
            const double cpuBefore = processCpuSeconds();
            const auto start = PumpClock::now();
            application.waitForEvents(start + 300ms);
            const double wall = std::chrono::duration<double>(PumpClock::now() - start).count();
            const double childShare = (processCpuSeconds() - cpuBefore) / wall;
            const bool written = write(channel[1], &childShare, sizeof childShare) == sizeof childShare;
            std::_Exit(written ? 0 : 1);
        }
        close(channel[1]);
        double childShare = 0.0;
        const bool read = ::read(channel[0], &childShare, sizeof childShare) == sizeof childShare;
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (!read) {
            state.SkipWithError("the child reported nothing");
            return;
        }
        share += childShare;
    }
    state.counters["cpu_share"] = benchmark::Counter(share, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WaitAfterTerminationCpuShare)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pvz
