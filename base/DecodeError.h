#pragma once
// The one failure type of the decoding core. Conversions and bounds checks throw it;
// the driver catches it once per message and turns it into a "not decoded" record.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace truno {

// What went wrong, for the views that count and filter failures; the text says where.
enum class DecodeFailure : std::uint8_t {
    OctetsMissing,          // a parameter's contents lack an octet its fields need
    PastEnd,                // a pointer, length or element runs past the last octet
    NotHexDigits,           // an octet that is not two hex digits
    LowerCase,              // hex digits in lower case
    ValueTooLarge,          // a value too large to convert
    TooLong,                // DATA past what the reader keeps for one message
    NoTypeCode,             // fewer than five octets
    UnknownType,            // a message type code that is not known
    OptionalPartNotClosed,  // no end-of-optional-parameters octet
    Internal,               // a fault of the decoder itself
    CicSpareBits,           // a two-octet circuit identification code with its spare bits set
};
inline constexpr std::size_t kDecodeFailureCount = 11;

// "octets missing", "runs past the end", ...: a short name of each kind, and what it means.
std::string_view failureName(DecodeFailure failure);
std::string_view failureDescription(DecodeFailure failure);

class DecodeError : public std::runtime_error {
public:
    DecodeError(DecodeFailure failure, const std::string& why) : std::runtime_error(why), failure_(failure) {}
    // The same failure, its text given more context ("optional parameter 12: " + inner).
    DecodeError(const DecodeError& inner, const std::string& why) : std::runtime_error(why), failure_(inner.failure_) {}
    DecodeFailure failure() const { return failure_; }

private:
    DecodeFailure failure_;
};

}  // namespace truno
