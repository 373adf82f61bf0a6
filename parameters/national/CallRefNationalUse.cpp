#include "parameters/national/NationalDecoders.h"

namespace truno {

void CallRefNationalUse(std::string_view contents, Text& out) {
    titledRaw(out, "CALL REFERENCE NATIONAL USE", contents);
}

}  // namespace truno
