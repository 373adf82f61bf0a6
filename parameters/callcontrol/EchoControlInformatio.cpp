#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void EchoControlInformatio(std::string_view contents, Text& out) { placeholderDecoder("EchoControlInformatio", contents, out); }

}  // namespace truno
