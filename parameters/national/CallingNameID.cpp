#include "parameters/national/NationalDecoders.h"

namespace truno {

void CallingNameID(std::string_view contents, Text& out) { placeholderDecoder("CallingNameID", contents, out); }

}  // namespace truno
