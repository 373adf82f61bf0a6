// The table of circuits by key: every key inserted is found with its own value through growth and
// collisions, and a key never inserted is not found.
#include "analysis/facts/CircuitTable.h"
#include "analysis/facts/MessageFacts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <unordered_set>
#include <vector>

namespace truno {
namespace {

struct KeySet {
    const char* name;
    std::vector<std::uint64_t> keys;
};

std::vector<std::uint64_t> codes(std::uint32_t first, std::uint32_t count, std::uint32_t step, SwitchIndex switchIndex = 0,
                                 RouteIndex route = 0) {
    std::vector<std::uint64_t> keys;
    for (std::uint32_t n = 0; n < count; ++n) keys.push_back(circuitKey(switchIndex, first + n * step, route));
    return keys;
}

std::vector<std::uint64_t> joined(std::vector<std::uint64_t> a, const std::vector<std::uint64_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(CircuitTable, FindsEveryKeyWithItsValue) {
    const KeySet sets[] = {
        {"consecutive codes across several growths", codes(0, 5000, 1)},
        {"codes a power of two apart", codes(0, 3000, 1u << 12)},
        {"codes on several switches and routes",
         joined(codes(7, 100, 1, 1, 0), joined(codes(7, 100, 1, 0, 1), joined(codes(7, 100, 1, 65535, 65535), codes(7, 100, 1))))},
        {"the extremes of every part", {0, circuitKey(65535, UINT32_MAX, 65535), circuitKey(0, UINT32_MAX), 1}},
    };
    for (const KeySet& set : sets) {
        SCOPED_TRACE(set.name);
        CircuitTable<std::uint32_t> table;
        EXPECT_EQ(table.find(set.keys.front()), nullptr);
        for (std::uint32_t n = 0; n < set.keys.size(); ++n) {
            bool inserted = false;
            table.insert(set.keys[n], inserted) = n + 1;
            EXPECT_TRUE(inserted);
        }
        ASSERT_EQ(table.size(), set.keys.size());
        for (std::uint32_t n = 0; n < set.keys.size(); ++n) {
            const std::uint32_t* value = table.find(set.keys[n]);
            ASSERT_NE(value, nullptr) << n;
            EXPECT_EQ(*value, n + 1);
            bool inserted = true;
            EXPECT_EQ(table.insert(set.keys[n], inserted), n + 1);
            EXPECT_FALSE(inserted);
        }
        EXPECT_EQ(table.size(), set.keys.size());
        // Keys beside those inserted: another switch, another route, another code.
        const std::unordered_set<std::uint64_t> inserted(set.keys.begin(), set.keys.end());
        for (const std::uint64_t key : set.keys) {
            for (const int bit : {31, 32, 48}) {
                const std::uint64_t other = key ^ (std::uint64_t{1} << bit);
                if (!inserted.contains(other)) {
                    EXPECT_EQ(table.find(other), nullptr) << other;
                }
            }
        }
    }
}

}  // namespace
}  // namespace truno
