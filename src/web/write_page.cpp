// Writes the page at build time: the HTML with the core's help text, a start button for each
// preset line of it and the program's icon put in, so that all three are there before the
// script runs and nothing moves when it does.
// Usage: kurvello_write_page TEMPLATE ICON OUTPUT (node runs it, with the real file system).
#include "app/console.h"
#include "app/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string read_file(const char *path) {
    std::FILE *in = std::fopen(path, "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "kurvello_write_page: cannot read %s\n", path);
        std::exit(1);
    }
    std::string text;
    for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
        text += static_cast<char>(c);
    }
    std::fclose(in);
    return text;
}

std::string help_text() {
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *out = open_memstream(&text, &size);
    write_help_text(out, ConsoleEncoding::utf8);
    std::fclose(out);
    std::string help(text, size);
    std::free(text);
    return help;
}

std::string escaped(const std::string &text) {
    std::string html;
    for (const char c : text) {
        html += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    }
    return html;
}

// "a:   sin(x)..." becomes a button for a labelled "sin(x)...".
std::string preset_buttons(const std::string &help) {
    std::string buttons;
    for (std::size_t start = 0; start < help.size();) {
        std::size_t end = help.find('\n', start);
        end = end == std::string::npos ? help.size() : end;
        const std::string line = help.substr(start, end - start);
        start = end + 1;
        if (line.size() < 2 || !is_preset_key(line[0]) || line[1] != ':') {
            continue;
        }
        const std::size_t label = line.find_first_not_of(" \t", 2);
        buttons += "<button data-preset=\"" + line.substr(0, 1) + "\"><kbd>" + line.substr(0, 1) +
                   "</kbd>" + escaped(line.substr(label == std::string::npos ? 2 : label)) +
                   "</button>\n";
    }
    return buttons;
}

// An SVG as a data URL inside a double-quoted attribute.
std::string data_url(const std::string &svg) {
    std::string url = "data:image/svg+xml,";
    for (const char c : svg) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::strchr("\"%#<>&", c) != nullptr || byte < 0x21 || byte > 0x7E) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", byte);
            url += code;
        } else {
            url += c;
        }
    }
    return url;
}

void put_in(std::string &page, const char *marker, const std::string &text) {
    const std::size_t at = page.find(marker);
    if (at == std::string::npos) {
        std::fprintf(stderr, "kurvello_write_page: no %s in the page\n", marker);
        std::exit(1);
    }
    page.replace(at, std::strlen(marker), text);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: kurvello_write_page TEMPLATE ICON OUTPUT\n");
        return 2;
    }
    std::string page = read_file(argv[1]);
    const std::string help = help_text();
    put_in(page, "<!--help-->", escaped(help));
    put_in(page, "<!--presets-->", preset_buttons(help));
    put_in(page, "<!--icon-->",
           "<link rel=\"icon\" type=\"image/svg+xml\" href=\"" + data_url(read_file(argv[2])) +
               "\">");
    std::FILE *out = std::fopen(argv[3], "wb");
    if (out == nullptr || std::fputs(page.c_str(), out) < 0 || std::fclose(out) != 0) {
        std::fprintf(stderr, "kurvello_write_page: cannot write %s\n", argv[3]);
        return 1;
    }
}
