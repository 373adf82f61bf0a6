#pragma once
// The facts of every message of a log, kept after the run in little memory, so that views that
// live on after the run (a message list, its filter, the calls, the exports) can take them again
// without decoding anything a second time: per message a row of numbers and offsets, its short
// strings and the marks of its record in a few bytes each in a pool (MessageEncoder). The record
// texts themselves are the report's: the store keeps where each record stands in the report, and
// the caller, who holds the report, lends its text back when the full facts of a message are
// asked for.
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
#include <span>
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

// What a mark is apart from where it stands: the store keeps each once and a message's marks as
// the indexes of theirs, each with how far it begins after the mark before it (MarkEncoder).
// A number below kNumberInShape is part of the shape; a larger one follows the mark's bytes.
struct MarkShape {
    const BitField* field = nullptr;
    std::uint64_t number = 0;       // when !numberFollows
    std::int64_t valueOffset = 0;   // value - begin
    std::int16_t code = -1;
    std::uint16_t meaning = 0;
    std::uint16_t label = 0;        // index into the store's labels
    MarkKind kind = MarkKind::Plain;
    bool hasNumber = false;
    bool numberFollows = false;
    bool absolute = false;          // the mark's begin is kept whole (it lies before the mark before it)
    static constexpr std::uint64_t kNumberInShape = 256;
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
    std::uint16_t present = 0;  // the moments that came, one bit each (kCallMoments order), and kOpened
    SwitchIndex switchIndex = 0;
    std::uint64_t firstRecord = 0;
    std::uint64_t lastRecord = 0;
    std::uint32_t messages = 0;
    std::uint32_t notDecoded = 0;
    std::optional<std::uint32_t> cause;
    // The instants of its first message, address complete, answer and release; kNone: none.
    std::array<std::int64_t, 4> at{kNone, kNone, kNone, kNone};
    StringPool::Ref strings = 0;  // the lengths of its texts (7-bit groups), then the texts
    static constexpr std::uint16_t kOpened = 0x8000;  // an initial address message opened it
    static constexpr std::int64_t kNone = INT64_MIN;

    CallInstants instants() const;
    void setInstants(const CallInstants& instants);
};

// Writes a call's texts (CallText order) as its CallRow::strings keep them: the times of its
// first message, address complete, answer and release not when they are the time of day of the
// instant the call keeps for each (CallRow::at).
void appendCallTexts(std::string& out, const std::array<std::string_view, kCallTextCount>& texts, const CallRow& call);

// What the recorder hands over: the messages and calls recorded since the last batch.
struct MessageBatch;

class MessageStore {
public:
    // One message: what views ask of every message at once; the rest (its log line, lengths,
    // texts and marks) in its strings in the pool (appendMessageStrings).
    struct Row {
        std::uint64_t textBegin = 0;        // where the record's text begins in the report
        std::int64_t at = kNoInstant;       // its instant on the log's time line (LogClock)
        StringPool::Ref strings = 0;        // see appendMessageStrings
        std::uint32_t callDistance = 0;     // record - first record of its call + 1; 0: none; kFarCall: beside
        std::uint32_t callInstanceCode = 0;
        std::uint16_t type = 0;             // index of its type name, acronym and code
        std::uint16_t direction = 0;        // index of its direction
        std::uint16_t switchIndex = 0;      // its switch among the store's (switchNameOf)
        std::uint8_t flags = 0;
        DecodeFailure failure = DecodeFailure::Internal;
    };
    static constexpr std::uint32_t kFarCall = 0xFFFFFFFFu;
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
    std::uint64_t textEnd(std::size_t i) const;
    // The report's size as far as the recorded records go.
    std::uint64_t reportSize() const { return reportSize_; }

    std::uint64_t record(std::size_t i) const { return dropped_ + i + 1; }
    // The line of the log where message i begins.
    std::uint64_t logLine(std::size_t i) const { return strings(i).logLine; }
    // The first record of message i's call; 0: none.
    std::uint64_t callFirstRecord(std::size_t i) const;
    bool decoded(std::size_t i) const { return (row(i).flags & kDecoded) != 0; }
    bool hasCallInstanceCode(std::size_t i) const { return (row(i).flags & kHasCallInstanceCode) != 0; }
    // The time as read (most often rebuilt from the instant, not kept).
    std::string time(std::size_t i) const;
    // The DIR text as read, and the direction it stands for.
    std::string_view directionText(std::size_t i) const { return directions_[row(i).direction]; }
    Direction direction(std::size_t i) const { return directionOf(directionText(i)); }
    // The type as the summary shows it: acronym, hex code of an unknown type, "-" for none.
    std::string_view typeText(std::size_t i) const { return types_[row(i).type].shown; }
    std::string_view typeName(std::size_t i) const { return types_[row(i).type].name; }
    // The summary's info text.
    std::string_view info(std::size_t i) const;
    std::string_view reason(std::size_t i) const;

