#pragma once
// The bytes of a log as the reader wants them: gzip data is decompressed on the fly, bzip2, xz
// and zstd data are recognised and refused, anything else is passed on as it is. The first bytes
// of the data tell which, never a file name, so a compressed log on standard input reads too.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

namespace truno {

enum class Compression : std::uint8_t { None, Gzip, Bzip2, Xz, Zstd };

// A compressed format: how its data starts and how a user decompresses it. The members stand in
// the order a row reads; four rows make the padding immaterial.
struct CompressionFormat {  // NOLINT(clang-analyzer-optin.performance.Padding)
    Compression compression = Compression::None;
    std::string_view name;               // as in "xz-compressed"
    std::string_view magic;              // the first bytes of its data
    std::string_view decompressCommand;  // writes the data decompressed to standard output
    bool read = false;                   // decompressed on the fly; otherwise refused
};

// Bytes of the start of the data that compressionOf() needs to see.
inline constexpr std::size_t kCompressionHeadBytes = 10;

// The compression of data that starts with `head` (its first kCompressionHeadBytes bytes, or all
// of it when it is shorter); None for anything else, text logs included.
Compression compressionOf(std::string_view head);

// The row of a compression other than None.
const CompressionFormat& formatOf(Compression compression);

class LogInputBuffer;

// An input stream of the log's text, read from `raw` (a file, standard input, any stream). The
// constructor reads the first bytes of `raw` to tell its compression. Gzip data (one member or
// several one after the other) comes out decompressed; damaged or cut gzip data ends the stream
// with its bad bit set, after every byte that could be decompressed, and dataError() says what
// was wrong. Refused data (bzip2, xz, zstd) gives an empty stream. A read error of `raw` sets the
// bad bit too. Memory stays the same whatever the size of the log.
class LogInput : public std::istream {
public:
    explicit LogInput(std::istream& raw);
    ~LogInput() override;
    LogInput(const LogInput&) = delete;
    LogInput& operator=(const LogInput&) = delete;

    Compression compression() const;
    // True for data in a compressed format that is not read (formatOf(compression()).read false).
    bool refused() const;
    // What was wrong with the compressed data, such as "the gzip data ends early (is the file
    // cut short?)"; empty when nothing was.
    const std::string& dataError() const;
    // The first bytes of the data as the stream hands them out (decompressed), at most `most`:
    // what tells a reader its format. Before anything is read.
    std::string_view head(std::size_t most);

private:
    std::unique_ptr<LogInputBuffer> buffer_;
};

}  // namespace truno
