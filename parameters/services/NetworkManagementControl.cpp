#include "parameters/services/ServiceDecoders.h"

namespace truno {

void NetworkManagementControl(std::string_view contents, Text& out) { placeholderDecoder("NetworkManagementControl", contents, out); }

}  // namespace truno
