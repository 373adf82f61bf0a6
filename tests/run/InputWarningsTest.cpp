// Input that the report alone would not show: a column header inside a message, octets after a
// message's end, a MSG column naming another type, tabs where blanks should be. Each gives its
// summary warning (or reason) with the log lines or records concerned, with one thread or two,
// and the report of what was read stays what a well-formed log gives.
#include "run/DecodeRun.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace truno {
namespace {

using namespace truno::testing;

struct Seen {
    RunSummary summary;
    std::string report;
    std::vector<std::vector<std::string>> trailing;  // per record
    std::vector<std::string> reasons;                // per record
};

Seen runLog(const std::string& log, unsigned jobs) {
    std::istringstream in(log);
    Seen s;
    RunOptions options{.jobs = jobs};
    options.records = [&](const RecordFacts& f) {
        s.trailing.emplace_back(f.trailingOctets.begin(), f.trailingOctets.end());
        s.reasons.emplace_back(f.reason);
    };
    s.summary = decodeLog(in, [&](std::string_view t) { s.report += t; }, options);
    return s;
}

// A data line whose MSG column holds `msg`.
std::string lineWithMsg(const std::string& msg, const std::string& octets) {
    std::string line = dataLine("10:00:00", "S", logOctets(octets));
    return line.replace(12, 3, msg);
}

const std::string kHead = logOf({});  // log lines 1-3
const std::string kRlc = "00 00 00 00 10 00";
const std::string kRel = "00 00 00 00 0C 02 00 02 80 90";

TEST(InputWarnings, EachSaysWhatAndWhereAndTheReportStays) {
    const std::string wellFormed = logOf({kRlc, kRel});
    const struct {
        const char* name;
        std::string log;
        std::string sameReportAs;  // empty: not compared
        std::vector<std::string> warnings;
        std::uint64_t found;
        std::vector<std::vector<std::string>> trailing;
    } cases[] = {
        {"well formed", wellFormed, "", {}, 2, {{}, {}}},
        {"column header inside a message",
         kHead + kColumns + "\r\n" + dataLine("10:00:00", "S", logOctets(kRlc)) + "\r\n" + kColumns + "\r\n" +
             dataLine("10:00:01", "S", logOctets(kRel)) + "\r\n\r\n",
         wellFormed,
         {"1 column header line came inside a message, the blank line before it missing: each ended the message "
          "before it and began the next (log line 6)"},
         2,
         {{}, {}}},
        {"a column header twice in a row is one header",
         kHead + kColumns + "\r\n" + kColumns + "\r\n" + dataLine("10:00:00", "S", logOctets(kRlc)) + "\r\n\r\n",
         logOf({kRlc}), {}, 1, {{}}},
        {"octets after the end: no optional part, after the end octet, a type without parameters",
         logOf({"00 00 00 00 09 00 14 5A", "00 00 00 00 0C 02 04 02 80 90 00 AA", "00 00 00 00 12 07",
                "00 00 00 00 0C 02 04 02 80 90 00", "00 00 00 00 09 01 00"}),
         "",
         {"3 messages have octets after their end (records 1, 2, 3)"},
         5,
         {{"14", "5A"}, {"AA"}, {"07"}, {}, {}}},
        {"the MSG column names another known type; an unknown or the same name says nothing",
         kHead + kColumns + "\r\n" + lineWithMsg("REL", "00 00 00 00 09 00") + "\r\n\r\n" + kColumns + "\r\n" +
             lineWithMsg("ZZZ", kRlc) + "\r\n\r\n" + kColumns + "\r\n" + lineWithMsg("REL", kRel) + "\r\n\r\n",
         "",
         {"1 message has a MSG column that names another type than its type code (record 1 (MSG REL, type ANM))"},
         3,
         {{}, {}, {}}},
    };
    for (const auto& c : cases) {
        for (const unsigned jobs : {1u, 2u}) {
            SCOPED_TRACE(std::string(c.name) + ", jobs " + std::to_string(jobs));
            const Seen s = runLog(c.log, jobs);
            EXPECT_EQ(s.summary.warnings, c.warnings);
            EXPECT_EQ(s.summary.found, c.found);
            EXPECT_EQ(s.summary.notDecoded, 0u);
            EXPECT_EQ(s.trailing, c.trailing);
            EXPECT_EQ(everythingDecoded(s.summary), c.warnings.empty());
            if (!c.sameReportAs.empty()) {
                EXPECT_EQ(s.report, run(c.sameReportAs).report);
            }
        }
    }
}

TEST(InputWarnings, ListsOfRecordsStayShort) {
    std::vector<std::string> messages(12, "00 00 00 00 10 00 01");
    const Seen s = runLog(logOf(messages), 1);
    ASSERT_EQ(s.summary.warnings.size(), 1u);
    EXPECT_EQ(s.summary.warnings[0], "12 messages have octets after their end (records 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, ...)");
    EXPECT_EQ(s.summary.trailingOctetMessages, 12u);
}

TEST(InputWarnings, TabsAreNamedWithTheirLine) {
    const std::string continuation = "\t\t\t" + logOctets("10 00");
    const struct {
        const char* name;
        std::string log;
        std::string whyNothing;  // a part of it
        std::string reason;      // a part of record 1's reason
        std::vector<std::string> warnings;
    } cases[] = {
        {"a continuation line with tabs",
         kHead + kColumns + "\r\n" + dataLine("10:00:00", "S", logOctets("00 00 00 00")) + "\r\n" + continuation +
             "\r\n\r\n",
         "",
         "; log line 6 holds a tab: columns are read by position",
         {"1 data line holds a tab: columns are read by position, so blanks must stand where the tabs are (log line 6)"}},
        {"a trace header with tabs", "USER\tBCIC\tDEV\tROUTE\tTSTCALL\r\n" + kTraceValues + "\r\n",
         "no trace header line found (a line that is exactly \"" + kTraceHeader +
             "\", blanks after it aside); log line 1 has its words but holds a tab",
         "", {}},
        {"a column header with tabs", kHead + "TIME\tMSG\tDIR\tDATA\r\n" + dataLine("", "", logOctets(kRlc)) + "\r\n",
         "no column header line (containing \"" + kColumns + "\") after the trace header; log line 4 has its words but "
         "holds a tab",
         "", {"1 line that looks like message data was ignored: no column header before it (log line 5)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Seen s = runLog(c.log, 1);
        EXPECT_EQ(s.summary.warnings, c.warnings);
        if (c.whyNothing.empty()) {
            EXPECT_TRUE(s.summary.whyNothing.empty()) << s.summary.whyNothing;
        } else {
            EXPECT_NE(s.summary.whyNothing.find(c.whyNothing), std::string::npos) << s.summary.whyNothing;
        }
        if (!c.reason.empty()) {
            ASSERT_EQ(s.reasons.size(), 1u);
            EXPECT_NE(s.reasons[0].find(c.reason), std::string::npos) << s.reasons[0];
            EXPECT_NE(s.report.find("holds a tab"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace truno
