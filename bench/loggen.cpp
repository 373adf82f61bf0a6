// truno-loggen: writes a deterministic trace log of N messages made of realistic call flows,
// for benchmarks and long tests.
//
//   truno-loggen MESSAGES [SEED] > log
//
// About forty calls run at once on a pool of 2,000 circuits, outgoing (the IAM sent) and
// incoming (the IAM received), so that their messages interleave and they finish in another
// order than they began. The mix: answered calls (IAM, ACM, CPG, ANM, then messages of the
// conversation such as SUS/RES, USR, APM, FAC, FAR/FAA, and a REL from either side with cause 16
// or 31; some released by both sides at once, two RLCs), calls released before an answer by the
// right side (17 user busy, 18 no user responding, 19 no answer and 21 call rejected from the
// called side, 16 when the caller gives up, 1, 3, 28, 34, 41, 42 or 102 from the network),
// calls whose last messages are missing (the circuit is later taken by a new IAM), calls ended
// by a reset (RSC answered by RLC), and circuit group messages between calls (GRS/GRA, which
// ends the calls on its range, CGB/CGBA and CGU/CGUA with range and status). Overlap (SAM),
// continuity (COT) and information requests (INR/INF) come after some IAMs. Messages spread
// over continuation lines, page headers appear now and then (some inside a message), and TIME
// and DIR are left out of some lines so that they carry over (DIR only where it is the same).
//
//   truno-loggen --pcap MESSAGES [SEED] > capture.pcap
//
// writes the same messages (the same SEED gives the same ones) as a packet capture instead, for
// the capture reader's benchmark: one packet per message, Ethernet, IPv4, SCTP, M3UA DATA with
// the message as BICC user data (service indicator 13), sent from point code 1 to 2 (S) or 2 to
// 1 (R), each packet at the time of day its log line would give, on 2024-01-01.
#include "bench/NetworkLogs.h"
#include "bench/Random.h"
#include "cli/Platform.h"
#include "tests/support/CaptureBuilder.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using truno::loggen::Random;

using Octets = std::vector<unsigned>;

void add(Octets& o, std::initializer_list<unsigned> values) { o.insert(o.end(), values); }

// A parameter of the optional part: code, length, contents.
void optional(Octets& o, unsigned code, const Octets& contents) {
    o.push_back(code);
    o.push_back(static_cast<unsigned>(contents.size()));
    o.insert(o.end(), contents.begin(), contents.end());
}

// Address signals, two per octet, low-order digit first; an odd count gets a filler 0.
Octets digits(Random& r, unsigned count, bool& odd) {
    Octets o;
    odd = (count % 2) != 0;
    for (unsigned i = 0; i < count; i += 2) {
        const unsigned lo = r.below(10);
        const unsigned hi = (i + 1 < count) ? r.below(10) : 0;
        o.push_back(hi << 4 | lo);
    }
    return o;
}

Octets number(Random& r, unsigned nature, unsigned indicators, unsigned count) {
    bool odd = false;
    Octets d = digits(r, count, odd);
    Octets o{(odd ? 0x80u : 0u) | nature, indicators};
    o.insert(o.end(), d.begin(), d.end());
    return o;
}

// The application transport parameter of a BICC IAM: one-octet ACI (BAT ASE), address
// lengths 0, then action indicator, BNCID, interworking function address, codec list,
// bearer network connection characteristics and bearer control tunnelling.
const Octets kApplicationTransport = {
    0x85, 0x81, 0xC0, 0x00, 0x00,                          // ACI 5, SI/segmentation, SLR
    0x01, 0x82, 0x83, 0x02,                                // action indicator: connect forward
    0x02, 0x85, 0x83, 0x00, 0x00, 0x10, 0x2A,              // BNCID
    0x03, 0x88, 0x83, 0x45, 0x00, 0x0A, 0x01, 0x02, 0x03, 0x04,  // IWF address
    0x04, 0x87, 0x83, 0x08, 0x1E, 0x81, 0x83, 0x20, 0x20,  // codec list
    0x07, 0x82, 0x83, 0x04,                                // bearer network connection: IP/RTP
    0x09, 0x82, 0x83, 0x01,                                // tunnelling to be used
};

