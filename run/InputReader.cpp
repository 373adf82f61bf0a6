#include "run/InputReader.h"

#include <iterator>

namespace truno {
namespace {

RunSummary decodeLogText(std::istream& in, const ReportSink& sink, const RunOptions& options) {
    return decodeLog(in, sink, options);
}

constexpr InputReader kReaders[] = {
    {.name = "trace log", .recognises = nullptr, .decode = decodeLogText},
};

}  // namespace

const InputReader& readerFor(LogInput& in) {
    for (const InputReader& reader : kReaders)
        if (reader.recognises == nullptr || reader.recognises(in.head(kReaderHeadBytes))) return reader;
    return logTextReader();
}

const InputReader& logTextReader() { return kReaders[std::size(kReaders) - 1]; }

}  // namespace truno
