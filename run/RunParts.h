#pragma once
// What the one-thread run (DecodeRun.cpp) and the parallel run (ParallelRun.cpp) share: the report
// handed to its sink, the decoding of one message with the probe of the other mode, the notes
// of each record and the run's summary at its end. Not for use outside run/.
#include "run/DecodeRun.h"
#include "run/LogReader.h"
#include "run/RecordList.h"
#include "dispatch/DecodingState.h"
#include "dispatch/MessageTypes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace truno::runparts {

// Hands report text to the sink, and counts what it has handed on: where the next piece begins
// in the run's report.
class ReportOutput {
public:
    explicit ReportOutput(const ReportSink& sink) : sink_(sink) {}
    void write(std::string_view text) {
        written_ += text.size();
        if (!text.empty()) sink_(text);
    }
    std::uint64_t written() const { return written_; }

private:
    const ReportSink& sink_;
    std::uint64_t written_ = 0;
};

// A decoding state for the reader's messages, whose octets stand one after another.
inline DecodingState adjacentState() {
    DecodingState state;
    state.OctetsAdjacent = true;
    return state;
}

// Decodes a message that was not decoded once more in the other mode, on a state of its own whose
// report is thrown away, and counts how many would decode so.
class ModeProbe {
public:
    void tryOtherMode(const DecodingState& s, std::size_t logLine) {
        if (s.MessageCount > kModeProbeMessages) return;
        probe_.OctetsAdjacent = s.OctetsAdjacent;
        probe_.CicOctets = s.CicOctets == 2 ? 4 : 2;
        probe_.MessageOctets.assign(s.MessageOctets.begin(), s.MessageOctets.end());
        probe_.MessageCount = 0;
        ++tried;
        if (decodeMessage(probe_, logLine)) ++decoded;
        probe_.ReportText.clear();
    }
    std::uint64_t tried = 0;
    std::uint64_t decoded = 0;

private:
    DecodingState probe_;
};

inline bool cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

// What the run notices of a record besides its decoding: octets after the message's end, and a
// MSG column that names another known type than the type code (both names from the type table).
struct RecordNote {
    bool trailing = false;
    std::string_view msgNamed;  // the type the MSG column names, when it is another known one
    std::string_view typeAcronym;
};

// The notes of the run's records, in record order.
struct RecordNotes {
    RecordList trailing;
    RecordList msgColumn;
    void add(std::uint64_t record, const RecordNote& note) {
        if (note.trailing) trailing.add(record);
        if (!note.msgNamed.empty())
            msgColumn.add(record, " (MSG " + std::string(note.msgNamed) + ", type " + std::string(note.typeAcronym) + ")");
    }
};

// Decodes the message in `state`, unless the reader could not keep all of it; a message not
// decoded is tried in the other mode.
bool decodeOne(DecodingState& state, const LogMessage& m, ModeProbe& probe);

// `messageEnd`: DecodingState::MessageEnd of a decoded message (0: not known). The MSG column is
// held against the type of a decoded message only: a message not decoded already says why.
// `acronym`: that of the message's type as decoding found it (DecodingState::MessageAcronym).
RecordNote noteOf(const LogMessage& m, std::span<const std::string_view> octets, const std::string_view* acronym,
                  bool decoded, std::size_t messageEnd);

// Fills the run's summary at its end: the reader's warnings, the records' notes, the other mode's.
void finishSummary(RunSummary& summary, const LogReader& reader, const RecordNotes& notes, std::size_t cicOctets);

// The run on the reading thread alone.
RunSummary decodeSequential(std::istream& in, const ReportSink& sink, const RunOptions& options);

// The run with options.jobs threads (more than one): the same report as decodeSequential.
RunSummary decodeParallel(std::istream& in, const ReportSink& sink, const RunOptions& options);

}  // namespace truno::runparts