class Writer {
public:
    explicit Writer(bool pcap) : pcap_(pcap) {
        if (pcap_) {
            out_ = truno::testing::capture::pcap({}, {});
            return;
        }
        line("USER       BCIC        DEV                   ROUTE       TSTCALL");
        line("OPER1      1           BICC-1                RT1         5");
        line("");
    }

    void message(Random& r, const char* name, bool sent, const Octets& o) {
        if (!pcap_) line("TIME        MSG        DIR  DATA");
        const bool showTime = !r.chance(5);
        // DIR is left out only where it carries over the same direction.
        const bool showDir = !r.chance(5) || messages_ == 0 || sent != lastSent_;
        lastSent_ = sent;
        const std::string time = showTime ? clock() : std::string();
        const std::string dir = showDir ? (sent ? "S" : "R") : "";
        if (pcap_) packet(sent, o);
        tick(r);
        const bool pageInside = (++messages_ % 53) == 0 && o.size() > 16;
        if (pcap_) return;
        for (std::size_t i = 0; i < o.size(); i += 16) {
            std::string l;
            if (i == 0) {
                l = time;
                l.resize(12, ' ');
                l += name;
                l.resize(23, ' ');
                l += dir;
            }
            l.resize(28, ' ');
            for (std::size_t k = i; k < o.size() && k < i + 16; ++k) {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02X", o[k] & 0xFF);
                if (k != i) l += "  ";
                l += hex;
            }
            line(l);
            if (pageInside && i == 0) line("BICC SIGNALLING TRACE      TIME " + clock() + "      PAGE " + std::to_string(++page_));
        }
        line("");
        if (messages_ % 97 == 0) line("BICC SIGNALLING TRACE      TIME " + clock() + "      PAGE " + std::to_string(++page_));
    }

    void flush() { std::fwrite(out_.data(), 1, out_.size(), stdout); out_.clear(); }
    std::size_t pending() const { return out_.size(); }
    std::uint64_t count() const { return messages_; }

private:
    // One packet record of the message, at the time its log line gives.
    void packet(bool sent, const Octets& o) {
        namespace capture = truno::testing::capture;
        const capture::Bytes userData(o.begin(), o.end());
        const capture::Mtp3Fields route{.si = 13, .ni = 2, .opc = sent ? 1u : 2u, .dpc = sent ? 2u : 1u, .sls = o.empty() ? 0u : o[0] & 0x0Fu};
        constexpr std::uint32_t kFirstDay = 1704067200;  // 2024-01-01 00:00:00 UTC
        std::uint32_t& tsn = sent ? sentTsn_ : receivedTsn_;
        const capture::Packet record{.data = capture::m3uaFrame(route, userData, tsn++, sent),
                                     .seconds = kFirstDay + static_cast<std::uint32_t>((centis_ / 100) % 86400),
                                     .fraction = static_cast<std::uint32_t>(centis_ % 100) * 10000};
        const std::string one = capture::pcap({}, {record});
        out_.append(one, 24);  // without its file header
    }
    void line(const std::string& l) { out_ += l; out_ += "\r\n"; }
    std::string clock() const {
        char t[32];
        std::snprintf(t, sizeof t, "%02u:%02u:%02u.%02u", static_cast<unsigned>((centis_ / 360000) % 24), static_cast<unsigned>((centis_ / 6000) % 60),
                      static_cast<unsigned>((centis_ / 100) % 60), static_cast<unsigned>(centis_ % 100));
        return t;
    }
    void tick(Random& r) { centis_ += 1 + r.below(40); }

