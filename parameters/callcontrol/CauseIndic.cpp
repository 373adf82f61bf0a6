#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void CauseIndic(std::string_view contents, Text& out) { placeholderDecoder("CauseIndic", contents, out); }

}  // namespace truno
