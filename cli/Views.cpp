#include "cli/Views.h"

#include "output/Exports.h"
#include "output/HealthExports.h"
#include "output/HtmlReport.h"
#include "analysis/facts/MessageSummary.h"
#include "cli/Platform.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <thread>
#include <utility>

namespace truno {
namespace {

// Output is handed on in pieces of about this size.
constexpr std::size_t kFlushSize = std::size_t{64} * 1024;

// The messages' JSON in pieces: at most this many are written at once, their calls' numbers kept
// in a text of this capacity (a third of the pieces are calls, of at most 20 digits each).
constexpr std::size_t kMostPieces = 1020;
constexpr std::size_t kCallTexts = kMostPieces / 3 * 20;

void appendNumberOrNull(std::string& out, std::uint64_t value) {
    if (value == 0) {
        out += "null";
        return;
    }
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

// Whether anything reads the messages one by one: the report and the summary, the journeys, the
// capture file, the export folder and the metrics' routes; the other views read the calls and the
// health alone.
bool readsMessages(const CliOptions& options, const PcapExport* pcap, const ExportDirectory* exports) {
    return options.view == View::Report || options.view == View::Summary || options.wantsJourneys() || pcap != nullptr ||
           exports != nullptr || !options.metricsFile.empty();
}

// Whether anything reads the finished calls: the calls view, the journeys and the export folder.
bool readsCalls(const CliOptions& options, const ExportDirectory* exports) {
    return options.view == View::Calls || options.wantsJourneys() || exports != nullptr;
}

}  // namespace

LogViews::LogViews(const CliOptions& options, Write write, PcapExport* pcap, FileOutput file, ExportDirectory* exports)
    : options_(options),
      write_(std::move(write)),
      pcap_(pcap),
      exports_(exports),
      analysis_(readsMessages(options, pcap, exports) ? LogAnalysis::MessageSink([this](const AnalysedMessage& m) { message(m); })
                                                      : LogAnalysis::MessageSink(),
                readsCalls(options, exports) ? LogAnalysis::CallSink([this](const Call& call) { callFinished(call); })
                                             : LogAnalysis::CallSink(),
                (options.format == Format::Json && !options.wantsJourneys()) || exports != nullptr, &options.selection),
      file_(std::move(file)) {
    if (options_.wantsHealth()) {
        HealthOptions health = options_.health;
        if (options_.htmlFile.empty()) health.ladders = 0;
        // Each view follows what it shows; the HTML report shows everything.
        health.circuits = options_.view == View::Circuits || options_.view == View::Checks || !options_.htmlFile.empty() ||
                          options_.failsOnFindings() || !options_.metricsFile.empty();
        health.countKpis = options_.view == View::Kpi || !options_.htmlFile.empty() || exports_ != nullptr;
        if (!options_.metricsFile.empty()) {
            // The metrics' last interval: that of --by, else 15 minutes, counted beside the KPIs.
            metrics_ = std::make_unique<MetricsFile>(options_.metricsFile);
            metricsPeriod_ = std::chrono::seconds(options_.intervalSeconds != 0 ? options_.intervalSeconds : 10);
            if (health.kpis.by == KpiGrouping::Interval) {
                health.countKpis = true;
                metricsInterval_ = health.kpis.interval;
            } else {
                metricsInterval_ = std::int64_t{15} * 60 * 1000;
                health.interval = metricsInterval_;
            }
        }
        health_ = std::make_unique<TrunkHealth>(std::move(health), [this](const Finding& f) { finding(f); });
        analysis_.followHealth(health_.get());
    }
    // The text summary, circuits and checks read no call, nor does the text report of the
    // messages a filter lets through: unless a filter (one on calls, for the report), an export,
    // the metrics, the HTML report or KPI alarms want them, the calls are not followed.
    const bool filterReadsNoCall = options_.view == View::Report ? !options_.selection.needsCalls() : !options_.selection.active();
    const bool readsNoCall = options_.format == Format::Text &&
                             (options_.view == View::Summary || options_.view == View::Circuits ||
                              options_.view == View::Checks || options_.view == View::Report) &&
                             filterReadsNoCall && exports_ == nullptr && options_.metricsFile.empty() &&
                             options_.htmlFile.empty() && options_.health.alarms.empty() && !options_.wantsJourneys();
    if (readsNoCall) analysis_.followCalls(false);
    // Whether the calls are read by the view alone: no filter, export, metrics or HTML report.
    const bool callsReadByTheViewAlone =
        !options_.selection.active() && exports_ == nullptr && options_.metricsFile.empty() && options_.htmlFile.empty();
    // The KPIs read of the calls only what they count: their called numbers only when grouped by
    // called prefix.
    if (options_.view == View::Kpi && callsReadByTheViewAlone) {
        analysis_.keepCallTexts(false);
        if (!options_.wantsJourneys())
            analysis_.readCallFields({.numbers = options_.health.kpis.by == KpiGrouping::CalledPrefix, .cause = true});
    }
    // Of the messages' fields, only the summary, the journeys and the report's messages in other
    // forms than text (CSV rows) read more than the calls, the statistics and the circuits do (the
    // report in JSON and the exports read every field; the text report reads none).
    if (options_.view != View::Summary && (options_.view != View::Report || options_.format == Format::Text) &&
        !options_.wantsJourneys())
        analysis_.sinkReadsCallFields(false);
    // The statistics are read by their view, the metrics and the KPIs' snapshots.
    if (options_.view != View::Statistics && options_.metricsFile.empty() &&
        (options_.view != View::Kpi || options_.intervalSeconds == 0))
        analysis_.countStatistics(false);
    const bool jsonMessages = options_.format == Format::Json && (options_.view == View::Report || options_.view == View::Summary);
    // Of the calls, the statistics read the outcomes alone and the JSON messages the first
    // records alone: unless the trunk's health or the journeys read more of them too, the calls
    // take none of the call-control messages' fields nor texts. The JSON messages written beside
    // their decoding read no fields here either (the others are built from all their fields
    // whatever the setting).
    if ((options_.view == View::Statistics || jsonMessages) && callsReadByTheViewAlone && health_ == nullptr &&
        !options_.wantsJourneys()) {
        analysis_.readCallFields({.numbers = false, .cause = false});
        analysis_.keepCallTexts(false);
        if (jsonMessages) analysis_.sinkReadsCallFields(false);
    }
    if (jsonMessages && exports_ == nullptr && file_.jobs <= 1 && std::thread::hardware_concurrency() > 1)
        pipe_ = std::make_unique<RecordPipe>([this](const RecordFacts& record) { analysis_.add(record); });
    nameFiles(file_.name);
    // With several files, CSV has one header row: the first file's.
    const bool csvHeader = options_.format == Format::Csv && file_.first;
    switch (options_.view) {
        case View::Report:
        case View::Summary:
            if (csvHeader) appendMessageCsvHeader(out_, column_, file_.wire);
            if (options_.view == View::Summary && options_.format == Format::Text) appendSummaryHeading(out_);
            break;
        case View::Calls:
            if (csvHeader) appendCallCsvHeader(out_, column_, file_.wire);
            if (options_.format == Format::Text) appendCallHeading(out_, file_.switchColumn, file_.wire);
            break;
        case View::Checks:
            if (csvHeader) appendFindingCsvHeader(out_, column_, file_.wire);
            if (options_.format == Format::Text) appendFindingHeading(out_, file_.switchColumn, file_.wire);
            break;
        case View::Statistics:
        case View::Kpi:
        case View::Circuits:
        case View::Journeys:
        case View::Cdr: break;
    }
}

RecordPreparer LogViews::preparer() const {
    const bool jsonMessages = options_.format == Format::Json && (options_.view == View::Report || options_.view == View::Summary);
    if (!jsonMessages || exports_ != nullptr || journeys_ != nullptr || options_.wantsJourneys()) return nullptr;
    return [leading = std::string(column_.json()), switchName = std::string(analysis_.switchName())](const RecordFacts& record,
                                                                                                     Text& out) {
        appendRecordJsonHead(out, record, switchName, leading);
        const std::size_t split = out.size();
        appendRecordJsonTail(out, record);
        return split;
    };
}

void LogViews::nameFiles(const std::string& name) {
    file_.name = name;
    column_ = FileColumn(name);
}

void LogViews::beginFile(const std::string& name) {
    if (pipe_) pipe_->wait();
    if (!file_.name.empty()) nameFiles(name);
}

bool LogViews::passesReport() const {
    return options_.view == View::Report && options_.format == Format::Text && !options_.selection.active();
}

void LogViews::message(const AnalysedMessage& m) {
    if (journeys_ != nullptr) journeys_->message(trace_, m.facts, m.at, m.call);
    if (pcap_ != nullptr) pcap_->add(m.facts.record(), m.at);
    if (exports_ != nullptr) exports_->message(m.facts, m.at, m.callFirstRecord());
    if (metrics_) metrics_->noteRoute(m.facts.record().route);
    if (options_.view != View::Report && options_.view != View::Summary) return;
    if (options_.format == Format::Json) {
        if (!out_.empty()) handOn();
        const RecordFacts& record = m.facts.record();
        // A message held for --call comes with a copy of its text that goes when it has passed.
        if (!record.prepared.empty() && writePieces_ && options_.selection.callRecords.empty()) {
            if (!json_.empty()) handOn();
            if (pieces_.size() + 3 > kMostPieces) writePreparedPieces();
            if (callTexts_.capacity() < kCallTexts) callTexts_.reserve(kCallTexts);
            const std::size_t call = callTexts_.size();
            appendNumberOrNull(callTexts_, m.callFirstRecord());
            pieces_.push_back(record.prepared.substr(0, record.preparedSplit));
            pieces_.push_back(std::string_view(callTexts_).substr(call));
            pieces_.push_back(record.prepared.substr(record.preparedSplit));
            firstRecord_ = false;
            return;
        }
        if (!pieces_.empty()) writePreparedPieces();
        if (!record.prepared.empty()) {
            json_ += record.prepared.substr(0, record.preparedSplit);
            appendMessageJsonCall(json_, m.callFirstRecord());
            json_ += record.prepared.substr(record.preparedSplit);
        } else {
            appendMessageJson(json_, m.facts, m.callFirstRecord(), column_.json());
        }
        firstRecord_ = false;
        if (json_.size() >= kFlushSize) handOn();
        return;
    } else if (options_.format == Format::Csv) {
        appendMessageCsv(out_, m.facts, m.callFirstRecord(), column_, file_.wire);
    } else if (options_.view == View::Summary) {
        appendSummaryLine(out_, m.facts);
    } else if (!passesReport()) {
        // The records that pass, joined as the report joins them: CR LF between two records.
        if (!firstRecord_) out_ += "\r\n";
        out_ += m.facts.record().text;
    }
    firstRecord_ = false;
    if (out_.size() >= kFlushSize) handOn();
}

void LogViews::callFinished(const Call& call) {
    if (journeys_ != nullptr) journeys_->callFinished(trace_, call);
    if (exports_ != nullptr) exports_->call(call);
    if (options_.view != View::Calls) return;
    switch (options_.format) {
        case Format::Text: appendCallLine(out_, call, file_.switchColumn, file_.wire); break;
        case Format::Json: appendCallJson(out_, call, JsonRow::View, column_.json()); break;
        case Format::Csv: appendCallCsv(out_, call, column_, file_.wire); break;
    }
    if (out_.size() >= kFlushSize) handOn();
}

void LogViews::tick() {
    const auto now = std::chrono::steady_clock::now();
    if (metrics_ && now >= nextMetrics_) {
        if (pipe_) pipe_->wait();
        if (analysis_.statistics().messages() != metricsMessages_ ||
            health_->circuits().findingCount() != metricsFindings_) {
            nextMetrics_ = now + metricsPeriod_;
            if (std::string error; !writeMetrics(error)) std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
        }
    }
    if (options_.intervalSeconds == 0 || (options_.view != View::Statistics && options_.view != View::Kpi)) return;
    if (nextSnapshot_ == std::chrono::steady_clock::time_point{}) {
        nextSnapshot_ = now + std::chrono::seconds(options_.intervalSeconds);
        return;
    }
    if (now < nextSnapshot_) return;
    if (pipe_) pipe_->wait();
    // A followed log that stays quiet gets no snapshot after snapshot of the same messages.
    if (analysis_.statistics().messages() == snapshotMessages_) return;
    snapshotMessages_ = analysis_.statistics().messages();
    nextSnapshot_ = now + std::chrono::seconds(options_.intervalSeconds);
    if (options_.format == Format::Text)
        out_ += "== so far: " + std::to_string(analysis_.statistics().messages()) + " messages ==\n";
    appendDocument(options_.view == View::Kpi ? &health_->kpisSoFar() : nullptr);
    if (options_.format == Format::Text) out_ += '\n';
    flush();
}

// The one document of --stats or --kpi (`kpis`: the KPIs to write with --kpi). With several files,
// CSV has one header row across them, the first file's.
void LogViews::appendDocument(const TrafficKpis* kpis, const FileColumn& file) {
    const bool header = file.empty() || file_.first;
    if (options_.view == View::Statistics) {
        switch (options_.format) {
            case Format::Text: appendStatisticsText(out_, analysis_.statistics()); break;
            case Format::Json: appendStatisticsJson(out_, analysis_.statistics(), file); break;
            case Format::Csv: appendStatisticsCsv(out_, analysis_.statistics(), file, header); break;
        }
    } else if (options_.view == View::Kpi && kpis != nullptr) {
        switch (options_.format) {
            case Format::Text: appendKpiText(out_, *kpis); break;
            case Format::Json: appendKpiJson(out_, *kpis, file); break;
            case Format::Csv: appendKpiCsv(out_, *kpis, file, header); break;
        }
    }
}

bool LogViews::writeMetrics(std::string& error) {
    metricsMessages_ = analysis_.statistics().messages();
    metricsFindings_ = health_->circuits().findingCount();
    const TrafficKpis* byInterval =
        health_->kpisByInterval() != nullptr ? health_->kpisByIntervalSoFar() : &health_->kpisSoFar();
    return metrics_->write(metrics_->text(analysis_, *byInterval, metricsInterval_, &health_->circuits()), error);
}

void LogViews::finding(const Finding& finding) {
    if (options_.selection.active() && !finding.passed) return;
    if (options_.failOn[static_cast<std::size_t>(finding.kind)]) foundFailing_ = true;
    if (metrics_) metrics_->finding(finding);
    if (options_.view != View::Checks) return;
    ++findingsShown_;
    ++findingsByKind_[static_cast<std::size_t>(finding.kind)];
    switch (options_.format) {
        case Format::Text: appendFindingText(out_, finding, file_.switchColumn, file_.wire); break;
        case Format::Json: appendFindingJson(out_, finding, column_); break;
        case Format::Csv: appendFindingCsv(out_, finding, column_, file_.wire); break;
    }
    if (out_.size() >= kFlushSize) handOn();
}

bool LogViews::finish(std::span<const std::string> inputWarnings, std::uint64_t messages, std::uint64_t notDecoded,
                      std::string& error) {
    if (pipe_) pipe_->wait();
    analysis_.finish();
    if (health_) health_->finish(inputWarnings);
    if (exports_ != nullptr) exports_->intervals(health_->kpis());
    const bool filtered = options_.selection.active();
    if (options_.view == View::Kpi || options_.view == View::Statistics) {
        // Several files in JSON: one array of documents, each naming its file ("]" follows the last).
        const bool array = !column_.empty() && options_.format == Format::Json;
        if (array) out_ += file_.first ? "[\n" : ",\n";
        appendDocument(health_ ? &health_->kpis() : nullptr, spanningColumn());
        if (array && out_.ends_with('\n')) out_.pop_back();
    } else if (options_.view == View::Circuits) {
        switch (options_.format) {
            case Format::Text: appendCircuitsText(out_, health_->circuits(), filtered, file_.switchColumn, file_.wire); break;
            case Format::Json: appendCircuitsJson(out_, health_->circuits(), filtered, spanningColumn()); break;
            case Format::Csv:
                appendCircuitsCsv(out_, health_->circuits(), filtered, spanningColumn(), column_.empty() || file_.first,
                                  file_.wire);
                break;
        }
    } else if (options_.view == View::Checks && options_.format == Format::Text) {
        appendFindingTotals(out_, health_->circuits().options(), findingsShown_, findingsByKind_);
    }
    bool written = true;
    if (metrics_) written = writeMetrics(error);
    if (!options_.htmlFile.empty()) {
        std::string filter;
        for (const FilterExpression& expression : options_.selection.where) {
            if (!filter.empty()) filter += " and ";
            filter += "(" + expression.text() + ")";
        }
        const std::string html = htmlReport(
            *health_, HtmlReportInfo{.logName = !file_.runName.empty() ? file_.runName
                                                : file_.name.empty()    ? options_.files.front()
                                                                        : file_.name,
                                     .filter = filter,
                                     .generator = versionText().substr(0, versionText().size() - 1),
                                     .messages = messages,
                                     .notDecoded = notDecoded});
        std::ofstream file(pathOf(options_.htmlFile), std::ios::binary | std::ios::trunc);
        file << html;
        file.close();
        if (!file) {
            error = "cannot write the HTML report '" + options_.htmlFile + "'";
            written = false;
        }
    }
    flush();
    return written;
}

FileColumn LogViews::spanningColumn() const {
    if (file_.runName.empty() || column_.empty()) return column_;
    return FileColumn::ofSeveralFiles();
}

bool LogViews::selectedNothing() const {
    if (!options_.selection.active()) return false;
    return options_.view == View::Calls ? analysis_.callsPassed() == 0 : analysis_.messagesPassed() == 0;
}

void LogViews::flush() {
    if (pipe_) pipe_->wait();
    handOn();
}

void LogViews::writePreparedPieces() {
    if (pieces_.empty()) return;
    writePieces_(pieces_);
    pieces_.clear();
    callTexts_.clear();
}

void LogViews::handOn() {
    writePreparedPieces();
    if (!json_.empty()) {
        write_(json_.view());
        json_.clear();
    }
    if (out_.empty()) return;
    write_(out_);
    out_.clear();
}

}  // namespace truno
