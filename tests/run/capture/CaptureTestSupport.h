#pragma once
// Reads a whole capture into plain values (the reader's views live only until its next call),
// and checks that every packet was counted in exactly one group.
#include "run/capture/CaptureReader.h"
#include "tests/support/CaptureBuilder.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace truno::testing::capture {

struct Message {
    std::uint64_t packet = 0;
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    std::uint32_t opc = 0, dpc = 0;
    unsigned si = 0, ni = 0, sls = 0, priority = 0;
    bool pointCodesKnown = false;
    Bytes userData;
    std::optional<bool> sentByThisSide;
};

struct Read {
    std::vector<Message> messages;
    CaptureCounts counts;
    std::vector<std::string> problems;
    std::uint64_t problemCount = 0;
    std::string fatal;
    bool cutShort = false;

    // The problems joined, one a line (for a failure's message and for searching).
    std::string problemText() const {
        std::string all;
        for (const std::string& p : problems) all += p + "\n";
        return all;
    }
    bool hasProblem(const std::string& part) const { return problemText().find(part) != std::string::npos; }
};

inline void expectAccounted(const CaptureCounts& c) {
    EXPECT_EQ(c.packets, c.packetsWithMessages + c.packetsHeld + c.packetsOnlyRetransmitted + c.packetsOfOtherProtocols +
                             c.packetsUnreadable);
    std::uint64_t bySi = 0;
    for (const std::uint64_t n : c.messagesByServiceIndicator) bySi += n;
    EXPECT_EQ(bySi, c.messages);
    EXPECT_LE(c.packetsWithIsupOrBicc, c.packetsWithMessages);
}

inline Read readAll(std::istream& in, CaptureOptions options = {}) {
    CaptureReader reader(in, options);
    Read read;
    for (CapturedMessage m; reader.next(m);) {
        read.messages.push_back(Message{.packet = m.packet, .seconds = m.seconds, .nanoseconds = m.nanoseconds, .opc = m.opc,
                                        .dpc = m.dpc, .si = m.si, .ni = m.ni, .sls = m.sls, .priority = m.priority,
                                        .pointCodesKnown = m.pointCodesKnown, .userData = Bytes(m.userData.begin(), m.userData.end()),
                                        .sentByThisSide = m.sentByThisSide});
    }
    CapturedMessage after;
    EXPECT_FALSE(reader.next(after)) << "the end is the end";
    read.counts = reader.counts();
    read.problems = reader.problems();
    read.problemCount = reader.problemCount();
    read.fatal = reader.fatalError();
    read.cutShort = reader.cutShort();
    expectAccounted(read.counts);
    EXPECT_LE(read.problems.size(), read.problemCount);
    return read;
}

inline Read readAll(const std::string& file, CaptureOptions options = {}) {
    std::istringstream in(file);
    return readAll(in, options);
}

}  // namespace truno::testing::capture
