// truno-decode: decodes BICC trace logs and writes the report to standard output.
#include "run/DecodeRun.h"
#include "cli/Options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
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
    for (const std::string& file : options.files) {
        const bool isStdin = (file == "-");
        const std::string shown = isStdin ? std::string("(standard input)") : file;
        std::ifstream stream;
        if (!isStdin) {
            stream.open(file, std::ios::binary);
            if (!stream) {
                const int err = errno;
                std::fflush(stdout);
                std::fprintf(stderr, "truno-decode: cannot open '%s': %s\n", file.c_str(),
                             err != 0 ? std::strerror(err) : "unknown error");
                status = 2;
                continue;
            }
        }
        std::istream& in = isStdin ? std::cin : static_cast<std::istream&>(stream);
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
            std::fprintf(stderr, "truno-decode: error reading '%s': %s\n", shown.c_str(),
                         std::strerror(errno));
            status = 2;
        }
        if (!options.quiet)
            std::fprintf(stderr, "%s: %s\n", shown.c_str(), truno::summaryText(summary).c_str());
        if (summary.notDecoded > 0 && status == 0) status = 1;
    }
    std::fflush(stdout);
    if (std::ferror(stdout)) {
        std::fprintf(stderr, "truno-decode: error writing the report: %s\n", std::strerror(errno));
        return 2;
    }
    return status;
}
