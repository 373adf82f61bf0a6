#pragma once
// Reads a packet capture (pcap or pcapng) of SIGTRAN or MTP links and hands on the MTP3 user
// messages it carries, one at a time, with their point codes and times, and counts what it met.
// Each wire layer has a small reader of its own (run/capture/*); this one strings them together.
// Memory stays bounded whatever the file: the packets are read in large blocks into one reused
// buffer, and the state kept across packets (fragments, recent SCTP TSNs) has fixed limits.
#include "run/capture/CapturedMessage.h"

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// Whether data starting with `head` (at least its first four bytes) is a capture file: a pcap
// magic number in either byte order (microsecond or nanosecond time stamps) or a pcapng section
// header block.
bool isCaptureStart(std::string_view head);

struct CaptureOptions {
    PointCodeFormat pointCodes = PointCodeFormat::Itu;
};

struct CaptureCounts {
    // Every packet record of the file; each falls in exactly one of the five groups below.
    std::uint64_t packets = 0;
    std::uint64_t packetsWithMessages = 0;  // one MTP3 user message or more came out of it
    std::uint64_t packetsHeld = 0;          // only a piece of a fragmented datagram or message
    std::uint64_t packetsOnlyRetransmitted = 0;  // its MTP3 user data had all been seen before
    std::uint64_t packetsOfOtherProtocols = 0;   // no MTP3 user data (SCTP control, M3UA management, ...)
    std::uint64_t packetsUnreadable = 0;         // nothing came out of it and a problem was named
    // Packets with a message of service indicator 5 (ISUP) or 13 (BICC).
    std::uint64_t packetsWithIsupOrBicc = 0;
    std::uint64_t messages = 0;
    std::array<std::uint64_t, 16> messagesByServiceIndicator{};
    // SCTP DATA chunks whose TSN had been seen with the same data in that direction.
    std::uint64_t retransmissionsDropped = 0;
    // SCTP DATA chunks whose TSN had been seen with other data (read as new messages).
    std::uint64_t tsnsReused = 0;
};

class CaptureReader {
public:
    explicit CaptureReader(std::istream& in, CaptureOptions options = {});
    ~CaptureReader();
    CaptureReader(const CaptureReader&) = delete;
    CaptureReader& operator=(const CaptureReader&) = delete;

    // The next MTP3 user message; false at the end of the file or after a fatal error.
    bool next(CapturedMessage& message);

    const CaptureCounts& counts() const;
    // The problems met so far, each a sentence naming the packet and the layer ("packet 17: SCTP
    // chunk length 900 runs past the packet's 120 octets"); the first hundred are kept. A file
    // cut short is named here too.
    const std::vector<std::string>& problems() const;
    // All the problems met, kept or not.
    std::uint64_t problemCount() const;
    // The file ends inside a packet (every complete packet before it was read).
    bool cutShort() const;
    // Why the file could not be read (on): not a capture, a damaged header or block; empty when
    // it could.
    const std::string& fatalError() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace truno
