// truno-loggen --network: the traces of a small network with an answer key.
//
//   truno-loggen --network JOURNEYS [SEED] DIR
//
// Three switches X, Y and Z on two trunks, X-Y and Y-Z, each traced at both ends: DIR/x-y.log
// (taken at X on its trunk to Y), DIR/y-x.log, DIR/y-z.log and DIR/z-y.log. DIR/network lists
// them ("FILE THIS FAR", the form of --network), DIR/answer.json is the answer key. Y is the
// transit switch: calls from X to Z and from Z to X cross it, others end at Y or begin there.
//
// Each switch writes its traces on its own clock: Y's runs 1.23 s ahead of X's, Z's 0.87 s
// behind, and a message takes 10 to 40 ms on a trunk. Circuits are taken from a pool of 400 per
// trunk at random among the idle ones, so that codes come back. Y changes what it forwards: on
// some calls it writes the called number in international form (prefix 49, nature of address 4),
// restricts the calling number's presentation, drops the generic number, and it lowers the hop
// counter by one. Some calls are diverted at Y (the leaving IAM has a new called number, the
// arriving one as original called number and a redirection information). Some messages are lost
// on a trunk (a CPG from Z never reaches Y, an ACM from Y never reaches X). Decoys: two calls
// from X to Z with the same numbers at the same moment, which no one can tell apart at Y, unless
// each carries its own correlation id (keyed decoys, to be linked by it).
//
// DIR/y.pcap is Y's packet capture of both its trunks (point codes: X 1, Y 2, Z 3), the same
// messages as y-x.log and y-z.log: one capture that holds several trunks. DIR/x.pcap is X's
// capture of its trunk to Y (the messages of x-y.log): with y.pcap, the two ends of trunk X-Y.
//
// The answer key lists each journey with its legs (by file and first record in each trace of
// the leg), its outcome, cause and releasing switch, the messages lost, what Y changed, and which
// journeys are decoys (their legs at Y must not be linked).
#include "bench/NetworkLogs.h"
#include "bench/Random.h"

#include "tests/support/CaptureBuilder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <queue>
#include <string>
#include <vector>

