#include "dispatch/MessageTypes.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/ByteScan.h"
#include "base/Conversions.h"
#include "base/DecodeError.h"
#include "base/FieldTable.h"
#include "base/TextMemo.h"
#include "dispatch/Codes.h"
#include "dispatch/ParameterTable.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

using namespace codes;

// The banner's rule of 83 "#", around the record's line.
#define TRUNO_BANNER_RULE "###################################################################################"
constexpr std::string_view kBannerTop = TRUNO_BANNER_RULE "\r\nRECORD ";
constexpr std::string_view kBannerBottom = "\r\n" TRUNO_BANNER_RULE "\r\n";
#undef TRUNO_BANNER_RULE
static_assert(kBannerTop.size() == 83 + 2 + 7 && kBannerBottom.size() == 2 + 83 + 2);

constexpr std::string_view kTimeIs = "     TIME=";
constexpr std::string_view kDirIs = ", DIR=";
constexpr std::string_view kBeforeName = "     ";

void appendBanner(DecodingState& s, Text& out) {
    // Times and directions as a log writes them need no escape: the banner is then laid down in
    // one piece.
    const std::string_view time = s.MessageTime;
    const std::string_view direction = s.MessageDirection;
    if (printableAscii(time.data(), time.size()) && printableAscii(direction.data(), direction.size())) {
        char number[64];  // room before the digits (at most 20) for the fixed moves of copyBytes
        const char* digits = decimalBefore(s.MessageCount, number + sizeof number);
        const auto digitCount = static_cast<std::size_t>(number + sizeof number - digits);
        const std::size_t size = kBannerTop.size() + digitCount + kTimeIs.size() + time.size() + kDirIs.size() +
                                 direction.size() + kBeforeName.size() + s.MessageName.size() + kBannerBottom.size();
        char* p = out.extend(size);
        const auto put = [&p](std::string_view piece) {
            copyBytes(p, piece.data(), piece.size());
            p += piece.size();
        };
        std::memcpy(p, kBannerTop.data(), kBannerTop.size());
        p += kBannerTop.size();
        put({digits, digitCount});
        std::memcpy(p, kTimeIs.data(), kTimeIs.size());
        p += kTimeIs.size();
        put(time);
        std::memcpy(p, kDirIs.data(), kDirIs.size());
        p += kDirIs.size();
        put(direction);
        std::memcpy(p, kBeforeName.data(), kBeforeName.size());
        p += kBeforeName.size();
        put(s.MessageName);
        std::memcpy(p, kBannerBottom.data(), kBannerBottom.size());
        return;
    }
    out += kBannerTop;
    appendDecimal(out, s.MessageCount);
    out += "     TIME=";
    appendLogText(out, s.MessageTime);
    out += ", DIR=";
    appendLogText(out, s.MessageDirection);
    out += "     ";
    out += s.MessageName;
    out += kBannerBottom;
}

// The record's own lines. The MESSAGE line's value is the type code, the BCIC line's the log's
// BCIC value; a record that says why its message was not decoded has three lines of its own.
constexpr BitField kRecordFields[] = {
    {.key = "bcic", .label = "BICC CALL INSTANCE CODE (BCIC)", .type = FieldType::Text, .level = LineLevel::L1},
    {.key = "code", .label = "MESSAGE", .level = LineLevel::L1},
    {.key = "reason", .label = "REASON", .type = FieldType::Text, .level = LineLevel::L1},
    {.key = "line", .label = "MESSAGE STARTS AT LOG LINE", .level = LineLevel::L1},
    {.key = "octets", .label = "OCTETS AS READ", .type = FieldType::Text, .level = LineLevel::L1},
    // In ISUP mode (two-octet circuit codes) in place of the BCIC line: the message's own code.
    {.key = "cic", .label = "CIRCUIT IDENTIFICATION CODE (CIC)", .level = LineLevel::L1},
};
const BitField& kBcicField = kRecordFields[0];
const BitField& kMessageField = kRecordFields[1];
const BitField& kReasonField = kRecordFields[2];
const BitField& kStartLineField = kRecordFields[3];
const BitField& kOctetsField = kRecordFields[4];
const BitField& kCicField = kRecordFields[5];

// The layouts give each index as it stands when the message type code is at index 4 (BICC's four
// octets of call instance code before it); the run's mode moves every index by the same amount.
constexpr std::size_t kLayoutTypeIndex = 4;
std::size_t at(const DecodingState& s, std::size_t layoutIndex) {
    return layoutIndex - kLayoutTypeIndex + s.TypeIndex;
}

