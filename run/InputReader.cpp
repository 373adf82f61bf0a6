#include "run/InputReader.h"

#include "run/CaptureRun.h"
#include "run/capture/CaptureReader.h"

#include <iterator>

namespace truno {
namespace {

RunSummary decodeLogText(std::istream& in, const ReportSink& sink, const RunOptions& options) {
    return decodeLog(in, sink, options);
}

constexpr InputReader kReaders[] = {
    {.name = "packet capture", .recognises = isCaptureStart, .decode = decodeCapture},
    {.name = "trace log", .recognises = nullptr, .decode = decodeLogText},
};

}  // namespace

const InputReader& readerFor(LogInput& in) { return readerForHead(in.head(kReaderHeadBytes)); }

const InputReader& readerForHead(std::string_view head) {
    for (const InputReader& reader : kReaders)
        if (reader.recognises == nullptr || reader.recognises(head)) return reader;
    return logTextReader();
}

const InputReader& logTextReader() { return kReaders[std::size(kReaders) - 1]; }

}  // namespace truno
