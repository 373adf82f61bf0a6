#include "cli/Options.h"

#include <cstdlib>
#include <string_view>

#ifndef TRUNO_VERSION
#define TRUNO_VERSION "0"
#endif

namespace truno {

bool parseOptions(int argc, const char* const* argv, CliOptions& options, std::string& error) {
    bool filesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (filesOnly || arg == "-" || arg.empty() || arg[0] != '-') {
            options.files.emplace_back(arg);
        } else if (arg == "--") {
            filesOnly = true;
        } else if (arg == "--crlf") {
            options.crlf = true;
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-V" || arg == "--version") {
            options.version = true;
        } else if (arg == "-j" || arg == "--jobs" || arg.rfind("--jobs=", 0) == 0) {
            std::string_view value;
            if (arg.rfind("--jobs=", 0) == 0) {
                value = arg.substr(7);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                error = "option '" + std::string(arg) + "' needs a number";
                return false;
            }
            char* end = nullptr;
            const std::string text(value);
            const long n = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || n < 1 || n > 256) {
                error = "invalid number of jobs '" + text + "' (expected 1 to 256)";
                return false;
            }
            options.jobs = static_cast<unsigned>(n);
        } else {
            error = "unknown option '" + std::string(arg) + "'";
            return false;
        }
    }
    return true;
}

std::string helpText() {
    return "Usage: truno-decode [OPTION]... [FILE]...\n"
           "Decode the BICC/ISUP messages of trace logs into a text report on standard output.\n"
           "With no FILE, or when FILE is -, read standard input.\n"
           "\n"
           "  --crlf          end report lines with CR LF (the report's own bytes) instead of LF\n"
           "  -j, --jobs N    decode with N threads (same output as one thread)\n"
           "  -q, --quiet     do not print the summary line per file on standard error\n"
           "  -h, --help      show this help and exit\n"
           "  -V, --version   show the version and exit\n"
           "\n"
           "With several files, each is decoded on its own (record numbers restart) and its\n"
           "report is preceded by a line \"==> FILE <==\".\n"
           "\n"
           "A summary per file goes to standard error: messages found, decoded, not decoded.\n"
           "Messages that cannot be decoded are shown in the report with the reason.\n"
           "\n"
           "Exit status: 0 every message decoded; 1 some message could not be decoded;\n"
           "2 usage error or a file that cannot be read.\n";
}

std::string versionText() { return std::string("truno-decode ") + TRUNO_VERSION + "\n"; }

}  // namespace truno
