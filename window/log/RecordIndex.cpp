#include "window/log/RecordIndex.h"

#include <algorithm>

namespace truno::window {

bool RecordIndex::addRecord(std::uint64_t number, std::size_t bannerLine, bool decoded) {
    if (number == 0 || (!bannerLines_.empty() && number <= lastRecord())) return false;
    const std::size_t k = bannerLines_.size();
    if (k == 0) {
        first_ = number;
    } else if (numbers_.empty() && number != first_ + k) {
        numbers_.reserve(k + 1);
        for (std::size_t n = 0; n < k; ++n) numbers_.push_back(first_ + n);
    }
    if (!numbers_.empty() || number != first_ + k) numbers_.push_back(number);
    if (!decoded) notDecoded_.push_back(k);
    bannerLines_.push_back(bannerLine);
    return true;
}

std::size_t RecordIndex::indexFrom(std::uint64_t number) const {
    if (numbers_.empty()) {
        if (number <= first_) return 0;
        return static_cast<std::size_t>(std::min<std::uint64_t>(number - first_, bannerLines_.size()));
    }
    return static_cast<std::size_t>(std::lower_bound(numbers_.begin(), numbers_.end(), number) - numbers_.begin());
}

void RecordIndex::dropBefore(std::uint64_t number, std::size_t lines) {
    const std::size_t gone = indexFrom(number);
    if (numbers_.empty())
        first_ += gone;
    else
        numbers_.erase(numbers_.begin(), numbers_.begin() + static_cast<std::ptrdiff_t>(gone));
    bannerLines_.erase(bannerLines_.begin(), bannerLines_.begin() + static_cast<std::ptrdiff_t>(gone));
    for (std::size_t& line : bannerLines_) line = line > lines ? line - lines : 0;
    const auto goneNotDecoded = std::lower_bound(notDecoded_.begin(), notDecoded_.end(), gone) - notDecoded_.begin();
    notDecoded_.erase(notDecoded_.begin(), notDecoded_.begin() + goneNotDecoded);
    for (std::size_t& k : notDecoded_) k -= gone;
}

std::optional<std::size_t> RecordIndex::bannerLine(std::uint64_t number) const {
    const std::size_t k = indexFrom(number);
    if (k == bannerLines_.size() || this->number(k) != number) return std::nullopt;
    return bannerLines_[k];
}

std::optional<std::uint64_t> RecordIndex::recordFrom(std::uint64_t number) const {
    const std::size_t k = indexFrom(number);
    if (k == bannerLines_.size()) return std::nullopt;
    return this->number(k);
}

std::uint64_t RecordIndex::recordAt(std::size_t line) const {
    const auto after = std::upper_bound(bannerLines_.begin(), bannerLines_.end(), line);
    if (after == bannerLines_.begin()) return 0;
    return number(static_cast<std::size_t>(after - bannerLines_.begin()) - 1);
}

std::optional<std::uint64_t> RecordIndex::nextNotDecoded(std::size_t line) const {
    const auto next = std::upper_bound(notDecoded_.begin(), notDecoded_.end(), line,
                                       [this](std::size_t at, std::size_t k) { return at < bannerLines_[k]; });
    if (next == notDecoded_.end()) return std::nullopt;
    return number(*next);
}

std::optional<std::uint64_t> RecordIndex::previousNotDecoded(std::size_t line) const {
    const auto next = std::lower_bound(notDecoded_.begin(), notDecoded_.end(), line,
                                       [this](std::size_t k, std::size_t at) { return bannerLines_[k] < at; });
    if (next == notDecoded_.begin()) return std::nullopt;
    return number(*(next - 1));
}

}  // namespace truno::window