    bool pcap_ = false;
    std::uint32_t sentTsn_ = 1;
    std::uint32_t receivedTsn_ = 0x40000000;  // each direction its own TSNs, as in a real association
    std::string out_;
    std::uint64_t centis_ = 36000000;
    std::uint64_t messages_ = 0;
    unsigned page_ = 1;
    bool lastSent_ = true;
};

Octets cicOf(unsigned cic) { return {cic & 0xFF, (cic >> 8) & 0xFF, (cic >> 16) & 0xFF, 0}; }

Octets iam(Random& r, unsigned cic) {
    Octets o = cicOf(cic);
    add(o, {0x01, r.chance(20) ? 0x11u : 0x00u, 0x60, 0x01, r.chance(90) ? 0x0Au : 0x0Fu, 0x00});
    const Octets called = number(r, r.chance(70) ? 3 : 4, 0x10, 7 + r.below(8));
    o.push_back(0x02);
    o.push_back(static_cast<unsigned>(called.size()) + 2);  // optional part after the called number
    o.push_back(static_cast<unsigned>(called.size()));
    o.insert(o.end(), called.begin(), called.end());
    optional(o, 0x0A, number(r, 3 + r.below(2), r.chance(50) ? 0x13u : 0x11u, 8 + r.below(5)));
    optional(o, 0x08, {r.chance(20) ? 0x80u : 0x00u});
    optional(o, 0x1D, {0x80, 0x90, 0xA3});
    if (r.chance(60)) optional(o, 0x3D, {r.below(32)});
    if (r.chance(50)) optional(o, 0x31, {0x00, r.below(200)});
    if (r.chance(30)) optional(o, 0x3F, number(r, 3, 0x13, 10));
    if (r.chance(20)) {
        optional(o, 0x28, number(r, 3, 0x11, 10));
        optional(o, 0x13, {0x03, 0x11 + r.below(2) * 0x10});
        optional(o, 0x0B, number(r, 3, 0x11, 9));
    }
    if (r.chance(15)) optional(o, 0xC0, {0x06, 0x03, 0x13, 0x21, 0x43, 0x65});
    if (r.chance(15)) optional(o, 0x03, {0x7C, 0x03, 0x88, 0x90, 0xA6});
    if (r.chance(10)) optional(o, 0x3A, {0x00, 0x03, 0x12, 0x34, 0x56, 0x78});
    if (r.chance(10)) optional(o, 0x39, {0xF4, 0x90});
    if (r.chance(10)) optional(o, 0x2B, {0x12, 0x34});
    if (r.chance(25)) optional(o, 0x78, kApplicationTransport);
    if (r.chance(5)) optional(o, 0xF2, {0x01, 0x01, 'J', 'o', 'h', 'n', ' ', 'S', 'm', 'i', 't', 'h'});
    if (r.chance(5)) optional(o, 0x65, {0x12, 0x34, 0x56, 0x78});
    o.push_back(0x00);
    return o;
}

Octets acm(Random& r, unsigned cic) {
    Octets o = cicOf(cic);
    add(o, {0x06, 0x16, r.chance(50) ? 0x14u : 0x16u, 0x01});
    if (r.chance(40)) optional(o, 0x29, {0x01});
    if (r.chance(15)) optional(o, 0x36, {0x1B});
    if (r.chance(10)) optional(o, 0x2C, {0x80 | (1 + r.below(3))});
    o.push_back(0x00);
    return o;
}

Octets cpg(Random& r, unsigned cic) {
    Octets o = cicOf(cic);
    add(o, {0x2C, 0x01 + r.below(3), 0x01});
    if (r.chance(50)) optional(o, 0x11, {0x16, 0x14});
    if (r.chance(30)) optional(o, 0x0C, number(r, 3, 0x10, 10));
    if (r.chance(30)) optional(o, 0x40, {0x00});
    o.push_back(0x00);
    return o;
}

Octets anm(Random& r, unsigned cic) {
    Octets o = cicOf(cic);
    add(o, {0x09, 0x01});
    if (r.chance(30)) optional(o, 0x11, {0x16, 0x14});
    if (r.chance(20)) optional(o, 0x21, number(r, 3, 0x03, 10));
    if (r.chance(10)) optional(o, 0x2E, {0x01});
    o.push_back(0x00);
    return o;
}

