#pragma once
// The one failure type of the decoding core. Conversions and bounds checks throw it;
// the driver catches it once per message and turns it into a "not decoded" record.
#include <stdexcept>
#include <string>

namespace truno {

class DecodeError : public std::runtime_error {
public:
    explicit DecodeError(const std::string& why) : std::runtime_error(why) {}
};

}  // namespace truno