std::size_t appendVariableParameter(DecodingState& s, std::size_t p, const ParameterRow& row, Text& out);
std::size_t appendPassedAlong(DecodingState& s, Text& out);

// A label line laid out earlier: its text up to the "=" and the value after it, marked as a
// field line as dressing its label would have marked it; the value's meaning begins `meaning`
// bytes into it (0: none).
void appendLaidOut(Text& out, std::string_view line, const BitField& field, std::uint16_t meaning) {
    if (out.marks() == nullptr) {
        out += line;
        return;
    }
    const std::size_t begin = out.size();
    const std::size_t value = kLabelWidth + 1;
    out += line.substr(0, value);
    out.markField(begin, field);
    out += line.substr(value);
    out.noteMeaning(begin + value, meaning);
}

// The BCIC line is the same in every record of a log: it is laid out again only when the log's
// BCIC value changes.
void appendBcicLine(DecodingState& s, Text& out) {
    if (s.BcicLine.empty() || s.BcicLineValue != s.LogBcic) {
        Text line;
        dressField(line, kBcicField);
        appendLogText(line, s.LogBcic);
        line += CRLF;
        s.BcicLine = line.view();
        s.BcicLineValue = s.LogBcic;
        // The log's own text, read as a value would be: a number, ", " and a meaning.
        s.BcicLineMeaning = meaningStartOf(s.LogBcic);
    }
    appendLaidOut(out, s.BcicLine, kBcicField, s.BcicLineMeaning);
}

// The circuit identification code line of ISUP mode: the message's own code, octets 1-2 least
// significant octet first, its 12 bits in decimal (empty when the octets are not hex digits).
void appendCicLine(const DecodingState& s, Text& out) {
    dressField(out, kCicField);
    if (s.MessageOctets.size() >= 2) {
        const int low = hexOctetValue(s.MessageOctets[0]);
        const int high = hexOctetValue(s.MessageOctets[1]);
        if (low >= 0 && high >= 0) {
            const auto code = static_cast<std::uint64_t>(((high & 0x0F) << 8) | low);
            out.setFieldNumber(code);
            appendDecimal(out, code);
        }
    }
    out += CRLF;
}

// The line after the banner: the log's BCIC in BICC mode, the message's CIC in ISUP mode.
void appendCodeLine(DecodingState& s, Text& out) {
    if (s.CicOctets == 2)
        appendCicLine(s, out);
    else
        appendBcicLine(s, out);
}

// The MESSAGE line of each type, laid out once: the label, the type code in decimal, the title
// (", INITIAL ADDRESS MESSAGE (IAM)"), whose words are the value's meaning.
struct MessageLine {
    std::string text;
    std::uint16_t meaning = 0;
};
const std::array<MessageLine, 256>& messageLines() {
    static const std::array<MessageLine, 256> lines = [] {
        std::array<MessageLine, 256> a;
        for (const MessageType& t : messageTypes()) {
            Text line;
            dressField(line, kMessageField);
            const std::size_t value = line.size();
            appendDecimal(line, t.code);
            line += t.title;
            a[t.code] = MessageLine{.text = std::string(line.view()), .meaning = meaningStartOf(line.substr(value))};
        }
        return a;
    }();
    return lines;
}

std::string codeText(std::string_view code) {
    Text t;
    appendLogText(t, code);
    return t.str();
}

// Optional part start from the pointer at index p: 0 stays 0 (no optional part), otherwise the
// pointer counts from its own index and must land on an octet of the message.
std::size_t optionalStart(const DecodingState& s, std::size_t p) {
    const std::uint64_t value = s.octetValue(p, "optional-part pointer");
    if (value == 0) return 0;
    const std::uint64_t start = p + value;
    if (start >= s.MessageOctets.size())
        throw DecodeError(DecodeFailure::PastEnd, "optional-part pointer at index " + std::to_string(p) + " (value " +
                          std::to_string(value) + ") points to index " + std::to_string(start) +
                          ", past the last octet (the message has " +
                          std::to_string(s.MessageOctets.size()) + " octets)");
    return static_cast<std::size_t>(start);
}

