#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon64.h"

namespace truno {

namespace {

using namespace octetblock;

// Bits B A; bits G-C are not shown.
constexpr Phrase kRedirectStatus[] = {
    {"00", "0, no indication"},
    {"01", "1, acknowledgement of redirection"},
    {"10", "2, redirection will not be invoked"},
    {"11", "3, spare"},
};

// Bit H.
constexpr Phrase kExtension[] = {
    {"0", "0, info continues in next octet"},
    {"1", "1, last octet"},
};

constexpr FieldLine kLines[] = {
    {"Redirect status indicator", Level::L2, kLastOctet, 7, 2, kRedirectStatus, kFallbackBits},
    {"Extension Indicator", Level::L2, kLastOctet, 1, 1, kExtension, kFallbackBits},
};

constexpr OctetBlock kBlock{"REDIRECT STATUS:", kLines, Ending::None};

}  // namespace

void RedirectStatusNationalUs(std::string_view contents, Text& out) {
    appendOctetBlock(out, contents, kBlock);
}

}  // namespace truno
