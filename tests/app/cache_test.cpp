// Kept sines, skipped pictures and skipped loops against the same core computing every frame
// afresh (its cache forgotten before each frame): the same random keys must give, after every
// frame, the same pixels and the same loop.
#include "app/frame.h"
#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <memory>
#include <random>
#include <set>
#include <string_view>
#include <vector>

namespace {

constexpr SDLKey KEYS[] = {SDLK_c,       SDLK_d,        SDLK_l,        SDLK_r,      SDLK_y,
                           SDLK_KP0,     SDLK_KP3,      SDLK_KP9,      SDLK_PAGEUP, SDLK_PAGEDOWN,
                           SDLK_KP_PLUS, SDLK_KP_MINUS, SDLK_KP_ENTER, SDLK_LEFT,   SDLK_RIGHT,
                           SDLK_UP,      SDLK_DOWN};
constexpr int MODIFIERS[] = {KMOD_NONE, KMOD_LSHIFT, KMOD_RCTRL, KMOD_LCTRL | KMOD_RSHIFT};

std::size_t pixels_hash(const SDL_Surface &s) {
    std::size_t hash = 0;
    for (int y = 0; y < s.h; y++) {
        const std::string_view row(static_cast<const char *>(s.pixels) + y * s.pitch,
                                   s.w * s.format->BytesPerPixel);
        hash = hash * 31 + std::hash<std::string_view>{}(row);
    }
    return hash;
}

// One hash per frame: the surface drawn into, then the loop while sound is on. The frames
// alternate between two surfaces, the second narrower (w2 columns), every 700 frames and have
// quiet spells, Ctrl with keypad Enter and then no key down, so that pictures stay still;
// slots 20..49 have k = 0, as after twenty typed values. The kept run skips still frames as
// the page does.
std::vector<std::size_t> run(int w, int w2, int h, int bits, int frames, unsigned seed,
                             bool afresh) {
    const SurfacePtr surfaces[] = {make_surface(w, h, bits), make_surface(w2, h, bits)};
    HarmonicNumbers harmonic{};
    for (int i = 0; i < 20; i++)
        harmonic[i] = 1 + (i * 37) % 100;
    SynthesisState state = init_synthesis_state(*surfaces[0]->format, harmonic);
    const auto cache = std::make_unique<FrameCache>();
    std::mt19937 random(seed);
    KeyState keys{};
    int modifiers = KMOD_NONE, quiet = 0;
    std::vector<std::size_t> hashes;
    for (int frame = 0; frame < frames; frame++) {
        SDL_Surface &surface = *surfaces[frame / 700 % 2];
        if (quiet > 0) { // a stopped slot differs only in the band of slot values
            keys = KeyState{}, keys[SDLK_KP_ENTER] = quiet-- == 30;
            modifiers = KMOD_LCTRL;
        } else {
            for (SDLKey key : KEYS)
                keys[key] ^= random() % 1000 < 100;
            quiet = random() % 40 == 0 ? 30 : 0;
        }
        keys[SDLK_s] = frame == 0 || random() % 1000 < 3; // sound on at once, flipped rarely
        if (random() % 20 == 0)
            modifiers = MODIFIERS[random() % 4];
        if (afresh)
            forget_kept_work(*cache);
        run_frame(surface, state, *cache, keys.data(), SDLMod(modifiers),
                  afresh ? StillFrame::show : StillFrame::skip);
        hashes.push_back(pixels_hash(surface));
        if (state.sound_on == 1)
            hashes.back() ^= std::hash<std::string_view>{}(
                {reinterpret_cast<const char *>(sound_loop.data), SOUND_LOOP_BYTES});
    }
    if (state.sound_on == 1)
        close_sound_output();
    return hashes;
}

void expect_same_frames(int w, int w2, int h, int bits, int frames, unsigned seed) {
    const std::vector<std::size_t> kept = run(w, w2, h, bits, frames, seed, false);
    const std::vector<std::size_t> afresh = run(w, w2, h, bits, frames, seed, true);
    for (int frame = 0; frame < frames; frame++)
        ASSERT_EQ(kept[frame], afresh[frame]) << w << " columns, frame " << frame;
}

TEST(FrameCache, KeptWorkGivesThePixelsAndTheLoopOfWorkDoneAfresh) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0); // SDL_UpdateRect needs a video driver
    expect_same_frames(160, 140, 100, 32, 10'000, 1);
    expect_same_frames(1024, 1021, 40, 24, 1500, 2); // the widest kept; the band of slot values
    expect_same_frames(1030, 1010, 40, 16, 800, 3);  // wider: every sine is made afresh
    SDL_Quit();
}

