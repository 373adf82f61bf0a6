#pragma once
// Command-line options of truno-decode.
#include <string>
#include <vector>

namespace truno {

struct CliOptions {
    bool crlf = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    unsigned jobs = 1;
    std::vector<std::string> files;
};

// Fills `options` from the arguments; false with `error` set for a usage error.
bool parseOptions(int argc, const char* const* argv, CliOptions& options, std::string& error);

std::string helpText();
std::string versionText();

}  // namespace truno
