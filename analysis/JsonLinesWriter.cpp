#include "analysis/JsonLinesWriter.h"

#include "analysis/Exports.h"

#include <utility>

namespace truno {
namespace {

constexpr std::size_t kBatchMessages = 256;
// The text written is handed on in pieces of about this size.
constexpr std::size_t kHandOnSize = std::size_t{64} * 1024;

}  // namespace

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
