// The log input: compressions told by their first bytes, gzip data decompressed whatever its
// size or number of members, damaged and cut gzip data and raw read errors ending the stream bad.
#include "run/LogInput.h"
#include "run/DecodeRun.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <iterator>
#include <sstream>
#include <stdexcept>
#include <streambuf>

namespace truno {
namespace {

using namespace std::string_literals;
using namespace truno::testing;

// `text` as one gzip member, made with zlib as gzip itself would.
std::string gzipped(const std::string& text) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct Read {
    std::string text;
    bool bad = false;
    std::string dataError;
    Compression compression = Compression::None;
};

Read readThrough(std::istream& raw) {
    LogInput in(raw);
    Read r;
    r.compression = in.compression();
    // Reads of a size the reader uses, and single characters, mixed.
    char block[5000];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        r.text.append(block, static_cast<std::size_t>(in.gcount()));
        const int c = in.get();
        if (c != std::char_traits<char>::eof()) r.text += static_cast<char>(c);
    }
    r.bad = in.bad();
    r.dataError = in.dataError();
    return r;
}

Read readThrough(const std::string& bytes) {
    std::istringstream raw(bytes);
    return readThrough(raw);
}

TEST(LogInput, TheFirstBytesTellTheCompression) {
    const struct { std::string head; Compression compression; } cases[] = {
        {"\x1F\x8B\x08\x00"s, Compression::Gzip},
        {"\xFD" "7zXZ\0\0\x04"s, Compression::Xz},
        {"\x28\xB5\x2F\xFD\x24"s, Compression::Zstd},
        {"BZh91AY&SY\x12"s, Compression::Bzip2},
        {"BZh1\x17\x72\x45\x38\x50\x90"s, Compression::Bzip2},  // an empty bzip2 file
        {"BZh9 is text"s, Compression::None},
        {"BZh0" "1AY&SY"s, Compression::None},
        {"\x1F"s, Compression::None},
        {"\xFD" "7zXZ"s, Compression::None},
        {"USER       BCIC"s, Compression::None},
        {""s, Compression::None},
    };
    for (const auto& c : cases) EXPECT_EQ(compressionOf(c.head), c.compression) << c.head;
    EXPECT_EQ(formatOf(Compression::Xz).decompressCommand, "xz -dc");
    EXPECT_EQ(formatOf(Compression::Zstd).name, "zstd");
    EXPECT_TRUE(formatOf(Compression::Gzip).read);
    EXPECT_FALSE(formatOf(Compression::Bzip2).read);
}

TEST(LogInput, ShowsTheFirstBytesOfTheDataBeforeTheyAreRead) {
    const std::string text = "USER       BCIC        DEV";
    const struct { std::string bytes; std::size_t most; std::string head; } cases[] = {
        {text, 16, text.substr(0, 16)},
        {text, 4, text.substr(0, 4)},
        {"USER", 16, "USER"},
        {gzipped(text), 16, text.substr(0, 16)},
        {"", 16, ""},
        {"\xFD" "7zXZ\0\0\x04\xE6\xD6\xB4\x46"s, 16, ""},
    };
    for (const auto& c : cases) {
        std::istringstream raw(c.bytes);
        LogInput in(raw);
        EXPECT_EQ(in.head(c.most), c.head);
        // The bytes shown are still read, once.
        const std::string all(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(all, in.refused() ? "" : c.bytes.starts_with("\x1F") ? text : c.bytes);
    }
}

TEST(LogInput, PassesTextOnAndDecompressesGzip) {
    std::string big;  // several times the pieces the input moves
    for (int i = 0; big.size() < 300'000; ++i) big += "line " + std::to_string(i * 7919 % 1000) + "\r\n";
    const std::string gz = gzipped(big);
    const struct { const char* name; std::string bytes; std::string text; Compression compression; } cases[] = {
        {"empty", "", "", Compression::None},
        {"shorter than the magic bytes", "US", "US", Compression::None},
        {"text", big, big, Compression::None},
        {"gzip", gz, big, Compression::Gzip},
        {"two gzip members", gzipped("first\r\n") + gzipped("second\r\n"), "first\r\nsecond\r\n", Compression::Gzip},
        {"an empty gzip member", gzipped(""), "", Compression::Gzip},
    };
    for (const auto& c : cases) {
        const Read r = readThrough(c.bytes);
        EXPECT_EQ(r.compression, c.compression) << c.name;
        EXPECT_TRUE(r.text == c.text) << c.name << ": " << r.text.size() << " bytes instead of " << c.text.size();
        EXPECT_FALSE(r.bad) << c.name;
        EXPECT_EQ(r.dataError, "") << c.name;
    }
}

TEST(LogInput, DamagedGzipEndsTheStreamBadAfterWhatCouldBeRead) {
    std::string text;
    for (int i = 0; i < 20'000; ++i) text += "octets " + std::to_string(i) + "\r\n";
    const std::string gz = gzipped(text);
    std::string flipped = gz;
    flipped[gz.size() / 2] = static_cast<char>(flipped[gz.size() / 2] ^ 0x5A);
    std::string badCrc = gz;
    badCrc[gz.size() - 6] = static_cast<char>(badCrc[gz.size() - 6] ^ 1);
    // What was read: the text as far as the data went (a changed byte may change what comes
    // out before zlib notices), or all of it (only the trailer or what follows it is wrong).
    enum class Got { Anything, Start, Whole };
    const struct { const char* name; std::string bytes; const char* error; Got got; } cases[] = {
        {"cut short", gz.substr(0, gz.size() / 2), "the gzip data ends early", Got::Start},
        {"cut in its trailer", gz.substr(0, gz.size() - 3), "the gzip data ends early", Got::Whole},
        {"a changed byte", flipped, "the gzip data is damaged (zlib: ", Got::Anything},
        {"a wrong check value", badCrc, "the gzip data is damaged (zlib: incorrect data check)", Got::Whole},
        {"text after the gzip data", gz + "trailing text\r\n", "data after the end of the gzip data is not gzip data",
         Got::Whole},
        {"magic bytes alone", "\x1F\x8B", "the gzip data ends early", Got::Start},
    };
    for (const auto& c : cases) {
        const Read r = readThrough(c.bytes);
        EXPECT_TRUE(r.bad) << c.name;
        EXPECT_EQ(r.dataError.rfind(c.error, 0), 0u) << c.name << ": " << r.dataError;
        if (c.got != Got::Anything) {
            EXPECT_EQ(text.rfind(r.text, 0), 0u) << c.name << ": what was read is not the start of the text";
        }
        if (c.got == Got::Whole) {
            EXPECT_EQ(r.text.size(), text.size()) << c.name;
        }
    }
}

TEST(LogInput, RefusedCompressionsGiveNothing) {
    for (const std::string& bytes : {"\xFD" "7zXZ\0 and more"s, "BZh91AY&SY more"s, "\x28\xB5\x2F\xFD more"s}) {
        std::istringstream raw(bytes);
        LogInput in(raw);
        EXPECT_TRUE(in.refused());
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "");
        EXPECT_FALSE(in.bad());
    }
    std::istringstream gz(gzipped("x"));
    EXPECT_FALSE(LogInput(gz).refused());
}

// A stream that fails with an exception after handing out `good` bytes, as a file stream does
// on a read error.
class FailingBuf : public std::streambuf {
public:
    explicit FailingBuf(std::string good) : good_(std::move(good)) {}

protected:
    int_type underflow() override {
        if (handed_) throw std::runtime_error("read error");
        handed_ = true;
        setg(good_.data(), good_.data(), good_.data() + good_.size());
        return traits_type::to_int_type(good_[0]);
    }

private:
    std::string good_;
    bool handed_ = false;
};

TEST(LogInput, AReadErrorOfTheRawStreamSetsTheBadBit) {
    for (const std::string& good : {"plain text\r\n"s, gzipped("plain text\r\n").substr(0, 12)}) {
        FailingBuf buf(good);
        std::istream raw(&buf);
        const Read r = readThrough(raw);
        EXPECT_TRUE(r.bad);
    }
}

TEST(LogInput, AGzipLogDecodesAsTheLogItself) {
    std::vector<std::string> messages;
    messages.reserve(3000);
    for (int i = 0; i < 3000; ++i)
        messages.push_back(i % 3 ? "00 00 00 00 0C 02 00 02 80 90" : "00 00 00 00 06 16 14 01 11 02 14 01");
    const std::string log = logOf(messages);
    const RunResult plain = run(log);
    for (const unsigned jobs : {1u, 2u}) {
        std::istringstream raw(gzipped(log));
        LogInput in(raw);
        std::string report;
        const RunSummary s = decodeLog(in, [&](std::string_view t) { report += t; }, RunOptions{.jobs = jobs});
        EXPECT_TRUE(report == plain.report) << "jobs " << jobs;
        EXPECT_EQ(summaryText(s), summaryText(plain.summary));
        EXPECT_FALSE(s.readError);
    }
}

}  // namespace
}  // namespace truno
