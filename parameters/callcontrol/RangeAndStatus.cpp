// Range and status (code 16), Q.763 3.43.
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// The range and status fields are not decoded: the block is empty, so the circuit group
// messages show an empty line in its place.
void RangeAndStatus(std::string_view /*contents*/, Text& /*out*/) {}

}  // namespace truno
