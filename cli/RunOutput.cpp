#include "cli/RunOutput.h"

#include "cli/Follow.h"
#include "analysis/pipeline/TraceEndsFile.h"
#include "output/JourneyExports.h"

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace truno {
namespace {

// The log's first day for the capture file's time stamps when its page headers give none, in
// days from 1970-01-01, and where it came from: the date given with --date, else the day (UTC)
// the file was last modified; standard input that is not a file has no such date and takes today's.
std::pair<std::int64_t, DateSource> firstDayOf(const CliOptions& options, const std::string& file) {
    if (!options.date.empty()) return {daysFromDate(options.date).value_or(0), DateSource::Option};
    constexpr std::int64_t kSecondsPerDay = 86400;
    struct stat status{};
    const bool known = file == "-" ? (fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode))
                                   : stat(file.c_str(), &status) == 0;
    const std::int64_t seconds = known ? static_cast<std::int64_t>(status.st_mtime)
                                       : static_cast<std::int64_t>(std::time(nullptr));
    return {(seconds >= 0 ? seconds : seconds - kSecondsPerDay + 1) / kSecondsPerDay,
            known ? DateSource::FileDate : DateSource::Today};
}

// The width of the text tables' SWITCH column for files read as one run: 0 when they are of one
// switch (no such column).
std::size_t switchColumnOf(const std::vector<InputFile>& inputs) {
    std::vector<std::string_view> switches;
    std::size_t width = std::string_view("SWITCH").size();
    for (const InputFile& input : inputs) {
        if (std::find(switches.begin(), switches.end(), input.switchName) != switches.end()) continue;
        switches.emplace_back(input.switchName);
        width = std::max(width, input.switchName.size());
    }
    return switches.size() > 1 ? width : 0;
}

// After the views finished: the records of --call that no call holds, and filters that matched
// nothing, said on standard error after `who`.
void sayWhatWasNotSelected(const LogViews& views, const std::string& who, View view) {
    for (const std::uint64_t record : views.recordsWithoutCall())
        std::fprintf(stderr, "%s: --call %llu: no call holds record %llu\n", who.c_str(),
                     static_cast<unsigned long long>(record), static_cast<unsigned long long>(record));
    if (views.selectedNothing())
        std::fprintf(stderr, "%s: the filters match no %s\n", who.c_str(), view == View::Calls ? "call" : "message");
}

}  // namespace

RunOutput::RunOutput(const CliOptions& options, const std::vector<InputFile>& inputs, PcapExport* pcap,
                     ExportDirectory* exports)
    : options_(options), pcap_(pcap), exports_(exports), several_(inputs.size() > 1) {
    if (options_.wantsJourneys()) journeys_ = std::make_unique<JourneyBuilder>(options_.journeys);
    if (!options_.merge) return;
    writer_.emplace(options_.crlf);
    switchColumn_ = switchColumnOf(inputs);
    // Named as the window's caption names it: the first file and how many more.
    if (several_) {
        const std::size_t more = inputs.size() - 1;
        runName_ = inputs.front().shown;
        runName_ += " + ";
        runName_ += std::to_string(more);
        runName_ += more == 1 ? " file" : " files";
    }
}

