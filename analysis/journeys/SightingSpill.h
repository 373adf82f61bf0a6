#pragma once
// The finished calls of the traces in a temporary file (inside analysis/journeys only): each
// trace's calls written in runs, each run sorted by the call's first instant, then all the runs
// read back merged in time order, a few kilobytes of each in memory at a time.
#include "analysis/journeys/Journeys.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace truno::journeys {

class SightingSpill {
public:
    // useFile false: the runs are kept in memory (so are they when the file cannot be made or
    // written).
    explicit SightingSpill(bool useFile);
    ~SightingSpill();
    SightingSpill(const SightingSpill&) = delete;
    SightingSpill& operator=(const SightingSpill&) = delete;

    // A finished call of its trace, kept compactly until the trace has `runCalls` of them
    // waiting, which are then written as one run sorted by their first instant (those without
    // one first).
    void add(const Sighting& call, std::size_t runCalls);
    // Writes what waits of every trace.
    void flush();

    // Reads every run back merged by key (the order of the key, then of trace and first
    // record); key(trace, first) is a sighting's place in time from its trace and first instant.
    using Key = std::function<std::int64_t(std::uint32_t trace, std::optional<std::int64_t> first)>;
    void beginMerge(Key key);
    // The next sighting's key; false: none left.
    bool peek(std::int64_t& key) const;
    // Reads the next sighting into `into` (whose text and messages keep their room).
    void pop(Sighting& into);

    // A failure to write or read the temporary file ("" when none).
    const std::string& error() const { return error_; }

private:
    struct Run;
    // A trace's calls waiting: their encoded records, and each one's place and order.
    struct Waiting {
        std::int64_t first = 0;
        std::uint64_t firstRecord = 0;
        std::uint32_t at = 0, length = 0;
    };
    struct Pending {
        std::string records;
        std::vector<Waiting> calls;
    };
    void writeRun(Pending& pending);
    bool fill(Run& run);
    void push(std::size_t run);
    bool later(std::size_t a, std::size_t b) const;

    std::FILE* file_ = nullptr;
    std::uint64_t written_ = 0;
    std::string buffer_;
    std::vector<Pending> pending_;  // per trace
    std::vector<std::unique_ptr<Run>> runs_;
    std::vector<std::size_t> heap_;  // runs with a sighting ahead, least key on top
    Key key_;
    std::string error_;
};

}  // namespace truno::journeys
