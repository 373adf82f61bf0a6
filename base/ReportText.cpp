#include "base/ReportText.h"

#include "base/ByteScan.h"

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

void Text::crLfAsLf() {
    if (size_ != 0) size_ = static_cast<std::size_t>(copyCrLfAsLf(view(), data_.get()) - data_.get());
}

bool Text::keepsParameterMark(std::int16_t code) {
    const bool wasMuted = muted_;
    muted_ = !wanted(code);
    // A parameter not wanted right after another one not wanted, nothing kept between them: the
    // first one's mark ends the field before them both, and no view reads the blocks of either.
    return !(muted_ && wasMuted && !marks_->empty() && marks_->back().kind == MarkKind::Parameter &&
             !wanted(marks_->back().code));
}

void Text::keepMark(MarkKind kind, std::int16_t code, std::uint32_t begin, std::uint32_t value,
                    const BitField* field) {
    if (kind == MarkKind::Parameter) {
        if (!keepsParameterMark(code)) return;
    } else if (muted_) {
        return;
    }
    marks_->push_back(Mark{.field = field, .begin = begin, .value = value, .code = code, .kind = kind});
}

void Text::keepMarks(std::span<const Mark> marks, std::size_t origin) {
    // Places wrap as 32-bit numbers: a laid-out line counted from before its CR LF may have an
    // origin before the text's first byte, and its marks still land inside the text.
    const auto shift = static_cast<std::uint32_t>(origin);
    if (wanted_ == nullptr) {
        const std::size_t first = marks_->size();
        marks_->insert(marks_->end(), marks.begin(), marks.end());
        for (auto mark = marks_->begin() + static_cast<std::ptrdiff_t>(first); mark != marks_->end(); ++mark) {
            mark->begin += shift;
            mark->value += shift;
        }
        return;
    }
    // As they were written: a parameter's mark sets what is left out up to the next one.
    for (const Mark& mark : marks) {
        if (mark.kind == MarkKind::Parameter) {
            if (!keepsParameterMark(mark.code)) continue;
        } else if (muted_) {
            continue;
        }
        Mark& kept = marks_->emplace_back(mark);
        kept.begin += shift;
        kept.value += shift;
        // A block whose marks are left out is no longer the numbered one.
        if (muted_) kept.hasNumber = false;
    }
}

void Text::keepMeaning(std::size_t start, std::uint16_t meaning) {
    if (marks_->empty()) return;
    Mark& last = marks_->back();
    if ((last.kind != MarkKind::Field && last.kind != MarkKind::Plain) || last.value != start || last.meaning != 0)
        return;
    last.meaning = meaning;
}

std::ostream& operator<<(std::ostream& os, const Text& text) { return os << text.view(); }

}  // namespace truno
