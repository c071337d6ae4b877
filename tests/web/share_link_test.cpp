#include "web/share_link.h"

#include "app/startup.h"
#include "support/described_state.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

namespace {

const SurfacePtr surface = make_surface(8, 8);

SynthesisState start_state(int preset, const char *typed = "\n") {
    HarmonicNumbers harmonic;
    std::FILE *in = fmemopen(const_cast<char *>(typed), std::strlen(typed), "r");
    std::FILE *out = std::fopen("/dev/null", "w");
    fill_harmonic_numbers(preset, in, out, harmonic);
    std::fclose(in), std::fclose(out);
    return init_synthesis_state(*surface->format, harmonic);
}

// Every field a link carries, bit for bit.
void expect_same_picture(const SynthesisState &got, const SynthesisState &want,
                         const std::string &link) {
    const auto same = [](const auto &a, const auto &b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    };
    EXPECT_TRUE(same(got.harmonic, want.harmonic) && same(got.scale, want.scale) &&
                same(got.shift, want.shift) && same(got.shift_speed, want.shift_speed) &&
                same(got.zoom, want.zoom) && same(got.y_scale, want.y_scale))
        << link;
    EXPECT_EQ(std::vector<int>({got.active_count, got.selected, got.show_numbers, got.clear_screen,
                                got.thick_curve, got.line_mode}),
              std::vector<int>({want.active_count, want.selected, want.show_numbers,
                                want.clear_screen, want.thick_curve, want.line_mode}))
        << link;
}

TEST(ShareLink, StoredLinksAreTheReferenceFormat) {
    for (const StoredCase &c : stored_cases("link", 6)) {
        const SynthesisState want = described_state(*surface->format, c.args);
        EXPECT_STREQ(encode_share_link(want).text.data(), c.stored.c_str()) << "line " << c.line;
        SynthesisState got = start_state('b');
        got.sound_on = 1, got.frame_counter = 77, got.latches.enter_latch = 1; // not carried
        const std::string text = (c.line % 2 ? "#" : "") + c.stored; // as location.hash or bare
        ASSERT_EQ(decode_share_link(text, got), ShareLinkStatus::ok) << text;
        expect_same_picture(got, want, c.stored);
        EXPECT_TRUE(got.sound_on == 1 && got.frame_counter == 77 && got.latches.enter_latch == 1 &&
                    got.harmonic_color == want.harmonic_color && got.sum_color == want.sum_color);
    }
}

// Random states, each double any finite bit pattern (subnormals, -0.0, extremes included).
TEST(ShareLink, RandomStatesComeBackBitForBit) {
    std::mt19937_64 rng(23);
    const auto finite = [&] {
        double x;
        do
            x = std::bit_cast<double>(rng() >> (rng() % 3 * 16) << (rng() % 3 * 16));
        while (!std::isfinite(x));
        return x;
    };
    for (int round = 0; round < 1000; round++) {
        SynthesisState s = start_state(round % 2 ? 'b' : 'a');
        for (int i = 0; i < HARMONIC_SLOTS; i++) {
            s.harmonic[i] = round % 3 == 0 ? s.harmonic[i] : int(rng() % 101);
            for (double *x : {&s.scale[i], &s.shift[i], &s.shift_speed[i]})
                *x = rng() % 4 ? *x : finite();
        }
        s.zoom = rng() % 2 ? s.zoom : finite(), s.y_scale = rng() % 2 ? s.y_scale : finite();
        s.active_count = int(rng() % 51), s.selected = int(rng() % 50);
        s.show_numbers = rng() % 2, s.clear_screen = rng() % 2, s.thick_curve = rng() % 2,
        s.line_mode = rng() % 2;
        const ShareFragment link = encode_share_link(s);
        ASSERT_LE(link.length, SHARE_FRAGMENT_LONGEST);
        SynthesisState got = start_state('b');
        ASSERT_EQ(decode_share_link(link.text.data(), got), ShareLinkStatus::ok)
            << link.text.data();
        expect_same_picture(got, s, link.text.data());
    }
}

TEST(ShareLink, HandWrittenLinksStartAsTheDialogue) {
    std::string many = "c=", typed;
    for (int i = 1; i <= 25; i++)
        many += std::to_string(i) + ",", typed += std::to_string(i) + "\n";
    const struct {
        std::string link;
        int preset;
        std::string typed; // the same values as typed on the console
    } cases[] = {
        {"a", 'a', ""},
        {"#b", 'b', ""},
        {"c=1,3,5,7", 'c', "1\n3\n5\n7\n"},
        {"c", 'c', ""},
        {"#c=", 'c', ""},
        {"c=0x10,%20010,,-3%20101 7abc,5", 'c', "0x10 010 -3 101 7abc 5"},
        {many, 'c', typed},
    };
    for (const auto &c : cases) {
        SynthesisState got = start_state('b');
        got.harmonic.fill(-1);
        ASSERT_EQ(decode_share_link(c.link, got), ShareLinkStatus::ok) << c.link;
        expect_same_picture(got, start_state(c.preset, (c.typed + "\n").c_str()), c.link);
    }
}

TEST(ShareLink, LinksStayShort) {
    // The stored link of the third of five slots drifting, 100 frames on.
    SynthesisState s = described_state(*surface->format, stored_cases("link", 6)[1].args);
    const std::string page = "https://schulen.example.de/kurvello.html#"; // 40 and the #
    EXPECT_LE(page.size() + encode_share_link(s).length, 100u);

    // The longest: 50 listed numbers and every value in its full eight bytes.
    const auto full = [](std::uint64_t bits) { return std::bit_cast<double>(bits); };
    for (int i = 0; i < HARMONIC_SLOTS; i++)
        s.harmonic[i] = 100 - i, s.scale[i] = full(0x3FF0000000000001u + i),
        s.shift[i] = full(0xBFF0000000000001u + i), s.shift_speed[i] = full(1u + i);
    s.zoom = full(0x4062C00000000001u), s.y_scale = full(0x3FF0000000000101u);
    const ShareFragment longest = encode_share_link(s);
    EXPECT_EQ(longest.length, SHARE_FRAGMENT_LONGEST);
    EXPECT_LE(longest.length, 1800);
    SynthesisState got = start_state('b');
    EXPECT_EQ(decode_share_link(longest.text.data(), got), ShareLinkStatus::ok);
    expect_same_picture(got, s, "longest");
}

TEST(ShareLink, BadLinksSayWhyAndChangeNothing) {
    using enum ShareLinkStatus;
    SynthesisState s = start_state('a');
    s.selected = 2, s.shift[2] = 1.0000000000000007, s.shift_speed[2] = 0.01;
    const std::string link = encode_share_link(s).text.data(), body = link.substr(2),
                      start = encode_share_link(start_state('a')).text.data(); // 20 after k1
    std::vector<std::pair<std::string, ShareLinkStatus>> cases = {
        // clang-format off
        {"", foreign}, {"#", foreign}, {"#top", foreign}, {"k", foreign}, {"kx1AQ", foreign},
        {"A", foreign}, {"ab", foreign}, {"cab", foreign}, {"a=1", foreign}, {"##a", foreign},
        {"k2" + body, later_version}, {"k0" + body, later_version}, {"#k9", later_version},
        {std::string(SHARE_LINK_LIMIT + 1, 'a'), too_long},
        {"#k1" + std::string(SHARE_LINK_LIMIT - 1, 'A'), too_long},
        {"c=" + std::string(SHARE_LINK_LIMIT - 1, '1'), too_long},
        {"#k1" + std::string(SHARE_LINK_LIMIT - 2, 'A'), damaged},
        {link + "A", damaged}, {link + "AA", damaged}, {link + "=", damaged}, {start + "A", damaged},
        // clang-format on
    };
    for (size_t n = 2; n < link.size(); n++)
        cases.push_back({link.substr(0, n), damaged});
    for (size_t at = 2; at < link.size(); at++)
        for (char c = ' '; c <= '~'; c++) // every printable character
            if (c != link[at])
                cases.push_back({link.substr(0, at) + c + link.substr(at + 1), damaged});
    // Bytes with a correct check but a layout that does not hold: a preset a head, then the
    // slot mask. Values out of range come from the encoder below.
    const std::vector<std::uint8_t> payloads[] = {
        // clang-format off
        {0x31, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x41, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {0x01, 10, 0, 0x10, 0, 0, 0, 0, 0, 0, 0}, {0x21, 10, 0, 0, 51},
        {0x01, 10, 0, 0, 0, 0, 0, 0, 0, 0, 4}, {0x01, 10, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0x40},
        {0x01, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x01, 10, 0, 0, 0, 0, 0, 0, 0, 0},
        {0x01, 10, 0, 1, 0x40},
        // clang-format on
    };
    for (const std::vector<std::uint8_t> &p : payloads)
        cases.push_back({share_fragment_of(p.data(), int(p.size())).text.data(), damaged});
    // What no state of the program holds, written by the encoder all the same.
    const auto broken = [&](auto edit, ShareLinkStatus status) {
        SynthesisState b = s;
        edit(b);
        cases.push_back({encode_share_link(b).text.data(), status});
    };
    for (int i : {0, 19, 49})
        for (double x : {INFINITY, -INFINITY, NAN, -NAN}) {
            broken([&](SynthesisState &b) { b.scale[i] = x; }, not_finite);
            broken([&](SynthesisState &b) { b.shift[i] = x; }, not_finite);
            broken([&](SynthesisState &b) { b.shift_speed[i] = x; }, not_finite);
            broken([&](SynthesisState &b) { b.zoom = x; }, not_finite);
            broken([&](SynthesisState &b) { b.y_scale = x; }, not_finite);
            broken([&](SynthesisState &b) { b.harmonic[i] = 101 + i; }, harmonic_range);
            broken([&](SynthesisState &b) { b.harmonic[i] = -1; }, harmonic_range);
        }
    broken([](SynthesisState &b) { b.active_count = 51; }, count_range);
    broken([](SynthesisState &b) { b.selected = 50; }, selected_range);

    std::set<std::string> lines;
    SynthesisState got = start_state('b'), before;
    std::memcpy(&before, &got, sizeof got);
    for (const auto &[text, status] : cases) {
        ASSERT_EQ(decode_share_link(text, got), status) << text;
        ASSERT_EQ(std::memcmp(&got, &before, sizeof got), 0) << text;
        lines.insert(share_link_message(status));
    }
    EXPECT_EQ(lines.size(), 8u); // one distinct line for each reason
    for (const std::string &line : lines)
        EXPECT_TRUE(!line.empty() && line.find('\n') == std::string::npos) << line;
}

} // namespace
