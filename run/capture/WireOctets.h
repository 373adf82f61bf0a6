#pragma once
// What every reader of a wire layer shares: a span of octets and its big- and little-endian
// numbers (the caller checks the length before each read), and the bounded list of problems,
// each a sentence that names the packet and the layer.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace truno::capture {

using Octets = std::span<const std::uint8_t>;

inline std::uint16_t be16(Octets o, std::size_t at) {
    return static_cast<std::uint16_t>(o[at] << 8 | o[at + 1]);
}
inline std::uint32_t be24(Octets o, std::size_t at) {
    return std::uint32_t{o[at]} << 16 | std::uint32_t{o[at + 1]} << 8 | o[at + 2];
}
inline std::uint32_t be32(Octets o, std::size_t at) {
    return std::uint32_t{o[at]} << 24 | std::uint32_t{o[at + 1]} << 16 | std::uint32_t{o[at + 2]} << 8 | o[at + 3];
}
inline std::uint16_t le16(Octets o, std::size_t at) {
    return static_cast<std::uint16_t>(o[at] | o[at + 1] << 8);
}
inline std::uint32_t le24(Octets o, std::size_t at) {
    return std::uint32_t{o[at]} | std::uint32_t{o[at + 1]} << 8 | std::uint32_t{o[at + 2]} << 16;
}
inline std::uint32_t le32(Octets o, std::size_t at) {
    return std::uint32_t{o[at]} | std::uint32_t{o[at + 1]} << 8 | std::uint32_t{o[at + 2]} << 16 | std::uint32_t{o[at + 3]} << 24;
}

// A number written in hex in a problem's sentence ("0x0210").
struct Hex {
    std::uint32_t value = 0;
    int digits = 4;
};

// A 16- or 32-bit number in the byte order of a file (pcap and pcapng write their numbers in
// the order of the machine that wrote them; the magic number tells which).
struct ByteOrder {
    bool big = false;
    std::uint16_t u16(Octets o, std::size_t at) const { return big ? be16(o, at) : le16(o, at); }
    std::uint32_t u32(Octets o, std::size_t at) const { return big ? be32(o, at) : le32(o, at); }
};

// Octets rounded up to a multiple of four (SCTP chunks, SIGTRAN parameters, pcapng blocks).
inline std::size_t paddedTo4(std::size_t n) { return (n + 3) / 4 * 4; }

// "10.1.2.3" or an IPv6 address in groups of hex digits (not shortened).
std::string addressText(Octets address);

// The problems met while reading a capture: the first kKept sentences are kept, the rest only
// counted, so that memory stays the same whatever the file. Each sentence is built only when it
// is kept.
class Problems {
public:
    static constexpr std::size_t kKept = 100;

    // The packet the next problems belong to (0: the file itself, before its first packet).
    void beginPacket(std::uint64_t packet) {
        packet_ = packet;
        inPacket_ = false;
    }
    // "packet 17: " (or nothing for the file) followed by the parts, numbers written in decimal.
    template <typename... Parts>
    void add(const Parts&... parts) {
        addAt(packet_, parts...);
    }
    // The same for an earlier packet (a fragment first seen there that never completed).
    template <typename... Parts>
    void addAt(std::uint64_t packet, const Parts&... parts) {
        ++total_;
        if (packet == packet_) inPacket_ = true;
        if (kept_.size() >= kKept) return;
        std::string text;
        if (packet != 0) {
            text = "packet ";
            append(text, packet);
            text += ": ";
        }
        (append(text, parts), ...);
        kept_.push_back(std::move(text));
    }

    // Whether a problem was added for the current packet since beginPacket().
    bool inPacket() const { return inPacket_; }
    const std::vector<std::string>& kept() const { return kept_; }
    std::uint64_t total() const { return total_; }

private:
    static void append(std::string& text, std::string_view part) { text += part; }
    static void append(std::string& text, const char* part) { text += part; }
    static void append(std::string& text, Hex hex) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        text += "0x";
        for (int shift = (hex.digits - 1) * 4; shift >= 0; shift -= 4) text += kDigits[(hex.value >> shift) & 0xF];
    }
    template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number>>>
    static void append(std::string& text, Number n) {
        if constexpr (std::is_signed_v<Number>)
            appendSigned(text, n);
        else
            appendUnsigned(text, n);
    }
    static void appendSigned(std::string& text, std::int64_t n);
    static void appendUnsigned(std::string& text, std::uint64_t n);

    std::vector<std::string> kept_;
    std::uint64_t total_ = 0;
    std::uint64_t packet_ = 0;
    bool inPacket_ = false;
};

}  // namespace truno::capture
