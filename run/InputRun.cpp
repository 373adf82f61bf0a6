#include "run/InputRun.h"

#include "run/InputReader.h"
#include "run/LogInput.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

namespace truno {
namespace {

// A file name as a shell reads it back: as it is when it holds only safe characters, otherwise
// in single quotes.
std::string shellWord(const std::string& name) {
    const bool safe = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || std::strchr("._/+-,:=@%", c) != nullptr;
    });
    if (safe) return name;
    std::string quoted = "'";
    for (const char c : name) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// An input whose compression is not read: the error, with the command that decompresses it into
// the tool, and why it yielded nothing, with the command that decompresses the file.
void refuse(const InputFile& file, Compression compression, InputResult& result) {
    const CompressionFormat& format = formatOf(compression);
    const std::string name(format.name);
    const std::string command(format.decompressCommand);
    const std::string pipe = file.path == "-" ? "... | " + command : command + " " + shellWord(file.path);
    result.refused = true;
    result.error = file.shown + ": " + name + "-compressed input is not read; decompress it first (" + pipe +
                   " | truno-decode -)";
    result.summary.whyNothing = name + "-compressed input is not read; decompress it first (" + command + " FILE > FILE.log)";
}

// The first bytes a file holds now (empty when it cannot be read).
std::string fileHead(const std::string& path) {
    std::string head(kReaderHeadBytes, '\0');
    std::ifstream in(pathOfName(path), std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

InputResult readInput(std::size_t index, const InputFile& file, std::uint64_t firstRecord,
                      const InputRunOptions& options, InputListener& listener) {
    InputResult result;
    std::function<void()> flushRecords;  // set by the run of a followed input while it runs
    std::function<bool()> messageIncomplete;  // likewise
    std::unique_ptr<InputSource> source;
    const InputReader* followedReader = &logTextReader();
    if (options.follow) {
        // Before each wait for more of the log, what was decoded goes through the records.
        const auto idle = [&flushRecords, &listener] {
            if (flushRecords) flushRecords();
            listener.idle();
        };
        const auto incomplete = [&messageIncomplete] { return messageIncomplete && messageIncomplete(); };
        // A followed file is read as it is: its first bytes, as it holds them now, tell its reader
        // (a file that does not exist yet, or is empty, is a log).
        FollowSettings settings = *options.follow;
        followedReader = &readerForHead(fileHead(file.path));
        settings.binary = followedReader != &logTextReader();
        source = openFollowed(file, settings, idle, incomplete, result.error);
    } else {
        source = options.open ? options.open(index, file, result.error) : openInput(file, result.error);
    }
    if (!source) return result;
    // A followed log is read as it grows, as it is (not decompressed); any other through LogInput.
    std::optional<LogInput> decompressed;
    if (!source->followed()) {
        decompressed.emplace(source->bytes());
        if (decompressed->refused()) {
            refuse(file, decompressed->compression(), result);
            return result;
        }
    }
    const InputReader& reader = decompressed ? readerFor(*decompressed) : *followedReader;
    RunOptions run = options.run;
    if (options.fileJobs != 0 && source->regularFile() && !source->followed()) run.jobs = options.fileJobs;
    run.firstRecord = firstRecord;
    run.capture = &reader != &logTextReader();
    if (source->followed()) {
        run.flushRecords = &flushRecords;
        run.messageIncomplete = &messageIncomplete;
    }
    listener.beginInput(file, run);
    result.read = true;
    result.summary = reader.decode(decompressed ? *decompressed : source->bytes(),
                                   [&listener](std::string_view text) { listener.report(text); }, run);
    if (std::string warning = source->warning(); !warning.empty()) result.summary.warnings.push_back(std::move(warning));
    result.readError = source->error();
    if (result.readError.empty() && decompressed) result.readError = decompressed->dataError();
    if (result.readError.empty() && result.summary.readError) result.readError = std::strerror(errno);
    return result;
}

}  // namespace

RunSummary runInputs(const std::vector<InputFile>& inputs, const InputRunOptions& options, InputListener& listener) {
    RunSummary total;
    for (std::size_t index = 0; index < inputs.size(); ++index) {
        const InputFile& file = inputs[index];
        const InputResult result = readInput(index, file, options.merge ? total.found + 1 : 1, options, listener);
        total.add(result.summary, options.nameInputs ? std::string_view(file.shown) : std::string_view());
        listener.endInput(file, result);
        if (result.summary.cancelled) break;
    }
    return total;
}

void whyNothingAmongWarnings(RunSummary& total) {
    if (total.found == 0 || total.whyNothing.empty()) return;
    for (std::size_t from = 0; from <= total.whyNothing.size();) {
        const std::size_t end = std::min(total.whyNothing.find('\n', from), total.whyNothing.size());
        total.warnings.push_back(total.whyNothing.substr(from, end - from));
        from = end + 1;
    }
    total.whyNothing.clear();
}

}  // namespace truno
