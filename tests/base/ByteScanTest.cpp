// Each byte scan against its plain twin: the vector body and the byte-by-byte loop must give the
// same answer on every input, so that a fault in either shows as a difference. The inputs are
// every length up to three blocks with each sought piece at every place, and random buffers.
#include "base/ByteScan.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace truno {
namespace {

// One scan: what it answers on a buffer, run by the vector body (vector true) or the plain twin.
struct Scan {
    const char* name;
    std::function<std::string(std::string_view bytes, bool vector)> answer;
    std::string filler;               // bytes around the sought pieces, which the scan passes over
    std::vector<std::string> sought;  // pieces the scan stops at, reports or rewrites
};

std::string offsetOf(const char* found, const char* start) { return std::to_string(found - start); }

// The search from a few starts, so that the vector body begins at odd places too.
std::string searchAnswer(std::string_view text, std::string_view pattern, bool vector) {
    std::string answer;
    for (const std::size_t from : {std::size_t{0}, std::size_t{1}, std::size_t{3}, text.size() / 2, text.size() + 1}) {
        const std::size_t at = vector ? findIgnoringCase(text, pattern, from) : plain::findIgnoringCase(text, pattern, from);
        answer += (at == std::string_view::npos ? std::string("-") : std::to_string(at)) + ' ';
    }
    return answer;
}

Scan searchFor(const char* name, std::string pattern, std::vector<std::string> sought) {
    return {.name = name,
            .answer = [pattern = std::move(pattern)](std::string_view bytes, bool vector) {
                return searchAnswer(bytes, pattern, vector);
            },
            .filler = "xyz0-1 ",
            .sought = std::move(sought)};
}

const std::vector<Scan>& scans() {
    static const std::vector<Scan> all = {
        {.name = "findLineBreak",
         .answer = [](std::string_view bytes, bool vector) {
             const char* end = bytes.data() + bytes.size();
             return offsetOf(vector ? findLineBreak(bytes.data(), end) : plain::findLineBreak(bytes.data(), end),
                             bytes.data());
         },
         .filler = "a \t\x0b\x0c\x8d\x8a\xff",
         .sought = {"\r", "\n", "\r\n"}},
        {.name = "printableAscii",
         .answer = [](std::string_view bytes, bool vector) {
             const bool printable = vector ? printableAscii(bytes.data(), bytes.size())
                                           : plain::printableAscii(bytes.data(), bytes.size());
             return std::string(printable ? "yes" : "no");
         },
         .filler = " ~aZ09  ",
         .sought = {std::string(1, '\0'), "\x1f", "\t", "\x7f", "\x80", "\x9f", "\xa0", "\xff"}},
        {.name = "copyJsonPlain",
         .answer = [](std::string_view bytes, bool vector) {
             std::vector<char> out(bytes.size());  // exactly the room the contract promises
             const bool plain = vector ? copyJsonPlain(out.data(), bytes.data(), bytes.size())
                                       : plain::copyJsonPlain(out.data(), bytes.data(), bytes.size());
             return std::string(plain ? "yes " : "no ") + std::string(out.begin(), out.end());
         },
         .filler = " ~aZ09/!#[]",
         .sought = {"\"", "\\", std::string(1, '\0'), "\x01", "\t", "\x1f", "\x7f", "\x80", "\xc3\xa9", "\xff", "\r", "\n"}},
        {.name = "copyCrLfAsLf",
         .answer = [](std::string_view bytes, bool vector) {
             std::vector<char> out(bytes.size());  // exactly the room the contract promises
             const char* end = vector ? copyCrLfAsLf(bytes, out.data()) : plain::copyCrLfAsLf(bytes, out.data());
             std::string copied(out.data(), static_cast<std::size_t>(end - out.data()));
             // Turned in place, the same bytes.
             std::string text(bytes);
             const char* inPlace = vector ? copyCrLfAsLf(text, text.data()) : plain::copyCrLfAsLf(text, text.data());
             text.resize(static_cast<std::size_t>(inPlace - text.data()));
             return text == copied ? copied : "in place: " + text;
         },
         .filler = "ab\n\x8d ",
         .sought = {"\r", "\r\n", "\r\r\n", "\n\r"}},
        // The letters at the ends of the alphabet, beside the bytes either side of them.
        searchFor("findIgnoringCase a", "a", {"a", "A", "@", "`"}),
        searchFor("findIgnoringCase z", "z", {"z", "Z", "[", "{"}),
        searchFor("findIgnoringCase word", "iam", {"iam", "IAM", "iAm", "ixm", "ia", "am"}),
        searchFor("findIgnoringCase digits", "0x1f", {"0x1f", "0X1F", "0x1", "0y1f"}),
        searchFor("findIgnoringCase beyond ASCII", "\xc3\xa9t", {"\xc3\xa9t", "\xc3\xa9T", "\xc3\x89t", "\xe3\xa9t"}),
        searchFor("findIgnoringCase long", "calling party's category",
                  {"Calling Party's Category", "calling party's categorx", "CALLING PARTY'S CATEGORY"}),
        // A letter A to Z in the pattern matches nothing, in the vector body's candidates too.
        searchFor("findIgnoringCase unfolded", "Ab", {"Ab", "ab", "AB"}),
    };
    return all;
}

void expectTwinsAgree(const Scan& scan, const std::string& bytes) {
    // An exact allocation, so that the sanitizers see a read past the end.
    const std::vector<char> buffer(bytes.begin(), bytes.end());
    const std::string_view view(buffer.data(), buffer.size());
    ASSERT_EQ(scan.answer(view, true), scan.answer(view, false))
        << scan.name << " on \"" << testing::PrintToString(bytes) << '"';
}

TEST(ByteScan, TwinsAgreeWithEachPieceAtEveryPlace) {
    for (const Scan& scan : scans()) {
        for (std::size_t length = 0; length <= 48; ++length) {
            std::string bytes;
            for (std::size_t i = 0; i < length; ++i) bytes += scan.filler[i % scan.filler.size()];
            expectTwinsAgree(scan, bytes);
            for (const std::string& piece : scan.sought) {
                for (std::size_t at = 0; at < length; ++at) {
                    std::string placed = bytes;
                    placed.replace(at, std::min(piece.size(), length - at), piece.substr(0, length - at));
                    expectTwinsAgree(scan, placed);
                    // A second one further on: the first must win, or both be handled.
                    if (at + 17 < length) {
                        placed.replace(at + 17, std::min(piece.size(), length - at - 17), piece.substr(0, length - at - 17));
                        expectTwinsAgree(scan, placed);
                    }
                }
            }
        }
    }
}

TEST(ByteScan, TwinsAgreeOnRandomBuffers) {
    std::mt19937 random(20240611);
    for (const Scan& scan : scans()) {
        for (int round = 0; round < 3000; ++round) {
            const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 120)(random);
            // Half the draws are pieces the scan looks for, so that they come close together.
            std::string bytes;
            while (bytes.size() < length) {
                switch (std::uniform_int_distribution<int>(0, 3)(random)) {
                case 0: bytes += scan.sought[random() % scan.sought.size()]; break;
                case 1: bytes += static_cast<char>(random()); break;
                default: bytes += scan.filler[random() % scan.filler.size()]; break;
                }
            }
            bytes.resize(length);
            expectTwinsAgree(scan, bytes);
        }
    }
}

}  // namespace
}  // namespace truno
