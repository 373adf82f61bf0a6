// The pcap and pcapng file formats (draft-ietf-opsawg-pcap, draft-ietf-opsawg-pcapng).
#include "run/capture/CaptureFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace truno::capture {
namespace {

// pcap: the magic number as the writer's machine wrote it, read as little-endian.
constexpr std::uint32_t kMicroseconds = 0xA1B2C3D4;
constexpr std::uint32_t kMicrosecondsSwapped = 0xD4C3B2A1;
constexpr std::uint32_t kNanoseconds = 0xA1B23C4D;
constexpr std::uint32_t kNanosecondsSwapped = 0x4D3CB2A1;
constexpr std::size_t kPcapHeader = 24;
constexpr std::size_t kPcapRecordHeader = 16;
// The link type field's upper bits: bit 26 says bits 31-28 give the frame check sequence's
// length in 16-bit words.
constexpr std::uint32_t kFcsPresent = 0x04000000;

// pcapng blocks: type, total length, body, total length again.
constexpr std::uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr std::uint32_t kInterfaceDescriptionBlock = 1;
constexpr std::uint32_t kObsoletePacketBlock = 2;
constexpr std::uint32_t kSimplePacketBlock = 3;
constexpr std::uint32_t kEnhancedPacketBlock = 6;
constexpr std::size_t kBlockFrame = 12;  // type, length, trailing length
constexpr std::size_t kMinSectionHeader = 28;
// A block held whole: the largest packet and room for its header and options.
constexpr std::size_t kMaxBlock = CaptureFile::kMaxPacket + 65536;
// Interface options (draft-ietf-opsawg-pcapng, 4.2).
constexpr std::uint16_t kEndOfOptions = 0;
constexpr std::uint16_t kTimestampResolution = 9;
constexpr std::uint16_t kFcsLength = 13;
constexpr std::uint16_t kTimestampOffset = 14;

std::uint64_t pow10(std::uint8_t exponent) {
    std::uint64_t p = 1;
    for (std::uint8_t i = 0; i < exponent; ++i) p *= 10;
    return p;
}

}  // namespace

void splitTimestamp(std::uint64_t units, bool powerOfTwo, std::uint8_t exponent, std::int64_t& seconds,
                    std::uint32_t& nanoseconds) {
    constexpr std::uint64_t kBillion = 1000000000;
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;  // in nanoseconds
    if (powerOfTwo) {
        whole = exponent >= 64 ? 0 : units >> exponent;
        const std::uint64_t rest = exponent >= 64 ? units : units & ((std::uint64_t{1} << exponent) - 1);
        // rest * 10^9 / 2^exponent without overflow: 10^9 < 2^30.
        fraction = exponent <= 30 ? (rest * kBillion) >> exponent : ((rest >> (exponent - 30)) * kBillion) >> 30;
    } else {
        const std::uint64_t perSecond = pow10(exponent);
        whole = units / perSecond;
        const std::uint64_t rest = units % perSecond;
        fraction = exponent <= 9 ? rest * pow10(static_cast<std::uint8_t>(9 - exponent)) : rest / pow10(static_cast<std::uint8_t>(exponent - 9));
    }
    seconds = static_cast<std::int64_t>(whole);
    nanoseconds = static_cast<std::uint32_t>(fraction);
}

ByteSource::ByteSource(std::istream& in) : in_(in), buffer_(kFirstBlock) {}

void ByteSource::fill() {
    if (eof_ || end_ == buffer_.size()) return;
    // Read through the stream's buffer: a file followed as it grows hands on what it holds so
    // far, fewer octets than asked, and only nothing at its end.
    std::streambuf* const buffer = in_.rdbuf();
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): streams read chars
    const std::streamsize got = buffer == nullptr ? 0 : buffer->sgetn(reinterpret_cast<char*>(buffer_.data() + end_),
                                                                     static_cast<std::streamsize>(buffer_.size() - end_));
    if (got <= 0) {
        eof_ = true;
        in_.setstate(std::ios::eofbit);
        return;
    }
    end_ += static_cast<std::size_t>(got);
}

bool ByteSource::ensure(std::size_t n) {
    while (available() < n) {
        if (eof_) return false;
        if (buffer_.size() - begin_ < n || end_ == buffer_.size()) {
            std::memmove(buffer_.data(), buffer_.data() + begin_, available());
            end_ -= begin_;
            begin_ = 0;
            // A stream longer than the first block is read in large blocks from here on.
            if (buffer_.size() < kBlock && (offset_ != 0 || n > buffer_.size())) buffer_.resize(kBlock);
        }
        fill();
    }
    return true;
}

