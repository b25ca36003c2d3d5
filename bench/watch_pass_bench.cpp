// The time of one watch pass on a fake desktop of 300 other windows, for 1, 10 and 50 watched
// programs that are all running: with a desktop that reports a change before every pass (the
// worst case: one enumeration per pass) and with a quiet one, side by side with looking each
// program up by its own search of the desktop (one enumeration per program).
#include <benchmark/benchmark.h>

#include <string>

#include "engine/watch_engine.h"
#include "fakes/fake_platform.h"
#include "support/window_search.h"

namespace {

using namespace vigilon;

constexpr int kOtherWindows = 300;

// A desktop of 300 windows plus one running window per watched program. With `overlapping`, every
// other program's caption begins with the one before it ("... 4 -" and "... 4 - 5 -"), so each of
// those windows matches two programs. With `keys`, every program also has Class= and Process=, and
// each window a process of its own.
struct Scene {
    explicit Scene(int programCount, bool overlapping = false, bool keys = false) {
        for (int i = 0; i < kOtherWindows; ++i) fake.desktop.Add(L"Some other program window " + std::to_wstring(i));
        programs.Reset(0, programCount);
        std::wstring previous;
        for (int i = 0; i < programCount; ++i) {
            std::wstring const own = L"Watched program " + std::to_wstring(i) + L" -";
            std::wstring const caption = overlapping && i % 2 == 1 ? previous + L" " + own : own;
            previous = caption;
            WindowHandle const window = fake.desktop.Add(caption + L" document.txt");
            WatchedProgram& record = programs[programs.Add(L"P" + std::to_wstring(i))];
            record.caption = caption;
            if (!keys) continue;
            auto const process = static_cast<std::uint32_t>(1000 + i);
            fake.desktop.Find(window)->processId = process;
            fake.processes.images[process] = L"C:\\Apps\\p" + std::to_wstring(i) + L".exe";
            fake.processes.startTimes[process] = process;
            record.rules.windowClass = L"FakeWindowClass";
            record.rules.process = L"p" + std::to_wstring(i) + L".exe";
        }
    }
    testing::FakePlatform fake;
    testing::FakeWatchHost host;
    WatchedPrograms programs;
};

void Counters(benchmark::State& state, Scene const& scene) {
    state.counters["caption reads/pass"] =
        benchmark::Counter(static_cast<double>(scene.fake.desktop.captionReads), benchmark::Counter::kAvgIterations);
    state.counters["enumerations/pass"] =
        benchmark::Counter(static_cast<double>(scene.fake.desktop.enumerations), benchmark::Counter::kAvgIterations);
}

void RunPasses(benchmark::State& state, bool quietDesktop, bool overlapping = false, bool keys = false) {
    Scene scene(static_cast<int>(state.range(0)), overlapping, keys);
    scene.fake.desktop.reports = quietDesktop ? testing::FakeDesktop::Reports::Wine : testing::FakeDesktop::Reports::Blind;
    WatchEngine engine(scene.fake.view, scene.host, scene.programs, L"C:\\");
    for (auto _ : state) engine.WatchPrograms();
    Counters(state, scene);
    state.counters["image reads/pass"] =
        benchmark::Counter(static_cast<double>(scene.fake.processes.imageReads), benchmark::Counter::kAvgIterations);
}

void WatchPass(benchmark::State& state) { RunPasses(state, false); }
void WatchPassClassAndProcess(benchmark::State& state) { RunPasses(state, false, false, true); }
void WatchPassQuietDesktop(benchmark::State& state) { RunPasses(state, true); }
void WatchPassOverlappingCaptions(benchmark::State& state) { RunPasses(state, false, true); }

// Passes a second apart with a health check on every program, every 30 s: an http check on the
// fake probe, which answers at once, or a window: check, judged from the captions the pass read.
void RunPassesWithChecks(benchmark::State& state, wchar_t const* check) {
    Scene scene(static_cast<int>(state.range(0)));
    scene.fake.desktop.reports = testing::FakeDesktop::Reports::Wine;
    HealthAnswer works;
    works.answered = true;
    works.code = 200;
    scene.fake.health.answers[L"http://127.0.0.1:8080/health"] = works;
    for (int i = 1; i <= scene.programs.Count(); ++i) {
        scene.programs[i].rules.check = check;
        scene.programs[i].rules.checkGrace = L"0";
    }
    WatchEngine engine(scene.fake.view, scene.host, scene.programs, L"C:\\");
    for (auto _ : state) {
        engine.WatchPrograms();
        scene.fake.events.now += 1000;
    }
    Counters(state, scene);
    state.counters["checks/pass"] =
        benchmark::Counter(static_cast<double>(scene.fake.health.checks.size()), benchmark::Counter::kAvgIterations);
}
void WatchPassHttpChecks(benchmark::State& state) { RunPassesWithChecks(state, L"http://127.0.0.1:8080/health"); }
void WatchPassWindowChecks(benchmark::State& state) { RunPassesWithChecks(state, L"window:Connection lost"); }

void SearchPerProgram(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int i = 1; i <= scene.programs.Count(); ++i) {
            benchmark::DoNotOptimize(
                FindWindowByPartialCaption(scene.fake.desktop, scene.programs[i].caption, kMatchBeginsWith, false));
        }
    }
    Counters(state, scene);
}

BENCHMARK(WatchPass)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(WatchPassQuietDesktop)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(WatchPassClassAndProcess)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(WatchPassOverlappingCaptions)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(WatchPassHttpChecks)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(WatchPassWindowChecks)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(SearchPerProgram)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
