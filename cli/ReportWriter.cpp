#include "cli/ReportWriter.h"

#include "base/ByteScan.h"
#include "cli/Platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace truno {

void ReportWriter::write(std::string_view text) {
    if (text.empty()) return;
    // A piece whose CR LF the run turned already (RunOptions::lineFeeds) has no CR left to turn,
    // and goes out as it is.
    const bool turn = !crlf_ && (pendingCr_ || std::memchr(text.data(), '\r', text.size()) != nullptr);
    if (!turn && text.size() >= kDirectSize) {
        flush();
        writeOut(text);
        return;
    }
    char* w = room(text.size() + 1);  // one more for a CR held back from the piece before
    if (turn) {
        w = withoutCarriageReturns(text, w);
    } else {
        std::memcpy(w, text.data(), text.size());
        w += text.size();
    }
    size_ = static_cast<std::size_t>(w - buffer_.get());
    if (size_ >= kBufferSize) flush();
}

void ReportWriter::writeVerbatim(std::string_view text) {
    if (text.size() >= kDirectSize) {
        flush();
        writeOut(text);
        return;
    }
    std::memcpy(room(text.size()), text.data(), text.size());
    size_ += text.size();
    if (size_ >= kBufferSize) flush();
}

void ReportWriter::writeVerbatim(std::span<const std::string_view> pieces) {
    flush();
    if (failed_) return;
    if (std::fflush(stdout) != 0) failed_ = true;
    if (!failed_ && !writeAll(fileno(stdout), pieces)) failed_ = true;
}

void ReportWriter::finish() {
    if (pendingCr_) {
        *room(1) = '\r';
        ++size_;
        pendingCr_ = false;
    }
    flush();
}

void ReportWriter::newline() {
    const std::string_view end = crlf_ ? "\r\n" : "\n";
    std::memcpy(room(end.size()), end.data(), end.size());
    size_ += end.size();
    flush();
}

char* ReportWriter::withoutCarriageReturns(std::string_view text, char* w) {
    if (pendingCr_ && !text.empty()) {
        pendingCr_ = false;
        if (text.front() != '\n') *w++ = '\r';
    }
    if (!text.empty() && text.back() == '\r') {
        pendingCr_ = true;
        text.remove_suffix(1);
    }
    return copyCrLfAsLf(text, w);
}

char* ReportWriter::room(std::size_t n) {
    if (size_ + n > capacity_) {
        const std::size_t capacity = std::max(kBufferSize + n, size_ + n);
        auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
        if (size_ != 0) std::memcpy(bigger.get(), buffer_.get(), size_);
        buffer_ = std::move(bigger);
        capacity_ = capacity;
    }
    return buffer_.get() + size_;
}

void ReportWriter::flush() {
    if (size_ == 0) return;
    writeOut({buffer_.get(), size_});
    size_ = 0;
}

void ReportWriter::writeOut(std::string_view bytes) {
    if (failed_) return;
    if (std::fflush(stdout) != 0) failed_ = true;
    if (!failed_ && !writeAll(fileno(stdout), bytes)) failed_ = true;
}

}  // namespace truno
