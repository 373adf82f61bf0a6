#include "output/JourneyExports.h"

#include "analysis/facts/LogClock.h"
#include "base/Times.h"
#include "dispatch/MessageTypes.h"
#include "output/ExportText.h"
#include "output/JsonWriter.h"
#include "parameters/callcontrol/CauseValues.h"

#include <array>
#include <charconv>
#include <initializer_list>
#include <string_view>
#include <cstdio>

namespace truno {
namespace {

using exporttext::appendCsvField;
using exporttext::kCsvLineEnd;

constexpr std::int64_t kDay = 86400000;

const Sighting& sightingOf(const JourneyReport& r, int i) { return r.sightings[static_cast<std::size_t>(i)]; }
const Leg& legOf(const JourneyReport& r, int i) { return r.legs[static_cast<std::size_t>(i)]; }

std::string secondsText(std::optional<std::int64_t> ms) {
    if (!ms) return "-";
    std::string out;
    appendSeconds(out, *ms);
    return out;
}

// An instant of a trace on the common clock, ISO 8601 with the date where the traces give one
// ("2026-12-08T10:00:01.590"), else a time of day.
std::string isoTime(const JourneyReport& r, std::uint32_t trace, std::optional<std::int64_t> at) {
    if (!at) return {};
    const std::int64_t t = r.common(trace, *at);
    const std::int64_t day = t >= 0 ? t / kDay : -1 - (-1 - t) / kDay;
    const std::int64_t ms = t - day * kDay;
    char clock[32];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
    if (!r.firstDay) {
        std::string out;
        appendInstant(out, t);
        return out;
    }
    return dateOfDays(*r.firstDay + day) + "T" + clock;
}

std::string linkOf(const Leg& leg) {
    std::string link = leg.link == LegLink::Trunk ? "trunk" : "";
    if (leg.previous >= 0) link += link.empty() ? "transit" : "+transit";
    if (link.empty()) link = leg.ambiguous.empty() ? "none" : "ambiguous";
    return link;
}

// The candidates of an ambiguous leg: "FILE#RECORD" of each candidate's sighting, joined by ";".
std::string candidatesOf(const JourneyReport& r, const Leg& leg) {
    std::string out;
    for (const int c : leg.ambiguous) {
        const Leg& other = legOf(r, c);
        const Sighting& s = sightingOf(r, other.primary());
        if (!out.empty()) out += ';';
        out += r.traces[s.trace].file + "#" + std::to_string(s.firstRecord);
    }
    return out;
}

std::string causeText(std::optional<std::uint32_t> cause) {
    if (!cause) return "-";
    std::string out = std::to_string(*cause);
    const std::string_view name = causeName(*cause);
    if (!name.empty()) out += " (" + std::string(name) + ")";
    return out;
}

void appendOptionalNumber(std::string& out, std::optional<std::uint32_t> v) {
    if (v) out += std::to_string(*v);
}

}  // namespace

std::string typeAcronym(std::uint8_t type) {
    static const std::array<std::string, 256> names = [] {
        std::array<std::string, 256> all;
        for (std::size_t c = 0; c < all.size(); ++c) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(c));
            all[c] = hex;
        }
        for (const MessageType& t : messageTypes()) all[t.code] = std::string(t.acronym);
        return all;
    }();
    return names[type];
}

