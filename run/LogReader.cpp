#include "run/LogReader.h"

#include "base/ByteScan.h"
#include "base/ReportLayout.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace truno {

std::string_view trimSpaces(std::string_view s) {
    // Continuation lines start with a few dozen blanks: skip them eight at a time.
    constexpr std::uint64_t kEightBlanks = 0x2020202020202020ull;
    const char* first = s.data();
    const char* last = first + s.size();
    while (last - first >= 8) {
        std::uint64_t word;
        std::memcpy(&word, first, 8);
        if (word != kEightBlanks) break;
        first += 8;
    }
    while (first != last && *first == ' ') ++first;
    // A column's field is padded with blanks: skip them eight at a time too.
    while (last - first >= 8) {
        std::uint64_t word;
        std::memcpy(&word, last - 8, 8);
        if (word != kEightBlanks) break;
        last -= 8;
    }
    while (last != first && last[-1] == ' ') --last;
    return {first, static_cast<std::size_t>(last - first)};
}

void splitOctets(std::string_view data, std::string& text, std::vector<std::string_view>& octets) {
    if (data.empty()) return;
    // Room for every character and every octet; what the blanks took is given back at the end.
    // When the text moves, the views of the octets already in it move with it.
    const std::size_t start = text.size();
    if (text.capacity() < start + data.size()) {
        std::string bigger;
        bigger.reserve(2 * (start + data.size()));
        bigger.append(text);
        for (std::string_view& o : octets) o = {bigger.data() + (o.data() - text.data()), o.size()};
        text.swap(bigger);
    }
    text.resize(start + data.size());
    char* const base = text.data();
    octets.reserve(octets.size() + data.size() / 2 + 1);
    char* out = base + start;
    // Octets are short, so one plain scan beats a search per octet.
    const char* p = data.data();
    const char* const stop = p + data.size();
#if defined(__SSE2__)
    // The usual shape, four octets at a time: two characters and two blanks, four times (the
    // blanks stand exactly at bytes 2, 3, 6, 7, 10, 11, 14 and 15).
    const __m128i blank = _mm_set1_epi8(' ');
    while (stop - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blank)) != 0xCCCC) break;
        std::uint64_t low, high;
        std::memcpy(&low, p, 8);
        std::memcpy(&high, p + 8, 8);
        const std::uint64_t digits = (low & 0xFFFF) | ((low >> 16) & 0xFFFF0000) | ((high & 0xFFFF) << 32) |
                                     ((high << 16) & 0xFFFF000000000000ull);
        std::memcpy(out, &digits, 8);
        octets.emplace_back(out, 2);
        octets.emplace_back(out + 2, 2);
        octets.emplace_back(out + 4, 2);
        octets.emplace_back(out + 6, 2);
        out += 8;
        p += 16;
    }
#endif
    char* begin = out;  // where the octet being read begins
    // The usual shape, two octets at a time: two characters and two blanks, twice.
    constexpr std::uint64_t kBlanksAt = 0xFFFF0000FFFF0000ull;  // bytes 2, 3, 6 and 7
    constexpr std::uint64_t kTwoPairs = 0x2020000020200000ull;
    constexpr std::uint64_t kAllBlanks = 0x2020202020202020ull;
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    while (stop - p >= 8 && begin == out) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        // Bytes 0, 1, 4 and 5 must not be blanks: XOR with blanks turns a blank into a zero
        // byte, and the other four bytes are set so that they cannot be zero.
        const std::uint64_t digits = (word ^ kAllBlanks) | kBlanksAt;
        if ((word & kBlanksAt) != kTwoPairs || ((digits - kOnes) & ~digits & kHighs) != 0) break;
        const auto pairs = static_cast<std::uint32_t>((word & 0xFFFF) | ((word >> 16) & 0xFFFF0000));
        std::memcpy(out, &pairs, 4);
        octets.emplace_back(out, 2);
        octets.emplace_back(out + 2, 2);
        out += 4;
        begin = out;
        p += 8;
    }
    while (p + 1 < stop) {
        // The usual shape: two characters, then the two blanks that end the octet.
        if (p + 4 <= stop && p[2] == ' ' && p[3] == ' ' && p[0] != ' ' && p[1] != ' ') {
            out[0] = p[0];
            out[1] = p[1];
            out += 2;
            octets.emplace_back(begin, static_cast<std::size_t>(out - begin));
            begin = out;
            p += 4;
        } else if (p[0] == ' ' && p[1] == ' ') {
            octets.emplace_back(begin, static_cast<std::size_t>(out - begin));
            begin = out;
            p += 2;
        } else {
            *out++ = *p++;
        }
    }
    if (p < stop) *out++ = *p;
    octets.emplace_back(begin, static_cast<std::size_t>(out - begin));
    text.resize(static_cast<std::size_t>(out - base));
}

