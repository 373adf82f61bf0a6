// Fuzz target: arbitrary bytes as a capture file (pcap or pcapng), read to the end with ITU or
// ANSI point codes (the last byte says). Whatever the input, the reader must end, every packet
// must be counted in exactly one group, the messages must come in packet order with every
// octet of their user data readable, and the problems kept must stay bounded.
#include "run/capture/CaptureReader.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    truno::CaptureOptions options;
    if (size != 0 && (data[size - 1] & 1) != 0) options.pointCodes = truno::PointCodeFormat::Ansi;
    truno::CaptureReader reader(in, options);
    std::uint64_t messages = 0;
    std::uint64_t lastPacket = 0;
    unsigned sum = 0;
    for (truno::CapturedMessage m; reader.next(m);) {
        ++messages;
        if (m.packet < lastPacket || m.packet == 0 || m.si > 15) std::abort();
        lastPacket = m.packet;
        if (m.nanoseconds >= 1000000000u) std::abort();
        for (const std::uint8_t octet : m.userData) sum += octet;  // ASan sees a view past its buffer
    }
    const truno::CaptureCounts& c = reader.counts();
    if (c.packets != c.packetsWithMessages + c.packetsHeld + c.packetsOnlyRetransmitted + c.packetsOfOtherProtocols + c.packetsUnreadable)
        std::abort();
    if (c.messages != messages || lastPacket > c.packets || c.packetsWithIsupOrBicc > c.packetsWithMessages) std::abort();
    std::uint64_t bySi = 0;
    for (const std::uint64_t n : c.messagesByServiceIndicator) bySi += n;
    if (bySi != messages) std::abort();
    if (reader.problems().size() > 100 || reader.problems().size() > reader.problemCount()) std::abort();
    static volatile unsigned sink = 0;
    sink = sum;
    return 0;
}