namespace truno::loggen {
namespace {

using Octets = std::vector<unsigned>;

enum Switch : unsigned { X = 0, Y = 1, Z = 2 };
constexpr const char* kSwitchNames[] = {"X", "Y", "Z"};
// Each switch's clock against true time (milliseconds; the logs show hundredths).
constexpr std::int64_t kClockOffset[] = {0, 1230, -870};
constexpr unsigned kCircuitsPerTrunk = 400;
constexpr std::int64_t kStart = 10LL * 3600 * 1000;  // 10:00 true time
constexpr const char* kDate = "2026-12-08";

// The traces: trunk 0 is X-Y, trunk 1 is Y-Z.
struct TraceDef {
    const char* file;
    Switch self;
    Switch far;
};
constexpr TraceDef kTraces[] = {{"x-y.log", X, Y}, {"y-x.log", Y, X}, {"y-z.log", Y, Z}, {"z-y.log", Z, Y}};

int traceOf(Switch self, Switch far) {
    for (int t = 0; t < 4; ++t)
        if (kTraces[t].self == self && kTraces[t].far == far) return t;
    return -1;
}
unsigned trunkOf(Switch a, Switch b) { return (a == Z || b == Z) ? 1 : 0; }

// A message in one trace, waiting to be written in time order.
struct Event {
    std::int64_t at = 0;       // on the trace's switch's clock, in hundredths
    std::uint64_t order = 0;   // the order it was made in, for equal times
    std::uint32_t journey = 0;
    std::uint8_t leg = 0;
    std::uint8_t type = 0;     // message type code
    bool sent = false;
    Octets octets;
    bool operator>(const Event& other) const { return at != other.at ? at > other.at : order > other.order; }
};

Octets cicOf(unsigned cic) { return {cic & 0xFF, (cic >> 8) & 0xFF, 0, 0}; }

// Address signals from text digits, two per octet, low-order digit first.
Octets addressOf(unsigned natureOctet2, unsigned nature, const std::string& d) {
    Octets o{((d.size() % 2) != 0 ? 0x80u : 0u) | nature, natureOctet2};
    for (std::size_t i = 0; i < d.size(); i += 2) {
        const unsigned lo = static_cast<unsigned>(d[i] - '0');
        const unsigned hi = i + 1 < d.size() ? static_cast<unsigned>(d[i + 1] - '0') : 0;
        o.push_back(hi << 4 | lo);
    }
    return o;
}

void optional(Octets& o, unsigned code, const Octets& contents) {
    o.push_back(code);
    o.push_back(static_cast<unsigned>(contents.size()));
    o.insert(o.end(), contents.begin(), contents.end());
}

// What an IAM carries on one leg.
struct Setup {
    std::string called;
    unsigned calledNature = 3;
    std::string calling;
    bool callingRestricted = false;
    unsigned category = 0x0A;
    int hopCounter = -1;  // -1: none
    bool genericNumber = false;
    std::string originalCalled;  // diverted: the number first dialled
    unsigned correlation = 0;    // a correlation id passed on unchanged (0: none)
};

Octets iamOctets(unsigned cic, const Setup& s) {
    Octets o = cicOf(cic);
    o.insert(o.end(), {0x01, 0x00, 0x60, 0x01, s.category, 0x00});
    const Octets called = addressOf(0x10, s.calledNature, s.called);
    o.push_back(0x02);
    o.push_back(static_cast<unsigned>(called.size()) + 2);
    o.push_back(static_cast<unsigned>(called.size()));
    o.insert(o.end(), called.begin(), called.end());
    optional(o, 0x0A, addressOf(s.callingRestricted ? 0x17u : 0x13u, 3, s.calling));
    optional(o, 0x1D, {0x80, 0x90, 0xA3});
    if (s.hopCounter >= 0) optional(o, 0x3D, {static_cast<unsigned>(s.hopCounter)});
    if (s.genericNumber) {
        Octets g{0x06};
        const Octets n = addressOf(0x13, 3, s.calling);
        g.insert(g.end(), n.begin(), n.end());
        optional(o, 0xC0, g);
    }
    if (s.correlation != 0)
        optional(o, 0x65, {(s.correlation >> 24) & 0xFF, (s.correlation >> 16) & 0xFF, (s.correlation >> 8) & 0xFF, s.correlation & 0xFF});
    if (!s.originalCalled.empty()) {
        optional(o, 0x28, addressOf(0x10, 3, s.originalCalled));
        optional(o, 0x13, {0x03, 0x11});
    }
    o.push_back(0x00);
    return o;
}

Octets simpleOctets(unsigned cic, unsigned type, unsigned cause = 0, unsigned location = 0) {
    Octets o = cicOf(cic);
    switch (type) {
        case 0x06: o.insert(o.end(), {0x06, 0x16, 0x14, 0x00}); break;           // ACM
        case 0x2C: o.insert(o.end(), {0x2C, 0x01, 0x00}); break;                 // CPG: alerting
        case 0x09: o.insert(o.end(), {0x09, 0x00}); break;                       // ANM
        case 0x0C: o.insert(o.end(), {0x0C, 0x02, 0x00, 0x02, 0x80 | location, 0x80 | cause}); break;  // REL
        case 0x10: o.insert(o.end(), {0x10, 0x00}); break;                       // RLC
        default: break;
    }
    return o;
}

const char* acronymOf(unsigned type) {
    switch (type) {
        case 0x01: return "IAM";
        case 0x06: return "ACM";
        case 0x2C: return "CPG";
        case 0x09: return "ANM";
        case 0x0C: return "REL";
        case 0x10: return "RLC";
        default: return "???";
    }
}

// What the key says of one leg.
struct LegKey {
    Switch from = X;
    Switch to = Y;
    unsigned cic = 0;
    std::uint64_t firstRecord[2] = {0, 0};  // in the sender's trace, in the receiver's
    std::uint64_t captured = 0;             // the IAM's record in Y's capture (0: not there)
    std::uint64_t capturedAtX = 0;          // in X's capture (0: not there)
};

struct JourneyKey {
    std::string kind;
    std::vector<LegKey> legs;
    std::string outcome;
    unsigned cause = 0;
    Switch releasedAt = X;
    unsigned location = 0;
    std::vector<std::string> lost;     // "Z>Y CPG"
    std::vector<std::string> changes;  // keys Y changed
    std::uint32_t decoyOf = 0;         // the other journey of a pair of decoys (id + 1), 0: none
};

class TraceWriter {
public:
    void open(const std::filesystem::path& path) {
        out_.open(path, std::ios::binary | std::ios::trunc);
        out_ << "USER       BCIC        DEV                   ROUTE       TSTCALL\r\n"
                "OPER1      1           BICC-1                RT1         5\r\n\r\n"
                "BICC SIGNALLING TRACE      TIME "
             << kDate << " 10:00      PAGE 1\r\n\r\n";
    }
    // Writes the message; returns its record number.
    std::uint64_t write(const Event& e) {
        std::string l = clock(e.at);
        l.resize(12, ' ');
        l += acronymOf(e.type);
        l.resize(23, ' ');
        l += e.sent ? "S" : "R";
        out_ << "TIME        MSG        DIR  DATA\r\n";
        for (std::size_t i = 0; i < e.octets.size(); i += 16) {
            if (i != 0) l.clear();
            l.resize(28, ' ');
            for (std::size_t k = i; k < e.octets.size() && k < i + 16; ++k) {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02X", e.octets[k] & 0xFF);
                if (k != i) l += "  ";
                l += hex;
            }
            out_ << l << "\r\n";
        }
        out_ << "\r\n";
        return ++records_;
    }
    void close() { out_.close(); }

private:
    static std::string clock(std::int64_t centis) {
        char t[32];
        std::snprintf(t, sizeof t, "%02u:%02u:%02u.%02u", static_cast<unsigned>((centis / 360000) % 24),
                      static_cast<unsigned>((centis / 6000) % 60), static_cast<unsigned>((centis / 100) % 60),
                      static_cast<unsigned>(centis % 100));
        return t;
    }
    std::ofstream out_;
    std::uint64_t records_ = 0;
};

// A switch's capture of its trunks: one packet per message (Ethernet, IPv4, SCTP, M3UA, BICC),
// from point code 1 (X), 2 (Y) or 3 (Z) to another, at the switch's time of day on the key's date.
class CaptureWriter {
public:
    void open(const std::filesystem::path& path, Switch self) {
        self_ = self;
        out_.open(path, std::ios::binary | std::ios::trunc);
        const std::string header = truno::testing::capture::pcap({}, {});
        out_.write(header.data(), static_cast<std::streamsize>(header.size()));
    }
    std::uint64_t write(const Event& e, Switch from, Switch to) {
        namespace capture = truno::testing::capture;
        const capture::Bytes userData(e.octets.begin(), e.octets.end());
        const capture::Mtp3Fields route{.si = 13, .ni = 2, .opc = from + 1u, .dpc = to + 1u, .sls = e.octets[0] & 0x0Fu};
        std::uint32_t& tsn = tsns_[from == self_ ? 0 : 1];  // each direction of the association its own
        constexpr std::int64_t kDay = 1796688000;  // 2026-12-08 00:00:00 UTC
        const capture::Packet packet{.data = capture::m3uaFrame(route, userData, tsn++, from == self_),
                                     .seconds = static_cast<std::uint32_t>(kDay + e.at / 100),
                                     .fraction = static_cast<std::uint32_t>(e.at % 100) * 10000};
        const std::string one = capture::pcap({}, {packet});
        out_.write(one.data() + 24, static_cast<std::streamsize>(one.size() - 24));  // without its file header
        return ++records_;
    }
    void close() { out_.close(); }

private:
    std::ofstream out_;
    Switch self_ = Y;
    std::uint32_t tsns_[2] = {1, 0x40000000};
    std::uint64_t records_ = 0;
};

class Network {
public:
    Network(std::uint64_t seed, const std::filesystem::path& dir) : r_(seed, 7) {
        for (int t = 0; t < 4; ++t) writers_[t].open(dir / kTraces[t].file);
        capture_.open(dir / "y.pcap", Y);
        captureX_.open(dir / "x.pcap", X);
        for (auto& trunk : freeAt_) trunk.assign(kCircuitsPerTrunk + 1, 0);
    }

