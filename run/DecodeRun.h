#pragma once
// A decoding run: the whole log from the reader through the message dispatch to the report,
// written out record by record as each is finished.
#include "dispatch/RecordFacts.h"
#include "run/capture/CapturedMessage.h"

#include <atomic>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

struct RunSummary {
    std::uint64_t found = 0;       // messages the reader handed on
    std::uint64_t decoded = 0;     // of them, decoded
    std::uint64_t notDecoded = 0;  // of them, shown as not decoded
    bool readError = false;        // the input failed before its end
    bool cancelled = false;        // the run was stopped through its cancel flag
    std::string whyNothing;        // why the log yielded no message (empty when it did)
    // Log lines that look like message data but were ignored (no column header before them),
    // and data lines whose DATA went on past the characters that are read.
    std::uint64_t ignoredDataLines = 0;
    std::uint64_t cutDataLines = 0;
    // Column header lines inside a message (the blank line before them missing), data lines
    // holding tabs, messages with octets after their end, messages whose MSG column names
    // another type than their type code.
    std::uint64_t headersInsideMessages = 0;
    std::uint64_t tabLines = 0;
    std::uint64_t trailingOctetMessages = 0;
    std::uint64_t msgColumnMismatches = 0;
    // One sentence per kind of input that did not make it into the report as it stands in the
    // log, with the log lines concerned.
    std::vector<std::string> warnings;
    // The other mode tried on the messages not decoded among the first kModeProbeMessages: how
    // many were tried, and how many of them decode with the other number of circuit code octets.
    std::uint64_t otherModeTried = 0;
    std::uint64_t otherModeDecoded = 0;
    // Lines said after the counts that are not warnings (a capture's packet counts), one a line.
    std::vector<std::string> notes{};

    // Adds the summary of the next input of a run over several: its counts, its flags, its
    // warnings, and why it yielded no message (the reasons of several inputs one a line). With
    // `name` (the input as shown), each warning and reason stands after "NAME: ".
    RunSummary& add(const RunSummary& input, std::string_view name = {});
};

// The messages not decoded among the first this many of a log are decoded again in the other
// mode (two-octet circuit codes for four, and four for two), to tell a log read in the wrong mode.
inline constexpr std::uint64_t kModeProbeMessages = 10000;

// Whether everything in the log became a decoded record: messages were found, all of them
// decoded, and no warning.
bool everythingDecoded(const RunSummary& summary);

// Receives the report in pieces, in order; CR LF line ends. Together the pieces are the report
// of the run without the CR LF that precedes its first record.
using ReportSink = std::function<void(std::string_view)>;

// Decodes a whole log. Every message found gets exactly one record. When `cancel` is given
// and becomes true, the run stops after the current message (summary.cancelled is set).
RunSummary decodeLog(std::istream& in, const ReportSink& sink,
                     const std::atomic<bool>* cancel = nullptr);

// Receives the facts of each message, in log order, right after its record is written and
// before the record's text goes to the ReportSink (the views in the facts are valid during the
// call only).
using RecordSink = std::function<void(const RecordFacts&)>;

// Writes a view's text of a record to `out` on the thread that decoded the record, from the facts
// a RecordSink gets (without the place of the record in the run's report, the log's date and its
// route, which only the reading thread knows); returns the place in `out` where the part that
// only the sink can write goes (RecordFacts::preparedSplit). Called on several threads at once.
using RecordPreparer = std::function<std::size_t(const RecordFacts&, Text& out)>;

struct RunOptions {
    unsigned jobs = 1;  // threads decoding messages; the report is the same for any number
    const std::atomic<bool>* cancel = nullptr;
    // When set, the run keeps the marks of every record and hands each message's facts here.
    RecordSink records = nullptr;
    // When set with `records` and several threads (jobs > 1), each record's text for a view is
    // written by the thread that decodes it, beside its decoding, and handed to `records` with
    // the record's facts (RecordFacts::prepared); a run on one thread leaves it unused.
    RecordPreparer prepare = nullptr;
    // With `records`, several threads and no `prepare`: each record's blocks and fields are built
    // from its marks by the thread that decodes it (RecordFacts::builtFields), so that the one
    // taking the records in log order does not build them.
    bool buildFields = false;
    // The message types whose records keep their marks (the fields in the facts): a view that
    // reads the fields of a few types only leaves the others' unmarked, which costs less.
    std::bitset<256> markedTypes = std::bitset<256>().set();
    // The parameters whose fields are kept in a marked record, by code: the others' blocks in
    // the facts are left without fields; unless every one is, the message's own lines are too.
    std::bitset<256> markedParameters = std::bitset<256>().set();
    // Octets before the message type code: 4, BICC's call instance code (the trace format's);
    // 2, ISUP's circuit identification code.
    std::size_t cicOctets = 4;
    // When set (one thread only), the run puts here, while it runs, a function that hands the
    // records decoded so far to the sink: a followed log calls it before it waits for more.
    std::function<void()>* flushRecords = nullptr;
    // When set (one thread only), the run puts here, while it runs, a function that tells whether
    // the message the reader is collecting ends before its own pointers and lengths say (it
    // lacks octets still to come): a followed log waits for them before it ends the message.
    std::function<bool()>* messageIncomplete = nullptr;
    // The first record's number: 1, or the number after the last record of the files before this
    // one when several are read as one run (its first record is then preceded by the CR LF that
    // joins records).
    std::uint64_t firstRecord = 1;
    // Of a capture: the point codes of this side (a message whose OPC is one of them is sent, DIR
    // S; empty: the OPC of the capture's first ISUP or BICC message), and how point codes are read.
    std::vector<std::uint32_t> localPointCodes{};
    PointCodeFormat pointCodeFormat = PointCodeFormat::Itu;
    // With jobs > 1 and no records: the threads that decode a batch turn its CR LF into LF, so
    // that the sink's pieces are the report with LF line ends but for a CR LF split between two
    // pieces (the CR ends one, the LF begins the next); a sink must still turn such a pair, and
    // any piece with one thread, as it does without this.
    bool lineFeeds = false;
    // Set by the run over several inputs before it tells the listener an input begins: the input
    // is a packet capture (its records carry wire facts).
    bool capture = false;
};

// The threads a run over a regular file decodes with when none are asked for: the machine's
// cores, at most kMostDefaultJobs (at least one).
inline constexpr unsigned kMostDefaultJobs = 8;
unsigned defaultJobs();

// The same with options: with jobs > 1 the reader hands batches of messages to a pool of
// threads and the records are written in log order, numbered exactly as in a sequential run.
RunSummary decodeLog(std::istream& in, const ReportSink& sink, const RunOptions& options);

// "N messages found, N decoded, N not decoded" (and why nothing was found), then each warning
// on a line of its own (lines separated by LF, no LF at the end).
std::string summaryText(const RunSummary& summary);

}  // namespace truno
