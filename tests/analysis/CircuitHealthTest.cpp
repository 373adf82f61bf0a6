// The circuit states and the protocol checks, message by message: each case a short log on a few
// circuits, the state each circuit ends in, and the findings in the order they are made.
#include "AnalysisSupport.h"
#include "analysis/facts/LogClock.h"
#include "analysis/health/CircuitHealth.h"

#include <gtest/gtest.h>

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
        CircuitHealth health(CheckOptions{}, [&kinds](const Finding& f) { kinds.emplace_back(findingKindName(f.kind)); });
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

}  // namespace
}  // namespace truno
