#include "parameters/national/NationalDecoders.h"

namespace truno {

void SCF_Id(std::string_view contents, Text& out) { placeholderDecoder("SCF_Id", contents, out); }

}  // namespace truno
