#include "parameters/national/NationalDecoders.h"

namespace truno {

void CallTransferReferenc(std::string_view contents, Text& out) { placeholderDecoder("CallTransferReferenc", contents, out); }

}  // namespace truno
