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

void Text::keepMark(MarkKind kind, std::int16_t code, std::uint32_t begin, std::uint32_t value,
                    const BitField* field) {
    marks_->push_back(Mark{.field = field, .begin = begin, .value = value, .code = code, .kind = kind});
}

std::size_t meaningOffset(std::string_view value) {
    std::size_t digits = 0;
    while (digits < value.size() &&
           ((value[digits] >= '0' && value[digits] <= '9') || (value[digits] >= 'A' && value[digits] <= 'F')))
        ++digits;
    if (digits == 0 || value.substr(digits, 2) != ", ") return 0;
    return digits + 2;
}

void Text::keepMeaning(std::size_t start, std::string_view written) {
    if (marks_->empty()) return;
    Mark& last = marks_->back();
    if ((last.kind != MarkKind::Field && last.kind != MarkKind::Plain) || last.value != start || last.meaning != 0)
        return;
    last.meaning = static_cast<std::uint16_t>(meaningOffset(written));
}

std::ostream& operator<<(std::ostream& os, const Text& text) { return os << text.view(); }

}  // namespace truno