    // The marks of message i one after another, each with its label's index: `while
    // (cursor.next()) use(cursor.mark())`. Valid while the store keeps the message.
    class MarkCursor {
    public:
        std::size_t left() const { return left_; }
        bool next();
        // Goes to the next mark for its label alone: label() is its, mark() is not (quicker).
        bool nextLabel();
        const Mark& mark() const { return mark_; }
        std::uint16_t label() const { return label_; }

    private:
        friend class MessageStore;
        // Steps to the next mark (one is left) and reads its shape; its step is read next.
        const MarkShape& nextShape();
        const MessageStore* store_ = nullptr;
        const char* parts_ = nullptr;    // the parts of the marks' bytes still to come
        const char* steps_ = nullptr;    // shape and step of each mark of the part in hand
        const char* numbers_ = nullptr;  // the numbers that follow their marks
        std::size_t left_ = 0;
        std::size_t partLeft_ = 0;       // marks of the part in hand still to come
        bool ownPart_ = false;           // the part in hand is the message's own, among its parts
        Mark mark_{};
        std::uint16_t label_ = 0;
    };
    MarkCursor marks(std::size_t i) const;
    std::size_t markCount(std::size_t i) const { return strings(i).markCount; }
    // Mark k of message i (the marks before it are read to find it).
    Mark mark(std::size_t i, std::size_t k) const;
    // Its whole facts, its record text lent by `text`: the text of the report from one offset
    // to another (it may copy into the scratch string it is given).
    using TextSource = std::function<std::string_view(std::uint64_t begin, std::uint64_t end, std::string& scratch)>;
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
        std::string time;
    };
    RecordFacts facts(std::size_t i, const TextSource& text, Scratch& scratch) const;
    // Sets the facts of message i that its row holds, as much as the message's own keys of a
    // filter read (record, line, time, direction, code, type code, whether decoded and why not),
    // and leaves the others of `facts` as they are: a caller that asks for many messages' reuses
    // one. Valid while the store keeps the message.
    // `timeText`: where a time not kept as text is written (facts.time may point into it).
    void rowFacts(std::size_t i, RecordFacts& facts, std::string& timeText) const;

    // Finished calls, in the order of their first records (see CallTracker).
    const std::vector<CallRow>& calls() const { return calls_; }
    // One of a call's texts.
    std::string callText(const CallRow& call, CallText which) const;
    // The call as the analysis handed it over (the moments' times and instants as far as its
    // texts and durations go), for the writers that take a Call.
    Call call(const CallRow& row) const;

    // Bytes held.
    std::size_t memoryUse() const;