std::uint64_t ByteSource::skip(std::uint64_t n) {
    std::uint64_t skipped = 0;
    while (skipped < n) {
        if (available() == 0) {
            begin_ = end_ = 0;
            if (eof_) break;
            fill();
            continue;
        }
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(n - skipped, available()));
        consume(step);
        skipped += step;
    }
    return skipped;
}

CaptureFile::CaptureFile(std::istream& in, Problems& problems) : source_(in), problems_(problems) {
    readFileHeader();
}

void CaptureFile::fail(std::string text) {
    fatal_ = std::move(text);
    done_ = true;
}

void CaptureFile::endCutShort(std::string_view what, std::uint64_t had, std::uint64_t wanted, bool ofPacket) {
    cutShort_ = true;
    done_ = true;
    // Named with its packet, or with none when it is a block between packets.
    problems_.addAt(ofPacket ? packets_ : 0, "the file ends after ", had, " of the ", wanted, " octets of ", what, " (cut short)");
}

void CaptureFile::readFileHeader() {
    if (!source_.ensure(4)) {
        fail(source_.available() == 0 ? "the file is empty" : "the file is too short for a capture file header");
        return;
    }
    const std::uint32_t magic = le32(source_.peek(4), 0);
    if (magic == kSectionHeaderBlock) {
        format_ = Format::Pcapng;
        if (!readSectionHeader() && !done_) fail("the file ends inside its pcapng section header");
        return;
    }
    if (magic != kMicroseconds && magic != kMicrosecondsSwapped && magic != kNanoseconds && magic != kNanosecondsSwapped) {
        fail("not a pcap or pcapng capture file (no magic number at its start)");
        return;
    }
    if (!source_.ensure(kPcapHeader)) {
        fail("the file ends inside its pcap file header");
        return;
    }
    format_ = Format::Pcap;
    order_.big = magic == kMicrosecondsSwapped || magic == kNanosecondsSwapped;
    nanoseconds_ = magic == kNanoseconds || magic == kNanosecondsSwapped;
    const Octets header = source_.peek(kPcapHeader);
    // The snap length (octets 16-19) is not used: records are bounded by kMaxPacket whatever it says.
    const std::uint32_t linkField = order_.u32(header, 20);
    pcapLinkType_ = linkField & 0xFFFF;
    if ((linkField & kFcsPresent) != 0) pcapFcsOctets_ = static_cast<std::uint8_t>((linkField >> 28) * 2);
    source_.consume(kPcapHeader);
}

bool CaptureFile::next(PacketRecord& record) {
    if (done_) return false;
    return format_ == Format::Pcap ? nextPcap(record) : nextPcapng(record);
}

bool CaptureFile::nextPcap(PacketRecord& record) {
    if (!source_.ensure(kPcapRecordHeader)) {
        if (source_.available() != 0) {
            problems_.beginPacket(++packets_);
            endCutShort("a packet record header", source_.available(), kPcapRecordHeader, true);
        }
        done_ = true;
        return false;
    }
    const Octets header = source_.peek(kPcapRecordHeader);
    const std::uint32_t captured = order_.u32(header, 8);
    record = PacketRecord{};
    record.number = ++packets_;
    problems_.beginPacket(record.number);
    const std::uint64_t fraction = order_.u32(header, 4);
    const std::uint64_t perSecond = nanoseconds_ ? 1000000000 : 1000000;
    record.seconds = static_cast<std::int64_t>(order_.u32(header, 0) + fraction / perSecond);
    record.nanoseconds = static_cast<std::uint32_t>((fraction % perSecond) * (nanoseconds_ ? 1 : 1000));
    record.linkType = pcapLinkType_;
    record.fcsOctets = pcapFcsOctets_;
    record.originalLength = order_.u32(header, 12);
    if (captured > kMaxPacket) {
        problems_.add("its captured length of ", captured, " octets is more than the ", kMaxPacket,
                      " read of a packet: skipped");
        source_.consume(kPcapRecordHeader);
        const std::uint64_t skipped = source_.skip(captured);
        if (skipped < captured) endCutShort("the packet", skipped, captured, true);
        return true;
    }
    if (!source_.ensure(kPcapRecordHeader + captured)) {
        endCutShort("the packet", source_.available() - kPcapRecordHeader, captured, true);
        return false;
    }
    record.data = source_.peek(kPcapRecordHeader + captured).subspan(kPcapRecordHeader);
    source_.consume(kPcapRecordHeader + captured);
    return true;
}

// The length of the section header block at the read position, as far as the octets there tell.
std::uint64_t CaptureFile::sectionLengthAhead() const {
    if (source_.available() < kBlockFrame) return kMinSectionHeader;
    const Octets start = source_.peek(kBlockFrame);
    return le32(start, 8) == kByteOrderMagic ? le32(start, 4) : be32(start, 4);
}

