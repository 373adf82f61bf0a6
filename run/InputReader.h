#pragma once
// The readers of a run's inputs, chosen by the first bytes of each input's data (decompressed).
// A packet capture (pcap or pcapng, told by its magic number) is read by the capture run; a trace
// log's text by the log reader, which takes any data and stands last. Each hands the run's
// records on in the same way.
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

// The reader of a trace log's text.
const InputReader& logTextReader();

// The reader of data whose first bytes are `head` (a followed file's, read from the file).
const InputReader& readerForHead(std::string_view head);

}  // namespace truno
