#include "parameters/national/NationalDecoders.h"

namespace truno {

void InterNodalTrafficGroupIdentifie(std::string_view contents, Text& out) {
    titledRaw(out, "Inter Nodal Traffic Group Identifier", contents);
}

}  // namespace truno
