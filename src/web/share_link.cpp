#include "web/share_link.h"

#include "app/sine_inputs.h"
#include "app/startup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr char MARK = 'k';
constexpr char VERSION = '1';
constexpr std::string_view BASE64URL =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int CHECK_BYTES = 4;
constexpr int SLOT_MASK_BYTES = 7;
constexpr int FORM_BYTES[] = {0, 2, 4, 8}; // bytes written for a value of each form
constexpr int PRESET_A = 0;                // harmonic forms, bits 4-5 of the flags
constexpr int PRESET_B = 1;
constexpr int LISTED = 2;
constexpr int HIGHEST_HARMONIC = 100;
constexpr int TOGGLES = 4; // show_numbers, clear_screen, thick_curve, line_mode

// Version 1's base values, the program's start values when it was made; old links keep
// their meaning only while these stay.
constexpr double BASE_SCALE = 1.0;
constexpr double BASE_SHIFT = 0.0;
constexpr double BASE_SHIFT_SPEED = 0.0;
constexpr double BASE_ZOOM = 150.0;
constexpr double BASE_Y_SCALE = 1.0;

// Every field a link carries, read in full before any of it reaches the state.
struct LinkFields {
    HarmonicNumbers harmonic;        // 0..100 once checked
    SlotValues scale;                // amplitude factor
    SlotValues shift;                // radians
    SlotValues shift_speed;          // radians per frame
    double zoom;                     // pixels per unit
    double y_scale;                  // extra vertical factor
    int active_count;                // 0..50 once checked
    int selected;                    // 0..49 once checked
    std::array<int, TOGGLES> toggle; // 0 or 1, in the order of the flag bits
};

struct ByteWriter {
    std::array<std::uint8_t, SHARE_PAYLOAD_LONGEST> bytes; // the payload so far
    int size;                                              // bytes written
};

struct ByteReader {
    const std::uint8_t *bytes; // the payload without its check
    int size;                  // its bytes
    int at;                    // the next byte to read
    bool overrun;              // a read past the end: the link was cut short
};

