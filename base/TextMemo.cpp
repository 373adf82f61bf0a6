#include "base/TextMemo.h"

namespace truno {

std::size_t& TextMemo::ownDepth() {
    thread_local std::size_t depth = 0;
    return depth;
}

std::vector<Mark>& TextMemo::ownMarks() {
    // Kept texts hold one another three deep (a message's fixed part, a parameter's block, an
    // address's head); append() writes a text without keeping it past kDeepest.
    thread_local std::array<std::vector<Mark>, kDeepest> lists;
    return lists[ownDepth()++];
}

TextMemo::TextMemo(Numbering numbering) {
    if (numbering == Numbering::None) return;
    numbered_ = std::make_unique<std::atomic<const Entry*>[]>(kMostTexts);
    numberedKind_ = numbering == Numbering::ParameterBlocks ? MarkKind::Parameter : MarkKind::Heading;
}

void TextMemo::number(std::span<Mark> marks, std::uint64_t number) const {
    if (marks.empty() || marks.front().kind != numberedKind_) return;
    marks.front().number = number;
    marks.front().hasNumber = true;
}

void TextMemo::keep(const Key& key, std::string_view text, std::span<Mark> marks, std::size_t origin) {
    // Once full, a memo is not locked again.
    if (kept_.load(std::memory_order_relaxed) >= kMostTexts) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (owned_.size() >= kMostTexts) return;
    std::size_t i = slotOf(key);
    for (;; i = (i + 1) & (kSlots - 1)) {
        const Entry* entry = slots_[i].load(std::memory_order_relaxed);
        if (entry == nullptr) break;
        if (entry->key == key) {
            // Kept by another thread meanwhile: the same text, under its number.
            if (numbered_ && !entry->marks.empty() && entry->marks.front().hasNumber)
                number(marks, entry->marks.front().number);
            return;
        }
    }
    if (numbered_) number(marks, owned_.size());
    auto entry = std::make_unique<Entry>(Entry{.key = key, .text = std::string(text), .marks = {marks.begin(), marks.end()}});
    const auto shift = static_cast<std::uint32_t>(origin);
    for (Mark& mark : entry->marks) {
        mark.begin -= shift;
        mark.value -= shift;
    }
    if (numbered_) numbered_[owned_.size()].store(entry.get(), std::memory_order_release);
    owned_.push_back(std::move(entry));
    slots_[i].store(owned_.back().get(), std::memory_order_release);
    kept_.store(owned_.size(), std::memory_order_relaxed);
}

}  // namespace truno
