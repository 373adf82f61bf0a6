#include "cli/Options.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>

#ifndef TRUNO_VERSION
#define TRUNO_VERSION "0"
#endif

namespace truno {

namespace {

// The value getopt_long returns for an option without a short form.
constexpr int kCrlfOption = 256;

constexpr option kLongOptions[] = {
    {.name = "crlf", .has_arg = no_argument, .flag = nullptr, .val = kCrlfOption},
    {.name = "jobs", .has_arg = required_argument, .flag = nullptr, .val = 'j'},
    {.name = "quiet", .has_arg = no_argument, .flag = nullptr, .val = 'q'},
    {.name = "help", .has_arg = no_argument, .flag = nullptr, .val = 'h'},
    {.name = "version", .has_arg = no_argument, .flag = nullptr, .val = 'V'},
    {.name = nullptr, .has_arg = 0, .flag = nullptr, .val = 0},
};

bool parseJobs(const char* text, unsigned& jobs, std::string& error) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno != 0 || n < 1 || n > 256) {
        error = "invalid number of jobs '" + std::string(text) + "' (expected 1 to 256)";
        return false;
    }
    jobs = static_cast<unsigned>(n);
    return true;
}

// What getopt_long's '?' was about: a long option given a value it does not take (getopt_long
// then sets optopt to that option's value), an unknown long option (optopt 0), or an unknown
// short one.
std::string misusedOption(char* const* argv) {
    for (const option& o : kLongOptions) {
        if (o.name != nullptr && o.val == optopt && optopt != 0)
            return "option '--" + std::string(o.name) + "' takes no value";
    }
    if (optopt == 0) return "unknown option '" + std::string(argv[optind - 1]) + "'";
    return "unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'";
}

}  // namespace

bool parseOptions(int argc, char** argv, CliOptions& options, std::string& error) {
    optind = 0;  // glibc: start afresh, so that a second call parses its own arguments
    opterr = 0;  // the messages are ours, with the program's name in front
    for (;;) {
        const int c = getopt_long(argc, argv, ":j:qhV", kLongOptions, nullptr);
        if (c == -1) break;
        switch (c) {
            case kCrlfOption: options.crlf = true; break;
            case 'q': options.quiet = true; break;
            case 'h': options.help = true; break;
            case 'V': options.version = true; break;
            case 'j':
                if (!parseJobs(optarg, options.jobs, error)) return false;
                break;
            case ':': error = "option -j/--jobs needs a number"; return false;
            default: error = misusedOption(argv); return false;
        }
    }
    for (int i = optind; i < argc; ++i) options.files.emplace_back(argv[i]);
    return true;
}

std::string helpText() {
    return "Usage: truno-decode [OPTION]... [FILE]...\n"
           "Decode the BICC/ISUP messages of trace logs into a text report on standard output.\n"
           "With no FILE, or when FILE is -, read standard input. Gzip-compressed input is\n"
           "decompressed on the fly (told by its first bytes, not by the file name).\n"
           "\n"
           "      --crlf      end report lines with CR LF (the report's own bytes) instead of LF\n"
           "  -j, --jobs=N    decode with N threads (same output as one thread)\n"
           "  -q, --quiet     print the summary on standard error only when something is wrong\n"
           "                  beyond the records the report shows (no message found, a warning)\n"
           "  -h, --help      show this help and exit\n"
           "  -V, --version   show the version and exit\n"
           "\n"
           "With several files, each is decoded on its own (record numbers restart) and its\n"
           "report is preceded by a line \"==> FILE <==\".\n"
           "\n"
           "A summary per file goes to standard error: messages found, decoded, not decoded,\n"
           "then a line per warning (lines that look like message data but were ignored, DATA\n"
           "beyond the characters that are read). Messages that cannot be decoded are shown in\n"
           "the report with the reason.\n"
           "\n"
           "Exit status: 0 every message decoded and no warning; 1 not everything became a\n"
           "decoded record (a message not decoded, no message found, a warning); 2 usage error,\n"
           "or a file that cannot be read (compressed other than with gzip, damaged gzip data).\n";
}

std::string versionText() { return std::string("truno-decode ") + TRUNO_VERSION + "\n"; }

}  // namespace truno
