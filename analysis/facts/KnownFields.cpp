#include "analysis/facts/KnownFields.h"

namespace truno {

const KnownFields& knownFields() {
    static const KnownFields fields{
        .calledDigits = fieldRef("called_party_number.address_signals"),
        .callingDigits = fieldRef("calling_party_number.address_signals"),
        .causeValue = fieldRef("cause_indicators.cause_value"),
        .causeLocation = fieldRef("cause_indicators.location"),
        .event = fieldRef("event_information.event"),
        .range = fieldRef("range_and_status.range"),
        .status = fieldRef("range_and_status.status"),
        .supervisionType = fieldRef("circuit_group_supervision_message_type.type"),
    };
    return fields;
}

}  // namespace truno
