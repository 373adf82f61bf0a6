// The transit link's rules, case by case: two traces taken at switch Y (one on its trunk to X,
// where a call arrives, one on its trunk to Z, where calls leave), run through the analysis into
// the journey builder; which leaving leg the arriving one is linked to, if any. Then the linking
// a slice of time at a time against the linking of everything at once.
#include "analysis/journeys/Journeys.h"
#include "analysis/pipeline/LogAnalysis.h"
#include "tests/analysis/AnalysisSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace truno {
namespace {

// Address signals as octets, low-order digit first, with the odd/even and nature octets.
std::string addressOctets(const std::string& digits, unsigned nature, unsigned second) {
    char octet[8];
    std::snprintf(octet, sizeof octet, "%02X %02X", ((digits.size() % 2) != 0 ? 0x80u : 0u) | nature, second);
    std::string out = octet;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const unsigned lo = static_cast<unsigned>(digits[i] - '0');
        const unsigned hi = i + 1 < digits.size() ? static_cast<unsigned>(digits[i + 1] - '0') : 0;
        std::snprintf(octet, sizeof octet, " %02X", hi << 4 | lo);
        out += octet;
    }
    return out;
}

std::size_t octetCount(const std::string& hex) { return (hex.size() + 1) / 3; }

struct Iam {
    std::string time;
    std::string called;
    std::string calling;
    int hop = -1;  // none
    std::string originalCalled;
};

// A trace of IAMs on codes 1, 2, ... in one direction.
std::string traceOf(const std::vector<Iam>& iams, const char* direction) {
    std::string log = analysis_testing::kTraceHeader + "\r\n" + analysis_testing::kTraceValues + "\r\n\r\n";
    unsigned code = 1;
    for (const Iam& iam : iams) {
        const std::string called = addressOctets(iam.called, 3, 0x10);
        char head[96];
        std::snprintf(head, sizeof head, "%02X 00 00 00 01 00 60 01 0A 00 02 %02zX %02zX ", code++, octetCount(called) + 2,
                      octetCount(called));
        std::string octets = head + called;
        const std::string calling = addressOctets(iam.calling, 3, 0x13);
        char parameter[48];
        std::snprintf(parameter, sizeof parameter, " 0A %02zX ", octetCount(calling));
        octets += parameter + calling;
        if (iam.hop >= 0) {
            std::snprintf(parameter, sizeof parameter, " 3D 01 %02X", iam.hop);
            octets += parameter;
        }
        if (!iam.originalCalled.empty()) {
            const std::string original = addressOctets(iam.originalCalled, 3, 0x10);
            std::snprintf(parameter, sizeof parameter, " 28 %02zX ", octetCount(original));
            octets += parameter + original;
        }
        octets += " 00";
        log += analysis_testing::kColumns + "\r\n";
        std::istringstream all(octets);
        std::string line;
        int onLine = 0;
        bool first = true;
        for (std::string octet; all >> octet;) {
            if (onLine == 16) {
                log += analysis_testing::dataLine(first ? iam.time : "", first ? direction : "", line) + "\r\n";
                first = false;
                line.clear();
                onLine = 0;
            }
            if (onLine++ != 0) line += "  ";
            line += octet;
        }
        log += analysis_testing::dataLine(first ? iam.time : "", first ? direction : "", line) + "\r\n\r\n";
    }
    return log;
}

// Reads each trace into the builder as the tool does (each its own analysis).
void readTraces(JourneyBuilder& builder, const std::vector<std::pair<TraceEnds, std::string>>& traces) {
    for (const auto& [ends, log] : traces) {
        const std::uint32_t trace = builder.beginTrace(ends);
        LogAnalysis analysis([&](const AnalysedMessage& m) { builder.message(trace, m.facts, m.at, m.call); },
                             [&](const Call& call) { builder.callFinished(trace, call); }, false);
        std::istringstream in(log);
        RunOptions options;
        options.records = [&](const RecordFacts& record) { analysis.add(record); };
        options.markedTypes = analysis.markedTypes();
        decodeLog(in, [](std::string_view) {}, options);
        analysis.finish();
    }
}

// Reads the traces and links them.
JourneyReport journeysOf(const std::vector<std::pair<TraceEnds, std::string>>& traces) {
    JourneyBuilder builder(JourneySettings{});
    readTraces(builder, traces);
    return builder.finish();
}

struct TransitCase {
    const char* name;
    Iam arriving;
    std::vector<Iam> leaving;
    int linkedTo;        // the leaving IAM (0-based) the arriving leg is linked to; -1: none
    bool ambiguous;      // the arriving leg names candidates
};

const Iam kArriving{.time = "10:00:00.00", .called = "234567890", .calling = "3111222333", .hop = 19, .originalCalled = ""};

