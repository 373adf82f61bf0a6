#include "run/CaptureRun.h"

#include "base/Times.h"
#include "dispatch/DecodingState.h"
#include "dispatch/MessageTypes.h"
#include "run/RecordList.h"
#include "run/capture/CaptureReader.h"

#include <algorithm>

namespace truno {
namespace {

constexpr std::size_t kFlushSize = std::size_t{64} * 1024;
constexpr std::int64_t kSecondsPerDay = 86400;

bool isIsupOrBicc(const CapturedMessage& m) {
    return m.si == kServiceIndicatorIsup || m.si == kServiceIndicatorBicc;
}

// The octets of a message as the log reader hands them on: two upper-case hex digits each, one
// after the other in `text`, a view of each in `octets`.
void hexOctets(std::span<const std::uint8_t> data, std::string& text, std::vector<std::string_view>& octets) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text.resize(data.size() * 2);
    for (std::size_t i = 0; i < data.size(); ++i) {
        text[2 * i] = kDigits[data[i] >> 4];
        text[2 * i + 1] = kDigits[data[i] & 0x0F];
    }
    octets.clear();
    const std::string_view all(text);
    for (std::size_t i = 0; i < data.size(); ++i) octets.push_back(all.substr(2 * i, 2));
}

// Which way each message went: S when its OPC is one of this side's, R otherwise; this side is
// the point codes given, else the OPC of the first message with point codes.
class Sides {
public:
    explicit Sides(const std::vector<std::uint32_t>& local) : local_(local) {}
    std::string_view of(const CapturedMessage& m) {
        if (!m.pointCodesKnown) {
            if (!m.sentByThisSide) return {};
            return *m.sentByThisSide ? "S" : "R";
        }
        if (local_.empty()) {
            if (!firstKnown_) {
                firstKnown_ = true;
                first_ = m.opc;
            }
            return m.opc == first_ ? "S" : "R";
        }
        return std::find(local_.begin(), local_.end(), m.opc) != local_.end() ? "S" : "R";
    }

private:
    const std::vector<std::uint32_t>& local_;
    bool firstKnown_ = false;
    std::uint32_t first_ = 0;
};

std::string packetsText(std::uint64_t n) { return plural(n, "packet", "packets"); }

// The summary's line of packet counts and the warnings of what could not be read.
void finishCaptureSummary(RunSummary& summary, const CaptureReader& reader, const RecordList& trailing) {
    const CaptureCounts& c = reader.counts();
    if (!reader.fatalError().empty()) {
        if (summary.found == 0)
            summary.whyNothing = "the capture cannot be read: " + reader.fatalError();
        else
            summary.warnings.push_back("the capture could not be read to its end: " + reader.fatalError());
    }
    const std::uint64_t isup = c.messagesByServiceIndicator[kServiceIndicatorIsup];
    const std::uint64_t bicc = c.messagesByServiceIndicator[kServiceIndicatorBicc];
    const std::uint64_t others = c.messages - isup - bicc;
    std::string line = "capture: " + packetsText(c.packets) + ", " + std::to_string(c.packetsWithIsupOrBicc) +
                       " with ISUP or BICC; " + plural(isup + bicc, "message", "messages") + " (" +
                       std::to_string(isup) + " ISUP, " + std::to_string(bicc) + " BICC)";
    if (others > 0) line += ", " + plural(others, "message", "messages") + " of other MTP3 users (not decoded)";
    line += "; " + plural(c.retransmissionsDropped, "retransmission", "retransmissions") + " dropped; " +
            packetsText(c.packetsOfOtherProtocols) + " of other protocols";
    if (c.packetsHeld > 0) line += "; " + packetsText(c.packetsHeld) + " only a fragment";
    if (c.tsnsReused > 0)
        line += "; " + plural(c.tsnsReused, "SCTP TSN", "SCTP TSNs") + " seen again with other data (read as new messages)";
    summary.notes.push_back(line);
    if (summary.found == 0 && summary.whyNothing.empty())
        summary.whyNothing = "the capture holds no ISUP or BICC message (" + packetsText(c.packets) + ")";
    if (reader.problemCount() > 0) {
        std::string text = plural(reader.problemCount(), "problem", "problems") + " reading the capture";
        if (reader.problemCount() > reader.problems().size())
            text += " (the first " + std::to_string(reader.problems().size()) + " named)";
        text += ":";
        for (const std::string& problem : reader.problems()) text += "\n  " + problem;
        summary.warnings.push_back(text);
    }
    if (reader.cutShort())
        summary.warnings.push_back("the capture is cut short: its last packet is incomplete (every complete packet before it was read)");
    summary.trailingOctetMessages = trailing.count();
    if (trailing.count() > 0) summary.warnings.push_back(trailingOctetsWarning(trailing));
}

}  // namespace

