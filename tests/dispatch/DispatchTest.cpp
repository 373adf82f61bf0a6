// The message dispatch and the parameter dispatch: records, the optional-part walk, special
// codes, and the records of messages that cannot be decoded.
#include "run/LogReader.h"
#include "base/DecodeError.h"
#include "base/OctetText.h"
#include "dispatch/Codes.h"
#include "dispatch/MessageTypes.h"
#include "dispatch/ParameterTable.h"
#include "dispatch/RecordFacts.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {
namespace {

using namespace truno::testing;

TEST(decodeParameter, SpecialCodes) {
    DecodingState s;
    const struct { const char* code; const char* contents; std::string text; int end; bool listed; } cases[] = {
        {"00", "", "\r\n", 1, true},
        {"14", "01", "\r\nReserved", 0, true},
        {"80", "", "\r\nReserved", 0, true},
        {"16", "0701", "\r\n", 0, true},  // range and status prints an empty line
        // Codes without a row are shown raw under their code, whatever their digits.
        {"0a", "0313", "\r\nUNKNOWN PARAMETER (CODE 0a)\r\n0313", 0, false},
        {"46", "01", "\r\nUNKNOWN PARAMETER (CODE 46)\r\n01", 0, false},
        {"FF", "", "\r\nUNKNOWN PARAMETER (CODE FF)\r\n", 0, false},
        {"0", "", "\r\nUNKNOWN PARAMETER (CODE 0)\r\n", 0, false},
    };
    for (const auto& c : cases) {
        s.EndOfOptionalParameters = 0;
        Text out;
        EXPECT_EQ(decodeParameter(s, c.code, c.contents, out), c.listed) << c.code;
        EXPECT_EQ(out, c.text) << c.code;
        EXPECT_EQ(s.EndOfOptionalParameters, c.end) << c.code;
    }
}

TEST(decodeParameter, TheTableHasEveryListedCode) {
    int decoded = 0, raw = 0, reserved = 0;
    for (int code = 1; code < 256; ++code) {
        const ParameterRow* row = findParameter(static_cast<std::uint8_t>(code));
        if (row == nullptr) continue;
        EXPECT_FALSE(row->name.empty()) << code;
        if (row->block != nullptr || row->decoder != nullptr || row->number != nullptr)
            ++decoded;
        else if (!row->rawTitle.empty())
            ++raw;
        else
            ++reserved;
    }
    EXPECT_EQ(decoded + raw, 112);
    EXPECT_EQ(reserved, 8);
}

// Parameters without a decoder of their own show their title, CR LF and the contents as
// received, with no line end after them, whatever the contents (even none).
TEST(decodeParameter, RawParametersShowTheirTitleAndContents) {
    const struct { const char* code; const char* title; } cases[] = {
        {"01", "CALL REFERENCE NATIONAL USE"}, {"03", "ACCESS TRANSPORT"},
        {"05", "SubsequentNumber"}, {"0B", "RedirectingNumber"}, {"0C", "RedirectionNumber"},
        {"0D", "CONNECTION REQUEST"}, {"1A", "CLOSED USER GRP INTERLOCK CODE"},
        {"1E", "SignallingPointCodeNationalUse"}, {"20", "UserToUserInformation"},
        {"23", "TransitNetworkSelectionNationalUse"}, {"25", "CIRCUIT ASSIGNMENT MAP"},
        {"2B", "ORIGINATION ISC POINT CODE"}, {"2F", "NETWORK SPECIFIC FACILITY"},
        {"30", "UserServiceInformationPrime"}, {"32", "RemoteOperationsNationalUse"},
        {"34", "UserTeleserviceInformation"}, {"35", "TransmissionMediumUsed"},
        {"3E", "TransmissionMediumRequirementPrime"}, {"4C", "FORWARD GVNS"}, {"66", "SCFId"},
        {"71", "CHARGED PTY I.D NATIONAL USE"}, {"73", "DISPLAY INFORMATION"},
        {"7F", "ORIGINAL CALLED IN NUMBER"}, {"82", "HTR INFORMATION"},
        {"83", "CALLING PTY GEODETIC VELOCITY"}, {"84", "NETWORK ROUTING NUMBER"},
        {"88", "PivotRoutingForwardInformation"}, {"89", "PivotRoutingBackwardInformation"},
        {"8B", "RedirectForwardInformationNationalUse"}, {"8C", "RedirectBackwardInformationNationalUse"},
        {"A2", "IN SERVICE COMPATIBILITY"}, {"A3", "Inter Nodal Traffic Group Identifier"},
        {"A4", "GLOBAL CALL REFERENCE"}, {"A5", "CODING DECODING PROCESSING"}, {"C0", "GENERIC NUMBER"},
        {"C1", "GENERIC DIGITS- NAT.USE"}, {"FC", "ROUTE IDENTITY"}, {"FD", "TARIFF INDICATOR"},
        {"FE", "METER PULSE INDICATOR"},
    };
    for (const auto& c : cases) {
        for (const std::string contents : {"0A1B2C", ""}) {
            DecodingState s;
            Text out;
            decodeParameter(s, c.code, contents, out);
            EXPECT_EQ(out, "\r\n" + std::string(c.title) + "\r\n" + contents) << c.code;
        }
    }
}

// A report without marks copies lines laid out once per field and value, and blocks kept as first
// written; a report with marks writes them piece by piece. Every parameter, with every value of each of its first octets in
// contents of several lengths, must give the same text (or the same failure) either way.
TEST(decodeParameter, TheTextIsTheSameWithAndWithoutMarks) {
    const auto written = [](const ParameterRow& row, std::string_view contents, bool marked) {
        std::vector<Mark> marks;
        Text out;
        if (marked) out.attachMarks(&marks);
        try {
            appendParameterBlock(row, contents, out);
        } catch (const DecodeError& e) {
            return std::string("failed: ") + e.what();
        }
        return out.str();
    };
    int compared = 0;
    for (const ParameterRow& row : parameterRows()) {
        for (const std::size_t octets : {std::size_t{1}, std::size_t{3}, std::size_t{6}}) {
            for (std::size_t at = 0; at < octets && at < 3; ++at) {
                for (unsigned value = 0; value < 256; ++value) {
                    std::string contents(2 * octets, '1');
                    contents[2 * at] = kUpperHexDigits[value >> 4];
                    contents[2 * at + 1] = kUpperHexDigits[value & 0xF];
                    // Twice without marks: the block written, then the block kept.
                    const std::string marked = written(row, contents, true);
                    ASSERT_EQ(written(row, contents, false), marked) << row.key << " " << contents;
                    ASSERT_EQ(written(row, contents, false), marked) << row.key << " " << contents;
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 100000);
}

TEST(dispatchMessage, WalksTheOptionalPart) {
    const std::string bci = [] {
        Text out;
        appendParameterBlock(*findParameter(codes::kBackwardCallIndicators), "1401", out);
        return out.str();
    }();
    const struct { const char* name; const char* octets; std::string optionalText; } cases[] = {
        {"one parameter then 00", "00 00 00 00 06 16 14 01 11 02 14 01 00", "\r\n" + bci},
        {"an empty optional part (the end octet alone)", "00 00 00 00 06 16 14 01 00", ""},
        {"00 00 after the last parameter gives one empty line", "00 00 00 00 06 16 14 01 11 02 14 01 00 00",
         "\r\n" + bci + "\r\n"},
        {"an unlisted code between two listed ones is shown raw",
         "00 00 00 00 06 16 14 01 11 02 14 01 46 01 FF 11 02 14 01 00",
         "\r\n" + bci + "\r\nUNKNOWN PARAMETER (CODE 46)\r\nFF\r\n" + bci},
        {"a reserved code", "00 00 00 00 06 16 14 01 14 01 FF 11 02 14 01 00", "\r\nReserved\r\n" + bci},
    };
    // The same message without an optional part (pointer 0) gives the record up to it.
    Message bare("00 00 00 00 06 16 14 00");
    dispatchMessage(bare.state);
    for (const auto& c : cases) {
        Message m(c.octets);
        dispatchMessage(m.state);
        EXPECT_EQ(m.state.ReportText, bare.state.ReportText.str() + c.optionalText) << c.name;
        EXPECT_EQ(m.state.EndOfOptionalParameters, 0) << c.name;
    }
}

TEST(dispatchMessage, BuildsTheRecordBanner) {
    Message m("00 00 00 00 10 00");
    m.state.MessageCount = 6;
    dispatchMessage(m.state);
    const std::string rule(83, '#');
    EXPECT_EQ(m.state.ReportText.view().rfind(rule + "\r\nRECORD 7     TIME=10:15:22.1, DIR=R     RELEASE COMPLETE (RLC)\r\n" + rule + "\r\n" +
                                           dressLabel("BICC CALL INSTANCE CODE (BCIC)") + "1\r\n", 0),
              0u);
    EXPECT_EQ(m.state.MessageCount, 7u);
}

// A log of messages, decoded: the records and the counts.
TEST(DecodeRun, EveryMessageGetsOneRecordNumberedInOrder) {
    const RunResult r = run(logOf({
        "00 00 00 00 10 00",                    // RLC: decoded
        "00 00 00 00 06 16 14 01 11 02 14 01",  // optional part without the end octet
        "00 00 00",                             // fewer than five octets
        "00 00 00 00 5A 01 02",                 // unknown message type
        "00 00 00 00 0c 00",                    // lower-case type code
        "00 00 00 00 09 05 00",                 // optional-part pointer past the end
        "00 00 00 00 06 16 14 01 11 09 14 01 00",  // parameter length past the end
        "00 00 00 00 0C 02 00 02 8a 90",        // lower-case digit in the cause
        "00 00 00 00 09 01 00",                 // ANM with an empty optional part: decoded
    }));
    EXPECT_EQ(r.summary.found, 9u);
    EXPECT_EQ(r.summary.decoded, 2u);
    EXPECT_EQ(r.summary.notDecoded, 7u);
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(countOf(r.report, "RECORD " + std::to_string(i) + "     "), 1) << i;
    EXPECT_EQ(countOf(r.report, std::string(kNotDecodedMarker)), 7);
    const char* reasons[] = {
        "does not end with the end-of-optional-parameters octet 00",
        "at least five are needed",
        "message type code 5A is not a known message type",
        "message type code 0c is not a known message type",
        "points to index 10, past the last octet",
        "optional parameter 11: length 9 runs past the last octet",
        "lower-case digit 'a'",
    };
    for (const char* why : reasons) EXPECT_NE(r.report.find(why), std::string::npos) << why;
    EXPECT_NE(r.report.find("UNKNOWN MESSAGE TYPE (code 5A)"), std::string::npos);
    EXPECT_NE(r.report.find(dressLabel("OCTETS AS READ") + "00  00  00  00  5A  01  02\r\n"), std::string::npos);
    EXPECT_NE(r.report.find(dressLabel("MESSAGE STARTS AT LOG LINE") + "8\r\n"), std::string::npos);
    // Nothing of a failed message's partial decoding is shown.
    EXPECT_EQ(countOf(r.report, "ADDRESS COMPLETE MESSAGE (ACM)"), 0);
}

TEST(DecodeRun, TheReportStartsWithTheFirstBannerAndRecordsAreSeparatedByCrLf) {
    const RunResult r = run(logOf({"00 00 00 00 10 00", "00 00 00 00 10 00"}));
    EXPECT_EQ(r.report.rfind(std::string(83, '#'), 0), 0u);
    EXPECT_NE(r.report.find("(RLC)\r\n\r\n\r\n###"), std::string::npos);
}

TEST(DecodeRun, SaysWhyNothingWasFound) {
    const struct { std::string log; const char* why; } cases[] = {
        {"hello\r\n", "no trace header line"},
        {kTraceHeader + "\r\n" + kTraceValues + "\r\n", "no column header line"},
        {kTraceHeader + "\r\n" + kTraceValues + "\r\n" + kColumns + "\r\n", "no message lines"},
    };
    for (const auto& c : cases) {
        const RunResult r = run(c.log);
        EXPECT_EQ(r.summary.found, 0u);
        EXPECT_NE(summaryText(r.summary).find(c.why), std::string::npos) << summaryText(r.summary);
        EXPECT_TRUE(r.report.empty());
    }
}

TEST(DecodeRun, ControlCharactersFromTheLogAreEscapedInTheBanner) {
    const std::string log = kTraceHeader + "\r\n" + "OPER1      1\x1b[2J\r\n" + kColumns + "\r\n" +
                            dataLine("10:00\x1b]0;x\x07", "S", "00  00  00  00  10  00") + "\r\n\r\n";
    const RunResult r = run(log + kColumns + "\r\n" + dataLine("1", "S", "00  00  00  00  06  16  14  01  03  02  1B\x1b  9B\x9b  00") + "\r\n");
    EXPECT_EQ(r.report.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.report.find('\x9b'), std::string::npos);
    EXPECT_NE(r.report.find("1B\\x1B"), std::string::npos);
    EXPECT_NE(r.report.find("TIME=10:00\\x1B]0;x\\x07"), std::string::npos);
    EXPECT_NE(r.report.find("=1\\x1B[2J\r\n"), std::string::npos);
}

TEST(DecodeRun, TheRealCapturesDecodeWithoutAFailure) {
    for (const char* name : {"isup-m3ua-call-6", "isup-m2pa-call-6", "bicc-iam-app-1", "isup-m3ua-calls-470"}) {
        std::ifstream in(std::string(TRUNO_SOURCE_DIR) + "/tests/golden/" + name + ".log", std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::string report;
        const RunSummary s = decodeLog(in, [&](std::string_view t) { report += t; });
        EXPECT_GT(s.found, 0u) << name;
        EXPECT_EQ(s.notDecoded, 0u) << name;
        EXPECT_EQ(report.find(kNotDecodedMarker), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace truno

namespace truno {
namespace {

using namespace truno::testing;

// A log with carried-over TIME and DIR, failures and page headers, long enough for many batches.
std::string mixedLog(int messages) {
    std::string log = kTraceHeader + "\r\n" + kTraceValues + "\r\n";
    const char* bodies[] = {"00 00 00 00 10 00", "00 00 00 00 06 16 14 01 11 02 14 01 00", "00 00 00 00 5A 01",
                            "00 00 00 00 09 01 00", "00 00 00 00 0C 02 00 02 80 90", "00 00 00"};
    for (int i = 0; i < messages; ++i) {
        log += kColumns + "\r\n";
        const std::string time = (i % 3 == 0) ? "10:" + std::to_string(i) : "";
        const std::string dir = (i % 4 == 0) ? (i % 8 ? "S" : "R") : "";
        log += dataLine(time, dir, logOctets(bodies[i % 6])) + "\r\n";
        if (i % 7 == 0) log += "X  TIME  PAGE " + std::to_string(i) + "\r\n";
        log += "\r\n";
    }
    return log;
}

TEST(DecodeRun, ThreadsGiveTheSameReportAsOneThread) {
    const std::string log = mixedLog(3000);
    const RunResult one = run(log);
    for (unsigned jobs : {2u, 3u, 8u}) {
        std::istringstream in(log);
        std::string report;
        RunOptions options;
        options.jobs = jobs;
        const RunSummary s = decodeLog(in, [&](std::string_view t) { report += t; }, options);
        EXPECT_EQ(report, one.report) << jobs << " jobs";
        EXPECT_EQ(s.found, one.summary.found);
        EXPECT_EQ(s.decoded, one.summary.decoded);
        EXPECT_EQ(s.notDecoded, one.summary.notDecoded);
    }
    EXPECT_EQ(one.summary.found, 3000u);
    EXPECT_EQ(one.summary.found, one.summary.decoded + one.summary.notDecoded);
    EXPECT_EQ(countOf(one.report, "RECORD 3000     "), 1);
}

TEST(DecodeRun, AMessageWithoutItsBlankLineCannotGrowWithoutBound) {
    std::string log = kTraceHeader + "\r\n" + kTraceValues + "\r\n" + kColumns + "\r\n";
    const std::string line = dataLine("1", "S", logOctets("00 00 00 00 10 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 01 02 03 04"));
    for (int i = 0; i < 20000; ++i) log += line + "\r\n";
    log += "\r\n" + kColumns + "\r\n" + dataLine("2", "S", "00  00  00  00  10  00") + "\r\n";
    const RunResult r = run(log);
    EXPECT_EQ(r.summary.found, 2u);
    EXPECT_EQ(r.summary.notDecoded, 1u);
    EXPECT_NE(r.report.find("is the blank line after it missing?"), std::string::npos);
    EXPECT_LT(r.report.size(), 2u * LogReader::kMaxMessageData);
    EXPECT_EQ(countOf(r.report, "RECORD 2     "), 1);
}

TEST(DecodeRun, ACancelledRunStopsEarly) {
    const std::string log = mixedLog(2000);
    for (unsigned jobs : {1u, 2u}) {
        std::atomic<bool> cancel{true};
        std::istringstream in(log);
        RunOptions options;
        options.jobs = jobs;
        options.cancel = &cancel;
        const RunSummary s = decodeLog(in, [](std::string_view) {}, options);
        EXPECT_TRUE(s.cancelled);
        EXPECT_LT(s.found, 2000u);
    }
}

// A copied record views its own storage, whether the octets come packed one after another (as the
// reader gives them) or each from elsewhere, and after its storage has grown for a larger record.
TEST(CopiedRecord, ViewsItsOwnStorage) {
    const std::string packed = "0100000001";
    const std::vector<std::string_view> packedOctets{{packed.data(), 2}, {packed.data() + 2, 2}, {packed.data() + 4, 2},
                                                     {packed.data() + 6, 2}, {packed.data() + 8, 2}};
    const std::vector<std::string> apart{"01", "00", "00", "00", "0F", "ZZZ"};
    const std::vector<std::string_view> apartOctets(apart.begin(), apart.end());
    const std::string text(300, 'x');
    const std::vector<Mark> marks{Mark{.begin = 1, .value = 2, .code = 6, .kind = MarkKind::Parameter}};
    CopiedRecord copy;
    for (const auto& octets : {packedOctets, apartOctets, packedOctets}) {
        RecordFacts record;
        record.time = "10:00:00.01";
        record.text = std::string_view(text).substr(0, 100 + 50 * octets.size());
        record.octets = octets;
        record.trailingOctets = std::span<const std::string_view>(octets).subspan(4);
        record.marks = marks;
        copy.assign(record);
        const CopiedRecord moved(std::move(copy));
        const RecordFacts& r = moved.record();
        EXPECT_EQ(r.time, record.time);
        EXPECT_EQ(r.text, record.text);
        EXPECT_NE(r.text.data(), record.text.data());
        ASSERT_EQ(r.octets.size(), octets.size());
        for (std::size_t i = 0; i < octets.size(); ++i) {
            EXPECT_EQ(r.octets[i], octets[i]);
            EXPECT_NE(r.octets[i].data(), octets[i].data());
        }
        ASSERT_EQ(r.trailingOctets.size(), octets.size() - 4);
        EXPECT_EQ(r.trailingOctets.data(), r.octets.data() + 4);
        ASSERT_EQ(r.marks.size(), 1u);
        EXPECT_EQ(r.marks[0].code, 6);
        copy = moved;
    }
}

}  // namespace
}  // namespace truno
