#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void NatureofConnectionIndic(std::string_view contents, Text& out) { placeholderDecoder("NatureofConnectionIndic", contents, out); }

}  // namespace truno
