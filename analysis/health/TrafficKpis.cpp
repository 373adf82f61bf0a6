#include "analysis/health/TrafficKpis.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <functional>
#include <cmath>
#include <iterator>
#include <utility>

namespace truno {
namespace {

constexpr std::int64_t kMillisecondsPerHour = std::int64_t{60} * 60 * 1000;

// Exact below 2^14 milliseconds (16.384 s); above, 2^13 buckets per power of two.
constexpr int kExactBits = 14;
constexpr int kSubBits = 13;
constexpr std::int64_t kExactBelow = std::int64_t{1} << kExactBits;
constexpr std::uint32_t kSubBuckets = 1u << kSubBits;
// A distribution sorts its values into its buckets once at least this many wait, and four times
// as many as there are buckets.
constexpr std::size_t kLeastPending = 32;
constexpr std::size_t kPendingPerBucket = 4;

std::uint32_t bucketOf(std::int64_t value) {
    if (value < kExactBelow) return static_cast<std::uint32_t>(value);
    const auto v = static_cast<std::uint64_t>(value);
    const auto power = static_cast<int>(std::bit_width(v)) - 1;  // kExactBits or more
    const auto sub = static_cast<std::uint32_t>(v >> (power - kSubBits));  // kSubBuckets to 2 kSubBuckets - 1
    return static_cast<std::uint32_t>(kExactBelow) + static_cast<std::uint32_t>(power - kExactBits) * kSubBuckets +
           (sub - kSubBuckets);
}

std::int64_t lowerBoundOf(std::uint32_t bucket) {
    if (bucket < kExactBelow) return bucket;
    const std::uint32_t above = bucket - static_cast<std::uint32_t>(kExactBelow);
    const std::uint32_t power = kExactBits + above / kSubBuckets;
    const std::uint64_t sub = kSubBuckets + above % kSubBuckets;
    return static_cast<std::int64_t>(sub << (power - kSubBits));
}

std::int64_t floorTo(std::int64_t value, std::int64_t step) {
    const std::int64_t q = value / step;
    return (value % step != 0 && value < 0 ? q - 1 : q) * step;
}

std::optional<std::int64_t> between(const CallMoment& from, const CallMoment& to) {
    if (!from.present || !to.present || !from.at || !to.at) return std::nullopt;
    return *to.at - *from.at;
}

void addDuration(Distribution& distribution, std::optional<std::int64_t> milliseconds) {
    // A time that runs backwards (messages logged out of order) gives no duration.
    if (milliseconds && *milliseconds >= 0) distribution.add(*milliseconds);
}

// The least end of a heap of ends (least first) replaced by `end`, which sinks to its place.
void replaceLeast(std::vector<std::int64_t>& heap, std::int64_t end) {
    std::size_t at = 0;
    for (std::size_t child = 1; child < heap.size(); child = 2 * at + 1) {
        if (child + 1 < heap.size() && heap[child + 1] < heap[child]) ++child;
        if (heap[child] >= end) break;
        heap[at] = heap[child];
        at = child;
    }
    heap[at] = end;
}

bool readNumber(std::string_view text, std::uint32_t& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

// The time units of an interval.
struct Unit {
    char letter;
    std::int64_t milliseconds;
};
constexpr Unit kUnits[] = {{'s', 1000}, {'m', std::int64_t{60} * 1000}, {'h', kMillisecondsPerHour}};

}  // namespace

bool parseKpiGrouping(std::string_view text, KpiOptions& options, std::string& error) {
    const auto sized = [&](std::string_view prefix, KpiGrouping by) {
        if (!text.starts_with(prefix)) return false;
        std::uint32_t size = 0;
        if (!readNumber(text.substr(prefix.size()), size) || size == 0) return false;
        options.by = by;
        options.size = size;
        return true;
    };
    if (text == "direction" || text == "switch" || text == "route") {
        options.by = text == "switch" ? KpiGrouping::Switch : text == "route" ? KpiGrouping::Route : KpiGrouping::Direction;
        return true;
    }
    if (sized("cic:", KpiGrouping::CircuitGroup) || sized("called:", KpiGrouping::CalledPrefix)) return true;
    if (!text.empty()) {
        for (const Unit& unit : kUnits) {
            std::uint32_t count = 0;
            if (text.back() == unit.letter && readNumber(text.substr(0, text.size() - 1), count) && count > 0) {
                options.by = KpiGrouping::Interval;
                options.interval = unit.milliseconds * count;
                return true;
            }
        }
    }
    error = "--by takes an interval (15m, 1h, 30s), cic:N, called:N, direction, switch or route, not '" + std::string(text) +
            "'";
    return false;
}

bool parseCauseList(std::string_view text, std::vector<std::uint32_t>& causes, std::string& error) {
    causes.clear();
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        std::uint32_t cause = 0;
        if (!readNumber(item, cause) || cause > 127) {
            error = "--ner-causes takes cause values 0 to 127 separated by commas, not '" + std::string(item) + "'";
            return false;
        }
        causes.push_back(cause);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

void Distribution::add(std::int64_t milliseconds) {
    if (count_ == 0 || milliseconds < least_) least_ = milliseconds;
    if (count_ == 0 || milliseconds > most_) most_ = milliseconds;
    ++count_;
    sum_ += milliseconds;
    pending_.push_back(bucketOf(milliseconds));
    // Sorting in costs the values' and the buckets' number: done when four times as many values
    // wait as there are buckets, it costs a few steps a value.
    if (pending_.size() >= std::max(kLeastPending, kPendingPerBucket * buckets_.size())) settle();
}

namespace {

// Bucket numbers sorted: by two digits of ten bits, the low then the high, each pass counting how
// many values have each digit and then placing each value after those before it (a value is read
// twice, compared never), when they are many and all below 2^20 (every duration's bucket is);
// otherwise by comparisons.
void sortBuckets(std::vector<std::uint32_t>& values) {
    constexpr unsigned kDigitBits = 10;
    constexpr std::uint32_t kDigits = 1u << kDigitBits;
    std::uint32_t all = 0;
    for (const std::uint32_t value : values) all |= value;
    if (values.size() < 256 || (all >> (2 * kDigitBits)) != 0) {
        std::sort(values.begin(), values.end());
        return;
    }
    // Kept from one sort to the next, so that sorting allocates only when the values grow.
    thread_local std::vector<std::uint32_t> spare;
    spare.resize(values.size());
    for (const unsigned shift : {0u, kDigitBits}) {
        std::array<std::uint32_t, kDigits> starts{};
        for (const std::uint32_t value : values) ++starts[(value >> shift) & (kDigits - 1)];
        std::uint32_t start = 0;
        for (std::uint32_t& digit : starts) start += std::exchange(digit, start);
        for (const std::uint32_t value : values) spare[starts[(value >> shift) & (kDigits - 1)]++] = value;
        values.swap(spare);
    }
}

}  // namespace

void Distribution::settle() {
    if (pending_.empty()) return;
    sortBuckets(pending_);
    // Merged from the back, so that nothing is allocated but the buckets' growth and each bucket
    // moves at most twice: the pending values' buckets (each run of one bucket counted at once)
    // among those that hold values, written from the end of the room made for them.
    const std::size_t held = buckets_.size();
    buckets_.resize(held + pending_.size());
    Bucket* const b = buckets_.data();
    std::size_t from = held;            // buckets [0, from) not merged yet
    std::size_t to = buckets_.size();   // merged ones from here on
    std::size_t next = pending_.size(); // pending values [0, next) not merged yet
    while (next > 0) {
        const std::uint32_t bucket = pending_[next - 1];
        std::uint64_t count = 0;
        for (; next > 0 && pending_[next - 1] == bucket; --next) ++count;
        for (; from > 0 && b[from - 1].bucket > bucket; --from) {
            --to;
            b[to] = b[from - 1];
        }
        if (from > 0 && b[from - 1].bucket == bucket) {
            --from;
            count += b[from].count;
        }
        --to;
        b[to] = Bucket{bucket, count};
    }
    if (to != from) std::copy(b + to, b + buckets_.size(), b + from);
    buckets_.resize(from + (buckets_.size() - to));
    pending_.clear();
}

std::optional<double> Distribution::mean() const {
    if (count_ == 0) return std::nullopt;
    return static_cast<double>(sum_) / static_cast<double>(count_);
}

std::optional<std::int64_t> Distribution::quantile(double q) const {
    if (count_ == 0) return std::nullopt;
    const auto rank = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(std::ceil(q * static_cast<double>(count_))));
    // The values still waiting are sorted in on a copy.
    Distribution settled;
    if (!pending_.empty()) {
        settled = *this;
        settled.settle();
    }
    std::uint64_t seen = 0;
    for (const Bucket& b : pending_.empty() ? buckets_ : settled.buckets_) {
        seen += b.count;
        if (seen >= rank) return std::clamp(lowerBoundOf(b.bucket), least_, most_);
    }
    return most_;
}

void Distribution::add(const Distribution& other) {
    if (other.count_ == 0) return;
    if (count_ == 0) {
        *this = other;
        return;
    }
    least_ = std::min(least_, other.least_);
    most_ = std::max(most_, other.most_);
    count_ += other.count_;
    sum_ += other.sum_;
    settle();
    std::vector<Bucket> both;
    both.reserve(buckets_.size() + other.buckets_.size());
    std::merge(buckets_.begin(), buckets_.end(), other.buckets_.begin(), other.buckets_.end(), std::back_inserter(both),
               [](const Bucket& a, const Bucket& b) { return a.bucket < b.bucket; });
    buckets_.clear();
    for (const Bucket& b : both) {
        if (!buckets_.empty() && buckets_.back().bucket == b.bucket)
            buckets_.back().count += b.count;
        else
            buckets_.push_back(b);
    }
    for (const std::uint32_t bucket : other.pending_) {
        pending_.push_back(bucket);
        if (pending_.size() >= std::max(kLeastPending, kPendingPerBucket * buckets_.size())) settle();
    }
}

void KpiSet::add(const KpiSet& other) {
    seizures += other.seizures;
    answered += other.answered;
    reachedUser += other.reachedUser;
    setup.add(other.setup);
    answer.add(other.answer);
    conversation.add(other.conversation);
    holding.add(other.holding);
    for (std::size_t k = 0; k < kCauseClassCount; ++k) causeClasses[k] += other.causeClasses[k];
    for (const auto& [cause, n] : other.causes) causes[cause] += n;
    releasesWithoutCause += other.releasesWithoutCause;
    releasedByCalling += other.releasedByCalling;
    releasedByCalled += other.releasedByCalled;
    busy += other.busy;
    if (other.switches == 1)
        noteSwitch(other.switchIndex, other.switchName);
    else if (other.switches > 1)
        switches = 2;
}

void KpiSet::noteSwitch(SwitchIndex index, std::string_view name) {
    if (switches == 0) {
        switches = 1;
        switchIndex = index;
        switchName = name;
    } else if (switches == 1 && index != switchIndex) {
        switches = 2;
        switchName.clear();
    }
}

TrafficKpis::TrafficKpis(KpiOptions options) : options_(std::move(options)) {}

void TrafficKpis::widenSpan(std::int64_t at, SwitchIndex switchIndex) {
    if (!first_ || at < *first_) first_ = at;
    if (!last_ || at > *last_) last_ = at;
    if (switchIndex >= spans_.size()) spans_.resize(std::size_t{switchIndex} + 1);
    Span& span = spans_[switchIndex];
    if (!span.first || at < *span.first) span.first = at;
    if (!span.last || at > *span.last) span.last = at;
}

TrafficKpis::Span TrafficKpis::span(SwitchIndex switchIndex) const {
    return switchIndex < spans_.size() ? spans_[switchIndex] : Span{};
}

bool TrafficKpis::nerCause(std::uint32_t cause) const {
    return std::find(options_.nerCauses.begin(), options_.nerCauses.end(), cause) != options_.nerCauses.end();
}

KpiSet& TrafficKpis::intervalGroup(SwitchIndex switchIndex, std::int64_t start) {
    KpiSet& set = numbered_[{switchIndex, start}];
    set.start = start;
    set.switchIndex = switchIndex;
    return set;
}

KpiSet& TrafficKpis::groupOf(const Call& call) {
    const auto keyed = [this](std::string_view key) -> KpiSet& {
        auto found = keyed_.find(key);
        if (found == keyed_.end()) {
            found = keyed_.emplace(std::string(key), KpiSet()).first;
            found->second.group = key;
        }
        return found->second;
    };
    switch (options_.by) {
        case KpiGrouping::Interval:
            if (!call.first.at) return keyed("(time not known)");
            return intervalGroup(call.switchIndex, floorTo(*call.first.at, options_.interval));
        case KpiGrouping::CircuitGroup: {
            const std::int64_t firstCode = std::int64_t{call.callInstanceCode / options_.size} * options_.size;
            KpiSet& set = numbered_[{call.switchIndex, firstCode}];
            if (set.group.empty())
                set.group = std::to_string(firstCode) + "-" + std::to_string(firstCode + options_.size - 1);
            return set;
        }
        case KpiGrouping::CalledPrefix:
            return keyed(call.called.empty() ? std::string_view("(no number)")
                                             : std::string_view(call.called).substr(0, options_.size));
        case KpiGrouping::Direction: return keyed(call.direction.empty() ? std::string_view("(none)") : call.direction);
        case KpiGrouping::Switch: return keyed(call.switchName.empty() ? std::string_view("(none)") : call.switchName);
        case KpiGrouping::Route: return keyed(call.route.empty() ? std::string_view("(none)") : call.route);
        case KpiGrouping::None: break;
    }
    return total_;
}

namespace {

// Whether the calling side released the call.
bool releasedByCalling(const Call& call) { return call.release.present && call.releasedBy == call.direction; }

}  // namespace

bool TrafficKpis::reachedUser(const Call& call) const { return reachedUser(call, releasedByCalling(call)); }

bool TrafficKpis::reachedUser(const Call& call, bool byCalling) const {
    const bool alerted = call.addressComplete.present || call.progress.present;
    return call.answer.present || (call.cause && nerCause(*call.cause)) || (byCalling && alerted);
}

void TrafficKpis::count(KpiSet& set, const Call& call, std::optional<std::int64_t> holdingEnd) const {
    ++set.seizures;
    set.noteSwitch(call.switchIndex, call.switchName);
    const bool byCalling = releasedByCalling(call);
    if (call.answer.present) ++set.answered;
    if (reachedUser(call, byCalling)) ++set.reachedUser;
    addDuration(set.setup, between(call.lastAddress, call.firstBackward));
    addDuration(set.answer, between(call.addressComplete, call.answer));
    addDuration(set.conversation, between(call.answer, call.release));
    addDuration(set.holding, between(call.first, call.releaseComplete));
    if (call.release.present) {
        if (call.cause) {
            ++set.causeClasses[static_cast<std::size_t>(causeClassOf(*call.cause))];
            ++set.causes[*call.cause];
        } else {
            ++set.releasesWithoutCause;
        }
        ++(byCalling ? set.releasedByCalling : set.releasedByCalled);
    }
    if (options_.by != KpiGrouping::Interval && call.first.at && holdingEnd && *holdingEnd > *call.first.at)
        set.busy += *holdingEnd - *call.first.at;
}

void TrafficKpis::addCall(const Call& call, bool logEnded) {
    if (!call.opened) return;
    // The circuit is busy from the IAM to the RLC; without one, to the message that ended the
    // seizure (a reset, the next IAM) or to the log's end.
    std::optional<std::int64_t> end = call.releaseComplete.present ? call.releaseComplete.at
                                      : logEnded                   ? span(call.switchIndex).last
                                                                   : call.last.at;
    count(total_, call, end);
    if (options_.by != KpiGrouping::None) count(groupOf(call), call, end);
    if (!call.first.at || !end || *end < *call.first.at) return;
    const std::int64_t start = *call.first.at;
    if (options_.by == KpiGrouping::Interval) total_.busy += *end - start;

    // Seizures come in the order of their first records: the busy ones are those whose end is
    // still ahead of this start. The first end that is over gives its place to this one's, when
    // this one's is ahead.
    bool placed = false;
    while (!busyUntil_.empty() && busyUntil_.front() <= start) {
        if (!placed && *end > start) {
            replaceLeast(busyUntil_, *end);
            placed = true;
        } else {
            std::pop_heap(busyUntil_.begin(), busyUntil_.end(), std::greater<>());
            busyUntil_.pop_back();
        }
    }
    if (!placed) {
        busyUntil_.push_back(*end);
        std::push_heap(busyUntil_.begin(), busyUntil_.end(), std::greater<>());
    }
    if (busyUntil_.size() > peakBusy_) {
        peakBusy_ = static_cast<std::uint32_t>(busyUntil_.size());
        peakAt_ = start;
    }
    // The holding time by clock hour, and by interval when grouped by time.
    const auto spread = [&](std::int64_t step, const auto& add) {
        for (std::int64_t from = floorTo(start, step); from < *end; from += step) {
            const std::int64_t overlap = std::min(*end, from + step) - std::max(start, from);
            if (overlap > 0) add(from, overlap);
        }
    };
    // Mostly the hour is the last one met: seizures start in the order of their first records.
    spread(kMillisecondsPerHour, [this](std::int64_t hour, std::int64_t ms) {
        if (!hourBusy_.empty() && hourBusy_.rbegin()->first == hour)
            hourBusy_.rbegin()->second += ms;
        else
            hourBusy_[hour] += ms;
    });
    if (options_.by == KpiGrouping::Interval)
        spread(options_.interval, [this, &call](std::int64_t from, std::int64_t ms) {
            KpiSet& set = intervalGroup(call.switchIndex, from);
            set.busy += ms;
            set.noteSwitch(call.switchIndex, call.switchName);
        });
}

void TrafficKpis::finish() {
    // The delays' values are sorted in once, not at each quantile a view reads.
    const auto settle = [](KpiSet& set) {
        for (Distribution* delays : {&set.setup, &set.answer, &set.conversation, &set.holding}) delays->settle();
    };
    settle(total_);
    for (auto& [key, set] : keyed_) settle(set);
    for (auto& [key, set] : numbered_) settle(set);
    const std::int64_t period = first_ && last_ ? *last_ - *first_ : 0;
    total_.observed = period;
    for (auto& [key, set] : keyed_) set.observed = period;
    for (auto& [key, set] : numbered_) {
        const Span span = this->span(key.first);
        if (options_.by != KpiGrouping::Interval || !span.first || !span.last) {
            set.observed = period;
            continue;
        }
        const std::int64_t start = key.second;
        set.observed =
            std::max<std::int64_t>(0, std::min(start + options_.interval, *span.last) - std::max(start, *span.first));
    }
    // An hour's traffic is over the part of it the log covers (a log of 14 minutes of an hour
    // carries its erlangs in those minutes); a whole hour is preferred to a part.
    busiestHour_.reset();
    busiestHourBusy_ = busiestHourCovered_ = 0;
    bool wholeFound = false;
    for (const auto& [hour, busy] : hourBusy_) {
        if (!first_ || !last_) break;
        const std::int64_t covered = std::min(hour + kMillisecondsPerHour, *last_) - std::max(hour, *first_);
        if (covered <= 0 || busy <= 0) continue;
        const bool whole = covered == kMillisecondsPerHour;
        if (wholeFound && !whole) continue;
        // busy / covered > best busy / best covered, without dividing.
        const bool higher = !busiestHour_ || (whole && !wholeFound) ||
                            static_cast<double>(busy) * static_cast<double>(busiestHourCovered_) >
                                static_cast<double>(busiestHourBusy_) * static_cast<double>(covered);
        if (!higher) continue;
        wholeFound = whole;
        busiestHour_ = hour;
        busiestHourBusy_ = busy;
        busiestHourCovered_ = covered;
    }
}

std::vector<KpiSet> regroupKpis(const TrafficKpis& kpis, std::int64_t interval) {
    const KpiOptions& options = kpis.options();
    std::vector<KpiSet> sets;
    if (options.by != KpiGrouping::Interval || options.interval <= 0 || interval <= 0 || interval % options.interval != 0)
        return sets;
    // An interval of `kpis` lies whole in one of `interval`, as every call's start and every piece
    // of its holding time does: the sums of its groups are the groups of `interval`.
    std::map<std::pair<SwitchIndex, std::int64_t>, KpiSet> numbered;
    std::vector<KpiSet> keyed;
    for (const KpiSet* set : kpis.groups()) {
        if (set->start)
            numbered[{set->switchIndex, floorTo(*set->start, interval)}].add(*set);
        else
            keyed.push_back(*set);
    }
    for (auto& [key, set] : numbered) {
        const std::int64_t start = key.second;
        set.start = start;
        set.switchIndex = key.first;
        // As finish() gives an interval its period.
        const TrafficKpis::Span span = kpis.span(key.first);
        set.observed = span.first && span.last
                           ? std::max<std::int64_t>(0, std::min(start + interval, *span.last) - std::max(start, *span.first))
                           : kpis.total().observed;
        sets.push_back(std::move(set));
    }
    for (KpiSet& set : keyed) sets.push_back(std::move(set));
    return sets;
}

std::vector<const KpiSet*> TrafficKpis::groups() const {
    std::vector<const KpiSet*> sets;
    for (const auto& [key, set] : numbered_) sets.push_back(&set);
    for (const auto& [key, set] : keyed_) sets.push_back(&set);
    return sets;
}

}  // namespace truno
