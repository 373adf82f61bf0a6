#include "parameters/national/NationalDecoders.h"

namespace truno {

void ChargedPartyIdentificationNationalUs(std::string_view contents, Text& out) {
    titledRaw(out, "CHARGED PTY I.D NATIONAL USE", contents);
}

}  // namespace truno
