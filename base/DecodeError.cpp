#include "base/DecodeError.h"

#include <array>

namespace truno {
namespace {

struct FailureText {
    std::string_view name;
    std::string_view description;
};

// In the order of DecodeFailure.
constexpr std::array<FailureText, kDecodeFailureCount> kFailures = {{
    {"octets missing", "a parameter whose contents lack an octet its fields need"},
    {"runs past the end", "a pointer, length or element that runs past the last octet"},
    {"not hex digits", "an octet that is not two hex digits"},
    {"lower case", "hex digits in lower case"},
    {"value too large", "a value too large to convert"},
    {"message too long", "DATA past what the reader keeps for one message"},
    {"no type code", "fewer than five octets"},
    {"unknown type", "a message type code that is not known"},
    {"optional part not closed", "no end-of-optional-parameters octet"},
    {"internal error", "a fault of the decoder itself"},
    {"circuit code spare bits", "a two-octet circuit identification code with its 4 spare bits set"},
}};

}  // namespace

std::string_view failureName(DecodeFailure failure) { return kFailures[static_cast<std::size_t>(failure)].name; }

std::string_view failureDescription(DecodeFailure failure) {
    return kFailures[static_cast<std::size_t>(failure)].description;
}

}  // namespace truno
