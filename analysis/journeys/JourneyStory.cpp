#include "analysis/journeys/Linker.h"

#include "dispatch/FieldRegistry.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace truno::journeys {

namespace {


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
    sortFew(out, [](const PackedFact& a, const PackedFact& b) { return a.id < b.id; });
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
    // Kept from hop to hop: their room is made once.
    static thread_local std::vector<PackedFact> a, l;
    static thread_local std::vector<int> paramsA, paramsL, named;
    unpack(arriving, a);
    unpack(leaving, l);
    paramsA.clear();
    paramsL.clear();
    named.clear();
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

// The legs chained into journeys, and each journey's story.
void Linker::journeys() {
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
    // By start (a journey with none first), then by the origin's trace and record: an order of
    // indices, then each journey moved once. Candidates are named in the order of their traces.
    const auto originOf = [this](const Journey& j) -> const Sighting& {
        return sighting(r_.legs[static_cast<std::size_t>(j.legs.front())].primary());
    };
    std::vector<std::tuple<std::int64_t, std::uint32_t, std::uint64_t, std::uint32_t>> order;
    order.reserve(r_.journeys.size());
    for (std::size_t k = 0; k < r_.journeys.size(); ++k) {
        const Sighting& o = originOf(r_.journeys[k]);
        order.emplace_back(r_.journeys[k].start.value_or(INT64_MIN), o.trace, o.firstRecord, static_cast<std::uint32_t>(k));
    }
    std::sort(order.begin(), order.end());
    std::vector<Journey> sorted;
    sorted.reserve(order.size());
    for (const auto& [start, trace, record, k] : order) sorted.push_back(std::move(r_.journeys[k]));
    r_.journeys = std::move(sorted);
    for (Leg& leg : r_.legs) {
        if (leg.ambiguous.size() < 2) continue;
        std::sort(leg.ambiguous.begin(), leg.ambiguous.end(), [this](int x, int y) {
            const Sighting& a = sighting(r_.legs[static_cast<std::size_t>(x)].primary());
            const Sighting& b = sighting(r_.legs[static_cast<std::size_t>(y)].primary());
            return std::make_pair(a.trace, a.firstRecord) < std::make_pair(b.trace, b.firstRecord);
        });
    }
}

void Linker::story(Journey& j) {
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
void Linker::releaseBegan(Journey& j) {
    struct Seen {
        std::optional<std::int64_t> sent, received;  // the switch's first REL sent, received
        std::optional<std::int64_t> common;          // when it sent it, on the common clock
        std::optional<std::uint32_t> cause, location;
        bool sender = false;
    };
    // Per switch (a journey crosses a few): a list, not a map, kept from journey to journey.
    static thread_local std::vector<std::pair<std::string, Seen>> bySwitch;
    bySwitch.clear();
    const auto at = [](const std::string& name) -> Seen& {
        for (auto& [n, seen] : bySwitch)
            if (n == name) return seen;
        return bySwitch.emplace_back(name, Seen{}).second;
    };
    for (const int li : j.legs) {
        const Leg& leg = r_.legs[static_cast<std::size_t>(li)];
        for (const int side : {leg.sender, leg.receiver}) {
            if (side < 0) continue;
            const Sighting& s = sighting(side);
            if (!s.release) continue;
            const TraceEnds& e = ends(s);
            // The far end: the trace's, or of a capture the leg's other end.
            const std::string& far = !e.far.empty() ? e.far : leg.from == e.self ? leg.to : leg.from;
            Seen& by = at(s.releaseSent ? e.self : far);
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
                Seen& to = at(e.self);
                if (!to.received || *s.release < *to.received) to.received = *s.release;
            }
        }
    }
    const Seen* best = nullptr;
    // By name, so that of two alike the first by name stays.
    std::sort(bySwitch.begin(), bySwitch.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
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

}  // namespace truno::journeys
