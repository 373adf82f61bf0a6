#pragma once
// The run over a packet capture: each ISUP or BICC message the capture reader hands on becomes
// one record, laid out exactly as a log's, numbered on in capture order. Each message is decoded
// in its own mode (service indicator 5: ISUP, a two-octet circuit code; 13: BICC, a four-octet
// call instance code). TIME is the packet's time of day (UTC) in hundredths of a second, cut;
// DIR is S when the OPC is this side's (RunOptions::localPointCodes, else the OPC of the first
// ISUP or BICC message) and R otherwise. The summary counts the packets and names every packet
// that could not be read.
#include "run/DecodeRun.h"

#include <cstdint>
#include <istream>
#include <string>

namespace truno {

// The BCIC value of a BICC record's code line: a capture has no trace values line, and reads as
// the logs made from captures are written (their trace values line gives BCIC 1).
inline constexpr std::string_view kCaptureBcic = "1";

// Decodes the ISUP and BICC messages of a capture, as decodeLog decodes a log's. With more than
// one job (and no followed input), the capture is read on a thread of its own while this one
// decodes; the records are the same for any number of jobs.
RunSummary decodeCapture(std::istream& in, const ReportSink& sink, const RunOptions& options);

// "HH:MM:SS.hh": the time of day (UTC) of a time stamp, in hundredths of a second, cut; the
// second appends it to `out`.
std::string captureTimeOfDay(std::int64_t seconds, std::uint32_t nanoseconds);
void appendCaptureTimeOfDay(std::string& out, std::int64_t seconds, std::uint32_t nanoseconds);

}  // namespace truno
