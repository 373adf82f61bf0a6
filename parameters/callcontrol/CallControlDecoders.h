#pragma once
// Call-control indicator and cause parameters: one decoder per parameter, each a ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void NatureofConnectionIndic(std::string_view contents, Text& out);
void ForwardCallIndic(std::string_view contents, Text& out);
void CallingPartyCat(std::string_view contents, Text& out);
void TransMedRequirement(std::string_view contents, Text& out);
void TransmissionMediumRequirementPrim(std::string_view contents, Text& out);
void TransmissionMediumUse(std::string_view contents, Text& out);
void BackCallIndicator(std::string_view contents, Text& out);
void CauseIndic(std::string_view contents, Text& out);
void OptionalForwardCallInd(std::string_view contents, Text& out);
void OptionalBackwardCallIndicator(std::string_view contents, Text& out);
void EventInform(std::string_view contents, Text& out);
void InformationIndicatorsNatUse(std::string_view contents, Text& out);
void InformationRequestIndicatorsNatUse(std::string_view contents, Text& out);
void UserServiceInfo(std::string_view contents, Text& out);
void UserServiceInformationPrim(std::string_view contents, Text& out);
void UserTeleserviceInformatio(std::string_view contents, Text& out);
void CircuitCICGroupSupervisionMsgType(std::string_view contents, Text& out);
void ContinuityIndicator(std::string_view contents, Text& out);
void SuspendResumeIndic(std::string_view contents, Text& out);
void CircuitAssignmenMap(std::string_view contents, Text& out);
void CircuitCICStateIndicatorNatUse(std::string_view contents, Text& out);
void AccessDeliveryInfo(std::string_view contents, Text& out);
void AutomaticCongLevel(std::string_view contents, Text& out);
void EchoControlInformatio(std::string_view contents, Text& out);
void UserToUserIndicator(std::string_view contents, Text& out);
void AccessTransp(std::string_view contents, Text& out);
void ClosedUserGrpInterlockCode(std::string_view contents, Text& out);
void UserToUserInfo(std::string_view contents, Text& out);

}  // namespace truno
