#pragma once
// One run over several inputs: log files, standard input, or a file followed as it grows, read
// one after the other either as one run (record numbers go on across the files, as rotated
// parts of one log) or each on its own (record numbers restart). Each input is opened when the
// run comes to it; its first bytes tell its compression (gzip is read, bzip2, xz and zstd are
// refused) and choose its reader. The caller is told when each input begins and ends, so that
// its views follow the files and their switches, and gets the inputs' summaries added up.
#include "run/DecodeRun.h"
#include "run/InputList.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// What became of one input.
struct InputResult {
    bool read = false;  // it was opened and read (beginInput was called for it)
    // Why it was not read, as the tool says it: it cannot be opened, or its compression is not
    // read ("NAME: xz-compressed input is not read; decompress it first (...)").
    std::string error;
    bool refused = false;  // for its compression: the summary says why it yielded nothing
    // Its summary; of a refused input, why it yielded nothing.
    RunSummary summary;
    // Why reading failed before the end (the source's error, the compressed data's, else the
    // system's); empty when nothing failed.
    std::string readError;
};

// The caller's side of the run.
class InputListener {
public:
    InputListener() = default;
    virtual ~InputListener() = default;
    InputListener(const InputListener&) = delete;
    InputListener& operator=(const InputListener&) = delete;

    // An input is open and about to be read with `options` (its first record's number set):
    // the listener sets what it wants of the records (RunOptions::records, markedTypes).
    virtual void beginInput(const InputFile& file, RunOptions& options) = 0;
    // The report, in pieces, in order (ReportSink).
    virtual void report(std::string_view text) = 0;
    // The input ended, or could not be read (then beginInput was not called for it).
    virtual void endInput(const InputFile& file, const InputResult& result) = 0;
    // A followed input waits for more: what was decoded so far has gone through the records.
    virtual void idle() {}
};

// Opens the input at `index` of the run; null with `error` set when it cannot be opened.
using InputOpener = std::function<std::unique_ptr<InputSource>(std::size_t index, const InputFile& file, std::string& error)>;

struct InputRunOptions {
    RunOptions run;      // threads, circuit code octets, cancel flag: those of every input
    // When not 0: the threads that decode a regular file that is not followed, in place of
    // run.jobs (standard input, pipes and followed files are decoded with run.jobs).
    unsigned fileJobs = 0;
    bool merge = true;   // one run: each input's records are numbered on from the inputs before
    // The summaries of the inputs are added up with each warning after its input's name as shown.
    bool nameInputs = false;
    std::optional<FollowSettings> follow;  // the inputs are followed as they grow
    InputOpener open;  // null: openInput (files by name, "-" standard input)
};

// Reads the inputs in order, each to its end, and tells `listener` as it goes; stops after an
// input whose run was cancelled. Returns the inputs' summaries added up (RunSummary::add).
RunSummary runInputs(const std::vector<InputFile>& inputs, const InputRunOptions& options, InputListener& listener);

// A total of several inputs read as one log: when messages were found, why some of the inputs
// yielded none is said among the warnings (after the others) instead.
void whyNothingAmongWarnings(RunSummary& total);

}  // namespace truno