    void journeys(std::uint32_t count) {
        std::int64_t t = kStart;
        while (keys_.size() < count) {
            t += r_.between(50, 700);
            flushBefore(t - 200000);
            const unsigned roll = r_.below(100);
            if (roll < 4 && keys_.size() + 2 <= count) {
                decoys(t, roll >= 2);
            } else if (roll < 55) {
                transit(t, X, Z, roll < 12);
            } else if (roll < 75) {
                transit(t, Z, X, false);
            } else if (roll < 85) {
                local(t, X, Y);
            } else if (roll < 92) {
                local(t, Y, Z);
            } else {
                local(t, Z, Y);
            }
        }
        flushBefore(INT64_MAX);
        for (auto& w : writers_) w.close();
        capture_.close();
        captureX_.close();
    }

    void writeKey(const std::filesystem::path& dir) const {
        std::ofstream network(dir / "network", std::ios::binary | std::ios::trunc);
        for (const TraceDef& t : kTraces) network << t.file << ' ' << kSwitchNames[t.self] << ' ' << kSwitchNames[t.far] << '\n';
        std::ofstream key(dir / "answer.json", std::ios::binary | std::ios::trunc);
        key << "{\"date\":\"" << kDate << "\",\"clock_offset_ms\":{\"X\":" << kClockOffset[X] << ",\"Y\":" << kClockOffset[Y]
            << ",\"Z\":" << kClockOffset[Z] << "},\"traces\":[";
        for (int t = 0; t < 4; ++t)
            key << (t != 0 ? "," : "") << "{\"file\":\"" << kTraces[t].file << "\",\"this\":\"" << kSwitchNames[kTraces[t].self]
                << "\",\"far\":\"" << kSwitchNames[kTraces[t].far] << "\"}";
        key << "],\"journeys\":[\n";
        for (std::size_t j = 0; j < keys_.size(); ++j) {
            const JourneyKey& k = keys_[j];
            key << (j != 0 ? ",\n" : "") << "{\"id\":" << j + 1 << ",\"kind\":\"" << k.kind << "\",\"outcome\":\"" << k.outcome
                << "\",\"cause\":" << k.cause << ",\"location\":" << k.location << ",\"released_at\":\""
                << kSwitchNames[k.releasedAt] << "\",\"decoy_of\":" << k.decoyOf << ",\"legs\":[";
            for (std::size_t l = 0; l < k.legs.size(); ++l) {
                const LegKey& leg = k.legs[l];
                const int sender = traceOf(leg.from, leg.to);
                const int receiver = traceOf(leg.to, leg.from);
                key << (l != 0 ? "," : "") << "{\"from\":\"" << kSwitchNames[leg.from] << "\",\"to\":\"" << kSwitchNames[leg.to]
                    << "\",\"cic\":" << leg.cic << ",\"sightings\":[{\"file\":\"" << kTraces[sender].file
                    << "\",\"first_record\":" << leg.firstRecord[0] << "},{\"file\":\"" << kTraces[receiver].file
                    << "\",\"first_record\":" << leg.firstRecord[1] << "}],\"captured_record\":" << leg.captured
                    << ",\"captured_at_x\":" << leg.capturedAtX << "}";
            }
            key << "],\"lost\":[";
            for (std::size_t i = 0; i < k.lost.size(); ++i) key << (i != 0 ? "," : "") << '"' << k.lost[i] << '"';
            key << "],\"changes\":[";
            for (std::size_t i = 0; i < k.changes.size(); ++i) key << (i != 0 ? "," : "") << '"' << k.changes[i] << '"';
            key << "]}";
        }
        key << "\n]}\n";
    }

private:
    std::string digits(unsigned count) {
        std::string d;
        for (unsigned i = 0; i < count; ++i) d += static_cast<char>('0' + r_.below(10));
        return d;
    }

