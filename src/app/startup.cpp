#include "app/startup.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int SURFACE_WIDTH = 1024;
constexpr int SURFACE_HEIGHT = 768;
constexpr int TYPED_VALUES = 20;
constexpr int LOWEST_TYPED = 1;
constexpr int HIGHEST_TYPED = 100;

// Latin-1, one write each; the title's web address starts in column 38.
constexpr const char *HELP_TEXTS[] = {
    ("Quorvin's Kurvello                   https://kurvello.example.org     "
     "kurvello@example.org\n\n"),
    "KURZHILFE:              Beenden mit ESC                mehr Hilfe in readme.txt\n",
    "c - Clearscreen ein/ausschalten     z - Zahlenausgabe ein/ausschalten\n",
    "d - Kurve dicker zeichnen           r - Reset         alle Werte ruecksetzen\n",
    "     Werte bearbeiten: (mit shift schnellere Wertaenderung/Skalierung)\n",
    "NUMPAD 0...9  - Koeffizient  1 - 10 ausw\xE4hlen\n",
    "NUMPAD + / -  - aktuellen Koeffizient skalieren\n",
    "NUMPAD ENTER  - aktuellen Koeffizient ein/ausschalten (mit 0.0 / 1.0 skalieren)\n",
    "CURSOR hoch   - aktuellen Koeffizient \"einschalten\" (mit 1.0 skalieren)\n",
    "CURSOR runter - aktuellen Koeffizient \"ausschalten\" (mit 0.0 skalieren)\n",
    "CURSOR links  - aktuellen Koeffizient wechseln (niedrigeren auswaehlen)\n",
    "CURSOR rechts - aktuellen Koeffizient wechseln (hoeheren auswaehlen)\n",
    "BILD AUF/AB   - y-Achse skalieren\n",
    "     bei gedrueckter STRG-Taste:\n",
    "NUMPAD 0...9 - Koeffizient  1 - 10 ausw\xE4hlen    (11 - 20 mit shift)\n",
    "NUMPAD + -   - Verschiebung des aktuellen Koeffizienten (x-Achse) beschleunigen\n",
    "CURSOR up/dn - Anzahl der verwendeten/angezeigten Koeffizienten um 10 aendern\n",
    "CURSOR li/re - Anzahl der verwendeten/angezeigten Koeffizienten um 1 erhoehen\n",
    "BILD  AUF/AB - Zoom (x- und y-Achse skalieren)\n",
    "\n               Bitte  Graph waehlen...  (a, b, c druecken)\n",
    "a:   sin(x) + 1/3 sin(3x) + 1/5 sin(5x)... (50 Koeff. 1,3,5,7...99)\n",
    "b:   sin(x) + 1/2 sin(2x) + 1/3 sin(3x)... (50 Koeff. 1,2,3,4...50)\n",
    "c:   20 eigene Koeffizienten zwischen 1 und 100 eingeben (restliche =0)",
};

[[noreturn]] void die_with_sdl_error(const char *what) {
    std::fprintf(stderr, "%s: %s\n", what, SDL_GetError());
    std::exit(1);
}

// Where a console would wait for the next line: nothing but blanks left to read.
bool only_blanks_left(std::FILE *in) {
    int c = std::getc(in);
    while (is_blank(c)) {
        c = std::getc(in);
    }
    if (c == EOF) {
        return true;
    }
    std::ungetc(c, in);
    return false;
}

// Slot n-1 keeps 0 when nothing could be read; out of range, that too becomes 1. With
// stop_at_wait (in may then be null) it ends at the prompt where a console would wait.
// Returns whether all twenty were read.
bool read_typed_values(std::FILE *in, std::FILE *out, HarmonicNumbers &harmonic,
                       bool stop_at_wait) {
    std::fputs("\nBitte geben sie 20 Werte (zwischen 1 und 100) gefolgt von Enter ein. \n", out);
    for (int n = 1; n <= TYPED_VALUES; n++) {
        int &slot = harmonic[n - 1];
        std::fprintf(out, "\n%i. Wert: ", n);
        std::fflush(out);
        if (stop_at_wait && (in == nullptr || only_blanks_left(in))) {
            return false;
        }
        read_typed_integer(in, slot);
        if (slot < LOWEST_TYPED || slot > HIGHEST_TYPED) {
            slot = 1;
        }
        std::fprintf(out, " %i", slot);
    }
    std::fflush(out);
    return true;
}

} // namespace

bool wants_full_screen(int argc, const char *const *argv) {
    return !(argc > 1 && argv[1][0] == 'n');
}

void write_help_text(std::FILE *out, ConsoleEncoding encoding) {
    for (const char *text : HELP_TEXTS) {
        write_console_text(out, text, encoding);
    }
}

bool is_preset_key(int key) {
    return key == 'a' || key == 'b' || key == 'c';
}

int wait_for_preset_key(int key_fd, std::FILE *out) {
    for (;;) {
        std::fflush(out);
        const int key = read_preset_key(key_fd);
        if (key < 0 || is_preset_key(key)) {
            return key;
        }
    }
}

void fill_harmonic_numbers(int preset, std::FILE *in, std::FILE *out, HarmonicNumbers &harmonic) {
    harmonic.fill(0);
    if (preset == 'c') {
        read_typed_values(in, out, harmonic, false);
        return;
    }
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        harmonic[i] = preset == 'a' ? 2 * i + 1 : i + 1;
    }
}

bool choose_harmonic_numbers(int key_fd, std::FILE *in, std::FILE *out, HarmonicNumbers &harmonic) {
    const int preset = wait_for_preset_key(key_fd, out);
    if (preset < 0) {
        return false;
    }
    fill_harmonic_numbers(preset, in, out, harmonic);
    return true;
}

SDL_Surface &open_video_surface(bool full_screen) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        die_with_sdl_error("Couldn't initialize SDL");
    }
    std::atexit(SDL_Quit);
    SDL_Surface *surface =
        SDL_SetVideoMode(SURFACE_WIDTH, SURFACE_HEIGHT, 0, full_screen ? SDL_FULLSCREEN : 0);
    if (surface == nullptr) {
        die_with_sdl_error("Couldn't set video mode");
    }
    SDL_WM_SetCaption("Kurvello", nullptr);
    return *surface;
}

bool replay_typed_values(const char *typed, std::FILE *out, HarmonicNumbers &harmonic) {
    harmonic.fill(0);
    const std::size_t size = std::strlen(typed);
    std::FILE *in = size > 0 ? fmemopen(const_cast<char *>(typed), size, "r") : nullptr;
    const bool all_read = read_typed_values(in, out, harmonic, true);
    if (in != nullptr) {
        std::fclose(in);
    }
    return all_read;
}
