// Times of day and the time line, dates, the filter lists as the command line gives them, and
// the shorthand filters and a selection as the window asks them.
#include "analysis/facts/LogClock.h"
#include "analysis/filters/MessageSelection.h"
#include "analysis/filters/ShorthandFilters.h"
#include "output/PcapExport.h"
#include "analysis/calls/Statistics.h"

#include <gtest/gtest.h>

#include <optional>

namespace truno {
namespace {

TEST(MillisecondsOfDay, ReadsTheLogsTimeForms) {
    const struct {
        std::string_view text;
        std::optional<std::int64_t> milliseconds;
    } cases[] = {
        {"20:22:27.43", ((20 * 60 + 22) * 60 + 27) * 1000 + 430},
        {"10:15:22.1", ((10 * 60 + 15) * 60 + 22) * 1000 + 100},
        {"9:05:00", (9 * 60 + 5) * 60 * 1000},
        {"00:00:00.0015", 1},
        {"23:59:59.999", 86399999},
        {"24:00:00", std::nullopt},
        {"10:60:00", std::nullopt},
        {"10:5:00", std::nullopt},
        {"10:00:00.", std::nullopt},
        {"10:00:00.4x", std::nullopt},
        {"10:00:60.12", std::nullopt},
        {"2x:00:00.12", std::nullopt},
        {"00:00:0.123", std::nullopt},
        {"10:00", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(millisecondsOfDay(c.text), c.milliseconds) << c.text;
}

TEST(LogClock, PassesMidnightButNotASmallStepBack) {
    LogClock clock;
    const struct {
        std::string_view time;
        std::optional<std::int64_t> instant;
    } steps[] = {
        {"23:00:00", 23 * 3600000},
        {"22:59:59.9", 23 * 3600000 - 100},         // logged a little out of order: same day
        {"not a time", std::nullopt},
        {"00:30:00", kMillisecondsPerDay + 1800000},  // past midnight
        {"23:59:00", kMillisecondsPerDay + 86340000},
        {"00:00:01", 2 * kMillisecondsPerDay + 1000},  // and past the next one
    };
    for (const auto& s : steps) EXPECT_EQ(clock.instant(s.time), s.instant) << s.time;
}

// Times of one second read one after the other (only their fraction is read again): each as
// millisecondsOfDay reads it alone, the malformed ones too.
TEST(LogClock, ReadsEachTimeOfTheSameSecondAsAlone) {
    LogClock clock;
    const std::string_view times[] = {
        "10:00:00.5", "10:00:00.25", "10:00:00.125", "10:00:00.4x", "10:00:00.", "10:00:00.1234", "10:00:00.05",
        "10:00:01", "10:00:01.7", "10:00:01.70", "1x:00:01.7", "10:00:01.7", std::string_view("\0\0\0\0\0\0\0\0\0" "5", 10),
        "10:00:02.9", "10:00:02 9", "10:00:02.9",
    };
    for (const std::string_view time : times) EXPECT_EQ(clock.instant(time), millisecondsOfDay(time)) << time;
    LogClock fresh;
    EXPECT_EQ(fresh.instant(std::string_view("\0\0\0\0\0\0\0\0\0" "5", 10)), std::nullopt);
}

TEST(DaysFromDate, CountsFrom1970) {
    const struct {
        std::string_view date;
        std::optional<std::int64_t> days;
    } cases[] = {
        {"1970-01-01", 0}, {"2024-03-01", 19783}, {"2000-02-29", 11016}, {"1969-12-31", -1},
        {"2023-02-29", std::nullopt}, {"2024-13-01", std::nullopt}, {"2024-3-01", std::nullopt},
        {"20240301", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(daysFromDate(c.date), c.days) << c.date;
}

TEST(ParseCodeList, NumbersAndRanges) {
    std::vector<CodeRange> codes;
    std::string error;
    ASSERT_TRUE(parseCodeList("1,5,10-20,4294967295", codes, error));
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[2].first, 10u);
    EXPECT_EQ(codes[2].last, 20u);
    EXPECT_EQ(codes[3].first, 4294967295u);
    for (const std::string_view bad : {"", "1,", "a", "5-1", "1-", "4294967296", "1 ,2"}) {
        codes.clear();
        EXPECT_FALSE(parseCodeList(bad, codes, error)) << bad;
    }
}

TEST(ParseTypeList, AcronymsInAnyCaseAndTheKnownOnesOnError) {
    std::bitset<256> types;
    std::string error;
    ASSERT_TRUE(parseTypeList("IAM,rel,Cgba", types, error));
    EXPECT_EQ(types.count(), 3u);
    EXPECT_TRUE(types.test(0x01) && types.test(0x0C) && types.test(0x1A));
    EXPECT_FALSE(parseTypeList("IAM,XYZ", types, error));
    EXPECT_NE(error.find("'XYZ'"), std::string::npos);
    EXPECT_NE(error.find("IAM SAM INR"), std::string::npos);
}

TEST(ParseRecordRange, AllFourForms) {
    const struct {
        std::string_view text;
        bool ok;
        std::uint64_t first, last;
    } cases[] = {
        {"7", true, 7, 7},   {"3-9", true, 3, 9}, {"5-", true, 5, UINT64_MAX}, {"-4", true, 1, 4},
        {"0", false, 0, 0},  {"9-3", false, 0, 0}, {"-", false, 0, 0},         {"x", false, 0, 0},
    };
    for (const auto& c : cases) {
        std::uint64_t first = 0, last = 0;
        std::string error;
        EXPECT_EQ(parseRecordRange(c.text, first, last, error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(first, c.first) << c.text;
            EXPECT_EQ(last, c.last) << c.text;
        }
    }
}

// Whether a message passes the shorthand filters, compiled into their expressions; they are
// answered from the record's own facts, never from its fields.
bool passes(const ShorthandFilters& given, const RecordFacts& record, std::uint64_t callFirstRecord) {
    MessageSelection selection;
    compileShorthand(given, selection.where);
    return selection.matches(MessageKeys{.record = record, .switchName = {}, .callFirstRecord = callFirstRecord, .fields = nullptr},
                             []() -> const MessageFacts& {
                                 ADD_FAILURE() << "a shorthand filter read the message's fields";
                                 static const MessageFacts none;
                                 return none;
                             });
}

TEST(ShorthandFilters, EveryConditionMustHold) {
    ShorthandFilters filter;
    filter.codes = {{.first = 10, .last = 20}};
    filter.types.set(0x01);
    filter.records = {{.first = 5, .last = 8}, {.first = 12, .last = 12}};
    RecordFacts record;
    record.record = 6;
    record.hasCallInstanceCode = true;
    record.callInstanceCode = 15;
    record.typeCode = 0x01;
    record.decoded = true;
    EXPECT_TRUE(passes(filter, record, 0));
    RecordFacts other = record;
    other.callInstanceCode = 21;
    EXPECT_FALSE(passes(filter, other, 0));
    other = record;
    other.hasCallInstanceCode = false;
    EXPECT_FALSE(passes(filter, other, 0));
    other = record;
    other.typeCode = 0x0C;
    EXPECT_FALSE(passes(filter, other, 0));
    other = record;
    other.record = 9;
    EXPECT_FALSE(passes(filter, other, 0));
    other.record = 12;
    EXPECT_TRUE(passes(filter, other, 0));
    filter.notDecoded = true;
    EXPECT_FALSE(passes(filter, record, 0));
    record.decoded = false;
    EXPECT_TRUE(passes(filter, record, 0));
    filter.call = 3;
    EXPECT_FALSE(passes(filter, record, 0));
    EXPECT_TRUE(passes(filter, record, 3));
    std::vector<FilterExpression> none;
    compileShorthand(ShorthandFilters{}, none);
    EXPECT_TRUE(none.empty());
}

// The window's list builds a message's fields only when the conditions on its own keys hold and
// conditions on fields are left.
TEST(MessageSelection, BuildsTheFieldsOnlyWhenTheOtherConditionsHold) {
    const struct {
        std::string_view expression;
        int typeCode;
        bool passes;
        bool built;
    } cases[] = {
        {"type == REL and cause == 16", 0x01, false, false},
        {"type == REL and cause == 16", 0x0C, false, true},
        {"type == REL and not cause == 16", 0x0C, true, true},
        {"type == REL or cause == 16", 0x01, false, true},  // not split: asked as a whole
        {"cic in {1..5} and type == IAM", 0x01, true, false},
    };
    for (const auto& c : cases) {
        MessageSelection selection;
        FilterError error;
        ASSERT_TRUE(selection.where.emplace_back().compile(c.expression, error)) << c.expression;
        RecordFacts record;
        record.hasCallInstanceCode = true;
        record.callInstanceCode = 3;
        record.typeCode = c.typeCode;
        const MessageFacts noFields;
        bool built = false;
        const bool passes = selection.matches(
            MessageKeys{.record = record, .switchName = {}, .callFirstRecord = 0, .fields = nullptr},
            [&]() -> const MessageFacts& {
                built = true;
                return noFields;
            });
        EXPECT_EQ(passes, c.passes) << c.expression;
        EXPECT_EQ(built, c.built) << c.expression;
    }
}

}  // namespace
}  // namespace truno