    // An idle circuit of the trunk at `at` (true time), busy until `until`.
    unsigned circuit(unsigned trunk, std::int64_t at) {
        for (;;) {
            const unsigned c = 1 + r_.below(kCircuitsPerTrunk);
            if (freeAt_[trunk][c] < at) return c;
        }
    }

    // A message on a leg, sent at true time `at` by `from`; returns when it arrives. `lost`: the
    // receiving trace never shows it.
    std::int64_t send(std::uint32_t journey, std::uint8_t leg, Switch from, Switch to, std::int64_t at,
                      const Octets& octets, bool lost = false) {
        const std::int64_t arrives = at + r_.between(10, 40);
        add(traceOf(from, to), journey, leg, at + kClockOffset[from], true, octets);
        if (!lost) add(traceOf(to, from), journey, leg, arrives + kClockOffset[to], false, octets);
        return arrives;
    }

    void add(int trace, std::uint32_t journey, std::uint8_t leg, std::int64_t atMs, bool sent, const Octets& o) {
        Event e{.at = atMs / 10, .order = order_++, .journey = journey, .leg = leg, .type = static_cast<std::uint8_t>(o[4]),
                .sent = sent, .octets = o};
        if (kTraces[trace].self == Y) ofY_.push(e);
        if (kTraces[trace].self == X) ofX_.push(e);
        queues_[trace].push(std::move(e));
    }