void appendJourneyText(std::string& out, const JourneyReport& r, const Journey& j) {
    // Appended piece by piece (no string made per piece: this runs once per journey).
    const auto add = [&out](std::initializer_list<std::string_view> pieces) {
        for (const std::string_view piece : pieces) out += piece;
    };
    const auto number = [&out](std::uint64_t n) {
        char digits[24];
        out.append(digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits));
    };
    const auto seconds = [&out](std::optional<std::int64_t> ms) {
        if (ms)
            appendSeconds(out, *ms);
        else
            out += '-';
    };
    const auto orUnknown = [](const std::string& name) { return name.empty() ? std::string_view("?") : std::string_view(name); };
    add({"journey "});
    number(j.id);
    add({"  ", orUnknown(j.origin)});
    for (const int li : j.legs) add({" > ", orUnknown(legOf(r, li).to)});
    add({"  ", j.outcome, "  legs "});
    number(j.legs.size());
    add({"  setup "});
    seconds(j.setup);
    add({"  answer "});
    seconds(j.answer);
    out += '\n';
    if (!j.releasedAt.empty() || j.cause) {
        add({"  released at ", orUnknown(j.releasedAt), ", cause ", causeText(j.cause)});
        if (j.location) {
            add({", location "});
            number(*j.location);
        }
        out += '\n';
    }
    for (std::size_t k = 0; k < j.legs.size(); ++k) {
        const Leg& leg = legOf(r, j.legs[k]);
        add({"  leg "});
        number(k + 1);
        add({"  ", orUnknown(leg.from), ">", orUnknown(leg.to), "  cic "});
        number(leg.cic);
        add({"  ", linkOf(leg)});
        for (const int side : {leg.sender, leg.receiver}) {
            if (side < 0) continue;
            const Sighting& s = sightingOf(r, side);
            add({"  ", r.traces[s.trace].file, " #"});
            number(s.firstRecord);
            add({"-#"});
            number(s.lastRecord);
            add({" ", outcomeName(s.outcome)});
        }
        if (leg.iamDelay) {
            add({"  IAM transit "});
            seconds(leg.iamDelay);
            add({" s"});
        }
        out += '\n';
        for (const UnmatchedMessage& m : leg.unmatched) {
            add({"    ", typeAcronym(m.type), m.sent ? " sent, never received: " : " received, never sent: ", r.traces[m.trace].file, " #"});
            number(m.record);
            out += '\n';
        }
        if (!leg.ambiguous.empty()) add({"    ambiguous: not linked, candidates ", candidatesOf(r, leg), "\n"});
        if (k < j.hops.size()) {
            const Hop& hop = j.hops[k];
            add({"  at ", hop.atSwitch, ": delay added "});
            seconds(hop.delay);
            add({" s"});
            if (hop.changes.empty()) add({", nothing changed"});
            out += '\n';
            for (const FactChange& c : hop.changes)
                add({"    ", c.key, ": ", c.arriving.empty() ? std::string_view("(absent)") : std::string_view(c.arriving), " -> ",
                     c.leaving.empty() ? std::string_view("(absent)") : std::string_view(c.leaving), "\n"});
        }
    }
}

