// Fuzz target: arbitrary bytes as a log file, read through the log input as the tools read a
// file (so bytes that start like gzip data go through zlib). Whatever the input, the run must
// end, every message found must get exactly one record, and the counts must add up; the facts
// handed over beside the report hold every record's exact text, with marks inside it, in order.
#include "analysis/facts/MessageFacts.h"
#include "run/DecodeRun.h"
#include "run/LogInput.h"
#include "dispatch/MessageTypes.h"
#include "base/ReportLayout.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

std::size_t countRecords(const std::string& report) {
    // Every banner's record line follows its rule of "#" and CR LF; decoded text never holds
    // a CR LF followed by "RECORD " (text from the log has its line breaks escaped).
    std::size_t n = 0;
    for (std::size_t at = report.find("#\r\nRECORD "); at != std::string::npos; at = report.find("#\r\nRECORD ", at + 1)) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream raw(std::string(reinterpret_cast<const char*>(data), size));
    truno::LogInput in(raw);
    std::string report;
    std::string records;
    std::uint64_t facts = 0;
    truno::MessageFacts messageFacts;
    truno::RunOptions options;
    options.records = [&](const truno::RecordFacts& r) {
        if (r.record != ++facts) std::abort();
        // The records joined as the report joins them: CR LF between two; each where it says.
        if (!records.empty()) records += "\r\n";
        if (r.reportOffset != records.size()) std::abort();
        records += r.text;
        std::size_t previous = 0;
        for (const truno::Mark& m : r.marks) {
            if (m.begin < previous || m.value < m.begin || m.value > r.text.size()) std::abort();
            previous = m.begin;
        }
        messageFacts.build(r);
        if (messageFacts.blocks().empty()) std::abort();
    };
    const truno::RunSummary s = truno::decodeLog(in, [&](std::string_view t) { report += t; }, options);
    if (s.found != s.decoded + s.notDecoded || facts != s.found) std::abort();
    // The records' texts, joined, are the report.
    if (records != report) std::abort();
    if (countRecords(report) != s.found) std::abort();
    // Only as a reason: the same words may stand in a decoded text such as a calling name.
    static const std::string internalError =
        "\r\n" + truno::dressLabel("REASON") + std::string(truno::kInternalErrorReason);
    if (report.find(internalError) != std::string::npos) std::abort();
    for (const char c : report) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\r' && c != '\n') || u == 0x7F) std::abort();
    }
    return 0;
}