    // (The bounds are taken off the events' times, which are small, so that INT64_MAX, "all",
    // does not overflow.)
    void flushBefore(std::int64_t trueMs) {
        // Y's capture: the messages of its two traces in the order of Y's clock.
        while (!ofY_.empty() && ofY_.top().at * 10 - kClockOffset[Y] + 5000 < trueMs) {
            const Event& e = ofY_.top();
            const Switch far = farOf(keys_[e.journey].legs[e.leg]);
            const std::uint64_t record = capture_.write(e, e.sent ? Y : far, e.sent ? far : Y);
            if (e.type == 0x01) keys_[e.journey].legs[e.leg].captured = record;
            ofY_.pop();
        }
        // X's capture: the messages of x-y.log.
        while (!ofX_.empty() && ofX_.top().at * 10 - kClockOffset[X] + 5000 < trueMs) {
            const Event& e = ofX_.top();
            const std::uint64_t record = captureX_.write(e, e.sent ? X : Y, e.sent ? Y : X);
            if (e.type == 0x01) keys_[e.journey].legs[e.leg].capturedAtX = record;
            ofX_.pop();
        }
        for (int t = 0; t < 4; ++t) {
            auto& q = queues_[t];
            while (!q.empty() && q.top().at * 10 - kClockOffset[kTraces[t].self] + 5000 < trueMs) {
                const Event& e = q.top();
                const std::uint64_t record = writers_[t].write(e);
                if (e.type == 0x01) {
                    LegKey& leg = keys_[e.journey].legs[e.leg];
                    leg.firstRecord[e.sent ? 0 : 1] = record;
                }
                q.pop();
            }
        }
    }

    // The legs of a journey along `path`, their circuits taken.
    struct Route {
        std::vector<Switch> path;
        std::vector<unsigned> cics;
    };

    // Releases the journey from switch `at` (index in the path) at true time `t`: REL on each
    // leg beside it, passed on hop by hop, each answered by RLC; the circuits are free after.
    void release(std::uint32_t id, const Route& route, std::size_t from, std::int64_t t, unsigned cause, unsigned location) {
        const auto onwards = [&](std::size_t sw, int step, std::int64_t when) {
            for (std::size_t s = sw;;) {
                const std::size_t next = step > 0 ? s + 1 : s - 1;
                if (step < 0 && s == 0) break;
                if (step > 0 && s + 1 >= route.path.size()) break;
                const std::size_t leg = step > 0 ? s : next;
                const unsigned cic = route.cics[leg];
                const std::int64_t arrives = send(id, static_cast<std::uint8_t>(leg), route.path[s], route.path[next], when,
                                                  simpleOctets(cic, 0x0C, cause, location));
                const std::int64_t done = send(id, static_cast<std::uint8_t>(leg), route.path[next], route.path[s],
                                               arrives + r_.between(5, 30), simpleOctets(cic, 0x10));
                freeAt_[trunkOf(route.path[s], route.path[next])][cic] = done + 100;
                when = arrives + r_.between(5, 40);
                s = next;
            }
        };
        onwards(from, -1, t);
        onwards(from, +1, t + r_.between(0, 5));
    }