std::string_view mid(std::string_view line, std::size_t start, std::size_t length) {
    if (start == 0 || start > line.size()) return {};
    return line.substr(start - 1, length);
}

bool isTraceHeader(std::string_view line, std::size_t lineNumber) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (lineNumber == 1 && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
    if (!line.starts_with(LogReader::kTraceHeader)) return false;
    return line.find_first_not_of(" \t", LogReader::kTraceHeader.size()) == std::string_view::npos;
}

bool looksLikeOctets(std::string_view data) {
    const auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    // "00", "00  01", "00  01  02", ...: 2 + 4n characters.
    if (data.size() < 2 || (data.size() - 2) % 4 != 0) return false;
    for (std::size_t i = 0; i < data.size(); i += 4) {
        if (!isHex(data[i]) || !isHex(data[i + 1])) return false;
        if (i + 2 < data.size() && (data[i + 2] != ' ' || data[i + 3] != ' ')) return false;
    }
    return true;
}

// ---------------------------------------------------------------- LineRanges

void LineRanges::add(std::size_t line) {
    ++count_;
    if (listed_ > 0 && ranges_[listed_ - 1].last + 1 == line) {
        ranges_[listed_ - 1].last = line;
    } else if (listed_ < kListed) {
        ranges_[listed_++] = {.first = line, .last = line};
    } else {
        more_ = true;
    }
}

std::string LineRanges::text() const {
    if (count_ == 0) return {};
    std::string out = count_ == 1 ? "log line " : "log lines ";
    for (std::size_t i = 0; i < listed_; ++i) {
        if (i > 0) out += ", ";
        out += std::to_string(ranges_[i].first);
        if (ranges_[i].last != ranges_[i].first) {
            out += '-';
            out += std::to_string(ranges_[i].last);
        }
    }
    if (more_) out += ", ...";
    return out;
}

// ---------------------------------------------------------------- LineSource

namespace {
// The buffer starts small and grows, up to twice the longest line kept, only when a line
// does not fit.
constexpr std::size_t kFirstBuffer = std::size_t{64} * 1024;
constexpr std::size_t kMaxBuffer = 2 * LineSource::kMaxLine;
}

LineSource::LineSource(std::istream& in) : in_(in), buffer_(kFirstBuffer) {}

bool LineSource::fill() {
    if (eof_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size() && buffer_.size() < kMaxBuffer) buffer_.resize(buffer_.size() * 2);
    in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
    const auto got = static_cast<std::size_t>(in_.gcount());
    end_ += got;
    if (!in_) {
        if (in_.bad()) {
            eof_ = true;
            readError_ = true;
        } else if (got == 0) {
            eof_ = true;
        } else {
            // A short read: the end of a file, or what a followed file holds so far; the next
            // read tells which.
            in_.clear();
        }
    }
    return got > 0;
}

bool LineSource::next(std::string_view& line) {
    const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    for (;;) {
        if (discarding_) {
            while (begin_ < end_ && !isBreak(buffer_[begin_])) ++begin_;
            if (begin_ == end_) {
                if (!fill()) return false;
                continue;
            }
            skipLf_ = (buffer_[begin_] == '\r');
            ++begin_;
            discarding_ = false;
        }
        if (skipLf_) {
            if (begin_ == end_ && !fill()) return false;
            if (begin_ < end_) {
                if (buffer_[begin_] == '\n') ++begin_;
                skipLf_ = false;
            }
        }
        const char* start = buffer_.data() + begin_;
        const std::size_t avail = std::min(end_ - begin_, kMaxLine);
        const char* stop = findLineBreak(start, start + avail);
        if (stop != start + avail) {
            const auto length = static_cast<std::size_t>(stop - start);
            line = std::string_view(start, length);
            skipLf_ = (*stop == '\r');
            begin_ += length + 1;
            ++lineNumber_;
            return true;
        }
        if (avail == kMaxLine) {
            // Cut: hand on the first kMaxLine characters, skip the rest of the line later.
            line = std::string_view(start, kMaxLine);
            begin_ += kMaxLine;
            discarding_ = true;
            ++lineNumber_;
            return true;
        }
        if (!fill()) {
            if (begin_ == end_) return false;
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            ++lineNumber_;
            return true;
        }
    }
}

// ---------------------------------------------------------------- LogReader

LogReader::LogReader(std::istream& in) : lines_(in) {}

void LogReader::readValues(std::string_view line) {
    // Columns by the heading positions of the trace header: 1, 12, 24, 46, 58.
    user_ = trimSpaces(mid(line, 1, 11));
    bcic_ = trimSpaces(mid(line, 12, 12));
    device_ = trimSpaces(mid(line, 24, 22));
    route_ = trimSpaces(mid(line, 46, 12));
}

