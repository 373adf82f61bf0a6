#pragma once
// A parameter decoder renders one parameter's contents (hex digits, two per octet, octet 1
// first, upper case, no separators) as a block of report lines appended to `out`. It keeps
// nothing between calls; a contents it cannot convert throws DecodeError.
#include "base/FieldBlock.h"

#include <string>
#include <string_view>

namespace truno {

using ParameterDecoder = void (*)(std::string_view contents, Text& out);

// Convenience for tests and callers that want the block as its own string.
std::string render(ParameterDecoder decoder, std::string_view contents);

}  // namespace truno
