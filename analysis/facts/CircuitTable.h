#pragma once
// A table from a circuit's key (circuitKey) to a small value, kept in one array by open addressing
// (linear probing, at most half full): a lookup allocates nothing and walks no list, and the
// table allocates only when it grows. Keys are never removed: the tables that use it keep one
// entry per circuit seen, which a value can mark as unused. A reference to a value holds until
// the next insert that adds a key.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace truno {

template <typename Value>
class CircuitTable {
public:
    // The value under `key`, or null.
    const Value* find(std::uint64_t key) const {
        if (count_ == 0) return nullptr;
        for (std::size_t at = home(key);; at = (at + 1) & mask_) {
            const Entry& entry = entries_[at];
            if (!entry.used) return nullptr;
            if (entry.key == key) return &entry.value;
        }
    }
    Value* find(std::uint64_t key) { return const_cast<Value*>(std::as_const(*this).find(key)); }

    // The value under `key`, value-initialised when the key is new (then `inserted` is set).
    Value& insert(std::uint64_t key, bool& inserted) {
        if (Value* value = find(key)) {
            inserted = false;
            return *value;
        }
        inserted = true;
        return add(key);
    }
    Value& operator[](std::uint64_t key) {
        bool inserted = false;
        return insert(key, inserted);
    }

    std::size_t size() const { return count_; }

private:
    struct Entry {
        std::uint64_t key = 0;
        Value value{};
        bool used = false;
    };

    // Fibonacci hashing: the key's bits spread by a multiplication, the top ones taken.
    std::size_t home(std::uint64_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    // A key not in the table, added.
    Value& add(std::uint64_t key) {
        if ((count_ + 1) * 2 > entries_.size()) grow();
        std::size_t at = home(key);
        while (entries_[at].used) at = (at + 1) & mask_;
        ++count_;
        Entry& entry = entries_[at];
        entry.used = true;
        entry.key = key;
        entry.value = Value{};
        return entry.value;
    }

    void grow() {
        std::vector<Entry> old = std::move(entries_);
        const std::size_t size = old.empty() ? 64 : old.size() * 2;
        entries_.assign(size, Entry{});
        mask_ = size - 1;
        shift_ = 64;
        for (std::size_t n = size; n > 1; n >>= 1) --shift_;
        for (Entry& entry : old) {
            if (!entry.used) continue;
            std::size_t at = home(entry.key);
            while (entries_[at].used) at = (at + 1) & mask_;
            entries_[at] = std::move(entry);
        }
    }

    std::vector<Entry> entries_;
    std::size_t count_ = 0;
    std::size_t mask_ = 0;
    unsigned shift_ = 64;
};

}  // namespace truno
