// The JSON Lines object of a message written from its record (appendRecordJsonTail) by the thread
// that decoded it: a parameter's block that the memo of blocks kept whole is copied as its JSON
// was first written, an address parameter's head likewise with only its digits written, the
// other blocks from the facts of their marks.
#include "output/Exports.h"
#include "output/MessageJsonParts.h"
#include "analysis/facts/MessageSummary.h"
#include "base/TextMemo.h"
#include "dispatch/ParameterTable.h"
#include "parameters/address/AddressNumber.h"

#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

using namespace messagejson;

namespace {

// The JSON of the parameters' blocks kept whole (keptParameterBlock), by their number, as each
// is written on its own, for the thread: written once, copied afterwards. The texts go one after
// the other into one buffer of bounded size; past it, blocks are written each time.
class KeptBlocksJson {
public:
    struct Piece {
        std::string_view json;       // the block's objects, joined by commas
        std::uint32_t marks = 0;     // the marks of the block
        std::uint32_t textSize = 0;  // the length of its text
        const BitField* lastField = nullptr;  // its last mark's field and place in its text
        std::uint32_t lastBegin = 0;
    };

    // The piece of the block numbered `number`, written now when it is not kept yet; nothing
    // when no block has that number or there is no room left.
    std::optional<Piece> find(std::uint64_t number) {
        if (number >= TextMemo::kMostTexts) return std::nullopt;
        if (entries_.empty()) entries_.resize(TextMemo::kMostTexts);
        Entry& entry = entries_[number];
        // Written at most once: a block that cannot be (no room left) is written each time.
        if (!entry.made) {
            entry.made = true;
            entry.usable = make(number, entry);
        }
        if (!entry.usable) return std::nullopt;
        return Piece{.json = std::string_view(texts_).substr(entry.offset, entry.jsonSize),
                     .marks = entry.marks,
                     .textSize = entry.textSize,
                     .lastField = entry.lastField,
                     .lastBegin = entry.lastBegin};
    }

private:
    static constexpr std::size_t kTexts = std::size_t{8} << 20;
    struct Entry {
        bool made = false;
        bool usable = false;
        std::uint32_t offset = 0;
        std::uint32_t jsonSize = 0;
        std::uint32_t marks = 0;
        std::uint32_t textSize = 0;
        const BitField* lastField = nullptr;
        std::uint32_t lastBegin = 0;
    };

    bool make(std::uint64_t number, Entry& entry) {
        const std::optional<TextMemo::Kept> kept = keptParameterBlock(number);
        if (!kept || kept->marks.empty()) return false;
        thread_local RecordFacts block;
        block.text = kept->text;
        block.marks = kept->marks;
        thread_local Text json;
        json.clear();
        bool first = true;
        appendMarkedBlocksJson(json, block, 0, kept->marks.size(), first);
        if (json.empty() || texts_.size() + json.size() > kTexts) return false;
        if (texts_.capacity() == 0) texts_.reserve(std::size_t{1} << 20);
        entry = Entry{.made = true,
                      .usable = true,
                      .offset = static_cast<std::uint32_t>(texts_.size()),
                      .jsonSize = static_cast<std::uint32_t>(json.size()),
                      .marks = static_cast<std::uint32_t>(kept->marks.size()),
                      .textSize = static_cast<std::uint32_t>(kept->text.size()),
                      .lastField = kept->marks.back().field,
                      .lastBegin = kept->marks.back().begin};
        texts_ += json.view();
        return true;
    }

    std::vector<Entry> entries_;
    std::string texts_;
};

// The JSON of the address parameters' blocks up to their digits, by the number of their head
// (keptAddressHead) and the parameter's code, for the thread: the block's opening and the
// objects of the head's fields, written once and copied afterwards. One entry per head, for the
// code it was first met with; the texts in one buffer of bounded size.
class AddressHeadsJson {
public:
    struct Piece {
        std::string_view json;       // the opening and the fields' objects before the digits'
        bool fieldsBefore = false;   // whether a field's object comes before the digits'
        std::uint32_t marks = 0;     // the marks of the head, the digits' last
        const BitField* digits = nullptr;  // the digits' row and the place of their mark
        std::uint32_t digitsBegin = 0;     // counted from the heading's mark
    };

