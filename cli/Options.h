#pragma once
// Command-line options of truno-decode.
#include "analysis/filters/MessageSelection.h"
#include "analysis/health/TrunkHealth.h"
#include "run/capture/CapturedMessage.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace truno {

// What goes to standard output: the report (or, in JSON and CSV, the messages), one summary
// line per message, the calls, the statistics, the traffic KPIs, the circuits, or the findings of
// the protocol checks.
enum class View { Report, Summary, Calls, Statistics, Kpi, Circuits, Checks };
enum class Format { Text, Json, Csv };
enum class ListFields { No, Text, Markdown };
// -f follows the file as opened, -F (--follow=name) the name across rotations.
enum class Follow { No, Descriptor, Name };

struct CliOptions {
    bool crlf = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    ListFields listFields = ListFields::No;  // list the keys of the fields and exit
    // -j/--jobs; 0 when not given: a regular file is decoded with the machine's cores (at most
    // 8), standard input and a followed file with one thread.
    unsigned jobs = 0;
    std::size_t cicOctets = 4;  // octets before the message type code: 4 (BICC) or 2 (ISUP)
    // Of captures: this side's point codes (--local-pc; empty: the first message's OPC) and how
    // point codes are read (--pc-format).
    std::vector<std::uint32_t> localPointCodes{};
    PointCodeFormat pointCodeFormat = PointCodeFormat::Itu;
    View view = View::Report;
    Format format = Format::Text;
    MessageSelection selection;  // --where, -Y and the filter options, compiled
    std::string pcapFile;  // empty: no capture file
    std::string date;      // YYYY-MM-DD of the log's first day for the capture file; empty: the file's
    HealthOptions health;  // --by, --ner-causes, --timer, --html-ladders, --alarm
    // --fail-on: the kinds of finding that make the exit status 3; all false: none.
    std::array<bool, kFindingKindCount> failOn{};
    std::string htmlFile;  // --html: the shareable health report; empty: none
    std::string exportDir;   // --export-dir: partitioned, compressed exports for a query engine
    std::string switchName;  // --switch: the switch the files belong to; empty: each file's own name
    bool merge = false;      // --merge: the files are one run (record numbers go on, calls span them)
    bool sortFiles = false;  // --sort-files: the files in the order of their first messages
    Follow follow = Follow::No;
    unsigned settleMs = 1000;  // --settle: quiet time that completes a followed log's last message
    unsigned intervalSeconds = 0;  // --interval: --stats, --kpi and --metrics also every so many seconds (0: at the end only)
    std::string metricsFile;  // --metrics: the figures in Prometheus' text format; empty: none
    std::vector<std::string> files;

    bool failsOnFindings() const {
        return std::find(failOn.begin(), failOn.end(), true) != failOn.end();
    }
    // Whether the run must hand over the facts of each message: anything but the plain report.
    bool wantsFacts() const {
        return view != View::Report || format != Format::Text || selection.active() || !pcapFile.empty() ||
               !htmlFile.empty() || !exportDir.empty() || failsOnFindings() || !metricsFile.empty();
    }
    // Whether the trunk's health is followed: its views, the HTML report, or findings to fail on.
    bool wantsHealth() const {
        return view == View::Kpi || view == View::Circuits || view == View::Checks || !htmlFile.empty() ||
               !exportDir.empty() || failsOnFindings() || !metricsFile.empty();
    }
};

// Fills `options` from the arguments as POSIX utilities read them (getopt_long: short options
// may be grouped, "-j4" and "--jobs=4" carry their value, "--" ends the options); false with
// `error` set for a usage error. May reorder argv, as getopt_long does.
bool parseOptions(int argc, char** argv, CliOptions& options, std::string& error);

std::string helpText();
std::string versionText();

}  // namespace truno
