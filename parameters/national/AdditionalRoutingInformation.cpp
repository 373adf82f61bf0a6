// Additional routing information (code FB), a national parameter with no ITU-T clause.
#include "parameters/national/NationalDecoders.h"

namespace truno {
namespace {

constexpr BitField kRoutingField{.key = "routing", .label = "ADDITIONAL ROUTING INFORMATION", .type = FieldType::Text,
                                 .level = LineLevel::L1};

}  // namespace

void AdditionalRoutingInformation(std::string_view contents, Text& out) {
    dressField(out, kRoutingField);
    out += "H'";
    out += contents;
    out += CRLF;
}

void AdditionalRoutingInformationFields(FieldList& list) { list.add(kRoutingField); }

}  // namespace truno
