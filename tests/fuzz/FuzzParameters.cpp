// Fuzz target: every parameter decoder on its own. The first byte picks the parameter code,
// the rest are the contents. A decoder may reject contents only with DecodeError.
#include "base/DecodeError.h"
#include "dispatch/DecodingState.h"
#include "dispatch/ParameterTable.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string code{kHex[data[0] >> 4], kHex[data[0] & 15]};
    std::string contents;
    for (std::size_t i = 1; i < size; ++i) {
        contents += kHex[data[i] >> 4];
        contents += kHex[data[i] & 15];
    }
    truno::DecodingState state;
    truno::Text out;
    try {
        truno::decodeParameter(state, code, contents, out);
    } catch (const truno::DecodeError&) {
    }
    return 0;
}
