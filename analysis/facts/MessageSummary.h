#pragma once
// The summary of a message on one line: record number, time, direction, call instance code,
// type and a short text of what matters most in it. The columns have fixed widths, so that a
// summary is written as the messages come, without looking at the whole log first.
#include "analysis/facts/MessageFacts.h"

#include <bitset>
#include <string>

namespace truno {

// What matters most in a message: the called and calling numbers of an initial address
// message, the cause value and its phrase of a release message, the event of a call progress
// message, and why a message was not decoded. Appended to `out`; nothing for other messages.
void appendSummaryInfo(std::string& out, const MessageFacts& message);

// The parameters whose fields the info text of a decoded message of this type code reads (none:
// its info is empty): the facts of those parameters' blocks alone give it.
const std::bitset<256>& infoParameters(int typeCode);

// Whether the summary's info text, the calls, the statistics or the circuits read any field of a
// message of this type code: those of IAM, REL, CPG, GRS, CGB and CGU only. The facts of other
// messages may be built without their fields (their marks left out) for those views.
bool fieldsReadBeyondJson(int typeCode);

// The type as the summary and the exports show it: the acronym, the type code in hex for a code
// that is not known ("5A"), "-" for a message without a type code.
void appendTypeName(std::string& out, const RecordFacts& record);

// The heading line of the summary and one line per message, each ending in LF.
void appendSummaryHeading(std::string& out);
void appendSummaryLine(std::string& out, const MessageFacts& message);

}  // namespace truno
