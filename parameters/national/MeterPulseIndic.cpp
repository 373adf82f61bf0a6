#include "parameters/national/NationalDecoders.h"

namespace truno {

void MeterPulseIndic(std::string_view contents, Text& out) { placeholderDecoder("MeterPulseIndic", contents, out); }

}  // namespace truno