    std::optional<Piece> find(std::uint64_t number, std::int16_t code) {
        if (number >= TextMemo::kMostTexts) return std::nullopt;
        if (entries_.empty()) entries_.resize(TextMemo::kMostTexts);
        Entry& entry = entries_[number];
        if (!entry.made) {
            entry.made = true;
            if (!make(number, code, entry)) return std::nullopt;
        }
        if (!entry.usable || entry.code != code) return std::nullopt;
        return Piece{.json = std::string_view(texts_).substr(entry.offset, entry.jsonSize),
                     .fieldsBefore = entry.fieldsBefore,
                     .marks = entry.marks,
                     .digits = entry.digits,
                     .digitsBegin = entry.digitsBegin};
    }

private:
    static constexpr std::size_t kTexts = std::size_t{4} << 20;
    struct Entry {
        bool made = false;
        bool usable = false;
        bool fieldsBefore = false;
        std::int16_t code = -1;
        std::uint32_t offset = 0;
        std::uint32_t jsonSize = 0;
        std::uint32_t marks = 0;
        const BitField* digits = nullptr;
        std::uint32_t digitsBegin = 0;
    };

    // The head's facts with the parameter's mark in front, as the whole record's facts have them.
    bool make(std::uint64_t number, std::int16_t code, Entry& entry) {
        const std::optional<TextMemo::Kept> kept = keptAddressHead(number);
        if (!kept || kept->marks.size() < 2 || kept->marks.front().kind != MarkKind::Heading ||
            kept->marks.back().kind != MarkKind::Field || code < 0 || code > 255 ||
            findParameter(static_cast<std::uint8_t>(code)) == nullptr)
            return false;
        thread_local std::vector<Mark> marks;
        marks.assign(1, Mark{.code = code, .kind = MarkKind::Parameter});
        marks.insert(marks.end(), kept->marks.begin(), kept->marks.end());
        thread_local RecordFacts head;
        head.text = kept->text;
        head.marks = marks;
        thread_local MessageFacts facts;
        facts.build(head);
        // The own lines' block and the parameter's, the head's fields in it, the digits' last.
        if (facts.blocks().size() != 2) return false;
        const BlockFact& block = facts.blocks()[1];
        if (block.fieldCount + 1 != kept->marks.size()) return false;
        thread_local Text json;
        json.clear();
        appendBlockOpening(json, block);
        bool firstField = true;
        appendFieldsJson(json, block, facts.fieldsOf(block).first(block.fieldCount - 1), firstField);
        if (texts_.size() + json.size() > kTexts) return false;
        if (texts_.capacity() == 0) texts_.reserve(std::size_t{1} << 18);
        entry.usable = true;
        entry.fieldsBefore = !firstField;
        entry.code = code;
        entry.offset = static_cast<std::uint32_t>(texts_.size());
        entry.jsonSize = static_cast<std::uint32_t>(json.size());
        entry.marks = static_cast<std::uint32_t>(kept->marks.size());
        entry.digits = kept->marks.back().field;
        entry.digitsBegin = kept->marks.back().begin - kept->marks.front().begin;
        texts_ += json.view();
        return true;
    }

