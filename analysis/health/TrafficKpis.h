#pragma once
// Traffic KPIs of a trunk from its finished calls, for the whole log and per group (intervals of
// the log's time, groups of circuit codes, called-number prefixes, direction, switch):
// - seizures: the calls an initial address message opened (each IAM is one seizure, a
//   re-attempt on the same circuit included);
// - ASR (ITU-T E.411): seizures answered (ANM or CON) over seizures;
// - NER (ITU-T E.425): seizures that reached the called user over seizures: answered, released
//   with a cause of the NER table (user busy 17, no user responding 18, no answer 19, call
//   rejected 21; --ner-causes replaces it), or released by the calling side after an ACM or CPG
//   came;
// - delays: setup (the last address message, IAM or SAM, to the first ACM, CON, CPG or REL that
//   came back), answer (ACM to ANM), conversation (answer to REL; its mean is the ACD), seizure
//   holding (IAM to RLC);
// - the release causes by Q.850 class and by value, and who released (calling or called side);
// - traffic: carried erlangs (seizure holding time over the observed period), the most circuits
//   busy at once and when, the busiest clock hour (its traffic over the part of it the log covers:
//   among the hours it covers whole when there is one).
// Memory: the groups, the delay histograms (bounded, see Distribution) and the seizures busy at
// one time.
#include "analysis/calls/Calls.h"
#include "parameters/callcontrol/CauseValues.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace truno {

// The causes that NER counts as having reached the called user, by default.
inline constexpr std::array<std::uint32_t, 4> kDefaultNerCauses = {17, 18, 19, 21};

enum class KpiGrouping : std::uint8_t { None, Interval, CircuitGroup, CalledPrefix, Direction, Switch, Route };

struct KpiOptions {
    KpiGrouping by = KpiGrouping::None;
    std::int64_t interval = 0;  // milliseconds (Interval)
    std::uint32_t size = 0;     // codes per group (CircuitGroup), digits (CalledPrefix)
    std::vector<std::uint32_t> nerCauses{kDefaultNerCauses.begin(), kDefaultNerCauses.end()};
};

// Reads "15m", "1h", "90s", "cic:32", "called:4", "direction", "switch" or "route" (of captures:
// the pair of point codes) into `options`; false
// with `error` set otherwise.
bool parseKpiGrouping(std::string_view text, KpiOptions& options, std::string& error);
// Reads a list of cause values ("17,18,19,21", values 0 to 127); false with `error` set otherwise.
bool parseCauseList(std::string_view text, std::vector<std::uint32_t>& causes, std::string& error);

// Durations (milliseconds) counted exactly (count, sum, least, most), their quantiles from a
// histogram: exact below 16,384 ms, within 1/8,192 of the value above (a bucket per 1/8,192 of
// each power of two), and never outside the least and most values, so that memory does not grow
// with the number of calls.
class Distribution {
public:
    void add(std::int64_t milliseconds);
    std::uint64_t count() const { return count_; }
    // Nothing when empty.
    std::optional<double> mean() const;
    // The nearest-rank quantile q (0 < q <= 1): the least value with at least q of the values
    // at or below it, as its bucket's lower bound (within the least and most values).
    std::optional<std::int64_t> quantile(double q) const;
    // Adds the values of `other`, as if each had been added here.
    void add(const Distribution& other);
    // Sorts the values not sorted in yet into the buckets (quantile() sorts them in on a copy).
    void settle();

private:
    std::uint64_t count_ = 0;
    std::int64_t sum_ = 0;
    std::int64_t least_ = 0;
    std::int64_t most_ = 0;
    struct Bucket {
        std::uint32_t bucket = 0;
        std::uint64_t count = 0;
    };

    // The buckets that hold values, by number, rising: a value's bucket waits among the pending
    // ones, sorted in once four times as many wait as there are buckets. A few bytes a bucket, so
    // that the many sparse distributions of grouped KPIs stay small.
    std::vector<Bucket> buckets_;
    std::vector<std::uint32_t> pending_;
};

struct KpiSet {
    std::string group;                   // empty for the whole log
    std::optional<std::int64_t> start;   // Interval: where the interval starts
    std::uint64_t seizures = 0;
    std::uint64_t answered = 0;
    std::uint64_t reachedUser = 0;       // NER's numerator
    Distribution setup, answer, conversation, holding;
    std::array<std::uint64_t, kCauseClassCount> causeClasses{};
    std::map<std::uint32_t, std::uint64_t> causes;  // value -> releases
    std::uint64_t releasesWithoutCause = 0;         // a REL whose cause is not known
    std::uint64_t releasedByCalling = 0, releasedByCalled = 0;
    std::int64_t busy = 0;               // seizure holding time carried (milliseconds)
    std::int64_t observed = 0;           // the period it was carried in (milliseconds)
    // The switch of the seizures it counts (or whose holding time it carries) when they are all of
    // one (`switches` 1); empty when they are of several (`switches` 2) or there are none (0).
    std::string switchName;
    SwitchIndex switchIndex = 0;
    std::uint8_t switches = 0;