    // A backward message from the last switch of the route to the first, forwarded hop by hop;
    // returns when it reaches the first, or would have. `lostOnLeg`: the leg where it is lost
    // (it goes no further), -1 none.
    std::int64_t backward(std::uint32_t id, const Route& route, std::int64_t t, unsigned type, int lostOnLeg = -1) {
        for (std::size_t leg = route.cics.size(); leg-- > 0;) {
            const bool lost = static_cast<int>(leg) == lostOnLeg;
            const unsigned cic = route.cics[leg];
            t = send(id, static_cast<std::uint8_t>(leg), route.path[leg + 1], route.path[leg], t, simpleOctets(cic, type), lost);
            if (lost) {
                keys_[id].lost.push_back(std::string(kSwitchNames[route.path[leg + 1]]) + ">" + kSwitchNames[route.path[leg]] + " " +
                                         acronymOf(type));
                return t;
            }
            t += r_.between(5, 40);
        }
        return t;
    }

    // Sets up the route: the IAM from the first switch, forwarded at each transit switch with
    // what Y changes; returns when the last switch has it.
    std::int64_t setup(std::uint32_t id, Route& route, std::int64_t t, Setup s, bool divert, bool decoy = false) {
        JourneyKey& key = keys_[id];
        for (std::size_t leg = 0; leg + 1 < route.path.size(); ++leg) {
            const Switch from = route.path[leg];
            const Switch to = route.path[leg + 1];
            const unsigned trunk = trunkOf(from, to);
            const unsigned cic = circuit(trunk, t);
            freeAt_[trunk][cic] = INT64_MAX;
            route.cics.push_back(cic);
            key.legs.push_back(LegKey{.from = from, .to = to, .cic = cic});
            t = send(id, static_cast<std::uint8_t>(leg), from, to, t, iamOctets(cic, s));
            if (leg + 2 < route.path.size()) {  // Y forwards it after a while, changing some things
                t += decoy ? 60 : r_.between(20, 200);
                if (s.hopCounter > 0) --s.hopCounter;
                if (divert) {
                    s.originalCalled = s.called;
                    s.called = "2" + digits(8);  // as many digits: the odd/even indicator stays
                    key.changes.insert(key.changes.end(), {"called_party_number.address_signals", "original_called_number",
                                                           "redirection_information"});
                } else if (!decoy && r_.chance(50)) {
                    s.called = "49" + s.called;
                    s.calledNature = 4;
                    key.changes.insert(key.changes.end(), {"called_party_number.address_signals", "called_party_number.nature_of_address"});
                }
                if (!decoy && !s.callingRestricted && r_.chance(20)) {
                    s.callingRestricted = true;
                    key.changes.emplace_back("calling_party_number.presentation_restricted");
                }
                if (s.genericNumber && r_.chance(50)) {
                    s.genericNumber = false;
                    key.changes.emplace_back("generic_number");
                }
            }
        }
        return t;
    }

    Setup newSetup() {
        Setup s;
        s.called = "2" + digits(8);
        s.calling = "3" + digits(9);
        s.hopCounter = r_.chance(60) ? static_cast<int>(10 + r_.below(10)) : -1;
        s.genericNumber = r_.chance(30);
        s.category = r_.chance(90) ? 0x0A : 0x0F;
        return s;
    }