void appendJourneyJson(std::string& out, const JourneyReport& r, const Journey& j) {
    appendJsonText(out, JsonLayout::Compact, [&](JsonWriter& w) {
        w.beginObject();
        w.member("journey", std::uint64_t{j.id});
        w.textOrNull("origin", j.origin);
        w.textOrNull("final", j.final);
        w.member("legs_count", std::uint64_t{j.legs.size()});
        w.member("outcome", j.outcome);
        w.key("setup");
        if (j.setup) w.seconds(*j.setup); else w.null();
        w.key("answer");
        if (j.answer) w.seconds(*j.answer); else w.null();
        w.member("cause", j.cause);
        w.textOrNull("cause_name", j.cause ? causeName(*j.cause) : std::string_view{});
        w.member("location", j.location);
        w.textOrNull("released_at", j.releasedAt);
        w.member("ambiguous", j.ambiguous);
        w.member("unmatched_messages", std::uint64_t{j.unmatched});
        w.key("legs");
        w.beginArray();
        for (std::size_t k = 0; k < j.legs.size(); ++k) {
            const Leg& leg = legOf(r, j.legs[k]);
            w.beginObject();
            w.member("leg", std::uint64_t{k + 1});
            w.textOrNull("from", leg.from);
            w.textOrNull("to", leg.to);
            w.member("cic", std::uint64_t{leg.cic});
            w.member("link", linkOf(leg));
            w.key("iam_delay");
            if (leg.iamDelay) w.seconds(*leg.iamDelay); else w.null();
            w.key("sightings");
            w.beginArray();
            for (const int side : {leg.sender, leg.receiver}) {
                if (side < 0) continue;
                const Sighting& s = sightingOf(r, side);
                w.beginObject();
                w.member("file", r.traces[s.trace].file);
                w.member("switch", r.traces[s.trace].self);
                w.textOrNull("far_switch", r.traces[s.trace].far);
                w.member("cic", std::uint64_t{s.cic});
                w.member("first_record", s.firstRecord);
                w.member("last_record", s.lastRecord);
                w.member("outcome", outcomeName(s.outcome));
                w.endObject();
            }
            w.endArray();
            // Each message sent at one end and its copy at the other, with its transit delay
            // (the trunk's clock offset taken off).
            w.key("paired");
            w.beginArray();
            for (const PairedMessage& m : leg.paired) {
                w.beginObject();
                w.member("type", typeAcronym(m.type));
                w.member("sent_file", r.traces[m.sentTrace].file);
                w.member("sent_record", m.sentRecord);
                w.member("received_file", r.traces[m.receivedTrace].file);
                w.member("received_record", m.receivedRecord);
                w.key("delay");
                w.seconds(m.delay);
                w.endObject();
            }
            w.endArray();
            w.key("unmatched");
            w.beginArray();
            for (const UnmatchedMessage& m : leg.unmatched) {
                w.beginObject();
                w.member("type", typeAcronym(m.type));
                w.member("file", r.traces[m.trace].file);
                w.member("record", m.record);
                w.member("sent_never_received", m.sent);
                w.endObject();
            }
            w.endArray();
            w.key("candidates");
            w.beginArray();
            for (const int c : leg.ambiguous) {
                const Sighting& s = sightingOf(r, legOf(r, c).primary());
                w.beginObject();
                w.member("file", r.traces[s.trace].file);
                w.member("first_record", s.firstRecord);
                w.endObject();
            }
            w.endArray();
            w.endObject();
        }
        w.endArray();
        w.key("hops");
        w.beginArray();
        for (const Hop& hop : j.hops) {
            w.beginObject();
            w.member("switch", hop.atSwitch);
            w.key("delay");
            if (hop.delay) w.seconds(*hop.delay); else w.null();
            w.key("changes");
            w.beginArray();
            for (const FactChange& c : hop.changes) {
                w.beginObject();
                w.member("key", c.key);
                w.textOrNull("arriving", c.arriving);
                w.textOrNull("leaving", c.leaving);
                w.endObject();
            }
            w.endArray();
            w.endObject();
        }
        w.endArray();
        w.endObject();
    });
}

void appendJourneyCsvHeader(std::string& out) {
    out += "journey,leg,file,switch,far_switch,cic,first_record,last_record,link,from,to,leg_outcome,journey_outcome,cause,"
           "released_at,unmatched,candidates";
    out += kCsvLineEnd;
}

void appendJourneyCsv(std::string& out, const JourneyReport& r, const Journey& j) {
    for (std::size_t k = 0; k < j.legs.size(); ++k) {
        const Leg& leg = legOf(r, j.legs[k]);
        for (const int side : {leg.sender, leg.receiver}) {
            if (side < 0) continue;
            const Sighting& s = sightingOf(r, side);
            const TraceEnds& e = r.traces[s.trace];
            const auto cell = [&out](const std::string& text) {
                out += text;
                out += ',';
            };
            const auto field = [&out](std::string_view text) {
                appendCsvField(out, text);
                out += ',';
            };
            cell(std::to_string(j.id));
            cell(std::to_string(k + 1));
            field(e.file);
            field(e.self);
            field(e.far);
            cell(std::to_string(s.cic));
            cell(std::to_string(s.firstRecord));
            cell(std::to_string(s.lastRecord));
            cell(linkOf(leg));
            field(leg.from);
            field(leg.to);
            cell(std::string(outcomeName(s.outcome)));
            cell(j.outcome);
            cell(j.cause ? std::to_string(*j.cause) : std::string());
            field(j.releasedAt);
            cell(std::to_string(leg.unmatched.size()));
            appendCsvField(out, candidatesOf(r, leg));
            out += kCsvLineEnd;
        }
    }
}

