// The one analysis of a run: the views read the same with the restricted marking as with every
// record marked, and the numbers they show are the ones the octets of the real captures hold.
#include "output/Exports.h"
#include "output/HealthExports.h"
#include "dispatch/Codes.h"
#include "analysis/pipeline/LogAnalysis.h"
#include "analysis/facts/MessageSummary.h"
#include "analysis/pipeline/RecordPipe.h"
#include "run/DecodeRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace truno {
namespace {

std::vector<std::filesystem::path> goldenLogs() {
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TRUNO_SOURCE_DIR) / "tests/golden"))
        if (entry.path().extension() == ".log" && !std::filesystem::exists(std::filesystem::path(entry.path()).replace_extension(".options")))
            logs.push_back(entry.path());
    return logs;
}

// Decodes a log into the analysis, with the records of only the types it reads marked, or of
// every type, and finishes it.
void analyse(const std::filesystem::path& log, LogAnalysis& analysis, bool markEveryType) {
    std::ifstream in(log, std::ios::binary);
    RunOptions options;
    options.records = [&analysis](const RecordFacts& record) { analysis.add(record); };
    if (!markEveryType) options.markedTypes = analysis.markedTypes();
    decodeLog(in, [](std::string_view) {}, options);
    analysis.finish();
}

// The summary lines, the call lines and the statistics of a log, with the records of only the
// types the analysis reads marked, or of every type.
std::string viewsOf(const std::filesystem::path& log, bool markEveryType) {
    std::string out;
    LogAnalysis analysis([&out](const AnalysedMessage& m) { appendSummaryLine(out, m.facts); },
                         [&out](const Call& call) { appendCallLine(out, call); }, false);
    analyse(log, analysis, markEveryType);
    appendStatisticsText(out, analysis.statistics());
    return out;
}

TEST(LogAnalysis, RestrictedMarkingGivesTheViewsOfEveryTypeMarked) {
    for (const auto& log : goldenLogs()) {
        SCOPED_TRACE(log.filename().string());
        const std::string restricted = viewsOf(log, false);
        EXPECT_EQ(restricted, viewsOf(log, true));
        EXPECT_FALSE(restricted.empty());
    }
}

// The calls, KPIs, circuits and findings of a log as views whose sinks read no field follow them
// (`calls`: the KPIs, which follow the calls; otherwise the circuits and the checks, which do
// not): with the records of only the types they read marked and built with their fields and the
// calls without their texts, or of every type and with the texts. `numbers`: whether the calls'
// numbers are read (the KPIs by called prefix).
std::string healthOf(const std::filesystem::path& log, bool calls, bool markEveryType, bool numbers = true) {
    std::string out;
    HealthOptions options;
    options.ladders = 0;
    TrunkHealth health(options, [&out](const Finding& finding) { appendFindingText(out, finding); });
    // What the KPIs read of a call.
    const auto counted = [&out, numbers](const Call& call) {
        out += std::string(outcomeName(call.outcome)) + " " + (numbers ? call.called : "") + " " + call.direction + " " +
               call.releasedBy + " " +
               (call.cause ? std::to_string(*call.cause) : "-") + "\n";
    };
    LogAnalysis analysis([](const AnalysedMessage&) {}, counted, false);
    analysis.followHealth(&health);
    analysis.followCalls(calls);
    if (!markEveryType) {
        analysis.keepCallTexts(false);
        analysis.countStatistics(false);
        analysis.sinkReadsCallFields(false);
        analysis.readCallFields({.numbers = numbers, .cause = true});
    }
    analyse(log, analysis, markEveryType);
    health.finish({});
    if (calls) {
        appendKpiText(out, health.kpis());
    } else {
        appendCircuitsText(out, health.circuits(), false);
    }
    return out;
}

