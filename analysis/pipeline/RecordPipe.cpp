#include "analysis/pipeline/RecordPipe.h"

#include <utility>

namespace truno {
namespace {

// Records of a batch, and batches of the ring (RecordPipe::kBatches): the copies in flight stay
// in the caches (about 1.5 MB), and a hand-over seldom finds the other thread asleep. Measured
// with --format json on 1,000,000 messages: 64 by 8 about a third faster than 256 by 2.
constexpr std::size_t kBatchRecords = 64;

}  // namespace

RecordPipe::RecordPipe(Take take) : take_(std::move(take)), thread_([this] { run(); }) {}

RecordPipe::~RecordPipe() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void RecordPipe::add(const RecordFacts& record) {
    Batch& batch = ring_[filling_];
    if (batch.used == batch.records.size()) batch.records.emplace_back();
    batch.records[batch.used++].assign(record);
    if (batch.used == kBatchRecords) hand();
}

void RecordPipe::wait() {
    hand();
    std::unique_lock lock(mutex_);
    adderWaits_ = true;
    changed_.wait(lock, [this] { return handed_ == 0; });
    adderWaits_ = false;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void RecordPipe::hand() {
    if (ring_[filling_].used == 0) return;
    bool wake = false;
    {
        std::unique_lock lock(mutex_);
        if (handed_ == kBatches - 1) {
            adderWaits_ = true;
            changed_.wait(lock, [this] { return handed_ < kBatches - 1; });
            adderWaits_ = false;
        }
        if (failure_) {
            // The other thread failed: nothing more is taken.
            ring_[filling_].used = 0;
            std::rethrow_exception(std::exchange(failure_, nullptr));
        }
        ++handed_;
        wake = takerWaits_;
    }
    // One batch of the ring is always the adding thread's.
    filling_ = (filling_ + 1) % kBatches;
    ring_[filling_].used = 0;
    if (wake) changed_.notify_all();
}

void RecordPipe::run() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (handed_ == 0) {
                takerWaits_ = true;
                changed_.wait(lock, [this] { return handed_ != 0 || stopping_; });
                takerWaits_ = false;
            }
            if (handed_ == 0) return;
        }
        Batch& batch = ring_[taking_];
        try {
            for (std::size_t i = 0; i < batch.used; ++i) take_(batch.records[i].record());
        } catch (...) {
            const std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
        }
        bool wake = false;
        {
            const std::lock_guard lock(mutex_);
            // After a failure, the batches handed on are dropped.
            const std::size_t done = failure_ ? handed_ : 1;
            taking_ = (taking_ + done) % kBatches;
            handed_ -= done;
            wake = adderWaits_;
        }
        if (wake) changed_.notify_all();
    }
}

}  // namespace truno
