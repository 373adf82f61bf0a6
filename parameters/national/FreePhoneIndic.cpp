#include "parameters/national/NationalDecoders.h"

namespace truno {

void FreePhoneIndic(std::string_view contents, Text& out) { placeholderDecoder("FreePhoneIndic", contents, out); }

}  // namespace truno