void LogReader::readColumnHeader(std::string_view line) {
    // Every message of a log has the same header line above it, as a rule.
    if (line == lastColumnHeader_) return;
    lastColumnHeader_ = line;
    const auto pos = [&](std::string_view word) { return line.find(word) + 1; };
    timePos_ = pos("TIME");
    msgPos_ = pos("MSG");
    dirPos_ = pos("DIR");
    dataPos_ = pos("DATA");
    const auto width = [](std::size_t from, std::size_t to) { return to > from ? to - from : 0; };
    timeWidth_ = width(timePos_, msgPos_);
    msgWidth_ = width(msgPos_, dirPos_);
    dirWidth_ = width(dirPos_, dataPos_);
}

namespace {

bool isPageHeader(std::string_view line) {
    const std::size_t time = line.find("TIME");
    return time != std::string_view::npos && line.find("PAGE", time + 4) != std::string_view::npos;
}

}  // namespace

void LogReader::notePageHeader(std::string_view line) {
    if (!pageDate_.empty()) return;
    // A date written YYYY-MM-DD after TIME ("... TIME 2006-06-06 10:15   PAGE 2").
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t at = line.find("TIME"); at != std::string_view::npos && at + 10 <= line.size(); ++at) {
        const std::string_view d = line.substr(at, 10);
        if (digit(d[0]) && digit(d[1]) && digit(d[2]) && digit(d[3]) && d[4] == '-' && digit(d[5]) && digit(d[6]) &&
            d[7] == '-' && digit(d[8]) && digit(d[9]) && (at + 10 == line.size() || !digit(line[at + 10])) &&
            (at == 0 || !digit(line[at - 1]))) {
            pageDate_ = d;
            return;
        }
    }
}

void LogReader::noteIgnoredLine(std::string_view line) {
    // Before the first column header the DATA column is where the column header puts it.
    static constexpr std::size_t kUsualDataColumn = kColumnHeader.find("DATA") + 1;
    const std::size_t column = dataPos_ != 0 ? dataPos_ : kUsualDataColumn;
    if (line.size() < column || !looksLikeOctets(trimSpaces(line.substr(column - 1)))) return;
    ignoredData_.add(lines_.lineNumber());
}

void LogReader::noteCutData(std::string_view line, LogMessage& m) {
    const std::size_t lastColumn = dataPos_ - 1 + kDataWidth;
    if (line.size() <= lastColumn || line.find_first_not_of(" \t", lastColumn) == std::string_view::npos) return;
    cutData_.add(lines_.lineNumber());
    if (m.cutLines++ == 0) {
        m.firstCutLine = lines_.lineNumber();
        m.lastDataColumn = lastColumn;
    }
}

bool isTabbedHeader(std::string_view line, std::string_view header) {
    if (line.find('\t') == std::string_view::npos) return false;
    const auto words = [](std::string_view text, std::size_t& at) {
        at = text.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) return std::string_view{};
        const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
        const std::string_view word = text.substr(at, end - at);
        at = end;
        return word;
    };
    std::size_t inLine = 0;
    std::size_t inHeader = 0;
    for (;;) {
        const std::string_view expected = words(header, inHeader);
        const std::string_view got = words(line, inLine);
        if (expected != got) return false;
        if (expected.empty()) return true;
    }
}

void LogReader::addDataLine(std::string_view line, LogMessage& m) {
    noteCutData(line, m);
    if (!collecting_) {
        m.startLine = lines_.lineNumber();
        m.msg = trimSpaces(mid(line, msgPos_, msgWidth_));
    }
    collecting_ = true;
    // A tab before the DATA column, or in the DATA read (which then is not all printable).
    bool tab = std::memchr(line.data(), '\t', std::min(line.size(), dataPos_ - 1)) != nullptr;
    const std::string_view time = trimSpaces(mid(line, timePos_, timeWidth_));
    const std::string_view dir = trimSpaces(mid(line, dirPos_, dirWidth_));
    if (!time.empty()) lastTime_ = time;
    if (!dir.empty()) lastDir_ = dir;
    std::string_view data = trimSpaces(mid(line, dataPos_, kDataWidth));
    const bool printable = printableAscii(data.data(), data.size());
    if (!tab && !printable) tab = data.find('\t') != std::string_view::npos;
    if (tab) {
        tabLines_.add(lines_.lineNumber());
        if (m.tabLine == 0) m.tabLine = lines_.lineNumber();
    }
    // The DATA joined by two blanks may not outgrow kMaxMessageData. The limit counts the two
    // blanks a line without DATA leaves behind until the next line's DATA follows them.
    if (m.joinedSizeWithTrailingBlanks + data.size() + 2 > kMaxMessageData) {
        m.oversized = true;
        return;
    }
    if (data.empty()) {
        m.joinedSizeWithTrailingBlanks = m.joinedSize + 2;
        return;
    }
    // Octets are printable text; anything else (control characters, bytes above 7E) is kept
    // as a visible escape, so that no decoder can pass it on to the report as it is.
    if (!printable) {
        escaped_.clear();
        appendLogText(escaped_, data);
        data = escaped_;
    }
    m.joinedSizeWithTrailingBlanks = m.joinedSize + 2 + data.size();
    if (deferSplit_) {
        // The DATA as the log joins it; whoever decodes the message splits it (splitJoined).
        if (m.joinedSize != 0) m.data += "  ";
        m.data += data;
        m.joinedSize = m.data.size();
        return;
    }
    m.joinedSize += (m.joinedSize == 0 ? 0 : 2) + data.size();
    splitOctets(data, m.data, m.octets);
}