namespace {

// The fields of one call detail record, in order (docs/cdr.md).
struct CdrFields {
    std::uint32_t journey = 0, leg = 0;
    std::string file, switchName, trunk, direction;
    std::uint32_t cic = 0;
    std::string calling, called, originalCalled, redirecting;
    std::optional<std::uint32_t> category;
    std::string seizure, acm, answer, release, rlc;
    std::optional<std::int64_t> conversation;
    std::optional<std::uint32_t> cause, location;
    std::string causeClass, releasedBy, outcome;
    bool partial = false;
    std::uint64_t firstRecord = 0, lastRecord = 0;
};

CdrFields cdrOf(const JourneyReport& r, const Journey& j, std::size_t k) {
    const Leg& leg = legOf(r, j.legs[k]);
    const Sighting& s = sightingOf(r, leg.primary());
    const TraceEnds& e = r.traces[s.trace];
    CdrFields c;
    c.journey = j.id;
    c.leg = static_cast<std::uint32_t>(k + 1);
    c.file = e.file;
    c.switchName = e.self;
    // A log's trunk is this>far; a capture's, its IAM's OPC-DPC.
    c.trunk = !s.iamFrom.empty() ? s.iamFrom + "-" + s.iamTo
                                 : (e.self.empty() ? std::string("?") : e.self) + ">" + (e.far.empty() ? std::string("?") : e.far);
    c.direction = !s.opened ? "unknown" : s.iamSent ? "outgoing" : "incoming";
    c.cic = s.cic;
    c.calling = s.calling;
    c.called = s.called;
    c.originalCalled = s.originalCalled;
    c.redirecting = s.redirecting;
    c.category = s.category;
    c.seizure = s.opened ? isoTime(r, s.trace, s.first) : std::string();
    c.acm = isoTime(r, s.trace, s.addressComplete);
    c.answer = isoTime(r, s.trace, s.answer);
    c.release = isoTime(r, s.trace, s.release);
    c.rlc = isoTime(r, s.trace, s.releaseComplete);
    if (s.answer && s.release) c.conversation = *s.release - *s.answer;
    c.cause = s.cause;
    c.location = s.location;
    if (s.cause) c.causeClass = std::string(causeClassName(causeClassOf(*s.cause)));
    if (s.release) c.releasedBy = s.releaseSent ? e.self : !e.far.empty() ? e.far : leg.from == e.self ? leg.to : leg.from;
    c.outcome = std::string(outcomeName(s.outcome));
    c.partial = s.outcome == CallOutcome::Incomplete || s.outcome == CallOutcome::BegunBeforeLog;
    c.firstRecord = s.firstRecord;
    c.lastRecord = s.lastRecord;
    return c;
}

}  // namespace

void appendCdrCsvHeader(std::string& out) {
    out += "journey,leg,file,switch,trunk,direction,cic,calling,called,original_called,redirecting,calling_category,"
           "seizure_time,acm_time,answer_time,release_time,rlc_time,conversation_time,cause,cause_location,cause_class,"
           "released_by,outcome,partial,first_record,last_record";
    out += kCsvLineEnd;
}

