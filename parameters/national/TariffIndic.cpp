#include "parameters/national/NationalDecoders.h"

namespace truno {

void TariffIndic(std::string_view contents, Text& out) {
    titledRaw(out, "TARIFF INDICATOR", contents);
}

}  // namespace truno
