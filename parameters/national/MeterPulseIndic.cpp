#include "parameters/national/NationalDecoders.h"

namespace truno {

void MeterPulseIndic(std::string_view contents, Text& out) {
    titledRaw(out, "METER PULSE INDICATOR", contents);
}

}  // namespace truno
