#pragma once
// Value tables shared by the indicator parameters of this family. Their blocks of field lines
// are drawn by the shared field-block mechanism.
#include "base/FieldBlock.h"

#include <string_view>

namespace truno::callcontrol {

// Two-line phrases run on in the value column of the next line: CR LF, then as many blanks as
// the dressed label is wide plus one for its "=".
#define TRUNO_VALUE_COLUMN_BREAK "\r\n                                             "
static_assert(std::string_view(TRUNO_VALUE_COLUMN_BREAK).substr(2) == kValueColumnIndent);

// Simple segmentation indicator (bit C), shared by the optional forward and backward call
// indicators.
inline constexpr Phrase kSimpleSegmentation[] = {
    {"0", "0, no additional information will be sent"},
    {"1", "1, additional information will be sent" TRUNO_VALUE_COLUMN_BREAK
          "in a segmentation message"},
};

// End-to-end method indicator, shared by the forward (bits C B) and backward (bits H G) call
// indicators.
inline constexpr Phrase kEndToEndMethod[] = {
    {"00", "0, no end-to-end method available (only link-by-link)."},
    {"01", "1, reserved."},
    {"10", "2, reserved."},
    {"11", "3, reserved."},
};

// End-to-end information indicator, shared by the forward (bit E) and backward (bit J) call
// indicators.
inline constexpr Phrase kEndToEndInformation[] = {
    {"0", "0, no end-to-end information available."},
    {"1", "1, reserved."},
};

}  // namespace truno::callcontrol