Octets rel(Random& r, unsigned cic, unsigned cause) {
    Octets o = cicOf(cic);
    const bool diagnostic = r.chance(10);
    const bool opt = r.chance(60);
    add(o, {0x0C, 0x02, opt ? (diagnostic ? 5u : 4u) : 0u, diagnostic ? 3u : 2u, 0x80 | r.below(8), 0x80 | cause});
    if (diagnostic) o.push_back(0x0A);
    if (opt) {
        if (r.chance(30)) optional(o, 0x2E, {0x00});
        if (r.chance(20)) optional(o, 0x0C, number(r, 3, 0x10, 10));
        o.push_back(0x00);
    }
    return o;
}

Octets rlc(Random& r, unsigned cic) {
    Octets o = cicOf(cic);
    if (r.chance(50)) add(o, {0x10, 0x00}); else add(o, {0x10, 0x01, 0x00});
    return o;
}

// What a call sends, in order; `forward`: from the calling side.
enum class Kind { IAM, SAM, COT, INR, INF, ACM, CPG, ANM, SUS, RES, USR, APM, FAC, FAR, FAA, REL, RLC, RSC };
struct Step {
    Kind kind;
    bool forward;
    unsigned cause = 0;
};

struct Flow {
    unsigned cic;
    bool outgoing;  // the IAM is sent
    std::vector<Step> steps;
    std::size_t next = 0;
};

// The causes a network gives before an answer: unallocated number, no route to destination,
// invalid number format, no circuit available, temporary failure, switching equipment
// congestion, recovery on timer expiry.
const unsigned kNetworkCauses[] = {1, 3, 28, 34, 41, 42, 102};

std::vector<Step> plan(Random& r) {
    std::vector<Step> s{{Kind::IAM, true}};
    if (r.chance(10)) s.push_back({Kind::SAM, true});
    if (r.chance(5)) s.push_back({Kind::COT, true});
    if (r.chance(3)) {
        s.push_back({Kind::INR, false});
        s.push_back({Kind::INF, true});
    }
    const auto release = [&](bool forward, unsigned cause) {
        s.push_back({Kind::REL, forward, cause});
        s.push_back({Kind::RLC, !forward});
    };
    const auto alerting = [&](unsigned cpgPercent) {
        s.push_back({Kind::ACM, false});
        if (r.chance(cpgPercent)) s.push_back({Kind::CPG, false});
    };
    const unsigned roll = r.below(100);
    if (roll < 58) {  // answered
        alerting(40);
        s.push_back({Kind::ANM, false});
        if (r.chance(5)) {
            s.push_back({Kind::SUS, false});
            s.push_back({Kind::RES, false});
        }
        if (r.chance(5)) s.push_back({Kind::USR, true});
        if (r.chance(5)) s.push_back({Kind::APM, true});
        if (r.chance(5)) s.push_back({Kind::FAC, false});
        if (r.chance(3)) {
            s.push_back({Kind::FAR, true});
            s.push_back({Kind::FAA, false});
        }
        release(r.chance(50), r.chance(90) ? 16 : 31);
    } else if (roll < 65) {  // user busy
        if (r.chance(20)) s.push_back({Kind::ACM, false});
        release(false, 17);
    } else if (roll < 72) {  // no answer from the alerted user
        alerting(50);
        release(false, 19);
    } else if (roll < 76) {  // no user responding
        if (r.chance(50)) s.push_back({Kind::ACM, false});
        release(false, 18);
    } else if (roll < 82) {  // the caller gives up
        alerting(50);
        release(true, 16);
    } else if (roll < 85) {  // call rejected
        release(false, 21);
    } else if (roll < 89) {  // a failure in the network
        release(false, kNetworkCauses[r.below(sizeof kNetworkCauses / sizeof kNetworkCauses[0])]);
    } else if (roll < 92) {  // answered, both sides release at once
        alerting(0);
        s.push_back({Kind::ANM, false});
        s.push_back({Kind::REL, true, 16});
        s.push_back({Kind::REL, false, 16});
        s.push_back({Kind::RLC, true});
        s.push_back({Kind::RLC, false});
    } else if (roll < 97) {  // the log misses the call's last messages
        if (r.chance(50)) alerting(30);
    } else {  // reset during the call
        alerting(30);
        if (r.chance(50)) s.push_back({Kind::ANM, false});
        const bool forward = r.chance(50);
        s.push_back({Kind::RSC, forward});
        s.push_back({Kind::RLC, !forward});
    }
    return s;
}

