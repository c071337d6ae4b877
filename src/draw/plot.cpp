#include "draw/plot.h"

#include "draw/pixel.h"

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
    std::ptrdiff_t pitch; // bytes per row
    int h;                // rows
    double height;        // h, for the row tests
    int middle;           // row m of the value 0
    double middle_row;    // m, for the row values
    double upper_row;     // m - 1, the thick sum's upper line
    double lower_row;     // m + 1, the thick sum's lower line
    double unit;          // rows spanned by the value 1: zoom * y_scale
    double zoom;          // pixels per unit
    double y_scale;       // extra vertical factor
    SlotValues amplitude; // scale[i] / k: the same in every column, so formed once
    int keep;             // 1: the surface fits the cache, so sines are kept across frames
    std::array<int, HARMONIC_SLOTS> stale; // slots whose kept sines are made afresh this frame
    int stale_count;                       // entries of stale
};

// Rows and extents out of 32-bit range: cold, so that the drawing loops stay small.
[[gnu::cold, gnu::noinline]] int far_row_of(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    return v > 0 ? INT_MAX : INT_MIN;
}

[[gnu::cold, gnu::noinline]] std::int64_t far_extent_of(double difference) {
    if (!std::isfinite(difference)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::clamp(difference, -FAR_EXTENT, FAR_EXTENT));
}

// Non-finite rows are 0; past 32 bits held at the int limits, so every row inside truncates as is.
inline int row_of(double v) {
    if (v > -2147483649.0 && v < 2147483648.0) {
        return static_cast<int>(v);
    }
    return far_row_of(v);
}

// The truncated difference of a run, 0 when not finite. Past 32 bits it is held at 2^40:
// exact wherever a 32-bit row can still reach the surface, and row + extent cannot overflow.
inline std::int64_t extent_of(double difference) {
    if (difference > -2147483649.0 && difference < 2147483648.0) {
        return static_cast<int>(difference);
    }
    return far_extent_of(difference);
}

// Point mode: row value v is drawn only when 0 < v < h.
template <int BPP>
inline void plot_point(const PlotFrame &frame, Uint8 *column, double v, Uint32 color) {
    if (v > 0 && v < frame.height) {
        store_bytes<BPP>(column + static_cast<int>(v) * frame.pitch, color);
    }
}

// Line mode: the run of draw_line(x, last, 1, d), d the truncated difference v - last; then
// v's row becomes last.
template <int BPP>
inline void plot_run(const PlotFrame &frame, Uint8 *column, int &last, double v, Uint32 color) {
    store_column_run<BPP>(column, frame.pitch, frame.h, last, extent_of(v - last), color);
    last = row_of(v);
}

template <int BPP> void plot_ticks(const PlotFrame &frame, Uint8 *column, Uint32 color) {
    store_bytes<BPP>(column + frame.middle * frame.pitch, color);
    plot_point<BPP>(frame, column, frame.middle + frame.unit, color);
    plot_point<BPP>(frame, column, frame.middle - frame.unit, color);
}

// Fills term for the slots in use at column x, from the kept sines where they hold. The
// drawing loops add the terms up, in slot order, where the sum need not live across the sine
// calls. k * x in integer arithmetic, 64 bits so that no harmonic number can overflow it.
inline void compute_terms(SynthesisState &state, PlotCache &cache, const PlotFrame &frame,
                          int count, int x) {
    if (count <= 0) {
        return;
    }
    const double reciprocal = 1.0 / state.zoom;
    const auto sine_at = [&](int i) {
        const auto kx = static_cast<double>(static_cast<std::int64_t>(state.harmonic[i]) * x);
        return std::sin(kx * reciprocal - state.shift[i]);
    };
    if (frame.stale_count == count) { // every sine afresh, in one pass as when none were kept
        double *kept = frame.keep != 0 ? cache.column_sine[x].data() : nullptr;
        for (int i = 0; i < count; i++) {
            const double sine = sine_at(i);
            if (kept != nullptr) {
                kept[i] = sine;
            }
            state.term[i] = sine * frame.amplitude[i];
        }
        return;
    }
    std::array<double, HARMONIC_SLOTS> &kept = cache.column_sine[x];
    for (int n = 0; n < frame.stale_count; n++) {
        kept[frame.stale[n]] = sine_at(frame.stale[n]);
    }
    for (int i = 0; i < count; i++) {
        state.term[i] = kept[i] * frame.amplitude[i];
    }
}

// Lists the slots in use whose kept column sines do not hold (all of them on a surface too
// wide to keep, which leaves the cache as it is); they are made afresh this frame and, where
// the surface fits the cache, kept.
void check_kept_sines(const SynthesisState &state, PlotCache &cache, PlotFrame &frame, int count,
                      int w) {
    frame.keep = w <= CACHED_COLUMNS;
    frame.stale_count = 0;
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        const SineInputs now{bits_of(state.shift[i]), bits_of(state.zoom), state.harmonic[i], w};
        SineInputs &kept = cache.column_inputs[i];
        if (i < count && (frame.keep == 0 || std::memcmp(&kept, &now, sizeof now) != 0)) {
            if (frame.keep != 0) {
                kept = now;
            }
            frame.stale[frame.stale_count++] = i;
        }
    }
}

