#pragma once
// Report text that is a constant of a key: the block of a parameter is a function of its row and
// its contents (the decoders are pure), the head of an address parameter of its first two octets.
// A memo keeps such a text as it is first written, with the marks written with it, and copies it
// whole (its marks too, when the text it is copied into keeps marks).
// The threads of a run share one memo: a text is kept under a lock and published before the slot
// that leads to it, so that finding one takes no lock. At most kMostTexts are kept, so that memory
// stays bounded whatever the log; past that, texts are written as they were before.
// A memo of parameters' blocks, or of the heads of address parameters, numbers its texts: the
// parameter's mark (the heading's) a kept text begins with carries the text's number
// (Mark::number, hasNumber), wherever the text is copied, so that a view can keep what it makes
// of the text by that number and find the text again (kept()).
#include "base/ReportText.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

class TextMemo {
public:
    // What a text is a constant of: the table row or description it comes from, and what varies
    // (octets, or digits packed by packDigits with their number).
    struct Key {
        const void* owner = nullptr;
        std::uint64_t first = 0;
        std::uint64_t second = 0;
        std::uint64_t size = 0;
        bool operator==(const Key&) const = default;
    };

    static constexpr std::size_t kMostTexts = 4096;

    // What the memo numbers: nothing, the parameters' blocks it keeps, or the address heads
    // (see above).
    enum class Numbering : std::uint8_t { None, ParameterBlocks, AddressHeads };
    explicit TextMemo(Numbering numbering = Numbering::None);

    // A kept text and its marks (counted from the text's first byte).
    struct Kept {
        std::string_view text;
        std::span<const Mark> marks;
    };
    // The text numbered `number` by a memo that numbers its texts; nothing for a number it has
    // not given.
    std::optional<Kept> kept(std::uint64_t number) const {
        if (!numbered_ || number >= kMostTexts) return std::nullopt;
        const Entry* entry = numbered_[number].load(std::memory_order_acquire);
        if (entry == nullptr) return std::nullopt;
        return Kept{entry->text, entry->marks};
    }

    // Appends the text kept for the key to `out`, with its marks when `out` keeps marks; when
    // none is kept, writes it with `write()` and keeps it. A text is kept with its marks even for a
    // report without marks, so that every run can copy it.
    template <class Write>
    void append(const Key& key, Text& out, Write&& write) {
        if (const Entry* entry = find(key); entry != nullptr) {
            if (out.marks() != nullptr) [[unlikely]]
                out.addMarks(entry->marks, out.size());
            out += entry->text;
            return;
        }
        if (kept_.load(std::memory_order_relaxed) >= kMostTexts || ownDepth() >= kDeepest) {
            write();
            return;
        }
        writeAndKeep(key, out, write);
    }

private:
    // Out of line, so that copying a kept text carries none of it. The text is written with a
    // list of marks of its own that keeps every mark, so that the memo serves every run, then
    // its marks go to `out`'s list (through its filter) when it has one.
    template <class Write>
    [[gnu::noinline]] void writeAndKeep(const Key& key, Text& out, Write& write) {
        const std::size_t start = out.size();
        std::vector<Mark>& own = ownMarks();
        {
            // `out` gets its list and filter back however write() ends (a decoder may throw).
            const MarksLent lent(out, own);
            write();
        }
        keep(key, out.view().substr(start), own, start);  // numbers `own`'s first mark when it is kept
        out.addMarks(own, 0);  // placed in `out` already
    }

    // The thread's lists of marks for the texts being written and kept, one per level (a kept
    // text may hold another), reused: ownMarks() takes the next level's, ~MarksLent gives it back.
    static constexpr std::size_t kDeepest = 8;
    static std::vector<Mark>& ownMarks();
    static std::size_t& ownDepth();
    class MarksLent {
    public:
        MarksLent(Text& out, std::vector<Mark>& own) : out_(out), marks_(out.marks()), filter_(out.markFilter()) {
            own.clear();
            out.attachMarks(&own);
            out.setMarkFilter({});
        }
        MarksLent(const MarksLent&) = delete;
        MarksLent& operator=(const MarksLent&) = delete;
        ~MarksLent() {
            out_.attachMarks(marks_);
            out_.setMarkFilter(filter_);
            --ownDepth();
        }

    private:
        Text& out_;
        std::vector<Mark>* marks_;
        Text::MarkFilter filter_;
    };

    struct Entry {
        Key key;
        std::string text;
        std::vector<Mark> marks;  // counted from the text's first byte
    };

    const Entry* find(const Key& key) const {
        for (std::size_t i = slotOf(key);; i = (i + 1) & (kSlots - 1)) {
            const Entry* entry = slots_[i].load(std::memory_order_acquire);
            if (entry == nullptr || entry->key == key) return entry;
        }
    }
    // Keeps the text written for the key and its marks (placed from `origin` in the text they were
    // written in), unless one is kept already or there is no room left. A memo that numbers its
    // texts numbers the first mark of `marks` too, with the number of the text kept for the key.
    void keep(const Key& key, std::string_view text, std::span<Mark> marks, std::size_t origin);
    // Gives the first of a kept text's marks, when it is of the kind the memo numbers, the
    // number of the text.
    void number(std::span<Mark> marks, std::uint64_t number) const;

    // Twice the slots there may be texts, so that a search ends within a few.
    static constexpr std::size_t kSlots = 2 * kMostTexts;

    static std::size_t slotOf(const Key& key) {
        const std::uint64_t mixed = (reinterpret_cast<std::uintptr_t>(key.owner) >> 3) ^
                                    (key.first * 0x9E3779B97F4A7C15ull) ^ (key.second * 0xC2B2AE3D27D4EB4Full) ^ key.size;
        return static_cast<std::size_t>((mixed * 0xD6E8FEB86659FD93ull) >> 51) & (kSlots - 1);
    }

    std::array<std::atomic<const Entry*>, kSlots> slots_{};
    std::atomic<std::size_t> kept_{0};
    std::mutex mutex_;
    std::vector<std::unique_ptr<Entry>> owned_;
    // By number, for a memo that numbers its texts (null otherwise): owned_[i] at i.
    std::unique_ptr<std::atomic<const Entry*>[]> numbered_;
    MarkKind numberedKind_ = MarkKind::Parameter;  // the kind of the marks numbered
};

// Up to 16 characters (hex digits) packed into the key's two words, their number into its size,
// so that two texts have the same key only when they are equal. Longer text is not packed (false).
inline bool packDigits(std::string_view digits, TextMemo::Key& key) {
    const char* p = digits.data();
    const std::size_t n = digits.size();
    key.size = n;
    // Loads that may overlap: with the number of characters, they cover every one exactly.
    if (n > 16) return false;
    if (n >= 8) {
        std::memcpy(&key.first, p, 8);
        std::memcpy(&key.second, p + n - 8, 8);
    } else if (n >= 4) {
        std::uint32_t head, tail;
        std::memcpy(&head, p, 4);
        std::memcpy(&tail, p + n - 4, 4);
        key.first = head | (std::uint64_t{tail} << 32);
        key.second = 0;
    } else {
        key.first = n == 0 ? 0
                           : static_cast<unsigned char>(p[0]) | (std::uint64_t{static_cast<unsigned char>(p[n / 2])} << 8) |
                                 (std::uint64_t{static_cast<unsigned char>(p[n - 1])} << 16);
        key.second = 0;
    }
    return true;
}

}  // namespace truno
