// The memo of constant report texts: keys that differ in any character, in their length or in
// their owner are told apart, a memo stops keeping at its bound, a text's marks come back placed
// where the text is copied, whether or not it was first written with marks, and through the
// filter of parameters of the text it is copied into, and threads that keep and find at once see
// whole texts only.
#include "base/TextMemo.h"

#include "base/FieldBlock.h"

#include <gtest/gtest.h>

#include <bitset>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace truno {
namespace {

TextMemo::Key keyOf(const void* owner, std::string_view digits) {
    TextMemo::Key key{.owner = owner};
    EXPECT_TRUE(packDigits(digits, key)) << digits;
    return key;
}

// The text the memo appends for the key: the kept one, or `text` written (and kept).
std::string through(TextMemo& memo, const TextMemo::Key& key, std::string_view text) {
    Text out;
    memo.append(key, out, [&] { out += text; });
    return out.str();
}

TEST(TextMemo, KeysTellEveryCharacterLengthAndOwnerApart) {
    const int owners[2] = {};
    // Lengths 0 to 16, each character in turn changed, and runs of one digit that differ only in
    // their length (the loads of a long text overlap).
    std::vector<std::pair<const void*, std::string>> texts;
    for (const int& owner : owners) {
        for (std::size_t n = 0; n <= 16; ++n) {
            texts.emplace_back(&owner, std::string(n, 'A'));
            for (std::size_t at = 0; at < n; ++at) {
                std::string changed(n, 'A');
                changed[at] = 'B';
                texts.emplace_back(&owner, changed);
            }
        }
    }
    TextMemo memo;
    for (const auto& [owner, digits] : texts) through(memo, keyOf(owner, digits), std::to_string(texts.size()) + digits);
    for (const auto& [owner, digits] : texts)
        EXPECT_EQ(through(memo, keyOf(owner, digits), "not kept"), std::to_string(texts.size()) + digits);
    TextMemo::Key key;
    EXPECT_FALSE(packDigits(std::string(17, 'A'), key));
}

TEST(TextMemo, KeepsTheFirstTextAndStopsAtItsBound) {
    TextMemo memo;
    const int owner = 0;
    EXPECT_EQ(through(memo, {.owner = &owner, .first = 1}, "first"), "first");
    EXPECT_EQ(through(memo, {.owner = &owner, .first = 1}, "second"), "first");
    for (std::uint64_t i = 2; i <= TextMemo::kMostTexts + 10; ++i) through(memo, {.owner = &owner, .first = i}, "x");
    EXPECT_EQ(through(memo, {.owner = &owner, .first = TextMemo::kMostTexts}, "y"), "x");
    EXPECT_EQ(through(memo, {.owner = &owner, .first = TextMemo::kMostTexts + 1}, "y"), "y");
}

// A text with a field line and a heading, written after whatever the text holds already.
void writeMarked(Text& out) {
    static constexpr BitField field{.key = "k", .label = "Label", .type = FieldType::Number, .level = LineLevel::L2, .octet = 1, .bits = {8, 1}, .table = {}, .values = {}, .fallback = kFallbackBits};
    out.mark(MarkKind::Heading);
    out += "HEAD\r\n";
    const std::size_t line = out.size();
    out += "Label = ";
    out.markField(line, field);
    out.setFieldNumber(16);
    out += "16, meaning";
    out.noteMeaning(line + 8, 4);
}

TEST(TextMemo, MarksComeBackWhereTheTextIsCopied) {
    // First written into a text without marks (a plain report), or into one with marks: either
    // way, a later copy into a text with marks, at another place, has the marks of a fresh write.
    for (const bool firstMarked : {false, true}) {
        TextMemo memo;
        const TextMemo::Key key{.first = 7};
        std::vector<Mark> firstMarks;
        Text first("ab");
        if (firstMarked) first.attachMarks(&firstMarks);
        memo.append(key, first, [&] { writeMarked(first); });

        std::vector<Mark> fresh;
        Text expected("0123456789");
        expected.attachMarks(&fresh);
        writeMarked(expected);

        std::vector<Mark> copied;
        Text out("0123456789");
        out.attachMarks(&copied);
        memo.append(key, out, [] { FAIL() << "the text was kept"; });
        EXPECT_EQ(out.view(), expected.view());
        ASSERT_EQ(copied.size(), fresh.size());
        ASSERT_EQ(copied.size(), 2u);
        for (std::size_t i = 0; i < copied.size(); ++i) {
            EXPECT_EQ(copied[i].kind, fresh[i].kind);
            EXPECT_EQ(copied[i].begin, fresh[i].begin);
            EXPECT_EQ(copied[i].value, fresh[i].value);
            EXPECT_EQ(copied[i].field, fresh[i].field);
            EXPECT_EQ(copied[i].number, fresh[i].number);
            EXPECT_EQ(copied[i].hasNumber, fresh[i].hasNumber);
            EXPECT_EQ(copied[i].meaning, fresh[i].meaning);
        }
        EXPECT_EQ(copied[1].meaning, 4);
        EXPECT_EQ(first.marks() == nullptr, !firstMarked);  // the text's own list is left as it was
        EXPECT_EQ(firstMarks.size(), firstMarked ? 2u : 0u);
    }
}

// Three parameters' blocks (codes 1, 2, 1), each a field with its number; the second's value also
// has a meaning and a value the report does not print.
void writeBlocks(Text& out) {
    static constexpr BitField a{.key = "a", .label = "A", .type = FieldType::Number, .level = LineLevel::L2, .octet = 1, .bits = {8, 1}, .table = {}, .values = {}, .fallback = kFallbackBits};
    static constexpr BitField b{.key = "b", .label = "B", .type = FieldType::Number, .level = LineLevel::L2, .octet = 1, .bits = {8, 1}, .table = {}, .values = {}, .fallback = kFallbackBits};
    const auto field = [&out](const BitField& row, std::uint64_t number, std::string_view value, std::uint16_t meaning) {
        const std::size_t line = out.size();
        out += "Label = ";
        out.markField(line, row);
        out.setFieldNumber(number);
        out += value;
        out.noteMeaning(line + 8, meaning);
        out += "\r\n";
    };
    out.mark(MarkKind::Parameter, 1);
    field(a, 1, "1", 0);
    out.mark(MarkKind::Parameter, 2);
    field(b, 16, "16, meaning", 4);
    out.markValue(b, 7);
    out.mark(MarkKind::Parameter, 1);
    field(a, 3, "3", 0);
    out.mark(MarkKind::Parameter, 3);
    out.mark(MarkKind::Parameter, 4);
    out.mark(MarkKind::Parameter, 2);
    field(b, 5, "5", 0);
}

TEST(TextMemo, AFilterLeavesOutTheMarksOfParametersNotWanted) {
    // Each mark as "kind:code/number", for the parameters wanted, written live or copied from a
    // memo (whose text was first written into a text without marks).
    const auto marksOf = [](const std::vector<Mark>& marks) {
        std::string shown;
        for (const Mark& m : marks)
            shown += std::to_string(static_cast<int>(m.kind)) + ":" + std::to_string(m.code) + "/" + std::to_string(m.number) +
                     "/" + std::to_string(m.meaning) + " ";
        return shown;
    };
    std::bitset<256> first;
    first.set(1);
    std::bitset<256> second;
    second.set(2);
    const struct {
        const std::bitset<256>* wanted;
        std::string marks;
    } cases[] = {
        {nullptr, "0:1/0/0 2:-1/1/0 0:2/0/0 2:-1/16/4 4:-1/7/0 0:1/0/0 2:-1/3/0 0:3/0/0 0:4/0/0 0:2/0/0 2:-1/5/0 "},
        // Parameters not wanted one after another keep the first one's mark only.
        {&first, "0:1/0/0 2:-1/1/0 0:2/0/0 0:1/0/0 2:-1/3/0 0:3/0/0 "},
        {&second, "0:1/0/0 0:2/0/0 2:-1/16/4 4:-1/7/0 0:1/0/0 0:2/0/0 2:-1/5/0 "},
    };
    for (const auto& c : cases) {
        std::vector<Mark> live;
        Text written("ab");
        written.attachMarks(&live);
        written.setMarkFilter({.wanted = c.wanted});
        writeBlocks(written);
        EXPECT_EQ(marksOf(live), c.marks);

        TextMemo memo;
        Text plain;
        memo.append({.first = 1}, plain, [&] { writeBlocks(plain); });
        std::vector<Mark> copied;
        Text out("ab");
        out.attachMarks(&copied);
        out.setMarkFilter({.wanted = c.wanted});
        memo.append({.first = 1}, out, [] { FAIL() << "the text was kept"; });
        EXPECT_EQ(out.view(), written.view());
        EXPECT_EQ(marksOf(copied), c.marks);
        ASSERT_EQ(copied.size(), live.size());
        for (std::size_t i = 0; i < copied.size(); ++i) EXPECT_EQ(copied[i].value, live[i].value);
    }
}

TEST(TextMemo, ParameterBlocksAreNumberedWhereverTheyAreCopied) {
    // A block (a parameter's mark, then a heading and a field) or a head (the heading and the
    // field) kept under each key; the first mark of the text and of each copy, into a text with
    // marks at another place, through a filter or not.
    const auto writeBlock = [](Text& out, std::int16_t code) {
        out.mark(MarkKind::Parameter, code);
        writeMarked(out);
    };
    std::bitset<256> other;
    other.set(9);
    const struct {
        const char* name;
        TextMemo::Numbering numbering;
        bool startsWithHeading;          // the kept text begins with a heading, not a parameter
        const std::bitset<256>* wanted;  // the filter of the text copied into
        bool numbered;
    } cases[] = {
        {"numbered", TextMemo::Numbering::ParameterBlocks, false, nullptr, true},
        {"memo without numbers", TextMemo::Numbering::None, false, nullptr, false},
        {"text not a block", TextMemo::Numbering::ParameterBlocks, true, nullptr, false},
        {"address heads", TextMemo::Numbering::AddressHeads, true, nullptr, true},
        {"block in a memo of heads", TextMemo::Numbering::AddressHeads, false, nullptr, false},
        {"block's marks left out", TextMemo::Numbering::ParameterBlocks, false, &other, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextMemo memo(c.numbering);
        std::vector<std::pair<std::uint64_t, std::int16_t>> numbers;  // of the first mark of each copy
        for (std::int16_t code = 1; code <= 3; ++code) {
            for (int copy = 0; copy < 2; ++copy) {
                std::vector<Mark> marks;
                Text out(std::string(static_cast<std::size_t>(copy) * 5, 'x'));
                out.attachMarks(&marks);
                out.setMarkFilter({.wanted = c.wanted});
                const TextMemo::Key key{.first = static_cast<std::uint64_t>(code)};
                memo.append(key, out, [&] {
                    if (c.startsWithHeading)
                        writeMarked(out);
                    else
                        writeBlock(out, code);
                });
                ASSERT_FALSE(marks.empty());
                EXPECT_EQ(marks.front().hasNumber, c.numbered);
                if (!c.numbered) continue;
                numbers.emplace_back(marks.front().number, code);
                // The kept text and marks, as a copy has them counted from its first byte.
                const std::optional<TextMemo::Kept> kept = memo.kept(marks.front().number);
                ASSERT_TRUE(kept.has_value());
                EXPECT_EQ(kept->text, out.view().substr(static_cast<std::size_t>(copy) * 5));
                ASSERT_EQ(kept->marks.size(), marks.size());
                EXPECT_EQ(kept->marks.front().kind, c.startsWithHeading ? MarkKind::Heading : MarkKind::Parameter);
                EXPECT_EQ(kept->marks.back().begin + static_cast<std::uint32_t>(copy) * 5, marks.back().begin);
            }
        }
        if (c.numbered) {
            // Each key its own number, the same for both copies.
            ASSERT_EQ(numbers.size(), 6u);
            for (std::size_t i = 0; i < numbers.size(); i += 2) EXPECT_EQ(numbers[i], numbers[i + 1]);
            EXPECT_NE(numbers[0].first, numbers[2].first);
            EXPECT_NE(numbers[2].first, numbers[4].first);
        }
        EXPECT_FALSE(memo.kept(TextMemo::kMostTexts).has_value());
        EXPECT_FALSE(memo.kept(100).has_value());
    }
}

TEST(TextMemo, ThreadsKeepAndFindAtOnce) {
    TextMemo memo;
    const int owner = 0;
    const auto textOf = [](std::uint64_t i) { return std::string(i % 50, 'a') + std::to_string(i); };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (std::uint64_t round = 0; round < 3; ++round) {
                for (std::uint64_t i = 0; i < 1000; ++i) {
                    const std::uint64_t value = (i * 7 + static_cast<std::uint64_t>(t)) % 1000;
                    ASSERT_EQ(through(memo, {.owner = &owner, .first = value}, textOf(value)), textOf(value));
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (std::uint64_t i = 0; i < 1000; ++i) ASSERT_EQ(through(memo, {.owner = &owner, .first = i}, "not kept"), textOf(i));
}

}  // namespace
}  // namespace truno
