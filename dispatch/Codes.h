#pragma once
// Message type codes (Q.763 Table 4) and parameter codes (Q.763 Table 5) that code outside the
// two tables names: the message layouts and the views that read particular messages and fields.
#include <cstdint>

namespace truno::codes {

// Message types.
inline constexpr std::uint8_t kInitialAddress = 0x01;
inline constexpr std::uint8_t kAddressComplete = 0x06;
inline constexpr std::uint8_t kConnect = 0x07;
inline constexpr std::uint8_t kAnswer = 0x09;
inline constexpr std::uint8_t kRelease = 0x0C;
inline constexpr std::uint8_t kResetCircuit = 0x12;
inline constexpr std::uint8_t kUnequippedCircuit = 0x2E;
inline constexpr std::uint8_t kCallProgress = 0x2C;
inline constexpr std::uint8_t kCircuitGroupReset = 0x17;
inline constexpr std::uint8_t kCircuitGroupBlocking = 0x18;
inline constexpr std::uint8_t kCircuitGroupUnblocking = 0x19;
inline constexpr std::uint8_t kCircuitGroupBlockingAcknowledgement = 0x1A;
inline constexpr std::uint8_t kCircuitGroupUnblockingAcknowledgement = 0x1B;
inline constexpr std::uint8_t kCircuitGroupResetAcknowledgement = 0x29;
inline constexpr std::uint8_t kSubsequentAddress = 0x02;
inline constexpr std::uint8_t kReleaseComplete = 0x10;
inline constexpr std::uint8_t kContinuityCheckRequest = 0x11;
inline constexpr std::uint8_t kBlocking = 0x13;
inline constexpr std::uint8_t kUnblocking = 0x14;
inline constexpr std::uint8_t kBlockingAcknowledgement = 0x15;
inline constexpr std::uint8_t kUnblockingAcknowledgement = 0x16;
inline constexpr std::uint8_t kLoopBackAcknowledgement = 0x24;
inline constexpr std::uint8_t kPassAlong = 0x28;
inline constexpr std::uint8_t kCircuitGroupQuery = 0x2A;
inline constexpr std::uint8_t kCircuitGroupQueryResponse = 0x2B;
inline constexpr std::uint8_t kOverload = 0x30;
inline constexpr std::uint8_t kUserPartTest = 0x34;
inline constexpr std::uint8_t kUserPartAvailable = 0x35;

// Parameters.
inline constexpr std::uint8_t kTransmissionMediumRequirement = 0x02;
inline constexpr std::uint8_t kCalledPartyNumber = 0x04;
inline constexpr std::uint8_t kSubsequentNumber = 0x05;
inline constexpr std::uint8_t kNatureOfConnectionIndicators = 0x06;
inline constexpr std::uint8_t kForwardCallIndicators = 0x07;
inline constexpr std::uint8_t kCallingPartysCategory = 0x09;
inline constexpr std::uint8_t kCallingPartyNumber = 0x0A;
inline constexpr std::uint8_t kInformationRequestIndicators = 0x0E;
inline constexpr std::uint8_t kInformationIndicators = 0x0F;
inline constexpr std::uint8_t kContinuityIndicators = 0x10;
inline constexpr std::uint8_t kBackwardCallIndicators = 0x11;
inline constexpr std::uint8_t kCauseIndicators = 0x12;
inline constexpr std::uint8_t kCircuitGroupSupervisionMessageType = 0x15;
inline constexpr std::uint8_t kRangeAndStatus = 0x16;
inline constexpr std::uint8_t kFacilityIndicator = 0x18;
inline constexpr std::uint8_t kUserToUserInformation = 0x20;
inline constexpr std::uint8_t kSuspendResumeIndicators = 0x22;
inline constexpr std::uint8_t kEventInformation = 0x24;
inline constexpr std::uint8_t kCircuitStateIndicator = 0x26;

}  // namespace truno::codes
