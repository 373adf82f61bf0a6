#include "dispatch/MessTypeCod.h"

#include <algorithm>

#include "base/Conversions.h"
#include "base/DecodeError.h"
#include "base/FieldTable.h"
#include "dispatch/ParTable.h"
#include "dispatch/MessageDecoders.h"

namespace truno {
namespace {

struct MessageType {
    std::string_view code;
    std::string_view name;
    MessageDecoder decoder;
};

// Message type codes (ITU-T Q.763 / Q.1902), compared as text, first match wins. The names
// are printed as they stand, the two blanks in the GRA and USR names included.
const MessageType kMessageTypes[] = {
    {"01", "INITIAL ADDRESS (IAM)", ModIAM},
    {"02", "SUBSEQUENT ADDRESS (SAM)", ModSAM},
    {"03", "INFORMATION REQUEST (INR)", ModINR},
    {"04", "INFORMATION (INF)", ModINF},
    {"05", "CONTINUITY (COT)", ModCOT},
    {"06", "ADDRESS COMPLETE (ACM)", ModACM},
    {"07", "CONNECT (CON)", ModCON},
    {"08", "FORWARD TRANSFER (FOT)", ModFOT},
    {"09", "ANSWER (ANM)", ModANM},
    {"0C", "RELEASE (REL)", ModREL},
    {"0D", "SUSPEND (SUS)", ModSUS},
    {"0E", "RESUME (RES)", ModRES},
    {"10", "RELEASE COMPLETE (RLC)", ModRLC},
    {"12", "RESET CIRCUIT (RSC)", ModRSC},
    {"17", "CIRCUIT GROUP RESET (GRS)", ModGRS},
    {"18", "CIRCUIT GROUP BLOCKING (CGB)", ModCGB},
    {"19", "CIRCUIT GROUP UNBLOCKING (CGU)", ModCGU},
    {"1A", "CGB ACKNOWLEDGEMENT (CGBA)", ModCGBA},
    {"1B", "CIRCUIT GROUP UNBLOCKING ACK (CGUA", ModCGUA},
    {"1F", "FACILITY REQUEST (FAR)", ModFAR},
    {"20", "FACILITY ACCEPTED (FAA)", ModFAA},
    {"21", "FACILITY REJECT (FRJ)", ModFRJ},
    {"29", "CIRCUIT GROUP RESET  ACKNOWLEDGEMENT (GRA)", ModGRA},
    {"2C", "CALL PROGRESS (CPG)", ModCPG},
    {"2D", "USER-TO-USER INFORMATION  (USR)", ModUSR},
    {"2E", "UNEQUIPPED CIRCUIT IDENTIFICATION CODE (UCIC)", ModUCIC},
    {"2F", "CONFUSION (CFN)", ModCFN},
    {"31", "CHARGE INFORMATION (CRG)", ModCRG},
    {"32", "NETWORK RESOURCE MANAGEMENT (NRM)", ModNRM},
    {"33", "FACILITY (FAC)", ModFAC},
    {"36", "IDENTIFICATION REQUEST (IDR)", ModIDR},
    {"37", "IDENTIFICATION RESPONSE (IRS)", ModIRS},
    {"38", "SEGMENTATION (SGM)", ModSGM},
    {"40", "LOOP PREVENTION (LOP)", ModLOP},
    {"41", "APPLICATION TRANSPORT MESSAGE (APM)", ModAPM},
    {"42", "PRE-RELEASE INFORMATION (PRI)", ModPRI},
    {"F9", "SPECIAL CLEARBACK (SCB)", ModSCB},
    {"FF", "OPERATOR MESSAGE (OPR)", ModOPR},
};

const MessageType* findType(std::string_view code) {
    for (const MessageType& t : kMessageTypes)
        if (t.code == code) return &t;
    return nullptr;
}

constexpr std::string_view kBannerRule =
    "###################################################################################";
static_assert(kBannerRule.size() == 83);

void appendBanner(DecodingState& s, Text& out) {
    out += kBannerRule;
    out += CRLF;
    out += "RECORD ";
    appendDecimal(out, s.MessageCount);
    out += "     TIME=";
    appendLogText(out, s.MessageTime);
    out += ", DIR=";
    appendLogText(out, s.MessageDirection);
    out += "     ";
    out += s.MessageName;
    out += CRLF;
    out += kBannerRule;
    out += CRLF;
}

void appendBcicLine(DecodingState& s, Text& out) {
    DressData(out, "BICC CALL INSTANCE CODE (BCIC)");
    appendLogText(out, s.LogBcic);
    out += CRLF;
}

std::string codeText(std::string_view code) {
    Text t;
    appendLogText(t, code);
    return t;
}

// Walks the optional part from OptionalPartStart: code octet, length octet, contents, until
// only the end-of-optional-parameters octet is left or the code 00 is met.
void walkOptionalPart(DecodingState& s) {
    s.OptionalPartDigits.clear();
    for (std::size_t i = s.OptionalPartStart; i < s.MessageOctets.size(); ++i)
        s.OptionalPartDigits += s.MessageOctets[i];
    std::string_view rest = s.OptionalPartDigits;
    // An optional part of the end octet alone (a pointer to an empty optional part, as most
    // exchanges send in ACM, ANM and REL) holds no parameter.
    if (rest == "00") return;
    std::string_view lastCode;
    while (s.EndOfOptionalParameters != 1) {
        const std::string_view code = rest.substr(0, std::min<std::size_t>(2, rest.size()));
        const std::string_view lengthDigits = rest.size() > 2 ? rest.substr(2, 2) : std::string_view{};
        if (lengthDigits.empty()) {
            std::string why = "optional part does not end with the end-of-optional-parameters octet 00";
            if (!lastCode.empty()) why += " (it runs out after parameter " + codeText(lastCode) + ")";
            if (!code.empty()) why += " (a lone octet " + codeText(code) + " is left where a parameter code and length were expected)";
            throw DecodeError(why);
        }
        std::uint64_t length = 0;
        try {
            length = HextoDec(lengthDigits);
        } catch (const DecodeError& e) {
            throw DecodeError("length octet of optional parameter " + codeText(code) + ": " + e.what());
        }
        const std::string_view afterHeader = rest.substr(4 <= rest.size() ? 4 : rest.size());
        if (length > afterHeader.size() / 2 && code != "00")
            throw DecodeError("optional parameter " + codeText(code) + ": length " + std::to_string(length) +
                              " runs past the last octet (" + std::to_string(afterHeader.size() / 2) +
                              " octets left)");
        const std::size_t digits = static_cast<std::size_t>(std::min<std::uint64_t>(length * 2, afterHeader.size()));
        s.ParameterCode = code;
        s.ParameterContents = afterHeader.substr(0, digits);
        try {
            ParTable(s, s.ParameterCode, s.ParameterContents, s.OptionalPartText);
        } catch (const DecodeError& e) {
            const std::string_view name = parameterDecoderName(code);
            throw DecodeError("optional parameter " + codeText(code) + (name.empty() ? "" : " (" + std::string(name) + ")") +
                              ": " + e.what());
        }
        lastCode = code;
        rest = afterHeader.substr(digits);
        if (rest == "00") break;
    }
}

void appendFailureRecord(DecodingState& s, std::size_t logLine, std::string_view why) {
    Text& out = s.ReportText;
    out += CRLF;
    appendBanner(s, out);
    appendBcicLine(s, out);
    out += kNotDecodedMarker;
    out += CRLF;
    DressData(out, "REASON");
    appendLogText(out, why);
    out += CRLF;
    DressData(out, "MESSAGE STARTS AT LOG LINE");
    appendDecimal(out, logLine);
    out += CRLF;
    DressData(out, "OCTETS AS READ");
    for (std::size_t i = 0; i < s.MessageOctets.size(); ++i) {
        if (i != 0) out += "  ";
        appendLogText(out, s.MessageOctets[i]);
    }
    out += CRLF;
}

}  // namespace

std::string_view messageTypeName(std::string_view code) {
    const MessageType* t = findType(code);
    return t == nullptr ? std::string_view{} : t->name;
}

void MessTypeCod(DecodingState& s) {
    s.OptionalPartText.clear();
    s.EndOfOptionalParameters = 0;
    s.MessageName = {};
    s.OptionalPartStart = 0;
    if (s.MessageOctets.size() < 5) {
        ++s.MessageCount;
        throw DecodeError("the message has " + std::to_string(s.MessageOctets.size()) +
                          " octet(s); at least five are needed (call instance code and message type code)");
    }
    const MessageType* type = findType(s.MessageOctets[4]);
    ++s.MessageCount;
    if (type == nullptr) {
        s.UnknownTypeName = "UNKNOWN MESSAGE TYPE (code " + codeText(s.MessageOctets[4]) + ")";
        s.MessageName = s.UnknownTypeName;
        throw DecodeError("message type code " + codeText(s.MessageOctets[4]) +
                          " is not a known message type; the octets are shown as read");
    }
    s.MessageName = type->name;
    type->decoder(s);

    s.BcicLineText.clear();
    appendBcicLine(s, s.BcicLineText);
    s.RecordBannerText.clear();
    appendBanner(s, s.RecordBannerText);

    if (s.OptionalPartStart != 0) walkOptionalPart(s);

    Text& out = s.ReportText;
    out += CRLF;
    out += s.RecordBannerText;
    out += s.BcicLineText;
    out += s.MandatoryPartText;
    out += s.VariablePartText;
    out += s.OptionalPartText;
    s.EndOfOptionalParameters = 0;
}

void recordNotDecoded(DecodingState& s, std::size_t logLine, std::string_view why) {
    ++s.MessageCount;
    s.MessageName = s.MessageOctets.size() >= 5 ? messageTypeName(s.MessageOctets[4]) : std::string_view{};
    appendFailureRecord(s, logLine, why);
}

bool decodeMessage(DecodingState& s, std::size_t logLine) {
    const std::size_t reportSize = s.ReportText.size();
    const std::uint64_t count = s.MessageCount;
    // Drops whatever the failed decoding wrote and puts the record that says why in its place.
    const auto notDecoded = [&](std::string_view why, std::string_view detail) {
        s.ReportText.resize(reportSize);
        s.MessageCount = count + 1;
        s.EndOfOptionalParameters = 0;
        appendFailureRecord(s, logLine, std::string(why) + std::string(detail));
        return false;
    };
    try {
        MessTypeCod(s);
        return true;
    } catch (const DecodeError& e) {
        return notDecoded("", e.what());
    } catch (const std::exception& e) {
        // Not a property of the message but a fault of this program: still one record, so
        // that the run goes on and nothing is lost silently.
        return notDecoded(kInternalErrorReason, e.what());
    }
}

}  // namespace truno
