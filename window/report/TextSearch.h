#pragma once
// Finding text in the report without copying it: a matcher that works on the report's own UTF-8
// bytes, and a search over a whole ReportDocument that goes on in slices, so that the window can
// search a report of a gigabyte between two events and stop at any time.
#include "window/log/ReportDocument.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace truno::window {

class TextMatcher {
public:
    // A match of `text`; without `matchCase`, letters match in either case.
    TextMatcher(const QString& text, bool matchCase);

    const QString& text() const { return text_; }
    bool matchCase() const { return matchCase_; }
    bool empty() const { return pattern_.empty(); }

    struct Hit {
        std::size_t offset = 0;  // in bytes
        std::size_t length = 0;
    };
    // The first match that starts at or after byte `from` of `bytes`, report text of any number
    // of whole lines. A match never runs over a line break.
    std::optional<Hit> find(std::string_view bytes, std::size_t from) const;

private:
    std::optional<Hit> findFolded(std::string_view bytes, std::size_t from) const;
    std::optional<Hit> findInLines(std::string_view bytes, std::size_t from) const;

    QString text_;
    bool matchCase_;
    std::string pattern_;  // UTF-8; letters A to Z in lower case when case does not matter
    // Without matching case, a text with letters beyond A to Z is compared line by line as
    // Unicode text; the report's few such lines are the only ones that can hold it.
    bool unicodeFold_ = false;
};

// One search through a document: forward for the first match at or after a start offset, or
// backward for the last match that starts before it, going round the end of the report once.
class ReportSearch {
public:
    enum class Direction { Forward, Backward };

    ReportSearch(const ReportDocument& document, std::shared_ptr<const TextMatcher> matcher,
                 std::size_t start, Direction direction);

    // Looks at about `bytes` more bytes of the report (whole lines); true once the search is
    // over. The document may grow between two calls (a run in progress).
    bool advance(std::size_t bytes);
    bool done() const { return done_; }
    // The match found, in bytes of the whole report; none when there is no match anywhere.
    std::optional<TextMatcher::Hit> match() const { return match_; }
    // The search went round an end of the report to find its match.
    bool wrapped() const { return wrapped_; }
    // Bytes looked at so far.
    std::size_t searched() const { return searched_; }

private:
    bool forward(std::size_t bytes);
    bool backward(std::size_t bytes);
    bool finish(std::optional<TextMatcher::Hit> hit);

    const ReportDocument& document_;
    std::shared_ptr<const TextMatcher> matcher_;
    std::size_t start_;
    Direction direction_;
    std::size_t at_;  // forward: the next byte to look at; backward: the end of what is left
    bool wrapped_ = false;
    bool done_ = false;
    std::optional<TextMatcher::Hit> match_;
    std::size_t searched_ = 0;
};

}  // namespace truno::window
