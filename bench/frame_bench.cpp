// Whole-program speed: the real frame loop against a bare loop, its sine floor and one fill.
//
// Linked with --wrap=SDL_PollEvent,--wrap=SDL_UpdateRect: the wrappers time the polling and
// the blit and drive the run through SDL's own key-state array, so run_frame_loop runs as
// the program runs it.
// Usage: kurvello_frame_bench [dummy|x11] [frames] [rounds] [bpp] [lines|points]
#include "app/frame.h"
#include "app/frame_loop.h"
#include "app/keyboard.h"
#include "draw/pixel.h"
#include "sound/sound.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
int __real_SDL_PollEvent(SDL_Event *event);
void __real_SDL_UpdateRect(SDL_Surface *screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h);
int __wrap_SDL_PollEvent(SDL_Event *event);
void __wrap_SDL_UpdateRect(SDL_Surface *screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h);
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr int SURFACE_WIDTH = 1024;
constexpr int SURFACE_HEIGHT = 768;
constexpr int SETUP_FRAMES = 40;    // key script plus warm-up, a multiple of 10
constexpr int COUNT_UP_PRESSES = 4; // Ctrl+cursor up: 10 -> 50 slots
constexpr int FLOOR_REPEATS = 20;   // sine floor and fill samples per round

// Seconds of one frame and of its polling and blit.
struct FrameCost {
    double frame; // whole frame, end of blit to end of blit
    double poll;  // inside SDL_PollEvent
    double blit;  // inside SDL_UpdateRect
    double own() const {
        return frame - poll - blit;
    }
};

// What the key script sets up before the timed frames.
struct Script {
    int measured_frames; // frames timed after SETUP_FRAMES; 0 leaves the keys alone
    bool sound;          // press s
    bool lines;          // press l
};

// Everything the wrappers see of the run; they get no arguments of ours, so it lives here.
struct LoopProbe {
    int frame;                    // frames shown since run_frame_loop started
    Script script;                // the keys pressed
    Clock::time_point last_shown; // end of the previous frame's blit
    FrameCost current;            // the frame being timed
    std::vector<FrameCost> costs; // one per timed frame
};

LoopProbe probe;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool measuring(const LoopProbe &p) {
    return p.frame >= SETUP_FRAMES && p.frame < SETUP_FRAMES + p.script.measured_frames;
}

// Frame f's keys: l, d, c (and s) pressed in frame 0, released in frame 1, then Ctrl held
// over four presses of cursor up with releases between (its latch only moves under Ctrl).
void script_keys(int frame, const Script &script, Uint8 *keys, SDLMod &mod) {
    std::memset(keys, 0, SDLK_LAST);
    mod = KMOD_NONE;
    if (frame == 0) {
        keys[SDLK_d] = keys[SDLK_c] = 1;
        keys[SDLK_l] = script.lines ? 1 : 0;
        keys[SDLK_s] = script.sound ? 1 : 0;
    }
    if (frame >= 2 && frame < 2 + 2 * COUNT_UP_PRESSES) {
        mod = KMOD_LCTRL;
        keys[SDLK_UP] = frame % 2 == 0 ? 1 : 0;
    }
    if (frame >= SETUP_FRAMES + script.measured_frames) {
        keys[SDLK_ESCAPE] = 1;
    }
}

// The same script through apply_keyboard on a fresh state, sound left out: the state the
// timed frames run in must be the one the report names.
bool script_reaches_timed_state(SDL_Surface &surface, const HarmonicNumbers &harmonic,
                                Script script) {
    script.sound = false;
    SynthesisState state = init_synthesis_state(*surface.format, harmonic);
    std::vector<Uint8> keys(SDLK_LAST);
    for (int frame = 0; frame < SETUP_FRAMES; frame++) {
        SDLMod mod;
        script_keys(frame, script, keys.data(), mod);
        apply_keyboard(state, keys.data(), mod, surface);
    }
    return state.active_count == HARMONIC_SLOTS && state.line_mode == (script.lines ? 1 : 0) &&
           state.thick_curve == 1 && state.clear_screen == 1 && state.show_numbers == 1;
}

} // namespace

