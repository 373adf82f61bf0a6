#pragma once
// The report as the window holds it: the report's own bytes (UTF-8, CR LF line ends) in a few
// large chunks, with a sparse index of line starts, so that a report of hundreds of megabytes
// costs little more than its own size and any line is found at once. A followed log that keeps
// only its last messages lets the oldest lines go: the document is then the text from a later
// line on, its offsets and line numbers counted from there (origin() says how far).
#include "analysis/store/MessageStore.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace truno::window {

class ReportDocument {
public:
    // Chunks are closed at the first line end after `chunkBytes` bytes; the default suits large
    // reports, tests pass small sizes to exercise the chunk boundaries.
    explicit ReportDocument(std::size_t chunkBytes = std::size_t{4} << 20);

    // Appends report text; pieces may end anywhere, even between CR and LF.
    void append(std::string_view text);
    // The same; a large block is kept as it is rather than copied.
    void append(std::string&& block);

    std::size_t size() const { return size_ - origin_; }
    bool empty() const { return size() == 0; }

    // Lines are separated by LF; a text that ends in a line break has an empty last line, and
    // the empty document has one empty line.
    std::size_t lineCount() const { return lineCount_ - originLine_; }

    // Lets the text before the line that holds byte `offset` go, and returns the number of lines
    // that went; offsets and line numbers are then counted from the first line kept. The chunks
    // that held only text let go are freed.
    std::size_t dropBefore(std::size_t offset);
    // Bytes of the report let go before the first byte held: an offset into the report as a
    // whole (as the message store keeps them) is this much above the same byte's offset here.
    std::size_t origin() const { return origin_; }

    // Line n (0-based) without its line break (LF, or CR LF).
    std::string_view line(std::size_t n) const;

    // Calls f(lineNumber, line) for `count` lines from `first` on (stopping at the last line),
    // walking the text in order, which is cheaper than looking each line up.
    template <class F>
    void forLines(std::size_t first, std::size_t count, F&& f) const;

    // Length in bytes of the longest line (without its line break).
    std::size_t longestLine() const;

    // The whole text as stored, byte for byte.
    std::string text() const;

    // Bytes held: chunk capacities plus the index.
    std::size_t memoryUse() const;

    // The stored text is a few chunks in order; a line never spans two of them, so a search for
    // text without a line break can look at one chunk at a time.
    std::size_t chunkCount() const { return chunks_.size(); }
    std::string_view chunk(std::size_t index) const {
        const std::string_view bytes = chunks_[index].bytes;
        return index == 0 ? bytes.substr(origin_ - chunks_[0].start) : bytes;
    }
    // Byte offset of a chunk's first byte in the whole text.
    std::size_t chunkStart(std::size_t index) const { return std::max(chunks_[index].start, origin_) - origin_; }
    // The chunk that holds byte `offset` (the last chunk for the offset at the end).
    std::size_t chunkAt(std::size_t offset) const;

    // Byte offset of the start of line n (the end of the text past the last line).
    std::size_t lineStart(std::size_t n) const;
    // The line that holds byte `offset`, and the offset where that line starts.
    std::pair<std::size_t, std::size_t> lineAt(std::size_t offset) const;

    // The number of rows the text takes when each line is cut into rows of at most `columns`
    // bytes (an empty line takes one row): what a printout with that line width needs.
    std::uint64_t rowsWrappedAt(std::size_t columns) const;

private:
    struct Chunk {
        std::string bytes;
        std::size_t start = 0;              // offset of the chunk's first byte in the text
        std::size_t firstLine = 0;          // number of the line the chunk starts with
        std::vector<std::uint32_t> marks;   // offset of every kMarkEvery-th line start
    };
    // A line is found from the mark before it, at most kMarkEvery - 1 line ends on: a few
    // kilobytes to look through, where a mark for fewer lines would cost more memory (the report
    // of a million messages has 24 million lines).
    static constexpr std::size_t kMarkEvery = 64;
    // Chunks hold less than this (their marks are 32-bit): a larger block is copied in pieces.
    static constexpr std::size_t kLargestChunk = std::size_t{0xFFFFFFFF};
    // Line lengths up to this are counted in a table, longer ones kept one by one.
    static constexpr std::size_t kCountedLength = 512;

    void startChunk();
    void closeChunk();
    void appendToChunk(Chunk& chunk, std::string_view part);
    // Counts and marks the line starts in chunk bytes from `from` on.
    void indexFrom(Chunk& chunk, std::size_t from);
    // These two count lines as the text was appended, the lines let go included.
    std::size_t chunkOf(std::size_t line) const;
    // Chunk and offset in it where line n starts (a line held).
    std::pair<std::size_t, std::size_t> findLineStart(std::size_t n) const;
    void countLine(std::size_t length);
    static std::string_view trimLineEnd(std::string_view line);

    std::size_t chunkBytes_;
    // Chunks keep the offsets and line numbers of the text as it was appended, the text let go
    // included; the first chunk may begin before the origin.
    std::vector<Chunk> chunks_;
    std::size_t size_ = 0;
    std::size_t lineCount_ = 1;
    std::size_t origin_ = 0;      // bytes let go
    std::size_t originLine_ = 0;  // lines let go
    std::size_t currentLineLength_ = 0;
    std::size_t longestLine_ = 0;
    // Lengths of the finished lines, for rowsWrappedAt().
    std::array<std::uint64_t, kCountedLength> lengthCounts_{};
    std::vector<std::size_t> longLineLengths_;
};

template <class F>
void ReportDocument::forLines(std::size_t first, std::size_t count, F&& f) const {
    if (first >= lineCount() || count == 0) return;
    std::size_t n = first + originLine_;
    auto [c, pos] = findLineStart(n);
    const Chunk* chunk = &chunks_[c];
    std::string_view bytes = chunk->bytes;
    while (count > 0 && n < lineCount_) {
        if (pos >= bytes.size() && c + 1 < chunks_.size() && chunks_[c + 1].firstLine == n) {
            ++c;
            chunk = &chunks_[c];
            bytes = chunk->bytes;
            pos = 0;
        }
        const std::size_t end = bytes.find('\n', pos);
        const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
        f(n - originLine_, trimLineEnd(bytes.substr(pos, stop - pos)));
        pos = stop + 1;
        ++n;
        --count;
    }
}

// The report text from one offset to another, as MessageStore::facts() borrows it; the offsets
// are the report's as a whole (the store's).
MessageStore::TextSource textOf(const ReportDocument& document);

}  // namespace truno::window
