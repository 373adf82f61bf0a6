// Redirection information (code 13), Q.763 3.45.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Value 4 runs onto a second line whose text starts in the value column.
constexpr std::string_view kDivertedAllRestricted =
    "4, call diverted, all redirection information\r\n"
    "                                             presentation restricted";
constexpr std::size_t kContinuation = kDivertedAllRestricted.find("\r\n") + 2;
static_assert(kDivertedAllRestricted.substr(kContinuation, kValueColumnIndent.size()) == kValueColumnIndent &&
                  kDivertedAllRestricted[kContinuation + kValueColumnIndent.size()] == 'p',
              "the continuation must start in the value column");

// Octet 1 bits C B A.
constexpr Phrase kRedirectingIndicator[] = {
    {"000", "0, no redirection"},
    {"001", "1, call rerouted"},
    {"010", "2, reserved "},
    {"011", "3, call diverted"},
    {"100", kDivertedAllRestricted},
    {"101", "5, reserved"},
    {"110", "6, reserved"},
    {"111", "7, spare"},
};

// Octet 1 bits H G F E; unlisted values show as bits.
constexpr Phrase kOriginalReason[] = {
    {"0000", "0, unknown/not available"},
    {"0001", "1, user busy"},
    {"0010", "2, no reply"},
    {"0011", "3, unconditional"},
};

// Octet 2 bits H G F E; unlisted values show as a decimal number.
constexpr Phrase kRedirectingReason[] = {
    {"0000", "0, unknown/not available"},
    {"0001", "1, user busy"},
    {"0010", "2, no reply"},
    {"0011", "3, unconditional"},
    {"0100", "4, deflection during alerting"},
    {"0101", "5, deflection immediate response"},
    {"0110", "6, mobile subscriber not reachable"},
};

// Octet 1 and octet 2 are read each on its own; bit D of both is not shown.
constexpr BitField kLines[] = {
    {.key = "redirecting", .label = "Redirecting indicator", .octet = 1, .bits = {3, 1}, .table = kRedirectingIndicator},
    {.key = "original_redirection_reason", .label = "Original redirection reason", .octet = 1, .bits = {8, 5},
     .table = kOriginalReason, .fallback = kFallbackBitsSpare},
    {.key = "redirection_counter", .label = "No. of redirections undergone", .octet = 2, .bits = {3, 1},
     .fallback = kFallbackDecimal},
    {.key = "redirecting_reason", .label = "Redirecting reason", .octet = 2, .bits = {8, 5},
     .table = kRedirectingReason, .fallback = servicecommon::kFallbackDecimalSpareNoStop},
};

constexpr FieldBlock kBlock{"REDIRECTION INFORMATION:", kLines, BlockEnding::None};

}  // namespace

void RedirectionInformation(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void RedirectionInformationFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
