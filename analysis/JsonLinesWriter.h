#pragma once
// Messages as JSON Lines written on a second thread while the run goes on with the next ones.
// Each message handed in is copied (its record's text, marks, octets and the few views the JSON
// reads) into a batch; a full batch goes to the writer's thread, which builds each message's
// facts again from its copy, writes its JSON object (appendMessageJson) and hands the text on, in
// the order the messages came. The batches are reused, so that nothing is allocated per message
// once they have grown; memory holds two batches.
#include "analysis/MessageFacts.h"
#include "base/ReportText.h"
#include "dispatch/RecordFacts.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace truno {

class JsonLinesWriter {
public:
    using Write = std::function<void(std::string_view)>;

    explicit JsonLinesWriter(Write write);
    JsonLinesWriter(const JsonLinesWriter&) = delete;
    JsonLinesWriter& operator=(const JsonLinesWriter&) = delete;
    ~JsonLinesWriter();

    // A message, the first record of its call (0: none), and members that go first in its object
    // ("file":"...", or nothing). The message's switch is named by a view into the analysis's
    // table of switches, which must outlive the writer.
    void add(const MessageFacts& message, std::uint64_t callFirstRecord, std::string_view leading);
    // Waits until every message added so far is written and handed on. Rethrows what the
    // writer's thread failed with.
    void flush();

private:
    struct Item {
        CopiedRecord record;
        std::uint64_t callFirstRecord = 0;
        std::size_t leadingSize = 0;
        SwitchIndex switchIndex = 0;
        std::string_view switchName;  // the analysis's table of switches outlives the writer
    };
    struct Batch {
        std::vector<Item> items;
        std::size_t used = 0;
        std::string leading;  // the leading members of the items, one after the other
    };

    void hand(bool wait);
    void run();

    Write write_;
    Batch filling_;
    Batch working_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool busy_ = false;      // working_ holds a batch the thread has yet to write
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace truno