    std::uint64_t releases() const { return releasedByCalling + releasedByCalled; }
    // Adds the counts, delays, causes, busy time and switch of `other` (not its group, start or
    // period).
    void add(const KpiSet& other);
    // A seizure of this switch is counted in the set.
    void noteSwitch(SwitchIndex index, std::string_view name);
    // Carried erlangs: busy / observed (0 when nothing was observed).
    double erlangs() const { return observed > 0 ? static_cast<double>(busy) / static_cast<double>(observed) : 0.0; }
};

class TrafficKpis {
public:
    explicit TrafficKpis(KpiOptions options);

    // Every message's instant, in log order, whether it passed a filter or not, and its switch:
    // the observed period is the log's (each switch's own, for the intervals of its calls: the
    // switches of a run have time lines of their own).
    void noteInstant(std::optional<std::int64_t> at, SwitchIndex switchIndex = 0) {
        if (!at) return;
        // Mostly the log's time goes on: an instant at or after its switch's first is within the
        // whole log's span, or past its last.
        if (switchIndex < spans_.size() && spans_[switchIndex].first && *at >= *spans_[switchIndex].first) {
            Span& span = spans_[switchIndex];
            if (*at > *span.last) {
                span.last = at;
                if (*at > *last_) last_ = at;
            }
            return;
        }
        widenSpan(*at, switchIndex);
    }
    // A finished call; `logEnded`: it finished because the log ended (its circuit is busy to the
    // log's end).
    void addCall(const Call& call, bool logEnded);
    // After the last call.
    void finish();

    const KpiOptions& options() const { return options_; }
    // Whether a seizure reached the called user (NER's numerator).
    bool reachedUser(const Call& call) const;
    const KpiSet& total() const { return total_; }
    // The groups in their order (time, code, prefix, direction); empty without a grouping.
    std::vector<const KpiSet*> groups() const;

    std::optional<std::int64_t> first() const { return first_; }
    std::optional<std::int64_t> last() const { return last_; }
    // The first and last instants of one switch's messages.
    struct Span {
        std::optional<std::int64_t> first, last;
    };
    Span span(SwitchIndex switchIndex) const;
    // The most seizures busy at once, and when that was first reached.
    std::uint32_t peakBusy() const { return peakBusy_; }
    std::optional<std::int64_t> peakAt() const { return peakAt_; }
    // The clock hour whose traffic was the highest over the part of it the log covers, among the
    // hours it covers whole when there is one; its seizure holding time and that part.
    std::optional<std::int64_t> busiestHour() const { return busiestHour_; }
    std::int64_t busiestHourBusy() const { return busiestHourBusy_; }
    std::int64_t busiestHourCovered() const { return busiestHourCovered_; }
    // Its carried erlangs: its holding time over the part covered.
    double busiestHourErlangs() const {
        return busiestHourCovered_ > 0 ? static_cast<double>(busiestHourBusy_) / static_cast<double>(busiestHourCovered_)
                                       : 0.0;
    }

private:
    void widenSpan(std::int64_t at, SwitchIndex switchIndex);
    KpiSet& groupOf(const Call& call);
    KpiSet& intervalGroup(SwitchIndex switchIndex, std::int64_t start);
    void count(KpiSet& set, const Call& call, std::optional<std::int64_t> holdingEnd) const;
    bool nerCause(std::uint32_t cause) const;
    // reachedUser, knowing whether the calling side released the call.
    bool reachedUser(const Call& call, bool byCalling) const;

    KpiOptions options_;
    KpiSet total_;
    std::map<std::string, KpiSet, std::less<>> keyed_;           // CalledPrefix, Direction
    // Interval (start), CircuitGroup (first code), each by switch: two switches' intervals and
    // circuits are never one group.
    std::map<std::pair<SwitchIndex, std::int64_t>, KpiSet> numbered_;
    std::optional<std::int64_t> first_, last_;
    std::vector<Span> spans_;  // by SwitchIndex
    std::map<std::int64_t, std::int64_t> hourBusy_;  // clock hour start -> busy milliseconds
    std::vector<std::int64_t> busyUntil_;  // the busy seizures' ends: a heap, the least first
    std::uint32_t peakBusy_ = 0;
    std::optional<std::int64_t> peakAt_;
    std::optional<std::int64_t> busiestHour_;
    std::int64_t busiestHourBusy_ = 0;
    std::int64_t busiestHourCovered_ = 0;
};

// The groups of `kpis`, grouped by an interval, gathered into the groups of `interval`, a multiple
// of it: the same groups, with the same numbers, as a TrafficKpis grouped by `interval` counts from
// the same calls (the calls whose time is not known stay one group, last). Empty when `kpis` is not
// grouped by an interval that divides `interval`.
std::vector<KpiSet> regroupKpis(const TrafficKpis& kpis, std::int64_t interval);

}  // namespace truno
