#pragma once
// The finished calls of the traces in a temporary file (inside analysis/journeys only): each
// trace's calls written in runs, each run sorted by the call's first instant, then all the runs
// read back merged in time order, a few kilobytes of each in memory at a time.
#include "analysis/journeys/Journeys.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace truno::journeys {

class SightingSpill {
public:
    SightingSpill();
    ~SightingSpill();
    SightingSpill(const SightingSpill&) = delete;
    SightingSpill& operator=(const SightingSpill&) = delete;

    // Writes the calls as one run, sorted by their first instant (those without one first).
    void writeRun(std::vector<Sighting>& calls);

    // Reads every run back merged by key (the order of the key, then of trace and first
    // record); key(s) is the sighting's place in time, INT64_MIN for one without a time.
    void beginMerge(std::function<std::int64_t(const Sighting&)> key);
    // The next sighting's key; false: none left.
    bool peek(std::int64_t& key) const;
    // Moves the next sighting into `into`.
    void pop(Sighting& into);

    // A failure to write or read the temporary file ("" when none).
    const std::string& error() const { return error_; }

private:
    struct Run;
    bool fill(Run& run);
    bool read(Run& run, Sighting& s);
    void push(std::size_t run);

    std::FILE* file_ = nullptr;
    std::uint64_t written_ = 0;
    std::string buffer_;
    std::vector<std::unique_ptr<Run>> runs_;
    std::vector<std::size_t> heap_;  // runs with a sighting ahead, least key on top
    std::function<std::int64_t(const Sighting&)> key_;
    std::string error_;
};

}  // namespace truno::journeys