void appendCdrCsv(std::string& out, const JourneyReport& r, const Journey& j) {
    for (std::size_t k = 0; k < j.legs.size(); ++k) {
        const CdrFields c = cdrOf(r, j, k);
        out += std::to_string(c.journey) + "," + std::to_string(c.leg) + ",";
        for (const std::string* text : {&c.file, &c.switchName, &c.trunk, &c.direction}) {
            appendCsvField(out, *text);
            out += ',';
        }
        out += std::to_string(c.cic) + ",";
        for (const std::string* text : {&c.calling, &c.called, &c.originalCalled, &c.redirecting}) {
            appendCsvField(out, *text);
            out += ',';
        }
        appendOptionalNumber(out, c.category);
        out += ',';
        for (const std::string* text : {&c.seizure, &c.acm, &c.answer, &c.release, &c.rlc}) {
            out += *text;
            out += ',';
        }
        if (c.conversation) appendSeconds(out, *c.conversation);
        out += ',';
        appendOptionalNumber(out, c.cause);
        out += ',';
        appendOptionalNumber(out, c.location);
        out += ',';
        appendCsvField(out, c.causeClass);
        out += ',';
        appendCsvField(out, c.releasedBy);
        out += "," + c.outcome + "," + (c.partial ? "true" : "false") + "," + std::to_string(c.firstRecord) + "," +
               std::to_string(c.lastRecord);
        out += kCsvLineEnd;
    }
}

void appendCdrJson(std::string& out, const JourneyReport& r, const Journey& j) {
    for (std::size_t k = 0; k < j.legs.size(); ++k) {
        const CdrFields c = cdrOf(r, j, k);
        appendJsonText(out, JsonLayout::Compact, [&](JsonWriter& w) {
            w.beginObject();
            w.member("journey", std::uint64_t{c.journey});
            w.member("leg", std::uint64_t{c.leg});
            w.member("file", c.file);
            w.textOrNull("switch", c.switchName);
            w.member("trunk", c.trunk);
            w.member("direction", c.direction);
            w.member("cic", std::uint64_t{c.cic});
            w.textOrNull("calling", c.calling);
            w.textOrNull("called", c.called);
            w.textOrNull("original_called", c.originalCalled);
            w.textOrNull("redirecting", c.redirecting);
            w.member("calling_category", c.category);
            w.textOrNull("seizure_time", c.seizure);
            w.textOrNull("acm_time", c.acm);
            w.textOrNull("answer_time", c.answer);
            w.textOrNull("release_time", c.release);
            w.textOrNull("rlc_time", c.rlc);
            w.key("conversation_time");
            if (c.conversation) w.seconds(*c.conversation); else w.null();
            w.member("cause", c.cause);
            w.member("cause_location", c.location);
            w.textOrNull("cause_class", c.causeClass);
            w.textOrNull("released_by", c.releasedBy);
            w.member("outcome", c.outcome);
            w.member("partial", c.partial);
            w.member("first_record", c.firstRecord);
            w.member("last_record", c.lastRecord);
            w.endObject();
        });
    }
}

void appendJourneySummary(std::string& out, const JourneyReport& r) {
    const JourneyTally& tally = r.tally;
    out += std::to_string(tally.journeys) + " journeys (";
    bool first = true;
    for (const auto& [outcome, n] : tally.byOutcome) {
        out += (first ? "" : ", ") + std::to_string(n) + " " + outcome;
        first = false;
    }
    out += "), " + std::to_string(tally.legs) + " legs: " + std::to_string(tally.trunkLegs) + " seen at both ends, " +
           std::to_string(tally.transitLinks) + " transit links (" + std::to_string(tally.exactLinks) + " by an exact key), " +
           std::to_string(tally.ambiguousLinks) + " ambiguous (not linked)\n";
    for (const TrunkEnds& t : r.trunks) {
        out += "trunk " + r.traces[t.first].self + "-" + r.traces[t.second].self + " (" + r.traces[t.first].file + ", " +
               r.traces[t.second].file + "): " + std::to_string(t.linked) + " legs at both ends, clock offset " +
               secondsText(t.offset) + " s on " + std::to_string(t.samples) + " IAMs" +
               (r.offsetsApplied && t.offset ? " (applied)" : "") + "\n";
    }
    if (tally.transitLinks > 0) out += "at transit switches the hop counter and the circuit code change on every call, as expected\n";
    for (const std::string& p : r.problems) out += p + "\n";
}

}  // namespace truno
