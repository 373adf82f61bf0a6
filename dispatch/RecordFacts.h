#pragma once
// The facts of one message beside its record: where it stands in the log, its own call instance
// code, its type, whether it was decoded and why not, its octets, its record text and the marks
// the layout functions left in that text. Views into the decoding state and the run's buffers:
// valid while the run hands them over, not after.
#include "base/ReportText.h"
#include "dispatch/DecodingState.h"
#include "dispatch/RecordFields.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace truno {

// Which way a message went: sent by the side the trace was taken at (DIR S), or received by it
// (DIR R); a log may hold any other text in its DIR column.
enum class Direction : std::uint8_t { Sent, Received, Unknown };
// The direction a DIR column's text stands for.
constexpr Direction directionOf(std::string_view text) {
    return text == "S" ? Direction::Sent : text == "R" ? Direction::Received : Direction::Unknown;
}

// Of a message read from a packet capture: the MTP3 routing label and service information octet
// it came with, the packet that completed it and that packet's time stamp (UTC).
struct WireFacts {
    bool captured = false;         // the message came from a capture (all below is known)
    bool pointCodesKnown = false;  // false for a user part captured alone (no routing label)
    std::uint32_t opc = 0;
    std::uint32_t dpc = 0;
    std::uint8_t si = 0;
    std::uint8_t ni = 0;
    std::uint8_t sls = 0;
    std::uint64_t packet = 0;  // 1-based
    std::int64_t seconds = 0;  // since 1970
    std::uint32_t nanoseconds = 0;
};

// "2024-05-01T07:03:11.074512Z": the time stamp of a captured message (UTC), in microseconds, or
// nanoseconds when the capture gives more; appended to `out`.
void appendWireTimestamp(std::string& out, const WireFacts& wire);

struct RecordFacts {
    std::uint64_t record = 0;     // the record's number
    std::size_t logLine = 0;      // log line where the message starts
    std::string_view time;        // TIME and DIR as read from the log (not escaped)
    std::string_view directionText;
    Direction direction = Direction::Unknown;  // what directionText stands for
    // `time` as milliseconds of the day (millisecondsOfDay), when the run read it so
    // (timeOfDayRead); else whoever needs it reads `time`.
    bool timeOfDayRead = false;
    std::optional<std::int64_t> timeOfDay;
    // The message's own call instance code: octets 1-4 read as one number, least significant
    // octet first, as BICC carries it; in ISUP mode (cicOctets 2) the circuit identification code,
    // the 12 bits of octets 1-2, least significant octet first. Absent when one of them is not two
    // hex digits.
    std::size_t cicOctets = 4;
    bool hasCallInstanceCode = false;
    std::uint32_t callInstanceCode = 0;
    int typeCode = -1;            // the octet after the code when it is two upper-case hex digits, else -1
    std::string_view typeName;    // as in the banner; empty when the message has no type code
    std::string_view acronym;     // "IAM", ...; empty for a type code that is not known
    bool decoded = false;
    std::string_view reason;      // why it was not decoded; empty when it was
    DecodeFailure failure = DecodeFailure::Internal;  // what kind of failure, when not decoded
    std::span<const std::string_view> octets;  // as read
    // The octets after the message's end (DecodingState::MessageEnd), part of `octets`; the
    // record shows the message as its layout reads it, without them. Empty when there are none.
    std::span<const std::string_view> trailingOctets;
    // The MSG column of the message's first data line as read.
    std::string_view msgColumn;
    // The log's date (YYYY-MM-DD) from the first page header that gives one, when one came
    // before the message's end; empty otherwise.
    std::string_view logDate;
    // The ROUTE column of the log's trace values line, as read; empty when none came before the
    // message (and for a packet capture).
    std::string_view route;
    // The record's report text (without the CR LF that separates it from the record before
    // it), and where it stands in the run's report.
    std::string_view text;
    std::uint64_t reportOffset = 0;
    std::span<const Mark> marks;  // offsets counted from the start of `text`
    // The blocks and fields of `marks`, when the thread that decoded the record built them
    // (RunOptions::buildFields); views into the run's memory, as `marks` is.
    BuiltFields builtFields{};
    WireFacts wire{};             // of a message read from a capture
    // A view's text of the record, written beside its decoding by the thread that decoded it
    // (RunOptions::prepare), and the place in it where the part goes that only the one taking
    // the records in log order can write; empty when none was written.
    std::string_view prepared;
    std::size_t preparedSplit = 0;
};

// A record's facts with everything they view (text, octets, marks, the texts read from the log)
// copied into storage of its own: valid after the run has moved on. Copies and moves view their
// own storage.
class CopiedRecord {
public:
    CopiedRecord() = default;
    explicit CopiedRecord(const RecordFacts& record) { assign(record); }
    CopiedRecord(const CopiedRecord& other) { assign(other.record_); }
    CopiedRecord(CopiedRecord&& other) noexcept { swap(other); }
    CopiedRecord& operator=(const CopiedRecord& other) {
        if (this != &other) assign(other.record_);
        return *this;
    }
    CopiedRecord& operator=(CopiedRecord&& other) noexcept {
        swap(other);
        return *this;
    }
    ~CopiedRecord() = default;

    // Takes a copy of `record`; the storage is reused, so that nothing is allocated once it has
    // grown.
    void assign(const RecordFacts& record);
    const RecordFacts& record() const { return record_; }

private:
    // A vector's block goes with it when it is swapped, and the views with the block.
    void swap(CopiedRecord& other) noexcept {
        std::swap(record_, other.record_);
        bytes_.swap(other.bytes_);
        octets_.swap(other.octets_);
        marks_.swap(other.marks_);
    }

    RecordFacts record_;
    std::vector<char> bytes_;  // the texts and octets, one after another
    std::vector<std::string_view> octets_;
    std::vector<Mark> marks_;
};

// The facts of the message whose record `state` wrote last (decodeMessage or recordNotDecoded);
// `reportOffset` is where the state's report text begins in the run's report.
RecordFacts lastRecordFacts(const DecodingState& state, std::size_t logLine, std::uint64_t reportOffset);
// The same into `facts`, every member set: a run fills one RecordFacts for each of its records.
void setLastRecordFacts(RecordFacts& facts, const DecodingState& state, std::size_t logLine, std::uint64_t reportOffset);

// Fills the facts that come from the octets as read: the octets themselves, the call instance
// code (of `cicOctets` octets: 4 or 2), the type code and the acronym; and the octets from
// `messageEnd` on (0: none) as trailing.
void setOctetFacts(RecordFacts& facts, std::span<const std::string_view> octets, std::size_t cicOctets = 4,
                   std::size_t messageEnd = 0);

// The call instance code of octets 1-4 (cicOctets 4), or the 12-bit circuit identification code
// of octets 1-2 (cicOctets 2), when each octet is two upper-case hex digits.
bool readCallInstanceCode(std::span<const std::string_view> octets, std::uint32_t& code, std::size_t cicOctets = 4);

}  // namespace truno
