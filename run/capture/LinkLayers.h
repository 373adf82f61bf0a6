#pragma once
// The link layers of a capture, one reader per link type (the LINKTYPE_ numbers of pcap and
// pcapng): each takes a frame and gives what it carries and where that starts.
#include "run/capture/WireOctets.h"

#include <cstdint>
#include <string_view>

namespace truno::capture {

// What a frame carries, after its link-layer header.
enum class Carried : std::uint8_t {
    Nothing,       // another protocol (ARP, LLC, ...): not read
    Ipv4,
    Ipv6,
    Mtp2,          // an MTP2 signal unit (Q.703)
    Mtp2Extended,  // one with the extended sequence numbers of Q.703 Annex A
    Mtp3,          // an MTP3 message (Q.704): service information octet, routing label, user part
    ExportedPdu,   // tags naming a dissector and the message's ends, then the message
};

struct LinkFrame {
    Carried carried = Carried::Nothing;
    Octets payload;
};

// Reads the link-layer header; false (with a problem named) when the frame is too short for it.
using LinkReader = bool (*)(Octets frame, LinkFrame& out, Problems& problems);

struct LinkType {
    std::uint32_t number = 0;
    std::string_view name;
    LinkReader read = nullptr;
};

// The row of a link type read here; nullptr for any other.
const LinkType* findLinkType(std::uint32_t number);

// An exported PDU (LINKTYPE_WIRESHARK_UPPER_PDU): the dissector its tags name, the IPv4 ends
// when given, and the PDU after the tags.
struct ExportedPdu {
    std::string_view dissector;
    bool hasSource = false;
    std::uint8_t source[4] = {};
    Octets pdu;
};

bool readExportedPdu(Octets frame, ExportedPdu& out, Problems& problems);

}  // namespace truno::capture
