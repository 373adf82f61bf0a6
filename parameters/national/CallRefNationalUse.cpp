#include "parameters/national/NationalDecoders.h"

namespace truno {

void CallRefNationalUse(std::string_view contents, Text& out) { placeholderDecoder("CallRefNationalUse", contents, out); }

}  // namespace truno
