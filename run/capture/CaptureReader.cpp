#include "run/capture/CaptureReader.h"

#include "run/capture/CaptureFile.h"
#include "run/capture/IpLayers.h"
#include "run/capture/LinkLayers.h"
#include "run/capture/Mtp.h"
#include "run/capture/Sctp.h"
#include "run/capture/Sigtran.h"

#include <algorithm>

namespace truno {

using namespace capture;

namespace {

// What the dissector name of an exported PDU says its octets are.
enum class PduKind : std::uint8_t { UserPart, Mtp3, M3ua };

struct PduDissector {
    std::string_view name;
    PduKind kind = PduKind::UserPart;
    std::uint8_t serviceIndicator = 0;  // of a user part given alone
};

constexpr PduDissector kPduDissectors[] = {
    {.name = "isup", .kind = PduKind::UserPart, .serviceIndicator = kServiceIndicatorIsup},
    {.name = "bicc", .kind = PduKind::UserPart, .serviceIndicator = kServiceIndicatorBicc},
    {.name = "mtp3", .kind = PduKind::Mtp3},
    {.name = "m3ua", .kind = PduKind::M3ua},
};

// The two ends the tool's own --pcap output gives its messages (RFC 5737 documentation addresses):
// this side sent what comes from the first.
constexpr std::uint8_t kThisSide[4] = {192, 0, 2, 1};
constexpr std::uint8_t kFarSide[4] = {192, 0, 2, 2};

// Link types met that are not read: each is named once.
constexpr std::size_t kNamedLinkTypes = 16;

}  // namespace

bool isCaptureStart(std::string_view head) {
    if (head.size() < 4) return false;
    const auto octet = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(head[i])); };
    const std::uint32_t first = octet(0) << 24 | octet(1) << 16 | octet(2) << 8 | octet(3);
    constexpr std::uint32_t kStarts[] = {0xA1B2C3D4, 0xD4C3B2A1, 0xA1B23C4D, 0x4D3CB2A1, 0x0A0D0D0A};
    return std::find(std::begin(kStarts), std::end(kStarts), first) != std::end(kStarts);
}

struct CaptureReader::State {
    State(std::istream& in, CaptureOptions o) : file(in, problems), options(o) {}

    void readPacket();
    void countPacket();
    void readIp(Octets payload, bool version6);
    void readSctpPacket(const IpPacket& ip, Octets payload);
    void readExportedPdu(Octets payload);
    void readMtp3Into(Octets message) {
        if (!readMtp3(message, options.pointCodes, pending.emplace_back(), problems)) pending.pop_back();
    }
    void finish();

    Problems problems;
    CaptureFile file;
    CaptureOptions options;
    CaptureCounts counts;
    IpReassembly ipFragments;
    SctpAssociations associations;
    PacketRecord record;
    // The messages of the current packet, handed on one by one; their user data are views into
    // the packet, a reassembled datagram, or the arena.
    std::vector<CapturedMessage> pending;
    std::size_t handedOn = 0;
    std::vector<std::uint8_t> arena;
    bool held = false;
    bool retransmitted = false;
    std::array<std::uint32_t, kNamedLinkTypes> namedLinkTypes{};
    std::size_t linkTypesNamed = 0;
    bool finished = false;
};

void CaptureReader::State::readPacket() {
    pending.clear();
    handedOn = 0;
    arena.clear();
    held = false;
    retransmitted = false;
    // A packet the file layer could not give (too large, on an unknown interface) is already named.
    if (!problems.inPacket()) {
        Octets data = record.data;
        // Check bits the file says every frame ends in, unless the frame was cut before them.
        if (record.fcsOctets != 0 && data.size() >= record.fcsOctets && record.originalLength == data.size())
            data = data.first(data.size() - record.fcsOctets);
        const LinkType* link = findLinkType(record.linkType);
        LinkFrame frame;
        if (link == nullptr) {
            const auto end = namedLinkTypes.begin() + static_cast<std::ptrdiff_t>(linkTypesNamed);
            if (std::find(namedLinkTypes.begin(), end, record.linkType) == end && linkTypesNamed < kNamedLinkTypes) {
                namedLinkTypes[linkTypesNamed++] = record.linkType;
                problems.addAt(0, "link type ", record.linkType, " is not read: its packets are counted as other protocols");
            }
        } else if (link->read(data, frame, problems)) {
            SignalUnit unit = SignalUnit::Fill;
            Octets mtp3;
            switch (frame.carried) {
                case Carried::Ipv4:
                case Carried::Ipv6:
                    readIp(frame.payload, frame.carried == Carried::Ipv6);
                    break;
                case Carried::Mtp2:
                case Carried::Mtp2Extended:
                    // Fill-in and link status signal units carry no user data.
                    if (readMtp2(frame.payload, frame.carried == Carried::Mtp2Extended, unit, mtp3, problems) &&
                        unit == SignalUnit::Message)
                        readMtp3Into(mtp3);
                    break;
                case Carried::Mtp3:
                    readMtp3Into(frame.payload);
                    break;
                case Carried::ExportedPdu:
                    readExportedPdu(frame.payload);
                    break;
                case Carried::Nothing:
                    break;
            }
        }
    }
    countPacket();
}

