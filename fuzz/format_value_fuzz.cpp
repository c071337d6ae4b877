// Every double gives a text of at most 7 characters: a sign cell, then glyphs of the font.
#include "draw/text.h"
#include "draw/value_text.h"
#include "fuzz_input.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzInput in{data, size};
    const ValueText text = format_value(take_double(in));
    const std::size_t length = strnlen(text.data(), text.size());
    bool fits = length > 0 && length <= VALUE_TEXT_LENGTH && (text[0] == ' ' || text[0] == '-');
    for (std::size_t i = 1; i < length; i++)
        fits = fits && glyph_index(text[i]) >= 0;
    if (!fits)
        std::abort();
    return 0;
}
