#include "cli/Options.h"

#include "analysis/filters/ShorthandFilters.h"
#include "base/Times.h"

#include <getopt.h>

#include <cerrno>
#include <algorithm>
#include <cmath>
#include <optional>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>
#include <string_view>

#ifndef TRUNO_VERSION
#define TRUNO_VERSION "0"
#endif

namespace truno {

namespace {

// The values getopt_long returns for the options without a short form.
enum LongOnly : int {
    kCrlfOption = 256,
    kSummaryOption,
    kCallsOption,
    kStatsOption,
    kFormatOption,
    kCicOption,
    kTypeOption,
    kRecordsOption,
    kNotDecodedOption,
    kCallOption,
    kWhereOption,
    kPcapOption,
    kDateOption,
    kListFieldsOption,
    kListFieldsMarkdownOption,
    kCicOctetsOption,
    kKpiOption,
    kCircuitsOption,
    kChecksOption,
    kByOption,
    kNerCausesOption,
    kTimerOption,
    kHtmlOption,
    kHtmlLaddersOption,
    kFollowOption,
    kSettleOption,
    kExportDirOption,
    kSwitchOption,
    kMergeOption,
    kSortFilesOption,
    kIntervalOption,
    kMetricsOption,
    kAlarmOption,
    kFailOnOption,
    kLocalPcOption,
    kPcFormatOption,
};

constexpr option kLongOptions[] = {
    {.name = "crlf", .has_arg = no_argument, .flag = nullptr, .val = kCrlfOption},
    {.name = "summary", .has_arg = no_argument, .flag = nullptr, .val = kSummaryOption},
    {.name = "calls", .has_arg = no_argument, .flag = nullptr, .val = kCallsOption},
    {.name = "stats", .has_arg = no_argument, .flag = nullptr, .val = kStatsOption},
    {.name = "format", .has_arg = required_argument, .flag = nullptr, .val = kFormatOption},
    {.name = "cic", .has_arg = required_argument, .flag = nullptr, .val = kCicOption},
    {.name = "type", .has_arg = required_argument, .flag = nullptr, .val = kTypeOption},
    {.name = "records", .has_arg = required_argument, .flag = nullptr, .val = kRecordsOption},
    {.name = "not-decoded", .has_arg = no_argument, .flag = nullptr, .val = kNotDecodedOption},
    {.name = "call", .has_arg = required_argument, .flag = nullptr, .val = kCallOption},
    {.name = "where", .has_arg = required_argument, .flag = nullptr, .val = kWhereOption},
    {.name = "pcap", .has_arg = required_argument, .flag = nullptr, .val = kPcapOption},
    {.name = "date", .has_arg = required_argument, .flag = nullptr, .val = kDateOption},
    {.name = "list-fields", .has_arg = no_argument, .flag = nullptr, .val = kListFieldsOption},
    {.name = "list-fields-markdown", .has_arg = no_argument, .flag = nullptr, .val = kListFieldsMarkdownOption},
    {.name = "cic-octets", .has_arg = required_argument, .flag = nullptr, .val = kCicOctetsOption},
    {.name = "local-pc", .has_arg = required_argument, .flag = nullptr, .val = kLocalPcOption},
    {.name = "pc-format", .has_arg = required_argument, .flag = nullptr, .val = kPcFormatOption},
    {.name = "kpi", .has_arg = no_argument, .flag = nullptr, .val = kKpiOption},
    {.name = "circuits", .has_arg = no_argument, .flag = nullptr, .val = kCircuitsOption},
    {.name = "checks", .has_arg = no_argument, .flag = nullptr, .val = kChecksOption},
    {.name = "by", .has_arg = required_argument, .flag = nullptr, .val = kByOption},
    {.name = "ner-causes", .has_arg = required_argument, .flag = nullptr, .val = kNerCausesOption},
    {.name = "timer", .has_arg = required_argument, .flag = nullptr, .val = kTimerOption},
    {.name = "html", .has_arg = required_argument, .flag = nullptr, .val = kHtmlOption},
    {.name = "html-ladders", .has_arg = required_argument, .flag = nullptr, .val = kHtmlLaddersOption},
    {.name = "follow", .has_arg = optional_argument, .flag = nullptr, .val = kFollowOption},
    {.name = "settle", .has_arg = required_argument, .flag = nullptr, .val = kSettleOption},
    {.name = "export-dir", .has_arg = required_argument, .flag = nullptr, .val = kExportDirOption},
    {.name = "switch", .has_arg = required_argument, .flag = nullptr, .val = kSwitchOption},
    {.name = "merge", .has_arg = no_argument, .flag = nullptr, .val = kMergeOption},
    {.name = "interval", .has_arg = required_argument, .flag = nullptr, .val = kIntervalOption},
    {.name = "metrics", .has_arg = required_argument, .flag = nullptr, .val = kMetricsOption},
    {.name = "sort-files", .has_arg = no_argument, .flag = nullptr, .val = kSortFilesOption},
    {.name = "alarm", .has_arg = required_argument, .flag = nullptr, .val = kAlarmOption},
    {.name = "fail-on", .has_arg = required_argument, .flag = nullptr, .val = kFailOnOption},
    {.name = "jobs", .has_arg = required_argument, .flag = nullptr, .val = 'j'},
    {.name = "quiet", .has_arg = no_argument, .flag = nullptr, .val = 'q'},
    {.name = "help", .has_arg = no_argument, .flag = nullptr, .val = 'h'},
    {.name = "version", .has_arg = no_argument, .flag = nullptr, .val = 'V'},
    {.name = nullptr, .has_arg = 0, .flag = nullptr, .val = 0},
};

bool parseJobs(const char* text, unsigned& jobs, std::string& error) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno != 0 || n < 1 || n > 256) {
        error = "invalid number of jobs '" + std::string(text) + "' (expected 1 to 256)";
        return false;
    }
    jobs = static_cast<unsigned>(n);
    return true;
}

