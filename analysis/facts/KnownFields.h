#pragma once
// The fields the views read of particular messages, named by their keys (docs/fields.md).
#include "dispatch/FieldRegistry.h"

namespace truno {

struct KnownFields {
    FieldRef calledDigits;    // called_party_number.address_signals
    FieldRef callingDigits;   // calling_party_number.address_signals
    FieldRef causeValue;      // cause_indicators.cause_value
    FieldRef causeLocation;   // cause_indicators.location
    FieldRef event;           // event_information.event
    FieldRef range;           // range_and_status.range
    FieldRef status;          // range_and_status.status
    FieldRef supervisionType; // circuit_group_supervision_message_type.type
};

// Resolved once from the keys; a key that names no field is a fault of the program and throws.
const KnownFields& knownFields();

}  // namespace truno