void RunOutput::beginInput(const InputFile& file, RunOptions& run) {
    if (!options_.merge) writer_.emplace(options_.crlf);
    if (fileLines()) {
        std::fputs(("==> " + file.shown + " <==").c_str(), stdout);
        writer_->newline();
    }
    pcapTextBefore_ = pcap_ != nullptr ? pcap_->notAsBytes() : 0;
    if (options_.wantsFacts()) {
        if (pcap_ != nullptr || exports_ != nullptr) {
            const auto [day, source] = firstDayOf(options_, file.path);
            if (pcap_ != nullptr) pcap_->beginLog(day, source);
            if (exports_ != nullptr) exports_->beginLog(file.switchName, file.shown, day, source);
        }
        const bool reportText = options_.view == View::Report && options_.format == Format::Text;
        if (firstOutput_) wire_ = run.capture;
        if (views_) {
            views_->beginFile(file.shown);
        } else {
            views_.emplace(options_,
                           [this, reportText](std::string_view text) {
                               if (reportText)
                                   writer_->write(text);
                               else
                                   writer_->writeVerbatim(text);
                           },
                           pcap_,
                           FileOutput{.name = several_ ? file.shown : std::string(), .first = firstOutput_,
                                      .switchColumn = switchColumn_, .runName = runName_, .wire = wire_,
                                      .jobs = run.jobs},
                           exports_);
            views_->writePreparedWith([this](std::span<const std::string_view> pieces) { writer_->writeVerbatim(pieces); });
        }
        views_->beginSwitch(file.switchName);
        if (journeys_) {
            TraceEnds ends = inputIndex_ < ends_.size() ? ends_[inputIndex_] : TraceEnds{.file = file.shown, .self = file.switchName, .far = {}, .declared = false};
            views_->followJourneys(journeys_.get(), journeys_->beginTrace(std::move(ends)));
        }
        ++inputIndex_;
        firstOutput_ = false;
        run.records = [this](const RecordFacts& record) { views_->add(record); };
        run.prepare = views_->preparer();
        run.buildFields = true;  // the views' analysis takes each record's fields as built
        run.markedTypes = views_->markedTypes();
        run.markedParameters = views_->markedParameters();
    }
    passReport_ = !views_ || views_->passesReport();
    // The threads that decode turn the report's line ends (no view reads its text or places).
    run.lineFeeds = !options_.crlf && !run.records;
    if (options_.follow != Follow::No) stopFollowingOnInterrupt();
}

void RunOutput::endInput(const InputFile& file, const InputResult& result) {
    if (!result.read) {
        std::fflush(stdout);
        std::fprintf(stderr, "truno-decode: %s\n", result.error.c_str());
        status_ = 2;
        return;
    }
    const RunSummary& summary = result.summary;
    std::string htmlError;
    bool htmlWritten = true;
    if (options_.merge) {
        // The views may take the records on a thread of their own: the log's are all through them
        // before its capture counts are read and the next log begins.
        if (views_) views_->flush();
    } else {
        htmlWritten = !views_ || views_->finish(summary.warnings, summary.found, summary.notDecoded, htmlError);
        writer_->finish();
    }
    if (fileLines()) writer_->newline();
    if (writer_->failed()) writeFailed_ = true;
    std::fflush(stdout);
    if (summary.readError)
        std::fprintf(stderr, "truno-decode: error reading '%s': %s\n", file.shown.c_str(), result.readError.c_str());
    // --quiet leaves out a summary that adds nothing to the report; one that says why nothing
    // was found, or warns of lines the report does not show, is always written.
    if (!options_.quiet || summary.found == 0 || !summary.warnings.empty()) {
        std::istringstream lines(summaryText(summary));
        for (std::string line; std::getline(lines, line);) std::fprintf(stderr, "%s: %s\n", file.shown.c_str(), line.c_str());
    }
    if (views_ && !options_.merge) {
        sayWhatWasNotSelected(*views_, file.shown, options_.view);
        if (views_->foundFailing()) foundFailing_ = true;
    }
    notePcapText(file.shown, summary);
    if (!htmlWritten) std::fprintf(stderr, "truno-decode: %s\n", htmlError.c_str());
    const int status = summary.readError || !htmlWritten ? 2 : everythingDecoded(summary) ? 0 : 1;
    status_ = std::max(status_, status);
    if (!options_.merge) {
        views_.reset();
        writer_.reset();
    }
}

// Of a capture file: the messages whose octets it holds as text, and a date the user cannot know
// from the file, said so that the time stamps can be read.
void RunOutput::notePcapText(const std::string& shown, const RunSummary& summary) const {
    if (pcap_ == nullptr) return;
    if (pcap_->notAsBytes() != pcapTextBefore_) {
        const std::uint64_t asText = pcap_->notAsBytes() - pcapTextBefore_;
        std::fprintf(stderr,
                     "%s: %llu message%s octets that are not all two hex digits: %s packet%s in the capture file "
                     "hold%s them as text (the record number is in each packet's comment)\n",
                     shown.c_str(), static_cast<unsigned long long>(asText), asText == 1 ? " has" : "s have",
                     asText == 1 ? "its" : "their", asText == 1 ? "" : "s", asText == 1 ? "s" : "");
    }
    if (summary.found > 0 && pcap_->dateSource() == DateSource::Today)
        std::fprintf(stderr,
                     "%s: the capture file's time stamps are on %s, today (UTC): the log has no page header with a "
                     "date and no --date was given\n",
                     shown.c_str(), dateOfDays(pcap_->firstDay()).c_str());
}

