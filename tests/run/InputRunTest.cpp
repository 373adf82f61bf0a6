// The run over several inputs: record numbers going on across the inputs or restarting, what the
// caller is told of each input, the inputs that are not read and why, and the summaries added up.
#include "run/InputRun.h"
#include "run/LogOrder.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

namespace truno {
namespace {

using namespace std::string_literals;
using namespace truno::testing;

const std::string kRelease = "00 00 00 00 0C 02 00 02 80 90";
const std::string kXz = "\xFD" "7zXZ\0\0\x04\xE6\xD6\xB4\x46"s;

// What the caller is told, one line per event, and the report of each input.
class Recorder final : public InputListener {
public:
    std::vector<std::string> events;
    std::map<std::string, std::string> reports;
    std::vector<InputResult> results;
    std::vector<unsigned> jobs;  // the threads each input is decoded with

    void beginInput(const InputFile& file, RunOptions& options) override {
        events.push_back("begin " + file.shown + " #" + std::to_string(options.firstRecord));
        jobs.push_back(options.jobs);
        current_ = &reports[file.shown];
    }
    void report(std::string_view text) override { current_->append(text); }
    void endInput(const InputFile& file, const InputResult& result) override {
        events.push_back("end " + file.shown + (result.read ? "" : ": " + result.error));
        results.push_back(result);
    }

private:
    std::string* current_ = nullptr;
};

class StringSource final : public InputSource {
public:
    explicit StringSource(const std::string& bytes) : stream_(bytes) {}
    std::istream& bytes() override { return stream_; }

private:
    std::istringstream stream_;
};

// Inputs read from strings by name, as the window hands its own open files to the run.
InputOpener fromStrings(const std::map<std::string, std::string>& logs) {
    return [&logs](std::size_t, const InputFile& file, std::string&) {
        return std::make_unique<StringSource>(logs.at(file.path));
    };
}

// The numbers of the records of a report, in order.
std::vector<int> recordNumbers(const std::string& report) {
    std::vector<int> numbers;
    for (std::size_t at = report.find("RECORD "); at != std::string::npos; at = report.find("RECORD ", at + 1))
        numbers.push_back(std::stoi(report.substr(at + 7)));
    return numbers;
}

TEST(InputRun, NumbersRecordsOnAcrossTheInputsOfOneRunAndRestartsOtherwise) {
    const std::map<std::string, std::string> logs = {
        {"a", logOf({kRelease, kRelease})}, {"b.xz", kXz}, {"c", ""}, {"d", logOf({kRelease, kRelease, kRelease})}};
    const std::vector<InputFile> inputs = inputFiles({"a", "b.xz", "c", "d"});
    const std::string refused = "end b.xz: b.xz: xz-compressed input is not read; decompress it first (xz -dc b.xz | truno-decode -)";
    const struct {
        bool merge;
        std::vector<std::string> events;
        std::vector<int> recordsOfD;
    } cases[] = {
        {true, {"begin a #1", "end a", refused, "begin c #3", "end c", "begin d #3", "end d"}, {3, 4, 5}},
        {false, {"begin a #1", "end a", refused, "begin c #1", "end c", "begin d #1", "end d"}, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.merge ? "merged" : "each on its own");
        InputRunOptions options;
        options.merge = c.merge;
        options.open = fromStrings(logs);
        Recorder recorder;
        const RunSummary total = runInputs(inputs, options, recorder);
        EXPECT_EQ(recorder.events, c.events);
        EXPECT_EQ(recordNumbers(recorder.reports["d"]), c.recordsOfD);
        EXPECT_EQ(total.found, 5u);
        ASSERT_EQ(recorder.results.size(), 4u);
        EXPECT_TRUE(recorder.results[1].refused);
        EXPECT_EQ(recorder.results[1].summary.whyNothing,
                  "xz-compressed input is not read; decompress it first (xz -dc FILE > FILE.log)");
    }
}

TEST(InputRun, StopsAfterACancelledInput) {
    const std::map<std::string, std::string> logs = {{"a", logOf({kRelease})}, {"b", logOf({kRelease})}};
    const std::atomic<bool> cancel{true};
    InputRunOptions options;
    options.run.cancel = &cancel;
    options.open = fromStrings(logs);
    Recorder recorder;
    const RunSummary total = runInputs(inputFiles({"a", "b"}), options, recorder);
    EXPECT_TRUE(total.cancelled);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"begin a #1", "end a"}));
}

