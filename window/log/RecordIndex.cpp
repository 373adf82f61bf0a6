#include "window/log/RecordIndex.h"

#include <algorithm>
#include <limits>
#include <type_traits>

namespace truno::window {

bool RecordIndex::addRecord(std::uint64_t number, std::size_t bannerLine, bool decoded) {
    if (number == 0 || (count() != 0 && number <= lastRecord())) return false;
    const std::size_t k = count();
    if (k == 0) {
        first_ = number;
    } else if (numbers_.empty() && number != first_ + k) {
        numbers_.reserve(k + 1);
        for (std::size_t n = 0; n < k; ++n) numbers_.push_back(first_ + n);
    }
    if (!numbers_.empty() || number != first_ + k) numbers_.push_back(number);
    if (!decoded) notDecoded_.push_back(k);
    if (!wide_ && bannerLine > std::numeric_limits<std::uint32_t>::max()) {
        wideLines_.assign(lines_.begin(), lines_.end());
        lines_ = {};
        wide_ = true;
    }
    if (!wide_)
        lines_.push_back(static_cast<std::uint32_t>(bannerLine));
    else
        wideLines_.push_back(bannerLine);
    return true;
}

std::size_t RecordIndex::bannersUpTo(std::size_t line) const {
    std::size_t low = 0;
    std::size_t high = count();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (this->line(middle) <= line)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::size_t RecordIndex::indexFrom(std::uint64_t number) const {
    if (numbers_.empty()) {
        if (number <= first_) return 0;
        return static_cast<std::size_t>(std::min<std::uint64_t>(number - first_, count()));
    }
    return static_cast<std::size_t>(std::lower_bound(numbers_.begin(), numbers_.end(), number) - numbers_.begin());
}

void RecordIndex::dropBefore(std::uint64_t number, std::size_t lines) {
    const std::size_t gone = indexFrom(number);
    if (numbers_.empty())
        first_ += gone;
    else
        numbers_.erase(numbers_.begin(), numbers_.begin() + static_cast<std::ptrdiff_t>(gone));
    const auto drop = [gone, lines](auto& banners) {
        banners.erase(banners.begin(), banners.begin() + static_cast<std::ptrdiff_t>(gone));
        for (auto& line : banners) line = line > lines ? static_cast<std::remove_reference_t<decltype(line)>>(line - lines) : 0;
    };
    if (wide_)
        drop(wideLines_);
    else
        drop(lines_);
    const auto goneNotDecoded = std::lower_bound(notDecoded_.begin(), notDecoded_.end(), gone) - notDecoded_.begin();
    notDecoded_.erase(notDecoded_.begin(), notDecoded_.begin() + goneNotDecoded);
    for (std::size_t& k : notDecoded_) k -= gone;
}

std::optional<std::size_t> RecordIndex::bannerLine(std::uint64_t number) const {
    const std::size_t k = indexFrom(number);
    if (k == count() || this->number(k) != number) return std::nullopt;
    return line(k);
}

std::optional<std::uint64_t> RecordIndex::recordFrom(std::uint64_t number) const {
    const std::size_t k = indexFrom(number);
    if (k == count()) return std::nullopt;
    return this->number(k);
}

std::uint64_t RecordIndex::recordAt(std::size_t line) const {
    const std::size_t after = bannersUpTo(line);
    return after == 0 ? 0 : number(after - 1);
}

std::optional<std::uint64_t> RecordIndex::nextNotDecoded(std::size_t line) const {
    const auto next = std::upper_bound(notDecoded_.begin(), notDecoded_.end(), line,
                                       [this](std::size_t at, std::size_t k) { return at < this->line(k); });
    if (next == notDecoded_.end()) return std::nullopt;
    return number(*next);
}

std::optional<std::uint64_t> RecordIndex::previousNotDecoded(std::size_t line) const {
    const auto next = std::lower_bound(notDecoded_.begin(), notDecoded_.end(), line,
                                       [this](std::size_t k, std::size_t at) { return this->line(k) < at; });
    if (next == notDecoded_.begin()) return std::nullopt;
    return number(*(next - 1));
}

}  // namespace truno::window
