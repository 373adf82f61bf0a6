#pragma once
// The parameter code dispatch: one optional parameter's code and contents to its report block.
#include "dispatch/DecodingState.h"

#include <string_view>

namespace truno {

// Appends CR LF + the block of the parameter's decoder to `out`; for code "00" appends CR LF
// alone and sets EndOfOptionalParameters; for a reserved code appends CR LF + "Reserved"; for
// a code not in the table appends nothing. Returns whether the code was in the table.
bool ParTable(DecodingState& s, std::string_view code, std::string_view contents, Text& out);

// Name of the decoder registered for a code, or empty (for tests and diagnostics).
std::string_view parameterDecoderName(std::string_view code);

}  // namespace truno