TEST(InputRun, AddsTheInputsSummariesEachWarningAfterItsInput) {
    // Log line 7 looks like message data without a column header before it: a warning.
    const std::string warned = logOf({kRelease}) + dataLine("", "", logOctets(kRelease)) + "\r\n";
    const std::string warning = "1 line that looks like message data was ignored: no column header before it (log line 7)";
    const std::string noHeader = "no trace header line found";
    const std::map<std::string, std::string> logs = {{"a", warned}, {"b", ""}, {"c", warned}};
    const struct {
        bool nameInputs;
        std::vector<std::string> files;
        std::vector<std::string> warnings;    // of the total
        std::vector<std::string> whyNothing;  // the beginnings of its lines
        std::vector<std::string> warningsAsOneLog;  // after whyNothingAmongWarnings
    } cases[] = {
        {true, {"a", "b", "c"}, {"a: " + warning, "c: " + warning}, {"b: " + noHeader},
         {"a: " + warning, "c: " + warning, "b: " + noHeader}},
        {false, {"a", "c"}, {warning, warning}, {}, {warning, warning}},
        {true, {"b", "b"}, {}, {"b: " + noHeader, "b: " + noHeader}, {}},
    };
    for (const auto& c : cases) {
        InputRunOptions options;
        options.nameInputs = c.nameInputs;
        options.open = fromStrings(logs);
        Recorder recorder;
        RunSummary total = runInputs(inputFiles(c.files), options, recorder);
        EXPECT_EQ(total.warnings, c.warnings);
        std::vector<std::string> lines;
        std::istringstream reasons(total.whyNothing);
        for (std::string line; std::getline(reasons, line);) lines.push_back(line.substr(0, line.find(" (")));
        EXPECT_EQ(lines, c.whyNothing);
        whyNothingAmongWarnings(total);
        for (std::string& w : total.warnings) w = w.substr(0, w.find(" ("));
        std::vector<std::string> expected = c.warningsAsOneLog;
        for (std::string& w : expected) w = w.substr(0, w.find(" ("));
        EXPECT_EQ(total.warnings, expected);
        EXPECT_EQ(total.whyNothing.empty(), total.found > 0);
    }
}

TEST(RunSummaryAdd, AddsEveryCountAndFlag) {
    RunSummary one;
    one.found = 3;
    one.decoded = 2;
    one.notDecoded = 1;
    one.cancelled = true;
    one.ignoredDataLines = 1;
    one.cutDataLines = 2;
    one.headersInsideMessages = 3;
    one.tabLines = 4;
    one.trailingOctetMessages = 5;
    one.msgColumnMismatches = 6;
    one.otherModeTried = 7;
    one.otherModeDecoded = 8;
    RunSummary other = one;
    other.cancelled = false;
    other.readError = true;
    RunSummary total;
    total.add(one).add(other);
    EXPECT_EQ(summaryText(total), "6 messages found, 4 decoded, 2 not decoded (cancelled) (reading stopped by an input error)");
    const std::uint64_t counts[] = {total.ignoredDataLines,      total.cutDataLines,       total.headersInsideMessages,
                                    total.tabLines,              total.trailingOctetMessages, total.msgColumnMismatches,
                                    total.otherModeTried,        total.otherModeDecoded};
    for (std::size_t k = 0; k < std::size(counts); ++k) EXPECT_EQ(counts[k], 2 * (k + 1)) << k;
}

// ---------------------------------------------------------------- inputs by name

class InputFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("truno-inputs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "folder");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
        return path(name);
    }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

// The threads of the default: a regular file takes fileJobs, an input that is not one (the window's
// own open files here, standard input or a pipe in the tool) the run's jobs; so does every input
// when fileJobs is 0 (the number asked for).
TEST_F(InputFiles, ARegularFileIsDecodedWithTheFileJobs) {
    const std::map<std::string, std::string> logs = {{"opened", logOf({kRelease})}};
    const std::string file = write("trace.log", logOf({kRelease, kRelease}));
    const struct {
        unsigned fileJobs;
        std::vector<unsigned> jobs;  // of the file, then of the input opened otherwise
    } cases[] = {{3, {3, 1}}, {0, {1, 1}}};
    for (const auto& c : cases) {
        InputRunOptions options;
        options.fileJobs = c.fileJobs;
        options.open = [&](std::size_t index, const InputFile& input, std::string& error) -> std::unique_ptr<InputSource> {
            if (index == 0) return openInput(input, error);
            return std::make_unique<StringSource>(logs.at(input.path));
        };
        Recorder recorder;
        const RunSummary total = runInputs(inputFiles({file, "opened"}), options, recorder);
        EXPECT_EQ(recorder.jobs, c.jobs) << c.fileJobs;
        EXPECT_EQ(total.decoded, 3u);
    }
    EXPECT_GE(defaultJobs(), 1u);
    EXPECT_LE(defaultJobs(), kMostDefaultJobs);
}

