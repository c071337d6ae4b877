// The picture on screen as the fragment of a link, and back: the page shares a run by URL.
//
// A fragment is the text after '#'. encode_share_link writes it without the '#';
// decode_share_link takes it with or without one, as location.hash or the bare text.
//
// Written by hand, setting only the harmonic numbers (every other field keeps the start
// value init_synthesis_state gave it):
//   "a", "b"     that preset;
//   "c=1,3,5,7"  preset c with those numbers, read as the console dialogue reads typed ones
//                ("%i" forms such as 0x10 and 010; outside 1..100 becomes 1; missing or
//                unreadable ones become 1 as at the end of input; past the twentieth
//                ignored); commas, blanks and "%20" separate them. "c" alone is all 1.
//
// Made by the page, version 1: "k1" (k, then the version digit), then base64url (RFC 4648
// section 5, no padding, unused low bits 0) of these bytes:
//   flags         bit 0 show_numbers, 1 clear_screen, 2 thick_curve, 3 line_mode;
//                 bits 4-5 the harmonic numbers: 0 preset a, 1 preset b, 2 listed; 6-7 zero
//   active_count  one byte
//   selected      one byte
//   view forms    bits 0-1 zoom's form, 2-3 y_scale's form, 4-7 zero
//   listed only:  n (0..50), then the harmonic numbers of slots 0..n-1, a byte each;
//                 slots n..49 hold 0
//   zoom, y_scale each as its form says
//   slot mask     7 bytes: bit i % 8 of byte i / 8 set where slot i has a value other than
//                 its base; bits 50..55 zero
//   per such slot in ascending order: a forms byte (bits 0-1 scale, 2-3 shift, 4-5
//                 shift_speed, 6-7 zero), then those values in that order
//   check         CRC-32 (as zlib's crc32) of every byte before it, 4 bytes high first
// A value's form: 0 its base value, not written; 1, 2, 3 the first 2, 4 or 8 bytes of its
// IEEE 754 bits, high byte first, the bytes left out 0. Base values: scale 1.0, shift 0.0,
// shift_speed 0.0, zoom 150.0, y_scale 1.0, fixed for version 1 whatever the program's start
// values become. A later version writes another digit after the k.
//
// Toggles are bits, so no link holds a toggle other than 0 or 1; sound_on, the colours,
// the latches and frame_counter are not carried.
#pragma once

#include "app/synthesis_state.h"

#include <array>
#include <cstdint>
#include <string_view>

constexpr int SHARE_LINK_LIMIT = 2000; // characters of a whole link that chats and QR codes keep

// Bytes of the longest payload: head, 50 listed numbers, zoom and y_scale, slot mask, every
// slot with its forms and three full values, check.
constexpr int SHARE_PAYLOAD_LONGEST =
    4 + 1 + HARMONIC_SLOTS + 2 * 8 + 7 + HARMONIC_SLOTS * (1 + 3 * 8) + 4;
// Characters of the longest fragment: the mark and the payload in base64url.
constexpr int SHARE_FRAGMENT_LONGEST = 2 + (SHARE_PAYLOAD_LONGEST * 4 + 2) / 3;

// What became of a fragment; share_link_message gives each its line.
enum class ShareLinkStatus {
    ok,             // read: the state shows the picture
    damaged,        // cut short or edited: not base64url, wrong length, check or layout wrong
    later_version,  // made by a later version of the page
    too_long,       // longer than SHARE_LINK_LIMIT
    foreign,        // not a picture link at all: empty, another anchor such as "#top"
    harmonic_range, // a harmonic number outside 0..100
    count_range,    // active_count outside 0..50
    selected_range, // selected outside 0..49
    not_finite,     // a scale, shift, shift speed, zoom or y_scale infinite or not a number
};

struct ShareFragment {
    std::array<char, SHARE_FRAGMENT_LONGEST + 1> text; // the fragment without '#', NUL-ended
    int length;                                        // characters before the NUL
};

// Returns the fragment of the state's carried fields, in version 1's shortest form.
ShareFragment encode_share_link(const SynthesisState &state);

// Returns the fragment of version-1 bytes without their check (at most
// SHARE_PAYLOAD_LONGEST - 4): the mark, then the bytes and their check in base64url.
ShareFragment share_fragment_of(const std::uint8_t *payload, int size);

// Reads a fragment into the carried fields of a state made by init_synthesis_state and
// returns ok; on any other status the state is left exactly as it was.
ShareLinkStatus decode_share_link(std::string_view fragment, SynthesisState &state);

// Returns the status's German line for the page in UTF-8, "" for ok.
const char *share_link_message(ShareLinkStatus status);
