#pragma once
// Writes report pieces to standard output, turning the report's CR LF into LF unless asked
// not to. The bytes go to the file descriptor in large writes, past stdio's buffer (which is
// flushed first, so that lines written through stdio keep their place).
#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

namespace truno {

class ReportWriter {
public:
    explicit ReportWriter(bool crlf) : crlf_(crlf) {}
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;
    ~ReportWriter() { flush(); }

    void write(std::string_view text);
    // Text that is not report text (summary, calls, JSON, CSV): its line ends are LF already and
    // it goes out as it is.
    void writeVerbatim(std::string_view text);
    // The same of several pieces, one after the other, written without a copy.
    void writeVerbatim(std::span<const std::string_view> pieces);
    // Writes out everything, a CR held back from the last piece too.
    void finish();
    // A line end of the report's kind, written out at once.
    void newline();
    // Writes out what is buffered (a pending CR of a CR LF split across pieces stays).
    void flush();

    // Whether a write to standard output failed.
    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kBufferSize = std::size_t{256} * 1024;
    // Pieces at least this large are written as they are, without a copy.
    static constexpr std::size_t kDirectSize = std::size_t{16} * 1024;

    // Copies text to w with each CR of a CR LF left out (a CR at the end of the text waits for
    // the next piece), and returns the new end.
    char* withoutCarriageReturns(std::string_view text, char* w);
    // Room for n more bytes at the end of the buffer.
    char* room(std::size_t n);
    void writeOut(std::string_view bytes);

    bool crlf_;
    bool pendingCr_ = false;
    bool failed_ = false;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace truno
