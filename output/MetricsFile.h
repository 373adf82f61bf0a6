#pragma once
// The figures of a run in the Prometheus text exposition format, for node_exporter's textfile
// collector (docs/metrics.md): per switch, counters of messages by type and direction, messages
// not decoded by kind of failure, seizures, answered, reached the called user, releases by cause
// value and class, findings by kind; gauges of circuits by state, calls in progress, and the
// carried erlangs, ASR and NER of the last interval of the log's time. Every figure is the
// analysis' own (Statistics, TrafficKpis, CircuitHealth): nothing is counted here but the split
// of the message counts and findings by switch. The file is written anew each time, to a
// temporary file in its folder that then replaces it, so that a scrape never reads half a file.
#include "analysis/health/TrunkHealth.h"
#include "analysis/pipeline/LogAnalysis.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace truno {

class MetricsFile {
public:
    // `path`: the file to write (its folder must exist).
    explicit MetricsFile(std::string path) : path_(std::move(path)) {}

    // The messages from now on are of the switch `name`; `statistics` holds those of the switches
    // before (a run over several files of several switches, --merge).
    void beginSwitch(std::string_view name, const Statistics& statistics);
    // A finding of the checks; one without a switch of its own (an input warning) is the current
    // switch's.
    void finding(const Finding& finding);
    // The route of the current switch's log (the trace values line's ROUTE), as each message gives it.
    void noteRoute(std::string_view route) {
        if (route != route_) setRoute(route);
    }

    // The figures so far, as the file's text. `byInterval`: the KPIs grouped by intervals of
    // `interval` milliseconds; `circuits` may be null (circuits not followed).
    std::string text(const LogAnalysis& analysis, const TrafficKpis& byInterval, std::int64_t interval,
                     const CircuitHealth* circuits) const;
    // Writes `text` as the file: false, with `error` set, when it cannot be written.
    bool write(const std::string& text, std::string& error) const;

private:
    // Messages of a type (its code; -1: none; the acronym when known) in a direction.
    struct TypeKey {
        int code;
        std::string acronym;
        std::string direction;
        auto operator<=>(const TypeKey&) const = default;
    };
    struct Counts {
        std::map<TypeKey, std::uint64_t> types;
        std::array<std::uint64_t, kDecodeFailureCount> notDecoded{};
    };
    // The message counts of `statistics`.
    static Counts countsOf(const Statistics& statistics);
    // Adds `now` less `before` to `into`.
    static void addDifference(Counts& into, const Counts& now, const Counts& before);
    void setRoute(std::string_view route);

    std::string path_;
    std::string current_;                          // the switch whose messages come now
    Counts atSwitchStart_;                         // the statistics when the current switch began
    std::map<std::string, Counts, std::less<>> earlier_;  // per switch, of its earlier stretches
    std::map<std::string, std::array<std::uint64_t, kFindingKindCount>, std::less<>> findings_;
    std::string route_;                                    // of the message before
    std::map<std::string, std::string, std::less<>> routes_;  // per switch, its log's latest
};

}  // namespace truno
