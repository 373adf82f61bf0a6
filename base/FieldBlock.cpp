#include "base/FieldBlock.h"

#include "base/Conversions.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace truno {

namespace {

// The octets a block reads, each converted once. The whole contents are converted only when a
// line reads the last octet, so a block read octet by octet is not held to the four-octet limit
// of the whole-number reading. Blocks read only their first few octets; an index beyond the
// cached ones is converted again at each use.
class OctetSource {
public:
    explicit OctetSource(std::string_view contents) : contents_(contents) {}

    std::uint8_t octet(int index) {
        if (index == kLastOctet) {
            if (!haveLast_) {
                last_ = lastContentsOctet(contents_);
                haveLast_ = true;
            }
            return last_;
        }
        const auto n = static_cast<std::size_t>(index);
        if (n > octets_.size()) return contentOctet(contents_, n);
        const auto bit = static_cast<std::uint16_t>(1u << (n - 1));
        if ((have_ & bit) == 0) {
            octets_[n - 1] = contentOctet(contents_, n);
            have_ = static_cast<std::uint16_t>(have_ | bit);
        }
        return octets_[n - 1];
    }

private:
    std::string_view contents_;
    std::array<std::uint8_t, 16> octets_{};
    std::uint16_t have_ = 0;  // bit n-1 set: octet n is in octets_
    std::uint8_t last_ = 0;
    bool haveLast_ = false;
};

std::size_t indentOf(LineLevel level) {
    switch (level) {
        case LineLevel::L1: return 0;
        case LineLevel::L2: return kLabelIndent;
        case LineLevel::L3: return kLabelIndent + 4;
    }
    return 0;
}

}  // namespace

std::string_view valueName(const BitField& field, std::uint64_t value) {
    for (const ValuePhrase& row : field.values)
        if (row.value == value) return row.name;
    const Field cut{value, field.bits.high - field.bits.low + 1};
    for (const Phrase& row : field.table)
        if (row.width == cut.width && row.value == cut.value) return row.name;
    return {};
}

void dressField(Text& out, const BitField& field) {
    const std::size_t begin = out.size();
    dressLabel(out, field.label, indentOf(field.level));
    out.markField(begin, field);
}

void fieldLine(Text& out, const BitField& field, std::string_view value) {
    dressField(out, field);
    out += value;
    out += CRLF;
}

void appendNumberLine(Text& out, const BitField& field, std::string_view contents) {
    const HexDecimal decimal(contents);
    fieldLine(out, field, decimal.text());
    if (const HexNumber number = readHexNumber(contents); number.value) out.setFieldNumber(*number.value);
}

void fieldLine(Text& out, const BitField& field, const ValuePhrase& row) {
    dressField(out, field);
    appendRowText(out, row);
    out += CRLF;
}

namespace {

// The field's line for a value, written piece by piece: the dressed label, then the phrase of its
// row or its fallback; the field's number and its meaning are marked when the text keeps marks.
void writeFieldLine(Text& out, const BitField& field, Field value) {
    dressField(out, field);
    out.setFieldNumber(value.value);
    if (field.values.empty())
        appendPhrase(out, field.table, value, field.fallback);
    else
        appendPhrase(out, field.values, value, field.fallback);
}

// A field's line is a constant of its row and its value: a field of up to kWidest bits has every
// line laid out with its marks, on its first use, and the line is copied whole (its marks too,
// when the text keeps marks).
constexpr int kWidest = 8;
constexpr std::uint32_t kNotLaidOut = 0xFFFFFFFF;

int widthOf(const BitField& field) { return field.bits.high - field.bits.low + 1; }

// Every line of a run of rows (a block's lines, or one field), each after a CR LF: the line of
// row r for value v runs from ends[first[r] + v] to ends[first[r] + v + 1]. A row wider than
// kWidest has none (first[r] is kNotLaidOut).
struct LaidOutRows {
    std::size_t count = 0;
    bool complete = true;  // every row is laid out
    std::string text;
    std::vector<std::uint32_t> first;
    std::vector<std::uint32_t> ends;
    // The marks of every line, counted from the CR LF before it: those of the line that ends at
    // ends[k + 1] run from marks[markEnds[k]] to marks[markEnds[k + 1]].
    std::vector<Mark> marks;
    std::vector<std::uint32_t> markEnds;

