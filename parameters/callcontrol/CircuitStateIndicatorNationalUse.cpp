// Circuit state indicator, national use (code 26), Q.763 3.14.
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// Only the heading is shown: the per-circuit state octets are not interpreted, and the
// contents are not read at all.
void CircuitStateIndicatorNationalUse(std::string_view /*contents*/, Text& out) {
    lineOf(out, "CIRCUIT CIC STATE INDIC- NAT. USE");
}

// The circuit group query response decodes the parameter fully (CircuitStateIndicators).
void CircuitStateIndicatorNationalUseFields(FieldList& list) { CircuitStateIndicatorsFields(list); }

}  // namespace truno