TEST(LogAnalysis, MarksOnlyTheTypesWhoseFieldsItsFollowersRead) {
    using namespace codes;
    struct Case {
        std::vector<int> types;
        bool calls, statistics, sink;
        LogAnalysis::CallFieldsRead read = {};
    };
    const Case cases[] = {
        {.types = {kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking}, .calls = false, .statistics = false, .sink = false},
        {.types = {kInitialAddress, kRelease, kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking},
         .calls = true, .statistics = false, .sink = false},
        {.types = {kRelease, kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking},
         .calls = false, .statistics = true, .sink = false},
        {.types = {kInitialAddress, kRelease, kCallProgress, kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking},
         .calls = false, .statistics = false, .sink = true},
        // The calls read for their outcomes alone (the statistics' counts, the JSON messages' call).
        {.types = {kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking},
         .calls = true, .statistics = false, .sink = false, .read = {.numbers = false, .cause = false}},
        {.types = {kRelease, kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking},
         .calls = true, .statistics = true, .sink = false, .read = {.numbers = false, .cause = false}},
        {.types = {kRelease, kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking},
         .calls = true, .statistics = false, .sink = false, .read = {.numbers = false, .cause = true}},
        {.types = {kInitialAddress, kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking},
         .calls = true, .statistics = false, .sink = false, .read = {.numbers = true, .cause = false}},
        // A sink that reads the call-control messages' fields has them whatever the calls read.
        {.types = {kInitialAddress, kRelease, kCallProgress, kCircuitGroupReset, kCircuitGroupBlocking, kCircuitGroupUnblocking},
         .calls = true, .statistics = false, .sink = true, .read = {.numbers = false, .cause = false}},
    };
    for (const Case& c : cases) {
        LogAnalysis analysis([](const AnalysedMessage&) {}, [](const Call&) {}, false);
        analysis.followCalls(c.calls);
        analysis.countStatistics(c.statistics);
        analysis.sinkReadsCallFields(c.sink);
        analysis.readCallFields(c.read);
        std::bitset<256> expected;
        for (const int type : c.types) expected.set(static_cast<std::size_t>(type));
        EXPECT_EQ(analysis.markedTypes(), expected) << c.calls << c.statistics << c.sink;
    }
    for (const auto& log : goldenLogs()) {
        SCOPED_TRACE(log.filename().string());
        for (const bool calls : {false, true}) {
            const std::string restricted = healthOf(log, calls, false);
            EXPECT_EQ(restricted, healthOf(log, calls, true));
            EXPECT_FALSE(restricted.empty());
        }
        EXPECT_EQ(healthOf(log, true, false, false), healthOf(log, true, true, false));
    }
}

