#pragma once
// The message type table and dispatch: one message in, one record out. Each message type is one
// row: its printed names, where its mandatory parameters stand and which parameter codes they
// are, and where the optional-part pointer is.
#include "base/DecodeError.h"
#include "base/FieldBlock.h"
#include "dispatch/DecodingState.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace truno {

struct ParameterRow;

// A mandatory fixed parameter: its first octet index, how many octets, its parameter code, and
// whether a CR LF follows its block.
struct MandatoryFixed {
    std::uint8_t index = 0;  // 0: the entry is unused
    std::uint8_t octets = 1;
    std::uint8_t parameter = 0;
    bool lineEnd = true;
};

// Where the optional-part pointer stands: nowhere (the message never decodes an optional part),
// at a fixed index, or just before the length octet of the mandatory variable parameter (the
// initial address and facility reject messages).
enum class OptionalPointer : std::uint8_t { None, At, BeforeVariable };

// The members stand in the order a row reads; 50 rows make the padding immaterial. Indexes are
// those of a message whose type code stands at index 4; the decoding state's TypeIndex moves them.
struct MessageType {  // NOLINT(clang-analyzer-optin.performance.Padding)
    std::uint8_t code;
    std::string_view acronym;  // "IAM"
    std::string_view name;   // in the record banner
    std::string_view title;  // after the type code on the MESSAGE line
    bool headerLineEnd = true;
    MandatoryFixed fixed[4] = {};
    std::uint8_t variablePointer = 0;  // 0: no mandatory variable parameter
    std::uint8_t variable = 0;        // its parameter code
    bool variableLineEnd = true;
    OptionalPointer optional = OptionalPointer::None;
    std::uint8_t optionalPointer = 0;  // with OptionalPointer::At
    // A second mandatory variable parameter (the circuit group query response): its pointer's
    // index and its parameter code.
    std::uint8_t secondPointer = 0;
    std::uint8_t second = 0;
    // The decoders of the mandatory variable parameters when they differ from their code's row
    // (null: the row's): the circuit group query messages decode theirs fully.
    const ParameterRow* variableRow = nullptr;
    const ParameterRow* secondRow = nullptr;
    // The octets after the type code are a whole message of another type (pass-along).
    bool passAlong = false;
};

// The row of a type code written as two upper-case hex digits, or nullptr.
const MessageType* findMessageType(std::string_view code);

// Every row, in code order.
std::span<const MessageType> messageTypes();

// Printed name of a message type code, or empty when the code is not a known type.
std::string_view messageTypeName(std::string_view code);

// Appends the MESSAGE line and the mandatory part of the current message, and returns the
// index where its optional part starts (0: none). Throws DecodeError when an octet the layout
// needs is missing or does not convert.
std::size_t decodeMandatoryPart(DecodingState& s, const MessageType& type, Text& out);

// Decodes the current message (MessageOctets, MessageTime, MessageDirection) and appends its
// record to ReportText: banner, call instance code line, mandatory part, optional parameters.
// Raises MessageCount. Throws DecodeError when the message cannot be decoded; ReportText may
// then hold part of the record, which the caller discards.
void dispatchMessage(DecodingState& s);

// Decodes the current message and appends exactly one record for it: the decoded record, or,
// when decoding fails, a record that says the message could not be decoded and why (the reason,
// then `reasonEnd`), with the log line where the message starts and its octets as read. Returns
// whether it was decoded.
bool decodeMessage(DecodingState& s, std::size_t logLine, std::string_view reasonEnd = {});

// Appends the record of a message that cannot be decoded for a reason found before decoding
// (for instance by the log reader), numbered like any other record.
void recordNotDecoded(DecodingState& s, std::size_t logLine, DecodeFailure failure, std::string_view why);

// The fields of a record's own lines (the BCIC and MESSAGE lines, and the lines of a record that
// says why its message was not decoded).
void RecordFields(FieldList& list);

// Start of the reason given when decoding stops on a fault of the program itself rather than
// of the message (the fuzz targets treat it as a finding).
inline constexpr std::string_view kInternalErrorReason = "internal decoder error (please report it): ";

// The marker line that opens the explanation of a message that could not be decoded.
inline constexpr std::string_view kNotDecodedMarker = "*** MESSAGE NOT DECODED ***";

}  // namespace truno