    // What happens once the last switch has the IAM: answered, busy, no answer, a failure at the
    // transit switch, or the caller giving up. Returns nothing; the key says it.
    void finish(std::uint32_t id, const Route& route, std::int64_t t) {
        JourneyKey& key = keys_[id];
        const std::size_t last = route.path.size() - 1;
        const bool transit = last == 2;
        const unsigned roll = r_.below(100);
        const int lostAcm = transit && r_.chance(5) ? 0 : -1;
        const int lostCpg = transit && r_.chance(8) ? 1 : -1;
        const auto endAt = [&](std::size_t sw, std::int64_t when, unsigned cause, unsigned location, const char* outcome) {
            key.outcome = outcome;
            key.cause = cause;
            key.location = location;
            key.releasedAt = route.path[sw];
            release(id, route, sw, when, cause, location);
        };
        if (transit && roll < 8) {  // Y gives up waiting for the address complete message
            endAt(1, t + 3000 + r_.between(0, 2000), 102, 3, "unanswered");
            return;
        }
        t = backward(id, route, t + r_.between(300, 1500), 0x06, lostAcm);
        if (roll < 20) {  // busy
            endAt(last, t + r_.between(200, 900), 17, 1, "unanswered");
            return;
        }
        t = backward(id, route, t + r_.between(1000, 3000), 0x2C, lostCpg) + r_.between(500, 4000);
        if (roll < 30) {  // no answer: the called side gives up
            endAt(last, t + 8000, 19, 1, "unanswered");
        } else if (roll < 38) {  // the caller gives up
            endAt(0, t, 16, 0, "unanswered");
        } else {
            t = backward(id, route, t, 0x09);
            const bool callerEnds = r_.chance(50);
            endAt(callerEnds ? 0 : last, t + r_.between(5000, 60000), 16, 0, "answered");
        }
    }

    std::uint32_t newJourney(const char* kind) {
        keys_.emplace_back();
        keys_.back().kind = kind;
        return static_cast<std::uint32_t>(keys_.size() - 1);
    }

    void transit(std::int64_t t, Switch from, Switch to, bool divert) {
        const std::uint32_t id = newJourney(divert ? "diverted" : "transit");
        Route route{.path = {from, Y, to}, .cics = {}};
        const std::int64_t arrived = setup(id, route, t, newSetup(), divert);
        finish(id, route, arrived);
    }

    void local(std::int64_t t, Switch from, Switch to) {
        const std::uint32_t id = newJourney("local");
        Route route{.path = {from, to}, .cics = {}};
        finish(id, route, setup(id, route, t, newSetup(), false));
    }

    // Two calls from X to Z with the same numbers at the same moment, answered; the releases
    // differ in time only. `keyed`: each carries its own correlation id, which Y passes on, so
    // that they can be told apart after all (their key says "keyed", whole journeys).
    void decoys(std::int64_t t, bool keyed) {
        const Setup same = newSetup();
        const std::uint32_t a = newJourney(keyed ? "keyed" : "decoy");
        const std::uint32_t b = newJourney(keyed ? "keyed" : "decoy");
        keys_[a].decoyOf = b + 1;
        keys_[b].decoyOf = a + 1;
        for (const std::uint32_t id : {a, b}) {
            Route route{.path = {X, Y, Z}, .cics = {}};
            Setup s = same;
            if (keyed) s.correlation = 0x10000000u + id;
            const std::int64_t arrived = setup(id, route, t, s, false, true);
            std::int64_t when = backward(id, route, arrived + 500, 0x06);
            when = backward(id, route, when + 1500, 0x09);
            JourneyKey& key = keys_[id];
            key.outcome = "answered";
            key.cause = 16;
            key.releasedAt = X;
            release(id, route, 0, when + 10000 + (id == a ? 0 : 7000), 16, 0);
        }
    }

    Random r_;
    TraceWriter writers_[4];
    std::priority_queue<Event, std::vector<Event>, std::greater<>> queues_[4];
    std::priority_queue<Event, std::vector<Event>, std::greater<>> ofY_;  // Y's messages, for its capture
    std::priority_queue<Event, std::vector<Event>, std::greater<>> ofX_;  // X's, for its
    CaptureWriter capture_, captureX_;
    // The switch at the other end of a leg from Y.
    static Switch farOf(const LegKey& leg) { return leg.from == Y ? leg.to : leg.from; }
    std::vector<std::int64_t> freeAt_[2];
    std::vector<JourneyKey> keys_;
    std::uint64_t order_ = 0;
};

}  // namespace

int writeNetwork(std::uint32_t journeys, std::uint64_t seed, const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "truno-loggen: cannot make '%s': %s\n", dir.c_str(), error.message().c_str());
        return 2;
    }
    Network network(seed, dir);
    network.journeys(journeys);
    network.writeKey(dir);
    return 0;
}

}  // namespace truno::loggen