// Reads the section header block at the read position (its byte-order magic tells the order
// of every number of the section, its own length included).
bool CaptureFile::readSectionHeader() {
    if (!source_.ensure(kBlockFrame)) return false;
    const Octets start = source_.peek(kBlockFrame);
    const std::uint32_t magic = le32(start, 8);
    if (magic != kByteOrderMagic && be32(start, 8) != kByteOrderMagic) {
        fail("the pcapng section header at octet " + std::to_string(source_.offset()) + " has no byte-order magic");
        return false;
    }
    order_.big = magic != kByteOrderMagic;
    const std::uint32_t length = order_.u32(start, 4);
    if (length < kMinSectionHeader || length % 4 != 0) {
        fail("the pcapng section header at octet " + std::to_string(source_.offset()) + " has length " +
             std::to_string(length) + (length < kMinSectionHeader ? ", less than the 28 octets of its fixed part"
                                                                   : ", not a multiple of 4"));
        return false;
    }
    if (!source_.ensure(16)) return false;
    const std::uint16_t major = order_.u16(source_.peek(16), 12);
    if (major != 1) {
        fail("pcapng version " + std::to_string(major) + " is not read (only version 1)");
        return false;
    }
    if (length > kMaxBlock) {
        fail("the pcapng section header at octet " + std::to_string(source_.offset()) + " has length " + std::to_string(length) +
             ", more than the " + std::to_string(kMaxBlock) + " read");
        return false;
    }
    if (!source_.ensure(length)) return false;
    interfaces_.clear();
    interfacesDescribed_ = 0;
    source_.consume(length);
    return true;
}

void CaptureFile::readInterface(Octets body) {
    ++interfacesDescribed_;
    if (interfaces_.size() >= kMaxInterfaces) {
        if (interfacesDescribed_ == kMaxInterfaces + 1)
            problems_.addAt(0, "pcapng interfaces past the first ", kMaxInterfaces, " of a section are not kept: their packets are skipped");
        return;
    }
    Interface described;
    if (body.size() >= 8) described.linkType = order_.u16(body, 0);
    for (std::size_t at = 8; at + 4 <= body.size();) {
        const std::uint16_t code = order_.u16(body, at);
        const std::uint16_t length = order_.u16(body, at + 2);
        if (code == kEndOfOptions) break;
        if (at + 4 + length > body.size()) {
            problems_.addAt(0, "pcapng interface ", interfaces_.size(), ": option ", code, " of length ", length,
                          " runs past its block");
            break;
        }
        const Octets value = body.subspan(at + 4, length);
        if (code == kTimestampResolution && length >= 1) {
            described.powerOfTwo = (value[0] & 0x80) != 0;
            described.exponent = static_cast<std::uint8_t>(value[0] & 0x7F);
            if (described.exponent > (described.powerOfTwo ? 63 : 19)) {
                problems_.addAt(0, "pcapng interface ", interfaces_.size(), ": time stamp resolution ",
                              described.powerOfTwo ? "2^-" : "10^-", described.exponent,
                              " is past what is read: microseconds taken");
                described.powerOfTwo = false;
                described.exponent = 6;
            }
        } else if (code == kFcsLength && length >= 1) {
            described.fcsOctets = value[0];
        } else if (code == kTimestampOffset && length >= 8) {
            described.offsetSeconds = static_cast<std::int64_t>(
                order_.big ? std::uint64_t{be32(value, 0)} << 32 | be32(value, 4) : std::uint64_t{le32(value, 4)} << 32 | le32(value, 0));
        }
        at += 4 + paddedTo4(length);
    }
    interfaces_.push_back(described);
}

