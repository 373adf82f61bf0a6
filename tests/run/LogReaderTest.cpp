// The log reader: which lines make a message, what is carried from line to line, and where a
// log ends.
#include "run/LogReader.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace truno {
namespace {

using namespace truno::testing;

std::vector<LogMessage> readAll(const std::string& log, std::string* bcic = nullptr) {
    std::istringstream in(log);
    LogReader reader(in);
    std::vector<LogMessage> out;
    LogMessage m;
    std::vector<std::vector<std::size_t>> sizes;
    while (reader.next(m)) {
        out.push_back(m);
        sizes.emplace_back();
        for (const auto& v : m.octets) sizes.back().push_back(v.size());
    }
    // Views point into each message's data, which may have moved with the vector: rebuild them
    // once every message is in place (the octets stand one after another in the data).
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].octets.clear();
        std::size_t from = 0;
        for (const std::size_t size : sizes[i]) {
            out[i].octets.emplace_back(out[i].data.data() + from, size);
            from += size;
        }
    }
    if (bcic != nullptr) *bcic = reader.bcic();
    return out;
}

std::vector<std::string> octetsOf(const LogMessage& m) { return {m.octets.begin(), m.octets.end()}; }

TEST(LineSource, EveryKindOfLineEndEndsALine) {
    const struct { std::string text; std::vector<std::string> lines; } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"", {}},
        {"last", {"last"}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        LineSource src(in);
        std::vector<std::string> got;
        std::string_view line;
        while (src.next(line)) got.emplace_back(line);
        EXPECT_EQ(got, c.lines) << c.text;
    }
}

TEST(LineSource, OverlongLinesAreCutAndTheRestSkipped) {
    for (const std::string eol : {"\r\n", "\r", "\n"}) {
        const std::string big(3 * LineSource::kMaxLine + 5, 'x');
        std::istringstream in("a" + eol + big + eol + "y" + eol + std::string(LineSource::kMaxLine - 1, 'z') + eol + "w");
        LineSource src(in);
        std::string_view line;
        ASSERT_TRUE(src.next(line));
        EXPECT_EQ(line, "a");
        ASSERT_TRUE(src.next(line));
        EXPECT_EQ(line.size(), LineSource::kMaxLine);
        ASSERT_TRUE(src.next(line));
        EXPECT_EQ(line, "y");
        ASSERT_TRUE(src.next(line));
        EXPECT_EQ(line.size(), LineSource::kMaxLine - 1);
        ASSERT_TRUE(src.next(line));
        EXPECT_EQ(line, "w");
        EXPECT_EQ(src.lineNumber(), 5u);
        EXPECT_FALSE(src.next(line));
    }
}

TEST(LogReader, ReadsTheExampleMessageOverTwoDataLines) {
    const std::string log = kTraceHeader + "\r\n" + kTraceValues + "\r\n\r\n" + kColumns + "\r\n" +
                            "10:15:22.1  RLC        R    01  00  00  00\r\n" + std::string(28, ' ') + "10  00\r\n\r\n";
    std::string bcic;
    const auto msgs = readAll(log, &bcic);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(bcic, "1");
    EXPECT_EQ(octetsOf(msgs[0]), (std::vector<std::string>{"01", "00", "00", "00", "10", "00"}));
    EXPECT_EQ(msgs[0].time, "10:15:22.1");
    EXPECT_EQ(msgs[0].direction, "R");
    EXPECT_EQ(msgs[0].startLine, 5u);
}

TEST(LogReader, LfOnlyAndCrOnlyLogsReadLikeCrLfLogs) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        const auto msgs = readAll(logOf({"00 00 00 00 10 00", "00 00 00 00 09 00"}, eol));
        ASSERT_EQ(msgs.size(), 2u) << "line end " << (eol == "\n" ? "LF" : eol == "\r" ? "CR" : "CRLF");
        EXPECT_EQ(octetsOf(msgs[1]), (std::vector<std::string>{"00", "00", "00", "00", "09", "00"}));
    }
}

