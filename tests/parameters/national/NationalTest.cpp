#include "base/DecodeError.h"
#include "parameters/national/NationalDecoders.h"

#include <gtest/gtest.h>

#include <string>

namespace truno {
namespace {

const std::string kContinuationIndent(44, ' ');

TEST(NationalNumericLines, PrintExactDecimalValues) {
    const struct {
        ParameterDecoder decoder;
        const char* label;
        const char* contents;
        const char* value;
    } cases[] = {
        {AdditionalChargInf, "ADDITIONAL CHARGING INFORMATION", "0100", "256"},
        {AdditionalChargInf, "ADDITIONAL CHARGING INFORMATION", "00", "0"},
        {AdditionalChargInf, "ADDITIONAL CHARGING INFORMATION", "FFFFFFFFFFFFFFFFFF",
         "4722366482869645213695"},
        {CallTransferReferenc, "CALL TRANSFER REFERENCE", "FF", "255"},
        {CallTransferReferenc, "CALL TRANSFER REFERENCE", "0102030405060708090A",
         "4759477275222530853130"},
        {AdditionalRoutingInf, "ADDITIONAL ROUTING INFORMATION", "0A1B", "H'0A1B"},
        {AdditionalRoutingInf, "ADDITIONAL ROUTING INFORMATION", "", "H'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(c.decoder, c.contents), DressData(c.label) + c.value + "\r\n")
            << c.contents;
    EXPECT_THROW(render(AdditionalChargInf, ""), DecodeError);
    EXPECT_THROW(render(CallTransferReferenc, ""), DecodeError);
    EXPECT_THROW(render(CallTransferReferenc, "0G"), DecodeError);
}

TEST(CarrierSelectionInformationNationalUs, ContinuesUnderTheEqualsSign) {
    const struct {
        const char* contents;
        std::string text;
    } cases[] = {
        {"00", "0, no indication"},
        {"02", "2, selected carrier identification pre-subscribed\r\n" + kContinuationIndent +
                   "and input by calling party"},
        {"04", "4, selected carrier identification not pre-subscribed,\r\n" + kContinuationIndent +
                   "and input by calling party"},
        {"08", "8, reserved for selected carrier identification presubcription\r\n" +
                   kContinuationIndent + "unknown (verbal) instructions from the charged party"},
        {"09", "9, reserved for emergency call handling"},
        {"0C", "12"},
        // The whole contents is one number.
        {"0002", "2, selected carrier identification pre-subscribed\r\n" + kContinuationIndent +
                     "and input by calling party"},
        {"000000000000000000000009", "9, reserved for emergency call handling"},
        {"FFFFFFFFFFFFFFFFFF", "4722366482869645213695"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(CarrierSelectionInformationNationalUs, c.contents),
                  DressData("CARRIER SELECTION INFORMATION") + c.text + "\r\n")
            << c.contents;
    EXPECT_THROW(render(CarrierSelectionInformationNationalUs, ""), DecodeError);
}

TEST(FreePhoneIndic, ReadsBitAOfTheLastOctet) {
    const struct {
        const char* contents;
        const char* text;
    } cases[] = {
        {"01", "1, freephone call"},  {"80", "0, no indication"},    {"FE", "0, no indication"},
        {"0100", "0, no indication"}, {"8001", "1, freephone call"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(FreePhoneIndic, c.contents),
                  DressData("FREE PHONE INDICATOR") + c.text + "\r\n")
            << c.contents;
    EXPECT_THROW(render(FreePhoneIndic, ""), DecodeError);
}

}  // namespace
}  // namespace truno
