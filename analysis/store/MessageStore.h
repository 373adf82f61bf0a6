#pragma once
// The facts of every message of a log, kept after the run in little memory, so that views that
// live on after the run (a message list, its filter, the calls, the exports) can take them again
// without decoding anything a second time: per message a row of numbers and offsets, its short
// strings in a pool, the marks of its record in eight bytes each. The record texts themselves are
// the report's: the store keeps where each record stands in the report, and the caller, who holds
// the report, lends its text back when the full facts of a message are asked for.
//
// The run's thread records (MessageRecorder) and hands over batches; the thread that shows the
// views appends them to its store. The recorder also follows the calls, counts the statistics
// and, when asked, the trunk's health, as the command-line views do, so that one run feeds every
// view.
#include "analysis/calls/Calls.h"
#include "analysis/pipeline/LogAnalysis.h"
#include "analysis/facts/LogClock.h"
#include "analysis/facts/MessageFacts.h"
#include "analysis/calls/Statistics.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace truno {

// A vector that grows in blocks, so that a large one never needs twice its size to grow. Its
// oldest elements may be let go: the blocks that hold only those are freed, and the others keep
// their indices (counted from the first element ever pushed).
template <class T, std::size_t BlockSize = 65536>
class BlockVector {
public:
    void push_back(const T& value) {
        if (size_ % BlockSize == 0) blocks_.push_back(std::make_unique<T[]>(BlockSize));
        blocks_.back()[size_ % BlockSize] = value;
        ++size_;
    }
    const T& operator[](std::size_t i) const { return blocks_[i / BlockSize - firstBlock_][i % BlockSize]; }
    T& operator[](std::size_t i) { return blocks_[i / BlockSize - firstBlock_][i % BlockSize]; }
    // One past the last index, the elements let go included.
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The elements before index `first` are not asked for again: the blocks that hold only those go.
    void dropBefore(std::size_t first) {
        while (!blocks_.empty() && (firstBlock_ + 1) * BlockSize <= first) {
            blocks_.pop_front();
            ++firstBlock_;
        }
    }
    std::size_t memoryUse() const { return blocks_.size() * BlockSize * sizeof(T); }

private:
    std::deque<std::unique_ptr<T[]>> blocks_;
    std::size_t firstBlock_ = 0;  // blocks freed before the first one held
    std::size_t size_ = 0;
};

// Strings kept one after another in pages; a string never spans two pages, so each is one view.
// The oldest pages may be let go once no string in them is asked for again.
class StringPool {
public:
    // Where a string is: page and offset packed in one number.
    using Ref = std::uint64_t;
    Ref add(std::string_view text);
    std::string_view view(Ref ref, std::size_t length) const {
        return {pages_[(ref >> 32) - firstPage_].get() + (ref & 0xFFFFFFFFu), length};
    }
    // The strings in the pages before the one `oldest` points into are not asked for again; the
    // page being filled stays.
    void dropBefore(Ref oldest);
    std::size_t memoryUse() const;

private:
    static constexpr std::size_t kPageBytes = std::size_t{1} << 20;
    std::deque<std::unique_ptr<char[]>> pages_;
    std::deque<std::size_t> pageSizes_;  // capacity of each page
    std::size_t firstPage_ = 0;          // pages freed before the first one held
    std::size_t used_ = 0;               // bytes used in the last page
};

// A mark of a record in eight bytes: where its line begins (from the start of the record's
// text), what it marks as an index into the store's labels (a field's row, or a parameter code
// with its name), its number, how far its value begins after its line, and in one octet its
// kind, whether it has a number and where its value's meaning begins. A mark that does not fit
// is kept whole beside (wide).
struct CompactMark {
    std::uint16_t begin = 0;
    std::uint16_t label = 0;
    std::uint16_t number = 0;
    std::uint8_t valueOffset = 0;  // value - begin
    std::uint8_t bits = 0;         // kind (bits 0-2; kWide: kept whole), has a number (bit 3), meaning (bits 4-7)
    static constexpr std::uint8_t kWide = 7;
};

// A mark that does not fit in eight bytes, kept beside: the index of its CompactMark and the mark
// itself.
struct WideMark {
    std::uint64_t index = 0;
    Mark mark;
};

