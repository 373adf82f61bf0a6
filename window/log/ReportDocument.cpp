#include "window/log/ReportDocument.h"

#include <algorithm>
#include <cstring>

namespace truno::window {

ReportDocument::ReportDocument(std::size_t chunkBytes)
    : chunkBytes_(std::clamp<std::size_t>(chunkBytes, 1, kLargestChunk / 2)) {
    startChunk();
}

void ReportDocument::closeChunk() {
    // A closed chunk never grows again: give back what its growing left over.
    Chunk& closed = chunks_.back();
    if (closed.bytes.capacity() - closed.bytes.size() > closed.bytes.size() / 8)
        closed.bytes.shrink_to_fit();
    closed.marks.shrink_to_fit();
}

void ReportDocument::startChunk() {
    const bool first = chunks_.empty();
    if (!first) closeChunk();
    Chunk& chunk = chunks_.emplace_back();
    // A report that fills one chunk will likely fill the next: room for a full chunk and the
    // line that closes it, without the copies of growing.
    if (!first) chunk.bytes.reserve(chunkBytes_ + chunkBytes_ / 16);
    chunk.start = size_;
    chunk.firstLine = lineCount_ - 1;
    chunk.marks.push_back(0);
}

void ReportDocument::append(std::string_view text) {
    while (!text.empty()) {
        Chunk& chunk = chunks_.back();
        const bool atLineStart = chunk.bytes.empty() || chunk.bytes.back() == '\n';
        if (chunk.bytes.size() >= chunkBytes_ && atLineStart) {
            startChunk();
            continue;
        }
        // A line never spans two chunks: fill the chunk, then close it after the line in
        // progress.
        std::string_view part = text;
        if (chunk.bytes.size() + text.size() > chunkBytes_) {
            const std::size_t room =
                chunkBytes_ > chunk.bytes.size() ? chunkBytes_ - chunk.bytes.size() : 0;
            const std::size_t lf = text.find('\n', room > 0 ? room - 1 : 0);
            if (lf != std::string_view::npos) part = text.substr(0, lf + 1);
        }
        appendToChunk(chunk, part);
        text.remove_prefix(part.size());
    }
}

void ReportDocument::appendToChunk(Chunk& chunk, std::string_view part) {
    const std::size_t base = chunk.bytes.size();
    chunk.bytes.append(part);
    indexFrom(chunk, base);
}

void ReportDocument::append(std::string&& block) {
    if (block.empty()) return;
    Chunk* last = &chunks_.back();
    // Small blocks are copied in like any text, and blocks too large for a chunk's marks.
    if (block.size() < chunkBytes_ / 4 || block.size() >= kLargestChunk) {
        append(std::string_view(block));
        return;
    }
    // A large block becomes a chunk of its own, without a copy, from its first line start on.
    if (!last->bytes.empty() && last->bytes.back() != '\n') {
        const std::size_t lf = block.find('\n');
        if (lf == std::string::npos) {
            append(std::string_view(block));
            return;
        }
        appendToChunk(*last, std::string_view(block).substr(0, lf + 1));
        block.erase(0, lf + 1);
        if (block.empty()) return;
    }
    if (!chunks_.back().bytes.empty()) {
        closeChunk();
        Chunk& next = chunks_.emplace_back();
        next.start = size_;
        next.firstLine = lineCount_ - 1;
        next.marks.push_back(0);
    }
    Chunk& chunk = chunks_.back();
    chunk.bytes = std::move(block);
    if (chunk.bytes.capacity() - chunk.bytes.size() > chunk.bytes.size() / 8) chunk.bytes.shrink_to_fit();
    indexFrom(chunk, 0);
}

void ReportDocument::indexFrom(Chunk& chunk, std::size_t from) {
    const std::string_view bytes = chunk.bytes;
    size_ += bytes.size() - from;
    std::size_t pos = from;
    for (;;) {
        const void* hit = std::memchr(bytes.data() + pos, '\n', bytes.size() - pos);
        if (hit == nullptr) {
            currentLineLength_ += bytes.size() - pos;
            return;
        }
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data());
        std::size_t length = currentLineLength_ + (lf - pos);
        // The CR of a CR LF may have come in the previous piece; it is in this chunk all the same.
        if (length > 0 && bytes[lf - 1] == '\r') --length;
        longestLine_ = std::max(longestLine_, length);
        countLine(length);
        currentLineLength_ = 0;
        ++lineCount_;
        if ((lineCount_ - 1 - chunk.firstLine) % kMarkEvery == 0) chunk.marks.push_back(static_cast<std::uint32_t>(lf + 1));
        pos = lf + 1;
    }
}

std::size_t ReportDocument::longestLine() const {
    std::size_t last = currentLineLength_;
    const std::string& bytes = chunks_.back().bytes;
    if (last > 0 && bytes.back() == '\r') --last;
    return std::max(longestLine_, last);
}

std::size_t ReportDocument::chunkOf(std::size_t line) const {
    const auto after = std::upper_bound(
        chunks_.begin(), chunks_.end(), line,
        [](std::size_t n, const Chunk& chunk) { return n < chunk.firstLine; });
    return static_cast<std::size_t>(after - chunks_.begin()) - 1;
}

void ReportDocument::countLine(std::size_t length) {
    if (length < kCountedLength)
        ++lengthCounts_[length];
    else
        longLineLengths_.push_back(length);
}

std::pair<std::size_t, std::size_t> ReportDocument::findLineStart(std::size_t n) const {
    const std::size_t c = chunkOf(n);
    const Chunk& chunk = chunks_[c];
    const std::string_view bytes = chunk.bytes;
    // From the nearest mark, skip forward.
    const std::size_t inChunk = n - chunk.firstLine;
    std::size_t pos = chunk.marks[inChunk / kMarkEvery];
    for (std::size_t skip = inChunk % kMarkEvery; skip > 0; --skip) pos = bytes.find('\n', pos) + 1;
    return {c, pos};
}

