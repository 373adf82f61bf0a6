#include "parameters/national/NationalDecoders.h"

namespace truno {

void RemoteOperationsNationalUs(std::string_view contents, Text& out) {
    titledRaw(out, "RemoteOperationsNationalUse", contents);
}

}  // namespace truno
