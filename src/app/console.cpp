#include "app/console.h"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Signals that would leave the terminal without echo if they struck during the key read.
constexpr int RESTORING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int RESTORING_SIGNAL_COUNT = sizeof RESTORING_SIGNALS / sizeof RESTORING_SIGNALS[0];

// The signal handler cannot be handed arguments, so the terminal it restores lives here.
int raw_terminal_fd = -1;
termios cooked_terminal;

void restore_terminal_and_die(int signal_number) {
    tcsetattr(raw_terminal_fd, TCSANOW, &cooked_terminal);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number); // delivered with the default action once the handler returns
}

// Installs the restoring handler where the signal is not ignored; saves what was there.
void install_restoring_handlers(struct sigaction (&previous)[RESTORING_SIGNAL_COUNT]) {
    struct sigaction action {};
    action.sa_handler = restore_terminal_and_die;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < RESTORING_SIGNAL_COUNT; i++) {
        sigaction(RESTORING_SIGNALS[i], nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN) {
            sigaction(RESTORING_SIGNALS[i], &action, nullptr);
        }
    }
}

void remove_restoring_handlers(const struct sigaction (&previous)[RESTORING_SIGNAL_COUNT]) {
    for (int i = 0; i < RESTORING_SIGNAL_COUNT; i++) {
        sigaction(RESTORING_SIGNALS[i], &previous[i], nullptr);
    }
}

int read_byte(int fd) {
    unsigned char byte;
    for (;;) {
        const ssize_t n = read(fd, &byte, 1);
        if (n == 1) {
            return byte;
        }
        if (n == 0 || errno != EINTR) {
            return -1;
        }
    }
}

// The digit's value in any base up to 16, or 16 for a non-digit.
int digit_value(int c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 16;
}

void unread(std::FILE *stream, int c) {
    if (c != EOF) {
        std::ungetc(c, stream);
    }
}

} // namespace

bool is_blank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

ConsoleEncoding console_encoding() {
    ConsoleEncoding encoding = ConsoleEncoding::latin1;
    if (std::setlocale(LC_CTYPE, "") != nullptr &&
        std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) {
        encoding = ConsoleEncoding::utf8;
    }
    std::setlocale(LC_CTYPE, "C");
    return encoding;
}

void write_console_text(std::FILE *stream, const char *latin1_text, ConsoleEncoding encoding) {
    for (const char *p = latin1_text; *p != '\0'; p++) {
        const unsigned char byte = static_cast<unsigned char>(*p);
        if (encoding == ConsoleEncoding::utf8 && byte >= 0x80) {
            std::putc(0xC0 | (byte >> 6), stream);
            std::putc(0x80 | (byte & 0x3F), stream);
        } else {
            std::putc(byte, stream);
        }
    }
}

int read_preset_key(int fd) {
    termios cooked;
    if (tcgetattr(fd, &cooked) != 0) {
        return read_byte(fd); // a pipe or a file
    }
    raw_terminal_fd = fd;
    cooked_terminal = cooked;
    struct sigaction previous[RESTORING_SIGNAL_COUNT];
    install_restoring_handlers(previous);

    termios raw = cooked;
    raw.c_lflag &= ~(ICANON | ECHO); // ISIG stays: Ctrl+C still interrupts
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    // TCSANOW, not TCSAFLUSH: keys typed ahead must not be thrown away.
    tcsetattr(fd, TCSANOW, &raw);
    const int key = read_byte(fd);
    tcsetattr(fd, TCSANOW, &cooked);

    remove_restoring_handlers(previous);
    return key;
}

bool read_typed_integer(std::FILE *stream, int &value) {
    constexpr std::uint64_t INT_MAGNITUDE_LIMIT = 2147483648u; // |INT_MIN|
    int c = std::getc(stream);
    while (is_blank(c)) {
        c = std::getc(stream);
    }
    const bool negative = c == '-';
    if (c == '-' || c == '+') {
        c = std::getc(stream);
    }
    int base = 10;
    if (c == '0') {
        c = std::getc(stream);
        base = 8;
        if (c == 'x' || c == 'X') {
            c = std::getc(stream);
            base = 16;
            if (digit_value(c) >= 16) {
                unread(stream, c); // "0x" alone reads as 0, as the C library's scanf has it
                value = 0;
                return true;
            }
        }
    } else if (digit_value(c) >= 10) {
        unread(stream, c);
        return false;
    }
    // Saturates above the int range but goes on consuming digits, as a real read would.
    std::uint64_t magnitude = 0;
    while (digit_value(c) < base) {
        if (magnitude <= INT_MAGNITUDE_LIMIT) {
            magnitude = magnitude * base + digit_value(c);
        }
        c = std::getc(stream);
    }
    unread(stream, c);
    if (magnitude > (negative ? INT_MAGNITUDE_LIMIT : INT_MAGNITUDE_LIMIT - 1)) {
        return false;
    }
    value = negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}
