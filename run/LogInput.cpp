#include "run/LogInput.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <streambuf>
#include <vector>

namespace truno {

using namespace std::string_view_literals;

namespace {

constexpr CompressionFormat kFormats[] = {
    {.compression = Compression::Gzip, .name = "gzip", .magic = "\x1F\x8B"sv, .decompressCommand = "gzip -dc",
     .read = true},
    {.compression = Compression::Bzip2, .name = "bzip2", .magic = "BZh"sv, .decompressCommand = "bzip2 -dc"},
    {.compression = Compression::Xz, .name = "xz", .magic = "\xFD" "7zXZ\0"sv, .decompressCommand = "xz -dc"},
    {.compression = Compression::Zstd, .name = "zstd", .magic = "\x28\xB5\x2F\xFD"sv, .decompressCommand = "zstd -dc"},
};

// "BZh" alone is text a log could start with. A bzip2 stream goes on with its block size digit
// (1 to 9) and the magic of its first block, or of its end when it holds no data.
bool bzip2StreamFollows(std::string_view afterMagic) {
    if (afterMagic.size() < 7 || afterMagic[0] < '1' || afterMagic[0] > '9') return false;
    const std::string_view block = afterMagic.substr(1, 6);
    return block == "1AY&SY"sv || block == "\x17\x72\x45\x38\x50\x90"sv;
}

// Compressed and decompressed bytes are moved in pieces of this size.
constexpr std::size_t kChunk = std::size_t{64} * 1024;

}  // namespace

Compression compressionOf(std::string_view head) {
    for (const CompressionFormat& f : kFormats) {
        if (!head.starts_with(f.magic)) continue;
        if (f.compression == Compression::Bzip2 && !bzip2StreamFollows(head.substr(f.magic.size()))) continue;
        return f.compression;
    }
    return Compression::None;
}

const CompressionFormat& formatOf(Compression compression) {
    const auto* row = std::find_if(std::begin(kFormats), std::end(kFormats),
                                   [&](const CompressionFormat& f) { return f.compression == compression; });
    // None has no row: the gzip row stands in, so that the result is always a valid row.
    return row != std::end(kFormats) ? *row : kFormats[0];
}

// ---------------------------------------------------------------- the stream buffer

class LogInputBuffer : public std::streambuf {
public:
    explicit LogInputBuffer(std::istream& raw);
    ~LogInputBuffer() override;
    LogInputBuffer(const LogInputBuffer&) = delete;
    LogInputBuffer& operator=(const LogInputBuffer&) = delete;

    // The stream whose bad bit a failure sets, once every byte read before it is handed out.
    void attach(std::istream& owner) { owner_ = &owner; }
    Compression compression() const { return compression_; }
    const std::string& dataError() const { return dataError_; }
    std::string_view head(std::size_t most);

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char* to, std::streamsize count) override;

private:
    int_type end();
    std::size_t readRaw(char* to, std::size_t count);
    void refill();
    bool inflateMore();
    bool startNextMember();
    void fail(std::string why);

    std::istream& raw_;
    std::istream* owner_ = nullptr;
    bool broken_ = false;  // a read error or a data error: the stream ends bad
    Compression compression_ = Compression::None;
    bool rawEnded_ = false;
    bool ended_ = false;
    std::vector<char> out_;  // the bytes the get area hands out
    // Gzip only: compressed bytes read and not yet inflated, and zlib's state.
    std::vector<unsigned char> in_;
    z_stream zlib_{};
    bool inflating_ = false;
    bool memberEnded_ = false;
    std::string dataError_;
};

LogInputBuffer::LogInputBuffer(std::istream& raw) : raw_(raw), out_(kChunk) {
    char head[kCompressionHeadBytes];
    const std::size_t got = readRaw(head, sizeof head);
    compression_ = compressionOf(std::string_view(head, got));
    switch (compression_) {
        case Compression::None:
            std::copy_n(head, got, out_.data());
            setg(out_.data(), out_.data(), out_.data() + got);
            break;
        case Compression::Gzip:
            in_.resize(kChunk);
            std::copy_n(head, got, in_.data());
            zlib_.next_in = in_.data();
            zlib_.avail_in = static_cast<uInt>(got);
            // 16 + 15: gzip wrapping (header and CRC checked), the largest window.
            if (inflateInit2(&zlib_, 16 + MAX_WBITS) != Z_OK) {
                fail("zlib could not start decompressing");
                break;
            }
            inflating_ = true;
            break;
        case Compression::Bzip2:
        case Compression::Xz:
        case Compression::Zstd:
            ended_ = true;
            break;
    }
}

std::string_view LogInputBuffer::head(std::size_t most) {
    most = std::min(most, out_.size());
    auto held = static_cast<std::size_t>(egptr() - gptr());
    // Plain text holds the bytes read to tell the compression: as many more as asked for join them.
    if (compression_ == Compression::None && gptr() == out_.data() && held < most) {
        held += readRaw(out_.data() + held, most - held);
        setg(out_.data(), out_.data(), out_.data() + held);
    }
    if (sgetc() == traits_type::eof()) return {};
    return {gptr(), std::min(most, static_cast<std::size_t>(egptr() - gptr()))};
}

