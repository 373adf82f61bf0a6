#include "parameters/national/NationalDecoders.h"

namespace truno {

void AdditionalRoutingInf(std::string_view contents, Text& out) {
    DressData(out, "ADDITIONAL ROUTING INFORMATION");
    out += "H'";
    out += contents;
    out += CRLF;
}

}  // namespace truno