void CaptureReader::State::countPacket() {
    ++counts.packets;
    if (!pending.empty()) {
        ++counts.packetsWithMessages;
        bool isupOrBicc = false;
        for (CapturedMessage& m : pending) {
            m.packet = record.number;
            m.seconds = record.seconds;
            m.nanoseconds = record.nanoseconds;
            ++counts.messages;
            ++counts.messagesByServiceIndicator[m.si & 0x0F];
            isupOrBicc = isupOrBicc || m.si == kServiceIndicatorIsup || m.si == kServiceIndicatorBicc;
        }
        if (isupOrBicc) ++counts.packetsWithIsupOrBicc;
    } else if (problems.inPacket()) {
        ++counts.packetsUnreadable;
    } else if (held) {
        ++counts.packetsHeld;
    } else if (retransmitted) {
        ++counts.packetsOnlyRetransmitted;
    } else {
        ++counts.packetsOfOtherProtocols;
    }
    counts.tsnsReused = associations.tsnsReused();
}

void CaptureReader::State::readIp(Octets payload, bool version6) {
    IpPacket ip;
    if (!(version6 ? readIpv6(payload, ip, problems) : readIpv4(payload, ip, problems))) return;
    Octets whole = ip.payload;
    if (ip.fragment && !ipFragments.add(ip, record.number, record.seconds, whole, problems)) {
        held = !problems.inPacket();
        return;
    }
    if (ip.protocol == kIpProtocolSctp) readSctpPacket(ip, whole);
}

void CaptureReader::State::readSctpPacket(const IpPacket& ip, Octets payload) {
    SctpPacket sctp;
    if (!readSctp(payload, sctp, problems)) return;
    AssociationKey key;
    key.source = ip.source;
    key.destination = ip.destination;
    key.addressSize = static_cast<std::uint8_t>(ip.addressSize());
    key.sourcePort = sctp.sourcePort;
    key.destinationPort = sctp.destinationPort;
    SctpChunks chunks(sctp.chunks);
    for (SctpChunk chunk; chunks.next(chunk, problems);) {
        if (chunk.type == kChunkInit || chunk.type == kChunkInitAck) {
            associations.restart(key, problems);
        } else if (chunk.type == kChunkAbort || chunk.type == kChunkShutdownComplete) {
            associations.end(key, problems);
        } else if (chunk.type == kChunkData) {
            SctpData data;
            if (!readSctpData(chunk, data, problems)) continue;
            const Adaptation* adaptation = findAdaptation(data.protocol, sctp.sourcePort, sctp.destinationPort);
            if (adaptation == nullptr) continue;  // another protocol's data
            // Room for every message one packet can complete, so that views into the arena stay
            // valid; taken before the first fragment, while nothing views it.
            if (!(data.beginning && data.ending) && arena.capacity() == 0)
                arena.reserve(SctpAssociations::kMaxHeldOctets + std::max(CaptureFile::kMaxPacket, IpReassembly::kMaxDatagram));
            Octets message;
            switch (associations.deliver(key, data, record.number, arena, message, problems)) {
                case SctpAssociations::Delivery::Message:
                    adaptation->read(message, options.pointCodes, pending, problems);
                    break;
                case SctpAssociations::Delivery::Held:
                    held = true;
                    break;
                case SctpAssociations::Delivery::Retransmission:
                    ++counts.retransmissionsDropped;
                    retransmitted = true;
                    break;
                case SctpAssociations::Delivery::Dropped:
                    break;
            }
        }
    }
}

void CaptureReader::State::readExportedPdu(Octets payload) {
    ExportedPdu pdu;
    if (!capture::readExportedPdu(payload, pdu, problems)) return;
    const PduDissector* dissector = nullptr;
    for (const PduDissector& row : kPduDissectors)
        if (row.name == pdu.dissector) dissector = &row;
    if (dissector == nullptr) return;  // another protocol (the tool's own "data" for text octets)
    switch (dissector->kind) {
        case PduKind::UserPart: {
            CapturedMessage& m = pending.emplace_back();
            m.si = dissector->serviceIndicator;
            m.pointCodesKnown = false;
            m.userData = pdu.pdu;
            if (pdu.hasSource && std::equal(std::begin(kThisSide), std::end(kThisSide), std::begin(pdu.source)))
                m.sentByThisSide = true;
            else if (pdu.hasSource && std::equal(std::begin(kFarSide), std::end(kFarSide), std::begin(pdu.source)))
                m.sentByThisSide = false;
            break;
        }
        case PduKind::Mtp3:
            readMtp3Into(pdu.pdu);
            break;
        case PduKind::M3ua:
            readM3ua(pdu.pdu, options.pointCodes, pending, problems);
            break;
    }
}

void CaptureReader::State::finish() {
    finished = true;
    problems.beginPacket(0);
    ipFragments.finish(problems);
    associations.finish(problems);
}

CaptureReader::CaptureReader(std::istream& in, CaptureOptions options) : state_(std::make_unique<State>(in, options)) {}

CaptureReader::~CaptureReader() = default;

bool CaptureReader::next(CapturedMessage& message) {
    State& s = *state_;
    while (s.handedOn == s.pending.size()) {
        if (s.finished) return false;
        if (!s.file.next(s.record)) {
            s.finish();
            return false;
        }
        s.readPacket();
    }
    message = s.pending[s.handedOn++];
    return true;
}

const CaptureCounts& CaptureReader::counts() const { return state_->counts; }
const std::vector<std::string>& CaptureReader::problems() const { return state_->problems.kept(); }
std::uint64_t CaptureReader::problemCount() const { return state_->problems.total(); }
bool CaptureReader::cutShort() const { return state_->file.cutShort(); }
const std::string& CaptureReader::fatalError() const { return state_->file.fatalError(); }

}  // namespace truno
