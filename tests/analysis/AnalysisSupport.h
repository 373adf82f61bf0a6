#pragma once
// Shared helpers of the analysis tests: a log of messages given by type, call instance code,
// time and direction, and a run that hands each message's facts to a function.
#include "analysis/facts/MessageFacts.h"
#include "run/DecodeRun.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace truno::analysis_testing {

inline const std::string kTraceHeader = "USER       BCIC        DEV                   ROUTE       TSTCALL";
inline const std::string kTraceValues = "OPER1      1           BICC-1                RT1         5";
inline const std::string kColumns = "TIME        MSG        DIR  DATA";

// A data line with TIME, DIR and DATA in the columns of kColumns.
inline std::string dataLine(const std::string& time, const std::string& direction, const std::string& data) {
    std::string line = time;
    line.resize(23, ' ');
    line += direction;
    line.resize(28, ' ');
    line += data;
    return line;
}

// Message octets after the call instance code, by a short name: the decoded forms come from the
// real capture in tests/golden, "REL-cut" is a release message whose cause runs past its end.
inline const std::map<std::string, std::string>& messageBodies() {
    static const std::map<std::string, std::string> bodies = {
        {"IAM", "01 00 20 01 0A 03 02 08 06 02 90 21 43 65 00 0A 06 02 13 21 43 65 87 00"},
        {"ACM", "06 16 14 01 00"},
        {"CPG", "2C 01 00"},
        {"ANM", "09 01 00"},
        {"REL", "0C 02 04 02 84 90 00"},
        {"REL-cut", "0C 02 00 05 84"},
        {"RLC", "10 00"},
        {"RSC", "12"},
        {"BLO", "13"},
        {"UBL", "14"},
        {"BLA", "15"},
        {"UBA", "16"},
        {"CGB", "18 00 01 02 07 0F"},
        {"GRS", "17 01 01 03"},
        {"GRA", "29 01 02 03 00"},
        {"CON", "07 16 14 00"},
        {"SAM", "02 02 00 02 01 21"},
        {"unknown", "5A 00"},
    };
    return bodies;
}

struct LogMessage {
    std::string body;  // a key of messageBodies()
    unsigned code;     // call instance code, below 256
    std::string time;
    std::string direction = "S";
};

// The log of the messages, sixteen octets on a data line (DATA holds at most 100 characters).
inline std::string logOfMessages(const std::vector<LogMessage>& messages) {
    std::string log = kTraceHeader;
    log += "\r\n";
    log += kTraceValues;
    log += "\r\n\r\n";
    for (const LogMessage& m : messages) {
        char code[16];
        std::snprintf(code, sizeof code, "%02X 00 00 00 ", m.code);
        std::istringstream octets(code + messageBodies().at(m.body));
        std::vector<std::string> lines(1);
        int onLine = 0;
        for (std::string octet; octets >> octet; ++onLine) {
            if (onLine == 16) {
                lines.emplace_back();
                onLine = 0;
            }
            if (onLine != 0) lines.back() += "  ";
        lines.back() += octet;
        }
        log += kColumns;
        log += "\r\n";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            log += i == 0 ? dataLine(m.time, m.direction, lines[i]) : dataLine("", "", lines[i]);
            log += "\r\n";
        }
        log += "\r\n";
    }
    return log;
}

// Runs a log and hands the facts of each message to `each`.
inline RunSummary runWithFacts(const std::string& log, const std::function<void(const MessageFacts&)>& each) {
    std::istringstream in(log);
    MessageFacts facts;
    RunOptions options;
    options.records = [&](const RecordFacts& record) {
        facts.build(record);
        each(facts);
    };
    return decodeLog(in, [](std::string_view) {}, options);
}

}  // namespace truno::analysis_testing
