#pragma once
// Pieces of text the exports share: text from the log as the report shows it, numbers, CSV
// fields and line ends, and the cells of the fixed-column tables.
#include "analysis/facts/LogClock.h"
#include "base/ReportLayout.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace truno::exporttext {

// Text from the log (time, direction) as the report shows it: control characters escaped.
inline std::string_view logText(std::string_view raw, std::string& scratch) {
    if (allPrintable(raw)) return raw;
    scratch.clear();
    appendLogText(scratch, raw);
    return scratch;
}

template <typename Number>
void appendNumber(std::string& out, Number value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

// RFC 4180: a field holding a comma, a quote or a line end is quoted, its quotes doubled.
inline void appendCsvField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

inline void padTo(std::string& out, std::size_t start, std::size_t width) {
    const std::size_t used = out.size() - start;
    if (used < width) out.append(width - used, ' ');
}

inline void appendNumberCell(std::string& out, std::uint64_t value, std::size_t width) {
    const std::size_t start = out.size();
    appendNumber(out, value);
    const std::size_t used = out.size() - start;
    if (used < width) out.insert(start, width - used, ' ');
    out += "  ";
}

// The switch column of a text table over several switches: the name ("-" for none) padded to
// `width`, then two blanks; nothing when `width` is 0 (a run of one switch has no such column).
inline void appendSwitchCell(std::string& out, std::string_view name, std::size_t width) {
    if (width == 0) return;
    const std::size_t start = out.size();
    out += name.empty() ? std::string_view("-") : name;
    padTo(out, start, width);
    out += "  ";
}

// The route column of a text table of captures (a route is "2057-2058"): the route ("-" for none)
// padded, then two blanks; nothing when `shown` is false (logs have no route).
inline constexpr std::size_t kRouteColumnWidth = 11;
inline void appendRouteCell(std::string& out, std::string_view route, bool shown) {
    if (!shown) return;
    const std::size_t start = out.size();
    out += route.empty() ? std::string_view("-") : route;
    padTo(out, start, kRouteColumnWidth);
    out += "  ";
}

// Rows end in LF, like every other line the tool writes besides the report (Python's csv module,
// spreadsheets and the usual command-line tools read them).
inline constexpr std::string_view kCsvLineEnd = "\n";

}  // namespace truno::exporttext
