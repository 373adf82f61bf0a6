// The export folder's layout: a part per kind, date and switch under the Hive-style folder names,
// rows dated by the log's own date across midnight, and a later run adding parts beside the
// first run's instead of rewriting them.
#include "analysis/pipeline/LogAnalysis.h"
#include "output/ExportDirectory.h"
#include "tests/analysis/AnalysisSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <unistd.h>

namespace truno {
namespace {

namespace fs = std::filesystem;
using analysis_testing::LogMessage;

// Two calls, the second one across midnight.
const std::string kLog = analysis_testing::logOfMessages({
    {"IAM", 1, "23:59:50.00", "S"}, {"ACM", 1, "23:59:51.00", "R"}, {"REL", 1, "23:59:52.00", "S"},
    {"RLC", 1, "23:59:52.10", "R"}, {"IAM", 2, "23:59:58.00", "S"}, {"ANM", 2, "00:00:03.00", "R"},
    {"REL", 2, "00:00:09.00", "R"}, {"RLC", 2, "00:00:09.20", "S"},
});

// Writes the log's messages and calls under `root` as switch `name`, its first day 2026-03-01.
void exportLog(const fs::path& root, const std::string& name) {
    ExportDirectory exports;
    std::string error;
    ASSERT_TRUE(exports.open(root.string(), error)) << error;
    exports.beginLog(name, name + ".log", *daysFromDate("2026-03-01"), DateSource::Option);
    LogAnalysis analysis([&exports](const AnalysedMessage& m) { exports.message(m.facts, m.at, m.callFirstRecord()); },
                         [&exports](const Call& call) { exports.call(call); }, true);
    analysis.beginSwitch(name);
    std::istringstream in(kLog);
    RunOptions run;
    run.records = [&analysis](const RecordFacts& record) { analysis.add(record); };
    decodeLog(in, [](std::string_view) {}, run);
    analysis.finish();
    ASSERT_TRUE(exports.close(error)) << error;
}

// Every file under the root, as a path relative to it.
std::set<std::string> filesUnder(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), root).generic_string());
    return files;
}

// A part's rows, decompressed by the zstd program.
std::string rowsOf(const fs::path& part) {
    std::string rows;
    if (FILE* pipe = popen(("zstd -dc '" + part.string() + "'").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) rows.append(buffer, n);
        pclose(pipe);
    }
    return rows;
}

TEST(ExportDirectory, PartsByKindDateAndSwitchAndALaterRunAddsParts) {
    std::string error;
    const fs::path root = fs::temp_directory_path() / ("truno-export-test-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    const bool compresses = createCompressedPart(root / "probe", error) != nullptr;
    fs::remove_all(root);
    if (!compresses) GTEST_SKIP() << "no zstd in this build: " << error;

    exportLog(root, "east");
    const std::set<std::string> first = filesUnder(root);
    EXPECT_EQ(first, (std::set<std::string>{
                         "calls/date=2026-03-01/switch=east/part-00000.jsonl.zst",
                         "messages/date=2026-03-01/switch=east/part-00000.jsonl.zst",
                         "messages/date=2026-03-02/switch=east/part-00000.jsonl.zst",
                     }));
    const std::string late = rowsOf(root / "messages/date=2026-03-02/switch=east/part-00000.jsonl.zst");
    EXPECT_EQ(late.rfind("{\"schema_version\":2,\"switch\":\"east\",\"file\":\"east.log\","
                         "\"timestamp\":\"2026-03-02 00:00:03.000\",", 0),
              0u)
        << late;
    const std::string calls = rowsOf(root / "calls/date=2026-03-01/switch=east/part-00000.jsonl.zst");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), '\n'), 2);

    // A second run into the same folder: the first run's parts stay, new ones come beside them.
    exportLog(root, "east");
    exportLog(root, "west");
    const std::set<std::string> all = filesUnder(root);
    for (const std::string& part : first) EXPECT_EQ(all.count(part), 1u) << part;
    EXPECT_EQ(all.count("messages/date=2026-03-01/switch=east/part-00001.jsonl.zst"), 1u);
    EXPECT_EQ(all.count("calls/date=2026-03-01/switch=west/part-00000.jsonl.zst"), 1u);
    EXPECT_EQ(all.size(), 9u);
    fs::remove_all(root);
}

}  // namespace
}  // namespace truno