// What a mark's label index stands for: a field's row, or a parameter code (Parameter marks);
// the label is the row's or the parameter's name, empty for a heading.
struct MarkLabel {
    const BitField* field = nullptr;
    std::int16_t code = -1;
    std::string_view label;
};

// The texts of a finished call the store keeps, one after another in its pool, in this order.
enum class CallText : std::uint8_t {
    FirstTime, LastTime, Direction, Calling, Called, Location, ReleasedBy,
    AddressCompleteTime, ProgressTime, AnswerTime, ReleaseTime, ReleaseCompleteTime,
    Route,  // of a capture's call: "2057-2058"; empty for a log's
};
inline constexpr std::size_t kCallTextCount = 13;

// One finished call as the store keeps it: its numbers, the instants of its durations, which of
// its messages came, and its texts in the store's pool; MessageStore::call gives the Call back.
struct CallRow {
    std::uint32_t callInstanceCode = 0;
    CallOutcome outcome = CallOutcome::Incomplete;
    std::uint16_t present = 0;  // the moments that came, one bit each (kCallMoments order)
    SwitchIndex switchIndex = 0;
    std::uint64_t firstRecord = 0;
    std::uint64_t lastRecord = 0;
    std::uint32_t messages = 0;
    std::uint32_t notDecoded = 0;
    std::optional<std::uint32_t> cause;
    CallInstants instants;
    StringPool::Ref strings = 0;
    std::array<std::uint16_t, kCallTextCount> lengths{};
};

// What the recorder hands over: the messages and calls recorded since the last batch.
struct MessageBatch;

class MessageStore {
public:
    // One message.
    struct Row {
        std::uint64_t textBegin = 0;        // where the record's text begins in the report
        std::uint32_t textLength = 0;       // and its length
        std::uint32_t trailingOctets = 0;   // how many of its last octets come after its end
        std::uint64_t logLine = 0;
        std::int64_t at = kNoInstant;       // its instant on the log's time line (LogClock)
        std::uint64_t callFirstRecord = 0;  // the first record of its call; 0: none
        std::uint64_t marksBegin = 0;       // its first mark among the store's marks
        StringPool::Ref strings = 0;        // time, summary info, reason, octets, one after another
        std::uint32_t callInstanceCode = 0;
        std::uint32_t reasonLength = 0;
        std::uint32_t octetsLength = 0;
        std::uint16_t timeLength = 0;
        std::uint16_t infoLength = 0;
        std::int16_t typeCode = -1;
        std::uint16_t type = 0;             // index of its type name and acronym
        std::uint16_t direction = 0;        // index of its direction
        std::uint8_t flags = 0;
        DecodeFailure failure = DecodeFailure::Internal;
        std::uint16_t switchIndex = 0;      // its switch among the store's (switchNameOf)
    };
    static constexpr std::int64_t kNoInstant = INT64_MIN;
    static constexpr std::uint8_t kDecoded = 1;
    static constexpr std::uint8_t kHasCallInstanceCode = 2;
    static constexpr std::uint8_t kOctetsAsBytes = 4;  // octets kept as bytes, else as text
    static constexpr std::uint8_t kTwoOctetCode = 8;   // read in ISUP mode (--cic-octets 2)
    static constexpr std::uint8_t kDated = 16;  // a page header with the log's date came before it
    static constexpr std::uint8_t kCaptured = 32;  // read from a capture: its wire facts are kept
    // The wire facts of a captured message, kept beside the rows (a log's messages have none).
    struct WireRow {
        std::uint64_t record = 0;
        WireFacts wire;
    };

    // The log's date (YYYY-MM-DD) from its first page header that gives one; empty: none.
    const std::string& logDate() const { return logDate_; }
    // The switch a message's log belongs to (MessageRecorder::beginSwitch); empty: none named.
    std::string_view switchNameOf(std::size_t i) const {
        const std::uint16_t index = row(i).switchIndex;
        return index < switchNames_.size() ? std::string_view(switchNames_[index]) : std::string_view{};
    }

    MessageStore();
    ~MessageStore();
    MessageStore(MessageStore&&) noexcept;
    MessageStore& operator=(MessageStore&&) noexcept;

    void append(MessageBatch&& batch);

    // Messages held; message i is record dropped() + i + 1.
    std::size_t size() const { return rows_.size() - dropped_; }
    bool empty() const { return size() == 0; }
    const Row& row(std::size_t i) const { return rows_[dropped_ + i]; }

