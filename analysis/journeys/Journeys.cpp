#include "analysis/journeys/Journeys.h"

#include "analysis/journeys/Linker.h"
#include "analysis/journeys/SightingSpill.h"

#include "analysis/facts/LogClock.h"
#include "base/Times.h"
#include "dispatch/Codes.h"
#include "dispatch/FieldRegistry.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <tuple>

namespace truno {
namespace {

constexpr std::int64_t kDayMilliseconds = 86400000;

std::uint64_t openKey(std::uint32_t trace, std::uint64_t firstRecord) { return (std::uint64_t{trace} << 48) | firstRecord; }

std::optional<std::uint32_t> leadingNumber(std::string_view text) {
    std::uint32_t n = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i < 9; ++i) n = n * 10 + static_cast<std::uint32_t>(text[i] - '0');
    if (i == 0) return std::nullopt;
    return n;
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
    std::optional<std::uint32_t> code;
    if (report_.traces.back().declared) code = leadingNumber(report_.traces.back().self);
    if (code && std::to_string(*code) != report_.traces.back().self) code.reset();  // a switch's name, not a point code
    selfCode_.push_back(code);
    captured_.push_back(false);
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
    const bool sent = pointCodes && selfCode_[trace] ? wire.opc == *selfCode_[trace] : record.direction == Direction::Sent;
    if (pointCodes) captured_[trace] = true;
    if (pointCodes && !report_.traces[trace].declared && record.direction != Direction::Unknown) {
        // A capture: this side is the point code that sends what it sends.
        report_.traces[trace].self = std::to_string(record.direction == Direction::Sent ? wire.opc : wire.dpc);
        report_.traces[trace].declared = true;
    }
    if (call == nullptr) return;
    // The call's sighting is made in place at its first message (in a slot of the pool a finished
    // call left, where there is one) and filled as it goes. Its later messages find it in the
    // small table of recent calls, rarely in the map.
    const std::uint64_t key = openKey(trace, call->firstRecord);
    RecentCall& recent = recentCalls_[key % recentCalls_.size()];
    if (recent.key != key || recent.sighting == nullptr) {
        const auto [slot, opened] = open_.try_emplace(key, 0);
        if (opened) {
            if (free_.empty()) {
                slot->second = static_cast<std::uint32_t>(pool_.size());
                pool_.emplace_back().seen.reserve(8);
            } else {
                slot->second = free_.back();
                free_.pop_back();
            }
            Sighting& fresh = pool_[slot->second];
            fresh.trace = trace;
            fresh.firstRecord = call->firstRecord;
        }
        recent = RecentCall{.key = key, .sighting = &pool_[slot->second]};
    }
    if (recent.sighting == nullptr) return;  // (never: it was just found or made)
    Sighting& s = *recent.sighting;
    if (record.typeCode < 0) return;
    s.seen.push_back(SeenMessage{.at = at.value_or(0), .record = static_cast<std::uint32_t>(record.record), .type = static_cast<std::uint8_t>(record.typeCode),
                                 .hasTime = at.has_value(), .sent = sent});
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
    // Packed in a buffer kept from IAM to IAM, then copied once: the sighting's text is allocated
    // at its size, not grown field by field.
    std::string& packed = packing_;
    packed.clear();
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
        packed += static_cast<char>(id & 0xFF);
        packed += static_cast<char>(id >> 8);
        packed += static_cast<char>(value.size());
        packed += value;
    }
    s.iamFacts = packed;
    if (const FieldFact* f = facts.find(originalCalled_); f != nullptr && f->hasNumber) s.originalCalled = f->digits();
    if (const FieldFact* f = facts.find(redirecting_)) s.redirecting = f->valueText();
    if (const FieldFact* f = facts.find(category_); f != nullptr && f->isNumber()) s.category = static_cast<std::uint32_t>(f->number);
    if (const FieldFact* f = facts.find(hopCounter_); f != nullptr && f->isNumber()) s.hopCounter = static_cast<std::uint32_t>(f->number);
    // The key's kind, then its value (appended: g++ 12 warns of an assignment from a literal here).
    s.exactKey.clear();
    const auto key = [&s](char kind, std::string_view value) {
        s.exactKey.push_back(kind);
        s.exactKey.append(value);
    };
    if (const FieldFact* f = facts.find(globalCallReference_)) {
        key('g', f->valueText());
    } else if (const FieldFact* c = facts.find(correlationId_); c != nullptr && c->isNumber()) {
        key('c', std::to_string(c->number));
    } else if (const FieldFact* r = facts.find(callReference_)) {
        key('r', r->valueText());
    }
}

