#include "base/ReportLayout.h"

#include "base/ByteScan.h"
#include "base/OctetText.h"

#include <algorithm>
#include <cstring>

namespace truno {
namespace {

constexpr std::string_view kBlanks = "                ";
constexpr std::string_view kDots = "................................................";
static_assert(kDots.size() >= kLabelWidth + 1 && kBlanks.size() >= kLabelIndent + 4);

// Whole blocks of blanks and dots are laid down first and the label is copied over them, so
// that only the label's copy has a length known at run time.
void dress(Text& out, std::size_t indent, std::string_view label) {
    const std::size_t used = indent + label.size();
    const std::size_t dots = used < kLabelWidth ? kLabelWidth - used : 0;
    char* p = out.extend(used + dots + 1, indent + kDots.size() + label.size());
    std::memcpy(p, kBlanks.data(), kBlanks.size());
    std::memcpy(p + indent, kDots.data(), kDots.size());
    copyBytes(p + indent, label.data(), label.size());
    p[used + dots] = '=';
}

}  // namespace

void dressLabel(Text& out, const DottedLabel& label, std::size_t indent) {
    if (label.text().size() + indent > kLabelWidth || (indent != 0 && indent != kLabelIndent)) {
        dress(out, indent, label.text());
        return;
    }
    char* p = out.extend(kLabelWidth + 1, kBlanks.size() + kLabelWidth + 1);
    std::memcpy(p, kBlanks.data(), kBlanks.size());
    if (indent == 0)
        std::memcpy(p, label.dotted(), kLabelWidth);
    else
        std::memcpy(p + kLabelIndent, label.dotted(), kLabelWidth - kLabelIndent);
    p[kLabelWidth] = '=';
}

namespace {

std::string dressed(std::size_t indent, std::string_view label) {
    Text t;
    t.reserve(indent + label.size() + 64);
    dress(t, indent, label);
    return t.str();
}

}  // namespace

std::string dressLabel(std::string_view label) { return dressed(0, label); }
std::string dressLabelL2(std::string_view label) { return dressed(kLabelIndent, label); }
std::string dressLabelL3(std::string_view label) { return dressed(kLabelIndent + 4, label); }

void lineOf(Text& out, std::string_view text, std::size_t indent) {
    out.mark(MarkKind::Heading);
    if (indent != 0) out.append(indent, ' ');
    out += text;
    out += CRLF;
}

namespace {

template <typename Out>
void appendEscaped(Out& out, std::string_view raw) {
    if (printableAscii(raw.data(), raw.size())) {
        out += raw;
        return;
    }
    for (const char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            out += "\\x";
            appendHexOctet(out, c);
        } else if (c >= 0xA0) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += ch;
        }
    }
}

}  // namespace

void appendLogText(Text& out, std::string_view raw) { appendEscaped(out, raw); }
void appendLogText(std::string& out, std::string_view raw) { appendEscaped(out, raw); }

}  // namespace truno