    // A followed log that keeps only its last messages lets its oldest go: the oldest `count`
    // messages leave (message i becomes message i - count), with the calls whose messages have
    // all left, and the blocks and pages that held only theirs are freed. Calls that finish later
    // with all their messages gone are not kept either.
    void dropOldest(std::size_t count);
    // The positions in calls() of the calls that leave with the oldest `count` messages, rising.
    std::vector<std::size_t> callsLeavingWith(std::size_t count) const;
    // Messages and calls let go so far.
    std::uint64_t dropped() const { return dropped_; }
    std::uint64_t droppedCalls() const { return droppedCalls_; }
    // The run's calls not among calls() yet (open, or held behind an older open one) as of the
    // last batch appended: while a log is followed, calls() + droppedCalls() + this is every call
    // met so far.
    std::uint64_t callsUnfinished() const { return callsUnfinished_; }
    // The message of record `record`; none for a record not held (let go, or not come yet).
    std::optional<std::size_t> indexOf(std::uint64_t record) const {
        if (record <= dropped_ || record - dropped_ > size()) return std::nullopt;
        return static_cast<std::size_t>(record - dropped_ - 1);
    }

    // Where record i's text begins and ends in the report (the CR LF between two records belongs
    // to neither).
    std::uint64_t textBegin(std::size_t i) const { return row(i).textBegin; }
    std::uint64_t textEnd(std::size_t i) const { return row(i).textBegin + row(i).textLength; }
    // The report's size as far as the recorded records go.
    std::uint64_t reportSize() const { return reportSize_; }

    std::uint64_t record(std::size_t i) const { return dropped_ + i + 1; }
    bool decoded(std::size_t i) const { return (row(i).flags & kDecoded) != 0; }
    bool hasCallInstanceCode(std::size_t i) const { return (row(i).flags & kHasCallInstanceCode) != 0; }
    std::string_view time(std::size_t i) const;
    // The DIR text as read, and the direction it stands for.
    std::string_view directionText(std::size_t i) const { return directions_[row(i).direction]; }
    Direction direction(std::size_t i) const { return directionOf(directionText(i)); }
    // The type as the summary shows it: acronym, hex code of an unknown type, "-" for none.
    std::string_view typeText(std::size_t i) const { return types_[row(i).type].shown; }
    std::string_view typeName(std::size_t i) const { return types_[row(i).type].name; }
    // The summary's info text.
    std::string_view info(std::size_t i) const;
    std::string_view reason(std::size_t i) const;

    // The marks of message i, and its whole facts, its record text lent by `text`: the text of
    // the report from one offset to another (it may copy into the scratch string it is given).
    using TextSource = std::function<std::string_view(std::uint64_t begin, std::uint64_t end, std::string& scratch)>;
    std::size_t markCount(std::size_t i) const;
    Mark mark(std::size_t i, std::size_t k) const;
    std::uint16_t markLabel(std::size_t i, std::size_t k) const { return marks_[row(i).marksBegin + k].label; }
    std::string_view label(std::uint16_t index) const { return labels_[index].label; }
    std::size_t labelCount() const { return labels_.size(); }

    // Rebuilds the facts of message i as the run handed them over; valid until the next call with
    // the same `scratch`.
    struct Scratch {
        std::string text;
        std::string reportPiece;
        std::vector<std::string_view> octets;
        std::string octetText;
        std::vector<Mark> marks;
    };
    RecordFacts facts(std::size_t i, const TextSource& text, Scratch& scratch) const;
    // Sets the facts of message i that its row holds, as much as the message's own keys of a
    // filter read (record, line, time, direction, code, type code, whether decoded and why not),
    // and leaves the others of `facts` as they are: a caller that asks for many messages' reuses
    // one. Valid while the store keeps the message.
    void rowFacts(std::size_t i, RecordFacts& facts) const;

    // Finished calls, in the order of their first records (see CallTracker).
    const std::vector<CallRow>& calls() const { return calls_; }
    // One of a call's texts.
    std::string_view callText(const CallRow& call, CallText which) const;
    // The call as the analysis handed it over (the moments' times and instants as far as its
    // texts and durations go), for the writers that take a Call.
    Call call(const CallRow& row) const;

