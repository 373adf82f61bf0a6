#include "analysis/PcapExport.h"

#include "analysis/LogClock.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace truno {
namespace {

// LINKTYPE_WIRESHARK_UPPER_PDU: each packet starts with tags (type, length, value; big-endian
// 16-bit numbers), the last one the end-of-options tag, then the PDU.
constexpr int kUpperPduLinkType = 252;
constexpr std::uint16_t kDissectorNameTag = 12;
constexpr std::uint16_t kEndOfOptionsTag = 0;
// Wireshark's dissectors of a message that begins with its call instance code (BICC, four octets)
// or its circuit identification code (ISUP, two octets).
constexpr std::string_view kBiccDissector = "bicc";
constexpr std::string_view kIsupDissector = "isup";
// The largest packet Wireshark reads for most link types (its standard maximum); a longer
// message is skipped.
constexpr int kSnapshotLength = 262144;

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

}  // namespace
}  // namespace truno

// The file itself is written with libpcap. A build without it (TRUNO_PCAP not defined: there is
// no libpcap for the target, as for Windows) has no capture files: available() says so, the
// tool refuses --pcap, and open() fails. This is the one place that knows.
#if defined(TRUNO_PCAP)
#include <pcap/pcap.h>

namespace truno {
namespace {

constexpr bool kCaptureFiles = true;

pcap_t* asPcap(void* p) { return static_cast<pcap_t*>(p); }
pcap_dumper_t* asDumper(void* p) { return static_cast<pcap_dumper_t*>(p); }

bool openDump(const std::string& path, void*& pcap, void*& dumper, std::string& error) {
    pcap = pcap_open_dead(kUpperPduLinkType, kSnapshotLength);
    if (pcap == nullptr) {
        error = "cannot set up libpcap";
        return false;
    }
    dumper = pcap_dump_open(asPcap(pcap), path.c_str());
    if (dumper == nullptr) {
        error = "cannot write '" + path + "': " + pcap_geterr(asPcap(pcap));
        pcap_close(asPcap(pcap));
        pcap = nullptr;
        return false;
    }
    return true;
}

void dumpPacket(void* dumper, std::int64_t stamp, const std::vector<unsigned char>& packet) {
    pcap_pkthdr header{};
    header.ts.tv_sec = static_cast<time_t>(stamp / 1000);
    header.ts.tv_usec = static_cast<suseconds_t>((stamp % 1000) * 1000);
    header.caplen = static_cast<bpf_u_int32>(packet.size());
    header.len = header.caplen;
    pcap_dump(reinterpret_cast<u_char*>(dumper), &header, packet.data());
}

bool closeDump(void*& pcap, void*& dumper, std::string& error) {
    bool ok = true;
    if (dumper != nullptr) {
        if (pcap_dump_flush(asDumper(dumper)) != 0 || std::ferror(pcap_dump_file(asDumper(dumper))) != 0) {
            error = std::string("error writing the capture file: ") + std::strerror(errno);
            ok = false;
        }
        pcap_dump_close(asDumper(dumper));
        dumper = nullptr;
    }
    if (pcap != nullptr) {
        pcap_close(asPcap(pcap));
        pcap = nullptr;
    }
    return ok;
}

}  // namespace
}  // namespace truno
#else
namespace truno {
namespace {

constexpr bool kCaptureFiles = false;

bool openDump(const std::string&, void*&, void*&, std::string& error) {
    error = "capture files are not available in this build (it has no libpcap)";
    return false;
}
// Nothing is ever open: open() fails, and add() and close() see no file.
void dumpPacket(void*, std::int64_t, const std::vector<unsigned char>&) {}
bool closeDump(void*&, void*&, std::string&) { return true; }

}  // namespace
}  // namespace truno
#endif

namespace truno {

bool PcapExport::available() { return kCaptureFiles; }

std::optional<std::int64_t> daysFromDate(std::string_view date) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') return std::nullopt;
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    const auto read = [&](std::size_t at, std::size_t n, auto& value) {
        const auto r = std::from_chars(date.data() + at, date.data() + at + n, value);
        return r.ec == std::errc{} && r.ptr == date.data() + at + n;
    };
    if (!read(0, 4, year) || !read(5, 2, month) || !read(8, 2, day)) return std::nullopt;
    constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + ((month == 2 && leap) ? 1u : 0u))
        return std::nullopt;
    // Days from civil (Howard Hinnant's algorithm).
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(y - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t{era} * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

PcapExport::~PcapExport() {
    std::string ignored;
    close(ignored);
}

bool PcapExport::open(const std::string& path, std::string& error) {
    if (!openDump(path, pcap_, dumper_, error)) return false;
    written_ = 0;
    skipped_ = 0;
    return true;
}

void PcapExport::beginLog(std::int64_t firstDay) {
    firstDayMilliseconds_ = firstDay * kMillisecondsPerDay;
    lastAt_ = 0;
}

void PcapExport::add(const RecordFacts& record, std::optional<std::int64_t> at) {
    if (dumper_ == nullptr) return;
    if (at) lastAt_ = *at;
    packet_.clear();
    appendTag(packet_, kDissectorNameTag, record.cicOctets == 2 ? kIsupDissector : kBiccDissector);
    appendTag(packet_, kEndOfOptionsTag, {});
    for (const std::string_view octet : record.octets) {
        const int high = octet.size() == 2 ? hexDigit(octet[0]) : -1;
        const int low = octet.size() == 2 ? hexDigit(octet[1]) : -1;
        if (high < 0 || low < 0) {
            ++skipped_;
            return;
        }
        packet_.push_back(static_cast<unsigned char>(high * 16 + low));
    }
    if (packet_.size() > static_cast<std::size_t>(kSnapshotLength)) {
        ++skipped_;
        return;
    }
    dumpPacket(dumper_, firstDayMilliseconds_ + lastAt_, packet_);
    ++written_;
}

bool PcapExport::close(std::string& error) { return closeDump(pcap_, dumper_, error); }

}  // namespace truno
