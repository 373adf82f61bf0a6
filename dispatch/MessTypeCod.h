#pragma once
// The message type dispatch: one message in, one record out.
#include "dispatch/DecodingState.h"

#include <cstddef>
#include <string_view>

namespace truno {

// Printed name of a message type code, or empty when the code is not a known type.
std::string_view messageTypeName(std::string_view code);

// Decodes the current message (MessageOctets, MessageTime, MessageDirection) and appends its
// record to ReportText: banner, call instance code line, mandatory part, optional parameters.
// Raises MessageCount. Throws DecodeError when the message cannot be decoded; ReportText may
// then hold part of the record, which the caller discards.
void MessTypeCod(DecodingState& s);

// Decodes the current message and appends exactly one record for it: the decoded record, or,
// when decoding fails, a record that says the message could not be decoded and why, with the
// log line where the message starts and its octets as read. Returns whether it was decoded.
bool decodeMessage(DecodingState& s, std::size_t logLine);

// Appends the record of a message that cannot be decoded for a reason found before decoding
// (for instance by the log reader), numbered like any other record.
void recordNotDecoded(DecodingState& s, std::size_t logLine, std::string_view why);

// Start of the reason given when decoding stops on a fault of the program itself rather than
// of the message (the fuzz targets treat it as a finding).
inline constexpr std::string_view kInternalErrorReason = "internal decoder error (please report it): ";

// The marker line that opens the explanation of a message that could not be decoded.
inline constexpr std::string_view kNotDecodedMarker = "*** MESSAGE NOT DECODED ***";

}  // namespace truno
