#include "cli/Views.h"

#include "analysis/Exports.h"
#include "analysis/JsonWriter.h"
#include "analysis/MessageSummary.h"

#include <utility>

namespace truno {
namespace {

// Output is handed on in pieces of about this size.
constexpr std::size_t kFlushSize = std::size_t{64} * 1024;

}  // namespace

LogViews::LogViews(const CliOptions& options, Write write, PcapExport* pcap, FileOutput file)
    : options_(options),
      write_(std::move(write)),
      pcap_(pcap),
      analysis_([this](const AnalysedMessage& m) { message(m); }, [this](const Call& call) { callFinished(call); },
                options.format == Format::Json, &options.selection),
      file_(std::move(file)) {
    if (!file_.name.empty()) {
        Text name;
        appendJsonString(name, file_.name);
        fileJson_ = "\"file\":" + name.str() + ",";
        const bool quote = file_.name.find_first_of(",\"\r\n") != std::string::npos;
        if (quote) fileCsv_ += '"';
        for (const char c : file_.name) fileCsv_.append(c == '"' && quote ? 2 : 1, c);
        if (quote) fileCsv_ += '"';
        fileCsv_ += ',';
    }
    // With several files, CSV has one header row: the first file's.
    const bool csvHeader = options_.format == Format::Csv && file_.first;
    const std::size_t start = out_.size();
    switch (options_.view) {
        case View::Report:
        case View::Summary:
            if (csvHeader) appendMessageCsvHeader(out_);
            if (options_.view == View::Summary && options_.format == Format::Text) appendSummaryHeading(out_);
            break;
        case View::Calls:
            if (csvHeader) appendCallCsvHeader(out_);
            if (options_.format == Format::Text) appendCallHeading(out_);
            break;
        case View::Statistics: break;
    }
    if (csvHeader && !file_.name.empty() && out_.size() > start) out_.insert(start, "file,");
}

void LogViews::nameFile(std::size_t start) {
    if (file_.name.empty() || start >= out_.size()) return;
    if (options_.format == Format::Json) {
        // {"record":... becomes {"file":"NAME","record":...
        out_.insert(start + 1, fileJson_);
    } else if (options_.format == Format::Csv) {
        // Every row the view appended (rows end in LF) gets the file's column in front.
        for (std::size_t at = start; at < out_.size();) {
            out_.insert(at, fileCsv_);
            const std::size_t end = out_.find('\n', at + fileCsv_.size());
            at = end == std::string::npos ? out_.size() : end + 1;
        }
    }
}

bool LogViews::passesReport() const {
    return options_.view == View::Report && options_.format == Format::Text && !options_.selection.active();
}

void LogViews::message(const AnalysedMessage& m) {
    if (pcap_ != nullptr) pcap_->add(m.facts.record(), m.at);
    if (options_.view == View::Statistics || options_.view == View::Calls) return;
    const std::size_t start = out_.size();
    if (options_.format == Format::Json) {
        appendMessageJson(out_, m.facts, m.callFirstRecord());
        nameFile(start);
    } else if (options_.format == Format::Csv) {
        appendMessageCsv(out_, m.facts, m.callFirstRecord());
        nameFile(start);
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
    const std::size_t start = out_.size();
    switch (options_.format) {
        case Format::Text: appendCallLine(out_, call); break;
        case Format::Json: appendCallJson(out_, call); break;
        case Format::Csv: appendCallCsv(out_, call); break;
    }
    nameFile(start);
    if (out_.size() >= kFlushSize) flush();
}

void LogViews::finish() {
    analysis_.finish();
    if (options_.view == View::Statistics) {
        const std::size_t start = out_.size();
        switch (options_.format) {
            case Format::Text: appendStatisticsText(out_, analysis_.statistics()); break;
            case Format::Json:
                appendStatisticsJson(out_, analysis_.statistics());
                // Several files: one array of documents, each naming its file ("]" follows the last).
                if (!file_.name.empty()) {
                    out_.insert(start + 1, "\n  " + fileJson_);
                    out_.insert(start, file_.first ? "[\n" : ",\n");
                    if (out_.ends_with('\n')) out_.pop_back();
                }
                break;
            case Format::Csv:
                appendStatisticsCsv(out_, analysis_.statistics());
                if (!file_.name.empty()) {
                    // One header row across the files.
                    const std::size_t headerEnd = out_.find('\n', start) + 1;
                    if (file_.first)
                        out_.insert(start, "file,");
                    else
                        out_.erase(start, headerEnd - start);
                    nameFile(file_.first ? out_.find('\n', start) + 1 : start);
                }
                break;
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
