#include "app/DecodeRun.h"

#include "app/LogReader.h"
#include "core/DecodingState.h"
#include "core/MessTypeCod.h"

namespace truno {

namespace {
// Records are handed to the sink once this much report text has gathered.
constexpr std::size_t kFlushSize = 64 * 1024;
}  // namespace

RunSummary decodeLog(std::istream& in, const ReportSink& sink, const std::atomic<bool>* cancel) {
    RunSummary summary;
    DecodingState state;
    LogReader reader(in);
    LogMessage message;
    bool first = true;

    const auto flush = [&] {
        std::string_view text = state.ReportText;
        // The CR LF in front of the first record is not part of the report shown.
        if (first && text.size() >= 2) {
            text.remove_prefix(2);
            first = false;
        }
        if (!text.empty()) sink(text);
        state.ReportText.clear();
    };

    while (reader.next(message)) {
        state.LogBcic = reader.bcic();
        state.MessageOctets.swap(message.octets);
        state.MessageTime.swap(message.time);
        state.MessageDirection.swap(message.direction);
        ++summary.found;
        if (decodeMessage(state, message.startLine))
            ++summary.decoded;
        else
            ++summary.notDecoded;
        // The octet views point into message.data: give the vector back before the next read.
        state.MessageOctets.swap(message.octets);
        if (state.ReportText.size() >= kFlushSize) flush();
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            summary.cancelled = true;
            break;
        }
    }
    flush();
    summary.readError = reader.readError();
    summary.whyNothing = reader.whyNoMessage(summary.found);
    return summary;
}

std::string summaryText(const RunSummary& summary) {
    std::string text = std::to_string(summary.found) + " message" +
                       (summary.found == 1 ? "" : "s") + " found, " +
                       std::to_string(summary.decoded) + " decoded, " +
                       std::to_string(summary.notDecoded) + " not decoded";
    if (!summary.whyNothing.empty()) text += ": " + summary.whyNothing;
    if (summary.readError) text += " (reading stopped by an input error)";
    return text;
}

}  // namespace truno
