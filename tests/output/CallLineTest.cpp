// A call's line of the calls view, cell by cell: right-aligned numbers and delays (negative ones,
// numbers wider than their column), "-" for what a call lacks, the switch and route columns.
#include "output/Exports.h"
#include "parameters/callcontrol/CauseValues.h"

#include <gtest/gtest.h>

#include <string>

namespace truno {
namespace {

std::string blanks(std::size_t n) { return std::string(n, ' '); }

Call answeredCall() {
    Call call;
    call.callInstanceCode = 1;
    call.firstRecord = 1;
    call.lastRecord = 5;
    call.first = {.present = true, .time = "10:00:00.00", .at = 0};
    call.last = {.present = true, .time = "10:00:14.00", .at = 14000};
    call.addressComplete = {.present = true, .time = "10:00:01.00", .at = 1000};
    call.answer = {.present = true, .time = "10:00:03.00", .at = 3000};
    call.release = {.present = true, .time = "10:00:13.50", .at = 13500};
    call.direction = std::string(1, 'S');
    call.releasedBy = std::string(1, 'S');
    call.cause = 16;
    call.outcome = CallOutcome::Answered;
    call.messages = 5;
    call.called = "12345600";
    call.opened = true;
    return call;
}

// An address complete message logged before the initial address message, numbers past their
// columns' widths, nothing else known.
Call oddCall() {
    Call call;
    call.callInstanceCode = 4294967295u;
    call.firstRecord = 123456789;
    call.lastRecord = 123456790;
    call.first = {.present = true, .time = "", .at = 5000};
    call.addressComplete = {.present = true, .time = "", .at = 1500};
    call.route = "2057-2058";
    call.outcome = CallOutcome::BegunBeforeLog;
    call.messages = 3;
    call.notDecoded = 2;
    call.opened = true;
    return call;
}

TEST(CallLine, WritesEachCellAsTheHeadingsAlignIt) {
    struct Case {
        const char* name;
        Call call;
        std::size_t switchColumn;
        bool routeColumn;
        std::string line;
    };
    const Case cases[] = {
        {"an answered call", answeredCall(), 0, false,
         blanks(9) + "1  " + blanks(7) + "1  " + blanks(7) + "5  10:00:00.00  10:00:14.00  S    answered" + blanks(8) +
             "  16     S    " + blanks(4) + "1.000  " + blanks(4) + "3.000  " + blanks(3) + "10.500  " + blanks(4) +
             "5  12345600 / -  (" + std::string(causeMeaning(16)) + ")\n"},
        {"with a switch column", answeredCall(), 9, false,
         std::string("-") + blanks(8) + "  " + blanks(9) + "1  " + blanks(7) + "1  " + blanks(7) +
             "5  10:00:00.00  10:00:14.00  S    answered" + blanks(8) + "  16     S    " + blanks(4) + "1.000  " +
             blanks(4) + "3.000  " + blanks(3) + "10.500  " + blanks(4) + "5  12345600 / -  (" +
             std::string(causeMeaning(16)) + ")\n"},
        {"a negative delay, wide numbers, a route, messages not decoded", oddCall(), 0, true,
         std::string("2057-2058    4294967295  123456789  123456790  -") + blanks(10) + "  -" + blanks(10) +
             "  -    begun-before-log  -      -    " + blanks(3) + "-3.500  " + blanks(8) + "-  " + blanks(8) + "-  " +
             blanks(4) + "3  - / -  [2 not decoded]\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "before\n";
        appendCallLine(out, c.call, c.switchColumn, c.routeColumn);
        EXPECT_EQ(out, "before\n" + c.line);
    }
}

}  // namespace
}  // namespace truno
