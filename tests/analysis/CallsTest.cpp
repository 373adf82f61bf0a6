// Calls from message sequences: which messages make up a call, how it ends, and what it shows.
#include "analysis/calls/Calls.h"
#include "analysis/pipeline/LogAnalysis.h"
#include "analysis/facts/LogClock.h"
#include "tests/analysis/AnalysisSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace truno {
namespace {

using analysis_testing::LogMessage;

struct ExpectedCall {
    std::uint32_t code;
    std::uint64_t firstRecord;
    std::uint64_t lastRecord;
    std::string_view outcome;
    std::uint32_t messages;
    std::uint32_t notDecoded = 0;
    std::string_view releasedBy = "";
    std::string_view cause = "";
    std::string_view called = "";
};

struct CallCase {
    std::string_view name;
    std::vector<LogMessage> messages;
    std::vector<ExpectedCall> calls;  // in the order they go out
};

const CallCase kCallCases[] = {
    {.name = "answered",
     .messages = {{"IAM", 1, "10:00:00.00"}, {"ACM", 1, "10:00:01.00", "R"}, {"ANM", 1, "10:00:03.00", "R"},
                  {"REL", 1, "10:00:13.50"}, {"RLC", 1, "10:00:14.00", "R"}},
     .calls = {{.code = 1, .firstRecord = 1, .lastRecord = 5, .outcome = "answered", .messages = 5,
                .releasedBy = "S", .cause = "16", .called = "12345600"}}},
    {.name = "released before answer",
     .messages = {{"IAM", 3, "10:00:00.00"}, {"ACM", 3, "10:00:01.00", "R"}, {"REL", 3, "10:00:02.00", "R"},
                  {"RLC", 3, "10:00:02.10"}},
     .calls = {{.code = 3, .firstRecord = 1, .lastRecord = 4, .outcome = "unanswered", .messages = 4,
                .releasedBy = "R", .cause = "16", .called = "12345600"}}},
    {.name = "a new IAM leaves the open call incomplete",
     .messages = {{"IAM", 1, "10:00:00.00"}, {"IAM", 1, "10:00:01.00"}, {"RLC", 1, "10:00:02.00", "R"}},
     .calls = {{.code = 1, .firstRecord = 1, .lastRecord = 1, .outcome = "incomplete", .messages = 1,
                .called = "12345600"},
               {.code = 1, .firstRecord = 2, .lastRecord = 3, .outcome = "unanswered", .messages = 2,
                .called = "12345600"}}},
    {.name = "the log ends with the call open",
     .messages = {{"IAM", 9, "10:00:00.00"}, {"ACM", 9, "10:00:01.00", "R"}},
     .calls = {{.code = 9, .firstRecord = 1, .lastRecord = 2, .outcome = "incomplete", .messages = 2,
                .called = "12345600"}}},
    {.name = "begun before the log",
     .messages = {{"ANM", 4, "10:00:00.00", "R"}, {"REL", 4, "10:00:01.00"}, {"RLC", 4, "10:00:02.00", "R"}},
     .calls = {{.code = 4, .firstRecord = 1, .lastRecord = 3, .outcome = "begun-before-log", .messages = 3,
                .releasedBy = "S", .cause = "16"}}},
    {.name = "reset circuit ends the call; on an idle code it is no call",
     .messages = {{"RSC", 2, "09:59:00.00"}, {"IAM", 2, "10:00:00.00"}, {"ACM", 2, "10:00:01.00", "R"},
                  {"RSC", 2, "10:00:02.00"}},
     .calls = {{.code = 2, .firstRecord = 2, .lastRecord = 4, .outcome = "reset", .messages = 3,
                .called = "12345600"}}},
    {.name = "circuit and unknown messages join no call",
     .messages = {{"IAM", 5, "10:00:00.00"}, {"CGB", 5, "10:00:01.00"}, {"unknown", 5, "10:00:01.50"},
                  {"RLC", 5, "10:00:02.00", "R"}},
     .calls = {{.code = 5, .firstRecord = 1, .lastRecord = 4, .outcome = "unanswered", .messages = 2,
                .notDecoded = 0, .called = "12345600"}}},
    {.name = "calls go out in the order of their first records, whatever order they finish in",
     .messages = {{"IAM", 1, "10:00:00.00"}, {"IAM", 2, "10:00:00.10"}, {"IAM", 3, "10:00:00.20"},
                  {"RLC", 3, "10:00:01.00", "R"}, {"RLC", 2, "10:00:01.50", "R"}, {"RLC", 1, "10:00:02.00", "R"}},
     .calls = {{.code = 1, .firstRecord = 1, .lastRecord = 6, .outcome = "unanswered", .messages = 2,
                .called = "12345600"},
               {.code = 2, .firstRecord = 2, .lastRecord = 5, .outcome = "unanswered", .messages = 2,
                .called = "12345600"},
               {.code = 3, .firstRecord = 3, .lastRecord = 4, .outcome = "unanswered", .messages = 2,
                .called = "12345600"}}},
    {.name = "a circuit group reset ends the calls of its range",
     .messages = {{"IAM", 9, "10:00:00.00"}, {"IAM", 12, "10:00:00.10"}, {"IAM", 13, "10:00:00.20"},
                  {"IAM", 10, "10:00:00.30"}, {"GRS", 9, "10:00:01.00"}, {"RLC", 12, "10:00:01.10", "R"}},
     .calls = {{.code = 9, .firstRecord = 1, .lastRecord = 1, .outcome = "reset", .messages = 1,
                .called = "12345600"},
               {.code = 12, .firstRecord = 2, .lastRecord = 2, .outcome = "reset", .messages = 1,
                .called = "12345600"},
               {.code = 13, .firstRecord = 3, .lastRecord = 3, .outcome = "incomplete", .messages = 1,
                .called = "12345600"},
               {.code = 10, .firstRecord = 4, .lastRecord = 4, .outcome = "reset", .messages = 1,
                .called = "12345600"}}},
    {.name = "no stray calls on an idle circuit",
     // The RLC that answers a reset, a second RLC after both sides released, a late SAM, a REL and
     // an ACM after the RLC: none opens a call.
     .messages = {{"RSC", 2, "10:00:00.00"}, {"RLC", 2, "10:00:00.10", "R"},
                  {"GRS", 20, "10:00:00.20"}, {"RLC", 21, "10:00:00.30", "R"}, {"ACM", 23, "10:00:00.40", "R"},
                  {"IAM", 5, "10:00:01.00"}, {"REL", 5, "10:00:02.00"}, {"REL", 5, "10:00:02.00", "R"},
                  {"RLC", 5, "10:00:02.10"}, {"RLC", 5, "10:00:02.10", "R"}, {"SAM", 5, "10:00:03.00"},
                  {"REL", 5, "10:00:04.00"}, {"ACM", 5, "10:00:05.00", "R"}},
     .calls = {{.code = 5, .firstRecord = 6, .lastRecord = 9, .outcome = "unanswered", .messages = 4,
                .releasedBy = "S", .cause = "16", .called = "12345600"}}},
    {.name = "only a backward message or a release opens a call begun before the log",
     .messages = {{"SAM", 6, "10:00:00.00"}, {"RLC", 7, "10:00:00.10"}, {"REL", 8, "10:00:00.20", "R"},
                  {"RLC", 8, "10:00:00.30"}, {"CPG", 6, "10:00:00.40", "R"}},
     .calls = {{.code = 8, .firstRecord = 3, .lastRecord = 4, .outcome = "begun-before-log", .messages = 2,
                .releasedBy = "R", .cause = "16"},
               {.code = 6, .firstRecord = 5, .lastRecord = 5, .outcome = "begun-before-log", .messages = 1}}},
    {.name = "a release that was not decoded still releases",
     .messages = {{"IAM", 7, "10:00:00.00"}, {"REL-cut", 7, "10:00:01.00", "R"}, {"RLC", 7, "10:00:02.00"}},
     .calls = {{.code = 7, .firstRecord = 1, .lastRecord = 3, .outcome = "unanswered", .messages = 3,
                .notDecoded = 1, .releasedBy = "R", .cause = "", .called = "12345600"}}},
};

class CallsTest : public ::testing::TestWithParam<CallCase> {};

TEST_P(CallsTest, GroupsMessagesIntoCalls) {
    const CallCase& c = GetParam();
    std::vector<Call> finished;
    CallTracker tracker([&](const Call& call) { finished.push_back(call); });
    LogClock clock;
    analysis_testing::runWithFacts(analysis_testing::logOfMessages(c.messages), [&](const MessageFacts& message) {
        tracker.add(message, clock.instant(message.record().time));
    });
    tracker.finish();
    EXPECT_EQ(tracker.openCalls(), 0u);
    ASSERT_EQ(finished.size(), c.calls.size());
    for (std::size_t i = 0; i < finished.size(); ++i) {
        const Call& got = finished[i];
        const ExpectedCall& want = c.calls[i];
        SCOPED_TRACE("call " + std::to_string(i));
        EXPECT_EQ(got.callInstanceCode, want.code);
        EXPECT_EQ(got.firstRecord, want.firstRecord);
        EXPECT_EQ(got.lastRecord, want.lastRecord);
        EXPECT_EQ(outcomeName(got.outcome), want.outcome);
        EXPECT_EQ(got.messages, want.messages);
        EXPECT_EQ(got.notDecoded, want.notDecoded);
        EXPECT_EQ(got.releasedBy, want.releasedBy);
        EXPECT_EQ(got.cause ? std::to_string(*got.cause) : std::string(), want.cause);
        EXPECT_EQ(got.called, want.called);
        EXPECT_EQ(got.calling, want.called.empty() ? "" : "12345678");
    }
}

INSTANTIATE_TEST_SUITE_P(Sequences, CallsTest, ::testing::ValuesIn(kCallCases),
                         [](const ::testing::TestParamInfo<CallCase>& param) {
                             std::string name(param.param.name);
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// The times of a call: setup, answer delay and conversation, also across midnight.
TEST(CallTimes, FromTheFirstMessagesOfEachKind) {
    struct TimesCase {
        std::vector<LogMessage> messages;
        std::optional<std::int64_t> setup, answerDelay, conversation;
    };
    const TimesCase cases[] = {
        {{{"IAM", 1, "10:00:00.00"}, {"ACM", 1, "10:00:01.00", "R"}, {"CPG", 1, "10:00:01.50", "R"},
          {"ANM", 1, "10:00:03.00", "R"}, {"REL", 1, "10:00:13.50"}, {"RLC", 1, "10:00:14.00", "R"}},
         1000, 3000, 10500},
        {{{"IAM", 1, "23:59:59.00"}, {"ACM", 1, "23:59:59.40", "R"}, {"ANM", 1, "00:00:01.50", "R"},
          {"REL", 1, "00:01:01.50"}, {"RLC", 1, "00:01:02.00", "R"}},
         400, 2500, 60000},
        // No answer: no answer delay and no conversation; begun before the log: no setup time.
        {{{"IAM", 1, "10:00:00.00"}, {"REL", 1, "10:00:01.00"}, {"RLC", 1, "10:00:02.00", "R"}},
         std::nullopt, std::nullopt, std::nullopt},
        {{{"ACM", 1, "10:00:00.00", "R"}, {"ANM", 1, "10:00:01.00", "R"}, {"REL", 1, "10:00:04.00"},
          {"RLC", 1, "10:00:05.00", "R"}},
         std::nullopt, std::nullopt, 3000},
    };
    for (const TimesCase& c : cases) {
        std::vector<Call> finished;
        CallTracker tracker([&](const Call& call) { finished.push_back(call); });
        LogClock clock;
        analysis_testing::runWithFacts(analysis_testing::logOfMessages(c.messages), [&](const MessageFacts& message) {
            tracker.add(message, clock.instant(message.record().time));
        });
        tracker.finish();
        ASSERT_EQ(finished.size(), 1u);
        EXPECT_EQ(finished[0].setupTime(), c.setup) << c.messages.front().time;
        EXPECT_EQ(finished[0].answerDelay(), c.answerDelay) << c.messages.front().time;
        EXPECT_EQ(finished[0].conversationTime(), c.conversation) << c.messages.front().time;
    }
}

// Past the bound, the held calls go out ahead of the older call still open, in their own order.
TEST(CallTracker, HeldCallsAreBounded) {
    std::vector<std::uint64_t> out;
    CallTracker tracker([&](const Call& call) { out.push_back(call.firstRecord); }, 2);
    LogClock clock;
    analysis_testing::runWithFacts(
        analysis_testing::logOfMessages({{"IAM", 1, "10:00:00.00"}, {"IAM", 2, "10:00:00.10"}, {"RLC", 2, "10:00:00.20"},
                                         {"IAM", 3, "10:00:00.30"}, {"RLC", 3, "10:00:00.40"}, {"IAM", 4, "10:00:00.50"},
                                         {"RLC", 4, "10:00:00.60"}, {"IAM", 5, "10:00:00.70"}, {"RLC", 5, "10:00:00.80"},
                                         {"IAM", 6, "10:00:00.90"}}),
        [&](const MessageFacts& message) {
            tracker.add(message, clock.instant(message.record().time));
            EXPECT_LE(tracker.heldCalls(), 2u);
        });
    EXPECT_EQ(out, (std::vector<std::uint64_t>{2, 4, 6}));
    tracker.finish();
    EXPECT_EQ(out, (std::vector<std::uint64_t>{2, 4, 6, 1, 8, 10}));
    EXPECT_EQ(tracker.mostHeldCalls(), 2u);
}

// Messages outside calls are counted: circuit events, stray call-control messages, the rest.
TEST(CallStatistics, CountsMessagesOutsideCalls) {
    LogAnalysis analysis([](const AnalysedMessage&) {}, nullptr, false);
    analysis_testing::runWithFacts(
        analysis_testing::logOfMessages({{"RSC", 2, "10:00:00.00"}, {"RLC", 2, "10:00:00.10", "R"},
                                         {"GRS", 20, "10:00:00.20"}, {"CGB", 5, "10:00:00.30"},
                                         {"IAM", 5, "10:00:01.00"}, {"RLC", 5, "10:00:02.00", "R"},
                                         {"RLC", 5, "10:00:02.00"}, {"SAM", 5, "10:00:03.00"},
                                         {"unknown", 5, "10:00:04.00"}}),
        [&](const MessageFacts& message) { analysis.add(message.record()); });
    analysis.finish();
    const Statistics& statistics = analysis.statistics();
    EXPECT_EQ(statistics.messages(), 9u);
    EXPECT_EQ(statistics.calls(), 1u);
    EXPECT_EQ(statistics.outsideCalls(), 7u);
    EXPECT_EQ(statistics.circuitEvents(), 3u);
    EXPECT_EQ(statistics.strayMessages(), 3u);
}

// A message that ends a call leaves it readable, and markable, until the next message.
TEST(CallTracker, EndedCallStaysUntilTheNextMessage) {
    std::vector<bool> selectedWhenOut;
    CallTracker tracker([&](const Call& call) { selectedWhenOut.push_back(call.selected); });
    LogClock clock;
    analysis_testing::runWithFacts(analysis_testing::logOfMessages({{"IAM", 1, "10:00:00.00"}, {"RLC", 1, "10:00:01.00"}}),
                          [&](const MessageFacts& message) {
                              Call* call = tracker.add(message, clock.instant(message.record().time));
                              ASSERT_NE(call, nullptr);
                              if (message.record().acronym == "RLC") {
                                  EXPECT_TRUE(selectedWhenOut.empty());
                                  call->selected = true;
                              }
                          });
    tracker.finish();
    EXPECT_EQ(selectedWhenOut, std::vector<bool>{true});
}

}  // namespace
}  // namespace truno
