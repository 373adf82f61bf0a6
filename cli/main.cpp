// truno-decode: decodes BICC trace logs and writes the report to standard output.
#include "run/DecodeRun.h"
#include "cli/Options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

// Writes report pieces to standard output, turning the report's CR LF into LF unless asked
// not to. The bytes go to the file descriptor in large writes, past stdio's buffer (which is
// flushed first, so that lines written through stdio keep their place).
class ReportWriter {
public:
    explicit ReportWriter(bool crlf) : crlf_(crlf) { buffer_.reserve(kBufferSize); }
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;
    ~ReportWriter() { flush(); }

    void write(std::string_view text) {
        if (crlf_) {
            if (text.size() >= kDirectSize) {
                flush();
                writeOut(text);
            } else {
                if (buffer_.size() + text.size() > kBufferSize) flush();
                buffer_.append(text);
            }
            return;
        }
        while (!text.empty()) {
            if (pendingCr_) {
                pendingCr_ = false;
                if (text.front() != '\n') buffer_ += '\r';
            }
            const void* cr = std::memchr(text.data(), '\r', text.size());
            const std::size_t n = cr == nullptr ? text.size()
                                                : static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
            buffer_.append(text.data(), n);
            if (cr != nullptr) {
                pendingCr_ = true;
                text.remove_prefix(n + 1);
            } else {
                text = {};
            }
            if (buffer_.size() >= kBufferSize) flush();
        }
    }

    void finish() {
        if (pendingCr_) buffer_ += '\r';
        pendingCr_ = false;
        flush();
    }

    void newline() {
        buffer_ += crlf_ ? "\r\n" : "\n";
        flush();
    }

    // Whether a write to standard output failed.
    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kBufferSize = std::size_t{256} * 1024;
    // Pieces at least this large are written as they are, without a copy.
    static constexpr std::size_t kDirectSize = std::size_t{16} * 1024;

    void flush() {
        if (buffer_.empty()) return;
        writeOut(buffer_);
        buffer_.clear();
    }

    void writeOut(std::string_view bytes) {
        if (failed_) return;
        if (std::fflush(stdout) != 0) failed_ = true;
        const int fd = fileno(stdout);
        while (!bytes.empty() && !failed_) {
            const ssize_t n = ::write(fd, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                failed_ = true;
                break;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    bool crlf_;
    bool pendingCr_ = false;
    bool failed_ = false;
    std::string buffer_;
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
    if (options.files.empty()) options.files.emplace_back("-");
    const bool several = options.files.size() > 1;
    int status = 0;
    bool writeFailed = false;
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
        if (writer.failed()) writeFailed = true;
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
    if (writeFailed || std::ferror(stdout)) {
        std::fprintf(stderr, "truno-decode: error writing the report: %s\n", std::strerror(errno));
        return 2;
    }
    return status;
}
