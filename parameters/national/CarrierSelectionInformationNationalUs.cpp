#include "parameters/national/NationalDecoders.h"

namespace truno {

void CarrierSelectionInformationNationalUs(std::string_view contents, Text& out) { placeholderDecoder("CarrierSelectionInformationNationalUs", contents, out); }

}  // namespace truno
