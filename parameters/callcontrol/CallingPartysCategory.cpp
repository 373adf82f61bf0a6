// Calling party's category (code 09), Q.763 3.11.
#include "base/FieldBlock.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

// All eight bits of the octet; 6 to 8 and 16 upwards have no row and print as a bare number.
constexpr ValuePhrase kCategory[] = {
    {0, "0, unknown at this time."},
    {1, "1, operator, language French."},
    {2, "2, operator, language English."},
    {3, "3, operator, language German."},
    {4, "4, operator, language Russian."},
    {5, "5, operator, language Spanish."},
    {9, "9, reserved."},
    {10, "10, ordinary calling subscriber."},
    {11, "11, calling subscriber with priority."},
    {12, "12, data call (voiceband data)."},
    {13, "13, test call."},
    {14, "14, spare."},
    {15, "15, payphone."},
};

// One line, no heading. The contents are read as one number, so the category is the last
// octet (characters 25-32).
constexpr BitField kLines[] = {
    {.key = "category", .label = "CALLING PARTY CATEGORY (CPC)", .level = LineLevel::L1, .octet = kLastOctet, .bits = {8, 1},
     .values = kCategory, .fallback = kFallbackDecimal},
};

constexpr FieldBlock kBlock{"", kLines, BlockEnding::LineEnd};

}  // namespace

void CallingPartysCategory(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void CallingPartysCategoryFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