// Walks the optional part from OptionalPartStart: code octet, length octet, contents, until
// only the end-of-optional-parameters octet is left or the code 00 is met.
// The index of the octet whose digits begin `digit` digits after those of octet `first`, `at`
// being those digits in `part` (the octets from `first` on, as octetsFrom gave them).
std::size_t octetAtDigit(const DecodingState& s, std::size_t first, std::size_t digit, const char* at) {
    const auto& octets = s.MessageOctets;
    if (s.OctetsAdjacent) {
        // The octets stand one after another in memory: the one that begins at `at`.
        const auto found = std::lower_bound(octets.begin() + static_cast<std::ptrdiff_t>(first), octets.end(), at,
                                            [](std::string_view o, const char* p) { return o.data() < p; });
        return static_cast<std::size_t>(found - octets.begin());
    }
    std::size_t i = first;
    for (std::size_t counted = 0; i < octets.size() && counted < digit; ++i) counted += octets[i].size();
    return i;
}

void walkOptionalPart(DecodingState& s, Text& out) {
    const std::string_view part = s.octetsFrom(s.OptionalPartStart);
    std::string_view rest = part;
    // The message ends after the end-of-optional-parameters octet that `rest` begins with.
    const auto endsAt = [&](std::string_view end) {
        s.MessageEnd = octetAtDigit(s, s.OptionalPartStart, static_cast<std::size_t>(end.data() - part.data()), end.data()) + 1;
    };
    // An optional part of the end octet alone (a pointer to an empty optional part, as most
    // exchanges send in ACM, ANM and REL) holds no parameter.
    if (rest == "00") {
        endsAt(rest);
        return;
    }
    std::string_view lastCode;
    while (s.EndOfOptionalParameters != 1) {
        const std::string_view code = rest.substr(0, std::min<std::size_t>(2, rest.size()));
        const std::string_view lengthDigits = rest.size() > 2 ? rest.substr(2, 2) : std::string_view{};
        if (lengthDigits.empty()) {
            std::string why = "optional part does not end with the end-of-optional-parameters octet 00";
            if (!lastCode.empty()) why += " (it runs out after parameter " + codeText(lastCode) + ")";
            if (!code.empty()) why += " (a lone octet " + codeText(code) + " is left where a parameter code and length were expected)";
            throw DecodeError(DecodeFailure::OptionalPartNotClosed, why);
        }
        std::uint64_t length = 0;
        try {
            length = hexToDec(lengthDigits);
        } catch (const DecodeError& e) {
            throw DecodeError(e, "length octet of optional parameter " + codeText(code) + ": " + e.what());
        }
        const std::string_view afterHeader = rest.substr(4 <= rest.size() ? 4 : rest.size());
        if (length > afterHeader.size() / 2 && code != "00")
            throw DecodeError(DecodeFailure::PastEnd, "optional parameter " + codeText(code) + ": length " + std::to_string(length) +
                              " runs past the last octet (" + std::to_string(afterHeader.size() / 2) +
                              " octets left)");
        const std::size_t digits = static_cast<std::size_t>(std::min<std::uint64_t>(length * 2, afterHeader.size()));
        if (code == "00") endsAt(rest);
        try {
            decodeParameter(s, code, afterHeader.substr(0, digits), out);
        } catch (const DecodeError& e) {
            const std::string_view name = parameterName(code);
            throw DecodeError(e, "optional parameter " + codeText(code) + (name.empty() ? "" : " (" + std::string(name) + ")") +
                              ": " + e.what());
        }
        lastCode = code;
        rest = afterHeader.substr(digits);
        if (rest == "00") {
            endsAt(rest);
            break;
        }
    }
}

void appendFailureRecord(DecodingState& s, std::size_t logLine, std::string_view why) {
    Text& out = s.ReportText;
    appendBanner(s, out);
    appendCodeLine(s, out);
    lineOf(out, kNotDecodedMarker);
    dressField(out, kReasonField);
    appendLogText(out, why);
    out += CRLF;
    dressField(out, kStartLineField);
    out.setFieldNumber(logLine);
    appendDecimal(out, logLine);
    out += CRLF;
    dressField(out, kOctetsField);
    for (std::size_t i = 0; i < s.MessageOctets.size(); ++i) {
        if (i != 0) out += "  ";
        appendLogText(out, s.MessageOctets[i]);
    }
    out += CRLF;
}

}  // namespace

