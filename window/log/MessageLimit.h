#pragma once
// How many messages a followed log keeps (File > Following Limit): off, or the last `count`, so
// that the window's memory stays bounded however long it follows. The oldest leave in steps of
// an eighth of the limit, so that letting them go costs the same for each message whatever the
// limit (the list then holds up to an eighth more for a while); once the following ends, the
// last `count` are kept exactly.
#include <cstddef>
#include <cstdint>

namespace truno::window {

struct MessageLimit {
    static constexpr std::uint64_t kLowest = 1;
    static constexpr std::uint64_t kHighest = 2'000'000'000;

    bool on = false;
    std::uint64_t count = 100'000;

    // How many of the `held` messages leave now; `ending`: the following has ended.
    std::size_t toDrop(std::size_t held, bool ending) const {
        if (!on || held <= count) return 0;
        if (!ending && held - count <= count / 8) return 0;
        return static_cast<std::size_t>(held - count);
    }
};

}  // namespace truno::window