extern "C" int __wrap_SDL_PollEvent(SDL_Event *event) {
    const Clock::time_point start = Clock::now();
    const int pending = __real_SDL_PollEvent(event);
    if (measuring(probe)) {
        probe.current.poll += seconds_since(start);
    }
    if (pending == 0 && probe.script.measured_frames > 0) {
        // The loop reads the keys right after the queue runs dry.
        SDLMod mod;
        script_keys(probe.frame, probe.script, SDL_GetKeyState(nullptr), mod);
        SDL_SetModState(mod);
    }
    return pending;
}

extern "C" void __wrap_SDL_UpdateRect(SDL_Surface *screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    const Clock::time_point start = Clock::now();
    __real_SDL_UpdateRect(screen, x, y, w, h);
    const Clock::time_point end = Clock::now();
    if (measuring(probe)) {
        probe.current.blit = std::chrono::duration<double>(end - start).count();
        probe.current.frame = std::chrono::duration<double>(end - probe.last_shown).count();
        probe.costs.push_back(probe.current);
    }
    probe.current = FrameCost{};
    probe.last_shown = end;
    probe.frame += 1;
}

namespace {

// Every timing of the run, pooled over the interleaved rounds; medians resist the
// odd preemption. Frames come in groups of ten, each holding one sound refresh.
struct Samples {
    std::vector<FrameCost> loop;     // run_frame_loop, per frame of a group
    std::vector<double> own;         // run_frame_loop's own work, each frame on its own
    std::vector<FrameCost> bare;     // poll, fill, show, per frame of a group
    std::vector<double> plot_sines;  // one frame's 1,023 x 50 plot sines
    std::vector<double> sound_sines; // a tenth of one refresh's 512 x 50 sines
    std::vector<double> fill;        // one whole-surface SDL_FillRect
};

// Mean per frame of each group of SOUND_REFRESH_INTERVAL frames.
void add_groups(const std::vector<FrameCost> &frames, std::vector<FrameCost> &groups) {
    for (std::size_t start = 0; start + SOUND_REFRESH_INTERVAL <= frames.size();
         start += SOUND_REFRESH_INTERVAL) {
        FrameCost sum{};
        for (int i = 0; i < SOUND_REFRESH_INTERVAL; i++) {
            sum.frame += frames[start + i].frame / SOUND_REFRESH_INTERVAL;
            sum.poll += frames[start + i].poll / SOUND_REFRESH_INTERVAL;
            sum.blit += frames[start + i].blit / SOUND_REFRESH_INTERVAL;
        }
        groups.push_back(sum);
    }
}

void run_real_loop(SDL_Surface &surface, const HarmonicNumbers &harmonic, const Script &script,
                   Samples &samples) {
    const int frames = script.measured_frames;
    probe = LoopProbe{};
    probe.script = script;
    probe.costs.reserve(frames);
    probe.last_shown = Clock::now();
    run_frame_loop(surface, harmonic);
    SDL_GetKeyState(nullptr)[SDLK_ESCAPE] = 0;
    if (sound_loop.data == nullptr || probe.frame != SETUP_FRAMES + frames) {
        std::fprintf(stderr, "frame loop did not run the script (sound off or early end)\n");
        std::exit(1);
    }
    close_sound_output(); // the next round opens it again
    add_groups(probe.costs, samples.loop);
    for (const FrameCost &cost : probe.costs) {
        samples.own.push_back(cost.own());
    }
    probe = LoopProbe{}; // the wrappers stay out of the way from here
}

FrameCost bare_frame(SDL_Surface &surface) {
    FrameCost cost{};
    const Clock::time_point start = Clock::now();
    SDL_Event event;
    while (__real_SDL_PollEvent(&event)) {
    }
    cost.poll = seconds_since(start);
    const bool lock = surface_must_lock(surface);
    if (lock && SDL_LockSurface(&surface) < 0) {
        std::exit(1);
    }
    SDL_FillRect(&surface, nullptr, 0);
    if (lock) {
        SDL_UnlockSurface(&surface);
    }
    const Clock::time_point blit_start = Clock::now();
    __real_SDL_UpdateRect(&surface, 0, 0, 0, 0);
    cost.blit = seconds_since(blit_start);
    cost.frame = seconds_since(start);
    return cost;
}

void run_bare_loop(SDL_Surface &surface, int frames, Samples &samples) {
    std::vector<FrameCost> costs;
    for (int frame = 0; frame < frames; frame++) {
        costs.push_back(bare_frame(surface));
    }
    add_groups(costs, samples.bare);
}

// The plot's sines with the timed run's arguments: zoom 150, shift 0, every column.
double plot_sines(const HarmonicNumbers &harmonic, double zoom) {
    double total = 0.0;
    for (int x = 1; x < SURFACE_WIDTH; x++) {
        const double reciprocal = 1.0 / zoom;
        for (int i = 0; i < HARMONIC_SLOTS; i++) {
            total += std::sin(static_cast<double>(harmonic[i] * x) * reciprocal);
        }
    }
    return total;
}

// One refresh's sines with its arguments, shift and speed 0.
double sound_sines(const HarmonicNumbers &harmonic) {
    double total = 0.0;
    for (int i = 0; i < SOUND_LOOP_SAMPLES; i++) {
        const double p = (i * 0.001953125) * 6.283185307179586;
        for (int j = 0; j < HARMONIC_SLOTS; j++) {
            total += std::sin(p * harmonic[j]);
        }
    }
    return total;
}

void run_floor(SDL_Surface &surface, const HarmonicNumbers &harmonic, double zoom,
               Samples &samples) {
    volatile double sink = 0.0; // keeps the sines from being thrown away
    for (int repeat = 0; repeat < FLOOR_REPEATS; repeat++) {
        Clock::time_point start = Clock::now();
        sink = sink + plot_sines(harmonic, zoom);
        samples.plot_sines.push_back(seconds_since(start));
        start = Clock::now();
        sink = sink + sound_sines(harmonic);
        samples.sound_sines.push_back(seconds_since(start) / SOUND_REFRESH_INTERVAL);
        start = Clock::now();
        SDL_FillRect(&surface, nullptr, static_cast<Uint32>(repeat & 1));
        samples.fill.push_back(seconds_since(start));
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

template <typename Pick> double median_of(const std::vector<FrameCost> &costs, Pick pick) {
    std::vector<double> values;
    for (const FrameCost &cost : costs) {
        values.push_back(pick(cost));
    }
    return median(values);
}

void print_line(const char *what, double seconds) {
    std::printf("  %-36s %9.3f ms %9.1f /s\n", what, seconds * 1e3, 1.0 / seconds);
}

void print_goal(const char *what, double measured, double bound) {
    std::printf("  %-36s %9.3f ms <= %.3f ms: %s (%.2f x the unscaled sum)\n", what, measured * 1e3,
                bound * 1e3, measured <= bound ? "met" : "MISSED", measured / (bound / 1.2));
}

void report(const Samples &samples, const SDL_Surface &surface, const char *driver, int rounds) {
    const auto frame = [](const FrameCost &c) { return c.frame; };
    const auto poll = [](const FrameCost &c) { return c.poll; };
    const auto blit = [](const FrameCost &c) { return c.blit; };
    const auto own = [](const FrameCost &c) { return c.own(); };
    const double loop = median_of(samples.loop, frame);
    const double bare = median_of(samples.bare, frame);
    const double plot = median(samples.plot_sines);
    const double sound = median(samples.sound_sines);
    const double fill = median(samples.fill);
    const double floor = plot + sound;

    std::printf("driver %s, %dx%d at %d bits, %d rounds, medians per frame\n", driver, surface.w,
                surface.h, surface.format->BitsPerPixel, rounds);
    print_line("frame loop, whole frame", loop);
    print_line("  polling", median_of(samples.loop, poll));
    print_line("  SDL_UpdateRect", median_of(samples.loop, blit));
    print_line("  own work", median_of(samples.loop, own));
    std::vector<double> single = samples.own;
    std::sort(single.begin(), single.end());
    print_line("  own work of single frames, median", single[single.size() / 2]);
    print_line("  own work of single frames, 99 %", single[single.size() * 99 / 100]);
    print_line("bare loop, whole frame", bare);
    print_line("  polling", median_of(samples.bare, poll));
    print_line("  SDL_UpdateRect", median_of(samples.bare, blit));
    print_line("sine floor (plot + sound / 10)", floor);
    print_line("  plot sines (51,150)", plot);
    print_line("  sound sines (2,560)", sound);
    print_line("one whole-surface SDL_FillRect", fill);
    print_goal("own work vs 1.2 x (floor + fill)", median_of(samples.loop, own),
               1.2 * (floor + fill));
    print_goal("frame vs 1.2 x (bare + floor)", loop, 1.2 * (bare + floor));
}

struct Options {
    const char *driver; // SDL video driver, or null for SDL's choice
    int rounds;         // interleaved rounds
    int bpp;            // bits per pixel asked of SDL_SetVideoMode; 0 as the program does
    Script script;      // timed frames per round (a multiple of 10), sound, lines
};

Options parse_options(int argc, char **argv) {
    Options options{nullptr, 15, 0, {100, true, true}};
    if (argc > 1) {
        options.driver = argv[1];
    }
    if (argc > 2) {
        options.script.measured_frames = std::max(10, std::atoi(argv[2]) / 10 * 10);
    }
    if (argc > 3) {
        options.rounds = std::max(1, std::atoi(argv[3]));
    }
    if (argc > 4) {
        options.bpp = std::atoi(argv[4]);
    }
    if (argc > 5) {
        options.script.lines = std::strcmp(argv[5], "points") != 0;
    }
    return options;
}

SDL_Surface &open_surface(const Options &options) {
    if (options.driver != nullptr) {
        setenv("SDL_VIDEODRIVER", options.driver, 1);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    std::atexit(SDL_Quit);
    SDL_Surface *surface = SDL_SetVideoMode(SURFACE_WIDTH, SURFACE_HEIGHT, options.bpp, 0);
    if (surface == nullptr) {
        std::fprintf(stderr, "Couldn't set video mode: %s\n", SDL_GetError());
        std::exit(1);
    }
    return *surface;
}

} // namespace

int main(int argc, char **argv) {
    const Options options = parse_options(argc, argv);
    SDL_Surface &surface = open_surface(options);
    HarmonicNumbers harmonic{}; // preset a
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        harmonic[i] = 2 * i + 1;
    }
    if (!script_reaches_timed_state(surface, harmonic, options.script)) {
        std::fprintf(stderr, "key script does not reach 50 slots, clear, thick, overlay, mode\n");
        return 1;
    }
    const double zoom = init_synthesis_state(*surface.format, harmonic).zoom;

    Samples samples;
    const int frames = options.script.measured_frames;
    for (int round = 0; round < options.rounds; round++) {
        run_bare_loop(surface, frames, samples);
        run_floor(surface, harmonic, zoom, samples);
        run_real_loop(surface, harmonic, options.script, samples);
    }
    char driver[32] = "?";
    SDL_VideoDriverName(driver, sizeof driver);
    std::printf("%s mode, ", options.script.lines ? "line" : "point");
    report(samples, surface, driver, options.rounds);
    return 0;
}
