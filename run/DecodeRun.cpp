#include "run/DecodeRun.h"
#include "run/RunParts.h"

#include "run/LogReader.h"
#include "run/RecordList.h"
#include "dispatch/DecodingState.h"
#include "base/Conversions.h"
#include "dispatch/MessageTypes.h"
#include "base/ReportLayout.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace truno {

namespace runparts {
namespace {

// Records are handed to the sink once this much report text has gathered.
constexpr std::size_t kFlushSize = std::size_t{64} * 1024;

// Whether a message's octets end before its own pointers and lengths say: decoded on a state of
// its own whose report is thrown away, it fails for want of octets (none of its type code yet, a
// pointer or length past the last octet, an optional part not closed).
bool lacksPromisedOctets(DecodingState& trial, const std::vector<std::string_view>& octets, std::size_t cicOctets) {
    if (octets.size() <= cicOctets) return true;
    trial.CicOctets = cicOctets;
    trial.MessageOctets.assign(octets.begin(), octets.end());
    trial.MessageCount = 0;
    const bool decoded = decodeMessage(trial, 0);
    trial.ReportText.clear();
    if (decoded) return false;
    switch (trial.RecordFailure) {
        case DecodeFailure::OctetsMissing:
        case DecodeFailure::PastEnd:
        case DecodeFailure::NoTypeCode:
        case DecodeFailure::OptionalPartNotClosed: return true;
        default: return false;
    }
}

// The sentence a not-decoded record's reason ends with when DATA of the message was not read.
std::string cutLinesSentence(const LogMessage& m) {
    const std::string column = std::to_string(m.lastDataColumn);
    if (m.cutLines == 1)
        return "; log line " + std::to_string(m.firstCutLine) + " had DATA beyond column " + column +
               " that was not read";
    return "; " + std::to_string(m.cutLines) + " of its log lines, from line " + std::to_string(m.firstCutLine) +
           " on, had DATA beyond column " + column + " that was not read";
}

// The sentence a not-decoded record's reason ends with when a data line of the message holds a tab.
std::string tabSentence(const LogMessage& m) {
    return "; log line " + std::to_string(m.tabLine) +
           " holds a tab: columns are read by position, so its TIME, MSG, DIR and DATA are not where the column "
           "header puts them (blanks must stand where the tabs are)";
}

}  // namespace

// Decodes the message in `state`, unless the reader could not keep all of it; a message not
// decoded is tried in the other mode.
bool decodeOne(DecodingState& state, const LogMessage& m, ModeProbe& probe) {
    if (m.oversized) {
        recordNotDecoded(state, m.startLine, DecodeFailure::TooLong,
                         "the message's DATA runs past " + std::to_string(LogReader::kMaxMessageData) +
                             " characters (is the blank line after it missing?); only the beginning was kept" +
                             (m.cutLines > 0 ? cutLinesSentence(m) : std::string()));
        return false;
    }
    const bool decoded =
        m.cutLines == 0 && m.tabLine == 0
            ? decodeMessage(state, m.startLine)
            : decodeMessage(state, m.startLine,
                            (m.cutLines > 0 ? cutLinesSentence(m) : std::string()) +
                                (m.tabLine > 0 ? tabSentence(m) : std::string()));
    if (!decoded) probe.tryOtherMode(state, m.startLine);
    return decoded;
}

// `messageEnd`: DecodingState::MessageEnd of a decoded message (0: not known). The MSG column is
// held against the type of a decoded message only: a message not decoded already says why.
// `acronym`: that of the message's type as decoding found it (DecodingState::MessageAcronym).
RecordNote noteOf(const LogMessage& m, std::span<const std::string_view> octets, const std::string_view* acronym,
                  bool decoded, std::size_t messageEnd) {
    RecordNote note;
    note.trailing = messageEnd != 0 && messageEnd < octets.size();
    if (!decoded || m.msg.empty() || acronym == nullptr) return note;
    // An acronym is a few letters: compared here without a call.
    const auto sameAcronym = [](std::string_view a, std::string_view msg) {
        if (a.size() != msg.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != msg[i]) return false;
        return true;
    };
    if (sameAcronym(*acronym, m.msg)) return note;
    const auto types = messageTypes();
    const auto named = std::find_if(types.begin(), types.end(), [&](const MessageType& t) { return t.acronym == m.msg; });
    if (named == types.end()) return note;
    note.msgNamed = named->acronym;
    note.typeAcronym = *acronym;
    return note;
}

namespace {

// Says when most messages were not decoded but nearly all of those tried decode in the other
// mode, naming the option; nothing is switched silently.
void warnOfOtherMode(RunSummary& summary, std::size_t cicOctets) {
    const std::uint64_t tried = summary.otherModeTried;
    const std::uint64_t decoded = summary.otherModeDecoded;
    if (summary.notDecoded * 2 <= summary.found || tried == 0 || decoded * 10 < tried * 9) return;
    const bool isupLikely = cicOctets != 2;
    const std::string option = isupLikely ? "--cic-octets 2" : "--cic-octets 4";
    std::string text = std::to_string(summary.notDecoded) + " of " + plural(summary.found, "message", "messages") +
                       (summary.notDecoded == 1 ? " was" : " were") + " not decoded; ";
    if (tried == summary.notDecoded)
        text += "with " + option + ", " + std::to_string(decoded) + " of them decode";
    else
        text += std::to_string(decoded) + " of the " + std::to_string(tried) + " among the first " +
                std::to_string(kModeProbeMessages) + " messages decode with " + option;
    text += isupLikely ? ": is this an ISUP trace (two-octet circuit identification codes)?"
                       : ": is this a BICC trace (four-octet call instance codes)?";
    summary.warnings.push_back(text);
}

}  // namespace

void finishSummary(RunSummary& summary, const LogReader& reader, const RecordNotes& notes, std::size_t cicOctets) {
    warnOfOtherMode(summary, cicOctets);
    summary.readError = reader.readError();
    summary.whyNothing = reader.whyNoMessage(summary.found);
    const LineRanges& ignored = reader.ignoredDataLines();
    summary.ignoredDataLines = ignored.count();
    if (ignored.count() > 0)
        summary.warnings.push_back(plural(ignored.count(), "line that looks like message data was",
                                          "lines that look like message data were") +
                                   " ignored: no column header before " + (ignored.count() == 1 ? "it" : "them") +
                                   " (" + ignored.text() + ")");
    const LineRanges& cut = reader.cutDataLines();
    summary.cutDataLines = cut.count();
    if (cut.count() > 0)
        summary.warnings.push_back(plural(cut.count(), "data line had", "data lines had") +
                                   " DATA longer than the " + std::to_string(LogReader::kDataWidth) +
                                   " characters that are read; the rest of it was not read (" + cut.text() + ")");
    const LineRanges& headers = reader.headersInsideMessages();
    summary.headersInsideMessages = headers.count();
    if (headers.count() > 0)
        summary.warnings.push_back(plural(headers.count(), "column header line came", "column header lines came") +
                                   " inside a message, the blank line before " + (headers.count() == 1 ? "it" : "them") +
                                   " missing: each ended the message before it and began the next (" + headers.text() +
                                   ")");
    const LineRanges& tabs = reader.tabLines();
    summary.tabLines = tabs.count();
    if (tabs.count() > 0)
        summary.warnings.push_back(plural(tabs.count(), "data line holds", "data lines hold") +
                                   " a tab: columns are read by position, so blanks must stand where the tabs are (" +
                                   tabs.text() + ")");
    summary.trailingOctetMessages = notes.trailing.count();
    if (notes.trailing.count() > 0)
        summary.warnings.push_back(trailingOctetsWarning(notes.trailing));
    summary.msgColumnMismatches = notes.msgColumn.count();
    if (notes.msgColumn.count() > 0)
        summary.warnings.push_back(plural(notes.msgColumn.count(), "message has", "messages have") +
                                   " a MSG column that names another type than " +
                                   (notes.msgColumn.count() == 1 ? "its" : "their") + " type code (" +
                                   notes.msgColumn.text() + ")");
}

RunSummary decodeSequential(std::istream& in, const ReportSink& sink, const RunOptions& options) {
    RunSummary summary;
    DecodingState state = adjacentState();
    if (options.records) state.MarkList = &state.RecordMarks;
    state.MarkedTypes = options.markedTypes;
    state.MarkedParameters = options.markedParameters;
    state.CicOctets = options.cicOctets;
    state.MessageCount = options.firstRecord - 1;
    ModeProbe probe;
    LogReader reader(in);
    LogMessage message;
    ReportOutput output(sink);
    RecordNotes notes;
    RecordFacts facts;  // the facts of each record handed on, in turn
    if (options.flushRecords != nullptr) {
        *options.flushRecords = [&output, &state] {
            output.write(state.ReportText);
            state.ReportText.clear();
        };
    }
    DecodingState trial = adjacentState();
    if (options.messageIncomplete != nullptr) {
        *options.messageIncomplete = [&reader, &message, &trial, &options] {
            return reader.collecting() && lacksPromisedOctets(trial, message.octets, options.cicOctets);
        };
    }

    while (reader.next(message)) {
        if (state.LogBcic != reader.bcic()) state.LogBcic = reader.bcic();
        state.MessageOctets.swap(message.octets);
        state.MessageTime = message.time;
        state.MessageDirection = message.direction;
        ++summary.found;
        if (decodeOne(state, message, probe))
            ++summary.decoded;
        else
            ++summary.notDecoded;
        notes.add(state.MessageCount, noteOf(message, state.MessageOctets, state.MessageAcronym, state.RecordDecoded, state.RecordDecoded ? state.MessageEnd : 0));
        if (options.records) {
            setLastRecordFacts(facts, state, message.startLine, output.written());
            facts.msgColumn = message.msg;
            if (message.dated) facts.logDate = reader.pageDate();
            facts.route = reader.route();
            options.records(facts);
        }
        // The octet views point into message.data: give the vector back before the next read.
        state.MessageOctets.swap(message.octets);
        if (state.ReportText.size() >= kFlushSize) {
            output.write(state.ReportText);
            state.ReportText.clear();
        }
        if (cancelled(options.cancel)) {
            summary.cancelled = true;
            break;
        }
    }
    output.write(state.ReportText);
    if (options.flushRecords != nullptr) *options.flushRecords = nullptr;
    summary.otherModeTried = probe.tried;
    summary.otherModeDecoded = probe.decoded;
    finishSummary(summary, reader, notes, options.cicOctets);
    return summary;
}

}  // namespace runparts

