// Fuzz target: arbitrary bytes as a capture read by the run (decodeCapture), with the facts of
// every record handed over, as the tool reads a capture for any view. Whatever the input, the run
// must end, every ISUP or BICC message must get exactly one record numbered in order, the records'
// texts joined must be the report, each record's mode must follow its service indicator, and its
// TIME must be a time of day.
#include "run/CaptureRun.h"
#include "run/capture/CapturedMessage.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string report;
    std::string records;
    std::uint64_t facts = 0;
    truno::RunOptions options;
    if (size != 0 && (data[size - 1] & 1) != 0) options.pointCodeFormat = truno::PointCodeFormat::Ansi;
    if (size != 0 && (data[size - 1] & 2) != 0) options.localPointCodes = {1, 2};
    options.records = [&](const truno::RecordFacts& r) {
        if (r.record != ++facts || !r.wire.captured) std::abort();
        if (r.wire.si != truno::kServiceIndicatorIsup && r.wire.si != truno::kServiceIndicatorBicc) std::abort();
        if (r.cicOctets != (r.wire.si == truno::kServiceIndicatorIsup ? 2u : 4u)) std::abort();
        if (r.time.size() != 11 || r.time[2] != ':' || r.time[5] != ':' || r.time[8] != '.') std::abort();
        if (r.logDate.size() < 10) std::abort();
        if (!records.empty()) records += "\r\n";
        if (r.reportOffset != records.size()) std::abort();
        records += r.text;
    };
    const truno::RunSummary s = truno::decodeCapture(in, [&](std::string_view t) { report += t; }, options);
    if (s.found != s.decoded + s.notDecoded || facts != s.found) std::abort();
    if (records != report) std::abort();
    if (s.notes.size() != 1) std::abort();  // the line of packet counts
    return 0;
}
