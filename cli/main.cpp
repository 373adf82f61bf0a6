// truno-decode: decodes BICC trace logs and writes the report to standard output.
#include "run/DecodeRun.h"
#include "run/LogInput.h"
#include "cli/Options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// Writes report pieces to stdout, turning the report's CR LF into LF unless asked not to.
class ReportWriter {
public:
    explicit ReportWriter(bool crlf) : crlf_(crlf) {}

    void write(std::string_view text) {
        if (crlf_) {
            std::fwrite(text.data(), 1, text.size(), stdout);
            return;
        }
        while (!text.empty()) {
            if (pendingCr_) {
                pendingCr_ = false;
                if (text.front() != '\n') std::fputc('\r', stdout);
            }
            const void* cr = std::memchr(text.data(), '\r', text.size());
            if (cr == nullptr) {
                std::fwrite(text.data(), 1, text.size(), stdout);
                return;
            }
            const auto n = static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
            std::fwrite(text.data(), 1, n, stdout);
            pendingCr_ = true;
            text.remove_prefix(n + 1);
        }
    }

    void finish() {
        if (pendingCr_) std::fputc('\r', stdout);
        pendingCr_ = false;
    }

    void newline() { std::fputs(crlf_ ? "\r\n" : "\n", stdout); }

private:
    bool crlf_;
    bool pendingCr_ = false;
};

// A file name as a shell reads it back: as it is when it holds only safe characters, otherwise
// in single quotes.
std::string shellWord(const std::string& name) {
    const bool safe = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || std::strchr("._/+-,:=@%", c) != nullptr;
    });
    if (safe) return name;
    std::string quoted = "'";
    for (const char c : name) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Decodes one file ("-": standard input) and returns its exit status: 0, 1 or 2.
int decodeFile(const std::string& file, const truno::CliOptions& options, bool several) {
    const bool isStdin = (file == "-");
    const std::string shown = isStdin ? std::string("(standard input)") : file;
    std::ifstream stream;
    if (!isStdin) {
        std::error_code ignored;
        const bool directory = std::filesystem::is_directory(file, ignored);
        if (!directory) stream.open(file, std::ios::binary);
        if (directory || !stream) {
            const int err = directory ? EISDIR : errno;
            std::fflush(stdout);
            std::fprintf(stderr, "truno-decode: cannot open '%s': %s\n", file.c_str(),
                         err != 0 ? std::strerror(err) : "unknown error");
            return 2;
        }
    }
    truno::LogInput in(isStdin ? std::cin : static_cast<std::istream&>(stream));
    if (in.refused()) {
        const truno::CompressionFormat& format = truno::formatOf(in.compression());
        const std::string command(format.decompressCommand);
        const std::string pipe = isStdin ? "... | " + command : command + " " + shellWord(file);
        std::fflush(stdout);
        std::fprintf(stderr, "truno-decode: %s: %s-compressed input is not read; decompress it first (%s | truno-decode -)\n",
                     shown.c_str(), std::string(format.name).c_str(), pipe.c_str());
        return 2;
    }
    ReportWriter writer(options.crlf);
    if (several) {
        std::fputs(("==> " + shown + " <==").c_str(), stdout);
        writer.newline();
    }
    truno::RunOptions runOptions;
    runOptions.jobs = options.jobs;
    const truno::RunSummary summary =
        truno::decodeLog(in, [&](std::string_view text) { writer.write(text); }, runOptions);
    writer.finish();
    if (several) writer.newline();
    std::fflush(stdout);
    if (summary.readError) {
        const std::string why = !in.dataError().empty() ? in.dataError() : std::string(std::strerror(errno));
        std::fprintf(stderr, "truno-decode: error reading '%s': %s\n", shown.c_str(), why.c_str());
    }
    // --quiet leaves out a summary that adds nothing to the report; one that says why nothing
    // was found, or warns of lines the report does not show, is always written.
    if (!options.quiet || summary.found == 0 || !summary.warnings.empty()) {
        std::istringstream lines(truno::summaryText(summary));
        for (std::string line; std::getline(lines, line);) std::fprintf(stderr, "%s: %s\n", shown.c_str(), line.c_str());
    }
    if (summary.readError) return 2;
    return truno::everythingDecoded(summary) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    truno::CliOptions options;
    std::string error;
    if (!truno::parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "truno-decode: %s\nTry 'truno-decode --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(truno::helpText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(truno::versionText().c_str(), stdout);
        return 0;
    }
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);

    if (options.files.empty()) options.files.emplace_back("-");
    const bool several = options.files.size() > 1;
    int status = 0;
    for (const std::string& file : options.files) status = std::max(status, decodeFile(file, options, several));
    std::fflush(stdout);
    if (std::ferror(stdout)) {
        std::fprintf(stderr, "truno-decode: error writing the report: %s\n", std::strerror(errno));
        return 2;
    }
    return status;
}