namespace {

// The calls of each trace its clocks are measured on: its first ones.
constexpr std::size_t kSampleCalls = 4096;
// Finished calls of a trace kept before they are spilt as one sorted run.
constexpr std::size_t kRunCalls = 8192;

}  // namespace

JourneyBuilder::~JourneyBuilder() = default;

void JourneyBuilder::callFinished(std::uint32_t trace, const Call& call) {
    const std::uint64_t key = openKey(trace, call.firstRecord);
    if (RecentCall& recent = recentCalls_[key % recentCalls_.size()]; recent.key == key) recent = RecentCall{};
    Sighting made;
    Sighting* at = &made;
    const auto found = open_.find(key);
    if (found != open_.end()) {
        at = &pool_[found->second];
        free_.push_back(found->second);
        open_.erase(found);
    }
    Sighting& s = *at;
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
    if (selfCode_[trace] && captured_[trace]) {
        // A capture whose side is declared: its point codes say what was sent there.
        if (!s.iamFrom.empty()) s.iamSent = call.opened && s.iamFrom == report_.traces[trace].self;
        const auto rel = std::find_if(s.seen.begin(), s.seen.end(), [](const SeenMessage& m) { return m.type == codes::kRelease; });
        if (rel != s.seen.end()) s.releaseSent = rel->sent;
    }
    s.cause = call.cause;
    s.location = leadingNumber(call.location);
    s.calling = call.calling;
    s.called = call.called;
    s.messages = call.messages;
    s.finished = true;
    if (sample_.size() <= trace) {
        sample_.resize(trace + 1);
        lastWithoutPair_.resize(trace + 1);
        lastOfPair_.resize(trace + 1);
    }
    if (s.last) {
        if (s.iamFrom.empty()) {
            if (!lastWithoutPair_[trace] || *s.last > *lastWithoutPair_[trace]) lastWithoutPair_[trace] = s.last;
        } else {
            auto pair = s.iamFrom < s.iamTo ? std::make_pair(s.iamFrom, s.iamTo) : std::make_pair(s.iamTo, s.iamFrom);
            const auto [last, added] = lastOfPair_[trace].try_emplace(std::move(pair), *s.last);
            if (!added) last->second = std::max(last->second, *s.last);
        }
    } else if (!s.iamFrom.empty()) {
        lastOfPair_[trace].try_emplace(s.iamFrom < s.iamTo ? std::make_pair(s.iamFrom, s.iamTo) : std::make_pair(s.iamTo, s.iamFrom),
                                       std::numeric_limits<std::int64_t>::min());
    }
    if (sample_[trace].size() < kSampleCalls && s.opened && s.first) {
        // What the trunks are measured on: the IAM's circuit, way, numbers and instants.
        Sighting& kept = sample_[trace].emplace_back();
        kept.trace = s.trace;
        kept.cic = s.cic;
        kept.firstRecord = s.firstRecord;
        kept.opened = s.opened;
        kept.iamSent = s.iamSent;
        kept.first = s.first;
        kept.last = s.last;
        kept.calling = s.calling;
        kept.called = s.called;
        kept.iamFrom = s.iamFrom;
        kept.iamTo = s.iamTo;
        kept.finished = true;
    }
    if (!spill_) spill_ = std::make_unique<journeys::SightingSpill>(settings_.temporaryFile);
    spill_->add(s, kRunCalls);
    if (at != &made) {
        // The slot is made new for the next call, the room of its messages and facts kept.
        std::vector<SeenMessage> seen = std::move(s.seen);
        std::string facts = std::move(s.iamFacts);
        s = Sighting{};
        seen.clear();
        facts.clear();
        s.seen = std::move(seen);
        s.iamFacts = std::move(facts);
    }
}