// Summary lines of records made by hand: the columns laid out in one piece when every text fits
// and is printable, and otherwise escaped and pushed along, byte for byte the same layout.
TEST(LogAnalysis, SummaryLineColumns) {
    struct Case {
        std::uint64_t record;
        std::string_view time;
        std::string_view direction;
        bool hasCode;
        std::uint32_t code;
        std::string_view acronym;
        bool decoded;
        std::string_view line;
    };
    const Case cases[] = {
        {7, "10:15:22.1", "R", true, 5, "ANM", true, "       7  10:15:22.1   R             5  ANM\n"},
        {99999999, "23:59:59.999", "S", true, 4294967295U, "IAM", true, "99999999  23:59:59.999  S    4294967295  IAM\n"},
        {123456789, "10:15:22.1", "R", true, 5, "REL", true, "123456789  10:15:22.1   R             5  REL\n"},
        {12, "10:15:22.1", "", false, 0, "ACM", true, "      12  10:15:22.1                 -  ACM\n"},
        {3, "10:15:22.1", "S", true, 17, "RLC", false, "       3  10:15:22.1   S            17  RLC   not decoded: why\n"},
        {7, "10:15:2\x7f.1", "R", true, 5, "ANM", true, "       7  10:15:2\\x7F.1  R             5  ANM\n"},
        {7, "10:15:22.1", "\x1f", true, 5, "ANM", true, "       7  10:15:22.1   \\x1F           5  ANM\n"},
        {7, "10:15:22.\xe9", "S", true, 5, "ANM", true, "       7  10:15:22.\xc3\xa9  S             5  ANM\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RecordFacts record;
        record.record = c.record;
        record.time = c.time;
        record.directionText = c.direction;
        record.hasCallInstanceCode = c.hasCode;
        record.callInstanceCode = c.code;
        record.acronym = c.acronym;
        record.decoded = c.decoded;
        record.reason = c.decoded ? "" : "why";
        MessageFacts facts;
        facts.build(record, false);
        std::string line;
        appendSummaryLine(line, facts);
        EXPECT_EQ(line, c.line);
    }
}

// The digits of an address parameter's contents read straight from its octets: octet 1 bit H
// says odd, the digits are the nibbles from octet 3, low-order first; an odd number's last nibble
// is the filler.
std::string digitsOf(const std::vector<int>& contents) {
    std::string digits;
    for (std::size_t i = 2; i < contents.size(); ++i) {
        digits += "0123456789ABCDEF"[contents[i] & 0xF];
        digits += "0123456789ABCDEF"[contents[i] >> 4];
    }
    if (!contents.empty() && (contents[0] & 0x80) != 0 && !digits.empty()) digits.pop_back();
    return digits;
}

// The called and calling numbers of the real captures' IAMs, as the summary shows them, against
// the same read from the octets: the IAM's pointer at index 10 to the called party number, its
// pointer at index 11 to the optional part, where code 0A is the calling party number.
TEST(LogAnalysis, NumbersAreTheOctetsDigitsWithoutTheFiller) {
    std::size_t iams = 0;
    std::size_t odd = 0;
    for (const char* name : {"isup-m3ua-calls-470.log", "isup-m3ua-call-6.log", "isup-m2pa-call-6.log", "bicc-iam-app-1.log"}) {
        SCOPED_TRACE(name);
        std::ifstream in(std::filesystem::path(TRUNO_SOURCE_DIR) / "tests/golden" / name, std::ios::binary);
        MessageFacts facts;
        RunOptions options;
        options.records = [&](const RecordFacts& record) {
            if (record.typeCode != 1) return;
            ++iams;
            std::vector<int> octets;
            for (const std::string_view o : record.octets) octets.push_back(std::stoi(std::string(o), nullptr, 16));
            const std::size_t called = 10 + static_cast<std::size_t>(octets.at(10));
            const std::vector<int> calledContents(octets.begin() + static_cast<long>(called) + 1,
                                                  octets.begin() + static_cast<long>(called) + 1 + octets.at(called));
            if ((calledContents.at(0) & 0x80) != 0) ++odd;
            std::string expected = "called " + digitsOf(calledContents);
            for (std::size_t at = 11 + static_cast<std::size_t>(octets.at(11)); octets.at(11) != 0 && octets.at(at) != 0;
                 at += 2 + static_cast<std::size_t>(octets.at(at + 1))) {
                if (octets.at(at) != 0x0A) continue;
                expected += ", calling " + digitsOf(std::vector<int>(octets.begin() + static_cast<long>(at) + 2,
                                                                    octets.begin() + static_cast<long>(at) + 2 + octets.at(at + 1)));
            }
            facts.build(record);
            std::string info;
            appendSummaryInfo(info, facts);
            EXPECT_EQ(info, expected) << "record " << record.record;
        };
        decodeLog(in, [](std::string_view) {}, options);
    }
    EXPECT_GT(iams, 90u);
    EXPECT_GT(odd, 0u);  // some numbers are odd: the filler is left out somewhere
}

// Records taken on the pipe's thread give what they give in line: the messages of each golden log
// (one has octets after its messages' ends) as JSON, with the pipe waited for now and then while
// batches are on their way; and a failure on that thread comes back to whoever adds or waits.
TEST(LogAnalysis, RecordsThroughThePipeGiveWhatTheyGiveInLine) {
    const auto jsonOf = [](const std::filesystem::path& log, bool piped) {
        Text json;
        LogAnalysis analysis([&json](const AnalysedMessage& m) { appendMessageJson(json, m.facts, m.callFirstRecord(), ""); },
                             [](const Call&) {}, true);
        analysis.beginSwitch("trace");
        RecordPipe pipe([&analysis](const RecordFacts& record) { analysis.add(record); });
        std::uint64_t count = 0;
        std::ifstream in(log, std::ios::binary);
        RunOptions options;
        options.records = [&](const RecordFacts& record) {
            if (!piped) return analysis.add(record);
            pipe.add(record);
            if (++count % 300 == 7) pipe.wait();
        };
        decodeLog(in, [](std::string_view) {}, options);
        pipe.wait();
        analysis.finish();
        return json.str();
    };
    for (const auto& log : goldenLogs()) EXPECT_EQ(jsonOf(log, true), jsonOf(log, false)) << log;

    std::size_t taken = 0;
    RecordPipe failing([&taken](const RecordFacts&) {
        if (++taken == 3) throw std::runtime_error("taken");
    });
    const RecordFacts record;
    for (int i = 0; i < 5; ++i) failing.add(record);
    EXPECT_THROW(failing.wait(), std::runtime_error);
    EXPECT_EQ(taken, 3u);
    EXPECT_NO_THROW(failing.wait());
}

}  // namespace
}  // namespace truno
