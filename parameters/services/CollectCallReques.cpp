#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CollectCallReques(std::string_view contents, Text& out) { placeholderDecoder("CollectCallReques", contents, out); }

}  // namespace truno
