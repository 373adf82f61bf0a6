#pragma once
// The messages of a log as a capture file that Wireshark reads: one packet per message, its
// bytes the message's octets (call instance code first), in the exported-PDU link type
// (LINKTYPE_WIRESHARK_UPPER_PDU, 252) naming Wireshark's "bicc" dissector, so that each packet
// decodes as BICC with the message's own call instance code and type; in ISUP mode (two-octet
// circuit codes) its "isup" dissector, so that each decodes as ISUP with its own circuit code.
// Written with libpcap.
#include "dispatch/RecordFacts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// A message's time stamp is the midnight (UTC) that begins the log's first day, plus the
// message's instant on the log's time line (LogClock).

// Days from 1970-01-01 of a date written YYYY-MM-DD; nothing when it is not a valid date.
std::optional<std::int64_t> daysFromDate(std::string_view date);

class PcapExport {
public:
    PcapExport() = default;
    PcapExport(const PcapExport&) = delete;
    PcapExport& operator=(const PcapExport&) = delete;
    ~PcapExport();

    // Whether this build writes capture files at all (it needs libpcap).
    static bool available();

    // Creates the file. False with `error` set when it cannot be written.
    bool open(const std::string& path, std::string& error);

    // A log begins (several logs may go into one file): its first day, and its own time line.
    void beginLog(std::int64_t firstDay);

    // Writes one message. A message whose octets are not all two hex digits (either case) cannot
    // be sent as bytes and is skipped (counted in skipped()), and so is one of more than 262,144
    // octets, more than Wireshark reads in one packet. A message whose time cannot be
    // read takes the time stamp of the message before it.
    void add(const RecordFacts& record, std::optional<std::int64_t> at);

    // Closes the file; false with `error` set when writing failed.
    bool close(std::string& error);

    std::uint64_t written() const { return written_; }
    std::uint64_t skipped() const { return skipped_; }

private:
    void* pcap_ = nullptr;    // pcap_t
    void* dumper_ = nullptr;  // pcap_dumper_t
    std::int64_t firstDayMilliseconds_ = 0;
    std::int64_t lastAt_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t skipped_ = 0;
    std::vector<unsigned char> packet_;
};

}  // namespace truno
