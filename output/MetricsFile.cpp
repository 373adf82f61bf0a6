#include "output/MetricsFile.h"

#include "parameters/callcontrol/CauseValues.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

namespace truno {
namespace {

// The prefix of every metric's name.
constexpr std::string_view kPrefix = "truno_";

// A label's value with backslash, double quote and line feed escaped.
void appendLabelValue(std::string& out, std::string_view value) {
    for (const char c : value) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
}

void appendNumber(std::string& out, std::uint64_t value) { out += std::to_string(value); }

void appendNumber(std::string& out, double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.10g", value);
    out += text.data();
}

// One metric family: its # HELP and # TYPE lines, then its samples.
class Family {
public:
    Family(std::string& out, std::string_view name, std::string_view type, std::string_view help)
        : out_(out), name_(name) {
        out_ += "# HELP ";
        out_ += kPrefix;
        out_ += name;
        out_ += ' ';
        out_ += help;
        out_ += "\n# TYPE ";
        out_ += kPrefix;
        out_ += name;
        out_ += ' ';
        out_ += type;
        out_ += '\n';
    }

    // A sample with labels given as name, value, name, value, ...
    template <typename Number, typename... Labels>
    void sample(Number value, std::string_view switchName, Labels... labels) {
        out_ += kPrefix;
        out_ += name_;
        out_ += "{switch=\"";
        appendLabelValue(out_, switchName);
        out_ += '"';
        appendLabels(labels...);
        out_ += "} ";
        appendNumber(out_, value);
        out_ += '\n';
    }

private:
    void appendLabels() {}
    template <typename... Rest>
    void appendLabels(std::string_view label, std::string_view value, Rest... rest) {
        out_ += ',';
        out_ += label;
        out_ += "=\"";
        appendLabelValue(out_, value);
        out_ += '"';
        appendLabels(rest...);
    }

    std::string& out_;
    std::string_view name_;
};

// A type's label: its acronym, else its code in hex, else "none" (a message with no type code).
std::string typeLabel(int code, std::string_view acronym) {
    if (!acronym.empty()) return std::string(acronym);
    if (code < 0) return "none";
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "0x%02X", static_cast<unsigned>(code) & 0xFFu);
    return text.data();
}

// A name as a label value: lower case, words joined by "_" ("normal event" -> "normal_event").
std::string labelName(std::string_view name) {
    std::string label;
    for (const char c : name) label += c == ' ' || c == '-' ? '_' : static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return label;
}

// The KPIs of one switch: the sum of its intervals, and its last interval.
struct SwitchKpis {
    KpiSet total;
    const KpiSet* last = nullptr;  // the last interval that ended, else the one going on
    bool lastEnded = false;
};

// The call states of a circuit as the circuits' view shows them (one whose state the log has not
// told yet is idle there too).
enum class StateLabel : std::uint8_t { Idle, Busy, AwaitingReleaseComplete };
constexpr std::array<std::string_view, 3> kStateLabels = {"idle", "busy", "awaiting_release_complete"};

StateLabel stateLabel(CallState state) {
    switch (state) {
        case CallState::Busy: return StateLabel::Busy;
        case CallState::AwaitingReleaseComplete: return StateLabel::AwaitingReleaseComplete;
        case CallState::Unknown:
        case CallState::Idle: break;
    }
    return StateLabel::Idle;
}

struct CircuitCounts {
    std::array<std::uint64_t, kStateLabels.size()> byState{};
    std::uint64_t blockedLocally = 0, blockedRemotely = 0, resetPending = 0;
};

}  // namespace

MetricsFile::Counts MetricsFile::countsOf(const Statistics& statistics) {
    Counts counts;
    statistics.forEachType([&](const Statistics::TypeCount& type) {
        counts.types[TypeKey{.code = type.typeCode, .acronym = std::string(type.acronym),
                             .direction = std::string(type.direction)}] = type.count;
    });
    for (const Statistics::ReasonCount& reason : statistics.reasons())
        counts.notDecoded[static_cast<std::size_t>(reason.failure)] = reason.count;
    return counts;
}

void MetricsFile::addDifference(Counts& into, const Counts& now, const Counts& before) {
    for (const auto& [key, count] : now.types) {
        const auto found = before.types.find(key);
        const std::uint64_t added = count - (found == before.types.end() ? 0 : found->second);
        if (added != 0) into.types[key] += added;
    }
    for (std::size_t k = 0; k < kDecodeFailureCount; ++k) into.notDecoded[k] += now.notDecoded[k] - before.notDecoded[k];
}