// Converts to any field's type, so that T{AnyField{}, ...} compiles with as many as T has
// fields and no more: the state's fields are counted by the compiler, not by hand.
struct AnyField {
    template <typename T> operator T() const;
};
template <typename T, typename... Fields> constexpr std::size_t field_count() {
    if constexpr (requires { T{Fields{}..., AnyField{}}; })
        return field_count<T, Fields..., AnyField>();
    else
        return sizeof...(Fields);
}

// Every field of the state: a change the picture or the loop shows, or why neither can.
struct Field {
    std::size_t offset; // in SynthesisState
    const char *name;
    void (*change)(SynthesisState &); // null: see reason
    const char *reason;               // why no pixel and no sample depends on the field
};
#define FIELD(name) offsetof(SynthesisState, name), #name
constexpr const char *SCRATCH = "scratch: each frame writes it before it reads it";
const Field FIELDS[] = {
    {FIELD(harmonic), [](SynthesisState &s) { s.harmonic[1] = 4; }, nullptr},
    {FIELD(scale), [](SynthesisState &s) { s.scale[2] = -0.75; }, nullptr},
    {FIELD(shift), [](SynthesisState &s) { s.shift[3] += 0.5; }, nullptr},
    {FIELD(shift_speed), [](SynthesisState &s) { s.shift_speed[4] = 7.0; }, nullptr},
    {FIELD(harmonic_color), [](SynthesisState &s) { s.harmonic_color[5] ^= 0xFF; }, nullptr},
    {FIELD(term), nullptr, SCRATCH},
    {FIELD(last_y), nullptr, SCRATCH},
    {FIELD(zoom), [](SynthesisState &s) { s.zoom = 151.0; }, nullptr},
    {FIELD(y_scale), [](SynthesisState &s) { s.y_scale = 0.125; }, nullptr},
    {FIELD(active_count), [](SynthesisState &s) { s.active_count = 9; }, nullptr},
    {FIELD(selected), [](SynthesisState &s) { s.selected = 2; }, nullptr},
    {FIELD(show_numbers), [](SynthesisState &s) { s.show_numbers = 0; }, nullptr},
    {FIELD(clear_screen), [](SynthesisState &s) { s.clear_screen = 1; }, nullptr},
    {FIELD(thick_curve), [](SynthesisState &s) { s.thick_curve = 0; }, nullptr},
    {FIELD(line_mode), [](SynthesisState &s) { s.line_mode = 0; }, nullptr},
    {FIELD(sound_on), nullptr,
     "never drawn; says whether the loop is refreshed, not what it holds"},
    {FIELD(frame_counter), nullptr,
     "never drawn; says when the loop is refreshed, not what it holds"},
    {FIELD(axis_color), [](SynthesisState &s) { s.axis_color ^= 0xFF; }, nullptr},
    {FIELD(sum_color), [](SynthesisState &s) { s.sum_color ^= 0xFF; }, nullptr},
    {FIELD(last_sum_y), nullptr, SCRATCH},
    {FIELD(last_upper_y), nullptr, SCRATCH},
    {FIELD(last_lower_y), nullptr, SCRATCH},
    {FIELD(latches), nullptr, "only the keys read them, and act through the other fields"},
};

