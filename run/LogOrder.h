#pragma once
// Rotated parts of one log (trace.log.2 trace.log.1 trace.log) put in time order: each part by
// the instant of its first timed message, as both front ends order the files they read as one run.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace truno {

// When a log's first timed message was logged: the date of the page header before it (days from
// 1970-01-01; 0 when none came before it) and its time of day.
struct FirstInstant {
    std::int64_t day = 0;
    std::int64_t millisecondOfDay = 0;
    bool operator<(const FirstInstant& other) const {
        return day != other.day ? day < other.day : millisecondOfDay < other.millisecondOfDay;
    }
};

// The first instant of the log `in` holds (read through LogInput: gzip is read decompressed);
// nothing when it holds no timed message or is compressed in a form that is not read.
std::optional<FirstInstant> firstInstantOf(std::istream& in);

// The order of logs by their first instants: the indices of `instants`, earliest first; logs of
// the same instant, and logs without one (after the others), keep their order.
std::vector<std::size_t> orderByFirstInstant(const std::vector<std::optional<FirstInstant>>& instants);

// The order of the log files named (in UTF-8) by their first instants, as orderByFirstInstant:
// only plain files are read for it (a pipe, or standard input, is not read ahead).
std::vector<std::size_t> timeOrderOfFiles(const std::vector<std::string>& paths);

}  // namespace truno
