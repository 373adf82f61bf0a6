// The facts of messages as the run hands them over: every line a record shows is in them, the
// blocks and fields read as the report prints them, and a parallel run hands over the same.
#include "analysis/facts/MessageFacts.h"
#include "run/DecodeRun.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace truno {
namespace {

using testing::logOf;

// Runs a log and keeps the facts of every message, written out as text, one line per field;
// `buildFields`: the threads that decode build each record's fields (each one is checked to come
// with them).
std::vector<std::string> factsOf(std::istream& in, unsigned jobs, bool buildFields = false) {
    std::vector<std::string> all;
    MessageFacts facts;
    RunOptions options;
    options.jobs = jobs;
    options.buildFields = buildFields;
    options.records = [&](const RecordFacts& record) {
        if (buildFields) {
            EXPECT_FALSE(record.builtFields.blocks.empty()) << record.record;
        }
        facts.build(record);
        std::ostringstream out;
        out << record.record << ' ' << record.logLine << ' ' << record.time << ' ' << record.directionText << ' '
            << (record.hasCallInstanceCode ? std::to_string(record.callInstanceCode) : "-") << ' '
            << record.typeCode << ' ' << record.acronym << ' ' << record.decoded << ' ' << record.reason << '\n';
        for (const BlockFact& block : facts.blocks()) {
            out << "  [" << block.code << ' ' << block.name << "] " << block.title << '\n';
            for (const FieldFact& field : facts.fieldsOf(block)) {
                out << "    " << field.ref.parameterCode << '.' << field.ref.key << ' ' << field.label() << '='
                    << field.printed << ' ' << field.hasNumber << ':' << field.number << '/' << field.meaning << '\n';
            }
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
// missing from the facts or attached to the wrong field. Every field has a key that the list of
// fields holds, under its parameter, with the type its value has.
TEST(MessageFacts, EveryLineOfEveryRecordIsMarkedAndEveryFieldKeyed) {
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
                // Lines 1 to 3: the banner.
                if (line > 3 && end > at) {
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

TEST(MessageFacts, EveryFieldOfEveryGoldenRecordHasAKeyOfTheList) {
    for (const auto& log : goldenLogs()) {
        SCOPED_TRACE(log.filename().string());
        std::ifstream in(log, std::ios::binary);
        MessageFacts facts;
        std::size_t fields = 0;
        RunOptions options;
        options.records = [&](const RecordFacts& r) {
            facts.build(r);
            for (const BlockFact& block : facts.blocks())
                for (const FieldFact& field : facts.fieldsOf(block)) {
                    ++fields;
                    std::string key;
                    appendWholeKey(key, field.ref);
                    const FieldEntry* entry = findField(key);
                    ASSERT_NE(entry, nullptr) << "record " << r.record << ": " << key;
                    EXPECT_EQ(entry->type, field.type()) << key;
                    EXPECT_NE(std::find(entry->labels.begin(), entry->labels.end(), field.label()), entry->labels.end())
                        << key << " printed under " << field.label();
                    // A number beyond 64 bits is shown in decimal and has no number.
                    if (field.type() == FieldType::Number && field.shown && !field.printed.empty() &&
                        field.valueText().size() <= 19) {
                        EXPECT_TRUE(field.hasNumber) << key << " has no number: " << field.printed;
                    }
                }
        };
        decodeLog(in, [](std::string_view) {}, options);
        EXPECT_GT(fields, 0u);
    }
}

TEST(FieldRegistry, KeysAreUniqueLowerCaseAndUnderTheirParameter) {
    std::set<std::string> seen;
    for (const FieldEntry& entry : allFields()) {
        EXPECT_TRUE(seen.insert(entry.key).second) << entry.key;
        EXPECT_EQ(entry.key.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_."), std::string::npos) << entry.key;
        const std::string_view parameter = parameterKey(entry.ref.parameterCode);
        if (!parameter.empty()) {
            EXPECT_EQ(entry.key.rfind(std::string(parameter) + ".", 0), 0u) << entry.key;
        }
        EXPECT_EQ(findField(entry.key), &entry);
    }
    EXPECT_GT(seen.size(), 150u);
    EXPECT_EQ(findField("cause_indicators.cause_valu"), nullptr);
}

TEST(MessageFacts, AParallelRunHandsOverTheSameFacts) {
    for (const auto& log : goldenLogs()) {
        SCOPED_TRACE(log.filename().string());
        std::ifstream one(log, std::ios::binary), two(log, std::ios::binary);
        std::ifstream three(log, std::ios::binary);
        const auto sequential = factsOf(one, 1);
        EXPECT_EQ(factsOf(two, 3), sequential);
        EXPECT_EQ(factsOf(three, 3, true), sequential);
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
                const FieldFact* message = facts.find(fieldRef("code"));
                ASSERT_NE(message, nullptr);
                EXPECT_EQ(message->printed, "1, INITIAL ADDRESS MESSAGE (IAM)");
                EXPECT_EQ(message->number, 1u);
                EXPECT_EQ(message->valueText(), "1");
                EXPECT_EQ(message->meaningText(), "INITIAL ADDRESS MESSAGE (IAM)");
                const FieldFact* called = facts.find(fieldRef("called_party_number.address_signals"));
                ASSERT_NE(called, nullptr);
                EXPECT_EQ(called->printed, "1234");
                EXPECT_EQ(called->digits(), "1234");
                const FieldFact* nature = facts.find(fieldRef("called_party_number.nature_of_address"));
                ASSERT_NE(nature, nullptr);
                EXPECT_EQ(nature->number, 3u);
                break;
            }
            case 2: {
                const FieldFact* cause = facts.find(fieldRef("cause_indicators.cause_value"));
                ASSERT_NE(cause, nullptr);
                EXPECT_EQ(cause->number, 16u);
                EXPECT_EQ(cause->valueText(), "16");
                EXPECT_EQ(cause->meaningText(), "Normal call clearing.");
                bool unknownShown = false;
                for (const BlockFact& block : facts.blocks())
                    if (block.code == 0xF4) {
                        unknownShown = true;
                        EXPECT_EQ(block.title, "UNKNOWN PARAMETER (CODE F4)");
                        ASSERT_EQ(facts.fieldsOf(block).size(), 1u);
                        EXPECT_EQ(facts.fieldsOf(block)[0].printed, "AB");
                        EXPECT_EQ(facts.fieldsOf(block)[0].ref, fieldRef("unknown_parameter.contents"));
                    }
                EXPECT_TRUE(unknownShown);
                break;
            }
            case 3: {
                EXPECT_FALSE(r.decoded);
                EXPECT_NE(r.reason.find("past the last octet"), std::string_view::npos);
                EXPECT_EQ(r.failure, DecodeFailure::PastEnd);
                const FieldFact* reason = facts.find(fieldRef("reason"));
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

// Each kind of decode failure, from a malformed message of its kind (call instance code 258).
TEST(MessageFacts, NotDecodedMessagesSayTheirKindOfFailure) {
    const struct {
        std::string octets;
        DecodeFailure failure;
    } cases[] = {
        {"02 01 00 00 0C 02 00 01 84", DecodeFailure::OctetsMissing},        // cause without its value octet
        {"02 01 00 00 06 16", DecodeFailure::PastEnd},                       // ACM without its second octet
        {"02 01 00 00 0C 02 00 02 8G 90", DecodeFailure::NotHexDigits},
        {"02 01 00 00 0C 02 00 02 8a 90", DecodeFailure::LowerCase},
        {"02 01 00 00 06 16 14 01 29 05 FF FF FF FF FF 00", DecodeFailure::ValueTooLarge},
        {"02 01 00", DecodeFailure::NoTypeCode},
        {"02 01 00 00 5A 00", DecodeFailure::UnknownType},
        {"02 01 00 00 06 16 14 01 29 01 01", DecodeFailure::OptionalPartNotClosed},
    };
    for (const auto& c : cases) {
        std::istringstream in(logOf({c.octets}));
        std::size_t seen = 0;
        RunOptions options;
        options.records = [&](const RecordFacts& r) {
            ++seen;
            EXPECT_FALSE(r.decoded) << c.octets;
            EXPECT_EQ(failureName(r.failure), failureName(c.failure)) << c.octets << ": " << r.reason;
        };
        decodeLog(in, [](std::string_view) {}, options);
        EXPECT_EQ(seen, 1u) << c.octets;
    }
}

TEST(MessageFacts, MeaningsBeginAfterANumberAndFoldOntoOneLine) {
    const struct { std::string_view printed; std::size_t meaning; } cases[] = {
        {"3, national significant number.", 3},
        {"0110, spare", 6},
        {"12345", 0},
        {"H'0A, 12", 0},
        {", starts with a comma", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(meaningStartOf(c.printed), c.meaning) << c.printed;
    std::string folded;
    foldValue(folded, "7, network routing number in network specific\r\n          number format.");
    EXPECT_EQ(folded, "7, network routing number in network specific number format.");
}

}  // namespace
}  // namespace truno