// One field changed after a frame: the next frame, drawn over noise, and its loop must be those
// of a frame whose cache keeps nothing. A frame that drew nothing would leave the noise.
TEST(FrameCache, AChangeOfAnyFieldThePictureOrTheLoopReadsIsDrawnAndSounded) {
    std::set<std::size_t> offsets;
    for (const Field &f : FIELDS)
        offsets.insert(f.offset);
    ASSERT_EQ(offsets.size(), std::size(FIELDS));
    ASSERT_EQ(field_count<SynthesisState>(), std::size(FIELDS))
        << "a field new to this test: add a change the picture or the loop shows, or the reason "
           "why neither can";
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    const SurfacePtr surface = make_surface(1024, 200); // the band of values over rows 5 to 80
    const auto noise = [&] {
        for (int i = 0; i < 1024 * 200; i++)
            static_cast<Uint32 *>(surface->pixels)[i] = 0x9E3779B9u * (i + 1);
        return digest(*surface);
    };
    std::array<std::array<Uint8, SOUND_LOOP_BYTES>, 2> loops{};
    const auto frame = [&](SynthesisState &s, FrameCache &cache, int loop, const KeyState &keys) {
        noise();
        sound_loop = SoundLoop{loops[loop].data(), 0, SOUND_LOOP_BYTES};
        run_frame(*surface, s, cache, keys.data(), KMOD_NONE, StillFrame::show);
        return digest(*surface);
    };
    HarmonicNumbers harmonic{};
    for (int i = 0; i < HARMONIC_SLOTS; i++)
        harmonic[i] = 2 * i + 1;
    const SynthesisState plain = init_synthesis_state(*surface->format, harmonic);
    SynthesisState start = plain;
    start.y_scale = 0.25, start.sound_on = 1; // the curves on rows 60 to 140
    start.line_mode = start.thick_curve = 1;  // every scratch field written
    for (int i = 0; i < HARMONIC_SLOTS; i++)
        start.shift[i] = 0.3 * i;
    start.shift[4] = 1e17;       // 16 apart from its neighbours: a speed of 7 does not move it
    start.shift_speed[30] = 0.5; // moving, but not in use
    const auto kept = std::make_unique<FrameCache>(), afresh = std::make_unique<FrameCache>();
    KeyState keys{};
    const auto expect_drawn_afresh = [&](const SynthesisState &before,
                                         void (*change)(SynthesisState &), const char *name) {
        SynthesisState s = before;
        forget_kept_work(*kept), forget_kept_work(*afresh);
        s.frame_counter = SOUND_REFRESH_INTERVAL - 1; // both frames refresh the loop
        frame(s, *kept, 0, KeyState{});
        EXPECT_EQ(kept->plot.column_inputs[0].extent, 1024); // the program's width keeps sines
        change(s);
        s.frame_counter = 2 * SOUND_REFRESH_INTERVAL - 1;
        SynthesisState t = s;
        EXPECT_EQ(frame(s, *kept, 0, keys), frame(t, *afresh, 1, keys)) << name;
        EXPECT_EQ(loops[0], loops[1]) << name;
    };
    for (const Field &f : FIELDS)
        if (f.change != nullptr)
            expect_drawn_afresh(start, f.change, f.name);
    keys[SDLK_r] = 1; // at the start values the reset changes no field, but clears the surface
    expect_drawn_afresh(
        plain, [](SynthesisState &) {}, "the reset");
    SynthesisState s = start; // nothing the picture shows changed: nothing drawn
    frame(s, *kept, 0, KeyState{});
    keys = KeyState{}, keys[SDLK_LEFT] = 1; // at slot 1 only a latch rises
    s.sound_on = 0;
    EXPECT_EQ(frame(s, *kept, 0, keys), noise());
    SDL_Quit();
}

} // namespace
