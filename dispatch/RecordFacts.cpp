#include "dispatch/RecordFacts.h"

#include "base/Conversions.h"
#include "dispatch/MessageTypes.h"

namespace truno {

bool readCallInstanceCode(std::span<const std::string_view> octets, std::uint32_t& code, std::size_t cicOctets) {
    if (octets.size() < cicOctets) return false;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < cicOctets; ++i) {
        const int octet = hexOctetValue(octets[i]);
        if (octet < 0) return false;
        value |= static_cast<std::uint32_t>(octet) << (8 * i);
    }
    code = cicOctets == 2 ? value & 0x0FFFU : value;
    return true;
}

void setOctetFacts(RecordFacts& f, std::span<const std::string_view> octets, std::size_t cicOctets,
                   std::size_t messageEnd) {
    f.octets = octets;
    f.cicOctets = cicOctets;
    if (messageEnd != 0 && messageEnd < octets.size()) f.trailingOctets = octets.subspan(messageEnd);
    f.hasCallInstanceCode = readCallInstanceCode(octets, f.callInstanceCode, cicOctets);
    if (octets.size() > cicOctets) {
        f.typeCode = hexOctetValue(octets[cicOctets]);
        if (const MessageType* type = findMessageType(octets[cicOctets])) f.acronym = type->acronym;
    }
}

RecordFacts lastRecordFacts(const DecodingState& state, std::size_t logLine, std::uint64_t reportOffset) {
    RecordFacts f;
    f.record = state.MessageCount;
    f.logLine = logLine;
    f.time = state.MessageTime;
    f.direction = state.MessageDirection;
    setOctetFacts(f, state.MessageOctets, state.CicOctets, state.RecordDecoded ? state.MessageEnd : 0);
    f.typeName = state.MessageName;
    f.decoded = state.RecordDecoded;
    f.reason = state.RecordReason;
    f.failure = state.RecordFailure;
    const std::string_view report = state.ReportText.view();
    f.text = report.substr(state.RecordBegin);
    f.reportOffset = reportOffset + state.RecordBegin;
    f.marks = state.RecordMarks;
    return f;
}

}  // namespace truno
