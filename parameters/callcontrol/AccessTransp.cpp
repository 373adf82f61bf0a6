#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// The transported Q.931 information elements are shown as received.
void AccessTransp(std::string_view contents, Text& out) {
    titledRaw(out, "ACCESS TRANSPORT", contents);
}

}  // namespace truno
