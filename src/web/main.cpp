// The page's entry: the start-up dialogue, then one frame per animation frame on the canvas
// with the keys the browser reports. The page (kurvello.html) shows what it is handed.
#include "app/console.h"
#include "app/frame.h"
#include "app/startup.h"
#include "app/synthesis_state.h"
#include "web/browser_keys.h"

#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#pragma clang diagnostic ignored "-Wdollar-in-identifier-extension" // EM_ASM's $0

namespace {

constexpr int KEPT_FRAME_TIMES = 4096; // the latest frames whose work the page keeps

// What the page's callbacks share; the exported ones are called with no argument of ours.
struct PageRun {
    HarmonicNumbers harmonic;                     // chosen in the dialogue
    SDL_Surface *surface;                         // the canvas, once the run started
    SynthesisState state;                         // the run's state
    FrameCache cache;                             // what its frames keep of earlier ones
    BrowserKeys keys;                             // as the key events left them
    std::array<double, KEPT_FRAME_TIMES> work_ms; // per-frame work, ring by frame number
    int frames;                                   // frames run
    bool chosen;                                  // a preset was picked, by key or button
};

PageRun page; // in static memory: its cache alone would overflow emscripten's 64 KB stack

// Hands the page a text that stdio wrote, in UTF-8.
template <typename Write> void show_text(Write &&write) {
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *out = open_memstream(&text, &size);
    write(out);
    std::fclose(out);
    EM_ASM(Module.showText(UTF8ToString($0)), text);
    std::free(text);
}

void run_one_frame() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        // Mouse events pile up unread otherwise; no event ends a page.
    }
    const double start = emscripten_get_now();
    const FrameEnd end =
        run_frame(*page.surface, page.state, page.cache, page.keys.down.data(),
                  frame_modifiers(page.keys), StillFrame::skip); // showing copies to the canvas
    page.work_ms[page.frames % KEPT_FRAME_TIMES] = emscripten_get_now() - start;
    page.frames += 1;
    if (end != FrameEnd::shown) {
        SDL_CloseAudio(); // SDL_Quit would leave it playing here; the page stops the frames
        std::exit(end == FrameEnd::escape ? 0 : 1);
    }
}

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent *event, void *) {
    return note_browser_key(page.keys, event->code, event->key, type == EMSCRIPTEN_EVENT_KEYDOWN,
                            event->shiftKey, event->ctrlKey);
}

// Keys released where the page cannot see it would stay down.
EM_BOOL on_blur(int, const EmscriptenFocusEvent *, void *) {
    release_all(page.keys);
    return false;
}

EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent *, void *) {
    release_all(page.keys);
    return false;
}

void start_run() {
    const char *window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, true, on_key);
    emscripten_set_keyup_callback(window, nullptr, true, on_key);
    // Not in the capture phase: there every element losing the focus to a button would
    // count as the window's blur.
    emscripten_set_blur_callback(window, nullptr, false, on_blur);
    emscripten_set_visibilitychange_callback(nullptr, true, on_visibility);
    page.surface = &open_video_surface(false);
    page.state = init_synthesis_state(*page.surface->format, page.harmonic);
    EM_ASM(Module.showCanvas());
    emscripten_set_main_loop(run_one_frame, 0, false);
}

// Starts with preset key a, b or c; returns false for any other key.
bool choose_preset(const char *name) {
    const int key = static_cast<unsigned char>(name[0]);
    if (page.chosen || name[1] != '\0' || !is_preset_key(key)) {
        return false;
    }
    page.chosen = true;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, nullptr);
    if (key == 'c') {
        show_text([](std::FILE *out) {
            write_help_text(out, ConsoleEncoding::utf8);
            replay_typed_values("", out, page.harmonic);
        });
        EM_ASM(Module.askValues());
    } else {
        fill_harmonic_numbers(key, nullptr, nullptr, page.harmonic);
        start_run();
    }
    return true;
}

EM_BOOL on_preset_key(int, const EmscriptenKeyboardEvent *event, void *) {
    return choose_preset(event->key);
}

} // namespace

extern "C" {

// The lines typed for preset c so far, each ending in a line feed.
EMSCRIPTEN_KEEPALIVE void kurvello_typed(const char *typed) {
    bool done = false;
    show_text([&](std::FILE *out) {
        write_help_text(out, ConsoleEncoding::utf8);
        done = replay_typed_values(typed, out, page.harmonic);
    });
    if (done) {
        start_run();
    }
}

// The page's start buttons: a, b or c.
EMSCRIPTEN_KEEPALIVE void kurvello_preset(const char *key) {
    choose_preset(key);
}

// An on-screen button down (1) or up (0), naming its key by KeyboardEvent code and key.
EMSCRIPTEN_KEEPALIVE void kurvello_button(const char *code, const char *key, int down) {
    note_button(page.keys, code, key, down != 0);
}

// The page's Shift and Ctrl buttons, each 1 while on.
EMSCRIPTEN_KEEPALIVE void kurvello_latch(int shift, int ctrl) {
    latch_modifiers(page.keys, shift != 0, ctrl != 0);
}

// The toggles as bits for the page's buttons: 1 clearing, 2 thick sum, 4 lines, 8 sound,
// 16 overlay.
EMSCRIPTEN_KEEPALIVE int kurvello_toggles() {
    const SynthesisState &s = page.state;
    return s.clear_screen | (s.thick_curve << 1) | (s.line_mode << 2) | (s.sound_on << 3) |
           (s.show_numbers << 4);
}

// The work of a frame in milliseconds, for one of the latest 4096 frames run.
EMSCRIPTEN_KEEPALIVE double kurvello_frame_work(int frame) {
    return page.work_ms[frame % KEPT_FRAME_TIMES];
}

// The frames run so far.
EMSCRIPTEN_KEEPALIVE int kurvello_frames() {
    return page.frames;
}
}

int main() {
    show_text([](std::FILE *out) { write_help_text(out, ConsoleEncoding::utf8); });
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, on_preset_key);
    emscripten_exit_with_live_runtime(); // returning would count as the program's end
}
