// The circuit states and the protocol checks, message by message: each case a short log on a few
// circuits, the state each circuit ends in, and the findings in the order they are made.
#include "AnalysisSupport.h"
#include "analysis/facts/LogClock.h"
#include "analysis/health/CircuitHealth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace truno {
namespace {

using analysis_testing::LogMessage;

struct CircuitEnd {
    unsigned code;
    std::string state;
    std::uint64_t seizures = 0;
    std::uint64_t answered = 0;
};

struct HealthCase {
    const char* name;
    std::vector<LogMessage> messages;
    std::vector<CircuitEnd> circuits;    // the circuits named, in any order (others not looked at)
    std::vector<std::string> findings;   // kinds, in the order they were made
};

// The log's last message comes a minute after the others, so that every timer they started has
// run out by then.
const LogMessage kLater{"RLC", 200, "10:05:00.00", "R"};

std::vector<HealthCase> healthCases() {
    return {
        {"a call released and completed leaves its circuit idle",
         {{"IAM", 1, "10:00:00.00", "S"}, {"ACM", 1, "10:00:01.00", "R"}, {"ANM", 1, "10:00:02.00", "R"},
          {"REL", 1, "10:00:30.00", "S"}, {"RLC", 1, "10:00:30.20", "R"}},
         {{1, "idle", 1, 1}},
         {}},
        {"a REL without RLC in T1 leaves the circuit waiting for it",
         {{"IAM", 2, "10:00:00.00", "S"}, {"ACM", 2, "10:00:01.00", "R"}, {"REL", 2, "10:00:05.00", "R"}, kLater},
         {{2, "waiting for RLC", 1, 0}},
         {"release-not-completed"}},
        {"an RLC with no REL before it on a known circuit",
         {{"IAM", 3, "10:00:00.00", "S"}, {"ACM", 3, "10:00:01.00", "R"}, {"REL", 3, "10:00:02.00", "S"},
          {"RLC", 3, "10:00:02.10", "R"}, {"RLC", 3, "10:00:03.00", "R"}},
         {{3, "idle", 1, 0}},
         {"release-complete-without-release"}},
        {"IAMs from both sides before a backward message are a dual seizure",
         {{"IAM", 4, "10:00:00.00", "S"}, {"IAM", 4, "10:00:00.05", "R"}},
         {{4, "busy", 2, 0}},
         {"dual-seizure"}},
        {"an address message with no backward message in T7",
         {{"IAM", 5, "10:00:00.00", "S"}, kLater},
         {{5, "busy", 1, 0}},
         {"no-backward-message"}},
        {"an ACM with no answer in T9",
         {{"IAM", 6, "10:00:00.00", "S"}, {"ACM", 6, "10:00:01.00", "R"}, kLater},
         {{6, "busy", 1, 0}},
         {"no-answer"}},
        {"a BLO sent and acknowledged blocks the circuit locally; UBL and UBA free it",
         {{"BLO", 7, "10:00:00.00", "S"}, {"BLA", 7, "10:00:00.10", "R"}, {"BLO", 8, "10:00:00.00", "R"},
          {"BLA", 8, "10:00:00.10", "S"}, {"BLO", 9, "10:00:00.00", "S"}, {"BLA", 9, "10:00:00.10", "R"},
          {"UBL", 9, "10:00:01.00", "S"}, {"UBA", 9, "10:00:01.10", "R"}},
         {{7, "blocked locally (maintenance)"}, {8, "blocked remotely (maintenance)"}, {9, "idle"}},
         {}},
        {"a BLO not acknowledged in T12, and an IAM against the blocking",
         {{"BLO", 10, "10:00:00.00", "R"}, {"IAM", 10, "10:00:01.00", "S"}, kLater},
         {{10, "busy; blocked remotely (maintenance)", 1, 0}},
         {"seizure-of-blocked-circuit", "not-acknowledged", "no-backward-message"}},
        {"an RSC ends the call and is pending until its RLC",
         {{"IAM", 11, "10:00:00.00", "S"}, {"ACM", 11, "10:00:01.00", "R"}, {"RSC", 11, "10:00:02.00", "S"},
          {"RSC", 12, "10:00:02.00", "S"}, {"RLC", 12, "10:00:02.20", "R"}},
         {{11, "reset pending", 1, 0}, {12, "idle"}},
         {}},
        {"a call-control message on a circuit left idle",
         {{"IAM", 13, "10:00:00.00", "S"}, {"REL", 13, "10:00:01.00", "R"}, {"RLC", 13, "10:00:01.10", "S"},
          {"ANM", 13, "10:00:02.00", "R"}},
         {{13, "idle", 1, 0}},
         {"message-on-idle-circuit"}},
        {"an unanswered GRS leaves every circuit of its range reset pending",
         {{"GRS", 16, "10:00:05.00", "S"}, kLater},
         {{16, "reset pending"}, {17, "reset pending"}, {19, "reset pending"}},
         {"not-acknowledged"}},
        {"a GRA ends the reset of its whole range",
         {{"GRS", 16, "10:00:05.00", "S"}, {"GRA", 16, "10:00:05.20", "R"}, kLater},
         {{16, "idle"}, {17, "idle"}, {19, "idle"}},
         {}},
        {"an ANM with no ACM before it is an answer, not a missing backward message",
         {{"IAM", 20, "10:00:00.00", "S"}, {"ANM", 20, "10:00:01.00", "R"}, kLater},
         {{20, "busy", 1, 1}},
         {}},
        {"a message not decoded is a finding of its own, and still releases when its type reads",
         {{"IAM", 14, "10:00:00.00", "S"}, {"REL-cut", 14, "10:00:01.00", "R"}},
         {{14, "waiting for RLC", 1, 0}},
         {"not-decoded"}},
    };
}

TEST(CircuitHealth, StatesAndFindingsOfShortLogs) {
    for (const HealthCase& c : healthCases()) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> kinds;
        CircuitHealth health(CheckOptions{}, [&kinds](const Finding& f) {
            kinds.emplace_back(findingKindName(f.kind));
            // The kind is said once, before the sentence: the sentence does not open with it again.
            std::string words(findingKindName(f.kind));
            std::replace(words.begin(), words.end(), '-', ' ');
            EXPECT_FALSE(f.sentence.starts_with(words)) << f.sentence;
        });
        LogClock clock;
        analysis_testing::runWithFacts(analysis_testing::logOfMessages(c.messages), [&](const MessageFacts& m) {
            health.add(m, clock.instant(m.record().time), true);
        });
        health.finish({});
        EXPECT_EQ(kinds, c.findings);
        for (const CircuitEnd& want : c.circuits) {
            const CircuitState* got = nullptr;
            for (const CircuitState* circuit : health.circuits())
                if (circuit->code == want.code) got = circuit;
            ASSERT_NE(got, nullptr) << want.code;
            EXPECT_EQ(circuitStateText(*got), want.state) << want.code;
            EXPECT_EQ(got->seizures, want.seizures) << want.code;
            EXPECT_EQ(got->answered, want.answered) << want.code;
        }
    }
}

