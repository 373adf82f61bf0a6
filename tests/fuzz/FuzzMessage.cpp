// Fuzz target, structure-aware: the fuzzer's bytes become the octets of one or more messages
// inside a valid trace, so that the message decoders and the parameter decoders behind the
// optional-part walk are reached with well-formed hex digits, in both modes (four-octet and
// two-octet codes before the type code).
#include "run/DecodeRun.h"
#include "dispatch/MessageTypes.h"
#include "base/ReportLayout.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string log =
        "USER       BCIC        DEV                   ROUTE       TSTCALL\r\n"
        "OPER1      1           BICC-1                RT1         5\r\n";
    // A byte FE followed by FE starts a new message; everything else is an octet.
    std::string line;
    std::size_t inLine = 0;
    const auto startMessage = [&] {
        log += "\r\nTIME        MSG        DIR  DATA\r\n10:00:00.0  XXX        S    ";
        inLine = 0;
    };
    startMessage();
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFE && i + 1 < size && data[i + 1] == 0xFE) {
            log += "\r\n";
            startMessage();
            ++i;
            continue;
        }
        if (inLine == 16) {
            log += "\r\n                            ";
            inLine = 0;
        }
        if (inLine != 0) log += "  ";
        log += kHex[data[i] >> 4];
        log += kHex[data[i] & 15];
        ++inLine;
    }
    log += "\r\n";
    // Both modes on the same octets: BICC's four-octet call instance code, ISUP's two-octet
    // circuit identification code (the layouts then stand two octets earlier).
    for (const std::size_t cicOctets : {std::size_t{4}, std::size_t{2}}) {
        std::istringstream in(log);
        std::string report;
        truno::RunOptions options;
        options.cicOctets = cicOctets;
        const truno::RunSummary s = truno::decodeLog(in, [&](std::string_view t) { report += t; }, options);
        if (s.found != s.decoded + s.notDecoded) std::abort();
        // Only as a reason: the same words may stand in a decoded text such as a calling name.
        static const std::string internalError =
            "\r\n" + truno::dressLabel("REASON") + std::string(truno::kInternalErrorReason);
        if (report.find(internalError) != std::string::npos) std::abort();
    }
    return 0;
}