void appendCaptureTimeOfDay(std::string& out, std::int64_t seconds, std::uint32_t nanoseconds) {
    const auto inDay = static_cast<std::uint32_t>(seconds - floorDiv(seconds, kSecondsPerDay) * kSecondsPerDay);
    const std::uint32_t hundredths = std::min<std::uint32_t>(nanoseconds, 999999999) / 10000000;
    const std::uint32_t parts[4] = {inDay / 3600, inDay / 60 % 60, inDay % 60, hundredths};
    constexpr char kAfter[4] = {':', ':', '.', '\0'};
    for (std::size_t k = 0; k < 4; ++k) {
        out += static_cast<char>('0' + parts[k] / 10);
        out += static_cast<char>('0' + parts[k] % 10);
        if (kAfter[k] != '\0') out += kAfter[k];
    }
}

std::string captureTimeOfDay(std::int64_t seconds, std::uint32_t nanoseconds) {
    std::string text;
    appendCaptureTimeOfDay(text, seconds, nanoseconds);
    return text;
}

RunSummary decodeCapture(std::istream& in, const ReportSink& sink, const RunOptions& options) {
    RunSummary summary;
    CaptureReader reader(in, CaptureOptions{.pointCodes = options.pointCodeFormat});
    DecodingState state;
    state.OctetsAdjacent = true;
    if (options.records) state.MarkList = &state.RecordMarks;
    state.MarkedTypes = options.markedTypes;
    state.MessageCount = options.firstRecord - 1;
    state.LogBcic = kCaptureBcic;
    std::uint64_t written = 0;
    const auto write = [&] {
        if (!state.ReportText.empty()) sink(state.ReportText.view());
        written += state.ReportText.size();
        state.ReportText.clear();
    };
    if (options.flushRecords != nullptr) *options.flushRecords = write;
    Sides sides(options.localPointCodes);
    RecordList trailing;
    std::string hex;
    std::string date;
    std::int64_t dateDay = 0;
    for (CapturedMessage m; reader.next(m);) {
        if (!isIsupOrBicc(m)) continue;
        hexOctets(m.userData, hex, state.MessageOctets);
        state.CicOctets = m.si == kServiceIndicatorIsup ? 2 : 4;
        state.MessageTime.clear();
        appendCaptureTimeOfDay(state.MessageTime, m.seconds, m.nanoseconds);
        state.MessageDirection = sides.of(m);
        ++summary.found;
        const auto packet = static_cast<std::size_t>(m.packet);
        if (decodeMessage(state, packet))
            ++summary.decoded;
        else
            ++summary.notDecoded;
        if (state.RecordDecoded && state.MessageEnd != 0 && state.MessageEnd < state.MessageOctets.size())
            trailing.add(state.MessageCount);
        if (options.records) {
            const std::int64_t day = floorDiv(m.seconds, kSecondsPerDay);
            if (date.empty() || day != dateDay) {
                date = dateOfDays(day);
                dateDay = day;
            }
            RecordFacts facts = lastRecordFacts(state, packet, written);
            facts.logDate = date;
            facts.wire = WireFacts{.captured = true, .pointCodesKnown = m.pointCodesKnown, .opc = m.opc, .dpc = m.dpc,
                                   .si = m.si, .ni = m.ni, .sls = m.sls, .packet = m.packet, .seconds = m.seconds,
                                   .nanoseconds = m.nanoseconds};
            options.records(facts);
        }
        if (state.ReportText.size() >= kFlushSize) write();
        if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
            summary.cancelled = true;
            break;
        }
    }
    write();
    if (options.flushRecords != nullptr) *options.flushRecords = nullptr;
    summary.readError = in.bad();
    finishCaptureSummary(summary, reader, trailing);
    return summary;
}

}  // namespace truno
