#pragma once
// Which messages a view shows: by call instance code, type, record number, whether decoded,
// and the call they belong to. Every condition that is set must hold.
#include "dispatch/RecordFacts.h"

#include <bitset>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

struct CodeRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

struct MessageFilter {
    std::vector<CodeRange> codes;  // call instance codes; empty: any (a message without one fails a list)
    std::bitset<256> types;        // type codes; none set: any
    std::uint64_t firstRecord = 1;
    std::uint64_t lastRecord = std::numeric_limits<std::uint64_t>::max();
    bool notDecodedOnly = false;
    std::uint64_t call = 0;        // the first record of the call the message belongs to; 0: any

    // Whether any condition is set.
    bool active() const;
    // Whether the message passes; `callFirstRecord` is the first record of the call it belongs
    // to (0: none).
    bool accepts(const RecordFacts& record, std::uint64_t callFirstRecord) const;
};

// "1,5,10-20": call instance codes and ranges of them, in decimal. False with `error` set when
// the list does not read.
bool parseCodeList(std::string_view text, std::vector<CodeRange>& codes, std::string& error);

// "IAM,REL": message type acronyms (any case). An unknown one is an error that lists the known
// acronyms.
bool parseTypeList(std::string_view text, std::bitset<256>& types, std::string& error);

// "N", "N-M", "N-" or "-M": record numbers from N to M.
bool parseRecordRange(std::string_view text, std::uint64_t& first, std::uint64_t& last, std::string& error);

}  // namespace truno
