// The encapsulated application information of the application transport parameter: bearer
// association elements of Q.765.5.
#include "base/DecodeError.h"
#include "base/FieldTable.h"
#include "parameters/address/AddressDecoders.h"
#include "parameters/transport/TransportDecoders.h"

#include <string>

namespace truno {
namespace {

// Bearer control information (the tunnelled bearer control protocol) is shown as its octets
// after H' with no line end, so the next element continues on the same line.
void bearerControlInformation(std::string_view contents, Text& out) {
    out += "H'";
    out += contents;
}

// What stands in front of an element decoder's text: nothing (it dresses its own line), a
// level-3 label, or a heading line of its own.
enum class Lead { None, Label, Heading };

// An element is rendered by its decoder, or, without one, shown raw: its raw title, CR LF and
// the contents' hex digits as received.
struct ElementRow {
    std::uint8_t identifier;
    Lead lead;
    std::string_view text = {};  // the heading (Lead::Heading)
    BitField field = {};         // the labelled line (Lead::Label) or the raw contents
    ParameterDecoder decode = nullptr;
    std::string_view rawTitle = {};
};

// Bearer association transport elements (Q.765.5), by identifier.
constexpr ElementRow kElements[] = {
    {.identifier = 1, .lead = Lead::None, .decode = ActionIndicator},
    {.identifier = 2, .lead = Lead::Label,
     .field = {.key = "backbone_network_connection_identifier", .label = "Backbone Network Conn. ID (BNCID)",
               .level = LineLevel::L3},
     .decode = BackboneNetworkConnectionIdentifier},
    {.identifier = 3, .lead = Lead::Label,
     .field = {.key = "interworking_function_address", .label = "Interworking Function Address",
               .type = FieldType::Text, .level = LineLevel::L3},
     .decode = InterworkingFunctionAddress},
    {.identifier = 4, .lead = Lead::Heading, .text = "CODEC LIST.",
     .field = {.key = "codec_list", .label = "", .type = FieldType::Hex}, .rawTitle = "CODEC LIST"},
    {.identifier = 5, .lead = Lead::Heading, .text = "SINGLE CODEC.",
     .field = {.key = "single_codec", .label = "", .type = FieldType::Hex}, .rawTitle = "SingleCodec"},
    {.identifier = 6, .lead = Lead::Heading, .text = "BAT COMPATIBILITY REPORT.",
     .field = {.key = "bat_compatibility_report", .label = "", .type = FieldType::Hex},
     .rawTitle = "BAT COMPATIBILITY REPORT"},
    {.identifier = 7, .lead = Lead::Label,
     .field = {.key = "bearer_network_connection_characteristics", .label = "Bearer Network Connection Char",
               .level = LineLevel::L3},
     .decode = BearerNetworkConnectionCharacteristics},
    {.identifier = 8, .lead = Lead::Label,
     .field = {.key = "bearer_control_information", .label = "Bearer Control Information", .type = FieldType::Text,
               .level = LineLevel::L3},
     .decode = bearerControlInformation},
    {.identifier = 9, .lead = Lead::Label,
     .field = {.key = "bearer_control_tunnelling", .label = "Bearer Control Tunneling", .level = LineLevel::L3},
     .decode = BearerControlTunnelling},
    {.identifier = 10, .lead = Lead::Label,
     .field = {.key = "bearer_control_unit_identifier", .label = "Bearer Control Unit ID (BCUID)",
               .level = LineLevel::L3},
     .decode = BackboneNetworkConnectionIdentifier},
};

// An element whose identifier has no row.
constexpr BitField kReservedElement{.key = "reserved_element", .label = ""};

const ElementRow* findElement(std::uint8_t identifier) {
    for (const ElementRow& row : kElements)
        if (row.identifier == identifier) return &row;
    return nullptr;
}

// One element: its identifier, how many octets it spans, and its contents (the octets after
// the compatibility information octet).
struct Element {
    std::uint8_t identifier;
    std::size_t size;
    std::string_view contents;
};

[[noreturn]] void elementError(std::size_t start, std::string_view what) {
    throw DecodeError(DecodeFailure::PastEnd, "encapsulated application information: the element at octet " +
                      std::to_string(start + 1) + " " + std::string(what));
}

// Octet `index` (0-based) of the information, which must be there for the element that starts
// at `start`.
std::uint8_t elementOctet(std::string_view information, std::size_t index, std::size_t start,
                          std::string_view part) {
    if (index >= octetCount(information))
        elementError(start, "has no " + std::string(part) + " (the information ends at octet " +
                                std::to_string(octetCount(information)) + ")");
    return static_cast<std::uint8_t>(contentOctet(information, index + 1));
}

// The element starting at octet `start` (0-based). In the APM98 form: identifier, length octet 2
// (bits 7-1), compatibility information octet, contents; when bit 8 of octet 2 (extension) is 0
// the length goes on in octet 2a (bits 7-1, high-order), as Q.765 lets elements longer than
// 127 octets do, and the rest moves one octet on. In the APM2000 form the length is always 11
// bits, bits 4-1 of octet 3 (high-order) and bits 7-1 of octet 2, and the contents start at
// octet 4. The length L counts the octets after octet 2 (after 2a when there is one), and the
// contents are L - 1 octets.
Element readElement(std::string_view information, std::size_t start, ApmForm form) {
    const std::uint8_t identifier = elementOctet(information, start, start, "identifier");
    const std::uint8_t length1 = elementOctet(information, start + 1, start, "length octet");
    std::size_t length = length1 & 0x7Fu;
    std::size_t lengthOctets = 1;
    if (form == ApmForm::APM2000) {
        const std::uint8_t length2 =
            elementOctet(information, start + 2, start, "second length octet");
        length |= static_cast<std::size_t>(length2 & 0x0Fu) << 7;
    } else if ((length1 & 0x80u) == 0) {
        const std::uint8_t length2 = elementOctet(information, start + 2, start, "length octet 2a");
        length |= static_cast<std::size_t>(length2 & 0x7Fu) << 7;
        lengthOctets = 2;
    }
    const std::size_t size = 1 + lengthOctets + length;
    const std::size_t total = octetCount(information);
    if (start + size > total)
        elementError(start, "(identifier " + std::to_string(identifier) + ") has length " +
                                std::to_string(length) + ", which runs past the end of the " +
                                std::to_string(total) + " octets of the information");
    const std::size_t contentsStart =
        (form == ApmForm::APM2000) ? start + 3 : start + 2 + lengthOctets;
    const std::size_t contentsOctets = length == 0 ? 0 : length - 1;
    return Element{identifier, size,
                   contentsStart >= total
                       ? std::string_view{}
                       : information.substr(2 * contentsStart, 2 * contentsOctets)};
}

}  // namespace

// Walks the elements until the information is used up; every element takes at least two
// octets, so the walk always ends. Empty information has no element to read and fails.
void EncapsulatedApplicationInformation(std::string_view information, ApmForm form, Text& out) {
    lineOf(out, "ENCAPSULATED APPLICATION INFORMATION:", kLabelIndent);
    if (information.empty())
        throw DecodeError(DecodeFailure::OctetsMissing,
                          "encapsulated application information is empty: no element to decode");
    const std::size_t total = octetCount(information);
    std::size_t start = 0;
    do {
        const Element element = readElement(information, start, form);
        if (const ElementRow* row = findElement(element.identifier)) {
            if (row->lead == Lead::Label) {
                dressField(out, row->field);
            } else if (row->lead == Lead::Heading) {
                lineOf(out, row->text);
            }
            if (row->decode != nullptr)
                row->decode(element.contents, out);
            else
                appendTitledContents(out, row->rawTitle, row->field, element.contents);
        } else {
            out.markPlain(kReservedElement);
            out.setFieldNumber(element.identifier);
            const std::size_t written = out.size();
            appendDecimal(out, element.identifier);
            constexpr std::string_view kReserved = ", Reserved";
            out.noteMeaning(written, meaningAfterNumber(out.size() - written, kReserved));
            out += kReserved;
        }
        start += element.size;
    } while (start < total);
}

void EncapsulatedApplicationInformationFields(FieldList& list) {
    ActionIndicatorFields(list);
    for (const ElementRow& row : kElements)
        if (!row.field.key.empty()) list.add(row.field);
    list.add(kReservedElement);
}

}  // namespace truno
