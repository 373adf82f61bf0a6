// Carrier selection information, national use (code A1), a national parameter with no ITU-T clause.
#include "base/FieldTable.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {
namespace {

// Carrier selection information values; any other value is shown as a bare number.
constexpr ValuePhrase kCarrierSelection[] = {
    {0, "0, no indication"},
    {1, "1, selected carrier identification pre-subscribed"},
    {2, "2, selected carrier identification pre-subscribed"},
    {3, "3, selected carrier identification pre-subscribed"},
    {4, "4, selected carrier identification not pre-subscribed,"},
    {5, "5, reserved for primary preferred carrier of the charged party"},
    {6, "6, reserved for alternate preferred carrier of the charged party"},
    {7, "7, reserved for selected carrier identification presubscription"},
    {8, "8, reserved for selected carrier identification presubcription"},
    {9, "9, reserved for emergency call handling"},
    {10, "10, carrier selected by input from calling party"},
    {11, "11, carrier selected by a network operator"},
};

// Second lines of the values whose text does not fit on one.
constexpr ValuePhrase kCarrierSelectionContinuation[] = {
    {1, "and no input by calling party"},
    {2, "and input by calling party"},
    {3, "and input by calling party undetermined"},
    {4, "and input by calling party"},
    {7, "unknown (verbal) instructions from the calling party"},
    {8, "unknown (verbal) instructions from the charged party"},
};

constexpr BitField kSelectionField{.key = "carrier_selection", .label = "CARRIER SELECTION INFORMATION",
                                  .level = LineLevel::L1};

}  // namespace

// The whole contents is one number. The second line starts under the "=" of the first, one
// column left of the value column.
void CarrierSelectionInformationNationalUse(std::string_view contents, Text& out) {
    // Leading zero octets do not change the value, and a digit that does not convert is
    // reported among the significant ones; beyond 64 bits no row can match, and the value is
    // printed exactly.
    const HexNumber selection = readHexNumber(significantHexDigits(contents));
    dressField(out, kSelectionField);
    appendPhrase(out, kCarrierSelection, selection, kFallbackDecimal);
    const ValuePhrase* continuation =
        selection.value ? findPhrase(kCarrierSelectionContinuation, *selection.value) : nullptr;
    if (continuation != nullptr) {
        out += CRLF;
        out.append(static_cast<std::size_t>(kLabelWidth), ' ');
        out += continuation->text;
    }
    out += CRLF;
}

void CarrierSelectionInformationNationalUseFields(FieldList& list) { list.add(kSelectionField); }

}  // namespace truno
