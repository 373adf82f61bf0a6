#include "parameters/transport/CompatibilityInstructions.h"

namespace truno {

void appendInstructionIndicators(Text& out, std::uint8_t octet,
                                 std::span<const InstructionField> fields) {
    if (cutOctet(octet, 1, 1).value != 1) return;
    for (const InstructionField& field : fields) {
        const Phrase* row = findPhrase(field.table, cutOctet(octet, field.first, field.length));
        if (row == nullptr) continue;
        dressLabelL2(out, field.label);
        out += row->text;
        out += CRLF;
    }
}

}  // namespace truno
