#pragma once
// The linking of what a JourneyBuilder collected (inside analysis/journeys only): the trunks and
// their clocks, the legs (JourneyTrunks.cpp), both ends of each trunk leg compared
// (JourneyEnds.cpp), the transit links (JourneyTransit.cpp), and the journeys with their story and
// what each switch changed (JourneyStory.cpp).
#include "analysis/journeys/Journeys.h"
#include "dispatch/FieldRegistry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace truno::journeys {

// A stable sort by insertion: a call's messages and an IAM's facts are a few dozen at most, and
// std::stable_sort would ask for a buffer on every call.
template <class T, class Less>
void sortFew(std::vector<T>& v, Less less) {
    for (std::size_t i = 1; i < v.size(); ++i) {
        T item = std::move(v[i]);
        std::size_t k = i;
        for (; k > 0 && less(item, v[k - 1]); --k) v[k] = std::move(v[k - 1]);
        v[k] = std::move(item);
    }
}

// The called numbers of a transit link agree in at least their last six digits.
constexpr std::size_t kSuffixDigits = 6;

class Linker {
public:
    Linker(JourneyReport& report, const JourneySettings& settings, const JourneyBuilder::FactKeys& keys)
        : r_(report), settings_(settings), keys_(keys) {}

    // The trunks, their clocks and the problems of the input, measured on the report's
    // sightings (each trace's first calls).
    void measureTrunks() {
        trunks();
        offsets();
    }
    // The legs, both ends compared, the transit links and the journeys of the report's
    // sightings (a slice of time), its trunks and clocks measured already; the journeys by start.
    void linkSlice() {
        index();
        legs();
        compareEnds();
        transit();
        journeys();
    }
    // Per trace: the last instant of its calls without a captured IAM, and of those with one per
    // point-code pair (the trunks a capture holds, and where each ends).
    using PairLasts = std::map<std::pair<std::string, std::string>, std::int64_t>;
    void setLasts(const std::vector<std::optional<std::int64_t>>& withoutPair, const std::vector<PairLasts>& ofPair) {
        lastWithoutPair_ = &withoutPair;
        lastOfPair_ = &ofPair;
    }

private:
    // A transit candidate: the last six digits' key, the IAM on the switch's clock, the leg.
    using Entry = std::tuple<std::uint64_t, std::int64_t, int>;
    // Per switch: the legs arriving there and those leaving it.
    using AtSwitch = std::map<std::string, std::pair<std::vector<Entry>, std::vector<Entry>>>;

    const Sighting& sighting(int i) const { return r_.sightings[static_cast<std::size_t>(i)]; }
    const TraceEnds& ends(const Sighting& s) const { return r_.traces[s.trace]; }

    // JourneyTrunks.cpp
    std::int64_t cicOffset(const std::string& a, const std::string& b) const;
    void trunks();
    bool capturedTrunks();
    // byTrace_ and the sightings of each capture's trunks.
    void index();
    // The sightings of `trace` on the trunk `t` (of a capture, those of its calls between the
    // trunk's two ends).
    const std::vector<int>& onTrunk(const TrunkEnds& t, std::uint32_t trace) const;
    std::optional<std::int64_t> lastOnTrunk(const TrunkEnds& t, std::uint32_t trace) const;
    void measure(TrunkEnds& t);
    static std::string seconds(std::int64_t ms);
    void legs();
    void linkEnds(TrunkEnds& t, std::uint32_t from, std::uint32_t to, std::int64_t offset);
    void offsets();
    std::optional<std::int64_t> offsetOf(const std::string& name) const;
    // JourneyEnds.cpp
    void compareEnds();
    void pairWay(Leg& leg, const Sighting& a, const Sighting& b, std::int64_t offset);
    // JourneyTransit.cpp
    std::optional<std::int64_t> iamAt(const Leg& leg, const std::string& atSwitch) const;
    bool transitFits(const Leg& in, const Leg& out) const;
    void exactLinks(const AtSwitch& atSwitch);
    static std::uint64_t suffixKey(std::string_view digits);
    void transit();
    // JourneyStory.cpp
    void journeys();
    void story(Journey& j);
    void releaseBegan(Journey& j);

    JourneyReport& r_;
    const JourneySettings& settings_;
    const JourneyBuilder::FactKeys& keys_;
    const int hopCounter_ = fieldRef("hop_counter.hop_counter").parameterCode;
    std::vector<std::vector<int>> byTrace_;
    std::vector<int> sightingLeg_;
    std::vector<std::pair<int, int>> trunkSightings_;  // per trunk, each end's list in capturedSightings_ (-1: every sighting of the trace)
    std::vector<std::vector<int>> capturedSightings_;
    std::vector<int> fitsOfReceived_;  // per sighting: sent IAMs it fits (linkEnds)
    std::vector<int> arrivingFits_;    // per leg: arriving legs it fits as the leaving one (transit)
    std::vector<const SeenMessage*> sent_, got_;  // pairWay's, reused
    const std::vector<std::optional<std::int64_t>>* lastWithoutPair_ = nullptr;
    const std::vector<PairLasts>* lastOfPair_ = nullptr;
};

}  // namespace truno::journeys
