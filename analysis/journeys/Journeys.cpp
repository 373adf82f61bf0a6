#include "analysis/journeys/Journeys.h"

#include "analysis/facts/LogClock.h"
#include "base/Times.h"
#include "dispatch/Codes.h"
#include "dispatch/FieldRegistry.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <charconv>
#include <deque>
#include <set>
#include <unordered_set>

namespace truno {
namespace {

constexpr std::int64_t kDayMilliseconds = 86400000;
// Fewer IAMs than this on a trunk measure no offset worth naming.
constexpr std::uint32_t kFewestSamples = 1;
// The called numbers of a transit link agree in at least their last six digits.
constexpr std::size_t kSuffixDigits = 6;

std::uint64_t openKey(std::uint32_t trace, std::uint64_t firstRecord) { return (std::uint64_t{trace} << 48) | firstRecord; }

// Two numbers are the same but for a prefix: the shorter ends the longer.
bool prefixChanged(std::string_view a, std::string_view b) {
    return a.size() <= b.size() ? b.ends_with(a) : a.ends_with(b);
}

// Two numbers agree in their last six digits or more.
bool suffixAgrees(std::string_view a, std::string_view b) {
    return a.size() >= kSuffixDigits && b.size() >= kSuffixDigits &&
           a.substr(a.size() - kSuffixDigits) == b.substr(b.size() - kSuffixDigits);
}

std::optional<std::uint32_t> leadingNumber(std::string_view text) {
    std::uint32_t n = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i < 9; ++i) n = n * 10 + static_cast<std::uint32_t>(text[i] - '0');
    if (i == 0) return std::nullopt;
    return n;
}

std::optional<std::int64_t> median(std::vector<std::int64_t>& v) {
    if (v.empty()) return std::nullopt;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// One field of an IAM's compact facts.
struct PackedFact {
    std::uint16_t id = 0;
    std::string_view value;
};

void unpack(std::string_view packed, std::vector<PackedFact>& out) {
    out.clear();
    for (std::size_t at = 0; at + 3 <= packed.size();) {
        const auto id = static_cast<std::uint16_t>(static_cast<unsigned char>(packed[at]) |
                                                   static_cast<unsigned>(static_cast<unsigned char>(packed[at + 1])) << 8);
        const std::size_t length = static_cast<unsigned char>(packed[at + 2]);
        out.push_back(PackedFact{.id = id, .value = packed.substr(at + 3, length)});
        at += 3 + length;
    }
    // By key, each key's first occurrence first.
    std::stable_sort(out.begin(), out.end(), [](const PackedFact& a, const PackedFact& b) { return a.id < b.id; });
}

std::string wholeKey(const FieldRef& ref) {
    std::string key;
    appendWholeKey(key, ref);
    return key;
}

bool holds(const std::vector<int>& codes, int code) { return std::find(codes.begin(), codes.end(), code) != codes.end(); }

// The changes between two IAMs' facts: keys whose values differ, and the parameters present in
// one only (named once, by the parameter's key). The hop counter is expected to change.
std::vector<FactChange> changesBetween(std::string_view arriving, std::string_view leaving, const std::vector<FieldRef>& refs,
                                       int hopCounter) {
    std::vector<PackedFact> a, l;
    unpack(arriving, a);
    unpack(leaving, l);
    std::vector<int> paramsA, paramsL, named;
    for (const PackedFact& f : a) paramsA.push_back(refs[f.id].parameterCode);
    for (const PackedFact& f : l) paramsL.push_back(refs[f.id].parameterCode);
    std::vector<FactChange> out;
    const auto change = [&](const FieldRef& ref, std::string_view was, std::string_view is) {
        if (ref.parameterCode == hopCounter) return;
        const int code = ref.parameterCode;
        if (holds(paramsA, code) == holds(paramsL, code)) {
            out.push_back(FactChange{.key = wholeKey(ref), .arriving = std::string(was), .leaving = std::string(is)});
        } else if (!holds(named, code)) {
            named.push_back(code);
            out.push_back(FactChange{.key = std::string(parameterKey(code)), .arriving = holds(paramsA, code) ? "present" : "",
                                     .leaving = holds(paramsL, code) ? "present" : ""});
        }
    };
    const auto next = [](const std::vector<PackedFact>& v, std::size_t& k) {
        const std::uint16_t id = v[k].id;
        while (k < v.size() && v[k].id == id) ++k;
    };
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < l.size()) {
        if (j >= l.size() || (i < a.size() && a[i].id < l[j].id)) {
            change(refs[a[i].id], a[i].value, {});
            next(a, i);
        } else if (i >= a.size() || l[j].id < a[i].id) {
            change(refs[l[j].id], {}, l[j].value);
            next(l, j);
        } else {
            if (a[i].value != l[j].value) change(refs[a[i].id], a[i].value, l[j].value);
            next(a, i);
            next(l, j);
        }
    }
    std::sort(out.begin(), out.end(), [](const FactChange& x, const FactChange& y) { return x.key < y.key; });
    return out;
}

}  // namespace