    // Row r's line for the value (below 2 to the power of the row's width), after its CR LF; empty
    // when the row is not laid out.
    std::string_view line(std::size_t r, std::uint64_t value) const {
        const std::uint32_t at = first[r];
        if (at == kNotLaidOut) return {};
        return {text.data() + ends[at + value], ends[at + value + 1] - ends[at + value]};
    }
    // The marks of row r's line for the value (the row laid out).
    std::span<const Mark> marksOf(std::size_t r, std::uint64_t value) const {
        const std::size_t k = first[r] + value;
        return std::span<const Mark>(marks).subspan(markEnds[k], markEnds[k + 1] - markEnds[k]);
    }
};

LaidOutRows layOut(std::span<const BitField> rows) {
    LaidOutRows laidOut;
    laidOut.count = rows.size();
    Text line;
    std::vector<Mark> lineMarks;
    line.attachMarks(&lineMarks);
    for (const BitField& row : rows) {
        const int width = widthOf(row);
        if (width < 1 || width > kWidest) {
            laidOut.first.push_back(kNotLaidOut);
            laidOut.complete = false;
            continue;
        }
        laidOut.first.push_back(static_cast<std::uint32_t>(laidOut.ends.size()));
        laidOut.ends.push_back(static_cast<std::uint32_t>(laidOut.text.size()));
        laidOut.markEnds.push_back(static_cast<std::uint32_t>(laidOut.marks.size()));
        for (std::uint64_t value = 0; value < (std::uint64_t{1} << width); ++value) {
            line.clear();
            line += CRLF;
            writeFieldLine(line, row, Field{value, width});
            laidOut.text += line.view();
            laidOut.ends.push_back(static_cast<std::uint32_t>(laidOut.text.size()));
            laidOut.marks.insert(laidOut.marks.end(), lineMarks.begin(), lineMarks.end());
            laidOut.markEnds.push_back(static_cast<std::uint32_t>(laidOut.marks.size()));
        }
    }
    return laidOut;
}

// The laid-out lines of the runs of rows met so far, found by the address of their first row and
// their number. A run is laid out once, under the lock; finding it takes no lock (its lines are
// published before its key), so that the decoding threads of a run share the lines.
class LaidOutLines {
public:
    const LaidOutRows* find(std::span<const BitField> rows) {
        const BitField* const first = rows.data();
        for (std::size_t i = slotOf(first), probes = 0; probes < kSlots; ++probes, i = (i + 1) & (kSlots - 1)) {
            const BitField* key = keys_[i].load(std::memory_order_acquire);
            if (key == first) {
                const LaidOutRows* laidOut = rows_[i].load(std::memory_order_acquire);
                if (laidOut->count == rows.size()) return laidOut;
            } else if (key == nullptr) {
                return add(rows);
            }
        }
        return nullptr;
    }

private:
    // Far more slots than there are runs of rows, so that a search ends within a few.
    static constexpr std::size_t kSlots = 4096;
    static constexpr std::size_t kMostRuns = kSlots / 2;

    static std::size_t slotOf(const BitField* first) {
        const auto address = reinterpret_cast<std::uintptr_t>(first);
        return static_cast<std::size_t>(((address >> 3) * 0x9E3779B97F4A7C15ull) >> 52) & (kSlots - 1);
    }

    const LaidOutRows* add(std::span<const BitField> rows) {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::size_t i = slotOf(rows.data());
        for (;; i = (i + 1) & (kSlots - 1)) {
            const BitField* key = keys_[i].load(std::memory_order_relaxed);
            if (key == nullptr) break;
            const LaidOutRows* laidOut = rows_[i].load(std::memory_order_relaxed);
            if (key == rows.data() && laidOut->count == rows.size()) return laidOut;
        }
        if (owned_.size() >= kMostRuns) return nullptr;
        owned_.push_back(std::make_unique<LaidOutRows>(layOut(rows)));
        rows_[i].store(owned_.back().get(), std::memory_order_release);
        keys_[i].store(rows.data(), std::memory_order_release);
        return owned_.back().get();
    }

