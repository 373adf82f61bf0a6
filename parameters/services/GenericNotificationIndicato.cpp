#include "parameters/services/ServiceDecoders.h"

namespace truno {

void GenericNotificationIndicato(std::string_view contents, Text& out) { placeholderDecoder("GenericNotificationIndicato", contents, out); }

}  // namespace truno
