// Fuzz target: arbitrary bytes as a log, once as they are and once gzip-compressed through the
// log input (split into two gzip members where the first byte says). Both runs must give the
// same report and the same summary, and the gzip run no read error.
#include "run/DecodeRun.h"
#include "run/LogInput.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

std::string gzipped(std::string_view text) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
    std::string out(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) std::abort();
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct Result {
    std::string report;
    truno::RunSummary summary;
};

Result decode(std::istream& in) {
    Result r;
    r.summary = truno::decodeLog(in, [&](std::string_view t) { r.report += t; });
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::istringstream plainStream{std::string(text)};
    const Result plain = decode(plainStream);

    const std::size_t split = size == 0 ? 0 : size * data[0] / 256;
    std::istringstream raw(gzipped(text.substr(0, split)) + gzipped(text.substr(split)));
    truno::LogInput in(raw);
    if (in.compression() != truno::Compression::Gzip) std::abort();
    const Result gzip = decode(in);
    if (gzip.summary.readError || !in.dataError().empty()) std::abort();
    if (gzip.report != plain.report) std::abort();
    if (truno::summaryText(gzip.summary) != truno::summaryText(plain.summary)) std::abort();
    return 0;
}
