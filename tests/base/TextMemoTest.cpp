// The memo of constant report texts: keys that differ in any character, in their length or in
// their owner are told apart, a memo stops keeping at its bound, and threads that keep and find
// at once see whole texts only.
#include "base/TextMemo.h"

#include <gtest/gtest.h>

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
    for (const auto& [owner, digits] : texts) memo.keep(keyOf(owner, digits), std::to_string(texts.size()) + digits);
    for (const auto& [owner, digits] : texts) {
        const std::string* kept = memo.find(keyOf(owner, digits));
        ASSERT_NE(kept, nullptr) << digits;
        EXPECT_EQ(*kept, std::to_string(texts.size()) + digits);
    }
    TextMemo::Key key;
    EXPECT_FALSE(packDigits(std::string(17, 'A'), key));
}

TEST(TextMemo, KeepsTheFirstTextAndStopsAtItsBound) {
    TextMemo memo;
    const int owner = 0;
    memo.keep({.owner = &owner, .first = 1}, "first");
    memo.keep({.owner = &owner, .first = 1}, "second");
    EXPECT_EQ(*memo.find({.owner = &owner, .first = 1}), "first");
    for (std::uint64_t i = 2; i <= TextMemo::kMostTexts + 10; ++i) memo.keep({.owner = &owner, .first = i}, "x");
    EXPECT_NE(memo.find({.owner = &owner, .first = TextMemo::kMostTexts}), nullptr);
    EXPECT_EQ(memo.find({.owner = &owner, .first = TextMemo::kMostTexts + 1}), nullptr);
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
                    if (const std::string* kept = memo.find({.owner = &owner, .first = value}); kept != nullptr)
                        ASSERT_EQ(*kept, textOf(value));
                    else
                        memo.keep({.owner = &owner, .first = value}, textOf(value));
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (std::uint64_t i = 0; i < 1000; ++i) ASSERT_EQ(*memo.find({.owner = &owner, .first = i}), textOf(i));
}

}  // namespace
}  // namespace truno