void splitJoined(std::string_view joined, std::string& text, std::vector<std::string_view>& octets) {
    text.clear();
    octets.clear();
    // Splitting the lines' DATA joined by two blanks gives the octets of splitting each line:
    // a line's DATA neither starts nor ends with a blank.
    splitOctets(joined, text, octets);
}

void LogReader::handOn(LogMessage& m) {
    m.dated = !pageDate_.empty();
    m.time = lastTime_;
    m.direction = lastDir_;
    collecting_ = false;
    state_ = State::SeekColumn;
}

bool LogReader::next(LogMessage& m) {
    m.data.clear();
    m.octets.clear();
    m.joinedSize = 0;
    m.joinedSizeWithTrailingBlanks = 0;
    m.oversized = false;
    m.cutLines = 0;
    m.firstCutLine = 0;
    m.msg.clear();
    m.tabLine = 0;
    collecting_ = false;
    std::string_view line;
    while (lines_.next(line)) {
        switch (state_) {
            case State::SeekTrace:
                if (pageDate_.empty() && isPageHeader(line)) notePageHeader(line);
                if (isTraceHeader(line, lines_.lineNumber()))
                    state_ = State::ReadValues;
                else if (tabbedTraceHeader_ == 0 && isTabbedHeader(line, kTraceHeader))
                    tabbedTraceHeader_ = lines_.lineNumber();
                break;
            case State::ReadValues:
                readValues(line);
                state_ = State::SeekColumn;
                break;
            case State::SeekColumn:
                if (line.find(kColumnHeader) != std::string_view::npos) {
                    readColumnHeader(line);
                    columnHeaderFound_ = true;
                    state_ = State::Collect;
                    m.startLine = lines_.lineNumber() + 1;
                } else {
                    if (pageDate_.empty() && isPageHeader(line)) notePageHeader(line);
                    if (tabbedColumnHeader_ == 0 && isTabbedHeader(line, kColumnHeader))
                        tabbedColumnHeader_ = lines_.lineNumber();
                    noteIgnoredLine(line);
                }
                break;
            case State::Collect:
                // Page headers and column headers both hold TIME; data lines seldom do, and one
                // search tells.
                if (const std::size_t time = line.find("TIME"); time != std::string_view::npos) {
                    if (line.find("PAGE", time + 4) != std::string_view::npos) {
                        notePageHeader(line);
                        break;
                    }
                    if (line.find(kColumnHeader, time) == std::string_view::npos) {
                        addDataLine(line, m);  // not blank: it holds TIME
                        break;
                    }
                    // Every message has a column header of its own: one inside a message (the
                    // blank line before it missing) ends that message and begins the next.
                    readColumnHeader(line);
                    if (!collecting_) break;
                    headersInside_.add(lines_.lineNumber());
                    handOn(m);
                    state_ = State::Collect;
                    return true;
                }
                if (trimSpaces(line).empty()) {
                    if (!collecting_) m.startLine = lines_.lineNumber();
                    handOn(m);
                    return true;
                }
                addDataLine(line, m);
                break;
        }
    }
    // End of the log: an unfinished last message is handed on like any other.
    if (state_ == State::Collect && collecting_) {
        handOn(m);
        return true;
    }
    return false;
}

std::string LogReader::whyNoMessage(std::uint64_t messagesFound) const {
    if (messagesFound > 0) return {};
    const auto tabs = [](std::size_t line) {
        return line == 0 ? std::string()
                         : "; log line " + std::to_string(line) +
                               " has its words but holds a tab: columns are read by position, so blanks must stand "
                               "where the tabs are";
    };
    if (!traceHeaderFound())
        return "no trace header line found (a line that is exactly \"" + std::string(kTraceHeader) +
               "\", blanks after it aside)" + tabs(tabbedTraceHeader_);
    if (!columnHeaderFound_)
        return "no column header line (containing \"" + std::string(kColumnHeader) +
               "\") after the trace header" + tabs(tabbedColumnHeader_);
    return "no message lines under the column header lines";
}

}  // namespace truno