LogInputBuffer::~LogInputBuffer() {
    if (inflating_) inflateEnd(&zlib_);
}

void LogInputBuffer::fail(std::string why) {
    dataError_ = std::move(why);
    ended_ = true;
    broken_ = true;
}

// The end of the bytes: a failure sets the stream's bad bit now, when nothing read before it is
// left in the get area (the reader stops reading at a bad stream).
LogInputBuffer::int_type LogInputBuffer::end() {
    ended_ = true;
    if (broken_ && owner_ != nullptr) owner_->setstate(std::ios::badbit);
    return traits_type::eof();
}

std::size_t LogInputBuffer::readRaw(char* to, std::size_t count) {
    if (rawEnded_) return 0;
    raw_.read(to, static_cast<std::streamsize>(count));
    const auto got = static_cast<std::size_t>(raw_.gcount());
    if (got < count) rawEnded_ = true;
    if (raw_.bad()) broken_ = true;
    return got;
}

std::streamsize LogInputBuffer::xsgetn(char* to, std::streamsize count) {
    const auto wanted = static_cast<std::size_t>(count);
    const auto held = static_cast<std::size_t>(egptr() - gptr());
    std::size_t done = std::min(held, wanted);
    std::copy_n(gptr(), done, to);
    gbump(static_cast<int>(done));
    if (done < wanted && compression_ == Compression::None) {
        // Plain text goes from the raw stream straight into the reader's buffer.
        done += readRaw(to + done, wanted - done);
        if (done < wanted) end();
    } else if (done < wanted) {
        done += static_cast<std::size_t>(std::streambuf::xsgetn(to + done, static_cast<std::streamsize>(wanted - done)));
    }
    return static_cast<std::streamsize>(done);
}

LogInputBuffer::int_type LogInputBuffer::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (ended_) return end();
    if (compression_ == Compression::None) {
        const std::size_t got = readRaw(out_.data(), out_.size());
        if (got == 0) return end();
        setg(out_.data(), out_.data(), out_.data() + got);
    } else if (!inflateMore()) {
        return end();
    }
    return traits_type::to_int_type(*gptr());
}

// Moves the compressed bytes not yet inflated to the front and reads more behind them.
void LogInputBuffer::refill() {
    const std::size_t kept = zlib_.avail_in;
    if (kept > 0) std::memmove(in_.data(), zlib_.next_in, kept);
    const std::size_t got = readRaw(reinterpret_cast<char*>(in_.data() + kept), in_.size() - kept);
    zlib_.next_in = in_.data();
    zlib_.avail_in = static_cast<uInt>(kept + got);
}

// After the end of a gzip member: more data must be another member (gzip files put one after
// the other are one gzip file, as gzip itself reads them).
bool LogInputBuffer::startNextMember() {
    if (zlib_.avail_in < 2) refill();
    if (zlib_.avail_in == 0) {
        ended_ = true;
        return false;
    }
    if (zlib_.avail_in < 2 || zlib_.next_in[0] != 0x1F || zlib_.next_in[1] != 0x8B) {
        fail("data after the end of the gzip data is not gzip data; it was not read");
        return false;
    }
    inflateReset(&zlib_);
    memberEnded_ = false;
    return true;
}

// Fills the get area with the next decompressed bytes; false at the end of the data.
bool LogInputBuffer::inflateMore() {
    for (;;) {
        if (memberEnded_ && !startNextMember()) return false;
        if (zlib_.avail_in == 0) refill();
        zlib_.next_out = reinterpret_cast<Bytef*>(out_.data());
        zlib_.avail_out = static_cast<uInt>(out_.size());
        const int result = inflate(&zlib_, Z_NO_FLUSH);
        const std::size_t produced = out_.size() - zlib_.avail_out;
        if (result == Z_STREAM_END) {
            memberEnded_ = true;
        } else if (result == Z_BUF_ERROR && zlib_.avail_in == 0 && rawEnded_) {
            fail("the gzip data ends early (is the file cut short?)");
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            const std::string detail = zlib_.msg != nullptr ? std::string(zlib_.msg) : "error " + std::to_string(result);
            fail("the gzip data is damaged (zlib: " + detail + ")");
        }
        // Bytes decompressed before a failure are handed on too: they are part of the log.
        if (produced > 0) {
            setg(out_.data(), out_.data(), out_.data() + produced);
            return true;
        }
        if (ended_) return false;
    }
}

// ---------------------------------------------------------------- the stream

LogInput::LogInput(std::istream& raw) : std::istream(nullptr), buffer_(std::make_unique<LogInputBuffer>(raw)) {
    rdbuf(buffer_.get());
    buffer_->attach(*this);
}

LogInput::~LogInput() = default;

Compression LogInput::compression() const { return buffer_->compression(); }

bool LogInput::refused() const {
    return compression() != Compression::None && !formatOf(compression()).read;
}

const std::string& LogInput::dataError() const { return buffer_->dataError(); }

std::string_view LogInput::head(std::size_t most) { return buffer_->head(most); }

}  // namespace truno