TEST_F(InputFiles, SaysWhyAnInputIsNotRead) {
    write("my trace.log.xz", kXz);
    const struct {
        std::string path;
        std::string standardInput;  // its bytes, for "-"
        bool follow;
        std::string error;
    } cases[] = {
        {path("folder"), "", false, "cannot open '" + path("folder") + "': Is a directory"},
        {path("missing.log"), "", false, "cannot open '" + path("missing.log") + "': No such file or directory"},
        {path("my trace.log.xz"), "", false,
         path("my trace.log.xz") + ": xz-compressed input is not read; decompress it first (xz -dc '" +
             path("my trace.log.xz") + "' | truno-decode -)"},
        {"-", "BZh91AY&SY\x4E\xEC\xE8\x36", false,
         "(standard input): bzip2-compressed input is not read; decompress it first (... | bzip2 -dc | truno-decode -)"},
#ifndef _WIN32
        {path("missing.log"), "", true, "cannot open '" + path("missing.log") + "': No such file or directory"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::istringstream standardInput(c.standardInput);
        std::streambuf* const kept = std::cin.rdbuf(standardInput.rdbuf());
        InputRunOptions options;
        if (c.follow) options.follow = FollowSettings{};
        Recorder recorder;
        runInputs(inputFiles({c.path}), options, recorder);
        std::cin.rdbuf(kept);
        std::cin.clear();
        ASSERT_EQ(recorder.results.size(), 1u);
        EXPECT_FALSE(recorder.results[0].read);
        EXPECT_EQ(recorder.results[0].error, c.error);
    }
}

#ifndef _WIN32
// A followed log's writer that pauses inside a message, past the settle time, does not get it cut:
// a message whose octets end before its pointers and lengths say waits for the rest, up to the
// longer wait, and is then decoded as it is, the summary saying why.
TEST_F(InputFiles, AFollowedMessageWaitsForTheOctetsItsPointersPromise) {
    using std::chrono::milliseconds;
    // An IAM cut after its optional-part pointer: its called party number is still to come.
    const std::string first = "01 00 00 00 01 00 20 01 0A 03 02 08";
    const std::string rest = "06 02 90 21 43 65 00 0A 06 02 13 21 43 65 87 00";
    const struct {
        const char* name;
        int restAfterMs;  // -1: never
        int waitMs;
        bool decoded;
    } cases[] = {
        {"the writer pauses longer than the settle time", 600, 3000, true},
        {"the rest does not come within the longer wait", -1, 400, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = write("live.log", kTraceHeader + "\r\n" + kTraceValues + "\r\n\r\n" + kColumns + "\r\n" +
                                                       dataLine("10:00:00", "S", logOctets(first)) + "\r\n");
        std::atomic<bool> stop{false};
        InputRunOptions options;
        options.follow = FollowSettings{
            .byName = false, .settle = milliseconds(100), .stop = &stop, .incompleteWait = milliseconds(c.waitMs)};
        std::thread writer([&] {
            if (c.restAfterMs >= 0) {
                std::this_thread::sleep_for(milliseconds(c.restAfterMs));
                std::ofstream(file, std::ios::binary | std::ios::app) << dataLine("", "", logOctets(rest)) << "\r\n\r\n";
            }
            std::this_thread::sleep_for(milliseconds(c.restAfterMs >= 0 ? 600 : c.waitMs + 600));
            stop = true;
        });
        Recorder recorder;
        runInputs(inputFiles({file}), options, recorder);
        writer.join();
        ASSERT_EQ(recorder.results.size(), 1u);
        const RunSummary& summary = recorder.results[0].summary;
        EXPECT_EQ(summary.found, 1u);
        EXPECT_EQ(summary.notDecoded, c.decoded ? 0u : 1u) << recorder.reports[file];
        const bool warned = std::any_of(summary.warnings.begin(), summary.warnings.end(), [](const std::string& w) {
            return w.find("pointers and lengths promise") != std::string::npos;
        });
        EXPECT_EQ(warned, !c.decoded);
    }
}
#endif

TEST_F(InputFiles, NamesEachInputAndItsSwitch) {
    const struct {
        std::string path;
        std::string switchGiven;
        std::string shown;
        std::string switchName;
    } cases[] = {
        {"-", "", "(standard input)", "(standard input)"},
        {"/var/log/sw1/trace.log.2.gz", "", "/var/log/sw1/trace.log.2.gz", "trace"},
        {"C:\\logs\\east-7.log-20261209", "", "C:\\logs\\east-7.log-20261209", "east-7"},
        {"sw.west.log.zst", "", "sw.west.log.zst", "sw.west"},
        {".log", "", ".log", "log"},
        {"trace.log.1", "centre", "trace.log.1", "centre"},
    };
    for (const auto& c : cases) {
        const std::vector<InputFile> inputs = inputFiles({c.path}, c.switchGiven);
        ASSERT_EQ(inputs.size(), 1u);
        EXPECT_EQ(inputs[0].path, c.path);
        EXPECT_EQ(inputs[0].shown, c.shown);
        EXPECT_EQ(inputs[0].switchName, c.switchName) << c.path;
    }
}

TEST_F(InputFiles, PutsFilesInTheOrderOfTheirFirstMessages) {
    const auto timed = [](const std::string& time) {
        return logOf({}) + kColumns + "\r\n" + dataLine(time, "S", logOctets(kRelease)) + "\r\n\r\n";
    };
    const std::vector<std::string> files = {write("late.log", timed("10:00:09")), path("folder"), path("missing.log"),
                                            write("early.log", timed("09:59:00")), write("untimed.log", logOf({}))};
    EXPECT_EQ(timeOrderOfFiles(files), (std::vector<std::size_t>{3, 0, 1, 2, 4}));
}

}  // namespace
}  // namespace truno
