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

// Fills `options` from the arguments as POSIX utilities read them (getopt_long: short options
// may be grouped, "-j4" and "--jobs=4" carry their value, "--" ends the options); false with
// `error` set for a usage error. May reorder argv, as getopt_long does.
bool parseOptions(int argc, char** argv, CliOptions& options, std::string& error);

std::string helpText();
std::string versionText();

}  // namespace truno
