#include "base/ParameterDecoder.h"

namespace truno {

std::string render(ParameterDecoder decoder, std::string_view contents) {
    Text out;
    decoder(contents, out);
    return out.str();
}

}  // namespace truno
