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
      calls_([this](const Call& call) { callFinished(call); }) {
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
    return options_.view == View::Report && options_.format == Format::Text && !options_.filter.active();
}

std::bitset<256> LogViews::markedTypes() const {
    std::bitset<256> types;
    for (int code = 0; code < 256; ++code)
        types[static_cast<std::size_t>(code)] = options_.format == Format::Json || fieldsReadBeyondJson(code);
    return types;
}

void LogViews::add(const RecordFacts& record) {
    // Only JSON reads the fields of every message; for the other views the facts of a message
    // whose fields none of them reads are built without its marks, which costs next to nothing.
    if (options_.format == Format::Json || fieldsReadBeyondJson(record.typeCode)) {
        message_.build(record);
    } else {
        RecordFacts withoutFields = record;
        withoutFields.marks = {};
        message_.build(withoutFields);
    }
    const std::optional<std::int64_t> at = clock_.instant(record.time);
    Call* call = calls_.add(message_, at);
    const std::uint64_t callFirstRecord = call != nullptr ? call->firstRecord : 0;
    if (!options_.filter.accepts(record, callFirstRecord)) return;
    if (call != nullptr) call->selected = true;
    if (pcap_ != nullptr) pcap_->add(record, at);
    if (options_.view == View::Statistics) {
        statistics_.addMessage(message_);
        return;
    }
    if (options_.view == View::Calls) return;
    if (options_.format == Format::Json) {
        appendMessageJson(out_, message_, callFirstRecord);
    } else if (options_.format == Format::Csv) {
        appendMessageCsv(out_, message_, callFirstRecord);
    } else if (options_.view == View::Summary) {
        appendSummaryLine(out_, message_);
    } else if (!passesReport()) {
        // The full report leaves out the CR LF in front of its first record.
        std::string_view text = record.text;
        if (firstRecord_ && text.starts_with("\r\n")) text.remove_prefix(2);
        out_ += text;
    }
    firstRecord_ = false;
    if (out_.size() >= kFlushSize) flush();
}

void LogViews::callFinished(const Call& call) {
    if (!call.selected) return;
    if (options_.view == View::Statistics) {
        statistics_.addCall(call);
        return;
    }
    if (options_.view != View::Calls) return;
    switch (options_.format) {
        case Format::Text: appendCallLine(out_, call); break;
        case Format::Json: appendCallJson(out_, call); break;
        case Format::Csv: appendCallCsv(out_, call); break;
    }
    if (out_.size() >= kFlushSize) flush();
}

void LogViews::finish() {
    calls_.finish();
    if (options_.view == View::Statistics) {
        switch (options_.format) {
            case Format::Text: appendStatisticsText(out_, statistics_); break;
            case Format::Json: appendStatisticsJson(out_, statistics_); break;
            case Format::Csv: appendStatisticsCsv(out_, statistics_); break;
        }
    }
    flush();
}

void LogViews::flush() {
    if (out_.empty()) return;
    write_(out_);
    out_.clear();
}

}  // namespace truno
