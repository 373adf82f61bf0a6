#include "base/ReportLayout.h"

#include <algorithm>

namespace truno {
namespace {

constexpr std::string_view kBlanks = "         ";
constexpr std::string_view kDots = "............................................";
static_assert(kDots.size() == kLabelWidth && kBlanks.size() == kLabelIndent + 4);

void dress(Text& out, int indent, std::string_view label) {
    const int dots = kLabelWidth - static_cast<int>(label.size()) - indent;
    const std::size_t dotCount = dots > 0 ? static_cast<std::size_t>(dots) : 0;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(indent) + label.size() + dotCount + 1);
    char* p = out.data() + at;
    p += kBlanks.copy(p, static_cast<std::size_t>(indent));
    p += label.copy(p, label.size());
    p += kDots.copy(p, dotCount);
    *p = '=';
}

}  // namespace

void dressLabel(Text& out, std::string_view label) { dress(out, 0, label); }
void dressLabelL2(Text& out, std::string_view label) { dress(out, kLabelIndent, label); }
void dressLabelL3(Text& out, std::string_view label) { dress(out, kLabelIndent + 4, label); }

Text dressLabel(std::string_view label) {
    Text t;
    dressLabel(t, label);
    return t;
}
Text dressLabelL2(std::string_view label) {
    Text t;
    dressLabelL2(t, label);
    return t;
}
Text dressLabelL3(std::string_view label) {
    Text t;
    dressLabelL3(t, label);
    return t;
}

void lineL1(Text& out, std::string_view label, std::string_view value) {
    dressLabel(out, label);
    out += value;
    out += CRLF;
}
void lineL2(Text& out, std::string_view label, std::string_view value) {
    dressLabelL2(out, label);
    out += value;
    out += CRLF;
}
void lineL3(Text& out, std::string_view label, std::string_view value) {
    dressLabelL3(out, label);
    out += value;
    out += CRLF;
}
void lineOf(Text& out, std::string_view text) {
    out += text;
    out += CRLF;
}

void appendLogText(Text& out, std::string_view raw) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto plain = [](char c) { return c >= 0x20 && c < 0x7F; };
    if (std::all_of(raw.begin(), raw.end(), plain)) {
        out += raw;
        return;
    }
    for (const char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else if (c >= 0xA0) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += ch;
        }
    }
}

}  // namespace truno