Octets stepOctets(Random& r, const Step& step, unsigned cic) {
    Octets o = cicOf(cic);
    switch (step.kind) {
        case Kind::IAM: return iam(r, cic);
        case Kind::ACM: return acm(r, cic);
        case Kind::CPG: return cpg(r, cic);
        case Kind::ANM: return anm(r, cic);
        case Kind::REL: return rel(r, cic, step.cause);
        case Kind::RLC: return rlc(r, cic);
        case Kind::RSC: add(o, {0x12}); break;
        case Kind::SAM: add(o, {0x02, 0x02, 0x00, 0x02, 0x21, 0x43}); break;
        case Kind::COT: add(o, {0x05, 0x01}); break;
        case Kind::INR: add(o, {0x03, 0x01, 0x00}); break;
        case Kind::INF:
            add(o, {0x04, 0x03, 0x01});
            optional(o, 0x0A, number(r, 3, 0x13, 10));
            optional(o, 0x09, {0x0A});
            o.push_back(0);
            break;
        case Kind::SUS: add(o, {0x0D, 0x00, 0x00}); break;
        case Kind::RES: add(o, {0x0E, 0x00, 0x00}); break;
        case Kind::USR: add(o, {0x2D, 0x02, 0x00, 0x04, 0x11, 0x22, 0x33, 0x44}); break;
        case Kind::APM: add(o, {0x41, 0x01}); optional(o, 0x78, kApplicationTransport); o.push_back(0); break;
        case Kind::FAC: add(o, {0x33, 0x01}); optional(o, 0x2C, {0x81}); optional(o, 0x33, {0x05}); o.push_back(0); break;
        case Kind::FAR: add(o, {0x1F, 0x02, 0x01}); optional(o, 0x4B, {0x01}); o.push_back(0); break;
        case Kind::FAA: add(o, {0x20, 0x02, 0x00}); break;
    }
    return o;
}

const char* const kNames[] = {"IAM", "SAM", "COT", "INR", "INF", "ACM", "CPG", "ANM", "SUS",
                              "RES", "USR", "APM", "FAC", "FAR", "FAA", "REL", "RLC", "RSC"};

constexpr unsigned kCircuits = 2000;
constexpr std::size_t kConcurrentCalls = 40;
constexpr unsigned kGroupRange = 7;  // a circuit group message covers its code and the 7 after it

