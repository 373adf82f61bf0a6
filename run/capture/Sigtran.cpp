// M3UA (RFC 4666 3), M2PA (RFC 4165 2), M2UA (RFC 3331 3): the common message header, the
// tag-length-value parameters, and the messages that carry MTP3 user data.
#include "run/capture/Sigtran.h"

#include "run/capture/Mtp.h"

namespace truno::capture {
namespace {

constexpr std::size_t kCommonHeader = 8;  // version, spare, class, type, length (header included)
constexpr std::size_t kParameterHeader = 4;  // tag, length (header included, padding not)
constexpr std::uint8_t kVersion = 1;

// One message after the common header, as several may stand in one SCTP user message.
struct SigtranMessage {
    std::uint8_t messageClass = 0;
    std::uint8_t type = 0;
    Octets body;
};

// The messages one after the other: each advances by its length, which is at least its header;
// a length past the data ends the walk with a problem.
class SigtranMessages {
public:
    SigtranMessages(Octets data, std::string_view protocol) : rest_(data), size_(data.size()), protocol_(protocol) {}

    bool next(SigtranMessage& message, Problems& problems) {
        while (!rest_.empty()) {
            if (rest_.size() < kCommonHeader) {
                problems.add(protocol_, " common header needs 8 octets, ", rest_.size(), " are left of the ", size_,
                             " of its SCTP data");
                return false;
            }
            const std::uint32_t length = be32(rest_, 4);
            if (length < kCommonHeader) {
                problems.add(protocol_, " message length ", length, " is less than its 8-octet header");
                return false;
            }
            if (length > rest_.size()) {
                problems.add(protocol_, " message length ", length, " runs past the ", rest_.size(), " octets of its SCTP data");
                return false;
            }
            const std::uint8_t version = rest_[0];
            message.messageClass = rest_[2];
            message.type = rest_[3];
            message.body = rest_.subspan(kCommonHeader, length - kCommonHeader);
            rest_ = rest_.subspan(length);
            if (version == kVersion) return true;
            problems.add(protocol_, " message of version ", version, " is not read (version 1)");
        }
        return false;
    }

private:
    Octets rest_;
    std::size_t size_;
    std::string_view protocol_;
};

struct Parameter {
    std::uint16_t tag = 0;
    Octets value;
};

// The parameters of a message, each padded to four octets (the last one's padding may be left out).
class Parameters {
public:
    Parameters(Octets body, std::string_view protocol) : rest_(body), protocol_(protocol) {}