    // Bytes held.
    std::size_t memoryUse() const;

private:
    struct TypeText {
        std::string name;     // as in the banner
        std::string acronym;  // empty for an unknown type
        std::string shown;    // as the summary shows it
    };

    BlockVector<Row> rows_;
    std::deque<WireRow> wires_;  // ascending record, of the rows flagged kCaptured
    std::string logDate_;
    std::vector<std::string> switchNames_;  // by the rows' switchIndex
    BlockVector<CompactMark> marks_;
    std::vector<WideMark> wideMarks_;  // ascending mark index
    StringPool pool_;
    std::vector<MarkLabel> labels_;
    // Deques: a view into one of their strings stays valid as more come.
    std::deque<std::string> directions_;
    std::deque<TypeText> types_;
    std::vector<CallRow> calls_;
    std::uint64_t reportSize_ = 0;
    std::uint64_t dropped_ = 0;
    std::uint64_t droppedCalls_ = 0;
    std::uint64_t callsUnfinished_ = 0;
};

struct MessageBatch {
    struct Message {
        MessageStore::Row row;
        std::uint32_t stringsOffset = 0;  // into `strings`
        std::uint32_t markCount = 0;
    };
    std::vector<Message> messages;
    std::string strings;
    std::vector<CompactMark> marks;
    std::vector<WideMark> wideMarks;  // index among this batch's marks
    std::vector<MarkLabel> newLabels;
    std::vector<std::string> newDirections;
    std::vector<MessageStore::WireRow> wires;
    struct NewType {
        std::string name;
        std::string acronym;
        std::string shown;
    };
    std::vector<NewType> newTypes;
    struct FinishedCall {
        CallRow row;
        std::uint32_t stringsOffset = 0;
    };
    std::vector<FinishedCall> calls;
    std::string callStrings;
    std::uint64_t reportSize = 0;  // the report's size after this batch's records
    std::string logDate;           // the log's date from a page header, once known (RecordFacts::logDate)
    std::vector<std::string> switchNames;  // the run's switches by index, when one was named since
    std::uint64_t callsUnfinished = 0;     // the run's calls not handed on yet when it was taken

    bool empty() const { return messages.empty() && calls.empty(); }
};

// On the run's thread: takes each message's facts as the run hands them over, through the one
// analysis of the run (which follows the calls and counts the statistics), and gathers batches
// for the store.
class MessageRecorder {
public:
    MessageRecorder();
    // The log's switch (LogAnalysis::beginSwitch), before its first message.
    void beginSwitch(std::string_view name) {
        analysis_.beginSwitch(name);
        batch_.switchNames.clear();
        for (std::size_t index = 0; index < analysis_.switchCount(); ++index)
            batch_.switchNames.emplace_back(analysis_.switchName(static_cast<SwitchIndex>(index)));
    }
    void add(const RecordFacts& record) { analysis_.add(record); }
    // The trunk's health is followed in the same analysis (LogAnalysis::followHealth); the
    // caller owns it and finishes it after finish().
    void followHealth(TrunkHealth* health) { analysis_.followHealth(health); }
    // The log ended: the open calls finish.
    void finish() { analysis_.finish(); }
    // The messages and calls recorded since the last call.
    MessageBatch take();
    std::size_t pending() const { return batch_.messages.size(); }
    const Statistics& statistics() const { return analysis_.statistics(); }
    // The statistics and health as they stand while the log goes on (LogAnalysis::soFar).
    LogAnalysis::SoFar soFar() const { return analysis_.soFar(); }
    std::bitset<256> markedTypes() const { return analysis_.markedTypes(); }

private:
    void message(const AnalysedMessage& message);
    void callFinished(const Call& call);
    std::uint16_t labelIndex(const Mark& mark);
    std::uint16_t directionIndex(std::string_view direction);
    std::uint16_t typeIndex(const RecordFacts& record);

    LogAnalysis analysis_;
    MessageBatch batch_;
    std::uint64_t reportSize_ = 0;
    // Label indexes of the fields' rows, and of the parameter codes (the Parameter marks).
    std::unordered_map<const BitField*, std::uint16_t> fieldLabels_;
    std::unordered_map<int, std::uint16_t> parameterLabels_;
    std::uint16_t labelCount_ = 0;
    std::vector<std::string> directions_;
    std::unordered_map<std::string, std::uint16_t> types_;
    std::string scratch_;
};

}  // namespace truno
