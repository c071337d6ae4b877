// Whole frames through run_frame, the frame the program runs, on the video surface of the
// driver SDL_VIDEODRIVER names (dummy, or x11 in a real window): preset a with 50 slots,
// thick sum, clearing, overlay and sound on, in line or point mode. Baseline, in the same
// process: a bare frame that only clears and shows the same surface.
#include "app/frame.h"
#include "sound/sound.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

SDL_Surface &video_surface() {
    static SDL_Surface *surface = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        if (SDL_Init(SDL_INIT_VIDEO) < 0) {
            std::exit(1);
        }
        std::atexit(SDL_Quit);
        return SDL_SetVideoMode(1024, 768, 0, 0);
    }();
    if (surface == nullptr) {
        std::exit(1);
    }
    return *surface;
}

using Keys = std::array<Uint8, SDLK_LAST>;

// The keys of the frames before the timed ones: s, d, c (and l) pressed and let go, then
// Ctrl with four presses of cursor up: 10 to 50 slots.
SynthesisState prepared_state(SDL_Surface &surface, bool lines) {
    HarmonicNumbers harmonic{};
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        harmonic[i] = 2 * i + 1;
    }
    SynthesisState state = init_synthesis_state(*surface.format, harmonic);
    for (int frame = 0; frame < 10; frame++) {
        Keys keys{};
        keys[SDLK_s] = keys[SDLK_d] = keys[SDLK_c] = frame == 0;
        keys[SDLK_l] = frame == 0 && lines;
        keys[SDLK_UP] = frame >= 2 && frame % 2 == 0;
        run_frame(surface, state, keys.data(), frame >= 2 ? KMOD_LCTRL : KMOD_NONE);
    }
    return state;
}

void BM_BareFrame(benchmark::State &run) {
    SDL_Surface &surface = video_surface();
    for (auto _ : run) {
        SDL_FillRect(&surface, nullptr, 0);
        SDL_UpdateRect(&surface, 0, 0, 0, 0);
    }
}

void BM_RunFrame(benchmark::State &run, bool lines) {
    SDL_Surface &surface = video_surface();
    SynthesisState state = prepared_state(surface, lines);
    if (state.active_count != HARMONIC_SLOTS || state.sound_on != 1 || state.line_mode != lines) {
        run.SkipWithError("the key script did not reach the timed state");
    }
    const Keys none{};
    std::vector<double> work; // milliseconds of each frame, for the spread of single frames
    for (auto _ : run) {
        const auto start = std::chrono::steady_clock::now();
        run_frame(surface, state, none.data(), KMOD_NONE);
        work.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(work.begin(), work.end());
    run.counters["median_ms"] = work[work.size() / 2];
    run.counters["p99_ms"] = work[work.size() * 99 / 100];
    close_sound_output();
}

} // namespace

BENCHMARK(BM_BareFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RunFrame, lines, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RunFrame, points, false)->Unit(benchmark::kMicrosecond);
