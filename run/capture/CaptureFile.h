#pragma once
// The file layer of a capture: pcap (either byte order, micro- or nanosecond time stamps) and
// pcapng (sections in either byte order, interfaces with their own link types and time stamp
// resolutions; enhanced, simple and obsolete packet blocks). Hands on one packet record at a
// time, its octets a view into a large reused read buffer.
#include "run/capture/WireOctets.h"

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace truno::capture {

// Reads a stream in large blocks and keeps the octets not yet consumed; a record is a view of
// the buffer, valid until the next call that reads. The buffer starts small and grows to kBlock
// once the stream proves longer, so that a small file costs little.
class ByteSource {
public:
    static constexpr std::size_t kFirstBlock = std::size_t{1} << 16;
    static constexpr std::size_t kBlock = std::size_t{1} << 20;

    explicit ByteSource(std::istream& in);
    // Makes `n` octets available from the read position (n at most kBlock); false when the
    // stream ends before (available() then says how many there are).
    bool ensure(std::size_t n);
    std::size_t available() const { return end_ - begin_; }
    Octets peek(std::size_t n) const { return {buffer_.data() + begin_, n}; }
    void consume(std::size_t n) {
        begin_ += n;
        offset_ += n;
    }
    // Discards up to `n` octets, reading through the stream without keeping them; returns how
    // many there were.
    std::uint64_t skip(std::uint64_t n);
    // Octets consumed since the start of the stream.
    std::uint64_t offset() const { return offset_; }

private:
    void fill();
    std::istream& in_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::uint64_t offset_ = 0;
    bool eof_ = false;
};

// One packet as the file holds it.
struct PacketRecord {
    std::uint64_t number = 0;  // 1-based, counting every packet record of the file
    std::int64_t seconds = 0;  // UTC, since 1970
    std::uint32_t nanoseconds = 0;
    std::uint32_t linkType = 0;
    std::uint32_t interface = 0;  // pcapng interface (0 for pcap)
    std::uint8_t fcsOctets = 0;   // check sequence at the end of each frame, as the file says
    Octets data;                  // the captured octets
    std::uint32_t originalLength = 0;
};

class CaptureFile {
public:
    // Packets and blocks larger than this are skipped (named), never held.
    static constexpr std::size_t kMaxPacket = 262144;
    // pcapng interfaces kept; those described after them are named and their packets skipped.
    static constexpr std::size_t kMaxInterfaces = 4096;

    CaptureFile(std::istream& in, Problems& problems);

    // The next packet record; false at the end of the file or after a fatal error.
    bool next(PacketRecord& record);
    // Why the file could not be read on (empty when it could).
    const std::string& fatalError() const { return fatal_; }
    // The file ends inside a packet record or block.
    bool cutShort() const { return cutShort_; }

private:
    struct Interface {
        std::uint32_t linkType = 0;
        std::uint8_t fcsOctets = 0;
        bool powerOfTwo = false;  // time stamp unit 2^-exponent seconds, otherwise 10^-exponent
        std::uint8_t exponent = 6;
        std::int64_t offsetSeconds = 0;
    };

    void readFileHeader();
    bool nextPcap(PacketRecord& record);
    bool nextPcapng(PacketRecord& record);
    // False when the file ends inside the block (or, with fatal_ set, when it is damaged).
    bool readSectionHeader();
    std::uint64_t sectionLengthAhead() const;
    void readInterface(Octets body);
    bool packetBlock(std::uint32_t type, Octets body, PacketRecord& record);
    void endCutShort(std::string_view what, std::uint64_t had, std::uint64_t wanted, bool ofPacket);
    void fail(std::string text);

    ByteSource source_;
    Problems& problems_;
    enum class Format : std::uint8_t { Unknown, Pcap, Pcapng } format_ = Format::Unknown;
    ByteOrder order_;
    bool nanoseconds_ = false;  // pcap
    std::uint32_t pcapLinkType_ = 0;
    std::uint8_t pcapFcsOctets_ = 0;
    std::vector<Interface> interfaces_;
    std::uint64_t interfacesDescribed_ = 0;  // in the current section, kept or not
    std::uint64_t packets_ = 0;
    bool done_ = false;
    bool cutShort_ = false;
    std::string fatal_;
};

// The time of a count of `units` (each 10^-exponent or 2^-exponent seconds) as seconds and
// nanoseconds.
void splitTimestamp(std::uint64_t units, bool powerOfTwo, std::uint8_t exponent, std::int64_t& seconds,
                    std::uint32_t& nanoseconds);

}  // namespace truno::capture