TEST(LogReader, FindsMessagesOnlyWhereTheFormatPutsThem) {
    const std::string h = kTraceHeader, v = kTraceValues, c = kColumns;
    const std::string d1 = dataLine("10:00:01", "S", "00  00  00  00  10  00");
    const std::string d2 = dataLine("10:00:02", "R", "00  00  00  00  09  00");
    const struct { const char* name; std::string log; std::size_t messages; } cases[] = {
        {"no trace header", c + "\r\n" + d1 + "\r\n\r\n", 0},
        {"trace header with blanks and tabs after it", h + " \t \r\n" + v + "\r\n" + c + "\r\n" + d1 + "\r\n\r\n", 1},
        {"byte-order mark before the trace header", "\xEF\xBB\xBF" + h + "\r\n" + v + "\r\n" + c + "\r\n" + d1 + "\r\n\r\n", 1},
        {"byte-order mark on a later line", "\r\n\xEF\xBB\xBF" + h + "\r\n" + v + "\r\n" + c + "\r\n" + d1 + "\r\n\r\n", 0},
        {"trace header with a blank before it", " " + h + "\r\n" + v + "\r\n" + c + "\r\n" + d1 + "\r\n\r\n", 0},
        {"trace header with text after it", h + " X\r\n" + v + "\r\n" + c + "\r\n" + d1 + "\r\n\r\n", 0},
        {"column header before the trace header is ignored",
         c + "\r\n" + d1 + "\r\n\r\n" + h + "\r\n" + v + "\r\n" + c + "\r\n" + d2 + "\r\n\r\n", 1},
        {"two messages under one column header: only the first",
         h + "\r\n" + v + "\r\n" + c + "\r\n" + d1 + "\r\n\r\n" + d2 + "\r\n\r\n", 1},
        {"a blank line right after the column header hands on an empty message",
         h + "\r\n" + v + "\r\n" + c + "\r\n\r\n", 1},
        {"unfinished last message at the end of the file", h + "\r\n" + v + "\r\n" + c + "\r\n" + d1, 1},
        {"column header at the end of the file", h + "\r\n" + v + "\r\n" + c + "\r\n", 0},
        {"trace header at the end of the file", h, 0},
        {"a second trace header is an ordinary line",
         h + "\r\n" + v + "\r\n" + h + "\r\nX          9\r\n" + c + "\r\n" + d1 + "\r\n\r\n", 1},
    };
    for (const auto& cs : cases) EXPECT_EQ(readAll(cs.log).size(), cs.messages) << cs.name;
}

TEST(LogReader, PageHeadersAreSkippedAndTimeAndDirCarryOver) {
    const std::string log = kTraceHeader + "\r\n" + kTraceValues + "\r\n" + kColumns + "\r\n" +
                            dataLine("10:00:01", "S", "00  00  00  00") + "\r\n" +
                            "REPORT    TIME 10:00     PAGE 2\r\n" + dataLine("", "", "0C  02") + "\r\n\r\n" +
                            kColumns + "\r\n" + dataLine("", "", "00  00  00  00  10  00") + "\r\n\r\n" + kColumns +
                            "\r\n" + dataLine("", "R", "00  00  00  00  10  00") + "\r\n\r\n";
    const auto msgs = readAll(log);
    ASSERT_EQ(msgs.size(), 3u);
    EXPECT_EQ(octetsOf(msgs[0]), (std::vector<std::string>{"00", "00", "00", "00", "0C", "02"}));
    EXPECT_EQ(msgs[1].time, "10:00:01");
    EXPECT_EQ(msgs[1].direction, "S");
    EXPECT_EQ(msgs[2].time, "10:00:01");
    EXPECT_EQ(msgs[2].direction, "R");
}

TEST(LogReader, DataIsCutAtOneHundredCharactersAndSplitAtTwoBlanks) {
    std::string data;
    for (int i = 0; i < 30; ++i) data += (i ? "  " : "") + std::string("AB");
    const auto cut = readAll(logOf({}) + kColumns + "\r\n" + dataLine("1", "S", data) + "\r\n\r\n");
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].octets.size(), 25u);  // 100 characters hold 25 octets
    const auto single = readAll(logOf({}) + kColumns + "\r\n" + dataLine("1", "S", "00 00  01   02    03") + "\r\n\r\n");
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(octetsOf(single[0]), (std::vector<std::string>{"00 00", "01", " 02", "", "03"}));
}

TEST(LogReader, DataLinesWithoutDataAddNothing) {
    const std::string log = logOf({}) + kColumns + "\r\n" + dataLine("10:00:01", "S", "") + "\r\n" +
                            dataLine("", "", "   ") + "\r\n" + dataLine("", "", "00  00  00  00  10  00") + "\r\n" +
                            dataLine("", "", "") + "\r\n\r\n";
    const auto msgs = readAll(log);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(octetsOf(msgs[0]), (std::vector<std::string>{"00", "00", "00", "00", "10", "00"}));
    EXPECT_EQ(msgs[0].time, "10:00:01");
}

