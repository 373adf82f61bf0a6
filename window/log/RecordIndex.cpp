#include "window/log/RecordIndex.h"

#include <algorithm>

namespace truno::window {

bool RecordIndex::addRecord(std::uint64_t number, std::size_t bannerLine, bool decoded) {
    if (number == 0 || (!numbers_.empty() && number <= numbers_.back())) return false;
    if (!decoded) notDecoded_.push_back(numbers_.size());
    numbers_.push_back(number);
    bannerLines_.push_back(bannerLine);
    return true;
}

void RecordIndex::dropBefore(std::uint64_t number, std::size_t lines) {
    const auto gone = std::lower_bound(numbers_.begin(), numbers_.end(), number) - numbers_.begin();
    numbers_.erase(numbers_.begin(), numbers_.begin() + gone);
    bannerLines_.erase(bannerLines_.begin(), bannerLines_.begin() + gone);
    for (std::size_t& line : bannerLines_) line = line > lines ? line - lines : 0;
    const auto goneNotDecoded = std::lower_bound(notDecoded_.begin(), notDecoded_.end(), static_cast<std::size_t>(gone)) -
                                notDecoded_.begin();
    notDecoded_.erase(notDecoded_.begin(), notDecoded_.begin() + goneNotDecoded);
    for (std::size_t& k : notDecoded_) k -= static_cast<std::size_t>(gone);
}

std::optional<std::size_t> RecordIndex::bannerLine(std::uint64_t number) const {
    // The full report holds records F to F + N - 1 at indices 0 to N - 1: looked at first.
    const std::uint64_t first = firstRecord();
    if (number >= first && number - first < numbers_.size() && numbers_[number - first] == number)
        return bannerLines_[number - first];
    const auto at = std::lower_bound(numbers_.begin(), numbers_.end(), number);
    if (at == numbers_.end() || *at != number) return std::nullopt;
    return bannerLines_[static_cast<std::size_t>(at - numbers_.begin())];
}

std::optional<std::uint64_t> RecordIndex::recordFrom(std::uint64_t number) const {
    const auto at = std::lower_bound(numbers_.begin(), numbers_.end(), number);
    if (at == numbers_.end()) return std::nullopt;
    return *at;
}

std::uint64_t RecordIndex::recordAt(std::size_t line) const {
    const auto after = std::upper_bound(bannerLines_.begin(), bannerLines_.end(), line);
    if (after == bannerLines_.begin()) return 0;
    return numbers_[static_cast<std::size_t>(after - bannerLines_.begin()) - 1];
}

std::optional<std::uint64_t> RecordIndex::nextNotDecoded(std::size_t line) const {
    const auto next = std::upper_bound(notDecoded_.begin(), notDecoded_.end(), line,
                                       [this](std::size_t at, std::size_t k) { return at < bannerLines_[k]; });
    if (next == notDecoded_.end()) return std::nullopt;
    return numbers_[*next];
}

std::optional<std::uint64_t> RecordIndex::previousNotDecoded(std::size_t line) const {
    const auto next = std::lower_bound(notDecoded_.begin(), notDecoded_.end(), line,
                                       [this](std::size_t k, std::size_t at) { return bannerLines_[k] < at; });
    if (next == notDecoded_.begin()) return std::nullopt;
    return numbers_[*(next - 1)];
}

}  // namespace truno::window
