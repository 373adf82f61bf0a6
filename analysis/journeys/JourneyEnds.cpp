#include "analysis/journeys/Linker.h"

#include <algorithm>

namespace truno::journeys {

// Both ends of each trunk leg: each message sent at one end paired with its copy at the other,
// by type and order, the copy expected within the window after the clocks' offset.
void Linker::compareEnds() {
    for (Leg& leg : r_.legs) {
        if (leg.link != LegLink::Trunk) continue;
        const Sighting& s = sighting(leg.sender);
        const Sighting& g = sighting(leg.receiver);
        const std::int64_t offset = offsetOf(leg.to).value_or(0) - offsetOf(leg.from).value_or(0);
        pairWay(leg, s, g, offset);
        pairWay(leg, g, s, -offset);
    }
}

// The messages sent in `a` against those received in `b` (b's clock less a's: offset).
void Linker::pairWay(Leg& leg, const Sighting& a, const Sighting& b, std::int64_t offset) {
    sent_.clear();
    got_.clear();
    for (const SeenMessage& m : a.seen)
        if (m.sent) sent_.push_back(&m);
    for (const SeenMessage& m : b.seen)
        if (!m.sent) got_.push_back(&m);
    // By type, each type's in the order of the trace (stable).
    const auto byType = [](const SeenMessage* x, const SeenMessage* y) { return x->type < y->type; };
    sortFew(sent_, byType);
    sortFew(got_, byType);
    const std::int64_t tolerance = std::min<std::int64_t>(settings_.transitWindow, 1000);
    // Nearly every message finds its copy: room for them at once, not grown pair by pair.
    leg.paired.reserve(leg.paired.size() + std::min(sent_.size(), got_.size()));
    const auto lost = [&](const Sighting& where, const SeenMessage* m, bool sent) {
        leg.unmatched.push_back(UnmatchedMessage{.trace = where.trace, .record = m->record, .type = m->type, .sent = sent});
    };
    std::size_t i = 0, j = 0;
    while (i < sent_.size() || j < got_.size()) {
        if (j >= got_.size() || (i < sent_.size() && sent_[i]->type < got_[j]->type)) {
            lost(a, sent_[i++], true);
        } else if (i >= sent_.size() || got_[j]->type < sent_[i]->type) {
            lost(b, got_[j++], false);
        } else {
            const SeenMessage* x = sent_[i];
            const SeenMessage* y = got_[j];
            const std::int64_t d = (x->hasTime && y->hasTime) ? y->at - offset - x->at : 0;
            if (d >= -tolerance && d <= tolerance) {
                leg.paired.push_back(PairedMessage{.type = x->type, .sentRecord = x->record, .receivedRecord = y->record,
                                                   .sentTrace = a.trace, .receivedTrace = b.trace, .delay = d});
                ++i;
                ++j;
            } else if (d < 0) {
                lost(b, got_[j++], false);
            } else {
                lost(a, sent_[i++], true);
            }
        }
    }
}

}  // namespace truno::journeys