// A circuit's holding time runs from its IAM to its RLC, and its last record is its last message's.
TEST(CircuitHealth, HoldingTimeAndLastRecord) {
    CircuitHealth health(CheckOptions{});
    LogClock clock;
    analysis_testing::runWithFacts(
        analysis_testing::logOfMessages({{"IAM", 1, "10:00:00.00", "S"}, {"ACM", 1, "10:00:01.00", "R"},
                                         {"IAM", 2, "10:00:01.50", "S"}, {"ANM", 1, "10:00:02.00", "R"},
                                         {"REL", 1, "10:00:40.00", "R"}, {"RLC", 1, "10:00:40.25", "S"}}),
        [&](const MessageFacts& m) { health.add(m, clock.instant(m.record().time), true); });
    health.finish({});
    for (const CircuitState* circuit : health.circuits()) {
        if (circuit->code == 1) {
            EXPECT_EQ(circuit->holding, 40250);
            EXPECT_EQ(circuit->lastRecord, 6u);
        } else {
            EXPECT_EQ(circuit->lastRecord, 3u);
        }
    }
}

// Runs `messages` through a CircuitHealth with `options`; the findings made.
std::vector<Finding> findingsOf(CircuitHealth& health, const std::vector<LogMessage>& messages) {
    std::vector<Finding> findings;
    LogClock clock;
    analysis_testing::runWithFacts(analysis_testing::logOfMessages(messages), [&](const MessageFacts& m) {
        health.add(m, clock.instant(m.record().time), true);
    });
    health.finish({});
    for (const Finding& f : health.findings()) findings.push_back(f);
    return findings;
}

const CircuitState* circuitOf(const CircuitHealth& health, unsigned code) {
    for (const CircuitState* circuit : health.circuits())
        if (circuit->code == code) return circuit;
    return nullptr;
}

// A GRS's finding names its range, and the circuits a group message reaches only through its
// range or status bits have that message as their last record.
TEST(CircuitHealth, GroupMessagesNameTheirRange) {
    CircuitHealth health(CheckOptions{});
    const std::vector<Finding> found =
        findingsOf(health, {{"GRS", 16, "10:00:05.00", "S"}, {"CGB", 40, "10:00:06.00", "S"}, kLater});
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].circuit, 16u);
    EXPECT_EQ(found[0].lastCircuit, 19u);
    EXPECT_NE(found[0].sentence.find("16-19"), std::string::npos) << found[0].sentence;
    for (const auto& [code, record] : {std::pair{17u, 1u}, {19u, 1u}, {41u, 2u}, {43u, 2u}}) {
        const CircuitState* circuit = circuitOf(health, code);
        ASSERT_NE(circuit, nullptr) << code;
        EXPECT_EQ(circuit->lastRecord, record) << code;
    }
}

