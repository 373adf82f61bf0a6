#include "parameters/address/AddressDecoders.h"

namespace truno {

void CalledDirectoryNumberNationalUs(std::string_view contents, Text& out) { placeholderDecoder("CalledDirectoryNumberNationalUs", contents, out); }

}  // namespace truno