// Rows above the middle for a value, the sum's too.
double rows_of(const PlotFrame &frame, double value) {
    return (value * frame.zoom) * frame.y_scale;
}

double row_value(const PlotFrame &frame, double value) {
    return frame.middle_row - rows_of(frame, value);
}

// Draws the points of the terms, then of their sum.
template <int BPP>
void plot_points(const SynthesisState &state, const PlotFrame &frame, int count, Uint8 *column) {
    double sum = 0.0;
    for (int i = 0; i < count; i++) {
        plot_point<BPP>(frame, column, row_value(frame, state.term[i]), state.harmonic_color[i]);
        sum += state.term[i];
    }
    const double s = rows_of(frame, sum);
    plot_point<BPP>(frame, column, frame.middle_row - s, state.sum_color);
    if (state.thick_curve != 0) {
        plot_point<BPP>(frame, column, frame.upper_row - s, state.sum_color);
        plot_point<BPP>(frame, column, frame.lower_row - s, state.sum_color);
    }
}

// Column 1 of line mode: records the rows the runs of column 2 start from.
void record_rows(SynthesisState &state, const PlotFrame &frame, int count) {
    double sum = 0.0;
    for (int i = 0; i < count; i++) {
        state.last_y[i] = row_of(row_value(frame, state.term[i]));
        sum += state.term[i];
    }
    const double s = rows_of(frame, sum);
    state.last_sum_y = row_of(frame.middle_row - s);
    if (state.thick_curve != 0) {
        state.last_upper_y = row_of(frame.upper_row - s);
        state.last_lower_y = row_of(frame.lower_row - s);
    }
}

// Draws the runs into column (the one before this column's x) and records this x's rows.
template <int BPP>
void plot_lines(SynthesisState &state, const PlotFrame &frame, int count, Uint8 *column) {
    double sum = 0.0;
    for (int i = 0; i < count; i++) {
        plot_run<BPP>(frame, column, state.last_y[i], row_value(frame, state.term[i]),
                      state.harmonic_color[i]);
        sum += state.term[i];
    }
    const double s = rows_of(frame, sum);
    plot_run<BPP>(frame, column, state.last_sum_y, frame.middle_row - s, state.sum_color);
    if (state.thick_curve != 0) {
        plot_run<BPP>(frame, column, state.last_upper_y, frame.upper_row - s, state.sum_color);
        plot_run<BPP>(frame, column, state.last_lower_y, frame.lower_row - s, state.sum_color);
    }
}

template <int BPP>
void plot_column(SynthesisState &state, PlotCache &cache, const PlotFrame &frame, int count,
                 int x) {
    Uint8 *column = frame.pixels + x * BPP;
    if (x % TICK_SPACING == 0) {
        plot_ticks<BPP>(frame, column, state.axis_color);
    }
    compute_terms(state, cache, frame, count, x);
    if (state.line_mode == 0) {
        plot_points<BPP>(state, frame, count, column);
    } else if (x == 1) {
        record_rows(state, frame, count);
    } else {
        plot_lines<BPP>(state, frame, count, column - BPP);
    }
}

// One instance per pixel size, so the store is chosen once per frame; 0 stores nothing.
template <int BPP>
void plot_columns(SynthesisState &state, PlotCache &cache, const PlotFrame &frame, int w) {
    const int count = std::clamp(state.active_count, 0, HARMONIC_SLOTS);
    for (int x = 1; x < w; x++) {
        plot_column<BPP>(state, cache, frame, count, x);
    }
}

PlotFrame make_frame(SDL_Surface &surface, const SynthesisState &state) {
    PlotFrame frame{};
    frame.pixels = static_cast<Uint8 *>(surface.pixels);
    frame.pitch = surface.pitch;
    frame.h = surface.h;
    frame.height = surface.h;
    frame.middle = surface.h / 2;
    frame.middle_row = frame.middle;
    frame.upper_row = frame.middle - 1;
    frame.lower_row = frame.middle + 1;
    frame.zoom = state.zoom;
    frame.y_scale = state.y_scale;
    frame.unit = state.zoom * state.y_scale;
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        frame.amplitude[i] = state.scale[i] / state.harmonic[i];
    }
    return frame;
}

} // namespace

void draw_plot(SDL_Surface &surface, SynthesisState &state, PlotCache &kept) {
    if (state.clear_screen != 0) {
        fill_zero(surface, 0, 0, surface.w, surface.h);
    }
    // Without rows there is no middle row to store into.
    if (surface.w <= 1 || surface.h <= 0) {
        return;
    }
    PlotFrame frame = make_frame(surface, state);
    check_kept_sines(state, kept, frame, std::clamp(state.active_count, 0, HARMONIC_SLOTS),
                     surface.w);
    with_pixel_size(surface.format->BytesPerPixel,
                    [&](auto size) { plot_columns<size.value>(state, kept, frame, surface.w); });
}
