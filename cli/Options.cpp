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
    kJourneysOption,
    kCdrOption,
    kEndsOption,
    kNetworkOption,
    kTransitWindowOption,
    kClockOffsetOption,
    kCicOffsetOption,
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
    {.name = "journeys", .has_arg = no_argument, .flag = nullptr, .val = kJourneysOption},
    {.name = "cdr", .has_arg = no_argument, .flag = nullptr, .val = kCdrOption},
    {.name = "ends", .has_arg = required_argument, .flag = nullptr, .val = kEndsOption},
    {.name = "network", .has_arg = required_argument, .flag = nullptr, .val = kNetworkOption},
    {.name = "transit-window", .has_arg = required_argument, .flag = nullptr, .val = kTransitWindowOption},
    {.name = "clock-offset", .has_arg = required_argument, .flag = nullptr, .val = kClockOffsetOption},
    {.name = "cic-offset", .has_arg = required_argument, .flag = nullptr, .val = kCicOffsetOption},
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
        error = "--summary, --calls, --stats, --kpi, --circuits, --checks, --journeys and --cdr exclude each other";
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
    if (options.wantsJourneys() && options.selection.active()) {
        error = "--journeys and --cdr take --where on journey keys only";
        return false;
    }
    for (const std::string& text : given.where) {
        FilterExpression expression;
        FilterError problem;
        if (!expression.compile(text, problem)) {
            error = "--where: " + describeFilterError(text, problem);
            return false;
        }
        if (options.wantsJourneys() != expression.onlyJourneyKeys()) {
            error = options.wantsJourneys() ? "--where: --journeys and --cdr take journey keys only (journey.outcome, ...)"
                                            : "--where: the journey keys (journey.outcome, ...) need --journeys or --cdr";
            return false;
        }
        (options.wantsJourneys() ? options.journeyWhere : options.selection.where).push_back(std::move(expression));
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
            case kJourneysOption:
                if (!setView(options, View::Journeys, viewGiven, error)) return false;
                break;
            case kCdrOption:
                if (!setView(options, View::Cdr, viewGiven, error)) return false;
                break;
            case kEndsOption: {
                const std::string_view value(optarg);
                const std::size_t eq = value.rfind('=');
                const std::size_t colon = eq == std::string_view::npos ? eq : value.find(':', eq);
                if (eq == std::string_view::npos || eq == 0 || colon == std::string_view::npos || colon == eq + 1 ||
                    colon + 1 == value.size()) {
                    error = "invalid --ends '" + std::string(value) + "' (expected FILE=THIS:FAR)";
                    return false;
                }
                options.ends.emplace_back(value);
                break;
            }
            case kNetworkOption: options.networkFile = optarg; break;
            case kTransitWindowOption: {
                char* end = nullptr;
                errno = 0;
                const double seconds = std::strtod(optarg, &end);
                if (*optarg == '\0' || *end != '\0' || errno != 0 || !(seconds > 0) || seconds > 3600) {
                    error = "invalid --transit-window '" + std::string(optarg) + "' (expected seconds, above 0 up to 3600)";
                    return false;
                }
                options.journeys.transitWindow = static_cast<std::int64_t>(std::llround(seconds * 1000));
                break;
            }
            case kClockOffsetOption:
                if (std::string_view(optarg) != "auto" && std::string_view(optarg) != "none") {
                    error = "invalid --clock-offset '" + std::string(optarg) + "' (expected auto or none)";
                    return false;
                }
                options.journeys.applyClockOffsets = std::string_view(optarg) == "auto";
                break;
            case kCicOffsetOption: {
                // A:B=N
                const std::string value(optarg);
                const std::size_t colon = value.find(':');
                const std::size_t eq = value.find('=', colon == std::string::npos ? 0 : colon);
                char* end = nullptr;
                errno = 0;
                const long long n = eq == std::string::npos ? 0 : std::strtoll(value.c_str() + eq + 1, &end, 10);
                if (colon == std::string::npos || colon == 0 || eq == std::string::npos || eq == colon + 1 ||
                    eq + 1 == value.size() || *end != '\0' || errno != 0) {
                    error = "invalid --cic-offset '" + value + "' (expected A:B=N)";
                    return false;
                }
                options.journeys.cicOffsets[{value.substr(0, colon), value.substr(colon + 1, eq - colon - 1)}] = n;
                break;
            }
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

}  // namespace truno
