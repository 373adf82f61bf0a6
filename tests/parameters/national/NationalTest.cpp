#include "base/DecodeError.h"
#include "parameters/national/NationalDecoders.h"
#include "tests/parameters/BlockOrDecoder.h"

#include <gtest/gtest.h>

#include <string>

namespace truno {
namespace {

const std::string kContinuationIndent(44, ' ');

TEST(NationalNumericLines, PrintExactDecimalValues) {
    const struct {
        BlockOrDecoder decoder;
        const char* label;
        const char* contents;
        const char* value;
    } cases[] = {
        {kAdditionalChargingInformationField, "ADDITIONAL CHARGING INFORMATION", "0100", "256"},
        {kAdditionalChargingInformationField, "ADDITIONAL CHARGING INFORMATION", "00", "0"},
        {kAdditionalChargingInformationField, "ADDITIONAL CHARGING INFORMATION", "FFFFFFFFFFFFFFFFFF",
         "4722366482869645213695"},
        {kCallTransferReferenceField, "CALL TRANSFER REFERENCE", "FF", "255"},
        {kCallTransferReferenceField, "CALL TRANSFER REFERENCE", "0102030405060708090A",
         "4759477275222530853130"},
        {AdditionalRoutingInformation, "ADDITIONAL ROUTING INFORMATION", "0A1B", "H'0A1B"},
        {AdditionalRoutingInformation, "ADDITIONAL ROUTING INFORMATION", "", "H'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(c.decoder, c.contents), dressLabel(c.label) + c.value + "\r\n")
            << c.contents;
    EXPECT_THROW(render(kAdditionalChargingInformationField, ""), DecodeError);
    EXPECT_THROW(render(kCallTransferReferenceField, ""), DecodeError);
    EXPECT_THROW(render(kCallTransferReferenceField, "0G"), DecodeError);
}

TEST(CarrierSelectionInformationNationalUse, ContinuesUnderTheEqualsSign) {
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
        EXPECT_EQ(render(CarrierSelectionInformationNationalUse, c.contents),
                  dressLabel("CARRIER SELECTION INFORMATION") + c.text + "\r\n")
            << c.contents;
    EXPECT_THROW(render(CarrierSelectionInformationNationalUse, ""), DecodeError);
}

TEST(FreephoneIndicators, ReadsBitAOfTheLastOctet) {
    const struct {
        const char* contents;
        const char* text;
    } cases[] = {
        {"01", "1, freephone call"},  {"80", "0, no indication"},    {"FE", "0, no indication"},
        {"0100", "0, no indication"}, {"8001", "1, freephone call"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(kFreephoneIndicatorsBlock, c.contents),
                  dressLabel("FREE PHONE INDICATOR") + c.text + "\r\n")
            << c.contents;
    EXPECT_THROW(render(kFreephoneIndicatorsBlock, ""), DecodeError);
}

}  // namespace
}  // namespace truno