void RunOutput::finishMerged(const RunSummary& total) {
    // The one run ends: its calls, statistics, KPIs and checks span every file.
    if (views_) {
        std::string error;
        if (!views_->finish(total.warnings, total.found, total.notDecoded, error)) {
            std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
            status_ = 2;
        }
        sayWhatWasNotSelected(*views_, "truno-decode", options_.view);
        if (views_->foundFailing()) foundFailing_ = true;
    }
    writer_->finish();
    if (writer_->failed()) writeFailed_ = true;
}

bool RunOutput::resolveEnds(const CliOptions& options, std::vector<InputFile>& inputs, std::vector<TraceEnds>& ends,
                            std::string& error) {
    // FILE THIS FAR lines of the network file, then --ends (which win).
    std::vector<EndsRow> given;
    if (!options.networkFile.empty() && !readNetworkFile(options.networkFile, given, error)) return false;
    for (const std::string& e : options.ends) {
        const std::size_t eq = e.rfind('=');
        const std::size_t colon = e.find(':', eq);
        given.push_back({e.substr(0, eq), e.substr(eq + 1, colon - eq - 1), e.substr(colon + 1)});
    }
    return matchTraceEnds(given, inputs, ends, error);
}

void RunOutput::finishJourneys() {
    if (!journeys_) return;
    std::string out;
    if (options_.view == View::Journeys && options_.format == Format::Csv) appendJourneyCsvHeader(out);
    if (options_.view == View::Cdr && options_.format != Format::Json) appendCdrCsvHeader(out);
    // Failed journeys are written as they come, the answered ones kept in a temporary file until
    // the end, so that the failed come first.
    std::string answered;
    std::FILE* later = nullptr;
    std::size_t shown = 0;
    const auto write = [this](std::string& text, std::FILE* to) {
        if (to != nullptr && std::fwrite(text.data(), 1, text.size(), to) != text.size()) writeFailed_ = true;
        text.clear();
    };
    const JourneyReport report = journeys_->stream([&](const JourneyReport& part, const Journey& j) {
        const JourneyKeys keys{.outcome = j.outcome, .legs = j.legs.size(), .releasedAt = j.releasedAt, .setup = j.setup, .cause = j.cause};
        if (!std::all_of(options_.journeyWhere.begin(), options_.journeyWhere.end(),
                         [&](const FilterExpression& e) { return e.matchesJourney(keys); }))
            return;
        ++shown;
        const bool failed = j.outcome != "answered";
        std::string& into = failed ? out : answered;
        if (options_.view == View::Cdr) {
            if (options_.format == Format::Json)
                appendCdrJson(into, part, j);
            else
                appendCdrCsv(into, part, j);
        } else if (options_.format == Format::Json) {
            appendJourneyJson(into, part, j);
        } else if (options_.format == Format::Csv) {
            appendJourneyCsv(into, part, j);
        } else {
            appendJourneyText(into, part, j);
        }
        if (out.size() > 65536) write(out, stdout);
        if (answered.size() > 65536) {
            if (later == nullptr) later = std::tmpfile();
            if (later == nullptr) writeFailed_ = true;
            write(answered, later);
        }
    });
    write(out, stdout);
    if (later != nullptr) {
        std::rewind(later);
        char buffer[65536];
        for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, later)) > 0;)
            if (std::fwrite(buffer, 1, n, stdout) != n) writeFailed_ = true;
        if (std::ferror(later) != 0) writeFailed_ = true;
        std::fclose(later);
    }
    write(answered, stdout);
    std::fflush(stdout);
    if (ferror(stdout) != 0) writeFailed_ = true;
    std::string summary;
    appendJourneySummary(summary, report);
    if (!options_.journeyWhere.empty()) summary += std::to_string(shown) + " journeys pass the filters\n";
    std::istringstream lines(summary);
    for (std::string line; std::getline(lines, line);)
        if (!options_.quiet || !report.problems.empty()) std::fprintf(stderr, "truno-decode: journeys: %s\n", line.c_str());
    if (!report.problems.empty()) status_ = std::max(status_, 1);
}

void RunOutput::idle() {
    if (views_) {
        views_->tick();
        views_->flush();
    }
    writer_->flush();
}

void RunOutput::closeDocuments() {
    if (several_ && !firstOutput_ && (options_.view == View::Statistics || options_.view == View::Kpi) &&
        options_.format == Format::Json)
        std::fputs("\n]\n", stdout);
}

}  // namespace truno
