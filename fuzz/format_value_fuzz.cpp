// Every double gives a text of at most 7 characters made of the font's glyphs and a
// space sign cell.
#include "draw/text.h"
#include "draw/value_text.h"
#include "fuzz_input.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzInput in{data, size};
    const double value = take_double(in);
    const ValueText text = format_value(value);
    const std::size_t length = strnlen(text.data(), text.size());
    if (length == 0 || length > VALUE_TEXT_LENGTH) {
        std::abort();
    }
    if (text[0] != ' ' && text[0] != '-') {
        std::abort();
    }
    for (std::size_t i = 1; i < length; i++) {
        if (glyph_index(text[i]) < 0) {
            std::abort();
        }
    }
    return 0;
}
