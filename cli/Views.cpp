#include "cli/Views.h"

#include "analysis/Exports.h"
#include "analysis/MessageSummary.h"

#include <utility>

namespace truno {
namespace {

// Output is handed on in pieces of about this size.
constexpr std::size_t kFlushSize = std::size_t{64} * 1024;

}  // namespace

LogViews::LogViews(const CliOptions& options, Write write, PcapExport* pcap)
    : options_(options),
      write_(std::move(write)),
      pcap_(pcap),
      analysis_([this](const AnalysedMessage& m) { message(m); }, [this](const Call& call) { callFinished(call); },
                options.format == Format::Json, &options.selection) {
    switch (options_.view) {
        case View::Report:
        case View::Summary:
            if (options_.format == Format::Csv) appendMessageCsvHeader(out_);
            if (options_.view == View::Summary && options_.format == Format::Text) appendSummaryHeading(out_);
            break;
        case View::Calls:
            if (options_.format == Format::Csv) appendCallCsvHeader(out_);
            if (options_.format == Format::Text) appendCallHeading(out_);
            break;
        case View::Statistics: break;
    }
}

bool LogViews::passesReport() const {
    return options_.view == View::Report && options_.format == Format::Text && !options_.selection.active();
}

void LogViews::message(const AnalysedMessage& m) {
    if (pcap_ != nullptr) pcap_->add(m.facts.record(), m.at);
    if (options_.view == View::Statistics || options_.view == View::Calls) return;
    if (options_.format == Format::Json) {
        appendMessageJson(out_, m.facts, m.callFirstRecord());
    } else if (options_.format == Format::Csv) {
        appendMessageCsv(out_, m.facts, m.callFirstRecord());
    } else if (options_.view == View::Summary) {
        appendSummaryLine(out_, m.facts);
    } else if (!passesReport()) {
        // The records that pass, joined as the report joins them: CR LF between two records.
        if (!firstRecord_) out_ += "\r\n";
        out_ += m.facts.record().text;
    }
    firstRecord_ = false;
    if (out_.size() >= kFlushSize) flush();
}

void LogViews::callFinished(const Call& call) {
    if (options_.view != View::Calls) return;
    switch (options_.format) {
        case Format::Text: appendCallLine(out_, call); break;
        case Format::Json: appendCallJson(out_, call); break;
        case Format::Csv: appendCallCsv(out_, call); break;
    }
    if (out_.size() >= kFlushSize) flush();
}

void LogViews::finish() {
    analysis_.finish();
    if (options_.view == View::Statistics) {
        switch (options_.format) {
            case Format::Text: appendStatisticsText(out_, analysis_.statistics()); break;
            case Format::Json: appendStatisticsJson(out_, analysis_.statistics()); break;
            case Format::Csv: appendStatisticsCsv(out_, analysis_.statistics()); break;
        }
    }
    flush();
}

bool LogViews::selectedNothing() const {
    if (!options_.selection.active()) return false;
    return options_.view == View::Calls ? analysis_.callsPassed() == 0 : analysis_.messagesPassed() == 0;
}

void LogViews::flush() {
    if (out_.empty()) return;
    write_(out_);
    out_.clear();
}

}  // namespace truno
