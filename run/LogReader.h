#pragma once
// Reads a trace log line by line and hands on one message at a time: its TIME and DIR values
// and its octets as read. Holds no more of the log than the current line and message.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// Splits a byte stream into lines: CR LF, a lone CR and a lone LF each end a line; the line
// break is not part of the line. A last line without a line break is a line too. A line longer
// than kMaxLine is cut there (the rest up to its line end is skipped), so that memory stays
// bounded whatever the input: no line of a trace log comes near that length.
class LineSource {
public:
    static constexpr std::size_t kMaxLine = 1 << 20;

    explicit LineSource(std::istream& in);
    // The next line, valid until the following call; false at the end of the stream.
    bool next(std::string_view& line);
    // 1-based number of the line last returned.
    std::size_t lineNumber() const { return lineNumber_; }
    // True when the stream failed for a reason other than reaching its end.
    bool readError() const { return readError_; }

private:
    bool fill();
    std::istream& in_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool readError_ = false;
    bool skipLf_ = false;  // the previous line ended in CR: a LF right after it belongs to it
    bool discarding_ = false;  // skipping the rest of a line that was cut at kMaxLine
    std::size_t lineNumber_ = 0;
};

// Log lines of one kind: how many, and the first few runs of consecutive lines, so that memory
// stays the same whatever the log.
class LineRanges {
public:
    static constexpr std::size_t kListed = 5;

    // Lines are added in increasing order.
    void add(std::size_t line);
    std::uint64_t count() const { return count_; }
    // "log lines 8-9, 11, 14-20, ..." (the ranges listed, then "..." when there are more),
    // "log line 8" for one line; empty when there is none.
    std::string text() const;

private:
    struct Range {
        std::size_t first = 0;
        std::size_t last = 0;
    };
    Range ranges_[kListed] = {};
    std::size_t listed_ = 0;
    bool more_ = false;
    std::uint64_t count_ = 0;
};

// One message as the reader hands it on.
struct LogMessage {
    std::string time;       // last non-empty TIME field met so far
    std::string direction;  // last non-empty DIR field met so far
    // The DATA fields of the message joined by two blanks and split at every two blanks: the
    // octets as read, one after the other without the blanks, so that the octets of a parameter
    // stand together as its contents; `octets` are views into it, one per octet.
    std::string data;
    std::vector<std::string_view> octets;
    std::size_t startLine = 0;             // log line of the message's first data line
    std::string msg;        // the MSG field of its first data line (read, not used to decode)
    bool dated = false;     // a page header with a date came before its end (LogReader::pageDate)
    std::size_t tabLine = 0;  // the first of its data lines that holds a tab in the columns read
    bool oversized = false;  // more DATA than any message can hold: the rest was not kept
    // Data lines whose DATA went on past the kDataWidth characters that are read: how many, the
    // first of them, and the last column that was read.
    std::size_t cutLines = 0;
    std::size_t firstCutLine = 0;
    std::size_t lastDataColumn = 0;
    // Scratch of the reader: the length of the DATA joined by two blanks so far, with and without
    // the blanks a line without DATA leaves at its end.
    std::size_t joinedSize = 0;
    std::size_t joinedSizeWithTrailingBlanks = 0;
};

class LogReader {
public:
    // The exact trace header line and the column header text the reader looks for.
    static constexpr std::string_view kTraceHeader =
        "USER       BCIC        DEV                   ROUTE       TSTCALL";
    static constexpr std::string_view kColumnHeader = "TIME        MSG        DIR  DATA";
    static constexpr std::size_t kDataWidth = 100;
    // DATA text kept of one message: far more than the longest message (a few hundred octets);
    // a log whose blank lines are missing does not make the reader grow without bound.
    static constexpr std::size_t kMaxMessageData = 1 << 20;

    explicit LogReader(std::istream& in);

    // Reads up to the next message and fills `m`; false at the end of the log.
    bool next(LogMessage& m);
    // Whether next() is inside a message (it has read one of its data lines), as when it waits
    // for more of a followed log.
    bool collecting() const { return collecting_; }

    // When set, next() leaves each message's DATA joined by two blanks in `data`, with no octets:
    // the worker threads of a parallel run split it (splitJoined), so that the reading thread
    // does no more than read.
    void setDeferSplit(bool defer) { deferSplit_ = defer; }