bool CaptureFile::nextPcapng(PacketRecord& record) {
    for (;;) {
        if (!source_.ensure(8)) {
            if (source_.available() != 0) endCutShort("a block header", source_.available(), 8, false);
            done_ = true;
            return false;
        }
        const Octets head = source_.peek(8);
        const std::uint32_t type = order_.u32(head, 0);
        if (le32(head, 0) == kSectionHeaderBlock) {
            if (!readSectionHeader()) {
                if (!done_) endCutShort("a section header block", source_.available(), sectionLengthAhead(), false);
                return false;
            }
            continue;
        }
        const std::uint32_t length = order_.u32(head, 4);
        if (length < kBlockFrame || length % 4 != 0) {
            fail("the pcapng block at octet " + std::to_string(source_.offset()) + " (type " + std::to_string(type) +
                 ") has length " + std::to_string(length) +
                 (length < kBlockFrame ? ", less than the 12 octets of a block" : ", not a multiple of 4"));
            return false;
        }
        const bool packet = type == kEnhancedPacketBlock || type == kSimplePacketBlock || type == kObsoletePacketBlock;
        if (length > kMaxBlock) {
            // Too large to hold: skipped, whatever it is (an interface keeps its place, with the
            // link type from its first octets).
            if (packet) {
                record = PacketRecord{};
                record.number = ++packets_;
                problems_.beginPacket(record.number);
                problems_.add("its pcapng block of ", length, " octets is more than the ", kMaxBlock, " read: skipped");
            } else if (type == kInterfaceDescriptionBlock) {
                if (!source_.ensure(12)) {
                    endCutShort("a block", source_.available(), length, false);
                    return false;
                }
                readInterface(source_.peek(12).subspan(8));
                problems_.addAt(0, "pcapng interface ", interfacesDescribed_ - 1, ": its block of ", length,
                              " octets is more than the ", kMaxBlock, " read: its options are not read");
            }
            const std::uint64_t skipped = source_.skip(length);
            if (skipped < length) {
                endCutShort(packet ? "its block" : "a block", skipped, length, packet);
                return packet;
            }
            if (packet) return true;
            continue;
        }
        if (!source_.ensure(length)) {
            if (packet) {
                record = PacketRecord{};
                record.number = ++packets_;
                problems_.beginPacket(record.number);
            }
            endCutShort(packet ? "its block" : "a block", source_.available(), length, packet);
            return false;
        }
        const Octets block = source_.peek(length);
        if (order_.u32(block, length - 4) != length) {
            fail("the pcapng block at octet " + std::to_string(source_.offset()) + " (type " + std::to_string(type) +
                 ") ends with length " + std::to_string(order_.u32(block, length - 4)) + ", not its length " +
                 std::to_string(length));
            return false;
        }
        const Octets body = block.subspan(8, length - kBlockFrame);
        source_.consume(length);  // the block's octets stay in the buffer until the next read
        if (type == kInterfaceDescriptionBlock) {
            readInterface(body);
        } else if (packet) {
            record = PacketRecord{};
            record.number = ++packets_;
            problems_.beginPacket(record.number);
            packetBlock(type, body, record);
            return true;
        }
        // Other blocks (name resolution, statistics, secrets, custom) say nothing of the packets.
    }
}

// The fields of a packet block; a record whose data is left empty was named as a problem.
bool CaptureFile::packetBlock(std::uint32_t type, Octets body, PacketRecord& record) {
    std::size_t fixed = 0;
    std::uint32_t interface = 0;
    std::uint64_t stamp = 0;
    std::uint32_t captured = 0;
    if (type == kSimplePacketBlock) {
        fixed = 4;
        if (body.size() < fixed) {
            problems_.add("its pcapng simple packet block is shorter than its fixed fields");
            return false;
        }
        record.originalLength = order_.u32(body, 0);
        captured = static_cast<std::uint32_t>(std::min<std::size_t>(record.originalLength, body.size() - fixed));
    } else {
        fixed = 20;
        if (body.size() < fixed) {
            problems_.add("its pcapng packet block is shorter than its fixed fields");
            return false;
        }
        const bool obsolete = type == kObsoletePacketBlock;
        interface = obsolete ? order_.u16(body, 0) : order_.u32(body, 0);
        stamp = std::uint64_t{order_.u32(body, 4)} << 32 | order_.u32(body, 8);
        captured = order_.u32(body, 12);
        record.originalLength = order_.u32(body, 16);
    }
    record.interface = interface;
    if (interface >= interfaces_.size()) {
        if (interface < interfacesDescribed_)
            problems_.add("pcapng interface ", interface, " is past the ", kMaxInterfaces, " kept: the packet is skipped");
        else
            problems_.add("pcapng interface ", interface, " is not described (", interfaces_.size(),
                          interfaces_.size() == 1 ? " interface" : " interfaces", " before it)");
        return false;
    }
    if (captured > body.size() - fixed) {
        problems_.add("its captured length of ", captured, " octets runs past the ", body.size() - fixed,
                      " of its pcapng block");
        return false;
    }
    const Interface& on = interfaces_[interface];
    record.linkType = on.linkType;
    record.fcsOctets = on.fcsOctets;
    if (type != kSimplePacketBlock) {
        splitTimestamp(stamp, on.powerOfTwo, on.exponent, record.seconds, record.nanoseconds);
        // The offset comes from the file: the sum wraps rather than overflows.
        record.seconds = static_cast<std::int64_t>(static_cast<std::uint64_t>(record.seconds) + static_cast<std::uint64_t>(on.offsetSeconds));
    }
    record.data = body.subspan(fixed, captured);
    return true;
}

}  // namespace truno::capture
