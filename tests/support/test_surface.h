// In-memory surfaces, digests and key states for the unit tests.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

// A software surface with red, green and blue masks: 3-3-2, 5-6-5, or 8 bits each.
inline SurfacePtr make_surface(int w, int h, int bits = 32) {
    const Uint32 masks[] = {0xE0, 0x1C, 0x03, 0xF800, 0x07E0, 0x1F, 0xFF0000, 0xFF00, 0xFF};
    const Uint32 *m = masks + (bits == 8 ? 0 : bits == 16 ? 3 : 6);
    return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, m[0], m[1], m[2], 0),
                      SDL_FreeSurface);
}

// FNV-1a, 64 bits: the digest the tests' stored values were computed with.
inline std::uint64_t fnv1a(const void *data, std::size_t size,
                           std::uint64_t hash = 0xcbf29ce484222325u) {
    for (std::size_t i = 0; i < size; i++)
        hash = (hash ^ static_cast<const Uint8 *>(data)[i]) * 0x100000001b3u;
    return hash;
}

// The digest of a surface's pixel bytes, row by row, padding left out.
inline std::uint64_t digest(const SDL_Surface &s) {
    std::uint64_t hash = fnv1a(nullptr, 0);
    for (int y = 0; y < s.h; y++)
        hash = fnv1a(static_cast<const Uint8 *>(s.pixels) + y * s.pitch,
                     s.w * s.format->BytesPerPixel, hash);
    return hash;
}

// The stored value at (x, y).
inline Uint32 pixel_at(const SDL_Surface &s, int x, int y) {
    const Uint8 *p =
        static_cast<const Uint8 *>(s.pixels) + y * s.pitch + x * s.format->BytesPerPixel;
    Uint32 value = 0; // low byte first on this little-endian machine
    std::memcpy(&value, p, s.format->BytesPerPixel);
    return value;
}

using Pixels = std::set<std::pair<int, int>>; // (column, row)

inline Pixels inked_pixels(const SDL_Surface &s) { // where the surface is not 0
    Pixels found;
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++)
            if (pixel_at(s, x, y) != 0)
                found.insert({x, y});
    return found;
}

// What SDL_GetKeyState returns: one entry per key symbol, 1 while it is down.
using KeyState = std::array<Uint8, SDLK_LAST>;

// A line of the references' stored cases: its number, kind, stored value and arguments.
struct StoredCase {
    int line;
    std::string kind, stored;
    std::vector<std::string> args;
};

// The cases of one kind, in the order of the file, which lists count of them: a case lost, or
// its kind misspelt, fails the test that reads them.
inline std::vector<StoredCase> stored_cases(const std::string &kind, std::size_t count) {
    std::ifstream file(KURVELLO_REFERENCE_DIR "/expected.txt");
    std::vector<StoredCase> found;
    std::string line;
    for (int number = 1; std::getline(file, line); number++) {
        std::istringstream fields(line.substr(0, line.find('#')));
        StoredCase c{number, "", "", {}};
        fields >> c.kind >> c.stored;
        for (std::string arg; fields >> arg;)
            c.args.push_back(arg);
        if (c.kind == kind)
            found.push_back(c);
    }
    EXPECT_EQ(found.size(), count) << kind << " cases in expected.txt";
    return found;
}

// For a failed case: writes the bytes the test got into the working (build) folder, where
// the reference adds its own picture or loop, and returns the first difference it names.
inline std::string reference_difference(const StoredCase &c, const void *got, std::size_t size) {
    const std::string name = "reference-" + std::to_string(c.line) + ".got";
    std::ofstream(name, std::ios::binary).write(static_cast<const char *>(got), size);
    const std::string command = "/usr/bin/python3 " KURVELLO_REFERENCE_DIR "/reference.py show " +
                                std::to_string(c.line) + ' ' + name;
    std::string said = "line " + std::to_string(c.line) + " of expected.txt, " + name + ": ";
    if (std::FILE *pipe = popen(command.c_str(), "r")) {
        for (int ch; (ch = std::fgetc(pipe)) != EOF;)
            said += char(ch);
        pclose(pipe);
    }
    return said;
}