namespace {

// The MESSAGE line, then the blocks of the mandatory fixed parameters.
void appendMessageLineAndFixedPart(DecodingState& s, const MessageType& type, Text& out) {
    const MessageLine& line = messageLines()[type.code];
    appendLaidOut(out, line.text, kMessageField, line.meaning);
    out.setFieldNumber(type.code);
    if (type.headerLineEnd) out += CRLF;
    out += CRLF;
    if (type.passAlong) return;
    for (const MandatoryFixed& f : type.fixed) {
        if (f.index == 0) break;
        appendParameterBlock(*findParameter(f.parameter),
                             s.contentsOf(at(s, f.index), f.octets, "mandatory fixed parameter"), out);
        if (f.lineEnd) out += CRLF;
    }
}

// The octets of the mandatory fixed parameters, one after another, when each is there and is two
// digits (so that the digits tell where each parameter's contents begin); false otherwise.
bool fixedPartDigits(DecodingState& s, const MessageType& type, TextMemo::Key& key) {
    std::size_t first = 0;
    std::size_t end = 0;
    for (const MandatoryFixed& f : type.fixed) {
        if (f.index == 0) break;
        if (end == 0) first = at(s, f.index);
        end = std::max(end, at(s, f.index) + f.octets);
    }
    if (end == 0) return packDigits({}, key);
    if (end > s.MessageOctets.size()) return false;
    for (std::size_t i = first; i < end; ++i)
        if (s.MessageOctets[i].size() != 2) return false;
    return packDigits(s.contentsOf(first, end - first, "mandatory fixed parameters"), key);
}

}  // namespace

std::size_t decodeMandatoryPart(DecodingState& s, const MessageType& type, Text& out) {
    // The MESSAGE line and the fixed part are a constant of the type and the fixed part's octets:
    // they are kept as first written, with their marks, and copied whole.
    TextMemo::Key key{.owner = &type};
    if (!type.passAlong && fixedPartDigits(s, type, key)) {
        static TextMemo heads;
        heads.append(key, out, [&] { appendMessageLineAndFixedPart(s, type, out); });
    } else {
        appendMessageLineAndFixedPart(s, type, out);
    }
    if (type.passAlong) return appendPassedAlong(s, out);

    // One past the last octet of the mandatory part: fixed parameters, pointers, variable parameters.
    std::size_t mandatoryEnd = s.TypeIndex + 1;
    const auto reaches = [&mandatoryEnd](std::size_t end) { mandatoryEnd = std::max(mandatoryEnd, end); };
    for (const MandatoryFixed& f : type.fixed)
        if (f.index != 0) reaches(at(s, f.index) + f.octets);
    if (type.variablePointer != 0) reaches(at(s, type.variablePointer) + 1);
    if (type.secondPointer != 0) reaches(at(s, type.secondPointer) + 1);
    if (type.optional == OptionalPointer::At) reaches(at(s, type.optionalPointer) + 1);
    // The length octet at `length` and the contents after it.
    const auto variableEnds = [&](std::size_t length) {
        reaches(length + 1 + static_cast<std::size_t>(s.octetValue(length, "mandatory variable parameter length")));
    };
    std::size_t lengthIndex = 0;
    if (type.variablePointer != 0) {
        lengthIndex = appendVariableParameter(s, at(s, type.variablePointer),
                                              type.variableRow != nullptr ? *type.variableRow : *findParameter(type.variable),
                                              out);
        if (type.variableLineEnd) out += CRLF;
        variableEnds(lengthIndex);
    }
    if (type.secondPointer != 0) {
        variableEnds(appendVariableParameter(s, at(s, type.secondPointer),
                                             type.secondRow != nullptr ? *type.secondRow : *findParameter(type.second), out));
        out += CRLF;
    }
    // A type the table gives no parameter at all is laid out only when Q.763 gives it none (RSC,
    // UCIC and the circuit messages of ISUP); the others' contents (national messages) are not
    // known, nor where they end.
    const bool withoutParameters = type.code == codes::kResetCircuit || type.code == codes::kUnequippedCircuit ||
                                   type.code == codes::kContinuityCheckRequest || type.code == codes::kBlocking ||
                                   type.code == codes::kUnblocking || type.code == codes::kBlockingAcknowledgement ||
                                   type.code == codes::kUnblockingAcknowledgement ||
                                   type.code == codes::kLoopBackAcknowledgement || type.code == codes::kOverload;
    const bool laidOut = type.fixed[0].index != 0 || type.variablePointer != 0 ||
                         type.optional != OptionalPointer::None || withoutParameters;
    s.MessageEnd = laidOut ? mandatoryEnd : 0;

    switch (type.optional) {
        case OptionalPointer::None: return 0;
        case OptionalPointer::At: return optionalStart(s, at(s, type.optionalPointer));
        case OptionalPointer::BeforeVariable: return optionalStart(s, lengthIndex - 1);
    }
    return 0;
}

