#include "draw/value_overlay.h"

#include "draw/pixel.h"
#include "draw/text.h"
#include "draw/value_text.h"

namespace {

constexpr double ZOOM_TO_FRACTION = 0.006666666666666667; // nearest double to 1 / 150
constexpr double PERCENT = 100.0;

constexpr int BOX_X = 30;
constexpr int BOX_BOTTOM_OFFSET = 35; // box top is h - 35
constexpr int BOX_WIDTH = 200;
constexpr int BOX_HEIGHT = 33;
constexpr int BOX_TEXT_X = 40;
constexpr int Y_SCALE_TEXT_X = 120;
constexpr int UPPER_TEXT_OFFSET = 30; // rows above the bottom edge
constexpr int LOWER_TEXT_OFFSET = 15;

constexpr int BAND_MIN_WIDTH = 1021; // the band's 25 slots need this many columns
constexpr int BAND_X = 1;
constexpr int BAND_Y = 5;
constexpr int BAND_HEIGHT = 76;
constexpr int SLOTS_PER_ROW = 25;
constexpr int SLOT_SPACING = 40; // columns
constexpr int SLOT_X = 2;
constexpr std::array SCALE_ROW_Y{10, 50}; // first and second row pair
constexpr std::array SPEED_ROW_Y{25, 65};

int append(OverlayText &line, int at, const char *text) {
    while (*text != '\0') {
        line[at++] = *text++;
    }
    return at;
}

// In SDL_Rect's field widths, as the fill always had them.
void fill_black(SDL_Surface &surface, int x, int y, int w, int h) {
    fill_zero(surface, static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
              static_cast<Uint16>(h));
}

void draw_box(SDL_Surface &surface, double y_scale, double zoom_value, int active_count,
              int selected, Uint32 white) {
    const OverlayText zoom = zoom_text(zoom_value);
    const ValueText y_scale_text = format_value(y_scale);
    const OverlayText slot = slot_text(selected, active_count);

    const int h = surface.h;
    fill_black(surface, BOX_X, h - BOX_BOTTOM_OFFSET, BOX_WIDTH, BOX_HEIGHT);
    draw_text(surface, zoom.data(), BOX_TEXT_X, h - UPPER_TEXT_OFFSET, white);
    draw_text(surface, y_scale_text.data(), Y_SCALE_TEXT_X, h - UPPER_TEXT_OFFSET, white);
    draw_text(surface, slot.data(), BOX_TEXT_X, h - LOWER_TEXT_OFFSET, white);
}

void draw_band(SDL_Surface &surface, int active_count, int selected, const SlotValues &scale,
               const SlotValues &shift_speed, Uint32 white) {
    fill_black(surface, BAND_X, BAND_Y, surface.w, BAND_HEIGHT);
    const Uint32 red = SDL_MapRGB(surface.format, 255, 0, 0);
    const int used = active_count < HARMONIC_SLOTS ? active_count : HARMONIC_SLOTS;
    for (int i = 0; i < used; ++i) {
        const int x = SLOT_X + SLOT_SPACING * (i % SLOTS_PER_ROW);
        const int pair = i / SLOTS_PER_ROW;
        const Uint32 colour = i == selected ? red : white;
        draw_text(surface, format_value(scale[i]).data(), x, SCALE_ROW_Y[pair], colour);
        draw_text(surface, format_value(shift_speed[i]).data(), x, SPEED_ROW_Y[pair], colour);
    }
}

} // namespace

OverlayText zoom_text(double zoom) {
    const double percentage = zoom * ZOOM_TO_FRACTION * PERCENT;
    OverlayText text{};
    append(text, append(text, 0, format_value(percentage).data()), " %");
    return text;
}

OverlayText slot_text(int selected, int active_count) {
    OverlayText text{};
    int at = append(text, 0, format_integer(selected + 1).data());
    at = append(text, at, " / ");
    at = append(text, at, format_integer(active_count).data());
    append(text, at, " K");
    return text;
}

void draw_value_overlay(SDL_Surface &surface, double y_scale, double zoom, int active_count,
                        int selected, const SlotValues &scale, const SlotValues &shift_speed) {
    const Uint32 white = SDL_MapRGB(surface.format, 255, 255, 255);
    draw_box(surface, y_scale, zoom, active_count, selected, white);
    if (surface.w >= BAND_MIN_WIDTH) {
        draw_band(surface, active_count, selected, scale, shift_speed, white);
    }
}
