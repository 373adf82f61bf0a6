#pragma once
// The shorthand filters: the command line's --cic, --type, --records and --not-decoded, and the
// window's boxes (types, codes, a record range, not decoded, and the call chosen in its calls
// tab). Each condition given stands for a filter expression (docs/filters.md, "The shorthand
// options") and is compiled into it here, so that both front ends filter by the one engine of
// FilterExpression; both read their lists with the parsers below.
#include "analysis/filters/FilterExpression.h"

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

struct RecordRange {
    std::uint64_t first = 1;
    std::uint64_t last = std::numeric_limits<std::uint64_t>::max();
};

struct ShorthandFilters {
    std::vector<CodeRange> codes;      // cic in {...}; empty: any
    std::bitset<256> types;            // type in {...}, by code; none set: any
    std::vector<RecordRange> records;  // record in {...}; empty: any
    bool notDecoded = false;           // not decoded
    std::uint64_t call = 0;            // call == N: the first record of the call wanted; 0: any
};

// The expression of each condition given (in this order: codes, types, records, not decoded,
// call), compiled and added to `where`.
void compileShorthand(const ShorthandFilters& given, std::vector<FilterExpression>& where);

// "1,5,10-20": call instance codes and ranges of them, in decimal. False with `error` set when
// the list does not read.
bool parseCodeList(std::string_view text, std::vector<CodeRange>& codes, std::string& error);

// "IAM,REL": message type acronyms (any case). An unknown one is an error that lists the known
// acronyms.
bool parseTypeList(std::string_view text, std::bitset<256>& types, std::string& error);

// "N", "N-M", "N-" or "-M": record numbers from N to M.
bool parseRecordRange(std::string_view text, std::uint64_t& first, std::uint64_t& last, std::string& error);

}  // namespace truno
