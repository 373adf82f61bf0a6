#include "parameters/address/AddressDecoders.h"

namespace truno {

void GenericDigitsNationalUs(std::string_view contents, Text& out) { placeholderDecoder("GenericDigitsNationalUs", contents, out); }

}  // namespace truno
