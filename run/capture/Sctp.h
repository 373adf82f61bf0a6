#pragma once
// SCTP (RFC 9260): the common header, the walk over a packet's chunks, DATA chunks, and the
// state kept per association and direction: recent TSNs (to drop retransmitted DATA) and the
// fragments of user messages split over several DATA chunks, all with bounded memory.
#include "run/capture/WireOctets.h"

#include <array>
#include <cstdint>
#include <vector>

namespace truno::capture {

inline constexpr std::uint8_t kIpProtocolSctp = 132;

// Chunk types that change what is kept of an association.
inline constexpr std::uint8_t kChunkData = 0;
inline constexpr std::uint8_t kChunkInit = 1;
inline constexpr std::uint8_t kChunkInitAck = 2;
inline constexpr std::uint8_t kChunkAbort = 6;
inline constexpr std::uint8_t kChunkShutdownComplete = 14;

struct SctpPacket {
    std::uint16_t sourcePort = 0;
    std::uint16_t destinationPort = 0;
    Octets chunks;
};

bool readSctp(Octets packet, SctpPacket& out, Problems& problems);

struct SctpChunk {
    std::uint8_t type = 0;
    std::uint8_t flags = 0;
    Octets value;  // after the chunk's 4-octet header, without its padding
};

// The chunks of a packet, one at a time: each advances by its length padded to four octets, and
// by at least its 4-octet header whatever its length says; a length past the packet ends the walk
// with a problem.
class SctpChunks {
public:
    explicit SctpChunks(Octets chunks) : rest_(chunks), size_(chunks.size()) {}
    bool next(SctpChunk& chunk, Problems& problems);

private:
    Octets rest_;
    std::size_t size_;
};

struct SctpData {
    std::uint32_t tsn = 0;
    std::uint16_t stream = 0;
    std::uint32_t protocol = 0;  // payload protocol identifier
    bool beginning = false;
    bool ending = false;
    Octets userData;
};

bool readSctpData(const SctpChunk& chunk, SctpData& out, Problems& problems);

// One direction of an association: addresses and ports from sender to receiver.
struct AssociationKey {
    std::array<std::uint8_t, 16> source{};
    std::array<std::uint8_t, 16> destination{};
    std::uint16_t sourcePort = 0;
    std::uint16_t destinationPort = 0;
    std::uint8_t addressSize = 4;
    bool operator==(const AssociationKey&) const = default;
    AssociationKey reversed() const;
};

class SctpAssociations {
public:
    static constexpr std::size_t kMaxAssociations = 128;  // directions; the least recently used goes
    static constexpr std::uint32_t kTsnWindow = 1024;      // recent TSNs remembered per direction
    static constexpr std::size_t kMaxFragments = 64;       // held per direction
    static constexpr std::size_t kMaxHeldOctets = 65536;   // held per direction

    enum class Delivery : std::uint8_t {
        Message,         // a whole user message: `message`
        Held,            // a fragment kept until its message is whole
        Retransmission,  // a TSN already seen with the same data: dropped
        Dropped,         // a fragment that cannot be kept (named)
    };

    SctpAssociations();
    // A DATA chunk sent along `key`. A reassembled message is appended to `arena`, whose capacity
    // the caller has reserved (at least kMaxHeldOctets more than its size), so that earlier views
    // into it stay valid.
    Delivery deliver(const AssociationKey& key, const SctpData& data, std::uint64_t packet, std::vector<std::uint8_t>& arena,
                     Octets& message, Problems& problems);
    // An INIT or INIT ACK sent along `key`: its sender's TSNs start again.
    void restart(const AssociationKey& key, Problems& problems);
    // An ABORT or SHUTDOWN COMPLETE: both directions are forgotten.
    void end(const AssociationKey& key, Problems& problems);
    // Names the fragments still held and forgets everything.
    void finish(Problems& problems);
    // DATA chunks whose TSN came again with other data (read as new messages).
    std::uint64_t tsnsReused() const { return tsnsReused_; }

private:
    struct TsnSlot {
        std::uint32_t tsn = 0;
        std::uint32_t hash = 0;
        std::uint32_t size = 0;
        bool used = false;
    };
    struct Fragment {
        std::uint32_t tsn = 0;
        std::uint16_t stream = 0;
        bool beginning = false;
        bool ending = false;
        std::uint64_t packet = 0;
        std::size_t offset = 0;  // in `held`
        std::size_t size = 0;
    };
    struct Association {
        AssociationKey key;
        bool used = false;
        std::uint64_t lastPacket = 0;
        bool anyTsn = false;
        std::uint32_t highestTsn = 0;
        std::vector<TsnSlot> window;
        std::vector<Fragment> fragments;  // in the order they came
        std::vector<std::uint8_t> held;
    };

    Association* find(const AssociationKey& key);
    Association& findOrAdd(const AssociationKey& key, std::uint64_t packet, Problems& problems);
    bool seenBefore(Association& a, const SctpData& data);
    void forget(Association& a, std::string_view why, Problems& problems);
    void dropOldestFragment(Association& a, std::string_view why, Problems& problems);
    std::size_t fragmentAt(const Association& a, std::uint32_t tsn, std::uint16_t stream) const;
    bool assemble(Association& a, std::size_t newest, std::vector<std::uint8_t>& arena, Octets& message);

    std::vector<Association> associations_;
    std::size_t last_ = 0;
    std::uint64_t tsnsReused_ = 0;
};

}  // namespace truno::capture
