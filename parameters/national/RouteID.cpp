#include "parameters/national/NationalDecoders.h"

namespace truno {

void RouteID(std::string_view contents, Text& out) { placeholderDecoder("RouteID", contents, out); }

}  // namespace truno