    bool next(Parameter& parameter, Problems& problems) {
        if (rest_.size() < kParameterHeader) return false;  // the end, or padding
        parameter.tag = be16(rest_, 0);
        const std::size_t length = be16(rest_, 2);
        if (length < kParameterHeader) {
            problems.add(protocol_, " parameter ", Hex{.value = parameter.tag}, " length ", length, " is less than its 4-octet header");
            rest_ = {};
            return false;
        }
        if (length > rest_.size()) {
            problems.add(protocol_, " parameter ", Hex{.value = parameter.tag}, " length ", length, " runs past the ",
                         rest_.size(), " octets left of its message");
            rest_ = {};
            return false;
        }
        parameter.value = rest_.subspan(kParameterHeader, length - kParameterHeader);
        rest_ = rest_.subspan(std::min(paddedTo4(length), rest_.size()));
        return true;
    }

private:
    Octets rest_;
    std::string_view protocol_;
};

// Reads an MTP3 message into a new entry of `out`; the entry is kept only when it reads.
void appendMtp3(Octets message, PointCodeFormat format, std::vector<CapturedMessage>& out, Problems& problems) {
    out.emplace_back();
    if (!readMtp3(message, format, out.back(), problems)) out.pop_back();
}

// M3UA message classes and types (RFC 4666 3.1.3, 3.1.4); the Transfer message DATA carries
// Protocol Data (3.3.1): OPC, DPC (4 octets each), SI, NI, MP, SLS, then the user part.
constexpr std::uint8_t kM3uaTransfer = 1;
constexpr std::uint8_t kM3uaData = 1;
constexpr std::uint16_t kM3uaProtocolData = 0x0210;
constexpr std::size_t kProtocolDataFields = 12;
// The drafts (draft-ietf-sigtran-m3ua-06 and -07) carried the MTP3 message itself: Protocol
// Data 1 the message, Protocol Data 2 an MTP2 length indicator octet and then the message. Their
// tags are none of RFC 4666's, so the tag tells the layout.
constexpr std::uint16_t kDraft6ProtocolData1 = 0x0002;
constexpr std::uint16_t kDraft6ProtocolData2 = 0x0003;
constexpr std::uint16_t kDraft7ProtocolData1 = 0x0081;
constexpr std::uint16_t kDraft7ProtocolData2 = 0x0082;

// M2PA (RFC 4165 2.1, 2.2): class 11; User Data (type 1) has BSN and FSN (4 octets each), then
// when it carries data a priority octet and the MTP3 message.
constexpr std::uint8_t kM2paClass = 11;
constexpr std::uint8_t kM2paUserData = 1;
constexpr std::size_t kM2paSequenceNumbers = 8;
constexpr std::size_t kM2paPriority = 1;

// M2UA (RFC 3331 3.1.3, 3.3.1.1): MAUP (class 6) Data (type 1): Protocol Data 1 holds the MTP3
// message, Protocol Data 2 a TTC priority octet before it.
constexpr std::uint8_t kM2uaMaup = 6;
constexpr std::uint8_t kM2uaData = 1;
constexpr std::uint16_t kM2uaProtocolData1 = 0x0300;
constexpr std::uint16_t kM2uaProtocolData2 = 0x0301;

constexpr Adaptation kAdaptations[] = {
    {.name = "M3UA", .payloadProtocol = 3, .port = 2905, .read = readM3ua},
    {.name = "M2PA", .payloadProtocol = 5, .port = 3565, .read = readM2pa},
    {.name = "M2UA", .payloadProtocol = 2, .port = 2904, .read = readM2ua},
};

}  // namespace

const Adaptation* findAdaptation(std::uint32_t payloadProtocol, std::uint16_t sourcePort, std::uint16_t destinationPort) {
    for (const Adaptation& row : kAdaptations)
        if (row.payloadProtocol == payloadProtocol) return &row;
    // 0 (not given), or a number this table does not hold: some implementations write the
    // identifier in their own byte order (3 as 0x03000000).
    for (const Adaptation& row : kAdaptations)
        if (row.port == sourcePort || row.port == destinationPort) return &row;
    return nullptr;
}

void readM3ua(Octets data, PointCodeFormat format, std::vector<CapturedMessage>& out, Problems& problems) {
    SigtranMessages messages(data, "M3UA");
    for (SigtranMessage m; messages.next(m, problems);) {
        if (m.messageClass != kM3uaTransfer || m.type != kM3uaData) continue;
        const std::size_t before = out.size();
        Parameters parameters(m.body, "M3UA");
        for (Parameter p; parameters.next(p, problems);) {
            if (p.tag == kM3uaProtocolData) {
                if (p.value.size() < kProtocolDataFields) {
                    problems.add("M3UA protocol data of ", p.value.size(), " octets is shorter than its 12 octets of routing fields");
                    continue;
                }
                // The service indicator is four bits, as in the service information octet.
                if (p.value[8] > 0x0F) {
                    problems.add("M3UA protocol data has service indicator ", p.value[8], ", more than 15");
                    continue;
                }
                CapturedMessage& message = out.emplace_back();
                message.opc = be32(p.value, 0);
                message.dpc = be32(p.value, 4);
                message.si = p.value[8];
                message.ni = p.value[9];
                message.priority = p.value[10];
                message.sls = p.value[11];
                message.pointCodesKnown = true;
                message.userData = p.value.subspan(kProtocolDataFields);
            } else if (p.tag == kDraft6ProtocolData1 || p.tag == kDraft7ProtocolData1) {
                appendMtp3(p.value, format, out, problems);
            } else if ((p.tag == kDraft6ProtocolData2 || p.tag == kDraft7ProtocolData2) && !p.value.empty()) {
                appendMtp3(p.value.subspan(1), format, out, problems);
            }
        }
        if (out.size() == before && !problems.inPacket()) problems.add("M3UA DATA message holds no protocol data");
    }
}

void readM2pa(Octets data, PointCodeFormat format, std::vector<CapturedMessage>& out, Problems& problems) {
    SigtranMessages messages(data, "M2PA");
    for (SigtranMessage m; messages.next(m, problems);) {
        if (m.messageClass != kM2paClass) {
            problems.add("M2PA message class ", m.messageClass, " is not 11");
            continue;
        }
        // Link status messages, and User Data without data (an acknowledgement), carry nothing.
        if (m.type != kM2paUserData || m.body.size() <= kM2paSequenceNumbers) continue;
        appendMtp3(m.body.subspan(kM2paSequenceNumbers + kM2paPriority), format, out, problems);
    }
}

void readM2ua(Octets data, PointCodeFormat format, std::vector<CapturedMessage>& out, Problems& problems) {
    SigtranMessages messages(data, "M2UA");
    for (SigtranMessage m; messages.next(m, problems);) {
        if (m.messageClass != kM2uaMaup || m.type != kM2uaData) continue;
        Parameters parameters(m.body, "M2UA");
        for (Parameter p; parameters.next(p, problems);) {
            if (p.tag == kM2uaProtocolData1)
                appendMtp3(p.value, format, out, problems);
            else if (p.tag == kM2uaProtocolData2 && !p.value.empty())
                appendMtp3(p.value.subspan(1), format, out, problems);
        }
    }
}

}  // namespace truno::capture