// A point code: a decimal number, or its parts joined by "-" or "." (ITU 3-8-3 bits, ANSI 8-8-8:
// network, cluster, member), within the format's bits.
std::optional<std::uint32_t> pointCodeOf(std::string_view text, PointCodeFormat format) {
    const std::uint32_t widths[3] = {format == PointCodeFormat::Ansi ? 8U : 3U, 8U, format == PointCodeFormat::Ansi ? 8U : 3U};
    const std::uint32_t total = format == PointCodeFormat::Ansi ? 24 : 14;
    std::uint32_t parts[3] = {};
    std::size_t count = 0;
    std::uint64_t value = 0;
    bool digits = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
            if (value >= (std::uint64_t{1} << total)) return std::nullopt;
            digits = true;
        } else if ((c == '-' || c == '.') && digits && count < 2) {
            parts[count++] = static_cast<std::uint32_t>(value);
            value = 0;
            digits = false;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    if (count == 0) return static_cast<std::uint32_t>(value);
    if (count != 2) return std::nullopt;
    parts[2] = static_cast<std::uint32_t>(value);
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (parts[i] >= (1U << widths[i])) return std::nullopt;
        code = code << widths[i] | parts[i];
    }
    return code;
}

bool parsePcFormat(const char* text, PointCodeFormat& format, std::string& error) {
    const std::string_view value(text);
    if (value != "itu" && value != "ansi") {
        error = "invalid --pc-format '" + std::string(value) + "' (expected itu or ansi)";
        return false;
    }
    format = value == "ansi" ? PointCodeFormat::Ansi : PointCodeFormat::Itu;
    return true;
}

bool parseCicOctets(const char* text, std::size_t& octets, std::string& error) {
    const std::string_view value(text);
    if (value != "2" && value != "4") {
        error = "invalid --cic-octets '" + std::string(value) + "' (expected 2 for ISUP or 4 for BICC)";
        return false;
    }
    octets = value == "2" ? 2 : 4;
    return true;
}

