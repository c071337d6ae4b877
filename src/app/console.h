// The console under the graphics window: text encoding, one-key reads and typed integers.
#pragma once

#include <cstdio>

// How the console shows the texts' Latin-1 letters (ä, ö).
enum class ConsoleEncoding {
    latin1, // bytes as they are
    utf8,   // each byte from 0x80 up as its two-byte UTF-8 sequence
};

// Returns UTF-8 when the user's locale (LC_CTYPE) uses it, else Latin-1.
ConsoleEncoding console_encoding();

// Writes a Latin-1 text to the stream in the given encoding.
void write_console_text(std::FILE *stream, const char *latin1_text, ConsoleEncoding encoding);

// Reads one byte from fd, on a terminal without echo and without Enter; -1 at end of input.
int read_preset_key(int fd);

// Whether c is one of the blanks that "%i" skips before a number.
bool is_blank(int c);

// Reads an integer as scanf's "%i" does; false when none was read or it does not fit an int.
bool read_typed_integer(std::FILE *stream, int &value);
