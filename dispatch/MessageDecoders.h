#pragma once
// One decoder per message type: renders the header line and the mandatory part of the current
// message into the decoding state and sets OptionalPartStart (0 = no optional part).
#include "dispatch/DecodingState.h"
#include "base/ParameterDecoder.h"

namespace truno {

using MessageDecoder = void (*)(DecodingState& state);

void ModIAM(DecodingState& s);
void ModSAM(DecodingState& s);
void ModINR(DecodingState& s);
void ModINF(DecodingState& s);
void ModCOT(DecodingState& s);
void ModACM(DecodingState& s);
void ModCON(DecodingState& s);
void ModFOT(DecodingState& s);
void ModANM(DecodingState& s);
void ModREL(DecodingState& s);
void ModSUS(DecodingState& s);
void ModRES(DecodingState& s);
void ModRLC(DecodingState& s);
void ModRSC(DecodingState& s);
void ModGRS(DecodingState& s);
void ModCGB(DecodingState& s);
void ModCGU(DecodingState& s);
void ModCGBA(DecodingState& s);
void ModCGUA(DecodingState& s);
void ModGRA(DecodingState& s);
void ModFAR(DecodingState& s);
void ModFAA(DecodingState& s);
void ModFRJ(DecodingState& s);
void ModCPG(DecodingState& s);
void ModUSR(DecodingState& s);
void ModCFN(DecodingState& s);
void ModUCIC(DecodingState& s);
void ModCRG(DecodingState& s);
void ModNRM(DecodingState& s);
void ModFAC(DecodingState& s);
void ModIDR(DecodingState& s);
void ModIRS(DecodingState& s);
void ModSGM(DecodingState& s);
void ModLOP(DecodingState& s);
void ModAPM(DecodingState& s);
void ModPRI(DecodingState& s);
void ModSCB(DecodingState& s);
void ModOPR(DecodingState& s);

// Range and status of the circuit group messages: the fields are not decoded; the block is
// empty, so the message ends with an empty line in its place.
void RangeAndStatu(std::string_view contents, Text& out);

}  // namespace truno
