#pragma once
// Records handed on to a second thread, which does with each what the run's thread would have
// done (the analysis and the views), in the order they came, while the run goes on decoding the
// next ones. Each record handed in is copied (its text, marks, octets and the few views of the
// log it holds) into a batch; full batches wait in a ring for the other thread, so that neither
// thread waits for the other as long as the two keep about the same pace. The batches are reused,
// so that nothing is allocated per record once they have grown; memory holds the ring's batches.
//
// Whoever owns the pipe waits for it (wait()) before touching anything the records' work touches.
#include "dispatch/RecordFacts.h"

#include <array>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace truno {

class RecordPipe {
public:
    using Take = std::function<void(const RecordFacts&)>;

    explicit RecordPipe(Take take);
    RecordPipe(const RecordPipe&) = delete;
    RecordPipe& operator=(const RecordPipe&) = delete;
    // Lets the other thread finish the batches handed to it (not the one being filled) and stops it.
    ~RecordPipe();

    // Rethrows what the other thread failed with, when it has (no later record is taken).
    void add(const RecordFacts& record);
    // Waits until every record added so far is taken. Rethrows what the other thread failed
    // with, when it has.
    void wait();

private:
    struct Batch {
        std::vector<CopiedRecord> records;
        std::size_t used = 0;
    };
    static constexpr std::size_t kBatches = 8;

    // Hands the batch being filled on (when it holds records), waiting while the ring is full.
    void hand();
    void run();

    Take take_;
    std::array<Batch, kBatches> ring_;
    std::size_t filling_ = 0;  // the batch the adding thread fills; the handed ones follow `taking_`
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t taking_ = 0;   // the oldest batch handed on and not yet taken
    std::size_t handed_ = 0;   // batches handed on and not yet taken (the one being taken included)
    bool adderWaits_ = false;
    bool takerWaits_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace truno