// T7 stops at the messages its row names, and at no other: the row is what the findings and the
// documentation say.
TEST(CircuitHealth, TheMessagesThatStopT7AreThoseItsRowNames) {
    const std::string_view stoppedBy = timerRows()[static_cast<std::size_t>(Timer::T7)].stoppedBy;
    for (const std::string type : {"ACM", "CON", "CPG", "ANM", "REL", "SAM", "BLO", "unknown"}) {
        SCOPED_TRACE(type);
        std::vector<std::string> kinds;
        CircuitHealth health(CheckOptions{});
        for (const Finding& f : findingsOf(health, {{"IAM", 1, "10:00:00.00", "S"}, {type, 1, "10:00:01.00", "R"}, kLater}))
            kinds.emplace_back(findingKindName(f.kind));
        const bool named = stoppedBy.find(type) != std::string_view::npos;
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), "no-backward-message") == 0, named) << stoppedBy;
    }
}

// A circuit needs attention when something is wrong with it at the end of the log, not while a
// call is in progress on it.
TEST(CircuitHealth, AttentionIsForTroubleNotForCallsInProgress) {
    struct Case {
        const char* name;
        std::vector<LogMessage> messages;
        bool attention;
    };
    const LogMessage soon{"IAM", 99, "10:00:03.00", "S"};
    const std::vector<Case> cases = {
        {"a call in progress", {{"IAM", 1, "10:00:00.00", "S"}, {"ACM", 1, "10:00:01.00", "R"}, soon}, false},
        {"its RLC awaited within T1", {{"IAM", 1, "10:00:00.00", "S"}, {"REL", 1, "10:00:02.00", "R"}, soon}, false},
        {"its RLC awaited past T1", {{"IAM", 1, "10:00:00.00", "S"}, {"REL", 1, "10:00:02.00", "R"}, kLater}, true},
        {"blocked", {{"BLO", 1, "10:00:00.00", "S"}, {"BLA", 1, "10:00:00.10", "R"}}, true},
        {"reset pending", {{"RSC", 1, "10:00:00.00", "S"}}, true},
        {"held past its time with no message", {{"IAM", 1, "10:00:00.00", "S"}, {"ANM", 1, "10:00:01.00", "R"},
                                                {"IAM", 99, "12:30:00.00", "S"}}, true},
        {"idle again", {{"IAM", 1, "10:00:00.00", "S"}, {"REL", 1, "10:00:02.00", "R"}, {"RLC", 1, "10:00:02.10", "S"}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CircuitHealth health(CheckOptions{});
        findingsOf(health, c.messages);
        const CircuitState* circuit = circuitOf(health, 1);
        ASSERT_NE(circuit, nullptr);
        EXPECT_EQ(circuit->needsAttention(), c.attention);
    }
}

// A circuit busy past `held` with no message is named once, with its call's first record; a call
// whose messages go on is not stuck however long it lasts.
TEST(CircuitHealth, StuckCircuitsAreNamedOnceWithTheirCall) {
    CheckOptions options;
    std::string error;
    ASSERT_TRUE(parseTimerSetting("held=60", options, error)) << error;
    CircuitHealth health(options);
    const std::vector<Finding> found = findingsOf(
        health, {{"IAM", 1, "10:00:00.00", "S"}, {"ACM", 1, "10:00:01.00", "R"}, {"ANM", 1, "10:00:02.00", "R"},
                 {"IAM", 2, "10:00:10.00", "S"}, {"ANM", 2, "10:00:11.00", "R"}, {"CPG", 2, "10:00:50.00", "R"},
                 {"CPG", 2, "10:01:40.00", "R"}, {"CPG", 2, "10:02:30.00", "R"}, {"IAM", 3, "10:04:20.00", "S"},
                 {"ANM", 3, "10:04:30.00", "R"}, {"IAM", 4, "10:05:00.00", "S"}, {"ANM", 4, "10:05:01.00", "R"}});
    std::vector<std::pair<std::uint32_t, std::uint64_t>> stuck;
    for (const Finding& f : found)
        if (f.kind == FindingKind::StuckCircuit) stuck.emplace_back(f.circuit.value_or(0), f.record);
    // Circuit 1 since 10:00:02, circuit 2 since 10:02:30; circuit 3 still within its minute.
    EXPECT_EQ(stuck, (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{1, 1}, {2, 4}}));
}

}  // namespace
}  // namespace truno