unsigned defaultJobs() { return std::clamp(std::thread::hardware_concurrency(), 1u, kMostDefaultJobs); }

RunSummary decodeLog(std::istream& in, const ReportSink& sink, const RunOptions& options) {
    if (options.jobs <= 1 || options.flushRecords != nullptr) return runparts::decodeSequential(in, sink, options);
    return runparts::decodeParallel(in, sink, options);
}

RunSummary decodeLog(std::istream& in, const ReportSink& sink, const std::atomic<bool>* cancel) {
    RunOptions options;
    options.cancel = cancel;
    return runparts::decodeSequential(in, sink, options);
}

std::string summaryText(const RunSummary& summary) {
    std::string text = std::to_string(summary.found) + " message" +
                       (summary.found == 1 ? "" : "s") + " found, " +
                       std::to_string(summary.decoded) + " decoded, " +
                       std::to_string(summary.notDecoded) + " not decoded";
    if (!summary.whyNothing.empty()) text += ": " + summary.whyNothing;
    if (summary.cancelled) text += " (cancelled)";
    if (summary.readError) text += " (reading stopped by an input error)";
    for (const std::string& note : summary.notes) text += "\n" + note;
    for (const std::string& warning : summary.warnings) text += "\n" + warning;
    return text;
}

RunSummary& RunSummary::add(const RunSummary& input, std::string_view name) {
    found += input.found;
    decoded += input.decoded;
    notDecoded += input.notDecoded;
    readError = readError || input.readError;
    cancelled = cancelled || input.cancelled;
    ignoredDataLines += input.ignoredDataLines;
    cutDataLines += input.cutDataLines;
    headersInsideMessages += input.headersInsideMessages;
    tabLines += input.tabLines;
    trailingOctetMessages += input.trailingOctetMessages;
    msgColumnMismatches += input.msgColumnMismatches;
    otherModeTried += input.otherModeTried;
    otherModeDecoded += input.otherModeDecoded;
    const auto named = [name](const std::string& text) {
        if (name.empty()) return text;
        std::string line(name);
        line += ": ";
        line += text;
        return line;
    };
    for (const std::string& warning : input.warnings) warnings.push_back(named(warning));
    for (const std::string& note : input.notes) notes.push_back(named(note));
    if (!input.whyNothing.empty()) {
        if (!whyNothing.empty()) whyNothing += '\n';
        whyNothing += named(input.whyNothing);
    }
    return *this;
}

bool everythingDecoded(const RunSummary& summary) {
    return summary.found > 0 && summary.notDecoded == 0 && summary.warnings.empty();
}

}  // namespace truno
