#include "analysis/journeys/Journeys.h"

#include "analysis/journeys/Linker.h"

#include "analysis/facts/LogClock.h"
#include "base/Times.h"
#include "dispatch/Codes.h"
#include "dispatch/FieldRegistry.h"

#include <algorithm>
#include <charconv>

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
    // The call's sighting is made in place at its first message and filled as it goes. Its
    // later messages find it in the small table of recent calls, rarely in the map.
    const std::uint64_t key = openKey(trace, call->firstRecord);
    RecentCall& recent = recentCalls_[key % recentCalls_.size()];
    if (recent.key != key || recent.sighting == nullptr) {
        const auto [slot, opened] = open_.try_emplace(key, static_cast<std::uint32_t>(report_.sightings.size()));
        if (opened) {
            Sighting& fresh = report_.sightings.emplace_back();
            fresh.trace = trace;
            fresh.firstRecord = call->firstRecord;
            fresh.seen.reserve(8);
        }
        recent = RecentCall{.key = key, .sighting = &report_.sightings[slot->second]};
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

void JourneyBuilder::callFinished(std::uint32_t trace, const Call& call) {
    const std::uint64_t key = openKey(trace, call.firstRecord);
    if (RecentCall& recent = recentCalls_[key % recentCalls_.size()]; recent.key == key) recent = RecentCall{};
    const auto found = open_.find(key);
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
}

JourneyReport JourneyBuilder::finish() {
    // Calls still open when a trace ended came through callFinished already (the run finishes
    // them); what is left had no call.
    open_.clear();
    recentCalls_.fill(RecentCall{});
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
    journeys::Linker(report_, settings_, keys_).run();
    return std::move(report_);
}

}  // namespace truno
