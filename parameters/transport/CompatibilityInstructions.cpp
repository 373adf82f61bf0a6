// Instruction indicators of the message and parameter compatibility information, Q.763 3.33, 3.41.
#include "parameters/transport/CompatibilityInstructions.h"

namespace truno {

void appendInstructionIndicators(Text& out, std::uint8_t octet, std::span<const BitField> fields) {
    if (bitsOf(octet, {8, 8}).value != 1) return;
    for (const BitField& field : fields) {
        if (findPhrase(field.table, bitsOf(octet, field.bits)) == nullptr) continue;
        appendFieldLine(out, field, octet);
        out += CRLF;
    }
}

}  // namespace truno
