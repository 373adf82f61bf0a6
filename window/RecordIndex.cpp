#include "window/RecordIndex.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace truno::window {

namespace {

constexpr std::string_view kBanner = "RECORD ";
constexpr std::string_view kAfterNumber = "     TIME=";
constexpr std::string_view kNotDecoded = "*** MESSAGE NOT DECODED ***";

}  // namespace

bool RecordIndex::addRecord(std::uint64_t number, std::size_t bannerLine) {
    if (number != bannerLines_.size() + 1) return false;
    bannerLines_.push_back(bannerLine);
    return true;
}

void RecordIndex::markNotDecoded(std::uint64_t number) {
    if (number == 0 || number > bannerLines_.size()) return;
    if (!notDecoded_.empty() && number <= notDecoded_.back()) return;
    notDecoded_.push_back(number);
}

void RecordIndex::clear() {
    bannerLines_.clear();
    notDecoded_.clear();
}

std::optional<std::size_t> RecordIndex::bannerLine(std::uint64_t number) const {
    if (number == 0 || number > bannerLines_.size()) return std::nullopt;
    return bannerLines_[number - 1];
}

std::uint64_t RecordIndex::recordAt(std::size_t line) const {
    // Banner lines ascend with the record numbers.
    return static_cast<std::uint64_t>(std::upper_bound(bannerLines_.begin(), bannerLines_.end(), line) -
                                      bannerLines_.begin());
}

std::optional<std::uint64_t> RecordIndex::nextNotDecoded(std::size_t line) const {
    const auto after = std::upper_bound(
        notDecoded_.begin(), notDecoded_.end(), line,
        [this](std::size_t at, std::uint64_t record) { return at < bannerLines_[record - 1]; });
    if (after == notDecoded_.end()) return std::nullopt;
    return *after;
}

std::optional<std::uint64_t> RecordIndex::previousNotDecoded(std::size_t line) const {
    const auto from = std::lower_bound(
        notDecoded_.begin(), notDecoded_.end(), line,
        [this](std::uint64_t record, std::size_t at) { return bannerLines_[record - 1] < at; });
    if (from == notDecoded_.begin()) return std::nullopt;
    return *(from - 1);
}

void RecordLineFinder::read(const ReportDocument& document, RecordIndex& index, bool toEnd) {
    const std::size_t finished = toEnd ? document.lineCount() : document.lineCount() - 1;
    if (nextLine_ >= finished) return;
    document.forLines(nextLine_, finished - nextLine_, [&index](std::size_t n, std::string_view line) {
        if (line.empty()) return;
        if (line.front() == 'R' && line.starts_with(kBanner)) {
            // The number must be the next one and be followed by the capture time, so that a
            // line of decoded text that happens to begin with the word is not taken for a banner.
            const std::string_view rest = line.substr(kBanner.size());
            std::uint64_t number = 0;
            const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
            if (error == std::errc() && rest.substr(static_cast<std::size_t>(end - rest.data())).starts_with(kAfterNumber))
                index.addRecord(number, n);
        } else if (line.front() == '*' && line == kNotDecoded) {
            index.markNotDecoded(index.recordCount());
        }
    });
    nextLine_ = finished;
}

}  // namespace truno::window