// A whole argument as a plain decimal number (digits only, no sign, no exponent, no blanks)
// that fits; false for anything else.
bool parseCount(const char* text, unsigned long long& value) {
    if (*text == '\0') return false;
    value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        const auto digit = static_cast<unsigned long long>(*c - '0');
        if (value > (ULLONG_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

constexpr const char* kUsage =
    "usage: truno-loggen MESSAGES [SEED]\n"
    "       truno-loggen --pcap MESSAGES [SEED]\n"
    "       truno-loggen --network JOURNEYS [SEED] DIR\n"
    "Writes a trace log of MESSAGES messages (realistic call flows) to standard output; the same\n"
    "SEED (default 1) gives the same log. Both are decimal numbers. With --pcap, the same messages\n"
    "as a packet capture (pcap: Ethernet, IPv4, SCTP, M3UA, BICC). With --network, the four traces\n"
    "of a network X-Y-Z (both ends of both trunks) into DIR, with DIR/network (FILE THIS FAR) and\n"
    "DIR/answer.json, the journeys they hold.\n";

}  // namespace

int main(int argc, char** argv) {
    truno::useBinaryStandardStreams();
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--network") == 0) {
        unsigned long long journeys = 0;
        unsigned long long seed = 1;
        if (argc < 4 || argc > 5 || !parseCount(argv[2], journeys) || journeys > UINT32_MAX ||
            (argc == 5 && !parseCount(argv[3], seed))) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return truno::loggen::writeNetwork(static_cast<std::uint32_t>(journeys), seed, argv[argc - 1]);
    }
    const bool pcap = argc > 1 && std::strcmp(argv[1], "--pcap") == 0;
    if (pcap) {
        --argc;
        ++argv;
    }
    unsigned long long total = 0;
    unsigned long long seed = 1;
    if (argc < 2 || argc > 3 || !parseCount(argv[1], total) || (argc == 3 && !parseCount(argv[2], seed))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Random r(seed);
    Writer w(pcap);
    std::vector<Flow> calls;
    std::vector<bool> busy(kCircuits + 1, false);
    unsigned nextCic = 0;
    const auto emit = [&](const char* name, bool sent, const Octets& o) {
        if (w.count() < total) w.message(r, name, sent, o);
    };
    // The next idle circuit, round the pool (there are always far more circuits than calls).
    const auto idleCircuit = [&] {
        do nextCic = nextCic % kCircuits + 1;
        while (busy[nextCic]);
        return nextCic;
    };
    // Circuit group messages on a group of idle circuits, or a reset of a group whose calls end.
    const auto circuitGroup = [&] {
        const unsigned first = idleCircuit();
        const bool sent = r.chance(50);
        Octets o = cicOf(first);
        Octets answer = cicOf(first);
        const unsigned status = 1 + r.below(255);
        switch (r.below(3)) {
            case 0:
                add(o, {0x17, 0x01, 0x01, kGroupRange});
                emit("GRS", sent, o);
                add(answer, {0x29, 0x01, 0x02, kGroupRange, 0x00});
                emit("GRA", !sent, answer);
                std::erase_if(calls, [&](const Flow& call) {
                    const bool reset = call.cic >= first && call.cic <= first + kGroupRange;
                    if (reset) busy[call.cic] = false;
                    return reset;
                });
                break;
            case 1:
                add(o, {0x18, 0x00, 0x01, 0x02, kGroupRange, status});
                emit("CGB", sent, o);
                add(answer, {0x1A, 0x00, 0x01, 0x02, kGroupRange, status});
                emit("CGBA", !sent, answer);
                break;
            default:
                add(o, {0x19, 0x00, 0x01, 0x02, kGroupRange, status});
                emit("CGU", sent, o);
                add(answer, {0x1B, 0x00, 0x01, 0x02, kGroupRange, status});
                emit("CGUA", !sent, answer);
                break;
        }
    };
    while (w.count() < total) {
        if (calls.size() < kConcurrentCalls) {
            if (r.chance(3)) {
                circuitGroup();
            } else {
                const unsigned cic = idleCircuit();
                busy[cic] = true;
                calls.push_back(Flow{.cic = cic, .outgoing = r.chance(60), .steps = plan(r)});
            }
        }
        if (calls.empty()) continue;
        const std::size_t which = r.below(static_cast<unsigned>(calls.size()));
        Flow& call = calls[which];
        const Step& step = call.steps[call.next++];
        emit(kNames[static_cast<int>(step.kind)], step.forward == call.outgoing, stepOctets(r, step, call.cic));
        if (call.next == call.steps.size()) {
            busy[call.cic] = false;
            calls[which] = std::move(calls.back());
            calls.pop_back();
        }
        if (w.pending() > (1u << 20)) w.flush();
    }
    w.flush();
    return 0;
}
