// The page's entry: the start-up dialogue, then one frame per animation frame on the canvas
// with the keys the browser reports. The page (kurvello.html) shows what it is handed.
#include "app/console.h"
#include "app/frame.h"
#include "app/startup.h"
#include "app/synthesis_state.h"
#include "web/browser_keys.h"
#include "web/page_buttons.h"
#include "web/page_readout.h"
#include "web/share_link.h"

#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#pragma clang diagnostic ignored "-Wdollar-in-identifier-extension" // EM_ASM's $0

namespace {

constexpr int KEPT_FRAME_TIMES = 4096; // the latest frames whose work the page keeps

// What the page's callbacks share; the exported ones are called with no argument of ours.
struct PageRun {
    HarmonicNumbers harmonic;   // chosen in the dialogue
    SDL_Surface *surface;       // the canvas, once the run started
    SynthesisState state;       // the run's state
    FrameCache cache;           // what its frames keep of earlier ones
    BrowserKeys keys;           // as the key events left them
    PageButtons buttons;        // the pointers on the on-screen buttons
    ReadoutShown readout;       // the values as the page shows and says them
    int buttons_shown;          // PageButtons::changes when the buttons were last restyled
    ShownToggles toggles_shown; // the toggles then
    ShareFragment link;         // the last link made, for the page to read
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

void show_readout() {
    for (int field = 0; field < READOUT_FIELDS; field++) {
        EM_ASM(Module.showReadout($0, UTF8ToString($1)), field,
               page.readout.shown.line[field].data());
    }
}

// Hands the page what changed since it last showed it: how the buttons look, the readout,
// and an announcement once the values settled. Most frames change none of them.
void show_changes() {
    if (page.surface == nullptr) {
        return; // no run yet
    }
    const ShownToggles toggles = shown_toggles(page.state);
    if (page.buttons.changes != page.buttons_shown || toggles != page.toggles_shown) {
        page.buttons_shown = page.buttons.changes;
        page.toggles_shown = toggles;
        EM_ASM(Module.restyleButtons());
    }
    if (update_readout(page.readout, page.state)) {
        show_readout();
    }
    const bool held = std::any_of(page.keys.down.begin(), page.keys.down.end(),
                                  [](Uint8 down) { return down != 0; });
    if (due_speech(page.readout, held, emscripten_get_now())) {
        EM_ASM(Module.speak(UTF8ToString($0)), page.readout.speech.data());
    }
}

void run_one_frame() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        // Mouse events pile up unread otherwise; no event ends a page.
    }
    const double start = emscripten_get_now();
    press_stayed_touches(page.buttons, page.keys, start);
    const FrameEnd end =
        run_frame(*page.surface, page.state, page.cache, page.keys.down.data(),
                  frame_modifiers(page.keys), StillFrame::skip); // showing copies to the canvas
    finish_frame(page.buttons, page.keys);
    if (end == FrameEnd::shown) {
        show_changes();
    }
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

// Keys released where the page cannot see it would stay down. The next frame restyles the
// buttons: a hidden page runs none, but shows nothing either.
void release_everything() {
    release_all(page.keys);
    let_go_of_buttons(page.buttons, page.keys);
}

EM_BOOL on_blur(int, const EmscriptenFocusEvent *, void *) {
    release_everything();
    return false;
}

EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent *, void *) {
    release_everything();
    return false;
}

// Starts the frames from the chosen harmonic numbers, with the fields of a link (one read
// before, so a good one) over them where there is one.
void start_run(const char *link = "") {
    const char *window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, true, on_key);
    emscripten_set_keyup_callback(window, nullptr, true, on_key);
    // Not in the capture phase: there every element losing the focus to a button would
    // count as the window's blur.
    emscripten_set_blur_callback(window, nullptr, false, on_blur);
    emscripten_set_visibilitychange_callback(nullptr, true, on_visibility);
    page.surface = &open_video_surface(false);
    page.state = init_synthesis_state(*page.surface->format, page.harmonic);
    if (*link != '\0') {
        decode_share_link(link, page.state);
    }
    start_readout(page.readout, page.state, emscripten_get_now());
    page.buttons_shown = page.buttons.changes - 1; // restyled before the first frame
    EM_ASM(Module.showCanvas());
    show_readout();
    show_changes();
    emscripten_set_main_loop(run_one_frame, 0, false);
}

