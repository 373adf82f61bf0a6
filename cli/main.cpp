// truno-decode: decodes BICC trace logs and writes the report to standard output.
#include "run/InputRun.h"
#include "run/LogOrder.h"
#include "analysis/facts/FieldCatalog.h"
#include "output/ExportDirectory.h"
#include "output/PcapExport.h"
#include "cli/Follow.h"
#include "cli/Options.h"
#include "cli/Platform.h"
#include "cli/RunOutput.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace truno {
namespace {

// Options that stop the tool before any log is read: a usage error, --help, --version,
// --list-fields. The exit status, or nothing when the logs are to be read.
std::optional<int> answeredAlready(std::vector<std::string> arguments, CliOptions& options) {
    std::vector<char*> args;  // the array of pointers that getopt_long reorders
    args.reserve(arguments.size() + 1);
    for (std::string& a : arguments) args.push_back(a.data());
    args.push_back(nullptr);
    std::string error;
    if (!parseOptions(static_cast<int>(arguments.size()), args.data(), options, error)) {
        std::fprintf(stderr, "truno-decode: %s\nTry 'truno-decode --help'.\n", error.c_str());
        return 2;
    }
    if (options.help || options.version) {
        std::fputs((options.help ? helpText() : versionText()).c_str(), stdout);
        return 0;
    }
    if (options.listFields == ListFields::No) return std::nullopt;
    std::string list;
    if (options.listFields == ListFields::Text)
        appendFieldListText(list);
    else
        appendFieldListMarkdown(list);
    std::fputs(list.c_str(), stdout);
    return 0;
}

// Opens an output file of the run (the capture file, the export folder); false, said on standard
// error, when it cannot be.
template <typename Output>
bool openOutput(const std::string& name, std::optional<Output>& output) {
    if (name.empty()) return true;
    std::string error;
    if (output.emplace().open(name, error)) return true;
    std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
    return false;
}

// Closes an output file of the run; false, said on standard error, when it cannot be.
template <typename Output>
bool closeOutput(std::optional<Output>& output) {
    std::string error;
    if (!output || output->close(error)) return true;
    std::fprintf(stderr, "truno-decode: %s\n", error.c_str());
    return false;
}

}  // namespace
}  // namespace truno

int main(int argc, char** argv) {
    using namespace truno;
    useBinaryStandardStreams();
    CliOptions options;
    if (const std::optional<int> status = answeredAlready(utf8Arguments(argc, argv), options)) return *status;
    if (options.files.empty()) options.files.emplace_back("-");
    std::optional<PcapExport> pcap;
    std::optional<ExportDirectory> exports;
    if (!openOutput(options.pcapFile, pcap) || !openOutput(options.exportDir, exports)) return 2;
    if (options.sortFiles) {
        // By the first message's date and time; files without one keep their place after the others.
        std::vector<std::string> sorted;
        for (const std::size_t k : timeOrderOfFiles(options.files)) sorted.push_back(options.files[k]);
        options.files = std::move(sorted);
    }
    const std::vector<InputFile> inputs = inputFiles(options.files, options.switchName);
    RunOutput output(options, inputs, pcap ? &*pcap : nullptr, exports ? &*exports : nullptr);
    InputRunOptions run;
    // Asked for, the threads decode every input; by default a regular file takes the cores.
    run.run.jobs = options.jobs == 0 ? 1 : options.jobs;
    run.fileJobs = options.jobs == 0 ? defaultJobs() : 0;
    run.run.cicOctets = options.cicOctets;
    run.run.localPointCodes = options.localPointCodes;
    run.run.pointCodeFormat = options.pointCodeFormat;
    run.merge = options.merge;
    run.nameInputs = options.merge;  // as the one run's warnings name their files
    if (options.follow != Follow::No)
        run.follow = FollowSettings{.byName = options.follow == Follow::Name,
                                    .settle = std::chrono::milliseconds(options.settleMs),
                                    .stop = followStopFlag()};
    const RunSummary total = runInputs(inputs, run, output);
    if (options.merge) output.finishMerged(total);
    int status = output.status();
    if (!closeOutput(exports)) status = 2;
    output.closeDocuments();
    if (!closeOutput(pcap)) status = 2;
    std::fflush(stdout);
    if (output.writeFailed() || std::ferror(stdout)) {
        std::fprintf(stderr, "truno-decode: error writing the report: %s\n", std::strerror(errno));
        return 2;
    }
    return status;
}
