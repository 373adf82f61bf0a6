#include "analysis/JsonLinesWriter.h"

#include "analysis/Exports.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

namespace truno {
namespace {

constexpr std::size_t kBatchMessages = 256;
// The text written is handed on in pieces of about this size.
constexpr std::size_t kHandOnSize = std::size_t{64} * 1024;

}  // namespace

void CopiedRecord::assign(const RecordFacts& record) {
    record_ = record;
    std::string_view* const texts[] = {&record_.text,     &record_.time,    &record_.direction, &record_.reason,
                                       &record_.typeName, &record_.acronym, &record_.msgColumn, &record_.logDate};
    std::size_t total = 0;
    for (const std::string_view* text : texts) total += text->size();
    std::size_t octetBytes = 0;
    for (const std::string_view octet : record.octets) octetBytes += octet.size();
    total += octetBytes;
    if (bytes_.size() < total) bytes_.resize(total);
    char* at = bytes_.data();
    const auto copy = [&at](std::string_view& text) {
        copyBytes(at, text.data(), text.size());
        text = std::string_view(at, text.size());
        at += text.size();
    };
    for (std::string_view* text : texts) copy(*text);
    const std::span<const std::string_view> octets = record.octets;
    octets_.resize(octets.size());
    // The reader packs a message's octets one after another: copied as one piece, each view moved
    // with it; octets from elsewhere one by one.
    const char* packed = octets.empty() ? nullptr : octets.front().data();
    if (!octets.empty() && octets.back().data() + octets.back().size() == packed + octetBytes &&
        std::all_of(octets.begin(), octets.end(),
                    [packed, octetBytes](std::string_view o) { return o.data() >= packed && o.data() + o.size() <= packed + octetBytes; })) {
        std::memcpy(at, packed, octetBytes);
        for (std::size_t i = 0; i < octets.size(); ++i) octets_[i] = {at + (octets[i].data() - packed), octets[i].size()};
    } else {
        for (std::size_t i = 0; i < octets.size(); ++i) {
            octets_[i] = octets[i];
            copy(octets_[i]);
        }
    }
    record_.octets = octets_;
    record_.trailingOctets = {};
    if (!record.trailingOctets.empty()) {
        const auto first = static_cast<std::size_t>(record.trailingOctets.data() - record.octets.data());
        record_.trailingOctets = record_.octets.subspan(first, record.trailingOctets.size());
    }
    marks_.assign(record.marks.begin(), record.marks.end());
    record_.marks = marks_;
}

JsonLinesWriter::JsonLinesWriter(Write write) : write_(std::move(write)), thread_([this] { run(); }) {}

JsonLinesWriter::~JsonLinesWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void JsonLinesWriter::add(const MessageFacts& message, std::uint64_t callFirstRecord, std::string_view leading) {
    if (filling_.used == filling_.items.size()) filling_.items.emplace_back();
    Item& item = filling_.items[filling_.used++];
    item.record.assign(message.record());
    item.callFirstRecord = callFirstRecord;
    item.leadingSize = leading.size();
    item.switchIndex = message.switchIndex();
    item.switchName = message.switchName();
    filling_.leading += leading;
    if (filling_.used == kBatchMessages) hand(false);
}

void JsonLinesWriter::flush() {
    if (filling_.used > 0) {
        hand(true);
    } else {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
    }
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void JsonLinesWriter::hand(bool wait) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        std::swap(filling_, working_);
        busy_ = true;
    }
    changed_.notify_all();
    filling_.used = 0;
    filling_.leading.clear();
    if (wait) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
    }
}

void JsonLinesWriter::run() {
    MessageFacts facts;
    Text out;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return busy_ || stopping_; });
            if (!busy_) return;
        }
        try {
            std::size_t leadingAt = 0;
            for (std::size_t i = 0; i < working_.used; ++i) {
                const Item& item = working_.items[i];
                facts.build(item.record.record());
                facts.setSwitch(item.switchIndex, item.switchName);
                const std::string_view leading(working_.leading.data() + leadingAt, item.leadingSize);
                leadingAt += item.leadingSize;
                appendMessageJson(out, facts, item.callFirstRecord, leading);
                if (out.size() >= kHandOnSize) {
                    write_(out.view());
                    out.clear();
                }
            }
            if (!out.empty()) write_(out.view());
        } catch (...) {
            const std::lock_guard lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
        out.clear();
        {
            const std::lock_guard lock(mutex_);
            busy_ = false;
        }
        changed_.notify_all();
    }
}

}  // namespace truno
