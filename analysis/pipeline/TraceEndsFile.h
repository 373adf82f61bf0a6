#pragma once
// Where each trace of a network was taken, as both front ends read it: a network file (one line
// per trace, `FILE THIS FAR`; blank lines and lines beginning with # are skipped) and the
// command line's FILE=THIS:FAR, matched to the files read by their names as given or their base
// names, a later row of the same file winning.
#include "analysis/journeys/Journeys.h"
#include "run/InputList.h"

#include <array>
#include <string>
#include <vector>

namespace truno {

// One row: the file as named, its switch and the far switch.
using EndsRow = std::array<std::string, 3>;

// Appends the rows of the network file `name` (UTF-8) to `rows`; false, with `error` set, when it
// cannot be read or a line is not FILE THIS FAR.
bool readNetworkFile(const std::string& name, std::vector<EndsRow>& rows, std::string& error);

// The ends of each input by the rows: an input no row names is of its own switch, its far end not
// known. Sets each input's switch to its end's. False, with `error` set, when a row names none of
// the inputs (unless a later row of the same file replaced it).
bool matchTraceEnds(const std::vector<EndsRow>& rows, std::vector<InputFile>& inputs, std::vector<TraceEnds>& ends,
                    std::string& error);

}  // namespace truno
