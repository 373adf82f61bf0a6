#pragma once
// National-use parameters: one decoder per parameter, each a ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void AdditionalChargInf(std::string_view contents, Text& out);
void CallTransferReferenc(std::string_view contents, Text& out);
void AdditionalRoutingInf(std::string_view contents, Text& out);
void CarrierSelectionInformationNationalUs(std::string_view contents, Text& out);
void FreePhoneIndic(std::string_view contents, Text& out);
void CallRefNationalUse(std::string_view contents, Text& out);
void TransitNetworkSelectionNatUse(std::string_view contents, Text& out);
void NetworkSpecificFacilityNationalUs(std::string_view contents, Text& out);
void RemoteOperationsNationalUs(std::string_view contents, Text& out);
void SCF_Id(std::string_view contents, Text& out);
void ChargedPartyIdentificationNationalUs(std::string_view contents, Text& out);
void InterNodalTrafficGroupIdentifie(std::string_view contents, Text& out);
void GlobalCallReferenc(std::string_view contents, Text& out);
void RouteID(std::string_view contents, Text& out);
void TariffIndic(std::string_view contents, Text& out);
void MeterPulseIndic(std::string_view contents, Text& out);
void CallingNameID(std::string_view contents, Text& out);

}  // namespace truno
