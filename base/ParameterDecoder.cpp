#include "base/ParameterDecoder.h"

namespace truno {

std::string render(ParameterDecoder decoder, std::string_view contents) {
    Text out;
    decoder(contents, out);
    return out.str();
}

void titledRaw(Text& out, std::string_view title, std::string_view contents) {
    lineOf(out, title);
    out.mark(MarkKind::Plain);
    out += contents;
}

}  // namespace truno