TEST(LogReader, ColumnPositionsComeFromTheLatestColumnHeader) {
    const std::string shifted = "  " + kColumns;
    const std::string log = logOf({}) + shifted + "\r\n" + "  " + dataLine("10:00:09", "S", "00  00  00  00  10  00") +
                            "\r\n\r\n";
    const auto msgs = readAll(log);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].time, "10:00:09");
    EXPECT_EQ(msgs[0].octets.size(), 6u);
}

TEST(LineRanges, ListsTheFirstRangesThenDots) {
    const struct { std::vector<std::size_t> lines; std::string text; } cases[] = {
        {{}, ""},
        {{8}, "log line 8"},
        {{8, 9, 11}, "log lines 8-9, 11"},
        {{1, 3, 5, 7, 9}, "log lines 1, 3, 5, 7, 9"},
        {{1, 3, 5, 7, 9, 10, 11, 20, 21}, "log lines 1, 3, 5, 7, 9-11, ..."},
    };
    for (const auto& c : cases) {
        LineRanges ranges;
        for (const std::size_t line : c.lines) ranges.add(line);
        EXPECT_EQ(ranges.text(), c.text);
        EXPECT_EQ(ranges.count(), c.lines.size());
    }
}

TEST(LogReader, CountsLinesThatLookLikeMessageDataWithoutAColumnHeader) {
    const std::string d = dataLine("10:00:02", "R", "00  00  00  00  09  00");
    // Each case follows one message under its column header and a blank line (log lines 1-6).
    const struct { const char* name; std::vector<std::string> lines; std::string ignored; } cases[] = {
        {"two more messages", {d, "", d, dataLine("", "", "02  03"), ""}, "log lines 7, 9-10"},
        {"a single octet", {dataLine("", "", "0A")}, "log line 7"},
        {"lower-case hex", {dataLine("", "", "0a  ff")}, "log line 7"},
        {"blanks after the octets", {d + "   "}, "log line 7"},
        {"a one-blank separator", {dataLine("", "", "00 00")}, ""},
        {"three-digit octets", {dataLine("", "", "000  01")}, ""},
        {"not hex", {dataLine("", "", "0G  01")}, ""},
        {"text", {"some remark", "REPORT    TIME 10:00     PAGE 2", dataLine("", "", "")}, ""},
        {"a message under its column header", {kColumns, d, ""}, ""},
    };
    for (const auto& c : cases) {
        std::string log = logOf({"00 00 00 00 10 00"});
        for (const auto& line : c.lines) log += line + "\r\n";
        std::istringstream in(log);
        LogReader reader(in);
        LogMessage m;
        while (reader.next(m)) {
        }
        EXPECT_EQ(reader.ignoredDataLines().text(), c.ignored) << c.name;
    }
}

TEST(LogReader, MarksDataLinesWhoseDataGoesOnPastWhatIsRead) {
    const std::string octets25 = logOctets("00 00 00 00 10 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13");
    ASSERT_EQ(octets25.size(), LogReader::kDataWidth - 2);
    const struct { const char* name; std::string after; std::size_t cutLines; } cases[] = {
        {"ends in the columns read", "", 0},
        {"blanks and tabs after them", "  \t   ", 0},
        {"an octet after them", "  14", 1},
        {"one character past them", "  1", 1},
    };
    for (const auto& c : cases) {
        const std::string line = dataLine("1", "S", octets25 + c.after) + "\r\n";
        const std::string message = kColumns + "\r\n" + dataLine("1", "S", "00") + "\r\n";
        std::string log = logOf({});
        log += message;
        log += line;
        log += line;
        log += "\r\n";
        log += message;
        log += "\r\n";
        const auto msgs = readAll(log);
        ASSERT_EQ(msgs.size(), 2u);
        EXPECT_EQ(msgs[0].cutLines, 2 * c.cutLines) << c.name;
        EXPECT_EQ(msgs[0].firstCutLine, c.cutLines > 0 ? 6u : 0u) << c.name;
        EXPECT_EQ(msgs[1].cutLines, 0u) << c.name << ": the next message starts afresh";
        if (c.cutLines > 0) {
            EXPECT_EQ(msgs[0].lastDataColumn, 128u) << c.name;
        }
    }
}

}  // namespace
}  // namespace truno
