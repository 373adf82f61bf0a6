#pragma once
// The views of one log beside (or instead of) its report: the filtered report, the summary, the
// calls, the statistics, their JSON and CSV forms, and the capture file. They format what the
// one analysis of the run (LogAnalysis) hands them, in log order, and write as they go.
#include "output/ExportDirectory.h"
#include "analysis/journeys/Journeys.h"
#include "analysis/pipeline/LogAnalysis.h"
#include "output/FileColumn.h"
#include "output/MetricsFile.h"
#include "output/PcapExport.h"
#include "analysis/pipeline/RecordPipe.h"
#include "run/DecodeRun.h"
#include "cli/Options.h"

#include <bitset>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// With several files, the JSON and CSV forms name the file in each object and row; their output
// is one document or table across the files.
struct FileOutput {
    std::string name;   // the file as shown; empty: one file only, nothing added
    bool first = true;  // no output of an earlier file: the CSV header row, "[" of --stats
    // The width of the SWITCH column of the text tables (calls, checks, circuits) when the run
    // spans several switches; 0 (one switch): no such column.
    std::size_t switchColumn = 0;
    // Files read as one run (--merge): the run's name ("trace.log.2 + 2 files"), and its KPIs,
    // statistics and circuits, which span the files, name none.
    std::string runName;
    // The first file is a packet capture: the messages' CSV rows carry its columns (point codes,
    // service information, packet, time stamp).
    bool wire = false;
    unsigned jobs = 1;  // the threads that decode the run (RunOptions::jobs)
};

class LogViews {
public:
    using Write = std::function<void(std::string_view)>;
    using WritePieces = std::function<void(std::span<const std::string_view>)>;
    // `pcap` may be null (no capture file); when given, beginLog() has been called for this log.
    // `exports` may be null (no export folder); when given, beginLog() has been called for this log.
    LogViews(const CliOptions& options, Write write, PcapExport* pcap, FileOutput file = {},
             ExportDirectory* exports = nullptr);

    // Whether the report pieces of the run go to the output as they are (the full report);
    // otherwise the views write the records that pass the filters themselves.
    bool passesReport() const;

    // The message types whose fields the views read: the run need not mark the others' records.
    std::bitset<256> markedTypes() const { return analysis_.markedTypes(); }
    // The parameters whose fields the views read (the journeys read every field of an IAM).
    std::bitset<256> markedParameters() const {
        return journeys_ != nullptr ? std::bitset<256>().set() : analysis_.markedParameters();
    }

    // What the run's decoding threads write of each record for the views (RunOptions::prepare):
    // the messages' JSON but for their calls, when the run decodes with several threads and JSON
    // is the messages' only view (no export folder, no journeys); nothing otherwise. Of the file
    // and switch begun last.
    RecordPreparer preparer() const;
    // Where the messages' JSON written by the decoding threads goes without a copy, in pieces
    // (the pieces of the records handed on so far are written at the latest by
    // writePreparedPieces()); without it, the pieces are copied.
    void writePreparedWith(WritePieces write) { writePieces_ = std::move(write); }
    // Writes out the pieces of the records handed on so far: the run is about to reuse the
    // storage of their texts (RecordFacts::prepared).
    void writePreparedPieces();

    void add(const RecordFacts& record) {
        if (pipe_)
            pipe_->add(record);
        else
            analysis_.add(record);
        if ((options_.intervalSeconds != 0 || metrics_) && (++sinceTick_ & 1023u) == 0) tick();
    }
    // With --interval: the statistics or KPIs so far, when the interval has passed since the last;
    // with --metrics, the metrics file, when its period has passed since it was last written and
    // messages or findings came since (called every 1,024 messages and whenever a followed log
    // waits for more).
    void tick();
    // The log ended; `inputWarnings`: the run's warnings (findings of --checks and the HTML
    // report), `messages` and `notDecoded` its counts (the HTML report). False when the HTML
    // report could not be written (`error` says why).
    bool finish(std::span<const std::string> inputWarnings, std::uint64_t messages, std::uint64_t notDecoded,
                std::string& error);