std::string legName(const Leg& leg) {
    return (leg.from.empty() ? std::string("?") : leg.from) + ">" + (leg.to.empty() ? std::string("?") : leg.to);
}

std::int64_t JourneyReport::common(std::uint32_t trace, std::int64_t at) const {
    if (!offsetsApplied) return at;
    const auto found = switchOffsets.find(traces[trace].self);
    return found == switchOffsets.end() ? at : at - found->second;
}

std::uint32_t JourneyBuilder::beginTrace(TraceEnds ends) {
    report_.traces.push_back(std::move(ends));
    dayOf_.push_back(0);
    lastAt_.emplace_back();
    return static_cast<std::uint32_t>(report_.traces.size() - 1);
}

void JourneyBuilder::noteDate(std::uint32_t trace, std::string_view date) {
    if (dayOf_[trace] != 0 || date.empty()) return;
    if (const auto days = daysFromDate(date)) dayOf_[trace] = *days;
}

void JourneyBuilder::message(std::uint32_t trace, const MessageFacts& facts, std::optional<std::int64_t> at, const Call* call) {
    const RecordFacts& record = facts.record();
    if (dayOf_[trace] == 0 && !record.logDate.empty()) noteDate(trace, record.logDate);
    if (at) lastAt_[trace] = *at;
    const WireFacts& wire = record.wire;
    const bool pointCodes = wire.captured && wire.pointCodesKnown;
    if (pointCodes && !report_.traces[trace].declared && record.direction != Direction::Unknown) {
        // A capture: this side is the point code that sends what it sends.
        report_.traces[trace].self = std::to_string(record.direction == Direction::Sent ? wire.opc : wire.dpc);
        report_.traces[trace].declared = true;
    }
    if (call == nullptr) return;
    // The call's sighting is made in place at its first message and filled as it goes.
    const auto [slot, opened] = open_.try_emplace(openKey(trace, call->firstRecord), static_cast<std::uint32_t>(report_.sightings.size()));
    if (opened) {
        Sighting& fresh = report_.sightings.emplace_back();
        fresh.trace = trace;
        fresh.firstRecord = call->firstRecord;
        fresh.seen.reserve(8);
    }
    Sighting& s = report_.sightings[slot->second];
    if (record.typeCode < 0) return;
    s.seen.push_back(SeenMessage{.at = at.value_or(0), .record = static_cast<std::uint32_t>(record.record), .type = static_cast<std::uint8_t>(record.typeCode),
                                 .hasTime = at.has_value(), .sent = record.direction == Direction::Sent});
    if (record.typeCode == codes::kInitialAddress && s.iamFacts.empty()) {
        noteIam(s, facts);
        if (pointCodes) {
            s.iamFrom = std::to_string(wire.opc);
            s.iamTo = std::to_string(wire.dpc);
        }
    }
}

std::uint16_t JourneyBuilder::FactKeys::idOf(const FieldRef& ref) {
    // Keys are views of the tables' text: the same key, the same address. A small table by
    // address answers nearly every look-up; the map the others.
    const std::uint64_t key = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(ref.key.data())) * 1021 +
                              static_cast<std::uint64_t>(ref.parameterCode + 1);
    Recent& recent = recent_[(key ^ (key >> 11)) % recent_.size()];
    if (recent.key == key && recent.id < refs.size() && refs[recent.id] == ref) return recent.id;
    const auto remember = [&](std::uint16_t id) {
        recent = Recent{.key = key, .id = id};
        return id;
    };
    if (const auto found = ids.find(key); found != ids.end() && refs[found->second] == ref) return remember(found->second);
    for (std::size_t k = 0; k < refs.size(); ++k)
        if (refs[k] == ref) return remember(static_cast<std::uint16_t>(k));
    refs.push_back(ref);
    const auto id = static_cast<std::uint16_t>(refs.size() - 1);
    ids.emplace(key, id);
    return remember(id);
}

