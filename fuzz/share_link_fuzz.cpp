// Any text, or any bytes behind a correct check, into the link decoder: a failure leaves the
// state as it was; a success encodes again, within the limit, to the same state.
#include "web/share_link.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static SDL_Surface *surface = SDL_CreateRGBSurface(0, 1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    static const auto start =
        std::make_unique<SynthesisState>(init_synthesis_state(*surface->format, HarmonicNumbers{}));
    static const auto once = std::make_unique<SynthesisState>();
    static const auto twice = std::make_unique<SynthesisState>();
    if (size == 0)
        return 0;
    // First byte odd: the rest are payload bytes, wrapped with their check, to reach the layout.
    const ShareFragment wrapped =
        share_fragment_of(data + 1, static_cast<int>(std::min<std::size_t>(size - 1, 2000)));
    const std::string_view text =
        data[0] % 2 == 1 ? std::string_view(wrapped.text.data(), wrapped.length)
                         : std::string_view(reinterpret_cast<const char *>(data + 1), size - 1);
    std::memcpy(once.get(), start.get(), sizeof *once);
    if (decode_share_link(text, *once) != ShareLinkStatus::ok) {
        if (std::memcmp(once.get(), start.get(), sizeof *once) != 0)
            std::abort(); // a failed link changed the state
        return 0;
    }
    const ShareFragment again = encode_share_link(*once);
    if (again.length > SHARE_FRAGMENT_LONGEST || again.length > 1800)
        std::abort();
    std::memcpy(twice.get(), start.get(), sizeof *twice);
    if (decode_share_link(std::string_view(again.text.data(), again.length), *twice) !=
            ShareLinkStatus::ok ||
        std::memcmp(once.get(), twice.get(), sizeof *once) != 0)
        std::abort(); // the state's own link is not the same state
    return 0;
}