std::uint32_t crc32(const std::uint8_t *bytes, int size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// The shortest form that keeps the value bit for bit.
int form_of(double value, double base) {
    const std::uint64_t bits = bits_of(value);
    if (bits == bits_of(base)) {
        return 0;
    }
    return (bits << 16) == 0 ? 1 : (bits << 32) == 0 ? 2 : 3;
}

void put(ByteWriter &out, int byte) {
    out.bytes[out.size++] = static_cast<std::uint8_t>(byte);
}

void put_value(ByteWriter &out, double value, int form) {
    const std::uint64_t bits = bits_of(value);
    for (int i = 0; i < FORM_BYTES[form]; i++) {
        put(out, static_cast<int>(bits >> (56 - 8 * i) & 0xFF));
    }
}

int take(ByteReader &in) {
    if (in.at >= in.size) {
        in.overrun = true;
        return 0;
    }
    return in.bytes[in.at++];
}

double take_value(ByteReader &in, int form, double base) {
    if (form == 0) {
        return base;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < FORM_BYTES[form]; i++) {
        bits |= static_cast<std::uint64_t>(take(in)) << (56 - 8 * i);
    }
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Strict: only the alphabet, no length that leaves six bits over, unused bits 0, so that
// every edited character changes the bytes and the check sees it.
bool read_base64url(std::string_view text, std::uint8_t *bytes, int &size) {
    std::uint32_t pending = 0; // bits not yet a whole byte, in the low end
    int pending_bits = 0;
    size = 0;
    for (const char c : text) {
        const std::size_t value = BASE64URL.find(c);
        if (value == std::string_view::npos) {
            return false;
        }
        pending = pending << 6 | static_cast<std::uint32_t>(value);
        pending_bits += 6;
        if (pending_bits >= 8) {
            pending_bits -= 8;
            bytes[size++] = static_cast<std::uint8_t>(pending >> pending_bits);
            pending &= (1u << pending_bits) - 1;
        }
    }
    return pending_bits < 6 && pending == 0;
}

bool read_fields(ByteReader &in, LinkFields &f) {
    const int flags = take(in);
    for (int t = 0; t < TOGGLES; t++) {
        f.toggle[t] = flags >> t & 1;
    }
    f.active_count = take(in);
    f.selected = take(in);
    const int view = take(in);
    const int harmonic_form = flags >> 4 & 3;
    if (flags >> 6 != 0 || view >> 4 != 0 || harmonic_form > LISTED) {
        return false;
    }
    if (harmonic_form == LISTED) {
        const int listed = take(in);
        if (listed > HARMONIC_SLOTS) {
            return false;
        }
        f.harmonic.fill(0);
        for (int i = 0; i < listed; i++) {
            f.harmonic[i] = take(in);
        }
    } else {
        fill_harmonic_numbers(harmonic_form == PRESET_A ? 'a' : 'b', nullptr, nullptr, f.harmonic);
    }
    f.zoom = take_value(in, view & 3, BASE_ZOOM);
    f.y_scale = take_value(in, view >> 2 & 3, BASE_Y_SCALE);
    std::array<int, SLOT_MASK_BYTES> mask;
    for (int &byte : mask) {
        byte = take(in);
    }
    if (mask.back() >> (HARMONIC_SLOTS % 8) != 0) {
        return false;
    }
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        const int forms = (mask[i / 8] >> (i % 8) & 1) != 0 ? take(in) : 0;
        if (forms >> 6 != 0) {
            return false;
        }
        f.scale[i] = take_value(in, forms & 3, BASE_SCALE);
        f.shift[i] = take_value(in, forms >> 2 & 3, BASE_SHIFT);
        f.shift_speed[i] = take_value(in, forms >> 4 & 3, BASE_SHIFT_SPEED);
    }
    return true;
}

// What the program itself can never hold, in the order of the fields.
ShareLinkStatus check_ranges(const LinkFields &f) {
    for (const int k : f.harmonic) {
        if (k < 0 || k > HIGHEST_HARMONIC) {
            return ShareLinkStatus::harmonic_range;
        }
    }
    if (f.active_count < 0 || f.active_count > HARMONIC_SLOTS) {
        return ShareLinkStatus::count_range;
    }
    if (f.selected < 0 || f.selected >= HARMONIC_SLOTS) {
        return ShareLinkStatus::selected_range;
    }
    bool finite = std::isfinite(f.zoom) && std::isfinite(f.y_scale);
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        finite = finite && std::isfinite(f.scale[i]) && std::isfinite(f.shift[i]) &&
                 std::isfinite(f.shift_speed[i]);
    }
    return finite ? ShareLinkStatus::ok : ShareLinkStatus::not_finite;
}

ShareLinkStatus read_payload(std::string_view text, LinkFields &fields) {
    std::array<std::uint8_t, SHARE_PAYLOAD_LONGEST> bytes;
    int size = 0;
    if (text.size() > SHARE_FRAGMENT_LONGEST - 2 || !read_base64url(text, bytes.data(), size) ||
        size < CHECK_BYTES) {
        return ShareLinkStatus::damaged;
    }
    size -= CHECK_BYTES;
    std::uint32_t check = 0;
    for (int i = 0; i < CHECK_BYTES; i++) {
        check = check << 8 | bytes[size + i];
    }
    ByteReader in{bytes.data(), size, 0, false};
    if (check != crc32(bytes.data(), size) || !read_fields(in, fields) || in.overrun ||
        in.at != size) {
        return ShareLinkStatus::damaged;
    }
    return check_ranges(fields);
}