namespace {

// The mandatory variable parameter whose pointer stands at index p, decoded by `row`; returns the
// index of its length octet.
std::size_t appendVariableParameter(DecodingState& s, std::size_t p, const ParameterRow& row, Text& out) {
    const std::uint64_t pointer = s.octetValue(p, "mandatory variable parameter pointer");
    const std::size_t lengthIndex = p + static_cast<std::size_t>(pointer);
    if (pointer >= s.MessageOctets.size() || lengthIndex >= s.MessageOctets.size())
        throw DecodeError(DecodeFailure::PastEnd, "mandatory variable parameter pointer at index " + std::to_string(p) +
                          " (value " + std::to_string(pointer) +
                          ") points past the last octet (the message has " +
                          std::to_string(s.MessageOctets.size()) + " octets)");
    const std::uint64_t n = s.octetValue(lengthIndex, "mandatory variable parameter length");
    if (n > s.MessageOctets.size() - lengthIndex - 1)
        throw DecodeError(DecodeFailure::PastEnd, "mandatory variable parameter length " + std::to_string(n) + " at index " +
                          std::to_string(lengthIndex) + " runs past the last octet (the message has " +
                          std::to_string(s.MessageOctets.size()) + " octets)");
    appendParameterBlock(row,
                         s.contentsOf(lengthIndex + 1, static_cast<std::size_t>(n),
                                      "mandatory variable parameter"),
                         out);
    return lengthIndex;
}

// The message a pass-along message carries: its type code right after the pass-along type code,
// then its own layout, every index one further on.
std::size_t appendPassedAlong(DecodingState& s, Text& out) {
    const std::size_t index = s.TypeIndex + 1;
    const std::string_view code = s.octet(index, "type code of the message passed along");
    const MessageType* carried = findMessageType(code);
    if (carried == nullptr || carried->passAlong)
        throw DecodeError(DecodeFailure::UnknownType, "the message passed along has type code " + codeText(code) +
                                                          (carried == nullptr ? ", not a known message type"
                                                                              : ": a pass-along message cannot carry another"));
    lineOf(out, "MESSAGE PASSED ALONG:");
    s.TypeIndex = index;
    s.MessageAcronym = &carried->acronym;
    return decodeMandatoryPart(s, *carried, out);
}

}  // namespace

void dispatchMessage(DecodingState& s) {
    s.EndOfOptionalParameters = 0;
    s.MessageEnd = 0;
    s.MessageName = {};
    s.MessageAcronym = nullptr;
    s.OptionalPartStart = 0;
    const std::size_t typeIndex = s.CicOctets;
    s.TypeIndex = typeIndex;
    if (s.MessageOctets.size() <= typeIndex) {
        ++s.MessageCount;
        if (typeIndex == 2)
            throw DecodeError(DecodeFailure::NoTypeCode, "the message has " + std::to_string(s.MessageOctets.size()) +
                              " octet(s); at least three are needed (circuit identification code and message type code)");
        throw DecodeError(DecodeFailure::NoTypeCode, "the message has " + std::to_string(s.MessageOctets.size()) +
                          " octet(s); at least five are needed (call instance code and message type code)");
    }
    const MessageType* type = findMessageType(s.MessageOctets[typeIndex]);
    ++s.MessageCount;
    if (type == nullptr) {
        const std::string_view code = s.MessageOctets[typeIndex];
        s.UnknownTypeName = "UNKNOWN MESSAGE TYPE (code " + codeText(code) + ")";
        s.MessageName = s.UnknownTypeName;
        std::string why = "message type code " + codeText(code) + " is not a known message type";
        if (code.find(' ') != std::string_view::npos)
            why += " (it holds a single blank: octets are separated by two blanks)";
        else if (code.find_first_of("abcdef") != std::string_view::npos)
            why += " (its digits are lower case: type codes are upper-case hex digits)";
        throw DecodeError(DecodeFailure::UnknownType, why + "; the octets are shown as read");
    }
    s.MessageName = type->name;
    s.MessageAcronym = &type->acronym;
    if (typeIndex == 2) {
        // Q.763: the circuit identification code has 12 bits; bits 5-8 of its second octet are spare.
        const int high = hexOctetValue(s.MessageOctets[1]);
        if (high > 0x0F)
            throw DecodeError(DecodeFailure::CicSpareBits,
                              "the spare bits 5-8 of circuit identification code octet 2 (" + codeText(s.MessageOctets[1]) +
                                  ") are set: the code has 12 bits (is this a trace with four-octet call instance codes? "
                                  "see --cic-octets)");
    }
    if (s.MarkList != nullptr) {
        s.ReportText.attachMarks(s.MarkedTypes[type->code] ? s.MarkList : nullptr);
        // A run that keeps some parameters' fields alone keeps none of the message's own lines:
        // the views that read fields by parameter read no field of them.
        const bool everyParameter = s.MarkedParameters.all();
        s.ReportText.setMarkFilter({.wanted = everyParameter ? nullptr : &s.MarkedParameters, .muted = !everyParameter});
    }

    // The record goes straight into the report; a failure further on is rolled back by the
    // caller, which cuts the report back to where the record began.
    Text& out = s.ReportText;
    appendBanner(s, out);
    appendCodeLine(s, out);
    s.OptionalPartStart = decodeMandatoryPart(s, *type, out);
    if (s.OptionalPartStart != 0) walkOptionalPart(s, out);
    s.EndOfOptionalParameters = 0;
}