    // After finish(): whether filters were given and nothing passed them (no message, or with
    // --calls no call); and the records of --call that belong to no call.
    bool selectedNothing() const;
    const std::vector<std::uint64_t>& recordsWithoutCall() const { return analysis_.recordsWithoutCall(); }
    // Whether a finding of a kind --fail-on names was made (and passed the filters).
    bool foundFailing() const { return foundFailing_; }

    // Hands on what the views have written so far (a followed log, before it waits), once the
    // records added so far have gone through them.
    void flush();
    // The next of several files read as one run (--merge) begins: JSON and CSV name it.
    void beginFile(const std::string& name);
    // With --journeys or --cdr: every message and finished call of this log goes to `builder`
    // as trace `trace` (the views write nothing of their own).
    void followJourneys(JourneyBuilder* builder, std::uint32_t trace) {
        journeys_ = builder;
        trace_ = trace;
    }
    // The messages added from now on are of the switch `name` (each file's, before its first).
    void beginSwitch(std::string_view name) {
        if (pipe_) pipe_->wait();
        analysis_.beginSwitch(name);
        if (metrics_) metrics_->beginSwitch(name, analysis_.statistics());
    }

private:
    void message(const AnalysedMessage& message);
    // Hands on what the views have written so far (flush() without waiting for the pipe: on its
    // thread too).
    void handOn();
    void callFinished(const Call& call);
    void finding(const Finding& finding);
    // Writes the metrics file with the figures so far; false, with `error` set, when it cannot.
    bool writeMetrics(std::string& error);

    const CliOptions& options_;
    Write write_;
    PcapExport* pcap_;
    ExportDirectory* exports_;
    LogAnalysis analysis_;
    std::unique_ptr<TrunkHealth> health_;  // with --kpi, --circuits, --checks, --html or --metrics
    std::unique_ptr<MetricsFile> metrics_;  // with --metrics
    std::int64_t metricsInterval_ = 0;      // its intervals of the log's time (milliseconds)
    std::uint64_t metricsMessages_ = 0, metricsFindings_ = 0;  // when it was last written
    std::chrono::seconds metricsPeriod_{0};                    // --interval, else 10 s
    std::chrono::steady_clock::time_point nextMetrics_{};
    JourneyBuilder* journeys_ = nullptr;   // with --journeys or --cdr
    std::uint32_t trace_ = 0;
    std::uint64_t findingsShown_ = 0;
    bool foundFailing_ = false;
    std::uint32_t sinceTick_ = 0;
    std::chrono::steady_clock::time_point nextSnapshot_{};
    std::uint64_t snapshotMessages_ = 0;  // of the last snapshot
    std::array<std::uint64_t, kFindingKindCount> findingsByKind_{};
    void nameFiles(const std::string& name);
    // The file column of what spans the files of a --merge run: empty; else the file's.
    FileColumn spanningColumn() const;
    // The one document of --stats or --kpi, naming `file` (with several files, at the end).
    void appendDocument(const TrafficKpis* kpis, const FileColumn& file = {});

    std::string out_;
    // The messages as JSON; what it holds comes before what out_ holds.
    Text json_;
    // The messages as JSON in pieces: what the decoding threads wrote of each (the records'
    // prepared texts) and its call (in callTexts_, whose storage is reserved so that the views stay
    // put); they come before what json_ and out_ hold.
    WritePieces writePieces_;
    std::vector<std::string_view> pieces_;
    std::string callTexts_;
    bool firstRecord_ = true;
    FileOutput file_;
    FileColumn column_;  // the file's member and column (with several files)
    // Where the machine has a second core and the views' work on each message is the larger
    // part (the messages as JSON, without --jobs or an export folder), the records go through
    // the analysis and the views on a thread of their own; every other call waits for it first.
    // Last, so that it stops before what its thread uses goes.
    std::unique_ptr<RecordPipe> pipe_;
};

}  // namespace truno
