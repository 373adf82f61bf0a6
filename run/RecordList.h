#pragma once
// Records of one kind that a run's summary names (octets after a message's end, a MSG column
// that names another type): how many, and the first few, so that memory stays the same whatever
// the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

class RecordList {
public:
    static constexpr std::size_t kListed = 10;
    void add(std::uint64_t record, std::string_view detail = {}) {
        if (count_++ < kListed) listed_.push_back(std::to_string(record).append(detail));
    }
    std::uint64_t count() const { return count_; }
    // "records 9, 14, 20" ("record 9" for one; ", ..." after the tenth).
    std::string text() const {
        std::string out = count_ == 1 ? "record " : "records ";
        for (std::size_t i = 0; i < listed_.size(); ++i) {
            if (i != 0) out += ", ";
            out += listed_[i];
        }
        if (count_ > kListed) out += ", ...";
        return out;
    }

private:
    std::vector<std::string> listed_;
    std::uint64_t count_ = 0;
};

// "1 message" or "2 messages": a count and its noun.
inline std::string plural(std::uint64_t n, std::string_view one, std::string_view several) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : several);
}

// The warning that names the messages with octets after their end.
inline std::string trailingOctetsWarning(const RecordList& trailing) {
    return plural(trailing.count(), "message has", "messages have") + " octets after " +
           (trailing.count() == 1 ? "its" : "their") + " end (" + trailing.text() + ")";
}

}  // namespace truno