void JourneyBuilder::prepare() {
    // Calls still open when a trace ended came through callFinished already (the run finishes
    // them); what is left had no call.
    open_.clear();
    pool_.clear();
    free_.clear();
    recentCalls_.fill(RecentCall{});
    const std::size_t n = report_.traces.size();
    sample_.resize(n);
    lastWithoutPair_.resize(n);
    lastOfPair_.resize(n);
    if (!spill_) spill_ = std::make_unique<journeys::SightingSpill>(settings_.temporaryFile);
    // A trace's times from the midnight before its date, so that traces of different days line up.
    std::int64_t firstDay = INT64_MAX;
    for (const std::int64_t d : dayOf_)
        if (d != 0) firstDay = std::min(firstDay, d);
    shift_.assign(n, 0);
    if (firstDay != INT64_MAX) {
        for (std::size_t t = 0; t < n; ++t) {
            shift_[t] = dayOf_[t] == 0 ? 0 : (dayOf_[t] - firstDay) * kDayMilliseconds;
            if (lastAt_[t]) *lastAt_[t] += shift_[t];
            if (lastWithoutPair_[t]) *lastWithoutPair_[t] += shift_[t];
            for (auto& [pair, last] : lastOfPair_[t])
                if (last != std::numeric_limits<std::int64_t>::min()) last += shift_[t];
        }
        report_.firstDay = firstDay;
    }
    report_.lastInstant = lastAt_;
    // The trunks and clocks, measured on each trace's first calls.
    for (auto& calls : sample_)
        for (Sighting& s : calls) {
            shiftTimes(s);
            report_.sightings.push_back(std::move(s));
        }
    sample_.clear();
    journeys::Linker linker(report_, settings_, keys_);
    linker.setLasts(lastWithoutPair_, lastOfPair_);
    linker.measureTrunks();
    report_.sightings.clear();
}

void JourneyBuilder::shiftTimes(Sighting& s) const {
    const std::int64_t shift = shift_[s.trace];
    if (shift == 0) return;
    for (auto* m : {&s.first, &s.firstBackward, &s.addressComplete, &s.answer, &s.release, &s.releaseComplete, &s.last})
        if (*m) **m += shift;
    for (SeenMessage& m : s.seen) m.at += shift;
}

JourneyReport JourneyBuilder::link(std::int64_t slice, const std::function<void(JourneyReport&, Journey&)>& emit) {
    constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kEnd = std::numeric_limits<std::int64_t>::max();
    // The slice's report: the traces, trunks and clocks, and the calls inside it and its margins.
    JourneyReport part;
    part.traces = report_.traces;
    part.trunks = report_.trunks;
    part.switchOffsets = report_.switchOffsets;
    part.offsetsApplied = report_.offsetsApplied;
    part.firstDay = report_.firstDay;
    part.lastInstant = report_.lastInstant;
    // A call's place in time: its first instant on the common clock.
    spill_->beginMerge([this](std::uint32_t trace, std::optional<std::int64_t> first) {
        return first ? report_.common(trace, *first + shift_[trace]) : kNone;
    });
    std::deque<std::int64_t> keys;  // of part.sightings
    // Sightings freed, their text and messages' room kept for the next ones read.
    std::vector<Sighting> spare;
    const auto loadBefore = [&](std::int64_t bound) {
        std::int64_t key = 0;
        while (spill_->peek(key) && key < bound) {
            Sighting& s = part.sightings.emplace_back();
            if (!spare.empty()) {
                s = std::move(spare.back());
                spare.pop_back();
            }
            spill_->pop(s);
            shiftTimes(s);
            keys.push_back(key);
        }
    };
    // A link reaches at most `reach` on the common clock: the window, and the clocks' offsets
    // where they are not applied (each trace's times stay on its own clock). The margins hold
    // every leg of a journey starting in the slice and every candidate those legs were held
    // against, and the legs those candidates were linked to.
    std::int64_t unapplied = 0;
    const bool everyClockApplied = report_.offsetsApplied && std::all_of(report_.traces.begin(), report_.traces.end(), [this](const TraceEnds& e) {
                                       return report_.switchOffsets.contains(e.self);
                                   });
    if (!everyClockApplied)
        for (const auto& [name, offset] : report_.switchOffsets) unapplied = std::max(unapplied, std::abs(offset));
    const std::int64_t reach = 2 * settings_.transitWindow + 2 * unapplied + 1;
    const std::int64_t margin = 5 * reach;
    const std::int64_t guard = 2 * reach;
    std::uint32_t nextId = 1;
    loadBefore(kNone + 1);  // the calls without a time: the first slice's
    std::int64_t peeked = 0;
    // The slice: [from, to); the first takes the earlier calls too, the last the later ones.
    std::int64_t from = spill_->peek(peeked) ? peeked : 0;
    std::vector<int> owned;
    for (bool firstSlice = true;; firstSlice = false) {
        if (!firstSlice) {
            // The calls before the slice's margin are freed; past a gap, the slice moves on.
            while (!keys.empty() && keys.front() < from - margin) {
                keys.pop_front();
                spare.push_back(std::move(part.sightings.front()));
                part.sightings.pop_front();
            }
            if (part.sightings.empty()) {
                if (!spill_->peek(peeked)) break;
                from = std::max(from, peeked);
            }
        }
        const std::int64_t to = slice == 0 ? kEnd : from + slice;
        std::int64_t loaded = slice == 0 ? kEnd : to + margin;
        for (;;) {
            loadBefore(loaded);
            if (!spill_->peek(peeked)) loaded = kEnd;
            part.legs.clear();
            part.journeys.clear();
            journeys::Linker(part, settings_, keys_).linkSlice();
            // The journeys starting in the slice (every one left, once all is read); each must
            // lie inside the margins, or the slice reads further and links again.
            owned.clear();
            bool inside = true;
            for (std::size_t k = 0; k < part.journeys.size(); ++k) {
                const Journey& j = part.journeys[k];
                const std::int64_t start = keys[static_cast<std::size_t>(part.legs[static_cast<std::size_t>(j.legs.front())].primary())];
                if (!firstSlice && start < from) continue;
                if (loaded != kEnd && start >= to) continue;
                owned.push_back(static_cast<int>(k));
                if (loaded == kEnd) continue;
                for (const int li : j.legs) {
                    const Leg& leg = part.legs[static_cast<std::size_t>(li)];
                    for (const int side : {leg.sender, leg.receiver})
                        if (side >= 0 && keys[static_cast<std::size_t>(side)] >= loaded - guard) inside = false;
                }
            }
            if (inside || loaded == kEnd) break;
            loaded += margin;
        }
        for (const int k : owned) {
            Journey& j = part.journeys[static_cast<std::size_t>(k)];
            j.id = nextId++;
            for (const int li : j.legs) part.legs[static_cast<std::size_t>(li)].journey = static_cast<int>(j.id);
            emit(part, j);
        }
        if (loaded == kEnd) break;
        from = to;
    }
    if (!spill_->error().empty()) report_.problems.push_back(spill_->error());
    return part;
}

