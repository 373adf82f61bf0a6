// truno-loggen: writes a deterministic trace log of N messages made of realistic call flows,
// for benchmarks and long tests.
//
//   truno-loggen MESSAGES [SEED] > log
//
// Calls run IAM (called and calling numbers and several optional parameters), ACM, CPG, ANM,
// REL with a cause and RLC; between them come circuit group, facility, information,
// suspend/resume, user-to-user and application transport messages. Messages spread over
// continuation lines, page headers appear now and then (some inside a message), and TIME and
// DIR are left out of some lines so that they carry over.
#include "cli/Platform.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next() {  // splitmix64: the same sequence on every platform
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

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

const unsigned kCauses[] = {0x90, 0x91, 0x92, 0x93, 0x9F, 0x81, 0x83, 0xA2, 0xA9, 0xAA, 0x95, 0xE6, 0xA6, 0xB2};

class Writer {
public:
    Writer() { line("USER       BCIC        DEV                   ROUTE       TSTCALL");
               line("OPER1      1           BICC-1                RT1         5");
               line(""); }

    void message(Random& r, const char* name, bool sent, const Octets& o) {
        line("TIME        MSG        DIR  DATA");
        const bool showTime = !r.chance(5);
        const bool showDir = !r.chance(5);
        const std::string time = showTime ? clock() : std::string();
        const std::string dir = showDir ? (sent ? "S" : "R") : "";
        tick(r);
        const bool pageInside = (++messages_ % 53) == 0 && o.size() > 16;
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
    void line(const std::string& l) { out_ += l; out_ += "\r\n"; }
    std::string clock() const {
        char t[32];
        std::snprintf(t, sizeof t, "%02u:%02u:%02u.%02u", static_cast<unsigned>((centis_ / 360000) % 24), static_cast<unsigned>((centis_ / 6000) % 60),
                      static_cast<unsigned>((centis_ / 100) % 60), static_cast<unsigned>(centis_ % 100));
        return t;
    }
    void tick(Random& r) { centis_ += 1 + r.below(40); }

    std::string out_;
    std::uint64_t centis_ = 36000000;
    std::uint64_t messages_ = 0;
    unsigned page_ = 1;
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

Octets rel(Random& r, unsigned cic) {
    Octets o = cicOf(cic);
    const unsigned cause = kCauses[r.below(sizeof kCauses / sizeof kCauses[0])];
    const bool diagnostic = r.chance(10);
    const bool opt = r.chance(60);
    add(o, {0x0C, 0x02, opt ? (diagnostic ? 5u : 4u) : 0u, diagnostic ? 3u : 2u, 0x80 | r.below(8), cause});
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

// Occasional messages between calls.
void extra(Random& r, Writer& w, unsigned cic) {
    Octets o = cicOf(cic);
    switch (r.below(12)) {
        case 0: add(o, {0x18, 0x00, 0x01, 0x02, 0x07, 0xFF}); w.message(r, "CGB", true, o);
                o = cicOf(cic); add(o, {0x1A, 0x00, 0x01, 0x02, 0x07, 0xFF}); w.message(r, "CGBA", false, o); break;
        case 1: add(o, {0x17, 0x01, 0x01, 0x1F}); w.message(r, "GRS", true, o);
                o = cicOf(cic); add(o, {0x29, 0x01, 0x05, 0x1F, 0x00, 0x00, 0x00, 0x00}); w.message(r, "GRA", false, o); break;
        case 2: add(o, {0x19, 0x01, 0x01, 0x02, 0x07, 0x0F}); w.message(r, "CGU", true, o); break;
        case 3: add(o, {0x1F, 0x02, 0x01}); optional(o, 0x4B, {0x01}); o.push_back(0); w.message(r, "FAR", true, o);
                o = cicOf(cic); add(o, {0x20, 0x02, 0x00}); w.message(r, "FAA", false, o); break;
        case 4: add(o, {0x21, 0x02, 0x02, 0x00, 0x02, 0x80, 0x9F}); w.message(r, "FRJ", false, o); break;
        case 5: add(o, {0x33, 0x01}); optional(o, 0x2C, {0x81}); optional(o, 0x33, {0x05}); o.push_back(0); w.message(r, "FAC", true, o); break;
        case 6: add(o, {0x03, 0x01, 0x00}); w.message(r, "INR", true, o);
                o = cicOf(cic); add(o, {0x04, 0x03, 0x01}); optional(o, 0x0A, number(r, 3, 0x13, 10)); optional(o, 0x09, {0x0A}); o.push_back(0); w.message(r, "INF", false, o); break;
        case 7: add(o, {0x0D, 0x00, 0x00}); w.message(r, "SUS", false, o);
                o = cicOf(cic); add(o, {0x0E, 0x00, 0x00}); w.message(r, "RES", false, o); break;
        case 8: add(o, {0x41, 0x01}); optional(o, 0x78, kApplicationTransport); o.push_back(0); w.message(r, "APM", true, o); break;
        case 9: add(o, {0x2D, 0x02, 0x00, 0x04, 0x11, 0x22, 0x33, 0x44}); w.message(r, "USR", true, o); break;
        case 10: add(o, {0x05, 0x01}); w.message(r, "COT", true, o); break;
        default: add(o, {0x02, 0x02, 0x00, 0x02, 0x21, 0x43}); w.message(r, "SAM", true, o); break;
    }
}

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
    "Writes a trace log of MESSAGES messages (realistic call flows) to standard output; the same\n"
    "SEED (default 1) gives the same log. Both are decimal numbers.\n";

}  // namespace

int main(int argc, char** argv) {
    truno::useBinaryStandardStreams();
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    unsigned long long total = 0;
    unsigned long long seed = 1;
    if (argc < 2 || argc > 3 || !parseCount(argv[1], total) || (argc == 3 && !parseCount(argv[2], seed))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Random r(seed);
    Writer w;
    unsigned cic = 1;
    const auto emit = [&](const char* name, bool sent, const Octets& o) {
        if (w.count() < total) w.message(r, name, sent, o);
    };
    while (w.count() < total) {
        cic = (cic % 4000) + 1;
        emit("IAM", true, iam(r, cic));
        emit("ACM", false, acm(r, cic));
        if (r.chance(40)) emit("CPG", false, cpg(r, cic));
        emit("ANM", false, anm(r, cic));
        const bool fromCaller = r.chance(50);
        emit("REL", fromCaller, rel(r, cic));
        emit("RLC", !fromCaller, rlc(r, cic));
        if (r.chance(10) && w.count() + 2 <= total) extra(r, w, cic);
        if (w.pending() > (1u << 20)) w.flush();
    }
    w.flush();
    return 0;
}
