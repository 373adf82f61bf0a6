// A message's JSON written from its record alone (the decoding threads' way, each parameter's
// block kept whole written once and copied afterwards) is the text written from its facts, for
// every record of the golden logs: read as BICC and as ISUP (the same octets decoded in another
// mode, often not at all), with every parameter's marks or a few only, on one thread or several,
// each run after the others, so that a block's JSON kept in one is copied in the next.
#include "output/Exports.h"

#include "analysis/facts/MessageFacts.h"
#include "run/DecodeRun.h"

#include <gtest/gtest.h>

#include <bitset>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace truno {
namespace {

std::vector<std::filesystem::path> goldenLogs() {
    std::vector<std::filesystem::path> logs{std::filesystem::path(TRUNO_SOURCE_DIR) / "examples/sample.log"};
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TRUNO_SOURCE_DIR) / "tests/golden"))
        if (entry.path().extension() == ".log") logs.push_back(entry.path());
    return logs;
}

TEST(MessageJson, FromTheRecordAsFromItsFacts) {
    std::bitset<256> few;  // cause indicators and called party number
    few.set(0x12);
    few.set(0x04);
    const struct {
        const char* name;
        std::size_t cicOctets;
        std::bitset<256> markedParameters;
        unsigned jobs;
    } runs[] = {
        {"BICC", 4, std::bitset<256>().set(), 1},
        {"ISUP", 2, std::bitset<256>().set(), 1},
        {"BICC, a few parameters marked", 4, few, 1},
        {"BICC, three threads", 4, std::bitset<256>().set(), 3},
        {"ISUP, a few parameters marked, three threads", 2, few, 3},
    };
    std::size_t records = 0;
    std::size_t numbered = 0;  // records with a block kept whole
    for (const auto& run : runs) {
        for (const auto& log : goldenLogs()) {
            SCOPED_TRACE(std::string(run.name) + ", " + log.filename().string());
            std::ifstream in(log, std::ios::binary);
            MessageFacts facts;
            Text fromFacts;
            Text fromRecord;
            RunOptions options;
            options.jobs = run.jobs;
            options.cicOctets = run.cicOctets;
            options.markedParameters = run.markedParameters;
            options.records = [&](const RecordFacts& record) {
                ++records;
                for (const Mark& mark : record.marks)
                    if (mark.kind == MarkKind::Parameter && mark.hasNumber) {
                        ++numbered;
                        break;
                    }
                // The record, and the record with text after its last block that the last field
                // runs into (a block is its kept one only when line ends alone follow it).
                const std::string longer = std::string(record.text) + "\r\n  more";
                RecordFacts followed = record;
                followed.text = longer;
                for (const RecordFacts* r : {&record, static_cast<const RecordFacts*>(&followed)}) {
                    facts.build(*r);
                    facts.setSwitch(0, "switch");
                    fromFacts.clear();
                    appendMessageJsonHead(fromFacts, facts, "\"file\":\"a.log\",");
                    appendMessageJsonTail(fromFacts, facts);
                    fromRecord.clear();
                    appendRecordJsonHead(fromRecord, *r, "switch", "\"file\":\"a.log\",");
                    appendRecordJsonTail(fromRecord, *r);
                    ASSERT_EQ(fromRecord.view(), fromFacts.view()) << "record " << r->record;
                }
            };
            decodeLog(in, [](std::string_view) {}, options);
        }
    }
    EXPECT_GT(records, 1000u);
    EXPECT_GT(numbered, records / 4);
}

}  // namespace
}  // namespace truno
