// The interworking function address.
#include "base/ParameterDecoder.h"
#include "parameters/address/AddressDecoders.h"

#include <gtest/gtest.h>

#include <string>

namespace truno {
namespace {

TEST(InterworkingFunctionAddress, FortyFiveFormAsReceivedOtherwiseReversed) {
    std::string octets25;  // octets 01 to 19 hex
    for (int i = 1; i <= 25; ++i) {
        octets25 += "0123456789ABCDEF"[i / 16];
        octets25 += "0123456789ABCDEF"[i % 16];
    }
    const struct {
        std::string contents;
        std::string shown;
    } cases[] = {
        {"4512AB", "4512AB"},
        {"45", "45"},
        {"45" + octets25, "45" + octets25},  // no twenty-octet limit in this form
        {"0A0B0C", "0C0B0A"},
        {"54", "54"},
        {"4", "4"},
        {"04", "04"},
        {"", ""},
        {"0A0B0", "00B0A"},  // a lone last digit is a short piece
        {octets25, "14131211100F0E0D0C0B0A090807060504030201"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(InterworkingFunctionAddress, c.contents), c.shown + "\r\n") << c.contents;
}

}  // namespace
}  // namespace truno