// "c=..." as the console dialogue reads typed numbers: commas and "%20" become blanks, and
// the end of the text is the end of input.
ShareLinkStatus read_typed_link(std::string_view list, HarmonicNumbers &harmonic) {
    std::array<char, SHARE_LINK_LIMIT + 1> typed;
    std::size_t size = 0;
    for (std::size_t i = 0; i < list.size(); i++) {
        const bool escaped_blank = list.substr(i, 3) == "%20";
        typed[size++] = list[i] == ',' || escaped_blank ? ' ' : list[i];
        i += escaped_blank ? 2 : 0;
    }
    typed[size++] = '\n';        // the Enter, so the stream is never empty
    std::array<char, 1024> echo; // the dialogue's prompts and echoes, about 400 bytes, unshown
    std::FILE *in = fmemopen(typed.data(), size, "r");
    std::FILE *out = fmemopen(echo.data(), echo.size(), "w");
    HarmonicNumbers read{};
    if (in != nullptr && out != nullptr) {
        fill_harmonic_numbers('c', in, out, read);
    }
    const bool opened = in != nullptr && out != nullptr;
    for (std::FILE *stream : {in, out}) {
        if (stream != nullptr) {
            std::fclose(stream);
        }
    }
    if (!opened) {
        return ShareLinkStatus::damaged; // only without memory for two small streams
    }
    harmonic = read;
    return ShareLinkStatus::ok;
}

void store_fields(const LinkFields &f, SynthesisState &state) {
    state.harmonic = f.harmonic;
    state.scale = f.scale;
    state.shift = f.shift;
    state.shift_speed = f.shift_speed;
    state.zoom = f.zoom;
    state.y_scale = f.y_scale;
    state.active_count = f.active_count;
    state.selected = f.selected;
    state.show_numbers = f.toggle[0];
    state.clear_screen = f.toggle[1];
    state.thick_curve = f.toggle[2];
    state.line_mode = f.toggle[3];
}

} // namespace

ShareFragment share_fragment_of(const std::uint8_t *payload, int size) {
    ByteWriter out{};
    out.size = std::clamp(size, 0, SHARE_PAYLOAD_LONGEST - CHECK_BYTES);
    std::copy(payload, payload + out.size, out.bytes.begin());
    const std::uint32_t check = crc32(out.bytes.data(), out.size);
    for (int i = CHECK_BYTES - 1; i >= 0; i--) {
        put(out, static_cast<int>(check >> (8 * i) & 0xFF));
    }
    ShareFragment fragment{};
    fragment.text[fragment.length++] = MARK;
    fragment.text[fragment.length++] = VERSION;
    std::uint32_t pending = 0;
    int pending_bits = 0;
    for (int i = 0; i < out.size; i++) {
        pending = pending << 8 | out.bytes[i];
        pending_bits += 8;
        while (pending_bits >= 6) {
            pending_bits -= 6;
            fragment.text[fragment.length++] = BASE64URL[pending >> pending_bits & 63];
        }
    }
    if (pending_bits > 0) {
        fragment.text[fragment.length++] = BASE64URL[pending << (6 - pending_bits) & 63];
    }
    fragment.text[fragment.length] = '\0';
    return fragment;
}

