#include "parameters/national/NationalDecoders.h"

namespace truno {

void ChargedPartyIdentificationNationalUs(std::string_view contents, Text& out) { placeholderDecoder("ChargedPartyIdentificationNationalUs", contents, out); }

}  // namespace truno
