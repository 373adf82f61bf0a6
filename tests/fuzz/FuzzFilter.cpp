// Fuzz target: arbitrary bytes as a filter expression. Compiling must end with an expression or
// an error whose column lies within the text; an expression that compiles is run over the
// messages and calls of a small log (the selection as --where gives it).
#include "analysis/filters/FilterExpression.h"
#include "analysis/pipeline/LogAnalysis.h"
#include "run/DecodeRun.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kLog =
    "TIME        MSG        DIR  DATA\r\n"
    "10:15:22.1  IAM        S    2A  00  00  00  01  10  60  01  0A  00  02  09  07  03  10  21\r\n"
    "                            43  65  87  09  0A  08  04  13  44  21  43  65  87  09  08  01\r\n"
    "                            00  1D  03  80  90  A3  3D  01  1F  31  02  00  0A  00\r\n"
    "\r\n"
    "TIME        MSG        DIR  DATA\r\n"
    "10:15:23.4  ACM        R    2A  00  00  00  06  16  14  01  29  01  01  00\r\n"
    "\r\n"
    "TIME        MSG        DIR  DATA\r\n"
    "10:17:02.9  REL        S    2A  00  00  00  0C  02  00  02  80  90\r\n"
    "\r\n"
    "TIME        MSG        DIR  DATA\r\n"
    "10:17:03.0  RLC        R    2A  00  00  00  10  00\r\n"
    "\r\n"
    "TIME        MSG        DIR  DATA\r\n"
    "10:20:00.0  CGB        S    00  00  00  00  18  00  01  02  07  FF\r\n"
    "\r\n"
    "TIME        MSG        DIR  DATA\r\n"
    "10:20:01.0  XYZ        R    00  00  00  00  FE  00\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    truno::MessageSelection selection;
    truno::FilterExpression expression;
    truno::FilterError error;
    if (!expression.compile(text, error)) {
        if (error.message.empty() || error.column > text.size()) std::abort();
        (void)truno::describeFilterError(text, error);
        return 0;
    }
    selection.where.push_back(std::move(expression));
    if (size > 0 && data[0] % 2 == 0) selection.callRecords = {data[0] % 8u};
    std::uint64_t seen = 0;
    truno::LogAnalysis analysis([&](const truno::AnalysedMessage&) { ++seen; }, [](const truno::Call&) {}, true,
                                &selection);
    truno::RunOptions options;
    options.records = [&](const truno::RecordFacts& record) { analysis.add(record); };
    options.markedTypes = analysis.markedTypes();
    std::istringstream in{std::string(kLog)};
    (void)truno::decodeLog(in, [](std::string_view) {}, options);
    analysis.finish();
    if (seen > 6) std::abort();
    return 0;
}
