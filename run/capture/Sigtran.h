#pragma once
// The SIGTRAN adaptation layers that SCTP carries MTP3 user messages in: M3UA (RFC 4666, and
// the Protocol Data 1 and 2 parameters of its drafts 6 and 7), M2PA (RFC 4165) and M2UA (RFC 3331).
#include "run/capture/CapturedMessage.h"
#include "run/capture/WireOctets.h"

#include <string_view>
#include <vector>

namespace truno::capture {

// Reads the adaptation-layer messages of one SCTP user message and appends each MTP3 user
// message found to `out` (its user data a view into `data`). Messages of other kinds (management,
// link status) add nothing.
using AdaptationReader = void (*)(Octets data, PointCodeFormat format, std::vector<CapturedMessage>& out, Problems& problems);

struct Adaptation {
    std::string_view name;
    std::uint32_t payloadProtocol = 0;  // SCTP payload protocol identifier (IANA)
    std::uint16_t port = 0;             // the registered SCTP port, for a payload protocol identifier of 0
    AdaptationReader read = nullptr;
};

// The adaptation layer of a DATA chunk: by its payload protocol identifier or, where that is 0 or
// none of the table's, by either port; nullptr for any other.
const Adaptation* findAdaptation(std::uint32_t payloadProtocol, std::uint16_t sourcePort, std::uint16_t destinationPort);

void readM3ua(Octets data, PointCodeFormat format, std::vector<CapturedMessage>& out, Problems& problems);
void readM2pa(Octets data, PointCodeFormat format, std::vector<CapturedMessage>& out, Problems& problems);
void readM2ua(Octets data, PointCodeFormat format, std::vector<CapturedMessage>& out, Problems& problems);

}  // namespace truno::capture