private:
    struct TypeText {
        std::int16_t code = -1;
        std::string name;     // as in the banner
        std::string acronym;  // empty for an unknown type
        std::string shown;    // as the summary shows it
    };

    // A message's strings as appendMessageStrings laid them out.
    struct Strings {
        std::uint64_t textLength = 0;
        std::uint64_t logLine = 0;
        std::uint64_t trailingOctets = 0;
        std::uint64_t markCount = 0;
        std::uint64_t timeCode = 0;  // TimeText.h
        std::string_view time;       // the time text kept, if any
        std::string_view info;
        std::string_view reason;
        std::string_view octets;
        const char* parts = nullptr;
        const char* numbers = nullptr;
    };
    Strings strings(std::size_t i) const;
    // The summary info that leads a message's strings (kept there, or shared), `at` past it.
    std::string_view readInfo(const char*& at) const;
    // The part shared of an odd code (twice its index, plus one).
    std::string_view sharedText(std::uint64_t code) const;
    struct FarCall {
        std::uint64_t record = 0;
        std::uint64_t first = 0;
    };

    BlockVector<Row> rows_;
    std::deque<WireRow> wires_;  // ascending record, of the rows flagged kCaptured
    std::deque<FarCall> farCalls_;  // ascending record, of the rows whose callDistance is kFarCall
    std::string logDate_;
    std::vector<std::string> switchNames_;  // by the rows' switchIndex
    StringPool pool_;
    std::vector<MarkLabel> labels_;
    std::vector<MarkShape> shapes_;
    // The marks' bytes that many messages share (MarkEncoder), one after another, and where each
    // begins.
    std::string templates_;
    std::vector<std::uint32_t> templateStarts_;
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
        std::uint32_t stringsOffset = 0;  // into `strings`, where appendMessageStrings began
    };
    std::vector<Message> messages;
    std::string strings;
    std::vector<MarkLabel> newLabels;
    std::vector<MarkShape> newShapes;
    std::string newTemplates;                        // one after another
    std::vector<std::uint32_t> newTemplateStarts;    // into newTemplates
    std::vector<std::pair<std::uint64_t, std::uint64_t>> farCalls;  // record, first record of its call
    std::vector<std::string> newDirections;
    std::vector<MessageStore::WireRow> wires;
    struct NewType {
        std::int16_t code = -1;
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

// What a message keeps in the store's pool beside its row.
struct MessageTexts {
    std::uint64_t textLength = 0;  // of the record's text
    std::uint64_t logLine = 0;
    std::uint64_t trailingOctets = 0;
    std::string_view time;  // as read; not kept when it is the instant's time of day

    std::string_view info;
    std::string_view reason;
    std::string_view octets;  // as bytes, or as text with a line break between two
    std::int64_t instant = MessageStore::kNoInstant;  // the message's (MessageStore::Row::at)
};

// On the run's thread: writes each message's strings for the store, and keeps each mark's label
// and shape once, and the marks' bytes many messages share (a message of a kind the log holds
// many of has the same marks as the last of them), handing what it meets for the first time
// over with the batch. A message's strings, one after another: its summary info (twice the index
// of the part shared that is the info, plus one; else twice its length, then the info); the
// length of its record's text, its log line, its trailing octets, its time's code (TimeText.h),
// the length of its reason, its octets' code (as the info's: a short message's octets, such as a
// release complete's on a circuit, are often shared), its number of marks and the length of its
// marks' numbers, each in 7-bit groups; its time (when kept), reason and octets; its marks' numbers
// that do not fit in their shapes; its marks' bytes in parts, each the index + 1 of a part
// shared, or 0, its number of marks and its own bytes. The marks are one part, or when no part
// shared holds them all, a part from each parameter on. A part's bytes are its number of marks,
// then each mark's shape's index and its step from the mark before it (or its begin
// when it lies before that one), in 7-bit groups.
class MessageEncoder {
public:
    void append(const MessageTexts& texts, std::span<const Mark> marks, MessageBatch& batch);

private:
    std::uint16_t labelIndex(const Mark& mark, MessageBatch& batch);
    // The index + 1 of the shared part that is `part`; 0: the message keeps its own.
    std::uint64_t shared(std::string_view part, MessageBatch& batch);
    // Writes a part: shared, or its own bytes.
    void appendPart(std::string_view part, std::string& out, MessageBatch& batch);
    struct ShapeHash {
        std::size_t operator()(const MarkShape& shape) const;
    };
    struct ShapeEqual {
        bool operator()(const MarkShape& a, const MarkShape& b) const;
    };
    // Shared parts are kept up to these (then a message keeps its own).
    static constexpr std::size_t kMaxTemplates = 1u << 16;
    static constexpr std::size_t kMaxTemplateBytes = std::size_t{8} << 20;
    // Octets up to this many bytes may be shared (a longer message's are mostly its own).
    static constexpr std::size_t kSharedOctets = 16;
    // The parts met, by their hash, in one table probed from the hash on: a part shared (its
    // index), or one met once (kSeenOnce). Those met once are forgotten when the table is three
    // quarters full.
    struct Slot {
        std::uint32_t hash = 0;  // of the table's 2^17 slots, the lowest bits say where to look
        std::uint32_t index = kEmpty;
    };
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    static constexpr std::uint32_t kSeenOnce = 0xFFFFFFFEu;
    static constexpr std::size_t kSlots = std::size_t{1} << 17;
    std::string_view templateAt(std::uint32_t index) const;
    void forgetSeenOnce();

    std::unordered_map<const BitField*, std::uint16_t> fieldLabels_;
    std::unordered_map<int, std::uint16_t> parameterLabels_;
    std::uint16_t labelCount_ = 0;
    std::unordered_map<MarkShape, std::uint32_t, ShapeHash, ShapeEqual> shapes_;
    std::vector<Slot> slots_;
    std::size_t slotsUsed_ = 0;
    std::string templates_;                      // the shared parts, one after another
    std::vector<std::uint32_t> templateStarts_;  // and where each begins
    std::string steps_;
    std::vector<std::size_t> partStarts_;  // in steps_, with their marks' count before each
    std::string part_;
    std::string numbers_;
    std::string header_;
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
    std::uint16_t directionIndex(std::string_view direction);
    std::uint16_t typeIndex(const RecordFacts& record);

    LogAnalysis analysis_;
    MessageBatch batch_;
    std::uint64_t reportSize_ = 0;
    MessageEncoder encoder_;
    std::vector<std::string> directions_;
    std::unordered_map<std::string, std::uint16_t> types_;
    std::string scratch_;
    std::string texts_;
    std::uint64_t recorded_ = 0;  // messages recorded: the last one's number in the store
};

}  // namespace truno
