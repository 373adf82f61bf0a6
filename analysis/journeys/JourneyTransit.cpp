#include "analysis/journeys/Linker.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <unordered_map>

namespace truno::journeys {

namespace {

// Two numbers are the same but for a prefix: the shorter ends the longer.
bool prefixChanged(std::string_view a, std::string_view b) {
    return a.size() <= b.size() ? b.ends_with(a) : a.ends_with(b);
}

// Two numbers agree in their last six digits or more.
bool suffixAgrees(std::string_view a, std::string_view b) {
    return a.size() >= kSuffixDigits && b.size() >= kSuffixDigits &&
           a.substr(a.size() - kSuffixDigits) == b.substr(b.size() - kSuffixDigits);
}

}  // namespace

// The leg's IAM on the clock of `atSwitch` (one of its ends).
std::optional<std::int64_t> Linker::iamAt(const Leg& leg, const std::string& atSwitch) const {
    for (const int side : {leg.sender, leg.receiver}) {
        if (side < 0) continue;
        const Sighting& s = sighting(side);
        if (s.first && ends(s).self == atSwitch && s.opened) return *s.first;
    }
    // Seen only at the other end: its time moved onto this switch's clock where known.
    for (const int side : {leg.sender, leg.receiver}) {
        if (side < 0) continue;
        const Sighting& s = sighting(side);
        if (!s.first || !s.opened) continue;
        // Only where the two clocks' offset was measured: no link stands on a guessed time.
        const auto here = offsetOf(atSwitch);
        const auto there = offsetOf(ends(s).self);
        if (!here || !there) return std::nullopt;
        return *s.first + *here - *there;
    }
    return std::nullopt;
}

bool Linker::transitFits(const Leg& in, const Leg& out) const {
    const Sighting& a = sighting(in.primary());
    const Sighting& l = sighting(out.primary());
    if (!suffixAgrees(a.called, l.called) && !suffixAgrees(a.called, l.originalCalled)) return false;
    if (!a.calling.empty() && !l.calling.empty() && !prefixChanged(a.calling, l.calling)) return false;
    if (a.hopCounter && l.hopCounter && *l.hopCounter + 1 != *a.hopCounter) return false;
    return true;
}

// Transit links at every switch: legs arriving there against legs leaving it.
// The links an exact key decides: an arriving and a leaving leg whose IAMs carry the same key
// (global call reference, correlation id, call reference) within the window, and no other leg
// of either side with it. A key that differs decides nothing (a switch may give its own call
// reference): the numbers are asked then.
void Linker::exactLinks(const AtSwitch& atSwitch) {
    for (const auto& [name, lists] : atSwitch) {
        std::unordered_map<std::string_view, std::vector<std::pair<std::int64_t, int>>> leavingByKey;
        for (const auto& [suffix, t, leg] : lists.second) {
            const std::string& key = sighting(r_.legs[static_cast<std::size_t>(leg)].primary()).exactKey;
            if (key.empty()) continue;
            auto& list = leavingByKey[key];
            if (list.empty() || list.back().second != leg) list.emplace_back(t, leg);
        }
        if (leavingByKey.empty()) continue;
        std::unordered_map<int, int> arrivalsOf;  // leaving leg -> arriving legs with its key in the window
        std::vector<std::pair<int, int>> pairs;
        for (const auto& [suffix, t, in] : lists.first) {
            const std::string& key = sighting(r_.legs[static_cast<std::size_t>(in)].primary()).exactKey;
            const auto found = key.empty() ? leavingByKey.end() : leavingByKey.find(key);
            if (found == leavingByKey.end()) continue;
            int only = -1, count = 0;
            for (const auto& [lt, out] : found->second) {
                if (lt < t || lt > t + settings_.transitWindow || out == in) continue;
                only = out;
                ++count;
                ++arrivalsOf[out];
            }
            if (count == 1) pairs.emplace_back(in, only);
        }
        for (const auto& [in, out] : pairs) {
            Leg& a = r_.legs[static_cast<std::size_t>(in)];
            Leg& l = r_.legs[static_cast<std::size_t>(out)];
            if (arrivalsOf[out] != 1 || a.next >= 0 || l.previous >= 0) continue;
            a.next = out;
            l.previous = in;
            l.exact = true;
        }
    }
}

// The last six digits of a number as a key (0: fewer than six).
std::uint64_t Linker::suffixKey(std::string_view digits) {
    if (digits.size() < kSuffixDigits) return 0;
    return std::hash<std::string_view>{}(digits.substr(digits.size() - kSuffixDigits)) | 1u;
}

// Transit links at every switch: legs arriving there against legs leaving it. The leaving legs
// are looked up by the last six digits of their called (and original called) number, then by
// time, so that each arriving leg meets only those that may fit.
void Linker::transit() {
    arrivingFits_.assign(r_.legs.size(), 0);
    AtSwitch atSwitch;
    for (std::size_t i = 0; i < r_.legs.size(); ++i) {
        const Leg& leg = r_.legs[i];
        if (leg.primary() < 0 || !sighting(leg.primary()).opened) continue;
        const Sighting& s = sighting(leg.primary());
        const int index = static_cast<int>(i);
        if (!leg.to.empty())
            if (const auto t = iamAt(leg, leg.to); t && suffixKey(s.called) != 0)
                atSwitch[leg.to].first.emplace_back(suffixKey(s.called), *t, index);
        if (!leg.from.empty()) {
            if (const auto t = iamAt(leg, leg.from)) {
                const std::uint64_t called = suffixKey(s.called);
                const std::uint64_t original = suffixKey(s.originalCalled);
                auto& leaving = atSwitch[leg.from].second;
                if (called != 0) leaving.emplace_back(called, *t, index);
                if (original != 0 && original != called) leaving.emplace_back(original, *t, index);
            }
        }
    }
    exactLinks(atSwitch);
    std::vector<int> fits;
    for (auto& [name, lists] : atSwitch) {
        auto& arriving = lists.first;  // not a structured binding: the lambda below uses them
        auto& leaving = lists.second;
        std::sort(arriving.begin(), arriving.end(), [](const Entry& x, const Entry& y) { return std::get<1>(x) < std::get<1>(y); });
        std::sort(leaving.begin(), leaving.end());
        // Pass one: how many arriving legs each leaving leg fits. Pass two: link the pairs that
        // fit only each other; name the candidates of the others.
        const auto fitsOf = [&](const Entry& arrival, std::vector<int>& into) {
            into.clear();
            const auto [suffix, t, in] = arrival;
            auto k = std::lower_bound(leaving.begin(), leaving.end(), Entry{suffix, t, std::numeric_limits<int>::min()});
            for (; k != leaving.end() && std::get<0>(*k) == suffix && std::get<1>(*k) <= t + settings_.transitWindow; ++k) {
                const int out = std::get<2>(*k);
                // Legs an exact key linked are taken.
                if (r_.legs[static_cast<std::size_t>(in)].next >= 0 || r_.legs[static_cast<std::size_t>(out)].previous >= 0) continue;
                if (out != in && transitFits(r_.legs[static_cast<std::size_t>(in)], r_.legs[static_cast<std::size_t>(out)]))
                    into.push_back(out);
            }
        };
        for (const Entry& arrival : arriving) {
            fitsOf(arrival, fits);
            for (const int out : fits) ++arrivingFits_[static_cast<std::size_t>(out)];
        }
        for (const Entry& arrival : arriving) {
            fitsOf(arrival, fits);
            if (fits.empty()) continue;
            const int in = std::get<2>(arrival);
            Leg& a = r_.legs[static_cast<std::size_t>(in)];
            Leg& first = r_.legs[static_cast<std::size_t>(fits.front())];
            if (fits.size() == 1 && arrivingFits_[static_cast<std::size_t>(fits.front())] == 1) {
                if (a.next < 0 && first.previous < 0) {
                    a.next = fits.front();
                    first.previous = in;
                }
                continue;
            }
            // Several fit: no link; each names the others that fit with it.
            a.arrivalAmbiguous = true;
            for (const int out : fits) {
                if (std::find(a.ambiguous.begin(), a.ambiguous.end(), out) == a.ambiguous.end()) a.ambiguous.push_back(out);
                Leg& l = r_.legs[static_cast<std::size_t>(out)];
                if (std::find(l.ambiguous.begin(), l.ambiguous.end(), in) == l.ambiguous.end()) l.ambiguous.push_back(in);
            }
        }
    }
}

}  // namespace truno::journeys
