#pragma once
// The messages of a log as a capture file that Wireshark reads (pcapng, written here: no
// library, the same code on every system): one packet per record, packet N is record N, each
// packet's comment names its record. A packet's bytes are the exported-PDU link type's tags
// (LINKTYPE_WIRESHARK_UPPER_PDU, 252) naming Wireshark's "bicc" dissector and the message's two
// ends, then the message's octets (call instance code first), so that each packet decodes as
// BICC with the message's own call instance code and type, and the flow graph shows both sides.
#include "dispatch/RecordFacts.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// A message's time stamp is the midnight (UTC) that begins the log's first day, plus the
// message's instant on the log's time line (LogClock).

// The two ends a message travels between: S (sent) goes from this side to the far side, R
// (received) the other way. Documentation addresses (RFC 5737), so that no real host is named.
inline constexpr std::string_view kThisSideAddress = "192.0.2.1";
inline constexpr std::string_view kFarSideAddress = "192.0.2.2";

// Where the log's first day came from.
enum class DateSource { PageHeader, Option, FileDate, Today };

class PcapExport {
public:
    PcapExport() = default;
    PcapExport(const PcapExport&) = delete;
    PcapExport& operator=(const PcapExport&) = delete;
    ~PcapExport();

    // Creates the file. False with `error` set when it cannot be written.
    bool open(const std::string& path, std::string& error);

    // A log begins (several logs may go into one file): its first day when its page headers give
    // none, where that came from, and its own time line. A date in a page header above the
    // log's first message (RecordFacts::logDate) takes the place of `firstDay`.
    void beginLog(std::int64_t firstDay, DateSource source = DateSource::FileDate);
    // The first day and its source the log's packets were given (after its first message).
    std::int64_t firstDay() const { return firstDay_; }
    DateSource dateSource() const { return source_; }

    // Writes one packet for one record: packets follow the records without a gap. A message whose
    // octets are not all two hex digits (either case) cannot be sent as bytes: its packet holds
    // the octets' text as read, for Wireshark's "data" dissector, and says so in its comment
    // (counted in notAsBytes()). A message whose time cannot be read takes the time stamp of the
    // message before it.
    void add(const RecordFacts& record, std::optional<std::int64_t> at);

    // Closes the file; false with `error` set when writing failed.
    bool close(std::string& error);

    std::uint64_t written() const { return written_; }
    std::uint64_t notAsBytes() const { return notAsBytes_; }

private:
    void writeBlock(std::uint32_t type, const std::vector<unsigned char>& body);

    std::FILE* file_ = nullptr;
    bool failed_ = false;
    std::int64_t firstDay_ = 0;
    DateSource source_ = DateSource::FileDate;
    bool logStarted_ = false;  // the log's first message was written
    std::int64_t lastAt_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t notAsBytes_ = 0;
    std::vector<unsigned char> packet_;
    std::vector<unsigned char> scratch_;
    std::vector<unsigned char> block_;
};

}  // namespace truno
