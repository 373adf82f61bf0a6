#include "base/ParameterDecoder.h"

namespace truno {

Text render(ParameterDecoder decoder, std::string_view contents) {
    Text out;
    decoder(contents, out);
    return out;
}

void titledRaw(Text& out, std::string_view title, std::string_view contents) {
    out += title;
    out += CRLF;
    out += contents;
}

}  // namespace truno
