#pragma once
// The decoding state: everything the run, the message dispatch and the parameter dispatch
// exchange about the current message. One instance per run (or per worker thread), passed by
// reference; nothing of it is global, so two runs share nothing.
#include "base/DecodeError.h"
#include "base/OctetText.h"
#include "base/ReportLayout.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

struct DecodingState {
    // --- The message read ---

    // One entry per octet as read from the log (normally two hex digits): the call instance code
    // or circuit identification code (CicOctets octets), then the message type code. The views point into the reader's buffer
    // for this message.
    std::vector<std::string_view> MessageOctets;
    // The octets stand one after another in memory (as the log reader hands them on), so that
    // the contents of consecutive octets are one view, without joining them.
    bool OctetsAdjacent = false;
    // TIME and DIR as read: views of the reader's texts for this message.
    std::string_view MessageTime;
    std::string_view MessageDirection;
    // BCIC value of the log's trace values line, printed in every record in BICC mode.
    std::string LogBcic;
    // The run's mode: how many octets stand before the message type code. 4: BICC's call instance
    // code (the trace format's own); 2: ISUP's circuit identification code (Q.763). The message
    // type code stands at this index, and every index of a message layout counts from it.
    std::size_t CicOctets = 4;
    // Where the type code of the message being laid out stands: CicOctets, one more for the
    // message a pass-along message carries.
    std::size_t TypeIndex = 4;

    // --- The record being written ---

    // Finished records not yet handed to the output, then the record being written. The run
    // takes them out after each message, so this never holds more than a few records.
    Text ReportText;
    // Records started in this run; the next record's number is MessageCount + 1.
    std::uint64_t MessageCount = 0;
    std::string_view MessageName;
    // The acronym of the type whose code stands at TypeIndex (that of the message passed along in
    // a pass-along message); null when the type code is not known.
    const std::string_view* MessageAcronym = nullptr;
    std::size_t OptionalPartStart = 0;  // 0 = no optional part
    int EndOfOptionalParameters = 0;
    // One past the message's last octet as its layout reads it (after the end-of-optional-
    // parameters octet, or after the last mandatory parameter without an optional part); 0 when
    // the layout does not say (not decoded, or a type whose contents the table does not lay out).
    // Octets from here on are after the message's end.
    std::size_t MessageEnd = 0;

    // --- What the last record says of its message, for the views beside the report ---

    std::size_t RecordBegin = 0;  // where the last record begins in ReportText
    bool RecordDecoded = false;
    std::string RecordReason;  // why its message was not decoded
    DecodeFailure RecordFailure = DecodeFailure::Internal;  // what kind of failure that was
    // The marks of the last record, offsets counted from RecordBegin. Kept only when the run asks
    // for them (ReportText carries marks while this list is attached to it).
    std::vector<Mark> RecordMarks;
    // Where the marks go when the run keeps them (RecordMarks, or null: no marks), and the
    // message types whose records are marked; the others' records carry no marks.
    std::vector<Mark>* MarkList = nullptr;
    std::bitset<256> MarkedTypes = std::bitset<256>().set();

    // --- Scratch, reused between messages ---

    std::string UnknownTypeName;  // backs MessageName for a type code that is not known
    std::string BcicLine;         // the BCIC line of the records, laid out for BcicLineValue
    std::string BcicLineValue;
    std::uint16_t BcicLineMeaning = 0;  // where the meaning of its value begins (0: none)
    std::string ContentsScratch;  // the contents of a mandatory parameter
    std::string OptionalPartDigits;  // the optional part's octets, when they must be joined
    std::string SplitOctetsText;     // the octets of a message split by a worker thread

    // Octet i of the current message; an index past the last octet throws DecodeError, with
    // `what` naming the octet that was wanted.
    std::string_view octet(std::size_t i, std::string_view what) const;
    // The same octet converted by hexToDec (two hex digits at once, the general case out of line).
    std::uint64_t octetValue(std::size_t i, std::string_view what) const {
        if (i < MessageOctets.size())
            if (const int value = hexOctetValue(MessageOctets[i]); value >= 0) return static_cast<std::uint64_t>(value);
        return anyOctetValue(i, what);
    }
    // Octets first .. first+count-1 concatenated without separators (parameter contents): a view
    // of them when they stand one after another, the general case out of line.
    std::string_view contentsOf(std::size_t first, std::size_t count, std::string_view what) {
        if (OctetsAdjacent && count > 0 && first < MessageOctets.size() && count <= MessageOctets.size() - first) {
            const std::string_view last = MessageOctets[first + count - 1];
            const char* begin = MessageOctets[first].data();
            return {begin, static_cast<std::size_t>(last.data() + last.size() - begin)};
        }
        return joinedContents(first, count, what);
    }
    // Octets from `first` to the last one, concatenated (the optional part).
    std::string_view octetsFrom(std::size_t first);

    // parameters whose marks are kept in a marked record (by code); the others' blocks keep only
    // their own mark, and unless every parameter's are kept, the message's own lines keep none.
    std::bitset<256> MarkedParameters = std::bitset<256>().set();
private:
    std::uint64_t anyOctetValue(std::size_t i, std::string_view what) const;
    std::string_view joinedContents(std::size_t first, std::size_t count, std::string_view what);
};

}  // namespace truno
