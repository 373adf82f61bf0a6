#include "parameters/national/NationalDecoders.h"

namespace truno {

void RemoteOperationsNationalUs(std::string_view contents, Text& out) { placeholderDecoder("RemoteOperationsNationalUs", contents, out); }

}  // namespace truno
