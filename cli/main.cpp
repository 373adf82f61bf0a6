// truno-decode: decodes BICC trace logs and writes the report to standard output.
#include "run/DecodeRun.h"
#include "run/InputList.h"
#include "run/LogInput.h"
#include "run/LogOrder.h"
#include "analysis/facts/FieldCatalog.h"
#include "output/PcapExport.h"
#include "cli/Follow.h"
#include "cli/Options.h"
#include "cli/Platform.h"
#include "cli/ReportWriter.h"
#include "cli/Views.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <ctime>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using truno::ReportWriter;

// A file name as a shell reads it back: as it is when it holds only safe characters, otherwise
// in single quotes.
std::string shellWord(const std::string& name) {
    const bool safe = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || std::strchr("._/+-,:=@%", c) != nullptr;
    });
    if (safe) return name;
    std::string quoted = "'";
    for (const char c : name) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The log's first day for the capture file's time stamps when its page headers give none, in
// days from 1970-01-01, and where it came from: the date given with --date, else the day (UTC)
// the file was last modified; standard input that is not a file has no such date and takes today's.
std::pair<std::int64_t, truno::DateSource> firstDayOf(const truno::CliOptions& options, const std::string& file) {
    if (!options.date.empty()) return {truno::daysFromDate(options.date).value_or(0), truno::DateSource::Option};
    constexpr std::int64_t kSecondsPerDay = 86400;
    struct stat status{};
    const bool known = file == "-" ? (fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode))
                                   : stat(file.c_str(), &status) == 0;
    const std::int64_t seconds = known ? static_cast<std::int64_t>(status.st_mtime)
                                       : static_cast<std::int64_t>(std::time(nullptr));
    return {(seconds >= 0 ? seconds : seconds - kSecondsPerDay + 1) / kSecondsPerDay,
            known ? truno::DateSource::FileDate : truno::DateSource::Today};
}

// A file as the messages and the summary name it.
std::string shownName(const std::string& file) { return file == "-" ? std::string("(standard input)") : file; }

// The switch a file belongs to: --switch, else the file's own name without folder, rotation
// number and .log (standard input: "(standard input)"), as in the export folder.
std::string switchOf(const truno::CliOptions& options, const std::string& shown) {
    return options.switchName.empty() ? truno::switchOfFile(shown) : options.switchName;
}

// What the files read as one run (--merge) share: the output, the views (calls, KPIs and checks
// span the files), the next record's number, and the counts and warnings of the files so far.
struct MergedRun {
    explicit MergedRun(bool crlf) : writer(crlf) {}
    ReportWriter writer;
    // The width of the text tables' SWITCH column: the files are of several switches (0: one).
    std::size_t switchColumn = 0;
    std::optional<truno::LogViews> views;
    std::uint64_t nextRecord = 1;
    std::uint64_t found = 0;
    std::uint64_t notDecoded = 0;
    std::vector<std::string> warnings;
};

// With several files, `firstOutput` says that no file before this one wrote JSON or CSV output
// (the CSV header row and the "[" of --stats go out once); it is cleared once this file's views
// exist.
// After the views finished: the records of --call that no call holds, and filters that matched
// nothing, said on standard error after `who`.
void sayWhatWasNotSelected(const truno::LogViews& views, const std::string& who, truno::View view) {
    for (const std::uint64_t record : views.recordsWithoutCall())
        std::fprintf(stderr, "%s: --call %llu: no call holds record %llu\n", who.c_str(),
                     static_cast<unsigned long long>(record), static_cast<unsigned long long>(record));
    if (views.selectedNothing())
        std::fprintf(stderr, "%s: the filters match no %s\n", who.c_str(), view == truno::View::Calls ? "call" : "message");
}

