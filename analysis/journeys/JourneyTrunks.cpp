#include "analysis/journeys/Linker.h"

#include "analysis/facts/LogClock.h"
#include "base/Times.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <set>
#include <unordered_map>

namespace truno::journeys {

namespace {

// Fewer IAMs than this on a trunk measure no offset worth naming.
constexpr std::uint32_t kFewestSamples = 1;

std::optional<std::int64_t> median(std::vector<std::int64_t>& v) {
    if (v.empty()) return std::nullopt;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}  // namespace

std::int64_t Linker::cicOffset(const std::string& a, const std::string& b) const {
    if (const auto f = settings_.cicOffsets.find({a, b}); f != settings_.cicOffsets.end()) return f->second;
    if (const auto f = settings_.cicOffsets.find({b, a}); f != settings_.cicOffsets.end()) return -f->second;
    return 0;
}

// The traces that are both ends of one trunk; each end's IAMs matched to the other's.
void Linker::trunks() {
    const std::size_t n = r_.traces.size();
    bool anyPair = false;
    for (std::uint32_t a = 0; a < n; ++a) {
        for (std::uint32_t b = a + 1; b < n; ++b) {
            const TraceEnds& ea = r_.traces[a];
            const TraceEnds& eb = r_.traces[b];
            if (ea.far.empty() || eb.far.empty() || ea.self != eb.far || eb.self != ea.far) continue;
            anyPair = true;
            r_.trunks.push_back(TrunkEnds{.first = a, .second = b, .offset = std::nullopt, .samples = 0, .linked = 0, .linkedAtAll = true});
        }
    }
    anyPair = capturedTrunks() || anyPair;
    index();
    for (TrunkEnds& t : r_.trunks) measure(t);
    if (!anyPair && n > 1) {
        // Traces of one switch on several trunks still join through it; name the traces that
        // share no trunk and no switch with any other.
        std::set<std::string> switches;
        for (const TraceEnds& e : r_.traces) switches.insert(e.self);
        bool shared = false;
        for (std::size_t a = 0; a < n && !shared; ++a)
            for (std::size_t b = 0; b < n && !shared; ++b)
                if (a != b && (r_.traces[a].self == r_.traces[b].self || r_.traces[a].far == r_.traces[b].self)) shared = true;
        if (!shared) r_.problems.push_back("no common trunk: no two traces are the two ends of one trunk or share a switch; nothing is linked");
    }
}

// Two captures taken at the two ends of one trunk: their sides differ, and each holds IAMs
// between the two (a capture may hold other trunks too: only the IAMs between its side and the
// other's are the trunk's).
bool Linker::capturedTrunks() {
    const std::size_t n = r_.traces.size();
    using Pair = std::pair<std::string, std::string>;
    const auto pairOf = [](const std::string& x, const std::string& y) { return x < y ? Pair(x, y) : Pair(y, x); };
    std::vector<std::set<Pair>> pairs(n);
    if (lastOfPair_ != nullptr) {
        for (std::size_t t = 0; t < n && t < lastOfPair_->size(); ++t)
            for (const auto& [pair, last] : (*lastOfPair_)[t]) pairs[t].insert(pair);
    } else {
        for (const Sighting& s : r_.sightings)
            if (!s.iamFrom.empty()) pairs[s.trace].insert(pairOf(s.iamFrom, s.iamTo));
    }
    const std::size_t before = r_.trunks.size();
    for (std::uint32_t a = 0; a < n; ++a) {
        for (std::uint32_t b = a + 1; b < n; ++b) {
            const TraceEnds& ea = r_.traces[a];
            const TraceEnds& eb = r_.traces[b];
            if (!ea.far.empty() && !eb.far.empty()) continue;  // logs' ends are declared (the loop above)
            const Pair pair = pairOf(ea.self, eb.self);
            if (ea.self.empty() || ea.self == eb.self || !pairs[a].contains(pair) || !pairs[b].contains(pair)) continue;
            r_.trunks.push_back(TrunkEnds{.first = a, .second = b, .offset = std::nullopt, .samples = 0, .linked = 0, .linkedAtAll = true});
        }
    }
    return r_.trunks.size() > before;
}

// The sightings of each trace, and of each trunk between captures those of its calls between
// its two ends.
void Linker::index() {
    byTrace_.assign(r_.traces.size(), {});
    for (std::size_t i = 0; i < r_.sightings.size(); ++i) byTrace_[r_.sightings[i].trace].push_back(static_cast<int>(i));
    trunkSightings_.assign(r_.trunks.size(), {-1, -1});
    capturedSightings_.clear();
    for (std::size_t k = 0; k < r_.trunks.size(); ++k) {
        const TrunkEnds& t = r_.trunks[k];
        const TraceEnds& ea = r_.traces[t.first];
        const TraceEnds& eb = r_.traces[t.second];
        if (!ea.far.empty() && !eb.far.empty()) continue;
        // Copies: std::minmax answers references to its arguments, temporaries here.
        using Ends = std::pair<std::string_view, std::string_view>;
        const auto ordered = [](std::string_view x, std::string_view y) { return x < y ? Ends(x, y) : Ends(y, x); };
        const Ends pair = ordered(ea.self, eb.self);
        for (const std::uint32_t trace : {t.first, t.second}) {
            std::vector<int>& only = capturedSightings_.emplace_back();
            for (const int i : byTrace_[trace]) {
                const Sighting& s = sighting(i);
                if (s.iamFrom.empty() || ordered(s.iamFrom, s.iamTo) == pair) only.push_back(i);
            }
            (trace == t.first ? trunkSightings_[k].first : trunkSightings_[k].second) = static_cast<int>(capturedSightings_.size() - 1);
        }
    }
    sightingLeg_.assign(r_.sightings.size(), -1);
}

const std::vector<int>& Linker::onTrunk(const TrunkEnds& t, std::uint32_t trace) const {
    const auto& lists = trunkSightings_[static_cast<std::size_t>(&t - r_.trunks.data())];
    const int list = trace == t.first ? lists.first : lists.second;
    return list < 0 ? byTrace_[trace] : capturedSightings_[static_cast<std::size_t>(list)];
}

// The last message of a trace on the trunk: the trace's own last, or of a capture holding
// other trunks too, the last of the trunk's calls.
std::optional<std::int64_t> Linker::lastOnTrunk(const TrunkEnds& t, std::uint32_t trace) const {
    const auto& lists = trunkSightings_[static_cast<std::size_t>(&t - r_.trunks.data())];
    if ((trace == t.first ? lists.first : lists.second) < 0) return r_.lastInstant[trace];
    std::optional<std::int64_t> last;
    if (lastOfPair_ != nullptr && lastWithoutPair_ != nullptr && trace < lastOfPair_->size()) {
        // Of every call of the trace, not only those the trunks are measured on.
        const std::string& x = r_.traces[t.first].self;
        const std::string& y = r_.traces[t.second].self;
        last = (*lastWithoutPair_)[trace];
        const auto found = (*lastOfPair_)[trace].find(x < y ? std::make_pair(x, y) : std::make_pair(y, x));
        if (found != (*lastOfPair_)[trace].end() && found->second != std::numeric_limits<std::int64_t>::min() &&
            (!last || found->second > *last))
            last = found->second;
        return last;
    }
    for (const int i : onTrunk(t, trace))
        if (const auto& at = sighting(i).last; at && (!last || *at > *last)) last = at;
    return last;
}

// The offset of a trunk's clocks, and the contradictions of its ends.
void Linker::measure(TrunkEnds& t) {
    const std::uint32_t a = t.first, b = t.second;
    const std::int64_t cicShift = cicOffset(r_.traces[a].self, r_.traces[b].self);
    // b's IAMs by circuit (at a), numbers and way: the sighting, or -2 where several share them.
    const auto keyOf = [](std::int64_t cic, const Sighting& s, bool sent) {
        const std::size_t h = std::hash<std::string>{}(s.called) * 31 + std::hash<std::string>{}(s.calling);
        return (static_cast<std::uint64_t>(cic) << 33) ^ (static_cast<std::uint64_t>(h) << 1) ^ (sent ? 1u : 0u);
    };
    const auto same = [](const Sighting& x, const Sighting& y) { return x.called == y.called && x.calling == y.calling; };
    std::unordered_map<std::uint64_t, int> atB;
    atB.reserve(onTrunk(t, b).size());
    std::uint32_t sentA = 0, receivedA = 0, sentB = 0, receivedB = 0;
    for (const int i : onTrunk(t, b)) {
        const Sighting& s = sighting(i);
        if (!s.opened || !s.first) continue;
        (s.iamSent ? sentB : receivedB)++;
        const auto [at, added] = atB.emplace(keyOf(static_cast<std::int64_t>(s.cic) - cicShift, s, s.iamSent), i);
        if (!added) at->second = -2;
    }
    std::vector<std::int64_t> samples;
    std::uint32_t sameWay = 0;
    for (const int i : onTrunk(t, a)) {
        const Sighting& s = sighting(i);
        if (!s.opened || !s.first) continue;
        (s.iamSent ? sentA : receivedA)++;
        const auto other = atB.find(keyOf(s.cic, s, !s.iamSent));
        if (other != atB.end() && other->second >= 0 && same(s, sighting(other->second)))
            samples.push_back(*sighting(other->second).first - *s.first);  // b's time less a's, each way
    }
    // Only where no IAM went across: whether they went the same way at both ends.
    for (const int i : samples.empty() ? onTrunk(t, a) : std::vector<int>{}) {
        const Sighting& s = sighting(i);
        if (s.opened && s.first && atB.contains(keyOf(s.cic, s, s.iamSent))) ++sameWay;
    }
    t.samples = static_cast<std::uint32_t>(samples.size());
    // The offset of b's clock: the receiving end's time less the sending end's, each way, so
    // that the transit times cancel in the median.
    t.offset = samples.size() >= kFewestSamples ? median(samples) : std::nullopt;
    const std::string name = r_.traces[a].file + " and " + r_.traces[b].file;
    const bool contradicts = (sentA + receivedA > 0 && sentB + receivedB > 0) &&
                             ((sentA == 0 && sentB == 0) || (receivedA == 0 && receivedB == 0) || (samples.empty() && sameWay > 0));
    if (contradicts) {
        r_.problems.push_back("ends contradict the messages: " + name + " are declared the two ends of trunk " + r_.traces[a].self +
                              "-" + r_.traces[b].self + ", but their IAMs go the same way at both ends; their calls are not linked");
        t.linkedAtAll = false;
        t.offset.reset();
        return;
    }
    if (t.offset && std::abs(*t.offset) > settings_.transitWindow && !settings_.applyClockOffsets) {
        r_.problems.push_back("clocks far apart: " + r_.traces[b].file + " runs " + seconds(*t.offset) + " s from " +
                              r_.traces[a].file + " (measured on " + std::to_string(t.samples) +
                              " IAMs); their calls are not linked (--clock-offset auto applies the offset)");
        t.linkedAtAll = false;
    }
    // One end stopping well before the other: its last calls have no other end.
    const auto lastA = lastOnTrunk(t, a);
    const auto lastB = lastOnTrunk(t, b);
    if (lastA && lastB && t.offset) {
        const std::int64_t gap = (*lastB - *t.offset) - *lastA;
        if (std::abs(gap) > 2 * settings_.transitWindow) {
            const bool aShort = gap > 0;
            r_.problems.push_back("trace cut short: " + r_.traces[aShort ? a : b].file + " ends " + seconds(std::abs(gap)) +
                                  " s before " + r_.traces[aShort ? b : a].file +
                                  "; the calls of the other past its end have no other end");
        }
    }
    if (!t.offset && sentA + receivedA > 0 && sentB + receivedB > 0)
        r_.problems.push_back("no IAM of " + name + " is seen at both ends: no clock offset measured");
}

std::string Linker::seconds(std::int64_t ms) {
    std::string out;
    appendSeconds(out, ms);
    return out;
}

// Legs: each trunk's IAMs sent at one end paired with those received at the other.
void Linker::legs() {
    for (TrunkEnds& t : r_.trunks) {
        if (!t.linkedAtAll) continue;
        const std::int64_t offset = t.offset.value_or(0);
        linkEnds(t, t.first, t.second, offset);
        linkEnds(t, t.second, t.first, -offset);
    }
    for (std::size_t i = 0; i < r_.sightings.size(); ++i) {
        if (sightingLeg_[i] >= 0) continue;
        const Sighting& s = r_.sightings[i];
        const TraceEnds& e = ends(s);
        Leg leg;
        leg.cic = s.cic;
        if (s.opened && !s.iamFrom.empty()) {  // a capture's: its IAM's point codes
            leg.from = s.iamFrom;
            leg.to = s.iamTo;
            (s.iamSent ? leg.sender : leg.receiver) = static_cast<int>(i);
        } else if (s.opened) {
            leg.from = s.iamSent ? e.self : e.far;
            leg.to = s.iamSent ? e.far : e.self;
            (s.iamSent ? leg.sender : leg.receiver) = static_cast<int>(i);
        } else {
            leg.sender = static_cast<int>(i);  // begun before the trace: its way is not known
            leg.from = e.self;
            leg.to = e.far;
        }
        sightingLeg_[i] = static_cast<int>(r_.legs.size());
        r_.legs.push_back(std::move(leg));
    }
}

// The IAMs sent at `from` matched with those received at `to`; `offset`: to's clock less from's.
void Linker::linkEnds(TrunkEnds& t, std::uint32_t from, std::uint32_t to, std::int64_t offset) {
    const std::int64_t cicShift = cicOffset(r_.traces[from].self, r_.traces[to].self);
    // The IAMs received at `to`, by circuit (at from) and time.
    std::vector<std::tuple<std::int64_t, std::int64_t, int>> received;
    for (const int i : onTrunk(t, to)) {
        const Sighting& s = sighting(i);
        if (s.opened && !s.iamSent && s.first) received.emplace_back(static_cast<std::int64_t>(s.cic) - cicShift, *s.first - offset, i);
    }
    std::sort(received.begin(), received.end());
    const auto fits = [&](const Sighting& sent, const Sighting& got) {
        return sent.called.empty() || got.called.empty() || sent.called == got.called;
    };
    fitsOfReceived_.assign(r_.sightings.size(), 0);
    std::vector<std::pair<int, int>> pairs;
    for (const int i : onTrunk(t, from)) {
        const Sighting& s = sighting(i);
        if (!s.opened || !s.iamSent || !s.first) continue;
        const std::int64_t cic = s.cic;
        auto k = std::lower_bound(received.begin(), received.end(),
                                  std::make_tuple(cic, *s.first - settings_.transitWindow, std::numeric_limits<int>::min()));
        int only = -1, count = 0;
        for (; k != received.end() && std::get<0>(*k) == cic && std::get<1>(*k) <= *s.first + settings_.transitWindow; ++k) {
            const int j = std::get<2>(*k);
            if (!fits(s, sighting(j))) continue;
            only = j;
            ++count;
            ++fitsOfReceived_[static_cast<std::size_t>(j)];
        }
        if (count == 1) pairs.emplace_back(i, only);
    }
    for (const auto& [i, j] : pairs) {
        if (fitsOfReceived_[static_cast<std::size_t>(j)] != 1) continue;
        Leg leg;
        leg.from = r_.traces[from].self;
        leg.to = r_.traces[to].self;
        leg.cic = sighting(i).cic;
        leg.sender = i;
        leg.receiver = j;
        leg.link = LegLink::Trunk;
        leg.iamDelay = *sighting(j).first - offset - *sighting(i).first;
        sightingLeg_[static_cast<std::size_t>(i)] = sightingLeg_[static_cast<std::size_t>(j)] = static_cast<int>(r_.legs.size());
        r_.legs.push_back(std::move(leg));
        ++t.linked;
    }
}

// Each switch's offset from the first trace's switch, through the trunks' measured offsets.
void Linker::offsets() {
    if (r_.traces.empty()) return;
    r_.switchOffsets[r_.traces.front().self] = 0;
    for (bool grew = true; grew;) {
        grew = false;
        for (const TrunkEnds& t : r_.trunks) {
            if (!t.offset || (!t.linkedAtAll && !settings_.applyClockOffsets)) continue;
            const std::string& a = r_.traces[t.first].self;
            const std::string& b = r_.traces[t.second].self;
            if (r_.switchOffsets.contains(a) && !r_.switchOffsets.contains(b)) {
                r_.switchOffsets[b] = r_.switchOffsets[a] + *t.offset;
                grew = true;
            } else if (r_.switchOffsets.contains(b) && !r_.switchOffsets.contains(a)) {
                r_.switchOffsets[a] = r_.switchOffsets[b] - *t.offset;
                grew = true;
            }
        }
    }
    r_.offsetsApplied = settings_.applyClockOffsets;
}

std::optional<std::int64_t> Linker::offsetOf(const std::string& name) const {
    const auto f = r_.switchOffsets.find(name);
    return f == r_.switchOffsets.end() ? std::nullopt : std::optional<std::int64_t>(f->second);
}

}  // namespace truno::journeys