    std::vector<Entry> entries_;
    std::string texts_;
};

// The block of the parameter whose marks are [first, last) in the record, when it is an address
// whose head is kept whole (its heading's mark numbered) and its digits' mark ends it: the head's
// JSON copied, the digits' object written. False, with nothing written, otherwise.
bool appendAddressBlockJson(Text& line, const RecordFacts& record, std::size_t first, std::size_t last, bool& firstBlock) {
    const std::span<const Mark> marks = record.marks;
    if (last - first < 3 || marks[first + 1].kind != MarkKind::Heading || !marks[first + 1].hasNumber) return false;
    thread_local AddressHeadsJson heads;
    const std::optional<AddressHeadsJson::Piece> piece = heads.find(marks[first + 1].number, marks[first].code);
    if (!piece || first + 1 + piece->marks != last) return false;
    const Mark& digits = marks[last - 1];
    if (digits.field != piece->digits || digits.begin - marks[first + 1].begin != piece->digitsBegin) return false;
    // The digits' field as the facts of the whole record have it: its value up to the next mark.
    thread_local RecordFacts part;
    thread_local MessageFacts facts;
    const std::size_t end = last < marks.size() ? std::min<std::size_t>(marks[last].begin, record.text.size()) : record.text.size();
    part.text = record.text.substr(0, end);
    part.marks = marks.subspan(last - 1, 1);
    facts.build(part);
    if (facts.fields().size() != 1) return false;
    const ParameterRow& row = *findParameter(static_cast<std::uint8_t>(marks[first].code));
    const BlockFact block{.code = marks[first].code, .key = row.key, .name = row.name};
    FieldFact field = facts.fields().front();
    field.ref.parameterCode = block.code;
    if (!firstBlock) line += ',';
    firstBlock = false;
    line += piece->json;
    bool firstField = !piece->fieldsBefore;
    appendFieldsJson(line, block, std::span<const FieldFact>(&field, 1), firstField);
    put(line, "]}");
    return true;
}

// Whether the marks from `first` on in the record are the kept block `piece` whole, followed by
// nothing but line ends up to the next parameter (or the record's end): then its JSON is the
// block's own.
bool isWholeBlock(const RecordFacts& record, std::size_t first, const KeptBlocksJson::Piece& piece) {
    const std::span<const Mark> marks = record.marks;
    const std::size_t end = first + piece.marks;
    if (end > marks.size() || (end < marks.size() && marks[end].kind != MarkKind::Parameter)) return false;
    const Mark& last = marks[end - 1];
    const std::size_t begin = marks[first].begin;
    if (last.field != piece.lastField || last.begin - begin != piece.lastBegin) return false;
    const std::size_t textEnd = begin + piece.textSize;
    const std::size_t next = end < marks.size() ? marks[end].begin : record.text.size();
    if (textEnd > next || next > record.text.size()) return false;
    for (std::size_t at = textEnd; at < next; ++at)
        if (record.text[at] != '\r' && record.text[at] != '\n') return false;
    return true;
}

}  // namespace

void appendRecordJsonHead(Text& line, const RecordFacts& record, std::string_view switchName, std::string_view leading) {
    appendHead(line, record, switchName, leading, JsonRow::View);
}

void appendRecordJsonTail(Text& line, const RecordFacts& record) {
    const std::span<const Mark> marks = record.marks;
    // The info, from the facts of the parameters it reads.
    thread_local MessageFacts infoFacts;
    thread_local std::vector<Mark> infoMarks;
    const std::bitset<256>& read = infoParameters(record.typeCode);
    if (record.decoded && read.none()) {
        put(line, ",\"info\":\"\",\"parameters\":[");
    } else if (record.decoded) {
        // The marks of those blocks, each with the next parameter's mark after it, so that the
        // fields read end where they end in the whole record.
        infoMarks.clear();
        bool kept = false;
        for (const Mark& mark : marks) {
            if (mark.kind == MarkKind::Parameter) {
                const bool wanted = mark.code >= 0 && mark.code <= 255 && read[static_cast<std::size_t>(mark.code)];
                if (wanted || kept) infoMarks.push_back(mark);
                kept = wanted;
            } else if (kept) {
                infoMarks.push_back(mark);
            }
        }
        RecordFacts withInfo = record;
        withInfo.marks = infoMarks;
        infoFacts.build(withInfo);
        appendInfo(line, infoFacts);
    } else {
        infoFacts.build(record, false);
        appendInfo(line, infoFacts);
    }
    // The blocks: a parameter's kept whole copied as its JSON was first written, the others from
    // the facts of their marks.
    thread_local KeptBlocksJson keptBlocks;
    bool firstBlock = true;
    std::size_t first = 0;  // the first mark not written yet
    const auto nextParameter = [&](std::size_t from) {
        while (from < marks.size() && marks[from].kind != MarkKind::Parameter) ++from;
        return from;
    };
    std::size_t at = nextParameter(0);
    if (at > 0) appendMarkedBlocksJson(line, record, 0, at, firstBlock);
    first = at;
    while (first < marks.size()) {
        const Mark& mark = marks[first];
        if (mark.hasNumber) {
            const std::optional<KeptBlocksJson::Piece> piece = keptBlocks.find(mark.number);
            if (piece && isWholeBlock(record, first, *piece)) {
                if (!firstBlock) line += ',';
                firstBlock = false;
                copyObject(line.extend(piece->json.size()), piece->json.data(), piece->json.size());
                first += piece->marks;
                continue;
            }
        }
        at = nextParameter(first + 1);
        if (!appendAddressBlockJson(line, record, first, at, firstBlock))
            appendMarkedBlocksJson(line, record, first, at, firstBlock);
        first = at;
    }
    put(line, "]}\n");
}

}  // namespace truno
