#include "run/CaptureRun.h"

#include "base/Times.h"
#include "dispatch/DecodingState.h"
#include "dispatch/MessageTypes.h"
#include "run/RecordList.h"
#include "run/capture/CaptureReader.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace truno {
namespace {

constexpr std::size_t kFlushSize = std::size_t{64} * 1024;
constexpr std::int64_t kSecondsPerDay = 86400;

bool isIsupOrBicc(const CapturedMessage& m) {
    return m.si == kServiceIndicatorIsup || m.si == kServiceIndicatorBicc;
}

// The octets of a message as hex digits, two upper-case digits an octet, one after the other.
void hexText(std::span<const std::uint8_t> data, std::string& text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text.resize(data.size() * 2);
    for (std::size_t i = 0; i < data.size(); ++i) {
        text[2 * i] = kDigits[data[i] >> 4];
        text[2 * i + 1] = kDigits[data[i] & 0x0F];
    }
}

// A view of each octet of `hex` (two digits an octet), as the log reader hands them on.
void adjacentOctets(std::string_view hex, std::vector<std::string_view>& octets) {
    octets.clear();
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) octets.push_back(hex.substr(i, 2));
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

namespace {

// One ISUP or BICC message as the decoding takes it: its octets as hex digits, two an octet, its
// TIME and DIR, and its wire facts.
struct Item {
    std::string hex;
    std::string time;
    std::string direction;
    WireFacts wire;
};

// The capture's ISUP and BICC messages as items; the other MTP3 users are only counted.
class ItemReader {
public:
    ItemReader(std::istream& in, const RunOptions& options)
        : reader_(in, CaptureOptions{.pointCodes = options.pointCodeFormat}), sides_(options.localPointCodes) {}

    bool next(Item& item) {
        for (CapturedMessage m; reader_.next(m);) {
            if (!isIsupOrBicc(m)) continue;
            hexText(m.userData, item.hex);
            item.time.clear();
            appendCaptureTimeOfDay(item.time, m.seconds, m.nanoseconds);
            item.direction = sides_.of(m);
            item.wire = WireFacts{.captured = true, .pointCodesKnown = m.pointCodesKnown, .opc = m.opc, .dpc = m.dpc,
                                  .si = m.si, .ni = m.ni, .sls = m.sls, .packet = m.packet, .seconds = m.seconds,
                                  .nanoseconds = m.nanoseconds};
            return true;
        }
        return false;
    }
    const CaptureReader& reader() const { return reader_; }

private:
    CaptureReader reader_;
    Sides sides_;
};

// With more than one job, the capture is read on a thread of its own while the calling thread
// decodes: items go over in batches, a few in flight, so that memory stays bounded and the
// records come in capture order as from one thread.
class ItemPipe {
public:
    static constexpr std::size_t kBatch = 256;
    static constexpr std::size_t kInFlight = 8;

    explicit ItemPipe(ItemReader& reader) : reader_(reader), batches_(kInFlight) {
        for (Batch& b : batches_) {
            b.items.resize(kBatch);
            free_.push_back(&b);
        }
        thread_ = std::thread([this] { produce(); });
    }
    ~ItemPipe() { stop(); }
    ItemPipe(const ItemPipe&) = delete;
    ItemPipe& operator=(const ItemPipe&) = delete;

    // The next item, valid until the following call; null at the end.
    const Item* next() {
        if (current_ != nullptr && at_ < current_->count) return &current_->items[at_++];
        std::unique_lock<std::mutex> lock(mutex_);
        if (current_ != nullptr) {
            free_.push_back(current_);
            current_ = nullptr;
            changed_.notify_all();
        }
        changed_.wait(lock, [this] { return !full_.empty() || ended_; });
        if (full_.empty()) return nullptr;
        current_ = full_.front();
        full_.pop_front();
        at_ = 0;
        return current_->count > 0 ? &current_->items[at_++] : nullptr;
    }

    // Stops the reading thread (when the run is cancelled, or at its end) and waits for it.
    void stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

private:
    struct Batch {
        std::vector<Item> items;
        std::size_t count = 0;
    };

    void produce() {
        for (;;) {
            Batch* batch = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return !free_.empty() || stopping_; });
                if (stopping_) break;
                batch = free_.back();
                free_.pop_back();
            }
            batch->count = 0;
            while (batch->count < kBatch && reader_.next(batch->items[batch->count])) ++batch->count;
            const bool end = batch->count < kBatch;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (batch->count > 0) full_.push_back(batch);
                else free_.push_back(batch);
                if (end) ended_ = true;
            }
            changed_.notify_all();
            if (end) return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
    }

    ItemReader& reader_;
    std::vector<Batch> batches_;
    std::vector<Batch*> free_;
    std::deque<Batch*> full_;
    Batch* current_ = nullptr;
    std::size_t at_ = 0;
    bool ended_ = false;
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};

}  // namespace

RunSummary decodeCapture(std::istream& in, const ReportSink& sink, const RunOptions& options) {
    RunSummary summary;
    ItemReader items(in, options);
    DecodingState state;
    state.OctetsAdjacent = true;
    if (options.records) state.MarkList = &state.RecordMarks;
    state.MarkedTypes = options.markedTypes;
    state.MarkedParameters = options.markedParameters;
    state.MessageCount = options.firstRecord - 1;
    state.LogBcic = kCaptureBcic;
    std::uint64_t written = 0;
    const auto write = [&] {
        if (!state.ReportText.empty()) sink(state.ReportText.view());
        written += state.ReportText.size();
        state.ReportText.clear();
    };
    if (options.flushRecords != nullptr) *options.flushRecords = write;
    // A followed capture is read on this thread: what was decoded goes out before each wait.
    std::optional<ItemPipe> pipe;
    if (options.jobs > 1 && options.flushRecords == nullptr) pipe.emplace(items);
    Item one;
    const auto next = [&]() -> const Item* {
        if (pipe) return pipe->next();
        return items.next(one) ? &one : nullptr;
    };
    RecordList trailing;
    std::string date;
    std::int64_t dateDay = 0;
    while (const Item* item = next()) {
        adjacentOctets(item->hex, state.MessageOctets);
        state.CicOctets = item->wire.si == kServiceIndicatorIsup ? 2 : 4;
        state.MessageTime = item->time;
        state.MessageDirection = item->direction;
        ++summary.found;
        const auto packet = static_cast<std::size_t>(item->wire.packet);
        if (decodeMessage(state, packet))
            ++summary.decoded;
        else
            ++summary.notDecoded;
        if (state.RecordDecoded && state.MessageEnd != 0 && state.MessageEnd < state.MessageOctets.size())
            trailing.add(state.MessageCount);
        if (options.records) {
            const std::int64_t day = floorDiv(item->wire.seconds, kSecondsPerDay);
            if (date.empty() || day != dateDay) {
                date = dateOfDays(day);
                dateDay = day;
            }
            RecordFacts facts = lastRecordFacts(state, packet, written);
            facts.logDate = date;
            facts.wire = item->wire;
            options.records(facts);
        }
        if (state.ReportText.size() >= kFlushSize) write();
        if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
            summary.cancelled = true;
            break;
        }
    }
    if (pipe) pipe->stop();
    write();
    if (options.flushRecords != nullptr) *options.flushRecords = nullptr;
    summary.readError = in.bad();
    finishCaptureSummary(summary, items.reader(), trailing);
    return summary;
}

}  // namespace truno