JourneyBuilder::JourneyBuilder(JourneySettings settings)
    : settings_(std::move(settings)),
      originalCalled_(fieldRef("original_called_number.address_signals")),
      redirecting_(fieldRef("redirecting_number.contents")),
      category_(fieldRef("calling_partys_category.category")),
      hopCounter_(fieldRef("hop_counter.hop_counter")),
      globalCallReference_(fieldRef("global_call_reference.contents")),
      correlationId_(fieldRef("correlation_id.correlation_id")),
      callReference_(fieldRef("call_reference.contents")) {}

// The IAM's typed facts (the record's own lines left out) and the numbers the records take.
void JourneyBuilder::noteIam(Sighting& s, const MessageFacts& facts) {
    char number[24];
    for (const FieldFact& f : facts.fields()) {
        if (f.ref.parameterCode < 0) continue;
        const std::uint16_t id = keys_.idOf(f.ref);
        std::string_view value;
        if (f.isNumber()) {
            const auto end = std::to_chars(number, number + sizeof number, f.number).ptr;
            value = std::string_view(number, static_cast<std::size_t>(end - number));
        } else if (f.type() == FieldType::Digits && f.hasNumber) {
            value = f.digits();
        } else {
            value = f.valueText();
        }
        value = value.substr(0, 255);
        s.iamFacts += static_cast<char>(id & 0xFF);
        s.iamFacts += static_cast<char>(id >> 8);
        s.iamFacts += static_cast<char>(value.size());
        s.iamFacts += value;
    }
    if (const FieldFact* f = facts.find(originalCalled_); f != nullptr && f->hasNumber) s.originalCalled = f->digits();
    if (const FieldFact* f = facts.find(redirecting_)) s.redirecting = f->valueText();
    if (const FieldFact* f = facts.find(category_); f != nullptr && f->isNumber()) s.category = static_cast<std::uint32_t>(f->number);
    if (const FieldFact* f = facts.find(hopCounter_); f != nullptr && f->isNumber()) s.hopCounter = static_cast<std::uint32_t>(f->number);
    if (const FieldFact* f = facts.find(globalCallReference_)) {
        s.exactKey = "g";
        s.exactKey += f->valueText();
    } else if (const FieldFact* c = facts.find(correlationId_); c != nullptr && c->isNumber()) {
        s.exactKey = "c" + std::to_string(c->number);
    } else if (const FieldFact* r = facts.find(callReference_)) {
        s.exactKey = "r";
        s.exactKey += r->valueText();
    }
}

void JourneyBuilder::callFinished(std::uint32_t trace, const Call& call) {
    const auto found = open_.find(openKey(trace, call.firstRecord));
    std::uint32_t index = 0;
    if (found != open_.end()) {
        index = found->second;
        open_.erase(found);
    } else {
        index = static_cast<std::uint32_t>(report_.sightings.size());
        report_.sightings.emplace_back();
    }
    Sighting& s = report_.sightings[index];
    s.trace = trace;
    s.cic = call.callInstanceCode;
    s.firstRecord = call.firstRecord;
    s.lastRecord = call.lastRecord;
    s.opened = call.opened;
    s.iamSent = call.opened && directionOf(call.direction) == Direction::Sent;
    s.outcome = call.outcome;
    s.first = call.first.at;
    s.last = call.last.at;
    s.firstBackward = call.firstBackward.at;
    s.addressComplete = call.addressComplete.at;
    s.answer = call.answer.at;
    s.release = call.release.at;
    s.releaseComplete = call.releaseComplete.at;
    s.releaseSent = directionOf(call.releasedBy) == Direction::Sent;
    s.cause = call.cause;
    s.location = leadingNumber(call.location);
    s.calling = call.calling;
    s.called = call.called;
    s.messages = call.messages;
    s.finished = true;
}

namespace {

// The linking, over what the builder collected.
class Linker {
public:
    Linker(JourneyReport& report, const JourneySettings& settings, const JourneyBuilder::FactKeys& keys)
        : r_(report), settings_(settings), keys_(keys) {}

    void run() {
        trunks();
        legs();
        offsets();
        compareEnds();
        transit();
        journeys();
    }

private:
    const Sighting& sighting(int i) const { return r_.sightings[static_cast<std::size_t>(i)]; }
    const TraceEnds& ends(const Sighting& s) const { return r_.traces[s.trace]; }

    std::int64_t cicOffset(const std::string& a, const std::string& b) const {
        if (const auto f = settings_.cicOffsets.find({a, b}); f != settings_.cicOffsets.end()) return f->second;
        if (const auto f = settings_.cicOffsets.find({b, a}); f != settings_.cicOffsets.end()) return -f->second;
        return 0;
    }

