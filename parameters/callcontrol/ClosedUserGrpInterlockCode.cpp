#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void ClosedUserGrpInterlockCode(std::string_view contents, Text& out) { placeholderDecoder("ClosedUserGrpInterlockCode", contents, out); }

}  // namespace truno