std::size_t ReportDocument::lineStart(std::size_t n) const {
    if (n >= lineCount()) return size();
    const auto [c, pos] = findLineStart(n + originLine_);
    return chunks_[c].start + pos - origin_;
}

std::size_t ReportDocument::chunkAt(std::size_t offset) const {
    const auto after = std::upper_bound(
        chunks_.begin(), chunks_.end(), offset + origin_,
        [](std::size_t at, const Chunk& chunk) { return at < chunk.start; });
    // An empty chunk opened at the end shares its start with the one before: either will do.
    return static_cast<std::size_t>(after - chunks_.begin()) - 1;
}

std::pair<std::size_t, std::size_t> ReportDocument::lineAt(std::size_t offset) const {
    offset = std::min(offset, size());
    const Chunk& chunk = chunks_[chunkAt(offset)];
    const std::string_view bytes = chunk.bytes;
    const std::size_t inChunk = offset + origin_ - chunk.start;
    const auto mark = std::upper_bound(chunk.marks.begin(), chunk.marks.end(), inChunk) - 1;
    std::size_t line = chunk.firstLine + static_cast<std::size_t>(mark - chunk.marks.begin()) * kMarkEvery;
    std::size_t pos = *mark;
    for (;;) {
        const std::size_t lf = bytes.find('\n', pos);
        if (lf == std::string_view::npos || lf >= inChunk) break;
        pos = lf + 1;
        ++line;
    }
    return {line - originLine_, chunk.start + pos - origin_};
}

std::size_t ReportDocument::dropBefore(std::size_t offset) {
    const auto [lines, start] = lineAt(offset);
    if (lines == 0) return 0;
    // The lengths of the lines that go leave the counts; the long ones are the first kept apart.
    std::size_t longLines = 0;
    forLines(0, lines, [&](std::size_t, std::string_view line) {
        if (line.size() < kCountedLength)
            --lengthCounts_[line.size()];
        else
            ++longLines;
    });
    longLineLengths_.erase(longLineLengths_.begin(), longLineLengths_.begin() + static_cast<std::ptrdiff_t>(longLines));
    longestLine_ = 0;
    if (!longLineLengths_.empty()) {
        longestLine_ = *std::max_element(longLineLengths_.begin(), longLineLengths_.end());
    } else {
        for (std::size_t length = kCountedLength - 1; length > 0 && longestLine_ == 0; --length)
            if (lengthCounts_[length] != 0) longestLine_ = length;
    }
    origin_ += start;
    originLine_ += lines;
    // The chunks that hold only text let go are freed; the one being filled stays.
    std::size_t gone = 0;
    while (gone + 1 < chunks_.size() && chunks_[gone + 1].start <= origin_) ++gone;
    chunks_.erase(chunks_.begin(), chunks_.begin() + static_cast<std::ptrdiff_t>(gone));
    return lines;
}

std::uint64_t ReportDocument::rowsWrappedAt(std::size_t columns) const {
    columns = std::max<std::size_t>(columns, 1);
    const auto rows = [columns](std::size_t length) -> std::uint64_t {
        return length == 0 ? 1 : (length + columns - 1) / columns;
    };
    std::uint64_t total = 0;
    for (std::size_t length = 0; length < kCountedLength; ++length)
        total += lengthCounts_[length] * rows(length);
    for (const std::size_t length : longLineLengths_) total += rows(length);
    // The last line, which no line break has finished yet.
    std::size_t last = currentLineLength_;
    const std::string& bytes = chunks_.back().bytes;
    if (last > 0 && !bytes.empty() && bytes.back() == '\r') --last;
    return total + rows(last);
}

std::string_view ReportDocument::trimLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::string_view ReportDocument::line(std::size_t n) const {
    std::string_view result;
    forLines(n, 1, [&](std::size_t, std::string_view text) { result = text; });
    return result;
}

std::string ReportDocument::text() const {
    std::string all;
    all.reserve(size());
    for (std::size_t c = 0; c < chunks_.size(); ++c) all += chunk(c);
    return all;
}

std::size_t ReportDocument::memoryUse() const {
    std::size_t bytes = sizeof(*this) + chunks_.capacity() * sizeof(Chunk) +
                        longLineLengths_.capacity() * sizeof(std::size_t);
    for (const Chunk& chunk : chunks_)
        bytes += chunk.bytes.capacity() + chunk.marks.capacity() * sizeof(std::uint32_t);
    return bytes;
}

MessageStore::TextSource textOf(const ReportDocument& document) {
    return [&document](std::uint64_t begin, std::uint64_t end, std::string& scratch) -> std::string_view {
        const std::uint64_t origin = document.origin();
        begin = begin > origin ? begin - origin : 0;
        end = std::min<std::uint64_t>(end > origin ? end - origin : 0, document.size());
        if (begin >= end) return {};
        std::size_t chunk = document.chunkAt(begin);
        const std::size_t start = document.chunkStart(chunk);
        const std::string_view bytes = document.chunk(chunk);
        if (end - start <= bytes.size()) return bytes.substr(begin - start, end - begin);
        // A record that runs over two chunks is put together.
        scratch.clear();
        while (begin < end && chunk < document.chunkCount()) {
            const std::size_t at = document.chunkStart(chunk);
            const std::string_view part = document.chunk(chunk);
            const std::uint64_t to = std::min<std::uint64_t>(end - at, part.size());
            scratch.append(part.substr(begin - at, to - (begin - at)));
            begin = at + to;
            ++chunk;
        }
        return scratch;
    };
}

}  // namespace truno::window
