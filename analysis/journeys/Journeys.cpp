#include "analysis/journeys/Journeys.h"

#include "analysis/facts/LogClock.h"
#include "base/Times.h"
#include "dispatch/Codes.h"
#include "dispatch/FieldRegistry.h"

#include <algorithm>
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

bool suffixAgrees(std::string_view a, std::string_view b) {
    if (a.size() < kSuffixDigits || b.size() < kSuffixDigits) return false;
    const std::size_t n = std::min(a.size(), b.size());
    return a.substr(a.size() - n) == b.substr(b.size() - n) ||
           a.substr(a.size() - kSuffixDigits) == b.substr(b.size() - kSuffixDigits);
}

std::optional<std::uint32_t> leadingNumber(std::string_view text) {
    std::uint32_t n = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i < 9; ++i) n = n * 10 + static_cast<std::uint32_t>(text[i] - '0');
    if (i == 0) return std::nullopt;
    return n;
}

const FieldRef& fieldOf(std::string_view key) {
    static std::unordered_map<std::string_view, FieldRef> refs;
    auto found = refs.find(key);
    if (found == refs.end()) found = refs.emplace(key, fieldRef(key)).first;
    return found->second;
}

// The IAM's typed facts as "key\tvalue\n" lines, sorted by key; the record's own lines left out.
void iamFactsOf(const MessageFacts& facts, std::string& out) {
    std::vector<std::string> lines;
    std::string line;
    for (const FieldFact& f : facts.fields()) {
        if (f.ref.parameterCode < 0) continue;
        line.clear();
        appendWholeKey(line, f.ref);
        line += '\t';
        if (f.isNumber())
            line += std::to_string(f.number);
        else if (f.type() == FieldType::Digits && f.hasNumber)
            line += f.digits();
        else
            foldValue(line, f.valueText());
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    out.clear();
    for (const std::string& l : lines) {
        out += l;
        out += '\n';
    }
}

std::optional<std::int64_t> median(std::vector<std::int64_t>& v) {
    if (v.empty()) return std::nullopt;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// The changes between two IAMs' facts: keys whose values differ, and keys of parameters present
// in one only (named once, by the parameter's key). The hop counter is expected to change.
std::vector<FactChange> changesBetween(std::string_view arriving, std::string_view leaving) {
    std::map<std::string, std::pair<std::string, std::string>> keys;
    std::set<std::string> paramsA, paramsL;
    const auto read = [&](std::string_view text, bool isLeaving) {
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\n', at);
            const std::string_view line = text.substr(at, end - at);
            at = end + 1;
            const std::size_t tab = line.find('\t');
            const std::string key(line.substr(0, tab));
            auto& values = keys[key];
            std::string& value = isLeaving ? values.second : values.first;
            if (!value.empty()) continue;  // a repeated key: its first occurrence
            value = std::string(line.substr(tab + 1));
            if (value.empty()) value = " ";
            (isLeaving ? paramsL : paramsA).insert(key.substr(0, key.find('.')));
        }
    };
    read(arriving, false);
    read(leaving, true);
    std::vector<FactChange> out;
    std::set<std::string> namedParameters;
    for (const auto& [key, values] : keys) {
        const std::string parameter = key.substr(0, key.find('.'));
        if (parameter == "hop_counter") continue;
        const bool inA = paramsA.contains(parameter);
        const bool inL = paramsL.contains(parameter);
        if (inA != inL) {
            if (namedParameters.insert(parameter).second)
                out.push_back(FactChange{.key = parameter, .arriving = inA ? "present" : "", .leaving = inL ? "present" : ""});
            continue;
        }
        if (values.first != values.second) out.push_back(FactChange{.key = key, .arriving = values.first, .leaving = values.second});
    }
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
    if (call == nullptr) return;
    Sighting& s = open_[openKey(trace, call->firstRecord)];
    if (s.seen.empty()) {
        s.trace = trace;
        s.firstRecord = call->firstRecord;
    }
    if (record.typeCode < 0) return;
    s.seen.push_back(SeenMessage{.at = at.value_or(0), .record = record.record, .type = static_cast<std::uint8_t>(record.typeCode),
                                 .hasTime = at.has_value(), .sent = record.direction == Direction::Sent});
    if (record.typeCode != codes::kInitialAddress || !s.iamFacts.empty()) return;
    iamFactsOf(facts, s.iamFacts);
    if (const FieldFact* f = facts.find(fieldOf("original_called_number.address_signals")); f != nullptr && f->hasNumber)
        s.originalCalled = f->digits();
    if (const FieldFact* f = facts.find(fieldOf("redirecting_number.contents")))
        s.redirecting = f->valueText();
    if (const FieldFact* f = facts.find(fieldOf("calling_partys_category.category")); f != nullptr && f->isNumber())
        s.category = static_cast<std::uint32_t>(f->number);
    if (const FieldFact* f = facts.find(fieldOf("hop_counter.hop_counter")); f != nullptr && f->isNumber())
        s.hopCounter = static_cast<std::uint32_t>(f->number);
}

void JourneyBuilder::callFinished(std::uint32_t trace, const Call& call) {
    const auto found = open_.find(openKey(trace, call.firstRecord));
    Sighting s;
    if (found != open_.end()) {
        s = std::move(found->second);
        open_.erase(found);
    }
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
    report_.sightings.push_back(std::move(s));
}

namespace {

// The linking, over what the builder collected.
class Linker {
public:
    Linker(JourneyReport& report, const JourneySettings& settings) : r_(report), settings_(settings) {}

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
        // (circuit at a, called, calling, whether sent at b) -> b's sightings.
        std::map<std::tuple<std::int64_t, std::string, std::string, bool>, std::vector<int>> atB;
        std::uint32_t sentA = 0, receivedA = 0, sentB = 0, receivedB = 0;
        for (const int i : byTrace_[b]) {
            const Sighting& s = sighting(i);
            if (!s.opened || !s.first) continue;
            (s.iamSent ? sentB : receivedB)++;
            atB[{static_cast<std::int64_t>(s.cic) - cicShift, s.called, s.calling, s.iamSent}].push_back(i);
        }
        std::vector<std::int64_t> samples;
        std::uint32_t sameWay = 0;
        for (const int i : byTrace_[a]) {
            const Sighting& s = sighting(i);
            if (!s.opened || !s.first) continue;
            (s.iamSent ? sentA : receivedA)++;
            const auto other = atB.find({s.cic, s.called, s.calling, !s.iamSent});
            if (other != atB.end() && other->second.size() == 1) {
                const Sighting& o = sighting(other->second.front());
                // Received less sent, each way.
                samples.push_back(*o.first - *s.first);
            }
            if (const auto same = atB.find({s.cic, s.called, s.calling, s.iamSent}); same != atB.end()) ++sameWay;
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
            if (s.opened) {
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
        std::unordered_map<std::int64_t, std::vector<int>> received;  // circuit at from -> sightings at to
        for (const int i : byTrace_[to]) {
            const Sighting& s = sighting(i);
            if (s.opened && !s.iamSent && s.first) received[static_cast<std::int64_t>(s.cic) - cicShift].push_back(i);
        }
        const auto fits = [&](const Sighting& sent, const Sighting& got) {
            const std::int64_t d = *got.first - offset - *sent.first;
            return d >= -settings_.transitWindow && d <= settings_.transitWindow &&
                   (sent.called.empty() || got.called.empty() || sent.called == got.called);
        };
        std::unordered_map<int, int> fitsOfReceived;
        std::vector<std::pair<int, int>> pairs;
        for (const int i : byTrace_[from]) {
            const Sighting& s = sighting(i);
            if (!s.opened || !s.iamSent || !s.first) continue;
            const auto c = received.find(s.cic);
            if (c == received.end()) continue;
            int only = -1, count = 0;
            for (const int j : c->second)
                if (fits(s, sighting(j))) {
                    only = j;
                    ++count;
                    ++fitsOfReceived[j];
                }
            if (count == 1) pairs.emplace_back(i, only);
        }
        for (const auto& [i, j] : pairs) {
            if (fitsOfReceived[j] != 1) continue;
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
        std::map<std::uint8_t, std::pair<std::vector<const SeenMessage*>, std::vector<const SeenMessage*>>> byType;
        for (const SeenMessage& m : a.seen)
            if (m.sent) byType[m.type].first.push_back(&m);
        for (const SeenMessage& m : b.seen)
            if (!m.sent) byType[m.type].second.push_back(&m);
        const std::int64_t tolerance = std::min<std::int64_t>(settings_.transitWindow, 1000);
        for (auto& [type, lists] : byType) {
            auto& [sent, got] = lists;
            std::size_t i = 0, j = 0;
            while (i < sent.size() || j < got.size()) {
                if (i < sent.size() && j < got.size()) {
                    const std::int64_t d = (got[j]->hasTime && sent[i]->hasTime) ? got[j]->at - offset - sent[i]->at : 0;
                    if (d >= -tolerance && d <= tolerance) {
                        leg.paired.push_back(PairedMessage{.type = type, .sentRecord = sent[i]->record, .receivedRecord = got[j]->record,
                                                           .sentTrace = a.trace, .receivedTrace = b.trace, .delay = d});
                        ++i;
                        ++j;
                        continue;
                    }
                    if (d < 0) {
                        leg.unmatched.push_back(UnmatchedMessage{.trace = b.trace, .record = got[j++]->record, .type = type, .sent = false});
                    } else {
                        leg.unmatched.push_back(UnmatchedMessage{.trace = a.trace, .record = sent[i++]->record, .type = type, .sent = true});
                    }
                } else if (i < sent.size()) {
                    leg.unmatched.push_back(UnmatchedMessage{.trace = a.trace, .record = sent[i++]->record, .type = type, .sent = true});
                } else {
                    leg.unmatched.push_back(UnmatchedMessage{.trace = b.trace, .record = got[j++]->record, .type = type, .sent = false});
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
        if (!a.calling.empty() && !l.calling.empty() && !suffixAgrees(a.calling, l.calling) && a.calling != l.calling) return false;
        if (a.hopCounter && l.hopCounter && *l.hopCounter + 1 != *a.hopCounter) return false;
        return true;
    }

    // Transit links at every switch: legs arriving there against legs leaving it.
    void transit() {
        std::map<std::string, std::pair<std::vector<std::pair<std::int64_t, int>>, std::vector<std::pair<std::int64_t, int>>>> atSwitch;
        for (std::size_t i = 0; i < r_.legs.size(); ++i) {
            const Leg& leg = r_.legs[i];
            if (leg.primary() < 0 || !sighting(leg.primary()).opened) continue;
            if (!leg.to.empty())
                if (const auto t = iamAt(leg, leg.to)) atSwitch[leg.to].first.emplace_back(*t, static_cast<int>(i));
            if (!leg.from.empty())
                if (const auto t = iamAt(leg, leg.from)) atSwitch[leg.from].second.emplace_back(*t, static_cast<int>(i));
        }
        for (auto& [name, lists] : atSwitch) {
            auto& [arriving, leaving] = lists;
            std::sort(arriving.begin(), arriving.end());
            std::sort(leaving.begin(), leaving.end());
            std::unordered_map<int, std::vector<int>> fitsOfLeaving;
            std::vector<std::pair<int, std::vector<int>>> fitsOfArriving;
            std::size_t begin = 0;
            for (const auto& [t, in] : arriving) {
                while (begin < leaving.size() && leaving[begin].first < t) ++begin;
                std::vector<int> fits;
                for (std::size_t k = begin; k < leaving.size() && leaving[k].first <= t + settings_.transitWindow; ++k) {
                    const int out = leaving[k].second;
                    if (out == in) continue;
                    if (transitFits(r_.legs[static_cast<std::size_t>(in)], r_.legs[static_cast<std::size_t>(out)])) {
                        fits.push_back(out);
                        fitsOfLeaving[out].push_back(in);
                    }
                }
                if (!fits.empty()) fitsOfArriving.emplace_back(in, std::move(fits));
            }
            for (auto& [in, fits] : fitsOfArriving) {
                Leg& a = r_.legs[static_cast<std::size_t>(in)];
                const std::vector<int>& back = fitsOfLeaving[fits.front()];
                if (fits.size() == 1 && back.size() == 1) {
                    Leg& l = r_.legs[static_cast<std::size_t>(fits.front())];
                    if (a.next < 0 && l.previous < 0) {
                        a.next = fits.front();
                        l.previous = in;
                    }
                    continue;
                }
                // Several fit: no link; each names its candidates.
                ++r_.ambiguousLinks;
                std::vector<int> all = fits;
                for (const int out : fits) {
                    for (const int other : fitsOfLeaving[out])
                        if (other != in) all.push_back(other);
                    Leg& l = r_.legs[static_cast<std::size_t>(out)];
                    for (const int other : fitsOfLeaving[out])
                        if (std::find(l.ambiguous.begin(), l.ambiguous.end(), other) == l.ambiguous.end()) l.ambiguous.push_back(other);
                }
                for (const int c : all)
                    if (c != in && std::find(a.ambiguous.begin(), a.ambiguous.end(), c) == a.ambiguous.end()) a.ambiguous.push_back(c);
            }
        }
    }

    // The legs chained into journeys, and each journey's story.
    void journeys() {
        for (std::size_t i = 0; i < r_.legs.size(); ++i) {
            if (r_.legs[i].previous >= 0) continue;
            Journey j;
            std::unordered_set<int> seen;
            for (int at = static_cast<int>(i); at >= 0 && seen.insert(at).second; at = r_.legs[static_cast<std::size_t>(at)].next) {
                j.legs.push_back(at);
                r_.legs[static_cast<std::size_t>(at)].journey = 0;
            }
            story(j);
            r_.journeys.push_back(std::move(j));
        }
        // Failed first, then by start.
        std::stable_sort(r_.journeys.begin(), r_.journeys.end(), [](const Journey& a, const Journey& b) {
            const bool failedA = a.outcome != "answered";
            const bool failedB = b.outcome != "answered";
            if (failedA != failedB) return failedA;
            return a.start.value_or(INT64_MAX) < b.start.value_or(INT64_MAX);
        });
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
            hop.changes = changesBetween(sighting(arrivingSide).iamFacts, sighting(leavingSide).iamFacts);
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
                Seen& by = bySwitch[s.releaseSent ? e.self : e.far];
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
            const bool began = seen.sent ? (!seen.received || *seen.sent <= *seen.received) : !seen.received;
            if (!began) continue;
            if (best != nullptr && !(seen.common && best->common && *seen.common < *best->common)) continue;
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
    std::vector<std::vector<int>> byTrace_;
    std::vector<int> sightingLeg_;
};

}  // namespace

JourneyReport JourneyBuilder::finish() {
    // Calls still open when a trace ended came through callFinished already (the run finishes
    // them); what is left had no call.
    open_.clear();
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
    Linker(report_, settings_).run();
    return std::move(report_);
}

}  // namespace truno