// "any", or kinds of finding separated by commas ("stuck-circuit,kpi-threshold").
bool parseFailOn(std::string_view text, std::array<bool, kFindingKindCount>& failOn, std::string& error) {
    if (text == "any") {
        failOn.fill(true);
        return true;
    }
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        const std::optional<FindingKind> kind = findingKindOf(name);
        if (!kind) {
            error = "invalid --fail-on '" + std::string(name) + "' (expected any, or kinds of finding:";
            for (std::size_t k = 0; k < kFindingKindCount; ++k) {
                error += ' ';
                error += findingKindName(static_cast<FindingKind>(k));
            }
            error += ')';
            return false;
        }
        failOn[static_cast<std::size_t>(*kind)] = true;
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

// One view at a time: a second one is a usage error.
bool setView(CliOptions& options, View view, bool& viewGiven, std::string& error) {
    if (viewGiven && options.view != view) {
        error = "--summary, --calls, --stats, --kpi, --circuits and --checks exclude each other";
        return false;
    }
    viewGiven = true;
    options.view = view;
    return true;
}

struct FormatName {
    std::string_view name;
    Format format;
};
constexpr FormatName kFormats[] = {
    {.name = "text", .format = Format::Text},
    {.name = "json", .format = Format::Json},
    {.name = "csv", .format = Format::Csv},
};

bool parseFormat(std::string_view text, Format& format, std::string& error) {
    for (const FormatName& f : kFormats) {
        if (f.name == text) {
            format = f.format;
            return true;
        }
    }
    error = "invalid format '" + std::string(text) + "' (expected text, json or csv)";
    return false;
}

bool parseCall(std::string_view text, std::vector<std::uint64_t>& calls, std::string& error) {
    std::uint64_t call = 0;
    std::uint64_t last = 0;
    if (text.find('-') == std::string_view::npos && parseRecordRange(text, call, last, error)) {
        calls.push_back(call);
        return true;
    }
    error = "invalid call '" + std::string(text) + "' (expected the number of a record of the call)";
    return false;
}

// "9,11,20-30": record numbers and ranges (N, N-M, N- or -M).
bool parseRecordList(std::string_view text, std::vector<RecordRange>& records, std::string& error) {
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        RecordRange range;
        if (!parseRecordRange(item, range.first, range.last, error)) {
            error = "invalid record range '" + std::string(item) + "' in --records (expected numbers and ranges such as "
                    "9,11,20-30; N- and -M leave a range open)";
            return false;
        }
        records.push_back(range);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

// The filter options as they were given, before they are compiled into expressions.
struct GivenFilters {
    ShorthandFilters shorthand;  // --cic, --type, --records, --not-decoded
    std::vector<std::string> where;
};

// Each shorthand option becomes an expression (repeated ones add to the same set), then each
// --where is compiled.
bool compileFilters(const GivenFilters& given, CliOptions& options, std::string& error) {
    compileShorthand(given.shorthand, options.selection.where);
    for (const std::string& text : given.where) {
        FilterExpression expression;
        FilterError problem;
        if (!expression.compile(text, problem)) {
            error = "--where: " + describeFilterError(text, problem);
            return false;
        }
        options.selection.where.push_back(std::move(expression));
    }
    if (options.selection.usesCallKeys() && options.view != View::Calls && options.view != View::Kpi) {
        error = "--where: the call keys (call.outcome, call.setup, ...) need --calls or --kpi";
        return false;
    }
    return true;
}

bool parseDate(std::string_view text, std::string& date, std::string& error) {
    if (!daysFromDate(text)) {
        error = "invalid date '" + std::string(text) + "' (expected YYYY-MM-DD)";
        return false;
    }
    date = text;
    return true;
}

// What getopt_long's '?' was about: a long option given a value it does not take (getopt_long
// then sets optopt to that option's value), an unknown long option (optopt 0), or an unknown
// short one.
std::string misusedOption(char* const* argv) {
    for (const option& o : kLongOptions) {
        if (o.name != nullptr && o.val == optopt && optopt != 0)
            return "option '--" + std::string(o.name) + "' takes no value";
    }
    if (optopt == 0) return "unknown option '" + std::string(argv[optind - 1]) + "'";
    return "unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'";
}

// What getopt_long's ':' was about: the option that needs a value, or (the getopt_long of
// MinGW-w64, after BSD's, answers ':' for this too) a long option given a value it does not take.
std::string missingValue(char* const* argv) {
    if (optopt == 'j') return "option -j/--jobs needs a number";
    if (optopt == 'Y') return "option -Y/--where needs an expression";
    for (const option& o : kLongOptions) {
        if (o.name == nullptr || o.val != optopt) continue;
        if (o.has_arg == no_argument) return "option '--" + std::string(o.name) + "' takes no value";
        return "option '--" + std::string(o.name) + "' needs a value";
    }
    return "option '" + std::string(argv[optind - 1]) + "' needs a value";
}

}  // namespace

bool parseOptions(int argc, char** argv, CliOptions& options, std::string& error) {
    optind = 0;  // glibc: start afresh, so that a second call parses its own arguments
    opterr = 0;  // the messages are ours, with the program's name in front
    bool viewGiven = false;
    GivenFilters given;
    std::string localPointCodes;  // read once --pc-format is known, wherever it stands
    for (;;) {
        const int c = getopt_long(argc, argv, ":j:qhVY:fF", kLongOptions, nullptr);
        if (c == -1) break;
        switch (c) {
            case kCrlfOption: options.crlf = true; break;
            case 'q': options.quiet = true; break;
            case 'h': options.help = true; break;
            case 'V': options.version = true; break;
            case 'j':
                if (!parseJobs(optarg, options.jobs, error)) return false;
                break;
            case kSummaryOption:
                if (!setView(options, View::Summary, viewGiven, error)) return false;
                break;
            case kCallsOption:
                if (!setView(options, View::Calls, viewGiven, error)) return false;
                break;
            case kStatsOption:
                if (!setView(options, View::Statistics, viewGiven, error)) return false;
                break;
            case kFormatOption:
                if (!parseFormat(optarg, options.format, error)) return false;
                break;
            case kCicOption:
                if (!parseCodeList(optarg, given.shorthand.codes, error)) return false;
                break;
            case kTypeOption:
                if (!parseTypeList(optarg, given.shorthand.types, error)) return false;
                break;
            case kRecordsOption:
                if (!parseRecordList(optarg, given.shorthand.records, error)) return false;
                break;
            case kNotDecodedOption: given.shorthand.notDecoded = true; break;
            case kCallOption:
                if (!parseCall(optarg, options.selection.callRecords, error)) return false;
                break;
            case 'Y':
            case kWhereOption: given.where.emplace_back(optarg); break;
            case kPcapOption:
                options.pcapFile = optarg;
                if (options.pcapFile.empty()) {
                    error = "option --pcap needs a file name";
                    return false;
                }
                break;
            case kDateOption:
                if (!parseDate(optarg, options.date, error)) return false;
                break;
            case kListFieldsOption: options.listFields = ListFields::Text; break;
            case kListFieldsMarkdownOption: options.listFields = ListFields::Markdown; break;
            case kCicOctetsOption:
                if (!parseCicOctets(optarg, options.cicOctets, error)) return false;
                break;
            case kLocalPcOption:
                localPointCodes = optarg;
                break;
            case kPcFormatOption:
                if (!parsePcFormat(optarg, options.pointCodeFormat, error)) return false;
                break;
            case kKpiOption:
                if (!setView(options, View::Kpi, viewGiven, error)) return false;
                break;
            case kCircuitsOption:
                if (!setView(options, View::Circuits, viewGiven, error)) return false;
                break;
            case kChecksOption:
                if (!setView(options, View::Checks, viewGiven, error)) return false;
                break;
            case kByOption:
                if (!parseKpiGrouping(optarg, options.health.kpis, error)) return false;
                break;
            case kNerCausesOption:
                if (!parseCauseList(optarg, options.health.kpis.nerCauses, error)) return false;
                break;
            case kTimerOption:
                if (!parseTimerSetting(optarg, options.health.checks, error)) return false;
                break;
            case kHtmlOption:
                options.htmlFile = optarg;
                if (options.htmlFile.empty()) {
                    error = "option --html needs a file name";
                    return false;
                }
                break;
            case 'f': options.follow = Follow::Descriptor; break;
            case 'F': options.follow = Follow::Name; break;
            case kFollowOption: {
                const std::string_view how = optarg == nullptr ? "descriptor" : optarg;
                if (how != "descriptor" && how != "name") {
                    error = "invalid --follow '" + std::string(how) + "' (expected name or descriptor)";
                    return false;
                }
                options.follow = how == "name" ? Follow::Name : Follow::Descriptor;
                break;
            }
            case kSettleOption: {
                char* end = nullptr;
                errno = 0;
                const double seconds = std::strtod(optarg, &end);
                if (*optarg == '\0' || *end != '\0' || errno != 0 || !(seconds > 0.0) || seconds > 3600.0) {
                    error = "invalid --settle '" + std::string(optarg) + "' (expected seconds, more than 0, at most 3600)";
                    return false;
                }
                options.settleMs = static_cast<unsigned>(std::lround(seconds * 1000.0));
                break;
            }
            case kMergeOption: options.merge = true; break;
            case kIntervalOption: {
                char* end = nullptr;
                errno = 0;
                const long seconds = std::strtol(optarg, &end, 10);
                if (*optarg == '\0' || *end != '\0' || errno != 0 || seconds < 1 || seconds > 86400) {
                    error = "invalid --interval '" + std::string(optarg) + "' (expected seconds, 1 to 86400)";
                    return false;
                }
                options.intervalSeconds = static_cast<unsigned>(seconds);
                break;
            }
            case kSortFilesOption: options.sortFiles = true; break;
            case kMetricsOption:
                options.metricsFile = optarg;
                if (options.metricsFile.empty()) {
                    error = "option --metrics needs a file";
                    return false;
                }
                break;
            case kAlarmOption:
                if (!parseKpiAlarm(optarg, options.health.alarms.emplace_back(), error)) return false;
                break;
            case kFailOnOption:
                if (!parseFailOn(optarg, options.failOn, error)) return false;
                break;
            case kExportDirOption:
                options.exportDir = optarg;
                if (options.exportDir.empty()) {
                    error = "option --export-dir needs a folder";
                    return false;
                }
                break;
            case kSwitchOption:
                options.switchName = optarg;
                if (options.switchName.empty() ||
                    options.switchName.find_first_of("/\\=") != std::string::npos) {
                    error = "invalid --switch '" + options.switchName + "' (a name without / \\ or =)";
                    return false;
                }
                break;
            case kHtmlLaddersOption: {
                unsigned ladders = 0;
                if (!parseJobs(optarg, ladders, error)) {
                    error = "invalid --html-ladders '" + std::string(optarg) + "' (expected 1 to 256)";
                    return false;
                }
                options.health.ladders = ladders;
                break;
            }
            case ':': error = missingValue(argv); return false;
            default: error = misusedOption(argv); return false;
        }
    }
    for (int i = optind; i < argc; ++i) options.files.emplace_back(argv[i]);
    if (options.follow != Follow::No && (options.files.size() != 1 || options.files.front() == "-")) {
        error = "-f/-F/--follow follows one file, named on the command line";
        return false;
    }
    if (!options.exportDir.empty()) {
        // The export's KPI rows are intervals of time: 15 minutes unless --by gives another.
        if (options.health.kpis.by == KpiGrouping::None) {
            options.health.kpis.by = KpiGrouping::Interval;
            options.health.kpis.interval = std::int64_t{15} * 60 * 1000;
        } else if (options.health.kpis.by != KpiGrouping::Interval) {
            error = "--export-dir writes KPIs per interval of time: --by takes an interval with it (15m, 1h)";
            return false;
        }
    }
    options.localPointCodes.clear();
    for (std::size_t from = 0; !localPointCodes.empty() && from <= localPointCodes.size();) {
        const std::size_t end = std::min(localPointCodes.find(',', from), localPointCodes.size());
        const std::string one = localPointCodes.substr(from, end - from);
        const std::optional<std::uint32_t> code = pointCodeOf(one, options.pointCodeFormat);
        if (!code) {
            error = "invalid point code '" + one + "' in --local-pc (expected a number or " +
                    (options.pointCodeFormat == PointCodeFormat::Ansi ? "8-8-8" : "3-8-3") + " parts)";
            return false;
        }
        options.localPointCodes.push_back(*code);
        from = end + 1;
    }
    if (!options.metricsFile.empty() && options.files.size() > 1 && !options.merge) {
        error = "--metrics writes the figures of one run: give one file, or --merge to read the files as one";
        return false;
    }
    if (!options.htmlFile.empty() && options.files.size() > 1 && !options.merge) {
        error = "--html writes the report of one log: give one file, or --merge to read the files as one";
        return false;
    }
    return compileFilters(given, options, error);
}

std::string helpText() {
    return "Usage: truno-decode [OPTION]... [FILE]...\n"
           "Decode the BICC/ISUP messages of trace logs into a text report on standard output.\n"
           "With no FILE, or when FILE is -, read standard input. Gzip-compressed input is\n"
           "decompressed on the fly (told by its first bytes, not by the file name). A pcap or\n"
           "pcapng capture of SIGTRAN or MTP links is read too: each ISUP or BICC message is\n"
           "one record, decoded in its own mode, TIME its packet's time of day (UTC).\n"
           "\n"
           "      --crlf      end report lines with CR LF (the report's own bytes) instead of LF\n"
           "      --cic-octets=N  octets before the message type code: 4 (default), BICC's\n"
           "                  call instance code; 2, ISUP's circuit identification code (12\n"
           "                  bits); the summary says when the other mode would decode the log\n"
           "      --local-pc=PC[,PC...]  of a capture: this side's point codes (a number, or\n"
           "                  3-8-3 parts); DIR is S for messages from them, R for the others\n"
           "                  (default: the OPC of the capture's first ISUP or BICC message)\n"
           "      --pc-format=F  of a capture: itu (14-bit point codes, the default) or ansi\n"
           "                  (24-bit)\n"
           "  -j, --jobs=N    decode with N threads (same output as one thread); by default\n"
           "                  a file is decoded with every core (at most 8), standard input\n"
           "                  and a followed file with one thread; -j 1: one thread\n"
           "  -q, --quiet     print the summary on standard error only when something is wrong\n"
           "                  beyond the records the report shows (no message found, a warning)\n"
           "  -f, --follow    after the end of the file, keep reading as it grows (Ctrl+C ends\n"
           "                  the run with its summary); -F, --follow=name: follow the name as\n"
           "                  tail -F does (a rotated log is read on in its new file, a\n"
           "                  truncated one from its start)\n"
           "      --settle=S  a followed log's last message goes out after S seconds without a\n"
           "                  new line (default 1); one whose octets end before its pointers\n"
           "                  and lengths say waits up to 30 s for the rest\n"
           "      --interval=S  --stats, --kpi and --metrics also every S seconds while the log\n"
           "                  is read (of what came so far), and at the end\n"
           "  -h, --help      show this help and exit\n"
           "  -V, --version   show the version and exit\n"
           "\n"
           "Views (instead of the report; one at a time):\n"
           "      --summary   one line per message: record, time, direction, call instance code,\n"
           "                  type, and the numbers, cause, event or why it was not decoded\n"
           "      --calls     one line per call (the messages grouped by call instance code from\n"
           "                  IAM to RLC): times, numbers, outcome, cause, who released\n"
           "      --stats     messages per type and direction, not decoded per kind of reason,\n"
           "                  calls per outcome, release causes\n"
           "      --kpi       traffic KPIs: seizures, ASR, NER, setup and answer delays, ACD,\n"
           "                  holding time, release causes by class and value, who released,\n"
           "                  carried erlangs, most circuits busy at once, busiest hour\n"
           "      --circuits  per circuit code: seizures, answers, holding time, resets,\n"
           "                  blockings and its state at the end of the log (those that need\n"
           "                  attention first: blocked, reset pending, RLC past T1, stuck)\n"
           "      --checks    protocol checks, a finding per line as found: REL without RLC\n"
           "                  in T1, RLC without REL, dual seizure, no backward message in T7,\n"
           "                  no answer in T9, unacknowledged BLO/UBL/RSC/CGB/CGU/GRS, IAM on\n"
           "                  a blocked circuit, messages on an idle circuit, stuck circuits\n"
           "                  (busy with no message for longer than held), not decoded\n"
           "                  messages and input warnings\n"
           "      --format=F  text (default), json (JSON Lines: one object per message, call,\n"
           "                  circuit or finding; one document for --stats and --kpi) or csv\n"
           "                  (with a header row)\n"
           "\n"
           "Health options:\n"
           "      --by=G          --kpi also per group: an interval of the log's time (15m,\n"
           "                      1h, 30s), cic:N (N circuit codes), called:N (called-number\n"
           "                      prefixes of N digits), direction or switch\n"
           "      --ner-causes=L  the causes NER counts as reaching the called user\n"
           "                      (default 17,18,19,21)\n"
           "      --alarm='K OP N'  a kpi-threshold finding (--checks, the HTML report) for the\n"
           "                      whole log, or each --by group, whose KPI K crosses N, such\n"
           "                      as 'ner < 95' or 'asr < 40' (OP < <= > >=; K asr, ner, acd or\n"
           "                      a column of --kpi --format csv); repeatable\n"
           "      --fail-on=KINDS exit with status 3 when a finding of these kinds (such as\n"
           "                      stuck-circuit,kpi-threshold; any: every kind) was made\n"
           "      --timer=T=S     a timer of the checks in seconds, such as T7=30 (defaults:\n"
           "                      T1 T12 T14 T16 T18 T20 T22 15, T7 20, T9 90; held 7200,\n"
           "                      a busy circuit with no message for longer is stuck)\n"
           "      --export-dir=DIR  also write the messages, calls and 15-minute KPIs as\n"
           "                      zstd-compressed JSON Lines under DIR/{messages,calls,kpi}/\n"
           "                      date=YYYY-MM-DD/switch=NAME/ for DuckDB, ClickHouse, Spark\n"
           "                      (docs/export.md); a later run adds parts\n"
           "      --switch=NAME   the switch the files belong to (default: each file's name\n"
           "                      without folder, rotation number and .log; standard input:\n"
           "                      \"(standard input)\"): calls and circuits are kept by switch\n"
           "                      and code, JSON and CSV of calls, circuits, findings and KPIs\n"
           "                      name it, the filter key switch selects it\n"
           "      --html=FILE     also write the health report (KPIs, causes, findings,\n"
           "                      circuits, ladders of failed calls) as one HTML file\n"
           "      --html-ladders=N  ladders of the first N failed calls in it (default 10)\n"
           "      --metrics=FILE  also write the live figures (messages, seizures, releases,\n"
           "                      findings, circuits, ASR and NER of the last interval) in\n"
           "                      Prometheus' text format for node_exporter's textfile\n"
           "                      collector, replaced at every --interval and at the end\n"
           "                      (docs/metrics.md)\n"
           "\n"
           "Filters (the report, the summary, the calls and the exports show what passes all):\n"
           "  -Y, --where=EXPR    a filter expression over the message's keys and fields, such as "
           "                      'type == REL and cause in {17 34} and cic in {10..30}' or, with\n"
           "                      --calls, 'call.outcome == unanswered and call.setup > 5'\n"
           "                      (docs/filters.md: the grammar, the keys and examples)\n"
           "      --cic=LIST      call instance codes (circuit codes with --cic-octets 2) and\n"
           "                      ranges, such as 1,5,10-20\n"
           "      --type=LIST     message types, such as IAM,REL\n"
           "      --records=LIST  record numbers and ranges, such as 9,11,20-30 (N-: from N on)\n"
           "      --not-decoded   messages that were not decoded\n"
           "      --call=N        the messages of the call that record N belongs to\n"
           "A repeated --cic, --type, --records or --call adds to the ones before; different\n"
           "filters must all hold. A filtered report holds the records of the full report, byte\n"
           "for byte, with their numbers; a call is listed when one of its messages passes (and,\n"
           "with call keys, the call passes them). A filter that selects nothing says so on\n"
           "standard error.\n"
           "\n"
           "Capture file:\n"
           "      --pcap=FILE     also write the messages to FILE (pcapng) as packets that\n"
           "                      Wireshark decodes as BICC: packet N is record N (named in its\n"
           "                      comment), S and R as two ends (192.0.2.1 this side, .2 far);\n"
           "                      with --cic-octets 2 as ISUP\n"
           "      --date=DATE     the log's first day, YYYY-MM-DD, for the packets' time stamps\n"
           "                      when no page header gives it (default: the log file's\n"
           "                      modification date; times are UTC)\n"
           "\n"
           "Fields:\n"
           "      --list-fields   list every key of a message and its fields (key, type,\n"
           "                      parameter code and name, label in the report) and exit;\n"
           "                      --list-fields-markdown writes the same as docs/fields.md\n"
           "\n"
                      "With several files, each is decoded on its own (record numbers restart) unless\n"
           "--merge is given; a text\n"
           "output is preceded by a line \"==> FILE <==\", JSON objects and CSV rows carry a\n"
           "\"file\" member or column instead (one CSV header row; --stats: a JSON array).\n"
           "\n"
           "      --merge         read the files as one run: record numbers go on, calls,\n"
           "                      statistics, KPIs and checks span the files, JSON and CSV\n"
           "                      name each message's file, none for the KPIs, statistics\n"
           "                      and circuits, which span the files (rotated parts: trace.log.2\n"
           "                      trace.log.1 trace.log); files of different switches are\n"
           "                      kept apart (calls, circuits, times) and the text of\n"
           "                      --calls, --checks and --circuits gets a SWITCH column\n"
           "      --sort-files    take the files in the order of their first messages' times\n"
           "\n"
           "A summary per file goes to standard error: messages found, decoded, not decoded,\n"
           "then a line per warning (lines that look like message data but were ignored, DATA\n"
           "beyond the characters that are read, a column header inside a message, tabs,\n"
           "octets after a message's end, a MSG column naming another type). Messages that\n"
           "cannot be decoded are shown in the report with the reason. The summary counts the\n"
           "whole log, whatever the filters.\n"
           "\n"
           "Exit status: 0 every message decoded and no warning; 1 not everything became a\n"
           "decoded record (a message not decoded, no message found, a warning); 2 usage error,\n"
           "or a file that cannot be read (compressed other than with gzip, damaged gzip data);\n"
           "3 (unless 2) a finding of a kind --fail-on names was made.\n";
}

std::string versionText() { return std::string("truno-decode ") + TRUNO_VERSION + "\n"; }

}  // namespace truno
