#pragma once
// The cause values' names as ITU-T Q.850 (Table 1) gives them, for exports that group by a
// correct name: the report keeps its own wording (and its typos), the exports add this one.
#include <cstdint>
#include <string_view>

namespace truno {

// "Normal call clearing" for 16; empty for a value Q.850 does not name.
std::string_view q850CauseName(std::uint64_t value);

}  // namespace truno