// With --merge, `merged` holds what the files share; the caller finishes it after the last file.
int decodeFile(const std::string& file, const truno::CliOptions& options, bool several, bool& writeFailed,
               truno::PcapExport* pcap, truno::ExportDirectory* exports, bool& firstOutput, MergedRun* merged) {
    const bool isStdin = (file == "-");
    const std::string shown = shownName(file);
    const std::string switchName = switchOf(options, shown);
    std::ifstream stream;
    const bool follow = options.follow != truno::Follow::No;
    if (!isStdin && !follow) {
        std::error_code ignored;
        const std::filesystem::path path = truno::pathOf(file);
        const bool directory = std::filesystem::is_directory(path, ignored);
        if (!directory) stream.open(path, std::ios::binary);
        if (directory || !stream) {
            const int err = directory ? EISDIR : errno;
            std::fflush(stdout);
            std::fprintf(stderr, "truno-decode: cannot open '%s': %s\n", file.c_str(),
                         err != 0 ? std::strerror(err) : "unknown error");
            return 2;
        }
    }
    // A followed log is read as it grows, as it is (not decompressed); any other through LogInput.
    truno::LogInput in(isStdin ? std::cin : static_cast<std::istream&>(stream));
    if (!follow && in.refused()) {
        const truno::CompressionFormat& format = truno::formatOf(in.compression());
        const std::string command(format.decompressCommand);
        const std::string pipe = isStdin ? "... | " + command : command + " " + shellWord(file);
        std::fflush(stdout);
        std::fprintf(stderr, "truno-decode: %s: %s-compressed input is not read; decompress it first (%s | truno-decode -)\n",
                     shown.c_str(), std::string(format.name).c_str(), pipe.c_str());
        return 2;
    }
    ReportWriter ownWriter(options.crlf);
    ReportWriter& writer = merged != nullptr ? merged->writer : ownWriter;
    // JSON and CSV name the file in each object and row instead: a line between them would
    // break the document. Files read as one run make one report.
    const bool fileLines = several && options.format == truno::Format::Text && merged == nullptr;
    if (fileLines) {
        std::fputs(("==> " + shown + " <==").c_str(), stdout);
        writer.newline();
    }
    truno::RunOptions runOptions;
    runOptions.jobs = options.jobs;
    runOptions.cicOctets = options.cicOctets;
    // The plain report asks for no facts: the run then keeps no marks and its speed is the
    // report's own.
    std::optional<truno::LogViews> ownViews;
    std::optional<truno::LogViews>& views = merged != nullptr ? merged->views : ownViews;
    if (merged != nullptr) runOptions.firstRecord = merged->nextRecord;
    const std::uint64_t pcapTextBefore = pcap != nullptr ? pcap->notAsBytes() : 0;
    if (options.wantsFacts()) {
        if (pcap != nullptr || exports != nullptr) {
            const auto [day, source] = firstDayOf(options, file);
            if (pcap != nullptr) pcap->beginLog(day, source);
            if (exports != nullptr) exports->beginLog(switchName, shown, day, source);
        }
        const bool reportText = options.view == truno::View::Report && options.format == truno::Format::Text;
        if (views) {
            views->beginFile(shown);
        } else {
        views.emplace(options,
                      [&writer, reportText](std::string_view text) {
                          if (reportText)
                              writer.write(text);
                          else
                              writer.writeVerbatim(text);
                      },
                      pcap,
                      truno::FileOutput{.name = several ? shown : std::string(),
                                        .first = firstOutput,
                                        .switchColumn = merged != nullptr ? merged->switchColumn : 0},
                      exports);
        }
        views->beginSwitch(switchName);
        firstOutput = false;
        runOptions.records = [&](const truno::RecordFacts& record) { views->add(record); };
        runOptions.markedTypes = views->markedTypes();
    }
    const bool passReport = !views || views->passesReport();
    std::function<void()> flushRecords;
    std::unique_ptr<std::istream> followed;
    if (follow) {
        // Before each wait for more of the log, what was decoded goes out.
        truno::FollowRequest request{.byName = options.follow == truno::Follow::Name,
                                     .settle = std::chrono::milliseconds(options.settleMs),
                                     .idle = [&] {
                                         if (flushRecords) flushRecords();
                                         if (views) {
                                             views->tick();
                                             views->flush();
                                         }
                                         writer.flush();
                                     }};
        std::string error;
        followed = truno::openFollowed(file, request, error);
        if (!followed) {
            std::fflush(stdout);
            std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
            return 2;
        }
        truno::stopFollowingOnInterrupt();
        runOptions.flushRecords = &flushRecords;
    }
    const truno::RunSummary summary = truno::decodeLog(
        follow ? *followed : static_cast<std::istream&>(in),
        [&](std::string_view text) { if (passReport) writer.write(text); }, runOptions);
    // The views may take the records on a thread of their own: the log's are all through them
    // before its capture counts are read and the next log begins.
    if (views && merged != nullptr) views->flush();
    std::string htmlError;
    bool htmlWritten = true;
    if (merged != nullptr) {
        merged->nextRecord += summary.found;
        merged->found += summary.found;
        merged->notDecoded += summary.notDecoded;
        for (const std::string& warning : summary.warnings) {
            std::string named = shown;
            named += ": ";
            named += warning;
            merged->warnings.push_back(std::move(named));
        }
    } else {
        htmlWritten = !views || views->finish(summary.warnings, summary.found, summary.notDecoded, htmlError);
        writer.finish();
    }
    if (fileLines) writer.newline();
    if (writer.failed()) writeFailed = true;
    std::fflush(stdout);
    if (summary.readError) {
        const std::string why = !in.dataError().empty() ? in.dataError() : std::string(std::strerror(errno));
        std::fprintf(stderr, "truno-decode: error reading '%s': %s\n", shown.c_str(), why.c_str());
    }
    // --quiet leaves out a summary that adds nothing to the report; one that says why nothing
    // was found, or warns of lines the report does not show, is always written.
    if (!options.quiet || summary.found == 0 || !summary.warnings.empty()) {
        std::istringstream lines(truno::summaryText(summary));
        for (std::string line; std::getline(lines, line);) std::fprintf(stderr, "%s: %s\n", shown.c_str(), line.c_str());
    }
    if (views && merged == nullptr) sayWhatWasNotSelected(*views, shown, options.view);
    if (pcap != nullptr && pcap->notAsBytes() != pcapTextBefore) {
        const std::uint64_t asText = pcap->notAsBytes() - pcapTextBefore;
        std::fprintf(stderr,
                     "%s: %llu message%s octets that are not all two hex digits: %s packet%s in the capture file "
                     "hold%s them as text (the record number is in each packet's comment)\n",
                     shown.c_str(), static_cast<unsigned long long>(asText), asText == 1 ? " has" : "s have",
                     asText == 1 ? "its" : "their", asText == 1 ? "" : "s", asText == 1 ? "s" : "");
    }
    // A date the user cannot know from the file: said, so that the time stamps can be read.
    if (pcap != nullptr && summary.found > 0 && pcap->dateSource() == truno::DateSource::Today)
        std::fprintf(stderr,
                     "%s: the capture file's time stamps are on %s, today (UTC): the log has no page header with a "
                     "date and no --date was given\n",
                     shown.c_str(), truno::dateOfDays(pcap->firstDay()).c_str());
    if (!htmlWritten) std::fprintf(stderr, "truno-decode: %s\n", htmlError.c_str());
    if (summary.readError || !htmlWritten) return 2;
    return truno::everythingDecoded(summary) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    truno::useBinaryStandardStreams();
    // The arguments in UTF-8, as the array of pointers that getopt_long reorders.
    std::vector<std::string> arguments = truno::utf8Arguments(argc, argv);
    std::vector<char*> args;
    args.reserve(arguments.size() + 1);
    for (std::string& a : arguments) args.push_back(a.data());
    args.push_back(nullptr);
    truno::CliOptions options;
    std::string error;
    if (!truno::parseOptions(static_cast<int>(arguments.size()), args.data(), options, error)) {
        std::fprintf(stderr, "truno-decode: %s\nTry 'truno-decode --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(truno::helpText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(truno::versionText().c_str(), stdout);
        return 0;
    }
    if (options.listFields != truno::ListFields::No) {
        std::string list;
        if (options.listFields == truno::ListFields::Text)
            truno::appendFieldListText(list);
        else
            truno::appendFieldListMarkdown(list);
        std::fputs(list.c_str(), stdout);
        return 0;
    }
    if (options.files.empty()) options.files.emplace_back("-");
    const bool several = options.files.size() > 1;
    int status = 0;
    bool writeFailed = false;
    std::optional<truno::PcapExport> pcap;
    if (!options.pcapFile.empty()) {
        pcap.emplace();
        if (!pcap->open(options.pcapFile, error)) {
            std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
            return 2;
        }
    }
    std::optional<truno::ExportDirectory> exports;
    if (!options.exportDir.empty()) {
        exports.emplace();
        if (!exports->open(options.exportDir, error)) {
            std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
            return 2;
        }
    }
    bool firstOutput = true;
    if (options.sortFiles) {
        // By the first message's date and time; files without one keep their place after the others.
        std::vector<std::optional<truno::FirstInstant>> instants;
        for (const std::string& file : options.files) {
            std::ifstream stream(truno::pathOf(file), std::ios::binary);
            instants.push_back(stream ? truno::firstInstantOf(stream) : std::nullopt);
        }
        std::vector<std::string> sorted;
        for (const std::size_t k : truno::orderByFirstInstant(instants)) sorted.push_back(options.files[k]);
        options.files = std::move(sorted);
    }
    std::optional<MergedRun> merged;
    if (options.merge) {
        merged.emplace(options.crlf);
        // Files of several switches: the text tables show each line's switch.
        std::vector<std::string> switches;
        for (const std::string& file : options.files) {
            std::string name = switchOf(options, shownName(file));
            if (std::find(switches.begin(), switches.end(), name) == switches.end()) switches.push_back(std::move(name));
        }
        if (switches.size() > 1) {
            merged->switchColumn = std::string_view("SWITCH").size();
            for (const std::string& name : switches) merged->switchColumn = std::max(merged->switchColumn, name.size());
        }
    }
    for (const std::string& file : options.files)
        status = std::max(status, decodeFile(file, options, several, writeFailed, pcap ? &*pcap : nullptr,
                                             exports ? &*exports : nullptr, firstOutput, merged ? &*merged : nullptr));
    if (merged) {
        // The one run ends: its calls, statistics, KPIs and checks span every file.
        if (merged->views) {
            if (!merged->views->finish(merged->warnings, merged->found, merged->notDecoded, error)) {
                std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
                status = 2;
            }
            sayWhatWasNotSelected(*merged->views, "truno-decode", options.view);
        }
        merged->writer.finish();
        if (merged->writer.failed()) writeFailed = true;
    }
    if (exports && !exports->close(error)) {
        std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
        status = 2;
    }
    // Several files' statistics in JSON are one array of documents.
    if (several && !firstOutput && (options.view == truno::View::Statistics || options.view == truno::View::Kpi) &&
        options.format == truno::Format::Json)
        std::fputs("\n]\n", stdout);
    if (pcap && !pcap->close(error)) {
        std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
        status = 2;
    }
    std::fflush(stdout);
    if (writeFailed || std::ferror(stdout)) {
        std::fprintf(stderr, "truno-decode: error writing the report: %s\n", std::strerror(errno));
        return 2;
    }
    return status;
}