    // Values of the trace values line.
    const std::string& user() const { return user_; }
    const std::string& bcic() const { return bcic_; }
    const std::string& device() const { return device_; }
    const std::string& route() const { return route_; }

    bool traceHeaderFound() const { return state_ != State::SeekTrace; }
    bool readError() const { return lines_.readError(); }

    // Why a log yielded no message, for the run's summary (empty when messages were found).
    std::string whyNoMessage(std::uint64_t messagesFound) const;

    // Lines after the trace header that look like message data (two-digit hex octets separated
    // by two blanks in the DATA column) but were ignored, there being no column header before
    // them: every message needs a column header of its own.
    const LineRanges& ignoredDataLines() const { return ignoredData_; }
    // Data lines whose DATA went on past the kDataWidth characters that are read.
    const LineRanges& cutDataLines() const { return cutData_; }
    // Column header lines met while a message was being collected (the blank line before them
    // missing): each ended that message and began the next.
    const LineRanges& headersInsideMessages() const { return headersInside_; }
    // The date (YYYY-MM-DD) of the first page header line that holds one; empty before.
    const std::string& pageDate() const { return pageDate_; }
    // Data lines that hold a tab in the columns read: columns are read by position, and a tab is
    // one character, so the fields are not where the column header says.
    const LineRanges& tabLines() const { return tabLines_; }

private:
    enum class State { SeekTrace, ReadValues, SeekColumn, Collect };
    void readValues(std::string_view line);
    void readColumnHeader(std::string_view line);
    void addDataLine(std::string_view line, LogMessage& m);
    void handOn(LogMessage& m);
    void noteIgnoredLine(std::string_view line);
    void noteCutData(std::string_view line, LogMessage& m);

    LineSource lines_;
    State state_ = State::SeekTrace;
    bool columnHeaderFound_ = false;
    std::string user_, bcic_, device_, route_;
    // 1-based start and width of each field, from the latest column header line.
    std::size_t timePos_ = 0, timeWidth_ = 0, msgPos_ = 0, msgWidth_ = 0, dirPos_ = 0, dirWidth_ = 0, dataPos_ = 0;
    std::string lastTime_, lastDir_;
    std::string escaped_;  // a line's DATA with its unprintable bytes escaped
    std::string lastColumnHeader_;  // the column header line the positions were read from
    bool deferSplit_ = false;
    bool collecting_ = false;  // at least one data line in the current message
    LineRanges ignoredData_;
    LineRanges cutData_;
    void notePageHeader(std::string_view line);
    std::string pageDate_;
    LineRanges headersInside_;
    LineRanges tabLines_;
    // The first line that would be the trace header, or a column header, but for tabs standing
    // where blanks should (0: none).
    std::size_t tabbedTraceHeader_ = 0;
    std::size_t tabbedColumnHeader_ = 0;
};

// Whether `line`, holding a tab, has the words of `header` in its order separated by nothing but
// blanks and tabs, and nothing else: a header line written with tabs.
bool isTabbedHeader(std::string_view line, std::string_view header);

// Whether `line` is the trace header: kTraceHeader exactly, but for blanks and tabs after it and,
// on the first line of the log, a UTF-8 byte-order mark before it.
bool isTraceHeader(std::string_view line, std::size_t lineNumber);

// Whether `data` (a DATA field, blanks around it removed) is two-digit hex octets separated by
// two blanks, as a log writes a message's octets.
bool looksLikeOctets(std::string_view data);

// Splits DATA text at every two blanks into octets: each octet's characters are appended to
// `text` and a view of them to `octets` (the views of earlier octets follow `text` if it moves).
void splitOctets(std::string_view data, std::string& text, std::vector<std::string_view>& octets);

// The octets of DATA joined by two blanks (a message read with setDeferSplit): their characters
// in `text`, one view each in `octets`.
void splitJoined(std::string_view joined, std::string& text, std::vector<std::string_view>& octets);

// Leading and trailing space characters removed (tabs stay).
std::string_view trimSpaces(std::string_view s);

// The characters of `line` from 1-based position `start`, at most `length` of them.
std::string_view mid(std::string_view line, std::size_t start, std::size_t length);

}  // namespace truno