JourneyReport JourneyBuilder::finish() {
    prepare();
    JourneyReport whole = link(0, [](JourneyReport&, Journey&) {});
    whole.problems = report_.problems;
    std::vector<TrunkEnds> trunks = report_.trunks;
    for (const Journey& j : whole.journeys) whole.tally.add(whole, j, trunks);
    whole.trunks = std::move(trunks);
    whole.switchOffsets = report_.switchOffsets;
    // Failed first, each in the order of their ids.
    std::stable_sort(whole.journeys.begin(), whole.journeys.end(), [](const Journey& a, const Journey& b) {
        return std::make_pair(a.outcome == "answered", a.id) < std::make_pair(b.outcome == "answered", b.id);
    });
    return whole;
}

JourneyReport JourneyBuilder::stream(const std::function<void(const JourneyReport&, const Journey&)>& emit) {
    prepare();
    std::vector<TrunkEnds> trunks = report_.trunks;
    JourneyTally tally;
    link(settings_.slice, [&](JourneyReport& part, Journey& j) {
        tally.add(part, j, trunks);
        emit(part, j);
    });
    JourneyReport summary = std::move(report_);
    summary.trunks = std::move(trunks);
    summary.tally = std::move(tally);
    return summary;
}

void JourneyTally::add(const JourneyReport& report, const Journey& journey, std::vector<TrunkEnds>& trunks) {
    ++journeys;
    ++byOutcome[journey.outcome];
    for (const int li : journey.legs) {
        const Leg& leg = report.legs[static_cast<std::size_t>(li)];
        ++legs;
        if (leg.previous >= 0) ++transitLinks;
        if (leg.exact) ++exactLinks;
        if (leg.arrivalAmbiguous) ++ambiguousLinks;
        if (leg.link != LegLink::Trunk) continue;
        ++trunkLegs;
        const std::uint32_t a = report.sightings[static_cast<std::size_t>(leg.sender)].trace;
        const std::uint32_t b = report.sightings[static_cast<std::size_t>(leg.receiver)].trace;
        for (TrunkEnds& t : trunks)
            if ((t.first == a && t.second == b) || (t.first == b && t.second == a)) {
                ++t.linked;
                break;
            }
    }
}

}  // namespace truno
