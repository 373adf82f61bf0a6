#include "base/ReportText.h"

#include <algorithm>
#include <ostream>

namespace truno {

void Text::reserveMore(std::size_t n) {
    const std::size_t wanted = size_ + n;
    std::size_t capacity = std::max<std::size_t>(capacity_ * 2, 256);
    while (capacity < wanted) capacity *= 2;
    auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ != 0) std::memcpy(bigger.get(), data_.get(), size_);
    data_ = std::move(bigger);
    capacity_ = capacity;
}

void Text::truncate(std::size_t n) {
    if (n < size_) size_ = n;
    if (marks_ != nullptr)
        while (!marks_->empty() && marks_->back().begin >= n) marks_->pop_back();
}

void Text::keepMark(const Mark& mark) { marks_->push_back(mark); }

std::ostream& operator<<(std::ostream& os, const Text& text) { return os << text.view(); }

}  // namespace truno
