// Action indicator, bearer association element 1 of the application transport parameter, Q.765.5.
#include "base/FieldTable.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {
namespace {

// Action indicator values of Q.765.5.
constexpr ValuePhrase kActions[] = {
    {0, "0, no indication."},
    {1, "1, connect backward."},
    {2, "2, connect forward."},
    {3, "3, connect forward no notification."},
    {4, "4, connect forward plus notification."},
    {5, "5, connect forward no notification + selected codec."},
    {6, "6, connect forward plus notification + selected codec."},
    {7, "7, use idle."},
    {8, "8, connected."},
    {9, "9, switched."},
    {10, "10, selected codec."},
    {11, "11, modify codec."},
    {12, "12, successful codec modification."},
    {13, "13, codec modification failure."},
};

constexpr BitField kActionField{.key = "action", .label = "Action Indicator", .level = LineLevel::L3};

}  // namespace

// The whole contents are one number. Leading zeros do not count, and a digit that does not
// convert is reported among the significant ones; a value beyond 64 bits is printed exactly.
void ActionIndicator(std::string_view contents, Text& out) {
    const HexNumber action = readHexNumber(significantHexDigits(contents));
    dressField(out, kActionField);
    appendPhrase(out, kActions, action, kFallbackDecimal);
    out += CRLF;
}

void ActionIndicatorFields(FieldList& list) { list.add(kActionField); }

}  // namespace truno