    // The traces that are both ends of one trunk; each end's IAMs matched to the other's.
    void trunks() {
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
        byTrace_.assign(n, {});
        for (std::size_t i = 0; i < r_.sightings.size(); ++i) byTrace_[r_.sightings[i].trace].push_back(static_cast<int>(i));
        sightingLeg_.assign(r_.sightings.size(), -1);
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

    // The offset of a trunk's clocks, and the contradictions of its ends.
    void measure(TrunkEnds& t) {
        const std::uint32_t a = t.first, b = t.second;
        const std::int64_t cicShift = cicOffset(r_.traces[a].self, r_.traces[b].self);
        // b's IAMs by circuit (at a), numbers and way: the sighting, or -2 where several share them.
        const auto keyOf = [](std::int64_t cic, const Sighting& s, bool sent) {
            const std::size_t h = std::hash<std::string>{}(s.called) * 31 + std::hash<std::string>{}(s.calling);
            return (static_cast<std::uint64_t>(cic) << 33) ^ (static_cast<std::uint64_t>(h) << 1) ^ (sent ? 1u : 0u);
        };
        const auto same = [](const Sighting& x, const Sighting& y) { return x.called == y.called && x.calling == y.calling; };
        std::unordered_map<std::uint64_t, int> atB;
        atB.reserve(byTrace_[b].size());
        std::uint32_t sentA = 0, receivedA = 0, sentB = 0, receivedB = 0;
        for (const int i : byTrace_[b]) {
            const Sighting& s = sighting(i);
            if (!s.opened || !s.first) continue;
            (s.iamSent ? sentB : receivedB)++;
            const auto [at, added] = atB.emplace(keyOf(static_cast<std::int64_t>(s.cic) - cicShift, s, s.iamSent), i);
            if (!added) at->second = -2;
        }
        std::vector<std::int64_t> samples;
        std::uint32_t sameWay = 0;
        for (const int i : byTrace_[a]) {
            const Sighting& s = sighting(i);
            if (!s.opened || !s.first) continue;
            (s.iamSent ? sentA : receivedA)++;
            const auto other = atB.find(keyOf(s.cic, s, !s.iamSent));
            if (other != atB.end() && other->second >= 0 && same(s, sighting(other->second)))
                samples.push_back(*sighting(other->second).first - *s.first);  // b's time less a's, each way
        }
        // Only where no IAM went across: whether they went the same way at both ends.
        for (const int i : samples.empty() ? byTrace_[a] : std::vector<int>{}) {
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
        const auto& lastA = r_.lastInstant[a];
        const auto& lastB = r_.lastInstant[b];
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

    static std::string seconds(std::int64_t ms) {
        std::string out;
        appendSeconds(out, ms);
        return out;
    }

    // Legs: each trunk's IAMs sent at one end paired with those received at the other.
    void legs() {
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
    void linkEnds(TrunkEnds& t, std::uint32_t from, std::uint32_t to, std::int64_t offset) {
        const std::int64_t cicShift = cicOffset(r_.traces[from].self, r_.traces[to].self);
        // The IAMs received at `to`, by circuit (at from) and time.
        std::vector<std::tuple<std::int64_t, std::int64_t, int>> received;
        for (const int i : byTrace_[to]) {
            const Sighting& s = sighting(i);
            if (s.opened && !s.iamSent && s.first) received.emplace_back(static_cast<std::int64_t>(s.cic) - cicShift, *s.first - offset, i);
        }
        std::sort(received.begin(), received.end());
        const auto fits = [&](const Sighting& sent, const Sighting& got) {
            return sent.called.empty() || got.called.empty() || sent.called == got.called;
        };
        fitsOfReceived_.assign(r_.sightings.size(), 0);
        std::vector<std::pair<int, int>> pairs;
        for (const int i : byTrace_[from]) {
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
    void offsets() {
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

    std::optional<std::int64_t> offsetOf(const std::string& name) const {
        const auto f = r_.switchOffsets.find(name);
        return f == r_.switchOffsets.end() ? std::nullopt : std::optional<std::int64_t>(f->second);
    }

    // Both ends of each trunk leg: each message sent at one end paired with its copy at the other,
    // by type and order, the copy expected within the window after the clocks' offset.
    void compareEnds() {
        for (Leg& leg : r_.legs) {
            if (leg.link != LegLink::Trunk) continue;
            const Sighting& s = sighting(leg.sender);
            const Sighting& g = sighting(leg.receiver);
            const std::int64_t offset = offsetOf(leg.to).value_or(0) - offsetOf(leg.from).value_or(0);
            pairWay(leg, s, g, offset);
            pairWay(leg, g, s, -offset);
        }
    }

    // The messages sent in `a` against those received in `b` (b's clock less a's: offset).
    void pairWay(Leg& leg, const Sighting& a, const Sighting& b, std::int64_t offset) {
        sent_.clear();
        got_.clear();
        for (const SeenMessage& m : a.seen)
            if (m.sent) sent_.push_back(&m);
        for (const SeenMessage& m : b.seen)
            if (!m.sent) got_.push_back(&m);
        // By type, each type's in the order of the trace (stable).
        const auto byType = [](const SeenMessage* x, const SeenMessage* y) { return x->type < y->type; };
        std::stable_sort(sent_.begin(), sent_.end(), byType);
        std::stable_sort(got_.begin(), got_.end(), byType);
        const std::int64_t tolerance = std::min<std::int64_t>(settings_.transitWindow, 1000);
        const auto lost = [&](const Sighting& where, const SeenMessage* m, bool sent) {
            leg.unmatched.push_back(UnmatchedMessage{.trace = where.trace, .record = m->record, .type = m->type, .sent = sent});
        };
        std::size_t i = 0, j = 0;
        while (i < sent_.size() || j < got_.size()) {
            if (j >= got_.size() || (i < sent_.size() && sent_[i]->type < got_[j]->type)) {
                lost(a, sent_[i++], true);
            } else if (i >= sent_.size() || got_[j]->type < sent_[i]->type) {
                lost(b, got_[j++], false);
            } else {
                const SeenMessage* x = sent_[i];
                const SeenMessage* y = got_[j];
                const std::int64_t d = (x->hasTime && y->hasTime) ? y->at - offset - x->at : 0;
                if (d >= -tolerance && d <= tolerance) {
                    leg.paired.push_back(PairedMessage{.type = x->type, .sentRecord = x->record, .receivedRecord = y->record,
                                                       .sentTrace = a.trace, .receivedTrace = b.trace, .delay = d});
                    ++i;
                    ++j;
                } else if (d < 0) {
                    lost(b, got_[j++], false);
                } else {
                    lost(a, sent_[i++], true);
                }
            }
        }
    }

    // The leg's IAM on the clock of `atSwitch` (one of its ends).
    std::optional<std::int64_t> iamAt(const Leg& leg, const std::string& atSwitch) const {
        for (const int side : {leg.sender, leg.receiver}) {
            if (side < 0) continue;
            const Sighting& s = sighting(side);
            if (s.first && ends(s).self == atSwitch && s.opened) return *s.first;
        }
        // Seen only at the other end: its time moved onto this switch's clock where known.
        for (const int side : {leg.sender, leg.receiver}) {
            if (side < 0) continue;
            const Sighting& s = sighting(side);
            if (!s.first || !s.opened) continue;
            // Only where the two clocks' offset was measured: no link stands on a guessed time.
            const auto here = offsetOf(atSwitch);
            const auto there = offsetOf(ends(s).self);
            if (!here || !there) return std::nullopt;
            return *s.first + *here - *there;
        }
        return std::nullopt;
    }

    bool transitFits(const Leg& in, const Leg& out) const {
        const Sighting& a = sighting(in.primary());
        const Sighting& l = sighting(out.primary());
        if (!suffixAgrees(a.called, l.called) && !suffixAgrees(a.called, l.originalCalled)) return false;
        if (!a.calling.empty() && !l.calling.empty() && !prefixChanged(a.calling, l.calling)) return false;
        if (a.hopCounter && l.hopCounter && *l.hopCounter + 1 != *a.hopCounter) return false;
        return true;
    }

    // Transit links at every switch: legs arriving there against legs leaving it.
    // The links an exact key decides: an arriving and a leaving leg whose IAMs carry the same key
    // (global call reference, correlation id, call reference) within the window, and no other leg
    // of either side with it. A key that differs decides nothing (a switch may give its own call
    // reference): the numbers are asked then.
    template <class AtSwitch>
    void exactLinks(const AtSwitch& atSwitch) {
        for (const auto& [name, lists] : atSwitch) {
            std::unordered_map<std::string_view, std::vector<std::pair<std::int64_t, int>>> leavingByKey;
            for (const auto& [suffix, t, leg] : lists.second) {
                const std::string& key = sighting(r_.legs[static_cast<std::size_t>(leg)].primary()).exactKey;
                if (key.empty()) continue;
                auto& list = leavingByKey[key];
                if (list.empty() || list.back().second != leg) list.emplace_back(t, leg);
            }
            if (leavingByKey.empty()) continue;
            std::unordered_map<int, int> arrivalsOf;  // leaving leg -> arriving legs with its key in the window
            std::vector<std::pair<int, int>> pairs;
            for (const auto& [suffix, t, in] : lists.first) {
                const std::string& key = sighting(r_.legs[static_cast<std::size_t>(in)].primary()).exactKey;
                const auto found = key.empty() ? leavingByKey.end() : leavingByKey.find(key);
                if (found == leavingByKey.end()) continue;
                int only = -1, count = 0;
                for (const auto& [lt, out] : found->second) {
                    if (lt < t || lt > t + settings_.transitWindow || out == in) continue;
                    only = out;
                    ++count;
                    ++arrivalsOf[out];
                }
                if (count == 1) pairs.emplace_back(in, only);
            }
            for (const auto& [in, out] : pairs) {
                Leg& a = r_.legs[static_cast<std::size_t>(in)];
                Leg& l = r_.legs[static_cast<std::size_t>(out)];
                if (arrivalsOf[out] != 1 || a.next >= 0 || l.previous >= 0) continue;
                a.next = out;
                l.previous = in;
                ++r_.exactLinks;
            }
        }
    }

    // The last six digits of a number as a key (0: fewer than six).
    static std::uint64_t suffixKey(std::string_view digits) {
        if (digits.size() < kSuffixDigits) return 0;
        return std::hash<std::string_view>{}(digits.substr(digits.size() - kSuffixDigits)) | 1u;
    }

    // Transit links at every switch: legs arriving there against legs leaving it. The leaving legs
    // are looked up by the last six digits of their called (and original called) number, then by
    // time, so that each arriving leg meets only those that may fit.
    void transit() {
        arrivingFits_.assign(r_.legs.size(), 0);
        using Entry = std::tuple<std::uint64_t, std::int64_t, int>;  // suffix, time on the switch's clock, leg
        std::map<std::string, std::pair<std::vector<Entry>, std::vector<Entry>>> atSwitch;
        for (std::size_t i = 0; i < r_.legs.size(); ++i) {
            const Leg& leg = r_.legs[i];
            if (leg.primary() < 0 || !sighting(leg.primary()).opened) continue;
            const Sighting& s = sighting(leg.primary());
            const int index = static_cast<int>(i);
            if (!leg.to.empty())
                if (const auto t = iamAt(leg, leg.to); t && suffixKey(s.called) != 0)
                    atSwitch[leg.to].first.emplace_back(suffixKey(s.called), *t, index);
            if (!leg.from.empty()) {
                if (const auto t = iamAt(leg, leg.from)) {
                    const std::uint64_t called = suffixKey(s.called);
                    const std::uint64_t original = suffixKey(s.originalCalled);
                    auto& leaving = atSwitch[leg.from].second;
                    if (called != 0) leaving.emplace_back(called, *t, index);
                    if (original != 0 && original != called) leaving.emplace_back(original, *t, index);
                }
            }
        }
        exactLinks(atSwitch);
        std::vector<int> fits;
        for (auto& [name, lists] : atSwitch) {
            auto& arriving = lists.first;  // not a structured binding: the lambda below uses them
            auto& leaving = lists.second;
            std::sort(arriving.begin(), arriving.end(), [](const Entry& x, const Entry& y) { return std::get<1>(x) < std::get<1>(y); });
            std::sort(leaving.begin(), leaving.end());
            // Pass one: how many arriving legs each leaving leg fits. Pass two: link the pairs that
            // fit only each other; name the candidates of the others.
            const auto fitsOf = [&](const Entry& arrival, std::vector<int>& into) {
                into.clear();
                const auto [suffix, t, in] = arrival;
                auto k = std::lower_bound(leaving.begin(), leaving.end(), Entry{suffix, t, std::numeric_limits<int>::min()});
                for (; k != leaving.end() && std::get<0>(*k) == suffix && std::get<1>(*k) <= t + settings_.transitWindow; ++k) {
                    const int out = std::get<2>(*k);
                    // Legs an exact key linked are taken.
                    if (r_.legs[static_cast<std::size_t>(in)].next >= 0 || r_.legs[static_cast<std::size_t>(out)].previous >= 0) continue;
                    if (out != in && transitFits(r_.legs[static_cast<std::size_t>(in)], r_.legs[static_cast<std::size_t>(out)]))
                        into.push_back(out);
                }
            };
            for (const Entry& arrival : arriving) {
                fitsOf(arrival, fits);
                for (const int out : fits) ++arrivingFits_[static_cast<std::size_t>(out)];
            }
            for (const Entry& arrival : arriving) {
                fitsOf(arrival, fits);
                if (fits.empty()) continue;
                const int in = std::get<2>(arrival);
                Leg& a = r_.legs[static_cast<std::size_t>(in)];
                Leg& first = r_.legs[static_cast<std::size_t>(fits.front())];
                if (fits.size() == 1 && arrivingFits_[static_cast<std::size_t>(fits.front())] == 1) {
                    if (a.next < 0 && first.previous < 0) {
                        a.next = fits.front();
                        first.previous = in;
                    }
                    continue;
                }
                // Several fit: no link; each names the others that fit with it.
                ++r_.ambiguousLinks;
                for (const int out : fits) {
                    if (std::find(a.ambiguous.begin(), a.ambiguous.end(), out) == a.ambiguous.end()) a.ambiguous.push_back(out);
                    Leg& l = r_.legs[static_cast<std::size_t>(out)];
                    if (std::find(l.ambiguous.begin(), l.ambiguous.end(), in) == l.ambiguous.end()) l.ambiguous.push_back(in);
                }
            }
        }
    }

    // The legs chained into journeys, and each journey's story.
    void journeys() {
        for (std::size_t i = 0; i < r_.legs.size(); ++i) {
            if (r_.legs[i].previous >= 0) continue;
            Journey j;
            // journey >= 0 marks a leg taken: a chain that came back to one ends there.
            for (int at = static_cast<int>(i); at >= 0 && r_.legs[static_cast<std::size_t>(at)].journey < 0;
                 at = r_.legs[static_cast<std::size_t>(at)].next) {
                j.legs.push_back(at);
                r_.legs[static_cast<std::size_t>(at)].journey = 0;
            }
            story(j);
            r_.journeys.push_back(std::move(j));
        }
        // Failed first, then by start: an order of indices, then each journey moved once.
        std::vector<std::tuple<bool, std::int64_t, std::uint32_t>> order;
        order.reserve(r_.journeys.size());
        for (std::size_t k = 0; k < r_.journeys.size(); ++k)
            order.emplace_back(r_.journeys[k].outcome == "answered", r_.journeys[k].start.value_or(INT64_MAX), static_cast<std::uint32_t>(k));
        std::sort(order.begin(), order.end());
        std::vector<Journey> sorted;
        sorted.reserve(order.size());
        for (const auto& [answered, start, k] : order) sorted.push_back(std::move(r_.journeys[k]));
        r_.journeys = std::move(sorted);
        for (std::size_t k = 0; k < r_.journeys.size(); ++k) {
            r_.journeys[k].id = static_cast<std::uint32_t>(k + 1);
            for (const int leg : r_.journeys[k].legs) r_.legs[static_cast<std::size_t>(leg)].journey = static_cast<int>(k + 1);
        }
    }

    void story(Journey& j) {
        const Leg& head = r_.legs[static_cast<std::size_t>(j.legs.front())];
        const Leg& tail = r_.legs[static_cast<std::size_t>(j.legs.back())];
        j.origin = head.from;
        j.final = tail.to;
        // The origin's view: its own sighting of the first leg, else the far end's.
        const Sighting& o = sighting(head.primary());
        j.outcome = std::string(outcomeName(o.outcome));
        if (o.first) j.start = r_.common(o.trace, *o.first);
        if (o.opened && o.first) {
            if (o.firstBackward) j.setup = *o.firstBackward - *o.first;
            if (o.answer) j.answer = *o.answer - *o.first;
        }
        for (std::size_t k = 0; k < j.legs.size(); ++k) {
            const Leg& leg = r_.legs[static_cast<std::size_t>(j.legs[k])];
            j.unmatched += static_cast<std::uint32_t>(leg.unmatched.size());
            if (!leg.ambiguous.empty()) j.ambiguous = true;
            if (k + 1 == j.legs.size()) break;
            const Leg& next = r_.legs[static_cast<std::size_t>(j.legs[k + 1])];
            Hop hop;
            hop.atSwitch = leg.to;
            hop.arriving = j.legs[k];
            hop.leaving = j.legs[k + 1];
            const auto in = iamAt(leg, leg.to);
            const auto out = iamAt(next, next.from);
            if (in && out) hop.delay = *out - *in;
            const int arrivingSide = leg.receiver >= 0 ? leg.receiver : leg.sender;
            const int leavingSide = next.sender >= 0 ? next.sender : next.receiver;
            hop.changes = changesBetween(sighting(arrivingSide).iamFacts, sighting(leavingSide).iamFacts, keys_.refs,
                                         hopCounter_);
            j.hops.push_back(std::move(hop));
        }
        releaseBegan(j);
    }

    // Where the release began: the switch that sent a REL of the journey before it received one
    // (each switch on its own clock), with that REL's cause and location. A REL seen only where
    // it was received still names its sender.
    void releaseBegan(Journey& j) {
        struct Seen {
            std::optional<std::int64_t> sent, received;  // the switch's first REL sent, received
            std::optional<std::int64_t> common;          // when it sent it, on the common clock
            std::optional<std::uint32_t> cause, location;
            bool sender = false;
        };
        std::map<std::string, Seen> bySwitch;
        for (const int li : j.legs) {
            const Leg& leg = r_.legs[static_cast<std::size_t>(li)];
            for (const int side : {leg.sender, leg.receiver}) {
                if (side < 0) continue;
                const Sighting& s = sighting(side);
                if (!s.release) continue;
                const TraceEnds& e = ends(s);
                // The far end: the trace's, or of a capture the leg's other end.
                const std::string& far = !e.far.empty() ? e.far : leg.from == e.self ? leg.to : leg.from;
                Seen& by = bySwitch[s.releaseSent ? e.self : far];
                by.sender = true;
                if (s.releaseSent && (!by.sent || *s.release < *by.sent)) {
                    by.sent = *s.release;
                    by.common = r_.common(s.trace, *s.release);
                    by.cause = s.cause;
                    by.location = s.location;
                } else if (!by.sent && !by.cause) {
                    by.cause = s.cause;
                    by.location = s.location;
                }
                if (!s.releaseSent) {
                    Seen& to = bySwitch[e.self];
                    if (!to.received || *s.release < *to.received) to.received = *s.release;
                }
            }
        }
        const Seen* best = nullptr;
        for (const auto& [name, seen] : bySwitch) {
            if (!seen.sender) continue;
            // A switch that sent its REL in the same hundredth it received one passed it on.
            const bool began = seen.sent ? (!seen.received || *seen.sent < *seen.received) : !seen.received;
            if (!began) continue;
            // Of two that began (both sides released at once), the one that received none, else the
            // earlier on the common clock.
            if (best != nullptr) {
                const bool better = (!seen.received && best->received) ||
                                    (seen.received.has_value() == best->received.has_value() && seen.common && best->common &&
                                     *seen.common < *best->common);
                if (!better) continue;
            }
            best = &seen;
            j.releasedAt = name;
        }
        if (best != nullptr) {
            j.cause = best->cause;
            j.location = best->location;
        }
    }

    JourneyReport& r_;
    const JourneySettings& settings_;
    const JourneyBuilder::FactKeys& keys_;
    const int hopCounter_ = fieldRef("hop_counter.hop_counter").parameterCode;
    std::vector<std::vector<int>> byTrace_;
    std::vector<int> sightingLeg_;
    std::vector<int> fitsOfReceived_;
    std::vector<int> arrivingFits_;    // per leg: arriving legs it fits as the leaving one (transit)  // per sighting: sent IAMs it fits (linkEnds)
    std::vector<const SeenMessage*> sent_, got_;  // pairWay's, reused
};

}  // namespace

JourneyReport JourneyBuilder::finish() {
    // Calls still open when a trace ended came through callFinished already (the run finishes
    // them); what is left had no call.
    open_.clear();
    std::erase_if(report_.sightings, [](const Sighting& s) { return !s.finished; });
    // A trace's times from the midnight before its date, so that traces of different days line up.
    std::int64_t firstDay = INT64_MAX;
    for (const std::int64_t d : dayOf_)
        if (d != 0) firstDay = std::min(firstDay, d);
    if (firstDay != INT64_MAX) {
        for (Sighting& s : report_.sightings) {
            const std::int64_t shift = dayOf_[s.trace] == 0 ? 0 : (dayOf_[s.trace] - firstDay) * kDayMilliseconds;
            if (shift == 0) continue;
            for (auto* m : {&s.first, &s.firstBackward, &s.addressComplete, &s.answer, &s.release, &s.releaseComplete, &s.last})
                if (*m) **m += shift;
            for (SeenMessage& m : s.seen) m.at += shift;
        }
        for (std::size_t t = 0; t < lastAt_.size(); ++t)
            if (lastAt_[t] && dayOf_[t] != 0) *lastAt_[t] += (dayOf_[t] - firstDay) * kDayMilliseconds;
        report_.firstDay = firstDay;
    }
    report_.lastInstant = lastAt_;
    Linker(report_, settings_, keys_).run();
    return std::move(report_);
}

}  // namespace truno