void MetricsFile::beginSwitch(std::string_view name, const Statistics& statistics) {
    if (name == current_ && !earlier_.empty()) return;
    const Counts now = countsOf(statistics);
    addDifference(earlier_[current_], now, atSwitchStart_);
    atSwitchStart_ = now;
    current_ = name;
    route_.clear();  // the next message names the new log's route
    earlier_.try_emplace(current_);
    findings_.try_emplace(current_);
}

void MetricsFile::setRoute(std::string_view route) {
    route_ = route;
    routes_[current_] = route_;
}

void MetricsFile::finding(const Finding& finding) {
    const std::string& name = finding.switchName.empty() ? current_ : finding.switchName;
    ++findings_[name][static_cast<std::size_t>(finding.kind)];
}

std::string MetricsFile::text(const LogAnalysis& analysis, const TrafficKpis& byInterval, std::int64_t interval,
                              const CircuitHealth* circuits) const {
    // The message counts per switch: the earlier stretches, and the current one so far.
    std::map<std::string, Counts, std::less<>> messages = earlier_;
    addDifference(messages[current_], countsOf(analysis.statistics()), atSwitchStart_);

    std::map<std::string, SwitchKpis, std::less<>> kpis;
    for (const KpiSet* set : byInterval.groups()) {
        const std::string name(set->start ? analysis.switchName(set->switchIndex) : std::string_view(set->switchName));
        SwitchKpis& of = kpis[name];
        of.total.add(*set);
        if (!set->start) continue;
        const std::optional<std::int64_t> end = byInterval.span(set->switchIndex).last;
        const bool ended = end && *set->start + interval <= *end;
        if (of.last == nullptr || std::pair(ended, *set->start) > std::pair(of.lastEnded, *of.last->start)) {
            of.last = set;
            of.lastEnded = ended;
        }
    }
    std::map<std::string, CircuitCounts, std::less<>> circuitCounts;
    if (circuits != nullptr) {
        for (const CircuitState* circuit : circuits->circuits()) {
            CircuitCounts& counts = circuitCounts[std::string(circuits->switchName(*circuit))];
            ++counts.byState[static_cast<std::size_t>(stateLabel(circuit->call))];
            if ((circuit->blocked & (kLocalMaintenance | kLocalHardware)) != 0) ++counts.blockedLocally;
            if ((circuit->blocked & (kRemoteMaintenance | kRemoteHardware)) != 0) ++counts.blockedRemotely;
            if (circuit->resetPending) ++counts.resetPending;
        }
    }
    // Every switch the run has met, so that each has every counter (at 0 before its first).
    std::set<std::string, std::less<>> switches;
    for (const auto& [name, counts] : messages) switches.insert(name);
    for (const auto& [name, counts] : kpis) switches.insert(name);
    for (const auto& [name, counts] : circuitCounts) switches.insert(name);
    for (const auto& [name, counts] : findings_) switches.insert(name);
    // The unnamed switch of messages before the first file's is left out when it has nothing.
    if (switches.size() > 1 && switches.contains("")) {
        const Counts& none = messages[""];
        bool empty = none.types.empty() && !kpis.contains("") && !circuitCounts.contains("");
        if (const auto found = findings_.find(""); found != findings_.end())
            for (const std::uint64_t n : found->second) empty = empty && n == 0;
        if (empty) switches.erase("");
    }
    static const SwitchKpis kNoKpis;
    const auto kpisOf = [&](const std::string& name) -> const SwitchKpis& {
        const auto found = kpis.find(name);
        return found == kpis.end() ? kNoKpis : found->second;
    };

    std::string out;
    {
        Family family(out, "switch_info", "gauge",
                      "1 per switch, with the route its log names (the ROUTE column of its trace values line).");
        for (const std::string& name : switches) {
            const auto found = routes_.find(name);
            family.sample(std::uint64_t{1}, name, "route", found == routes_.end() ? std::string_view() : found->second);
        }
    }
    {
        Family family(out, "messages_total", "counter", "Messages read, by type and direction.");
        for (const std::string& name : switches)
            for (const auto& [key, count] : messages[name].types)
                family.sample(count, name, "type", typeLabel(key.code, key.acronym), "direction", key.direction);
    }
    {
        Family family(out, "messages_not_decoded_total", "counter", "Messages not decoded, by kind of failure.");
        for (const std::string& name : switches)
            for (std::size_t k = 0; k < kDecodeFailureCount; ++k)
                family.sample(messages[name].notDecoded[k], name, "reason",
                              labelName(failureName(static_cast<DecodeFailure>(k))));
    }
    const auto counter = [&](std::string_view metric, std::string_view help, std::uint64_t KpiSet::*member) {
        Family family(out, metric, "counter", help);
        for (const std::string& name : switches) family.sample(kpisOf(name).total.*member, name);
    };
    counter("seizures_total", "Seizures: calls opened by an initial address message, counted when they end.",
            &KpiSet::seizures);
    counter("answered_total", "Seizures answered (ANM or CON).", &KpiSet::answered);
    counter("reached_user_total", "Seizures that reached the called user (the numerator of NER).", &KpiSet::reachedUser);
    {
        Family family(out, "releases_total", "counter", "Releases of seizures, by Q.850 cause value and class.");
        for (const std::string& name : switches) {
            const KpiSet& total = kpisOf(name).total;
            for (const auto& [value, count] : total.causes)
                family.sample(count, name, "cause", std::to_string(value), "class",
                              labelName(causeClassName(causeClassOf(value))));
            if (total.releasesWithoutCause != 0)
                family.sample(total.releasesWithoutCause, name, "cause", "none", "class", "none");
        }
    }
    {
        Family family(out, "findings_total", "counter", "Findings of the protocol checks, by kind.");
        for (const std::string& name : switches) {
            const auto found = findings_.find(name);
            for (std::size_t k = 0; k < kFindingKindCount; ++k)
                family.sample(found == findings_.end() ? std::uint64_t{0} : found->second[k], name, "kind",
                              findingKindName(static_cast<FindingKind>(k)));
        }
    }
    if (circuits != nullptr) {
        {
            Family family(out, "circuits", "gauge", "Circuits seen, by call state.");
            for (const std::string& name : switches)
                for (std::size_t s = 0; s < kStateLabels.size(); ++s)
                    family.sample(circuitCounts[name].byState[s], name, "state", kStateLabels[s]);
        }
        {
            Family family(out, "circuits_blocked", "gauge", "Circuits blocked, by the side that blocked them.");
            for (const std::string& name : switches) {
                family.sample(circuitCounts[name].blockedLocally, name, "side", "local");
                family.sample(circuitCounts[name].blockedRemotely, name, "side", "remote");
            }
        }
        {
            Family family(out, "circuits_reset_pending", "gauge", "Circuits whose reset is not acknowledged yet.");
            for (const std::string& name : switches) family.sample(circuitCounts[name].resetPending, name);
        }
        {
            Family family(out, "calls_in_progress", "gauge", "Calls in progress: circuits seized and not released.");
            for (const std::string& name : switches) family.sample(circuitCounts[name].byState[static_cast<std::size_t>(StateLabel::Busy)], name);
        }
    }
    const auto lastInterval = [&](std::string_view metric, std::string_view help, auto value) {
        Family family(out, metric, "gauge", help);
        for (const std::string& name : switches)
            if (const KpiSet* set = kpisOf(name).last; set != nullptr)
                if (const std::optional<double> v = value(*set)) family.sample(*v, name);
    };
    lastInterval("interval_start_seconds",
                 "Start of the last interval: seconds from midnight before the log's first message.",
                 [](const KpiSet& set) { return std::optional<double>(static_cast<double>(*set.start) / 1000.0); });
    lastInterval("interval_seconds", "Length of the intervals of the log's time.", [interval](const KpiSet&) {
        return std::optional<double>(static_cast<double>(interval) / 1000.0);
    });
    lastInterval("carried_erlangs", "Carried traffic of the last interval.",
                 [](const KpiSet& set) { return std::optional<double>(set.erlangs()); });
    const auto ratio = [](std::uint64_t numerator, std::uint64_t denominator) {
        return denominator == 0 ? std::nullopt
                                : std::optional<double>(static_cast<double>(numerator) / static_cast<double>(denominator));
    };
    lastInterval("asr_ratio", "Answer seizure ratio (ITU-T E.411) of the last interval.",
                 [&](const KpiSet& set) { return ratio(set.answered, set.seizures); });
    lastInterval("ner_ratio", "Network effectiveness ratio (ITU-T E.425) of the last interval.",
                 [&](const KpiSet& set) { return ratio(set.reachedUser, set.seizures); });
    return out;
}

bool MetricsFile::write(const std::string& text, std::string& error) const {
    const std::string temporary = path_ + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write '" + temporary + "': " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write '" + temporary + "': " + std::strerror(written ? errno : savedErrno);
        std::remove(temporary.c_str());
        return false;
    }
    std::error_code failed;
    std::filesystem::rename(std::filesystem::path(temporary), std::filesystem::path(path_), failed);
    if (failed) {
        error = "cannot replace '" + path_ + "': " + failed.message();
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace truno
