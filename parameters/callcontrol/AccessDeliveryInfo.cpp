#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

void AccessDeliveryInfo(std::string_view contents, Text& out) { placeholderDecoder("AccessDeliveryInfo", contents, out); }

}  // namespace truno
