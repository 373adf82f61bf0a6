#include "base/TextMemo.h"

namespace truno {

void TextMemo::keep(const Key& key, std::string_view text) {
    // Once full, a memo is not locked again.
    if (kept_.load(std::memory_order_relaxed) >= kMostTexts) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (owned_.size() >= kMostTexts) return;
    std::size_t i = slotOf(key);
    for (;; i = (i + 1) & (kSlots - 1)) {
        const Entry* entry = slots_[i].load(std::memory_order_relaxed);
        if (entry == nullptr) break;
        if (entry->key == key) return;
    }
    owned_.push_back(std::make_unique<Entry>(Entry{key, std::string(text)}));
    slots_[i].store(owned_.back().get(), std::memory_order_release);
    kept_.store(owned_.size(), std::memory_order_relaxed);
}

}  // namespace truno
