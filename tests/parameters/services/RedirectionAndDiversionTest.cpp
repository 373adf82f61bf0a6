// Redirection, MLPP precedence, generic notification, call diversion information and the
// treatment indicators: whole blocks compared with the text they must print.
#include "base/DecodeError.h"
#include "parameters/services/ServiceDecoders.h"
#include "tests/parameters/BlockOrDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace truno {
namespace {

// Expected lines are built here from the layout rule (label, dots up to column 44, "=",
// value), independently of the dressing functions.
std::string dotted(std::string_view indent, std::string_view label, std::string_view value) {
    std::string line(indent);
    line += label;
    if (line.size() < 44) line.append(44 - line.size(), '.');
    line += '=';
    line += value;
    return line;
}
std::string L1(std::string_view label, std::string_view value) { return dotted("", label, value); }
std::string L2(std::string_view label, std::string_view value) { return dotted("     ", label, value); }

const std::string kNewLine = "\r\n";
const std::string kValueColumn(45, ' ');

struct BlockCase {
    const char* name;
    BlockOrDecoder decoder;
    std::string_view contents;
    std::string expected;
};

std::string redirectionInfo(std::string_view indicator, std::string_view original, std::string_view count,
                            std::string_view reason) {
    return "REDIRECTION INFORMATION:\r\n" + L2("Redirecting indicator", indicator) + kNewLine +
           L2("Original redirection reason", original) + kNewLine + L2("No. of redirections undergone", count) +
           kNewLine + L2("Redirecting reason", reason);
}

std::string mlpp(std::string_view lfb, std::string_view level, std::string_view tcc, std::string_view domain) {
    return "MLPP PRECEDENCE:\r\n" + L2("Look Ahead for Busy - LFB", lfb) + kNewLine + L2("Precedence Level", level) +
           kNewLine + L2("Telephony Country Code, TCC", tcc) + kNewLine + L2("MLPP Service Domain", domain) +
           kNewLine;
}

std::string notification(std::string_view extension, std::string_view indicator) {
    return "GENERIC NOTIFICATION INDICATOR:\r\n" + L2("Extension Indicator", extension) + kNewLine +
           L2("Notification Indicator", indicator);
}

std::string diversion(std::string_view options, std::string_view reason) {
    return "CALL DIVERSION INFORMATION\r\n" + L2("Notification subscription options", options) + kNewLine +
           L2("Redirecting reason", reason) + "\r\n\r\n";
}

const std::string kLastOctet = "1, last octet";
const std::string kContinues = "0, info continues in next octet";

const BlockCase kBlockCases[] = {
    // Redirection information: octet 1 and octet 2 read each on its own.
    {"RedirectionInfoTwoLineIndicator", kRedirectionInformationBlock, "0403",
     redirectionInfo("4, call diverted, all redirection information\r\n" + kValueColumn + "presentation restricted",
                     "0, unknown/not available", "3", "0, unknown/not available")},
    {"RedirectionInfoSpareReasons", kRedirectionInformationBlock, "4070",
     redirectionInfo("0, no redirection", "0100, spare", "0", "7, spare")},
    {"RedirectionInfoReservedWithBlank", kRedirectionInformationBlock, "02F0",
     redirectionInfo("2, reserved ", "0, unknown/not available", "0", "15, spare")},
    {"RedirectionInfoCounterSeven", kRedirectionInformationBlock, "0107",
     redirectionInfo("1, call rerouted", "0, unknown/not available", "7", "0, unknown/not available")},
    {"RedirectionInfoBitDIgnored", kRedirectionInformationBlock, "3B6F",
     redirectionInfo("3, call diverted", "3, unconditional", "7", "6, mobile subscriber not reachable")},
    {"RedirectionInfoHighValues", kRedirectionInformationBlock, "FD5E",
     redirectionInfo("5, reserved", "1111, spare", "6", "5, deflection immediate response")},
    {"RedirectionInfoThirdOctetIgnored", kRedirectionInformationBlock, "0724FF",
     redirectionInfo("7, spare", "0, unknown/not available", "4", "2, no reply")},

    {"NumberRestrictionRestricted", kRedirectionNumberRestrictionBlock, "01",
     "REDIRECTION NUMBER RESTRICTION:\r\n" + L2("Presentation restricted indicator", "1, presentation restricted")},
    {"NumberRestrictionSpare", kRedirectionNumberRestrictionBlock, "FE",
     "REDIRECTION NUMBER RESTRICTION:\r\n" + L2("Presentation restricted indicator", "2, spare")},
    {"NumberRestrictionLastOctet", kRedirectionNumberRestrictionBlock, "0300",
     "REDIRECTION NUMBER RESTRICTION:\r\n" + L2("Presentation restricted indicator", "0, presentation allowed")},

    {"CapabilityAnytime", kRedirectCapabilityNationalUseBlock, "83",
     "REDIRECT CAPABILITY:\r\n" + L2("Redirect possible indicator", "3, redirect possible anytime during the call") +
         kNewLine + L2("Extension Indicator", kLastOctet)},
    {"CapabilityBareBits", kRedirectCapabilityNationalUseBlock, "05",
     "REDIRECT CAPABILITY:\r\n" + L2("Redirect possible indicator", "101") + kNewLine +
         L2("Extension Indicator", kContinues)},
    {"CapabilityLeadingZeroOctets", kRedirectCapabilityNationalUseBlock, "0000000083",
     "REDIRECT CAPABILITY:\r\n" + L2("Redirect possible indicator", "3, redirect possible anytime during the call") +
         kNewLine + L2("Extension Indicator", kLastOctet)},
    {"CapabilityLastOfFourOctets", kRedirectCapabilityNationalUseBlock, "7FFFFF82",
     "REDIRECT CAPABILITY:\r\n" + L2("Redirect possible indicator", "2, redirect possible before ANM") + kNewLine +
         L2("Extension Indicator", kLastOctet)},

    {"StatusAcknowledged", kRedirectStatusNationalUseBlock, "81",
     "REDIRECT STATUS:\r\n" + L2("Redirect status indicator", "1, acknowledgement of redirection") + kNewLine +
         L2("Extension Indicator", kLastOctet)},
    {"StatusSpareBitsCIgnored", kRedirectStatusNationalUseBlock, "7F",
     "REDIRECT STATUS:\r\n" + L2("Redirect status indicator", "3, spare") + kNewLine +
         L2("Extension Indicator", kContinues)},
    {"StatusNotInvoked", kRedirectStatusNationalUseBlock, "02",
     "REDIRECT STATUS:\r\n" + L2("Redirect status indicator", "2, redirection will not be invoked") + kNewLine +
         L2("Extension Indicator", kContinues)},

    {"CounterMaximum", kRedirectCounterNationalUseBlock, "1F", L1("REDIRECT COUNTER", "31")},
    {"CounterHighBitsIgnored", kRedirectCounterNationalUseBlock, "E5", L1("REDIRECT COUNTER", "5")},
    {"CounterZero", kRedirectCounterNationalUseBlock, "00", L1("REDIRECT COUNTER", "0")},

    // MLPP precedence: six octets, each read on its own.
    {"MlppRoutine", MlppPrecedence, "0404490ABCDE", mlpp("0, LFB allowed", "4, routine", "449", "703710")},
    {"MlppSpareLfb", MlppPrecedence, "600000000000", mlpp("11, spare", "0, flash override", "000", "0")},
    {"MlppSparePrecedence", MlppPrecedence, "07000000FFFF", mlpp("0, LFB allowed", "0111, spare", "000", "65535")},
    {"MlppPathReserved", MlppPrecedence, "20F4FFFFFFFF",
     mlpp("1, path reserved (National use)", "0, flash override", "41515", "16777215")},
    {"MlppNibbleAboveNine", MlppPrecedence, "C30A12010000",
     mlpp("2, LFB not allowed", "3, priority", "1012", "65536")},
    {"MlppSeventhOctetIgnored", MlppPrecedence, "010449000001FF", mlpp("0, LFB allowed", "1, flash", "449", "1")},

    // Generic notification indicator: last octet of the whole contents.
    {"NotificationSuspended", kGenericNotificationIndicatorBlock, "80", notification("1, last octet.", "0, user suspended")},
    {"NotificationConference", kGenericNotificationIndicatorBlock, "C2",
     notification("1, last octet.", "66, conference established")},
    {"NotificationContinues", kGenericNotificationIndicatorBlock, "42",
     notification("0, information continues in next octet.", "66, conference established")},
    {"NotificationDiverting", kGenericNotificationIndicatorBlock, "FB", notification("1, last octet.", "123, call is diverting")},
    {"NotificationUnlistedBits", kGenericNotificationIndicatorBlock, "85", notification("1, last octet.", "0000101")},
    {"NotificationTransferActive", kGenericNotificationIndicatorBlock, "EA",
     notification("1, last octet.", "107, call transfer, active")},
    {"NotificationSecondOctetOnly", kGenericNotificationIndicatorBlock, "0280",
     notification("1, last octet.", "0, user suspended")},

    // Call diversion information: followed by an empty line.
    {"DiversionBusy", kCallDiversionInformationBlock, "0B",
     diversion("3, presentation allowed without redirection number.", "1, user busy.")},
    {"DiversionSpareReason", kCallDiversionInformationBlock, "3A",
     diversion("2, presentation allowed with redirection number.", "7, spare.")},
    {"DiversionBareOptions", kCallDiversionInformationBlock, "7C", diversion("100", "15, spare.")},
    {"DiversionExtensionIgnored", kCallDiversionInformationBlock, "B1",
     diversion("1, presentation not allowed.", "6, mobile subscriber not reachable.")},

    // Treatment indicators: one line, bits B A of the last octet.
    {"DivertTreatmentAllowed", kCallDiversionTreatmentIndicatorsBlock, "81",
     L1("CALL DIVERSION TREATMENT INDICATOR", "1, call diversion allowed") + kNewLine},
    {"DivertTreatmentNotAllowed", kCallDiversionTreatmentIndicatorsBlock, "02",
     L1("CALL DIVERSION TREATMENT INDICATOR", "2, call diversion not allowed") + kNewLine},
    {"OfferingTreatmentNotAllowed", kCallOfferingTreatmentIndicatorsBlock, "81",
     L1("CALL TO BE OFFERED INDICATOR", "1, call offering not allowed") + kNewLine},
    {"OfferingTreatmentAllowed", kCallOfferingTreatmentIndicatorsBlock, "0102",
     L1("CALL TO BE OFFERED INDICATOR", "2, call offering allowed") + kNewLine},
    {"ConferenceAccept", kConferenceTreatmentIndicatorsBlock, "81",
     L1("CONFERENCE ACCEPTANCE INDICATOR", "1, accept conference request")},
    {"ConferenceReject", kConferenceTreatmentIndicatorsBlock, "FE",
     L1("CONFERENCE ACCEPTANCE INDICATOR", "2, reject conference request")},
    {"ConferenceNoIndication", kConferenceTreatmentIndicatorsBlock, "00", L1("CONFERENCE ACCEPTANCE INDICATOR", "0, no indication")},
    {"TransferTreatmentAllowed", kCallTransferTreatmentIndicatorBlock, "81",
     L1("CALL TRANSFER TREATMENT INDICATOR", "1, call transfer allowed") + kNewLine},
    {"TransferTreatmentSpare", kCallTransferTreatmentIndicatorBlock, "03",
     L1("CALL TRANSFER TREATMENT INDICATOR", "3, spare") + kNewLine},
    {"TransferTreatmentNotAllowed", kCallTransferTreatmentIndicatorBlock, "0A",
     L1("CALL TRANSFER TREATMENT INDICATOR", "2, call transfer not allowed") + kNewLine},
};

// Cases print as their names, so that the test list (and the names ctest takes from it) stays
// the same from one build to the next.
void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

class RedirectionAndDiversionBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(RedirectionAndDiversionBlock, PrintsTheBlock) {
    const BlockCase& c = GetParam();
    EXPECT_EQ(render(c.decoder, c.contents), c.expected);
}

TEST_P(RedirectionAndDiversionBlock, AppendsAfterExistingText) {
    const BlockCase& c = GetParam();
    Text out("earlier text");
    c.decoder(c.contents, out);
    EXPECT_EQ(out, "earlier text" + c.expected);
}

INSTANTIATE_TEST_SUITE_P(Decoders, RedirectionAndDiversionBlock, testing::ValuesIn(kBlockCases),
                         [](const testing::TestParamInfo<BlockCase>& p) { return std::string(p.param.name); });

struct FailureCase {
    const char* name;
    BlockOrDecoder decoder;
    std::string_view contents;
};

// Contents a decoder cannot convert: a missing octet, a digit that is not upper-case hex, or a
// whole-contents value beyond the 32-bit signed range of the bit-string conversion.
const FailureCase kFailureCases[] = {
    {"RedirectionInfoEmpty", kRedirectionInformationBlock, ""},
    {"RedirectionInfoMissingOctet2", kRedirectionInformationBlock, "04"},
    {"RedirectionInfoLowerCase", kRedirectionInformationBlock, "04a0"},
    {"NumberRestrictionEmpty", kRedirectionNumberRestrictionBlock, ""},
    {"NumberRestrictionTooLarge", kRedirectionNumberRestrictionBlock, "80000001"},
    {"CapabilityEmpty", kRedirectCapabilityNationalUseBlock, ""},
    {"CapabilityFiveOctetsTooLarge", kRedirectCapabilityNationalUseBlock, "0100000083"},
    {"StatusLowerCase", kRedirectStatusNationalUseBlock, "8f"},
    {"StatusEmpty", kRedirectStatusNationalUseBlock, ""},
    {"CounterEmpty", kRedirectCounterNationalUseBlock, ""},
    {"CounterBlank", kRedirectCounterNationalUseBlock, "1 "},
    {"MlppEmpty", MlppPrecedence, ""},
    {"MlppMissingOctet6", MlppPrecedence, "0404490ABC"},
    {"MlppBadDigit", MlppPrecedence, "0404490ABCDG"},
    {"NotificationEmpty", kGenericNotificationIndicatorBlock, ""},
    {"NotificationTooLarge", kGenericNotificationIndicatorBlock, "FFFFFFFF"},
    {"DiversionEmpty", kCallDiversionInformationBlock, ""},
    {"DiversionLowerCase", kCallDiversionInformationBlock, "0b"},
    {"DivertTreatmentEmpty", kCallDiversionTreatmentIndicatorsBlock, ""},
    {"OfferingTreatmentEmpty", kCallOfferingTreatmentIndicatorsBlock, ""},
    {"ConferenceEmpty", kConferenceTreatmentIndicatorsBlock, ""},
    {"TransferTreatmentTooLarge", kCallTransferTreatmentIndicatorBlock, "8000000001"},
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class RedirectionAndDiversionFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(RedirectionAndDiversionFailure, ThrowsDecodeError) {
    const FailureCase& c = GetParam();
    Text out;
    EXPECT_THROW(c.decoder(c.contents, out), DecodeError);
}

INSTANTIATE_TEST_SUITE_P(Decoders, RedirectionAndDiversionFailure, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& p) { return std::string(p.param.name); });

// A short MLPP precedence parameter adds nothing: all six octets are converted first.
TEST(RedirectionAndDiversion, ShortMlppLeavesTheReportUntouched) {
    Text out("before");
    EXPECT_THROW(MlppPrecedence("0404490A", out), DecodeError);
    EXPECT_EQ(out, "before");
}

}  // namespace
}  // namespace truno
