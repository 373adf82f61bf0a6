#pragma once
// The journeys (analysis/journeys) as text, JSON (one object per journey a line) and CSV (one row
// per leg sighting), the call detail records of their legs (CSV and JSON Lines, docs/cdr.md), and
// the summary of the traces, their trunks and clocks, and what could not be linked.
#include "analysis/journeys/Journeys.h"

#include <string>

namespace truno {

void appendJourneyText(std::string& out, const JourneyReport& report, const Journey& journey);
void appendJourneyJson(std::string& out, const JourneyReport& report, const Journey& journey);
void appendJourneyCsvHeader(std::string& out);
void appendJourneyCsv(std::string& out, const JourneyReport& report, const Journey& journey);

// One record per leg: the switch's own sighting where the leg was seen at both ends, so that each
// leg has one record (the sender's, else the receiver's).
void appendCdrCsvHeader(std::string& out);
void appendCdrCsv(std::string& out, const JourneyReport& report, const Journey& journey);
void appendCdrJson(std::string& out, const JourneyReport& report, const Journey& journey);

// The summary: journeys by outcome, legs linked, trunks with their clock offsets, ambiguous
// links, the expected changes at transit switches, and the problems of the input (one a line).
void appendJourneySummary(std::string& out, const JourneyReport& report);

// "IAM" of a type code, its hex code when it has no acronym.
std::string typeAcronym(std::uint8_t type);

}  // namespace truno