ShareFragment encode_share_link(const SynthesisState &s) {
    HarmonicNumbers preset_a;
    HarmonicNumbers preset_b;
    fill_harmonic_numbers('a', nullptr, nullptr, preset_a);
    fill_harmonic_numbers('b', nullptr, nullptr, preset_b);
    const int harmonic_form = s.harmonic == preset_a   ? PRESET_A
                              : s.harmonic == preset_b ? PRESET_B
                                                       : LISTED;
    const int zoom_form = form_of(s.zoom, BASE_ZOOM);
    const int y_scale_form = form_of(s.y_scale, BASE_Y_SCALE);

    ByteWriter out{};
    const int toggle[TOGGLES] = {s.show_numbers, s.clear_screen, s.thick_curve, s.line_mode};
    int flags = harmonic_form << 4;
    for (int t = 0; t < TOGGLES; t++) {
        flags |= (toggle[t] != 0) << t;
    }
    put(out, flags);
    put(out, s.active_count);
    put(out, s.selected);
    put(out, zoom_form | y_scale_form << 2);
    if (harmonic_form == LISTED) {
        int listed = HARMONIC_SLOTS;
        while (listed > 0 && s.harmonic[listed - 1] == 0) {
            listed--;
        }
        put(out, listed);
        for (int i = 0; i < listed; i++) {
            put(out, s.harmonic[i]);
        }
    }
    put_value(out, s.zoom, zoom_form);
    put_value(out, s.y_scale, y_scale_form);

    std::array<int, HARMONIC_SLOTS> forms;
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        forms[i] = form_of(s.scale[i], BASE_SCALE) | form_of(s.shift[i], BASE_SHIFT) << 2 |
                   form_of(s.shift_speed[i], BASE_SHIFT_SPEED) << 4;
    }
    for (int byte = 0; byte < SLOT_MASK_BYTES; byte++) {
        int mask = 0;
        for (int bit = 0; bit < 8 && byte * 8 + bit < HARMONIC_SLOTS; bit++) {
            mask |= (forms[byte * 8 + bit] != 0) << bit;
        }
        put(out, mask);
    }
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        if (forms[i] != 0) {
            put(out, forms[i]);
            put_value(out, s.scale[i], forms[i] & 3);
            put_value(out, s.shift[i], forms[i] >> 2 & 3);
            put_value(out, s.shift_speed[i], forms[i] >> 4 & 3);
        }
    }
    return share_fragment_of(out.bytes.data(), out.size);
}

ShareLinkStatus decode_share_link(std::string_view fragment, SynthesisState &state) {
    if (fragment.starts_with('#')) {
        fragment.remove_prefix(1);
    }
    if (fragment.size() > SHARE_LINK_LIMIT) {
        return ShareLinkStatus::too_long;
    }
    if (fragment == "a" || fragment == "b") {
        fill_harmonic_numbers(fragment[0], nullptr, nullptr, state.harmonic);
        return ShareLinkStatus::ok;
    }
    if (fragment == "c" || fragment.starts_with("c=")) {
        return read_typed_link(fragment.substr(1 + (fragment.size() > 1)), state.harmonic);
    }
    if (fragment.size() < 2 || fragment[0] != MARK || fragment[1] < '0' || fragment[1] > '9') {
        return ShareLinkStatus::foreign;
    }
    if (fragment[1] != VERSION) {
        return ShareLinkStatus::later_version;
    }
    LinkFields fields;
    const ShareLinkStatus status = read_payload(fragment.substr(2), fields);
    if (status == ShareLinkStatus::ok) {
        store_fields(fields, state);
    }
    return status;
}

const char *share_link_message(ShareLinkStatus status) {
    switch (status) {
    case ShareLinkStatus::ok:
        break;
    case ShareLinkStatus::damaged:
        return "Der Link ist unvollständig oder beschädigt.";
    case ShareLinkStatus::later_version:
        return "Der Link stammt aus einer neueren Version von Kurvello.";
    case ShareLinkStatus::too_long:
        return "Der Link ist zu lang.";
    case ShareLinkStatus::foreign:
        return "Der Teil nach # ist kein Kurvello-Link.";
    case ShareLinkStatus::harmonic_range:
        return "Der Link enthält eine Oberwellenzahl außerhalb von 0 bis 100.";
    case ShareLinkStatus::count_range:
        return "Der Link nennt mehr als 50 benutzte Koeffizienten.";
    case ShareLinkStatus::selected_range:
        return "Der Link wählt einen Koeffizienten hinter Platz 50.";
    case ShareLinkStatus::not_finite:
        return "Der Link enthält einen Wert, der keine endliche Zahl ist.";
    }
    return "";
}