// The start is settled, by a preset or a link: preset keys no longer choose.
void close_dialogue() {
    page.chosen = true;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, nullptr);
}

// Starts with preset key a, b or c; returns false for any other key.
bool choose_preset(const char *name) {
    const int key = static_cast<unsigned char>(name[0]);
    if (page.chosen || name[1] != '\0' || !is_preset_key(key)) {
        return false;
    }
    close_dialogue();
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

// Opens a link, the page's location.hash: the run starts at once in its state. Returns ""
// then, or for a bad link the German line that says why, and the start stays as it was.
EMSCRIPTEN_KEEPALIVE const char *kurvello_open_link(const char *fragment) {
    SynthesisState checked{}; // the link's fields alone: a bad one must not reach the run
    const ShareLinkStatus status = decode_share_link(fragment, checked);
    if (status == ShareLinkStatus::ok && !page.chosen) {
        close_dialogue();
        start_run(fragment);
    }
    return share_link_message(status);
}

// The fragment of a link to the picture on screen, without its '#'.
EMSCRIPTEN_KEEPALIVE const char *kurvello_link() {
    page.link = encode_share_link(page.state);
    return page.link.text.data();
}

// The key an on-screen button stands for, named by KeyboardEvent code and key; 0 for none.
EMSCRIPTEN_KEEPALIVE int kurvello_button_symbol(const char *code, const char *key) {
    return button_symbol(code, key);
}

// What the pointers do to the buttons is shown by the next frame, which runs before the page
// is painted again.

// A pointer went down on the button of a key symbol at the event's time in ms; touch is 1 for
// a finger or a pen, whose press waits to see whether it scrolls the buttons. Fingers put down
// together share their event's time, so they press in the same frame.
EMSCRIPTEN_KEEPALIVE void kurvello_pointer_down(int pointer, int symbol, int touch, double at_ms) {
    const double now = emscripten_get_now();
    const bool same_clock = at_ms > now - 1000.0 && at_ms <= now; // else an engine's own clock
    pointer_down(page.buttons, page.keys, pointer, static_cast<SDLKey>(symbol), touch != 0,
                 same_clock ? at_ms : now);
}

// A pointer was lifted.
EMSCRIPTEN_KEEPALIVE void kurvello_pointer_up(int pointer) {
    pointer_up(page.buttons, page.keys, pointer);
}

// A pointer was cancelled (pointercancel).
EMSCRIPTEN_KEEPALIVE void kurvello_pointer_cancel(int pointer) {
    pointer_cancel(page.buttons, page.keys, pointer);
}

// A pointer is over the button of a key symbol, 0 for none.
EMSCRIPTEN_KEEPALIVE void kurvello_pointer_over(int pointer, int symbol) {
    pointer_over(page.buttons, page.keys, pointer, static_cast<SDLKey>(symbol));
}

// A button pressed without a pointer (Space on the focused one): a tap.
EMSCRIPTEN_KEEPALIVE void kurvello_tap(int symbol) {
    tap_button(page.buttons, page.keys, static_cast<SDLKey>(symbol));
}

// The page was laid out anew (the phone turned): every button is let go.
EMSCRIPTEN_KEEPALIVE void kurvello_let_go() {
    let_go_of_buttons(page.buttons, page.keys);
}

// 1 while a pointer or a tap holds the button of a key symbol, else 0.
EMSCRIPTEN_KEEPALIVE int kurvello_button_held(int symbol) {
    return button_held(page.buttons, static_cast<SDLKey>(symbol)) ? 1 : 0;
}

// 1 for a latch or toggle button that is on, 0 off, -1 for a button without on and off.
EMSCRIPTEN_KEEPALIVE int kurvello_button_on(int symbol) {
    return button_on(page.keys, page.state, static_cast<SDLKey>(symbol));
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
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, on_preset_key);
    // The help text and the start buttons are in the page already; a link may start the run.
    EM_ASM(Module.ready());
    emscripten_exit_with_live_runtime(); // returning would count as the program's end
}
