// Any key stream and typed values give preset a, b, or twenty values in range, then zeros.
#include "app/startup.h"

#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    int fds[2];
    if (size > 60000 || pipe(fds) != 0) // within one pipe buffer
        return 0;
    if (size > 0 && write(fds[1], data, size) != static_cast<ssize_t>(size))
        std::abort();
    close(fds[1]);
    std::FILE *in = fdopen(dup(fds[0]), "r"), *out = std::fopen("/dev/null", "w");
    HarmonicNumbers h{};
    bool a = true, b = true, typed = true;
    if (choose_harmonic_numbers(fds[0], in, out, h))
        for (int i = 0; i < HARMONIC_SLOTS; i++) {
            a = a && h[i] == 2 * i + 1, b = b && h[i] == i + 1;
            typed = typed && (i < 20 ? h[i] >= 1 && h[i] <= 100 : h[i] == 0);
        }
    if (!a && !b && !typed)
        std::abort();
    std::fclose(out), std::fclose(in), close(fds[0]);
    return 0;
}
