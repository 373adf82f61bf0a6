#include "window/report/TextSearch.h"

#include "base/ByteScan.h"

#include <QByteArray>
#include <QStringView>

#include <algorithm>
#include <cstring>

namespace truno::window {

namespace {

constexpr unsigned char asciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

QString lineString(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// UTF-8 bytes of the first `columns` UTF-16 units of `line`.
std::size_t bytesOf(const QString& line, qsizetype columns) {
    return static_cast<std::size_t>(QStringView(line).left(columns).toUtf8().size());
}

// The end of the line that holds byte `at` of `bytes` (just past its line feed).
std::size_t lineEndAfter(std::string_view bytes, std::size_t at) {
    const std::size_t lf = bytes.find('\n', at);
    return lf == std::string_view::npos ? bytes.size() : lf + 1;
}

// The start of the line that holds byte `at` of `bytes`.
std::size_t lineStartBefore(std::string_view bytes, std::size_t at) {
    if (at == 0) return 0;
    const std::size_t lf = bytes.rfind('\n', at - 1);
    return lf == std::string_view::npos ? 0 : lf + 1;
}

}  // namespace

TextMatcher::TextMatcher(const QString& text, bool matchCase) : text_(text), matchCase_(matchCase) {
    const QByteArray utf8 = text.toUtf8();
    pattern_.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    if (matchCase_ || pattern_.empty()) return;
    unicodeFold_ = !isAscii(text);
    for (char& c : pattern_) c = static_cast<char>(asciiLower(static_cast<unsigned char>(c)));
}

std::optional<TextMatcher::Hit> TextMatcher::find(std::string_view bytes, std::size_t from) const {
    if (pattern_.empty() || from >= bytes.size()) return std::nullopt;
    if (!matchCase_) return unicodeFold_ ? findInLines(bytes, from) : findFolded(bytes, from);
    const void* hit = ::memmem(bytes.data() + from, bytes.size() - from, pattern_.data(), pattern_.size());
    if (hit == nullptr) return std::nullopt;
    return Hit{static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data()), pattern_.size()};
}

std::optional<TextMatcher::Hit> TextMatcher::findFolded(std::string_view bytes, std::size_t from) const {
    const std::size_t at = findIgnoringCase(bytes, pattern_, from);
    if (at == std::string_view::npos) return std::nullopt;
    return Hit{at, pattern_.size()};
}

std::optional<TextMatcher::Hit> TextMatcher::findInLines(std::string_view bytes, std::size_t from) const {
    // Only a line with a byte beyond ASCII can hold the text.
    const auto beyondAscii = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    std::size_t at = from;
    while (at < bytes.size()) {
        const auto hit = std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end(), beyondAscii);
        if (hit == bytes.end()) return std::nullopt;
        const auto wide = static_cast<std::size_t>(hit - bytes.begin());
        const std::size_t start = lineStartBefore(bytes, wide);
        const std::size_t end = lineEndAfter(bytes, wide);
        const std::size_t startInLine = std::max(at, start) - start;
        const QString line = lineString(bytes.substr(start, end - start));
        const qsizetype column = line.indexOf(text_, lineString(bytes.substr(start, startInLine)).size(),
                                              Qt::CaseInsensitive);
        if (column >= 0) {
            const std::size_t offset = start + bytesOf(line, column);
            return Hit{offset, start + bytesOf(line, column + text_.size()) - offset};
        }
        at = end;
    }
    return std::nullopt;
}

ReportSearch::ReportSearch(const ReportDocument& document, std::shared_ptr<const TextMatcher> matcher,
                           std::size_t start, Direction direction)
    : document_(document),
      matcher_(std::move(matcher)),
      start_(std::min(start, document.size())),
      direction_(direction),
      at_(start_) {
    if (matcher_->empty()) done_ = true;
    // Backward, the line that holds the start is looked at whole, for a match that starts
    // before the start and runs past it.
    if (direction_ == Direction::Backward && !done_) {
        const std::size_t c = document_.chunkAt(start_);
        at_ = document_.chunkStart(c) + lineEndAfter(document_.chunk(c), start_ - document_.chunkStart(c));
    }
}

bool ReportSearch::advance(std::size_t bytes) {
    if (done_) return true;
    return direction_ == Direction::Forward ? forward(std::max<std::size_t>(bytes, 1))
                                            : backward(std::max<std::size_t>(bytes, 1));
}

bool ReportSearch::finish(std::optional<TextMatcher::Hit> hit) {
    match_ = hit;
    done_ = true;
    return true;
}

bool ReportSearch::forward(std::size_t bytes) {
    std::size_t budget = bytes;
    for (;;) {
        // Going round: the second pass ends where the first began.
        const std::size_t end = wrapped_ ? start_ : document_.size();
        if (at_ >= end) {
            if (wrapped_ || start_ == 0) return finish(std::nullopt);
            wrapped_ = true;
            at_ = 0;
            continue;
        }
        if (budget == 0) return false;
        const std::size_t c = document_.chunkAt(at_);
        const std::string_view chunk = document_.chunk(c);
        const std::size_t base = document_.chunkStart(c);
        const std::size_t from = at_ - base;
        // A slice of whole lines, so that no match is cut in two.
        // (at_ lies inside this chunk: only an empty last chunk starts at the end of the text.)
        const std::size_t sliceEnd = lineEndAfter(chunk, std::min(from + budget, chunk.size() - 1));
        const auto hit = matcher_->find(chunk.substr(0, sliceEnd), from);
        searched_ += sliceEnd - from;
        budget -= std::min(budget, sliceEnd - from);
        if (hit && base + hit->offset < end) return finish(TextMatcher::Hit{base + hit->offset, hit->length});
        at_ = base + sliceEnd;
    }
}

bool ReportSearch::backward(std::size_t bytes) {
    std::size_t budget = bytes;
    for (;;) {
        // The first pass takes matches that start before the start; the second, after the wrap,
        // those at or after it.
        if (wrapped_ && at_ <= start_) return finish(std::nullopt);
        if (at_ == 0) {
            if (wrapped_) return finish(std::nullopt);
            wrapped_ = true;
            at_ = document_.size();
            continue;
        }
        if (budget == 0) return false;
        const std::size_t c = document_.chunkAt(at_ - 1);
        const std::string_view chunk = document_.chunk(c);
        const std::size_t base = document_.chunkStart(c);
        const std::size_t to = at_ - base;
        const std::size_t from = lineStartBefore(chunk, to > budget ? to - budget : 0);
        // The last match in the slice that the pass takes.
        std::optional<TextMatcher::Hit> last;
        for (auto hit = matcher_->find(chunk.substr(0, to), from); hit;
             hit = matcher_->find(chunk.substr(0, to), hit->offset + 1)) {
            const std::size_t offset = base + hit->offset;
            if (wrapped_ ? offset >= start_ : offset < start_) last = TextMatcher::Hit{offset, hit->length};
        }
        searched_ += to - from;
        budget -= std::min(budget, to - from);
        if (last) return finish(last);
        at_ = base + from;
    }
}

}  // namespace truno::window
