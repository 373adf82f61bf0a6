#include "output/StoreExports.h"

#include "output/Exports.h"

#include <algorithm>

namespace truno {
namespace {

// Exports hand their text on in pieces of about this size.
constexpr std::size_t kFlushSize = std::size_t{64} * 1024;


// How many messages an export writes, and the index of its k-th.
std::size_t exportCount(const MessageStore& store, const ExportControl& control) {
    return control.only != nullptr ? control.only->size() : store.size();
}
std::size_t exportIndex(const ExportControl& control, std::size_t k) {
    return control.only != nullptr ? (*control.only)[k] : k;
}

// The file of each message of a log read from several (ExportControl::files); empty with one file.
class FileNames {
public:
    explicit FileNames(const std::vector<std::pair<std::uint64_t, std::string>>& files) : files_(files) {
        for (const auto& [first, name] : files) columns_.emplace_back(name);
    }
    // Moves on to the file of `record` (the records asked for rise); a file without messages
    // has the same first record as the one after it.
    void moveTo(std::uint64_t record) {
        while (at_ + 1 < files_.size() && files_[at_ + 1].first <= record) ++at_;
    }
    const FileColumn& column() const { return columns_.empty() ? none_ : columns_[at_]; }

private:
    const std::vector<std::pair<std::uint64_t, std::string>>& files_;
    std::vector<FileColumn> columns_;
    FileColumn none_;
    std::size_t at_ = 0;
};

template <class Line>
void writeMessages(const MessageStore& store, const MessageStore::TextSource& text,
                   const std::function<void(std::string_view)>& write, const ExportControl& control, Line line) {
    MessageStore::Scratch scratch;
    MessageFacts message;
    FileNames files(control.files);
    std::string out;
    const std::size_t count = exportCount(store, control);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = exportIndex(control, k);
        message.build(store.facts(i, text, scratch));
        message.setSwitch(store.row(i).switchIndex, store.switchNameOf(i));
        files.moveTo(message.record().record);
        line(out, message, store.callFirstRecord(i), files);
        if (out.size() >= kFlushSize) {
            write(out);
            out.clear();
            control.progress(k + 1);
            if (control.cancelled()) return;
        }
    }
    write(out);
    control.progress(count);
}

}  // namespace

void writeSummaryCsv(const MessageStore& store, const MessageStore::TextSource& text,
                     const std::function<void(std::string_view)>& write, const ExportControl& control) {
    std::string header;
    appendMessageCsvHeader(header, FileNames(control.files).column());
    write(header);
    writeMessages(store, text, write, control,
                  [](std::string& out, const MessageFacts& message, std::uint64_t call, const FileNames& files) {
                      appendMessageCsv(out, message, call, files.column());
                  });
}

void writeMessagesJson(const MessageStore& store, const MessageStore::TextSource& text,
                       const std::function<void(std::string_view)>& write, const ExportControl& control) {
    writeMessages(store, text, write, control,
                  [](std::string& out, const MessageFacts& message, std::uint64_t call, const FileNames& files) {
                      appendMessageJson(out, message, call, files.column().json());
                  });
}

void writeCallsCsv(const MessageStore& store, const std::function<void(std::string_view)>& write,
                   const ExportControl& control) {
    // With a choice of messages: the calls that one of them belongs to.
    std::vector<std::uint64_t> wanted;
    if (control.only != nullptr) {
        for (const std::uint32_t i : *control.only)
            if (const std::uint64_t first = store.callFirstRecord(i); first != 0) wanted.push_back(first);
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    }
    std::string out;
    appendCallCsvHeader(out);
    for (const CallRow& call : store.calls()) {
        if (control.only != nullptr && !std::binary_search(wanted.begin(), wanted.end(), call.firstRecord)) continue;
        appendCallCsv(out, store.call(call));
        if (out.size() >= kFlushSize) {
            write(out);
            out.clear();
        }
    }
    write(out);
}

void writePcap(const MessageStore& store, PcapExport& pcap, const ExportControl& control) {
    MessageStore::Scratch scratch;
    const std::size_t count = exportCount(store, control);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = exportIndex(control, k);
        const std::int64_t at = store.row(i).at;
        pcap.add(store.facts(i, nullptr, scratch),
                 at == MessageStore::kNoInstant ? std::nullopt : std::optional<std::int64_t>(at));
        if (k % 4096 == 4095) {
            control.progress(k + 1);
            if (control.cancelled()) return;
        }
    }
    control.progress(count);
}

}  // namespace truno
