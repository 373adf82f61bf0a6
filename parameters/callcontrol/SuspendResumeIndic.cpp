#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void SuspendResumeIndic(std::string_view contents, Text& out) { placeholderDecoder("SuspendResumeIndic", contents, out); }

}  // namespace truno
