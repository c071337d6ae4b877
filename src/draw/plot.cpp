#include "plot.h"

#include "pixel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr int TICK_SPACING = 10; // columns between tick marks

constexpr double FAR_EXTENT = 1099511627776.0; // 2^40 rows, see extent_of

// One frame's geometry and the locked surface's memory, read once per frame.
struct PlotFrame {
    Uint8 *pixels;        // first byte of row 0
    int pitch;            // bytes per row
    int bpp;              // bytes per pixel
    int h;                // rows
    int middle;           // row m of the value 0
    double unit;          // rows spanned by the value 1: zoom * y_scale
    double zoom;          // pixels per unit
    double y_scale;       // extra vertical factor
    SlotValues amplitude; // scale[i] / k: the same in every column, so formed once
};

// Every pixel the plot stores lies inside the surface: columns 1..w-1, rows tested.
// Inline with a straight 4-byte write: it runs for every term of every column.
inline void store(const PlotFrame &frame, int x, int y, Uint32 color) {
    Uint8 *target = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + x * frame.bpp;
    if (frame.bpp == 4) {
        std::memcpy(target, &color, sizeof color);
    } else {
        store_pixel(target, frame.bpp, color);
    }
}

// Non-finite rows are 0; past 32 bits held at the int limits, so every row inside truncates as is.
inline int row_of(double v) {
    if (v > -2147483649.0 && v < 2147483648.0) {
        return static_cast<int>(v);
    }
    if (!std::isfinite(v)) {
        return 0;
    }
    return v > 0 ? INT_MAX : INT_MIN;
}

// Point mode: row value v is drawn only when 0 < v < h.
inline void plot_point(const PlotFrame &frame, int x, double v, Uint32 color) {
    if (v > 0 && v < frame.h) {
        store(frame, x, static_cast<int>(v), color);
    }
}

// The truncated difference of a run, 0 when not finite. Past 32 bits it is held at 2^40:
// exact wherever a 32-bit row can still reach the surface, and row + extent cannot overflow.
inline std::int64_t extent_of(double difference) {
    if (difference > -2147483649.0 && difference < 2147483648.0) {
        return static_cast<int>(difference);
    }
    if (!std::isfinite(difference)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::clamp(difference, -FAR_EXTENT, FAR_EXTENT));
}

// Line mode: the pixels of draw_line(x, last, 1, d) with d the truncated difference
// v - last, that is the rows from the smaller of last and last + d up to the larger, or
// last alone when d is 0, each only within 1..h-1.
inline void plot_step(const PlotFrame &frame, int x, int last, double v, Uint32 color) {
    const std::int64_t d = extent_of(v - last);
    const std::int64_t top = std::min<std::int64_t>(last, last + d);
    const std::int64_t end =
        d == 0 ? last + std::int64_t{1} : std::max<std::int64_t>(last, last + d);
    const auto first = static_cast<int>(std::clamp<std::int64_t>(top, 1, frame.h));
    const auto stop = static_cast<int>(std::clamp<std::int64_t>(end, 1, frame.h));
    for (int y = first; y < stop; y++) {
        store(frame, x, y, color);
    }
}

// Line mode: draws the curve's run in column x - 1, then records v's row for column x.
inline void plot_curve_step(const PlotFrame &frame, int x, int &last, double v, Uint32 color) {
    if (x > 1) {
        plot_step(frame, x - 1, last, v, color);
    }
    last = row_of(v);
}

void plot_ticks(const PlotFrame &frame, int x, Uint32 color) {
    store(frame, x, frame.middle, color);
    plot_point(frame, x, frame.middle + frame.unit, color);
    plot_point(frame, x, frame.middle - frame.unit, color);
}

// Fills term for the slots in use at column x and returns their sum, added in slot order.
// k * x in integer arithmetic, 64 bits so that no harmonic number can overflow it.
double compute_terms(SynthesisState &state, const PlotFrame &frame, int count, int x) {
    double sum = 0.0;
    if (count > 0) {
        const double reciprocal = 1.0 / state.zoom;
        for (int i = 0; i < count; i++) {
            const auto kx = static_cast<double>(static_cast<std::int64_t>(state.harmonic[i]) * x);
            state.term[i] = std::sin(kx * reciprocal - state.shift[i]) * frame.amplitude[i];
            sum += state.term[i];
        }
    }
    return sum;
}

double row_value(const PlotFrame &frame, double value) {
    return frame.middle - ((value * frame.zoom) * frame.y_scale);
}

// Draws column x's points; s is the sum's rows from the middle.
void plot_points(const SynthesisState &state, const PlotFrame &frame, int count, int x, double s) {
    for (int i = 0; i < count; i++) {
        plot_point(frame, x, row_value(frame, state.term[i]), state.harmonic_color[i]);
    }
    plot_point(frame, x, frame.middle - s, state.sum_color);
    if (state.thick_curve != 0) {
        plot_point(frame, x, (frame.middle - 1) - s, state.sum_color);
        plot_point(frame, x, (frame.middle + 1) - s, state.sum_color);
    }
}

// Draws the runs from column x - 1 to column x and records column x's rows.
void plot_lines(SynthesisState &state, const PlotFrame &frame, int count, int x, double s) {
    for (int i = 0; i < count; i++) {
        plot_curve_step(frame, x, state.last_y[i], row_value(frame, state.term[i]),
                        state.harmonic_color[i]);
    }
    plot_curve_step(frame, x, state.last_sum_y, frame.middle - s, state.sum_color);
    if (state.thick_curve != 0) {
        plot_curve_step(frame, x, state.last_upper_y, (frame.middle - 1) - s, state.sum_color);
        plot_curve_step(frame, x, state.last_lower_y, (frame.middle + 1) - s, state.sum_color);
    }
}

void plot_column(SynthesisState &state, const PlotFrame &frame, int x) {
    if (x % TICK_SPACING == 0) {
        plot_ticks(frame, x, state.axis_color);
    }
    const int count = std::clamp(state.active_count, 0, HARMONIC_SLOTS);
    const double s = (compute_terms(state, frame, count, x) * frame.zoom) * frame.y_scale;
    if (state.line_mode == 0) {
        plot_points(state, frame, count, x, s);
    } else {
        plot_lines(state, frame, count, x, s);
    }
}

PlotFrame make_frame(SDL_Surface &surface, const SynthesisState &state) {
    PlotFrame frame{};
    frame.pixels = static_cast<Uint8 *>(surface.pixels);
    frame.pitch = surface.pitch;
    frame.bpp = surface.format->BytesPerPixel;
    frame.h = surface.h;
    frame.middle = surface.h / 2;
    frame.zoom = state.zoom;
    frame.y_scale = state.y_scale;
    frame.unit = state.zoom * state.y_scale;
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        frame.amplitude[i] = state.scale[i] / state.harmonic[i];
    }
    return frame;
}

} // namespace

void draw_plot(SDL_Surface &surface, SynthesisState &state) {
    if (state.clear_screen != 0) {
        SDL_FillRect(&surface, nullptr, 0);
    }
    // Without rows there is no middle row to store into.
    if (surface.w <= 1 || surface.h <= 0) {
        return;
    }
    const PlotFrame frame = make_frame(surface, state);
    for (int x = 1; x < surface.w; x++) {
        plot_column(state, frame, x);
    }
}
