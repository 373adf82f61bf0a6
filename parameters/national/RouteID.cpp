#include "parameters/national/NationalDecoders.h"

namespace truno {

void RouteID(std::string_view contents, Text& out) {
    titledRaw(out, "ROUTE IDENTITY", contents);
}

}  // namespace truno
