// The run's summary: its warnings about input that did not become part of a record, and the
// reason of a not-decoded record whose message lost DATA past the columns that are read. The
// report of what was read stays as it was, with one thread or several.
#include "run/DecodeRun.h"
#include "run/LogReader.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace truno {
namespace {

using namespace truno::testing;

RunResult runWithJobs(const std::string& log, unsigned jobs) {
    std::istringstream in(log);
    RunResult r;
    r.summary = decodeLog(in, [&](std::string_view t) { r.report += t; }, RunOptions{.jobs = jobs});
    return r;
}

// 25 octets: a data line that fills the 100 characters that are read. A release complete
// message (decodes: an optional part of one access transport parameter of 16 octets, then the
// end octet, so that no octet comes after its end) and a message of a type code that is not
// known (not decoded).
const std::string kReleaseComplete = logOctets("00 00 00 00 10 01 03 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
const std::string kUnknownType = logOctets("00 00 00 00 FE 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");

std::string messageUnder(const std::vector<std::string>& dataLines) {
    std::string text = kColumns + "\r\n";
    for (const auto& d : dataLines) text += dataLine("10:00:01", "S", d) + "\r\n";
    return text + "\r\n";
}

TEST(RunSummary, WarnsOfWhatTheReportDoesNotShowAndKeepsTheReport) {
    const std::string rlc = logOctets("00 00 00 00 10 00");
    const std::string rel = logOctets("00 00 00 00 0C 02 00 02 80 90");
    const std::string head = logOf({});  // log lines 1-3
    const struct {
        const char* name;
        std::string log;
        std::string sameReportAs;  // the log whose report this one's must equal
        std::vector<std::string> warnings;
        std::uint64_t notDecoded;
    } cases[] = {
        {"three messages under one column header",
         head + messageUnder({rlc}) + dataLine("", "", rel) + "\r\n\r\n" + dataLine("", "", rlc) + "\r\n" +
             dataLine("", "", "02") + "\r\n",
         head + messageUnder({rlc}),
         {"3 lines that look like message data were ignored: no column header before them (log lines 7, 9-10)"},
         0},
        {"DATA past the columns read, the message decodes",
         head + messageUnder({kReleaseComplete + "  01  02"}) + messageUnder({rlc}) + messageUnder({kReleaseComplete + "  03"}),
         head + messageUnder({kReleaseComplete}) + messageUnder({rlc}) + messageUnder({kReleaseComplete}),
         {"2 data lines had DATA longer than the 100 characters that are read; the rest of it was not read "
          "(log lines 5, 11)"},
         0},
        {"both", head + messageUnder({kReleaseComplete + "  01"}) + dataLine("", "", rel) + "\r\n",
         head + messageUnder({kReleaseComplete}),
         {"1 line that looks like message data was ignored: no column header before it (log line 7)",
          "1 data line had DATA longer than the 100 characters that are read; the rest of it was not read "
          "(log line 5)"},
         0},
    };
    for (const auto& c : cases) {
        for (const unsigned jobs : {1u, 2u}) {
            SCOPED_TRACE(std::string(c.name) + ", jobs " + std::to_string(jobs));
            const RunResult r = runWithJobs(c.log, jobs);
            EXPECT_TRUE(r.report == run(c.sameReportAs).report);
            EXPECT_EQ(r.summary.notDecoded, c.notDecoded);
            EXPECT_EQ(r.summary.warnings, c.warnings);
            EXPECT_FALSE(everythingDecoded(r.summary));
        }
    }
}

TEST(RunSummary, NamesTheLinesWhoseDataWasCut) {
    const std::string log = logOf({}) + messageUnder({kUnknownType + "  99"}) +
                            messageUnder({logOctets("00 00 00 00 10 00")}) +
                            messageUnder({kUnknownType + "  99", kUnknownType + "  98"});
    const RunResult r = run(log);
    ASSERT_EQ(r.summary.warnings.size(), 1u);
    EXPECT_EQ(r.summary.warnings[0],
              "3 data lines had DATA longer than the 100 characters that are read; the rest of it was not read "
              "(log lines 5, 11-12)");
    EXPECT_EQ(r.summary.cutDataLines, 3u);
    EXPECT_EQ(summaryText(r.summary), "3 messages found, 1 decoded, 2 not decoded\n" + r.summary.warnings[0]);
}

TEST(RunSummary, ANotDecodedRecordSaysWhichOfItsLinesWereCut) {
    const std::string cut = kUnknownType + "  99";
    const struct { const char* name; std::vector<std::string> lines; std::string reasonEnd; } cases[] = {
        {"one line", {cut}, "; log line 5 had DATA beyond column 128 that was not read\r\n"},
        {"two lines", {cut, logOctets("01"), cut},
         "; 2 of its log lines, from line 5 on, had DATA beyond column 128 that was not read\r\n"},
        {"none", {kUnknownType}, "the octets are shown as read\r\n"},
    };
    for (const auto& c : cases) {
        const std::string log = logOf({}) + messageUnder(c.lines);
        for (const unsigned jobs : {1u, 2u}) {
            const RunResult r = runWithJobs(log, jobs);
            EXPECT_EQ(r.summary.notDecoded, 1u) << c.name;
            const std::size_t reason = r.report.find("REASON.");
            ASSERT_NE(reason, std::string::npos) << c.name;
            const std::size_t lineEnd = r.report.find("\r\n", reason) + 2;
            EXPECT_TRUE(r.report.substr(0, lineEnd).ends_with(c.reasonEnd)) << c.name << ": " << r.report;
            EXPECT_EQ(r.report.substr(lineEnd, 26), "MESSAGE STARTS AT LOG LINE") << c.name;
        }
    }
}

TEST(RunSummary, EverythingDecodedOnlyWhenMessagesWereFoundAndAllDecoded) {
    EXPECT_TRUE(everythingDecoded(run(logOf({"00 00 00 00 10 00"})).summary));
    EXPECT_FALSE(everythingDecoded(run("").summary));
    EXPECT_FALSE(everythingDecoded(run(logOf({"00 00 00 00 10 0x"})).summary));
}

// The other mode is named only when most messages fail and nearly all of those decode in it;
// the warning is the same with several jobs, and counts as a warning for the exit status.
TEST(RunSummary, NamesTheOtherModeOnlyWhenItDecodesWhatFailed) {
    const std::string isupRel = "1F 00 0C 02 00 02 80 90";  // ISUP: circuit 31, REL
    const std::string isupRlc = "1F 00 10 00";
    const std::string biccRlc = "00 00 00 00 10 00";
    const struct {
        const char* name;
        std::vector<std::string> messages;
        std::size_t cicOctets;
        const char* warning;  // part of the warning, or nullptr: none
    } cases[] = {
        {"ISUP log read as BICC", {isupRel, isupRlc, isupRel, isupRlc}, 4,
         "of 4 messages were not decoded; with --cic-octets 2, "},
        {"BICC log read as ISUP", {biccRlc, biccRlc, biccRlc}, 2, "with --cic-octets 4, 3 of them decode"},
        {"a few failures only", {biccRlc, biccRlc, biccRlc, isupRel}, 4, nullptr},
        {"failing in both modes", {"00 00 00 00 FE", "00 00 00 00 FE", "00 00 FE"}, 4, nullptr},
        {"ISUP log read as ISUP", {isupRel, isupRlc}, 2, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text[2];
        for (const unsigned jobs : {1u, 3u}) {
            std::istringstream in(logOf(c.messages));
            const RunSummary s = decodeLog(in, [](std::string_view) {}, RunOptions{.jobs = jobs, .cicOctets = c.cicOctets});
            text[jobs == 1 ? 0 : 1] = summaryText(s);
            if (c.warning != nullptr) {
                EXPECT_FALSE(everythingDecoded(s));
            }
        }
        EXPECT_EQ(text[0], text[1]);
        if (c.warning == nullptr) {
            EXPECT_EQ(text[0].find("--cic-octets"), std::string::npos) << text[0];
        } else {
            EXPECT_NE(text[0].find(c.warning), std::string::npos) << text[0];
        }
    }
}

}  // namespace
}  // namespace truno
