// Transmission medium requirement (code 02), Q.763 3.54.
#include "base/Conversions.h"
#include "base/FieldTable.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

// 11 to 15 and 43 upwards have no row: the label then stands alone.
constexpr ValuePhrase kRequirement[] = {
    {0, "0, speech."},
    {1, "1, spare."},
    {2, "2, 64 kbit/s unrestricted."},
    {3, "3, 3.1 kHz audio."},
    {4, "4, reserved for alternate speech."},
    {5, "5, reserved for alternate 64 kbit/s unrestricted."},
    {6, "6, 64 kbit/s preferred."},
    {7, "7, 2*64 kbit/s unrestricted."},
    {8, "8, 384 kbit/s unrestricted."},
    {9, "9, 1536 kbit/s unrestricted."},
    {10, "10, 1920 kbit/s unrestricted."},
    {16, "16, 3*64 kbit/s unrestricted."},
    {17, "17, 4*64 kbit/s unrestricted."},
    {18, "18, 5*64 kbit/s unrestricted."},
    {19, "19, spare."},
    {20, "20, 7*64 kbit/s unrestricted."},
    {21, "21, 8*64 kbit/s unrestricted."},
    {22, "22, 9*64 kbit/s unrestricted."},
    {23, "23, 10*64 kbit/s unrestricted."},
    {24, "24, 11*64 kbit/s unrestricted."},
    {25, "25, 12*64 kbit/s unrestricted."},
    {26, "26, 13*64 kbit/s unrestricted."},
    {27, "27, 14*64 kbit/s unrestricted."},
    {28, "28, 15*64 kbit/s unrestricted."},
    {29, "29, 16*64 kbit/s unrestricted."},
    {30, "30, 17*64 kbit/s unrestricted."},
    {31, "31, 18*64 kbit/s unrestricted."},
    {32, "32, 19*64 kbit/s unrestricted."},
    {33, "33, 20*64 kbit/s unrestricted."},
    {34, "34, 21*64 kbit/s unrestricted."},
    {35, "35, 22*64 kbit/s unrestricted."},
    {36, "36, 23*64 kbit/s unrestricted."},
    {37, "37, spare."},
    {38, "38, 25*64 kbit/s unrestricted."},
    {39, "39, 26*64 kbit/s unrestricted."},
    {40, "40, 27*64 kbit/s unrestricted."},
    {41, "41, 28*64 kbit/s unrestricted."},
    {42, "42, 29*64 kbit/s unrestricted."},
};

constexpr BitField kRequirementField{.key = "requirement", .label = "TRANSMISSION MEDIUM REQUIREMENT",
                                    .level = LineLevel::L1};

}  // namespace

// One label line without a line end: the caller puts the break after it. The whole contents
// are compared as one number, so longer contents only match a row when their leading octets
// are zero.
void TransmissionMediumRequirement(std::string_view contents, Text& out) {
    const Field requirement{hexToDec(contents), 8};
    dressField(out, kRequirementField);
    out.setFieldNumber(requirement.value);
    appendPhrase(out, kRequirement, requirement, kFallbackEmpty);
}

void TransmissionMediumRequirementFields(FieldList& list) { list.add(kRequirementField); }

}  // namespace truno
