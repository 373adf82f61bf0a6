#pragma once
// The exports of the window's store (analysis/store/MessageStore.h), as the command-line tool writes
// them for the same log: the summary as CSV (--summary --format csv), every message as JSON Lines
// (--format json), the calls as CSV (--calls --format csv) and every message into a capture file.
#include "analysis/store/MessageStore.h"
#include "output/PcapExport.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace truno {

// `write` receives the text in pieces; `cancelled` is asked now and then, and `progress` told the
// messages done.
struct ExportControl {
    std::function<bool()> cancelled = [] { return false; };
    std::function<void(std::size_t done)> progress = [](std::size_t) {};
    // Only these messages (indices, rising; e.g. those a filter shows), and the calls they belong
    // to; null: every message and call.
    const std::vector<std::uint32_t>* only = nullptr;
    // The files of a log read from several, each with the number of its first record (rising):
    // each message's JSON object and CSV row names its file, as the tool's --merge does. Empty
    // (one file): nothing added.
    std::vector<std::pair<std::uint64_t, std::string>> files;
};
void writeSummaryCsv(const MessageStore& store, const MessageStore::TextSource& text,
                     const std::function<void(std::string_view)>& write, const ExportControl& control = {});
void writeMessagesJson(const MessageStore& store, const MessageStore::TextSource& text,
                       const std::function<void(std::string_view)>& write, const ExportControl& control = {});
void writeCallsCsv(const MessageStore& store, const std::function<void(std::string_view)>& write,
                   const ExportControl& control = {});
// Every message into a capture file (--pcap), after PcapExport::beginLog.
void writePcap(const MessageStore& store, PcapExport& pcap, const ExportControl& control = {});

}  // namespace truno
