// Whole frames through run_frame, the frame the program runs, on the program's own video
// surface and the driver SDL_VIDEODRIVER names (dummy, or x11 in a real window): preset a
// with 50 slots, thick sum, clearing, overlay and sound on, in line or point mode.
// Each case reports its frame work as a ratio against frames whose cache keeps nothing (it is
// forgotten before each, outside the timing), the frames the program ran before it kept
// sines, timed in between.
#include "app/frame.h"
#include "app/startup.h"
#include "sound/sound.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Keys = std::array<Uint8, SDLK_LAST>;
using Clock = std::chrono::steady_clock;

SDL_Surface &video_surface() {
    static SDL_Surface &surface = [&]() -> SDL_Surface & {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        return open_video_surface(false);
    }();
    return surface;
}

// The keys of the frames before the timed ones: s, d, c (and l) pressed and let go, then
// Ctrl with four presses of cursor up: 10 to 50 slots.
SynthesisState prepared_state(SDL_Surface &surface, FrameCache &cache, bool lines) {
    HarmonicNumbers harmonic{};
    fill_harmonic_numbers('a', nullptr, nullptr, harmonic);
    SynthesisState state = init_synthesis_state(*surface.format, harmonic);
    for (int frame = 0; frame < 10; frame++) {
        Keys keys{};
        keys[SDLK_s] = keys[SDLK_d] = keys[SDLK_c] = frame == 0;
        keys[SDLK_l] = frame == 0 && lines;
        keys[SDLK_UP] = frame >= 2 && frame % 2 == 0;
        run_frame(surface, state, cache, keys.data(), frame >= 2 ? KMOD_LCTRL : KMOD_NONE,
                  StillFrame::show);
    }
    return state;
}

// What changes from frame to frame in a case.
enum class Change {
    none,       // no key, nothing moving
    scale,      // keypad plus and minus by turns on slot 0: its scale edited in every frame
    one_moving, // slot 3's shift speed not 0
    all_moving, // every slot's shift speed not 0
    zoom,       // Ctrl with page up and page down by turns: every sine changes
};

// Milliseconds of one frame with the keys of frame n of the case.
double timed_frame(SDL_Surface &surface, SynthesisState &state, FrameCache &cache, Change change,
                   long n) {
    Keys keys{};
    SDLMod modifiers = KMOD_NONE;
    if (change == Change::scale) {
        keys[n % 2 == 0 ? SDLK_KP_PLUS : SDLK_KP_MINUS] = 1;
    } else if (change == Change::zoom) {
        keys[n % 2 == 0 ? SDLK_PAGEUP : SDLK_PAGEDOWN] = 1;
        modifiers = KMOD_LCTRL;
    }
    const Clock::time_point start = Clock::now();
    run_frame(surface, state, cache, keys.data(), modifiers, StillFrame::show);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> &ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void BM_Frame(benchmark::State &run, bool lines, Change change) {
    SDL_Surface &surface = video_surface();
    const auto cache = std::make_unique<FrameCache>();
    SynthesisState state = prepared_state(surface, *cache, lines);
    if (state.active_count != HARMONIC_SLOTS || state.sound_on != 1 || state.line_mode != lines) {
        run.SkipWithError("the key script did not reach the timed state");
    }
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        const bool moving =
            change == Change::all_moving || (change == Change::one_moving && i == 3);
        state.shift_speed[i] = moving ? 0.01 * (i + 1) : 0.0;
    }
    // Every fourth frame, one of a copy whose cache keeps nothing, with the same keys, on the
    // same surface: both see the same load of the machine.
    SynthesisState afresh_state = state;
    const auto afresh_cache = std::make_unique<FrameCache>();
    std::vector<double> afresh;
    std::vector<double> work; // milliseconds of each frame, for the spread of single frames
    long n = 0;
    for (auto _ : run) {
        work.push_back(timed_frame(surface, state, *cache, change, n));
        if (n % 4 == 0) {
            forget_kept_work(*afresh_cache);
            afresh.push_back(timed_frame(surface, afresh_state, *afresh_cache, change, n / 4));
        }
        n++;
    }
    double total = 0.0;
    for (double ms : work) {
        total += ms;
    }
    double afresh_total = 0.0;
    for (double ms : afresh) {
        afresh_total += ms;
    }
    run.counters["ratio"] = (total / work.size()) / (afresh_total / afresh.size());
    run.counters["median_ratio"] = median(work) / median(afresh);
    run.counters["median_ms"] = median(work);
    run.counters["p99_ms"] = work[work.size() * 99 / 100];
    run.counters["afresh_median_ms"] = median(afresh);
    close_sound_output();
}

} // namespace

BENCHMARK_CAPTURE(BM_Frame, still, true, Change::none)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Frame, scale_edit, true, Change::scale)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Frame, one_moving, true, Change::one_moving)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Frame, all_moving, true, Change::all_moving)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Frame, zoom_held, true, Change::zoom)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Frame, points_all_moving, false, Change::all_moving)
    ->Unit(benchmark::kMicrosecond);
