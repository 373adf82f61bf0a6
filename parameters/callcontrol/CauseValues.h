#pragma once
// The cause values of ITU-T Q.850 as the cause indicators' decoder knows them (one table,
// CauseIndicators.cpp): for each value the report's phrase, Q.850's name and its class, for the
// views that show a cause beside the report (calls, statistics, KPIs, exports).
#include "base/FieldTable.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace truno {

// The row of a cause value; nullptr for a value neither the report nor Q.850 names.
const ValuePhrase* causeValueRow(std::uint64_t value);
// Q.850's name: "Normal call clearing" for 16; empty for a value Q.850 does not name.
std::string_view causeName(std::uint64_t value);
// The meaning as the report prints it after the number: "Normal call clearing." for 16; empty for
// a value the report shows as a bare number.
std::string_view causeMeaning(std::uint64_t value);

// Q.850 cause classes by the value's bits 7 to 5.
enum class CauseClass : std::uint8_t {
    Normal,                   // 0-31
    ResourceUnavailable,      // 32-47
    ServiceNotAvailable,      // 48-63
    ServiceNotImplemented,    // 64-79
    InvalidMessage,           // 80-95
    ProtocolError,            // 96-111
    Interworking,             // 112-127
};
inline constexpr std::size_t kCauseClassCount = 7;
CauseClass causeClassOf(std::uint64_t value);
// "normal", "resource unavailable", ...
std::string_view causeClassName(CauseClass cause);

}  // namespace truno