// A record begins: the CR LF that separates it from the record before it (none before the run's
// first record), then its facts so far are cleared, and its marks kept when the run keeps them
// (dispatchMessage leaves out those of types that are not wanted).
void beginRecord(DecodingState& s) {
    s.ReportText.attachMarks(nullptr);
    if (s.MessageCount > 0) s.ReportText += CRLF;
    s.RecordBegin = s.ReportText.size();
    s.RecordReason.clear();
    s.RecordFailure = DecodeFailure::Internal;
    s.RecordMarks.clear();
    s.ReportText.attachMarks(s.MarkList);
}

// A record ends: its marks count from its start.
void endRecord(DecodingState& s, bool decoded) {
    s.RecordDecoded = decoded;
    const auto begin = static_cast<std::uint32_t>(s.RecordBegin);
    for (Mark& m : s.RecordMarks) {
        m.begin -= begin;
        m.value -= begin;
    }
}

void recordNotDecoded(DecodingState& s, std::size_t logLine, DecodeFailure failure, std::string_view why) {
    beginRecord(s);
    s.MessageEnd = 0;
    ++s.MessageCount;
    s.MessageName = s.MessageOctets.size() > s.CicOctets ? messageTypeName(s.MessageOctets[s.CicOctets]) : std::string_view{};
    s.RecordReason = why;
    s.RecordFailure = failure;
    appendFailureRecord(s, logLine, why);
    endRecord(s, false);
}

bool decodeMessage(DecodingState& s, std::size_t logLine, std::string_view reasonEnd) {
    beginRecord(s);
    const std::size_t reportSize = s.ReportText.size();
    const std::uint64_t count = s.MessageCount;
    // Drops whatever the failed decoding wrote and puts the record that says why in its place.
    const auto notDecoded = [&](DecodeFailure failure, std::string_view why, std::string_view detail) {
        s.ReportText.truncate(reportSize);
        s.MessageCount = count + 1;
        s.EndOfOptionalParameters = 0;
        s.MessageEnd = 0;
        s.RecordFailure = failure;
        s.RecordReason.assign(why);
        s.RecordReason.append(detail);
        s.RecordReason.append(reasonEnd);
        s.ReportText.attachMarks(s.MarkList);
        appendFailureRecord(s, logLine, s.RecordReason);
        endRecord(s, false);
        return false;
    };
    try {
        dispatchMessage(s);
        endRecord(s, true);
        return true;
    } catch (const DecodeError& e) {
        return notDecoded(e.failure(), "", e.what());
    } catch (const std::exception& e) {
        // Not a property of the message but a fault of this program: still one record, so
        // that the run goes on and nothing is lost silently.
        return notDecoded(DecodeFailure::Internal, kInternalErrorReason, e.what());
    }
}

void RecordFields(FieldList& list) { list.add(kRecordFields); }

}  // namespace truno
