// The facts of messages as the run hands them over: every line a record shows is in them, the
// blocks and fields read as the report prints them, and a parallel run hands over the same.
#include "analysis/MessageFacts.h"
#include "run/DecodeRun.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace truno {
namespace {

using testing::logOf;

// Runs a log and keeps the facts of every message, written out as text, one line per field.
std::vector<std::string> factsOf(std::istream& in, unsigned jobs) {
    std::vector<std::string> all;
    MessageFacts facts;
    RunOptions options;
    options.jobs = jobs;
    options.records = [&](const RecordFacts& record) {
        facts.build(record);
        std::ostringstream out;
        out << record.record << ' ' << record.logLine << ' ' << record.time << ' ' << record.direction << ' '
            << (record.hasCallInstanceCode ? std::to_string(record.callInstanceCode) : "-") << ' '
            << record.typeCode << ' ' << record.acronym << ' ' << record.decoded << ' ' << record.reason << '\n';
        for (const BlockFact& block : facts.blocks()) {
            out << "  [" << block.code << ' ' << block.name << "] " << block.title << '\n';
            for (const FieldFact& field : facts.fieldsOf(block)) out << "    " << field.label << '=' << field.printed << '\n';
        }
        all.push_back(out.str());
    };
    decodeLog(in, [](std::string_view) {}, options);
    return all;
}

std::vector<std::filesystem::path> goldenLogs() {
    std::vector<std::filesystem::path> logs{std::filesystem::path(TRUNO_SOURCE_DIR) / "examples/sample.log"};
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TRUNO_SOURCE_DIR) / "tests/golden"))
        if (entry.path().extension() == ".log") logs.push_back(entry.path());
    return logs;
}

// Every line after a record's banner is either empty, the start of a marked line, or the
// continuation of a marked value (indented under the value column): no line of the report is
// missing from the facts or attached to the wrong field.
TEST(MessageFacts, EveryLineOfEveryRecordIsMarked) {
    for (const auto& log : goldenLogs()) {
        SCOPED_TRACE(log.filename().string());
        std::ifstream in(log, std::ios::binary);
        std::size_t records = 0;
        RunOptions options;
        options.records = [&](const RecordFacts& r) {
            ++records;
            const std::string_view text = r.text;
            std::size_t at = 0;
            for (int line = 1; at < text.size(); ++line) {
                std::size_t end = text.find("\r\n", at);
                if (end == std::string_view::npos) end = text.size();
                // Lines 1 to 4: the CR LF before the record and the three lines of its banner.
                if (line > 4 && end > at) {
                    bool marked = false;
                    for (std::size_t i = 0; i < r.marks.size() && !marked; ++i) {
                        const Mark& m = r.marks[i];
                        const std::size_t next = i + 1 < r.marks.size() ? r.marks[i + 1].begin : text.size();
                        const bool continuation = (m.kind == MarkKind::Field || m.kind == MarkKind::Plain) &&
                                                  at > m.begin && at < next && text[at] == ' ';
                        marked = m.begin == at || continuation;
                    }
                    EXPECT_TRUE(marked) << "record " << r.record << ": " << text.substr(at, end - at);
                }
                at = end + 2;
            }
        };
        decodeLog(in, [](std::string_view) {}, options);
        EXPECT_GT(records, 0u);
    }
}

TEST(MessageFacts, AParallelRunHandsOverTheSameFacts) {
    for (const auto& log : goldenLogs()) {
        SCOPED_TRACE(log.filename().string());
        std::ifstream one(log, std::ios::binary), two(log, std::ios::binary);
        const auto sequential = factsOf(one, 1);
        EXPECT_EQ(factsOf(two, 3), sequential);
        EXPECT_FALSE(sequential.empty());
    }
}

TEST(MessageFacts, BlocksAndFieldsReadAsTheRecordPrintsThem) {
    // An IAM (call instance code 0x0102 = 258, least significant octet first) with a called
    // party number, a release with a cause, an unknown parameter, and a message that fails.
    std::istringstream in(logOf({"02 01 00 00 01 00 60 01 0A 00 02 06 04 03 10 21 43 00",
                                 "02 01 00 00 0C 02 04 02 80 90 F4 01 AB 00", "02 01 00 00 06 16"}));
    // The facts are views into the run's buffers: they are checked while the run hands them over.
    std::size_t seen = 0;
    RunOptions options;
    options.records = [&](const RecordFacts& r) {
        MessageFacts facts;
        facts.build(r);
        EXPECT_TRUE(r.hasCallInstanceCode);
        EXPECT_EQ(r.callInstanceCode, 258u);
        switch (++seen) {
            case 1: {
                EXPECT_EQ(r.acronym, "IAM");
                EXPECT_EQ(r.typeCode, 1);
                const FieldFact* message = facts.find(-1, "MESSAGE");
                ASSERT_NE(message, nullptr);
                EXPECT_EQ(message->printed, "1, INITIAL ADDRESS MESSAGE (IAM)");
                const FieldFact* called = facts.find(0x04, "Address Signal");
                ASSERT_NE(called, nullptr);
                EXPECT_EQ(called->printed, "1234");
                break;
            }
            case 2: {
                const FieldFact* cause = facts.find(0x12, "Cause Value");
                ASSERT_NE(cause, nullptr);
                EXPECT_EQ(splitValue(cause->printed).value, "16");
                EXPECT_EQ(splitValue(cause->printed).meaning, "Normal call clearing.");
                bool unknownShown = false;
                for (const BlockFact& block : facts.blocks())
                    if (block.code == 0xF4) {
                        unknownShown = true;
                        EXPECT_EQ(block.title, "UNKNOWN PARAMETER (CODE F4)");
                        ASSERT_EQ(facts.fieldsOf(block).size(), 1u);
                        EXPECT_EQ(facts.fieldsOf(block)[0].printed, "AB");
                    }
                EXPECT_TRUE(unknownShown);
                break;
            }
            case 3: {
                EXPECT_FALSE(r.decoded);
                EXPECT_NE(r.reason.find("past the last octet"), std::string_view::npos);
                const FieldFact* reason = facts.find(-1, "REASON");
                ASSERT_NE(reason, nullptr);
                EXPECT_EQ(reason->printed, r.reason);
                break;
            }
            default: ADD_FAILURE() << "one record too many";
        }
    };
    decodeLog(in, [](std::string_view) {}, options);
    EXPECT_EQ(seen, 3u);
}

TEST(MessageFacts, ValuesSplitIntoNumberAndMeaningAndFoldOntoOneLine) {
    const struct { std::string_view printed, value, meaning; } splits[] = {
        {"3, national significant number.", "3", "national significant number."},
        {"0110, spare", "0110", "spare"},
        {"12345", "12345", ""},
        {"H'0A, 12", "H'0A, 12", ""},
        {", starts with a comma", ", starts with a comma", ""},
    };
    for (const auto& c : splits) {
        const ValueParts parts = splitValue(c.printed);
        EXPECT_EQ(parts.value, c.value) << c.printed;
        EXPECT_EQ(parts.meaning, c.meaning) << c.printed;
    }
    std::string folded;
    foldValue(folded, "7, network routing number in network specific\r\n          number format.");
    EXPECT_EQ(folded, "7, network routing number in network specific number format.");
}

}  // namespace
}  // namespace truno
