#pragma once
// Shared helpers of the core tests: a message from octet text, a log from lines, a whole run.
#include "run/DecodeRun.h"
#include "dispatch/DecodingState.h"

#include <sstream>
#include <string>
#include <vector>

namespace truno::testing {

// Holds the octet strings that a DecodingState's views point at.
struct Message {
    std::vector<std::string> octets;
    DecodingState state;

    explicit Message(const std::string& spaced) {
        std::istringstream in(spaced);
        for (std::string o; in >> o;) octets.push_back(o);
        for (const auto& o : octets) state.MessageOctets.emplace_back(o);
        state.MessageTime = "10:15:22.1";
        state.MessageDirection = "R";
        state.LogBcic = "1";
    }
};

inline const std::string kTraceHeader = "USER       BCIC        DEV                   ROUTE       TSTCALL";
inline const std::string kTraceValues = "OPER1      1           BICC-1                RT1         5";
inline const std::string kColumns = "TIME        MSG        DIR  DATA";

// A data line with TIME, MSG, DIR and DATA in the columns of kColumns.
inline std::string dataLine(const std::string& time, const std::string& dir, const std::string& data) {
    std::string line = time;
    line.resize(12, ' ');
    line += "XXX";
    line.resize(23, ' ');
    line += dir;
    line.resize(28, ' ');
    return line + data;
}

// "01 00 10" -> "01  00  10" (octets as a log writes them).
inline std::string logOctets(const std::string& spaced) {
    std::istringstream in(spaced);
    std::string out;
    for (std::string o; in >> o;) out += (out.empty() ? "" : "  ") + o;
    return out;
}

// A log of one message per entry (each under its own column header), CR LF line ends.
inline std::string logOf(const std::vector<std::string>& messages, const std::string& eol = "\r\n") {
    std::string log = kTraceHeader + eol + kTraceValues + eol + eol;
    int n = 0;
    for (const auto& m : messages) {
        log += kColumns + eol + dataLine("10:00:0" + std::to_string(n++ % 10), "S", logOctets(m)) + eol + eol;
    }
    return log;
}

struct RunResult {
    RunSummary summary;
    std::string report;
};

inline RunResult run(const std::string& log) {
    std::istringstream in(log);
    RunResult r;
    r.summary = decodeLog(in, [&](std::string_view t) { r.report += t; });
    return r;
}

inline int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

}  // namespace truno::testing