const TransitCase kCases[] = {
    {"same numbers, hop counter one lower", kArriving, {{"10:00:00.10", "234567890", "3111222333", 18, ""}}, 0, false},
    {"prefix added at the transit switch", kArriving, {{"10:00:00.10", "49234567890", "3111222333", 18, ""}}, 0, false},
    {"hop counter not lowered", kArriving, {{"10:00:00.10", "234567890", "3111222333", 19, ""}}, -1, false},
    {"last six digits differ", kArriving, {{"10:00:00.10", "234567891", "3111222333", 18, ""}}, -1, false},
    {"calling numbers differ", kArriving, {{"10:00:00.10", "234567890", "3999222333", 18, ""}}, -1, false},
    {"leaving before arriving", kArriving, {{"09:59:59.90", "234567890", "3111222333", 18, ""}}, -1, false},
    {"past the window", kArriving, {{"10:00:05.10", "234567890", "3111222333", 18, ""}}, -1, false},
    {"diverted: the original called number agrees", kArriving, {{"10:00:00.10", "255555555", "3111222333", 18, "234567890"}}, 0, false},
    {"the one that fits among others", kArriving,
     {{"10:00:00.05", "234567891", "3111222333", 18, ""}, {"10:00:00.10", "234567890", "3111222333", 18, ""}}, 1, false},
    {"two that fit: none linked, candidates named", kArriving,
     {{"10:00:00.05", "234567890", "3111222333", 18, ""}, {"10:00:00.10", "234567890", "3111222333", 18, ""}}, -1, true},
};

TEST(Journeys, TransitLinksFollowTheirRules) {
    for (const TransitCase& c : kCases) {
        const JourneyReport report = journeysOf({{TraceEnds{.file = "in.log", .self = "Y", .far = "X", .declared = true}, traceOf({c.arriving}, "R")},
                                                 {TraceEnds{.file = "out.log", .self = "Y", .far = "Z", .declared = true}, traceOf(c.leaving, "S")}});
        ASSERT_EQ(report.legs.size(), 1 + c.leaving.size()) << c.name;
        const Leg* in = nullptr;
        for (const Leg& leg : report.legs)
            if (leg.to == "Y") in = &leg;
        ASSERT_NE(in, nullptr) << c.name;
        if (c.linkedTo < 0) {
            EXPECT_EQ(in->next, -1) << c.name;
        } else {
            ASSERT_GE(in->next, 0) << c.name;
            const Leg& out = report.legs[static_cast<std::size_t>(in->next)];
            EXPECT_EQ(report.sightings[static_cast<std::size_t>(out.primary())].firstRecord, static_cast<std::uint64_t>(c.linkedTo + 1))
                << c.name;
            EXPECT_EQ(out.previous, &*in - report.legs.data()) << c.name;
        }
        EXPECT_EQ(!in->ambiguous.empty(), c.ambiguous) << c.name;
        EXPECT_EQ(report.journeys.size(), report.legs.size() - (c.linkedTo >= 0 ? 1 : 0)) << c.name;
    }
}

TEST(Journeys, WhatTheTransitSwitchChangedIsTheIamsFacts) {
    const JourneyReport report = journeysOf(
        {{TraceEnds{.file = "in.log", .self = "Y", .far = "X", .declared = true}, traceOf({kArriving}, "R")},
         {TraceEnds{.file = "out.log", .self = "Y", .far = "Z", .declared = true}, traceOf({{"10:00:00.10", "49234567890", "3111222333", 18, "234567890"}}, "S")}});
    ASSERT_EQ(report.journeys.size(), 1u);
    ASSERT_EQ(report.journeys.front().hops.size(), 1u);
    std::vector<std::string> keys;
    for (const FactChange& change : report.journeys.front().hops.front().changes) keys.push_back(change.key);
    // The called number changed, the original called number was added; the hop counter, expected
    // to change, is not named.
    EXPECT_EQ(keys, (std::vector<std::string>{"called_party_number.address_signals", "original_called_number"}));
}

// A journey as the tests compare them: its id, its sightings (trace and record) leg by leg, and
// whether a leg stayed apart with candidates.
std::string shapeOf(const JourneyReport& report, const Journey& j) {
    std::string out = std::to_string(j.id);
    out += j.ambiguous ? " ambiguous:" : ":";
    for (const int li : j.legs) {
        const Leg& leg = report.legs[static_cast<std::size_t>(li)];
        for (const int side : {leg.sender, leg.receiver})
            if (side >= 0) {
                const Sighting& s = report.sightings[static_cast<std::size_t>(side)];
                out += ' ';
                out += std::to_string(s.trace);
                out += '#';
                out += std::to_string(s.firstRecord);
            }
        out += " |";
    }
    return out;
}

