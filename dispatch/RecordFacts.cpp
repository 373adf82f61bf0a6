#include "dispatch/RecordFacts.h"

#include "base/Conversions.h"
#include "base/OctetText.h"
#include "base/Times.h"
#include "dispatch/MessageTypes.h"

#include <cstdio>
#include <cstring>

namespace truno {

bool readCallInstanceCode(std::span<const std::string_view> octets, std::uint32_t& code, std::size_t cicOctets) {
    if (octets.size() < cicOctets) return false;
    std::uint32_t value = 0;
    unsigned digits = 0;  // every digit's value or'ed: 16 or more when one is not a hex digit
    for (std::size_t i = 0; i < cicOctets; ++i) {
        const std::string_view octet = octets[i];
        if (octet.size() != 2) return false;
        const unsigned high = kHexDigitValue[static_cast<unsigned char>(octet[0])];
        const unsigned low = kHexDigitValue[static_cast<unsigned char>(octet[1])];
        digits |= high | low;
        value |= (high * 16 + low) << (8 * i);
    }
    if (digits >= 16) return false;
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
        if (const MessageType* type = findMessageType(octets[cicOctets])) {
            f.typeCode = type->code;
            f.acronym = type->acronym;
        } else {
            f.typeCode = hexOctetValue(octets[cicOctets]);
        }
    }
}

void appendWireTimestamp(std::string& out, const WireFacts& wire) {
    constexpr std::int64_t kSecondsPerDay = 86400;
    const std::int64_t day = floorDiv(wire.seconds, kSecondsPerDay);
    const std::int64_t inDay = wire.seconds - day * kSecondsPerDay;
    out += dateOfDays(day);
    char text[32];
    const std::uint32_t ns = wire.nanoseconds % 1000000000;
    if (ns % 1000 == 0)
        std::snprintf(text, sizeof text, "T%02d:%02d:%02d.%06uZ", static_cast<int>(inDay / 3600),
                      static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60), ns / 1000);
    else
        std::snprintf(text, sizeof text, "T%02d:%02d:%02d.%09uZ", static_cast<int>(inDay / 3600),
                      static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60), ns);
    out += text;
}

void setLastRecordFacts(RecordFacts& f, const DecodingState& state, std::size_t logLine, std::uint64_t reportOffset) {
    f.record = state.MessageCount;
    f.logLine = logLine;
    f.time = state.MessageTime;
    f.directionText = state.MessageDirection;
    f.direction = directionOf(f.directionText);
    f.trailingOctets = {};
    f.callInstanceCode = 0;
    f.typeCode = -1;
    f.acronym = {};
    setOctetFacts(f, state.MessageOctets, state.CicOctets, state.RecordDecoded ? state.MessageEnd : 0);
    f.typeName = state.MessageName;
    f.decoded = state.RecordDecoded;
    f.reason = state.RecordReason;
    f.failure = state.RecordFailure;
    f.msgColumn = {};
    f.logDate = {};
    f.route = {};
    const std::string_view report = state.ReportText.view();
    f.text = report.substr(state.RecordBegin);
    f.reportOffset = reportOffset + state.RecordBegin;
    f.marks = state.RecordMarks;
    f.builtFields = {};
    f.timeOfDayRead = false;
    f.timeOfDay = std::nullopt;
    f.wire = {};
    f.prepared = {};
    f.preparedSplit = 0;
}

RecordFacts lastRecordFacts(const DecodingState& state, std::size_t logLine, std::uint64_t reportOffset) {
    RecordFacts f;
    setLastRecordFacts(f, state, logLine, reportOffset);
    return f;
}

void CopiedRecord::assign(const RecordFacts& record) {
    record_ = record;
    std::string_view* const texts[] = {&record_.text,     &record_.time,    &record_.directionText, &record_.reason,
                                       &record_.typeName, &record_.acronym, &record_.msgColumn, &record_.logDate,
                                       &record_.route,    &record_.prepared};
    std::size_t total = 0;
    for (const std::string_view* text : texts) total += text->size();
    const std::span<const std::string_view> octets = record.octets;
    std::size_t octetBytes = 0;
    for (const std::string_view octet : octets) octetBytes += octet.size();
    if (bytes_.size() < total + octetBytes) bytes_.resize(total + octetBytes);
    char* at = bytes_.data();
    const auto copy = [&at](std::string_view& text) {
        copyBytes(at, text.data(), text.size());
        text = std::string_view(at, text.size());
        at += text.size();
    };
    for (std::string_view* text : texts) copy(*text);
    octets_.resize(octets.size());
    // The reader packs a message's octets one after another: they are copied as one piece, each
    // view moved with it, when they fill the span from the first's start to the last's end and
    // every one lies in it (checked as the views are moved); octets from elsewhere one by one.
    const char* const packed = octets.empty() ? nullptr : octets.front().data();
    bool isPacked = !octets.empty() && octets.back().data() >= packed &&
                    static_cast<std::size_t>(octets.back().data() - packed) + octets.back().size() == octetBytes;
    for (std::size_t i = 0; i < octets.size() && isPacked; ++i) {
        isPacked = octets[i].data() >= packed &&
                   static_cast<std::size_t>(octets[i].data() - packed) + octets[i].size() <= octetBytes;
        octets_[i] = {at + (octets[i].data() - packed), octets[i].size()};
    }
    if (isPacked) {
        std::memcpy(at, packed, octetBytes);
    } else {
        for (std::size_t i = 0; i < octets.size(); ++i) {
            octets_[i] = octets[i];
            copy(octets_[i]);
        }
    }
    record_.octets = octets_;
    record_.trailingOctets = {};
    if (!record.trailingOctets.empty()) {
        const auto first = static_cast<std::size_t>(record.trailingOctets.data() - record.octets.data());
        record_.trailingOctets = record_.octets.subspan(first, record.trailingOctets.size());
    }
    marks_.assign(record.marks.begin(), record.marks.end());
    record_.marks = marks_;
    record_.builtFields = {};  // they view the run's memory: built again from the marks
}

}  // namespace truno
