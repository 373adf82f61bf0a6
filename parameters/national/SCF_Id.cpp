#include "parameters/national/NationalDecoders.h"

namespace truno {

void SCF_Id(std::string_view contents, Text& out) {
    titledRaw(out, "SCFId", contents);
}

}  // namespace truno