TEST(Journeys, LinkingSliceBySliceLinksAsAllAtOnce) {
    // Calls through Y a second and a half apart for six minutes: most leave Y 0.1 s after they
    // arrive (a prefix added), every fifth never leaves, every seventh has two leaving calls that
    // fit it, every eleventh a second arriving call with its numbers 4 s before it (decoys); then
    // two calls close together after a gap of a minute.
    std::vector<std::pair<int, Iam>> arrivals, departures;  // at tenths of a second
    const auto at = [](int tenths) {
        char text[32];  // room for any int the format may be given
        std::snprintf(text, sizeof text, "10:%02d:%02d.%02d", tenths / 600, tenths / 10 % 60, tenths % 10 * 10);
        return std::string(text);
    };
    for (int k = 0; k < 240; ++k) {
        const std::string called = std::to_string(234500000 + k);
        const std::string prefixed = std::to_string(49234500000 + k);
        const std::string calling = std::to_string(3111000000 + k);
        const int t = k < 238 ? 100 + k * 15 : 4300 + k;
        arrivals.emplace_back(t, Iam{at(t), called, calling, 20, ""});
        if (k % 11 == 6) arrivals.emplace_back(t - 40, Iam{at(t - 40), called, calling, 20, ""});
        if (k % 5 == 4) continue;
        departures.emplace_back(t + 1, Iam{at(t + 1), prefixed, calling, 19, ""});
        if (k % 7 == 3) departures.emplace_back(t + 2, Iam{at(t + 2), prefixed, calling, 19, ""});
    }
    const auto byTime = [](std::vector<std::pair<int, Iam>>& timed) {
        std::stable_sort(timed.begin(), timed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<Iam> iams;
        for (const auto& [tenths, iam] : timed) iams.push_back(iam);
        return iams;
    };
    const std::vector<Iam> arriving = byTime(arrivals);
    const std::vector<Iam> leaving = byTime(departures);
    const std::vector<std::pair<TraceEnds, std::string>> traces = {
        {TraceEnds{.file = "in.log", .self = "Y", .far = "X", .declared = true}, traceOf(arriving, "R")},
        {TraceEnds{.file = "out.log", .self = "Y", .far = "Z", .declared = true}, traceOf(leaving, "S")}};
    JourneyBuilder whole(JourneySettings{});
    readTraces(whole, traces);
    const JourneyReport all = whole.finish();
    std::vector<std::string> expected;
    for (const Journey& j : all.journeys) expected.push_back(shapeOf(all, j));
    std::sort(expected.begin(), expected.end());
    ASSERT_GT(all.tally.transitLinks, 120u);
    ASSERT_GT(all.tally.ambiguousLinks, 20u);
    for (const std::int64_t slice : {1000, 45000, 600000, -45000}) {
        // A negative slice: the same, its calls waiting in memory rather than in a temporary file.
        JourneySettings settings;
        settings.slice = slice < 0 ? -slice : slice;
        settings.temporaryFile = slice > 0;
        JourneyBuilder sliced(settings);
        readTraces(sliced, traces);
        std::vector<std::string> found;
        std::uint32_t lastId = 0;
        bool inOrder = true;
        const JourneyReport summary = sliced.stream([&](const JourneyReport& part, const Journey& j) {
            found.push_back(shapeOf(part, j));
            inOrder = inOrder && j.id == lastId + 1;
            lastId = j.id;
        });
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected) << slice;
        EXPECT_TRUE(inOrder) << slice;
        EXPECT_EQ(summary.tally.transitLinks, all.tally.transitLinks) << slice;
        EXPECT_EQ(summary.tally.ambiguousLinks, all.tally.ambiguousLinks) << slice;
        EXPECT_TRUE(summary.journeys.empty() && summary.sightings.empty()) << slice;
    }
}

TEST(Journeys, AChainLongerThanTheMarginsIsLinkedWhole) {
    // One call through fourteen trunks, each hop 4.9 s after the last (inside the window): it
    // spans more than a slice's margins, so that the slice its start falls in reads further.
    constexpr int kHops = 14;
    std::vector<std::pair<TraceEnds, std::string>> traces;
    for (int k = 0; k < kHops; ++k) {
        // Switches S0 to S14 (built by append: g++ 12 warns of a literal added to a string here).
        std::string here(1, 'S');
        here += std::to_string(k);
        std::string next(1, 'S');
        next += std::to_string(k + 1);
        std::string out = here;
        out += '-';
        out += next;
        out += ".log";
        std::string in = next;
        in += '-';
        in += here;
        in += ".log";
        const int sent = 490 * k;  // hundredths
        const auto at = [](int hundredths) {
            char text[32];  // room for any int the format may be given
            std::snprintf(text, sizeof text, "10:%02d:%02d.%02d", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
            return std::string(text);
        };
        const Iam iam{at(sent), "234567890", "3111222333", 31 - k, ""};
        Iam received = iam;
        received.time = at(sent + 5);
        traces.push_back({TraceEnds{.file = out, .self = here, .far = next, .declared = true}, traceOf({iam}, "S")});
        traces.push_back({TraceEnds{.file = in, .self = next, .far = here, .declared = true}, traceOf({received}, "R")});
    }
    const JourneyReport all = journeysOf(traces);
    ASSERT_EQ(all.journeys.size(), 1u);
    ASSERT_EQ(all.journeys.front().legs.size(), static_cast<std::size_t>(kHops));
    JourneySettings settings;
    settings.slice = 1;
    JourneyBuilder sliced(settings);
    readTraces(sliced, traces);
    std::vector<std::string> found;
    sliced.stream([&](const JourneyReport& part, const Journey& j) { found.push_back(shapeOf(part, j)); });
    EXPECT_EQ(found, std::vector<std::string>{shapeOf(all, all.journeys.front())});
}

}  // namespace
}  // namespace truno
