#include "output/PcapExport.h"

#include "analysis/facts/LogClock.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <algorithm>

namespace truno {
namespace {

// LINKTYPE_WIRESHARK_UPPER_PDU: each packet starts with tags (type, length, value; big-endian
// 16-bit numbers), the last one the end-of-options tag, then the PDU.
constexpr std::uint16_t kUpperPduLinkType = 252;
constexpr std::uint16_t kDissectorNameTag = 12;
constexpr std::uint16_t kIpv4SourceTag = 20;
constexpr std::uint16_t kIpv4DestinationTag = 21;
constexpr std::uint16_t kEndOfOptionsTag = 0;
// Wireshark's dissectors of a message that begins with its call instance code (BICC, four octets)
// or its circuit identification code (ISUP, two octets).
constexpr std::string_view kBiccDissector = "bicc";
constexpr std::string_view kIsupDissector = "isup";
constexpr std::string_view kTextDissector = "data";
// The largest packet Wireshark reads for most link types (its standard maximum); a longer
// message keeps its first octets and its length.
constexpr std::uint32_t kSnapshotLength = 262144;

// pcapng blocks (all numbers little-endian, blocks padded to four octets).
constexpr std::uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescriptionBlock = 1;
constexpr std::uint32_t kEnhancedPacketBlock = 6;
constexpr std::uint16_t kCommentOption = 1;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void appendTag(std::vector<unsigned char>& out, std::uint16_t tag, std::string_view value) {
    // The value is padded with zero octets to a multiple of four, as Wireshark writes it.
    const std::size_t padded = (value.size() + 3) / 4 * 4;
    out.push_back(static_cast<unsigned char>(tag >> 8));
    out.push_back(static_cast<unsigned char>(tag & 0xFF));
    out.push_back(static_cast<unsigned char>(padded >> 8));
    out.push_back(static_cast<unsigned char>(padded & 0xFF));
    out.insert(out.end(), value.begin(), value.end());
    out.insert(out.end(), padded - value.size(), 0);
}

// An IPv4 address "a.b.c.d" as its four octets.
std::string addressOctets(std::string_view dotted) {
    std::string out;
    unsigned value = 0;
    for (const char c : dotted) {
        if (c == '.') {
            out += static_cast<char>(value);
            value = 0;
        } else {
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
    }
    out += static_cast<char>(value);
    return out;
}

void put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

void padTo4(std::vector<unsigned char>& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

}  // namespace

PcapExport::~PcapExport() {
    std::string ignored;
    close(ignored);
}

void PcapExport::writeBlock(std::uint32_t type, const std::vector<unsigned char>& body) {
    // Type, total length, body (a multiple of four octets), total length again.
    const auto total = static_cast<std::uint32_t>(body.size() + 12);
    block_.clear();
    put32(block_, type);
    put32(block_, total);
    block_.insert(block_.end(), body.begin(), body.end());
    put32(block_, total);
    if (std::fwrite(block_.data(), 1, block_.size(), file_) != block_.size()) failed_ = true;
}

bool PcapExport::open(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    failed_ = false;
    written_ = 0;
    notAsBytes_ = 0;
    std::vector<unsigned char> body;
    put32(body, 0x1A2B3C4D);  // byte-order magic
    put16(body, 1);           // version 1.0
    put16(body, 0);
    put32(body, 0xFFFFFFFF);  // section length: not given
    put32(body, 0xFFFFFFFF);
    writeBlock(kSectionHeaderBlock, body);
    body.clear();
    put16(body, kUpperPduLinkType);
    put16(body, 0);
    put32(body, kSnapshotLength);  // time stamps in microseconds: the default resolution
    writeBlock(kInterfaceDescriptionBlock, body);
    return true;
}

void PcapExport::beginLog(std::int64_t firstDay, DateSource source) {
    firstDay_ = firstDay;
    source_ = source;
    logStarted_ = false;
    lastAt_ = 0;
}

void PcapExport::add(const RecordFacts& record, std::optional<std::int64_t> at) {
    if (file_ == nullptr) return;
    if (!logStarted_) {
        logStarted_ = true;
        // The log's own date (its page header, its file's date) is the day of its first message,
        // which may stand days into the run's time line (the files of a --merge run before it
        // crossed midnights); --date's is the day that time line starts on.
        const std::int64_t daysBefore = at ? floorDiv(*at, kMillisecondsPerDay) : 0;
        if (const auto day = daysFromDate(record.logDate)) {
            firstDay_ = *day - daysBefore;
            source_ = DateSource::PageHeader;
        } else if (source_ != DateSource::Option) {
            firstDay_ -= daysBefore;
        }
    }
    if (at) lastAt_ = *at;
    bool asBytes = true;
    for (const std::string_view octet : record.octets)
        if (octet.size() != 2 || hexDigit(octet[0]) < 0 || hexDigit(octet[1]) < 0) asBytes = false;
    packet_.clear();
    appendTag(packet_, kDissectorNameTag, !asBytes ? kTextDissector : record.cicOctets == 2 ? kIsupDissector : kBiccDissector);
    const bool sent = record.direction == Direction::Sent;
    if (sent || record.direction == Direction::Received) {
        appendTag(packet_, kIpv4SourceTag, addressOctets(sent ? kThisSideAddress : kFarSideAddress));
        appendTag(packet_, kIpv4DestinationTag, addressOctets(sent ? kFarSideAddress : kThisSideAddress));
    }
    appendTag(packet_, kEndOfOptionsTag, {});
    std::string comment = "record " + std::to_string(record.record);
    if (asBytes) {
        for (const std::string_view octet : record.octets)
            packet_.push_back(static_cast<unsigned char>(hexDigit(octet[0]) * 16 + hexDigit(octet[1])));
    } else {
        ++notAsBytes_;
        comment += ": its octets are not all two hex digits; the packet holds them as read, as text";
        for (std::size_t i = 0; i < record.octets.size(); ++i) {
            if (i != 0) packet_.insert(packet_.end(), 2, ' ');
            packet_.insert(packet_.end(), record.octets[i].begin(), record.octets[i].end());
        }
    }
    const auto length = static_cast<std::uint32_t>(packet_.size());
    const std::uint32_t captured = std::min(length, kSnapshotLength);
    const std::int64_t stamp = (firstDay_ * kMillisecondsPerDay + lastAt_) * 1000;  // microseconds
    const auto unsignedStamp = static_cast<std::uint64_t>(stamp);
    std::vector<unsigned char>& body = scratch_;
    body.clear();
    put32(body, 0);  // interface 0
    put32(body, static_cast<std::uint32_t>(unsignedStamp >> 32));
    put32(body, static_cast<std::uint32_t>(unsignedStamp & 0xFFFFFFFF));
    put32(body, captured);
    put32(body, length);
    body.insert(body.end(), packet_.begin(), packet_.begin() + captured);
    padTo4(body);
    put16(body, kCommentOption);
    put16(body, static_cast<std::uint16_t>(comment.size()));
    body.insert(body.end(), comment.begin(), comment.end());
    padTo4(body);
    put32(body, 0);  // end of options
    writeBlock(kEnhancedPacketBlock, body);
    ++written_;
}

bool PcapExport::close(std::string& error) {
    if (file_ == nullptr) return true;
    bool ok = !failed_ && std::fflush(file_) == 0 && std::ferror(file_) == 0;
    if (std::fclose(file_) != 0) ok = false;
    file_ = nullptr;
    if (!ok) error = std::string("error writing the capture file: ") + std::strerror(errno);
    return ok;
}

}  // namespace truno
