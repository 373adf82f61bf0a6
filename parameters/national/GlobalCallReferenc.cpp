#include "parameters/national/NationalDecoders.h"

namespace truno {

void GlobalCallReferenc(std::string_view contents, Text& out) {
    titledRaw(out, "GLOBAL CALL REFERENCE", contents);
}

}  // namespace truno
