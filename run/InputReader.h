#pragma once
// The readers of a run's inputs, chosen by the first bytes of each input's data (decompressed).
// A trace log's text is read by the log reader, the one reader today, which takes any data. A
// reader of another format (a packet capture) goes in the table before it, with the test of its
// first bytes, and hands the run's records on as the log reader does.
#include "run/DecodeRun.h"
#include "run/LogInput.h"

#include <istream>
#include <string_view>

namespace truno {

struct InputReader {
    std::string_view name;
    // Whether data that starts with `head` is of this reader's format; null: any data.
    bool (*recognises)(std::string_view head) = nullptr;
    // Reads the data and decodes its messages, as decodeLog does.
    RunSummary (*decode)(std::istream& in, const ReportSink& sink, const RunOptions& options) = nullptr;
};

// Bytes at the start of the data that the readers' tests see (at most).
inline constexpr std::size_t kReaderHeadBytes = 16;

// The reader of the data `in` holds, before anything of it is read: the first whose test its
// first bytes pass.
const InputReader& readerFor(LogInput& in);

// The reader of a trace log's text (a followed log is read by it, as it grows).
const InputReader& logTextReader();

}  // namespace truno