    std::array<std::atomic<const BitField*>, kSlots> keys_{};
    std::array<std::atomic<const LaidOutRows*>, kSlots> rows_{};
    std::mutex mutex_;
    std::vector<std::unique_ptr<LaidOutRows>> owned_;
};

// The rows' laid-out lines (null when there is no room left for them).
const LaidOutRows* laidOutRows(std::span<const BitField> rows) {
    static LaidOutLines lines;
    return lines.find(rows);
}

}  // namespace

void appendFieldLine(Text& out, const BitField& field, Field value) {
    // A value cut by a caller may be wider than its field's bits: it is written piece by piece.
    if (value.width == widthOf(field) && value.width >= 1 && value.width <= kWidest &&
        value.value < (std::uint64_t{1} << value.width)) {
        if (const LaidOutRows* rows = laidOutRows({&field, 1}); rows != nullptr) {
            if (const std::string_view line = rows->line(0, value.value); !line.empty()) {
                // The marks are counted from the CR LF left out.
                if (out.marks() != nullptr) [[unlikely]]
                    out.addMarks(rows->marksOf(0, value.value), out.size() - CRLF.size());
                out += line.substr(CRLF.size());
                return;
            }
        }
    }
    writeFieldLine(out, field, value);
}

void appendFieldLine(Text& out, const BitField& field, std::uint8_t octet) {
    appendFieldLine(out, field, bitsOf(octet, field.bits));
}

void appendTitledContents(Text& out, std::string_view title, const BitField& field, std::string_view contents) {
    lineOf(out, title);
    out.markPlain(field);
    out += contents;
}

namespace {

void appendEnding(Text& out, BlockEnding ending) {
    switch (ending) {
        case BlockEnding::None: break;
        case BlockEnding::LineEnd: out += CRLF; break;
        case BlockEnding::EmptyLine: out += "\r\n\r\n"; break;
    }
}

}  // namespace

void appendFieldBlock(Text& out, std::string_view contents, const FieldBlock& block) {
    // The octet of each line, converted before anything is written (blocks have a handful of
    // lines; a longer one would read the rest again as it writes them).
    constexpr std::size_t kKept = 32;
    std::array<std::uint8_t, kKept> octets{};
    OctetSource source(contents);
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        const std::uint8_t octet = source.octet(block.lines[i].octet);
        if (i < kKept) octets[i] = octet;
    }

    if (block.lines.size() <= kKept) {
        if (const LaidOutRows* rows = laidOutRows(block.lines); rows != nullptr && rows->complete) {
            if (!block.title.empty()) {
                out.mark(MarkKind::Heading);
                out += block.title;
            }
            for (std::size_t i = 0; i < block.lines.size(); ++i) {
                const std::uint64_t value = bitsOf(octets[i], block.lines[i].bits).value;
                std::string_view line = rows->line(i, value);
                // The marks are counted from the line's CR LF, left out before a first line.
                std::size_t origin = out.size();
                if (i == 0 && block.title.empty()) {
                    line.remove_prefix(CRLF.size());
                    origin -= CRLF.size();
                }
                out += line;
                out.addMarks(rows->marksOf(i, value), origin);
            }
            appendEnding(out, block.ending);
            return;
        }
    }
    if (!block.title.empty()) {
        out.mark(MarkKind::Heading);
        out += block.title;
    }
    bool firstLine = block.title.empty();
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        if (!firstLine) out += CRLF;
        firstLine = false;
        const BitField& line = block.lines[i];
        appendFieldLine(out, line, i < kKept ? octets[i] : source.octet(line.octet));
    }
    appendEnding(out, block.ending);
}

}  // namespace truno
