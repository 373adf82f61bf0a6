// The message store of a followed log that keeps only its last messages: the oldest go in any
// number at a time, the ones kept answer with the log's own record numbers, their strings and
// marks (far into the record, out of order, with large numbers), the calls whose messages all left go, and the memory held stops growing.
#include "analysis/store/MessageStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace truno {
namespace {

constexpr std::uint64_t kCallLength = 10;  // every tenth message ends a call of ten
constexpr std::uint64_t kWideEvery = 97;   // messages whose first mark lies far into the record
constexpr std::uint64_t kCapturedEvery = 3;  // messages from a capture, with wire facts of their own

std::string timeOf(std::uint64_t record) {
    std::string time = "time of record " + std::to_string(record);
    time.resize(48, '.');  // enough text that the string pages turn over many times
    return time;
}

// A finished call from `first` to `last`, with its one string after those of the batch's calls.
MessageBatch::FinishedCall finishedCall(MessageBatch& batch, std::uint64_t first, std::uint64_t last) {
    MessageBatch::FinishedCall call;
    call.row.firstRecord = first;
    call.row.lastRecord = last;
    call.stringsOffset = static_cast<std::uint32_t>(batch.callStrings.size());
    std::array<std::string_view, kCallTextCount> texts{};
    texts[static_cast<std::size_t>(CallText::FirstTime)] = "call";
    texts[static_cast<std::size_t>(CallText::Called)] = "called";
    call.row.setInstants({.opened = first % 2 == 1, .first = first, .addressComplete = std::nullopt, .answer = -static_cast<std::int64_t>(last), .release = std::nullopt});
    appendCallTexts(batch.callStrings, texts, call.row);
    return call;
}

// The marks of record `record`: the first far into the record every kWideEvery-th time (the
// second then lies before it), the second with a number too large for its shape every other time.
std::vector<Mark> marksOf(std::uint64_t record) {
    const bool far = record % kWideEvery == 0;
    return {Mark{.number = record % 7,
                 .begin = static_cast<std::uint32_t>(far ? 100000 + record : record % 90000),
                 .value = static_cast<std::uint32_t>(far ? 100000 + record : record % 90000) + 5,
                 .kind = MarkKind::Field,
                 .hasNumber = true},
            Mark{.number = record % 2 == 0 ? record * 1000 : 3, .begin = 999, .value = 990, .code = 5, .meaning = 4, .kind = MarkKind::Parameter}};
}

// Records `first` to `first + count - 1`, each with two marks, and the calls they end.
MessageBatch batchOf(MessageEncoder& encoder, std::uint64_t first, std::uint64_t count) {
    MessageBatch batch;
    for (std::uint64_t record = first; record < first + count; ++record) {
        MessageBatch::Message message;
        message.row.textBegin = (record - 1) * 100;
        message.stringsOffset = static_cast<std::uint32_t>(batch.strings.size());
        const std::string time = timeOf(record);
        const std::vector<Mark> marks = marksOf(record);
        const std::string info = "info " + std::to_string(record);
        encoder.append({.textLength = 98,
                        .logLine = record * 3, .trailingOctets = 0, .time = time, .info = info, .reason = "why", .octets = {}, .instant = MessageStore::kNoInstant},
                       marks, batch);
        if (record % kCapturedEvery == 0) {
            message.row.flags = MessageStore::kCaptured;
            batch.wires.push_back({.record = record,
                                   .wire = WireFacts{.captured = true, .pointCodesKnown = true,
                                                     .opc = static_cast<std::uint32_t>(record), .packet = record + 1}});
        }
        batch.messages.push_back(message);
        if (record % kCallLength == 0) batch.calls.push_back(finishedCall(batch, record - kCallLength + 1, record));
    }
    return batch;
}

TEST(MessageStore, LettingTheOldestGoKeepsTheRestAndBoundsMemory) {
    constexpr std::uint64_t kTotal = 300'000;
    constexpr std::uint64_t kBatch = 1'000;
    constexpr std::size_t kKeep = 2'345;
    MessageStore store;
    MessageEncoder encoder;
    std::uint64_t calls = 0;
    for (std::uint64_t first = 1; first <= kTotal; first += kBatch) {
        MessageBatch batch = batchOf(encoder, first, kBatch);
        if (first + kBatch > kTotal)  // a call that began long ago and ends with the log
            batch.calls.push_back(finishedCall(batch, 7, kTotal));
        calls += batch.calls.size();
        store.append(std::move(batch));
        // Every other drop leaves more than kKeep, as a followed log's steps do; the last leaves it exactly.
        const std::size_t keep = (first / kBatch) % 2 == 0 || first + kBatch > kTotal ? kKeep : kKeep + 500;
        if (store.size() <= keep) continue;
        const std::size_t count = store.size() - keep;
        const std::vector<std::size_t> leaving = store.callsLeavingWith(count);
        const std::uint64_t firstKept = store.record(count);
        std::vector<std::uint64_t> expectedCalls;
        for (std::size_t k = 0; k < store.calls().size(); ++k) {
            const bool leaves = store.calls()[k].lastRecord < firstKept;
            ASSERT_EQ(leaves, std::binary_search(leaving.begin(), leaving.end(), k));
            if (!leaves) expectedCalls.push_back(store.calls()[k].firstRecord);
        }
        store.dropOldest(count);
        ASSERT_EQ(store.record(0), firstKept);
        ASSERT_EQ(store.calls().size(), expectedCalls.size());
        for (std::size_t k = 0; k < expectedCalls.size(); ++k) ASSERT_EQ(store.calls()[k].firstRecord, expectedCalls[k]);
    }

    ASSERT_EQ(store.size(), kKeep);
    EXPECT_EQ(store.dropped(), kTotal - kKeep);
    EXPECT_EQ(store.record(0), kTotal - kKeep + 1);
    EXPECT_FALSE(store.indexOf(kTotal - kKeep).has_value());
    EXPECT_FALSE(store.indexOf(kTotal + 1).has_value());
    for (std::size_t i = 0; i < store.size(); ++i) {
        const std::uint64_t record = store.record(i);
        ASSERT_EQ(store.indexOf(record), std::optional<std::size_t>(i));
        ASSERT_EQ(store.textBegin(i), (record - 1) * 100);
        ASSERT_EQ(store.textEnd(i), (record - 1) * 100 + 98);
        ASSERT_EQ(store.time(i), timeOf(record));
        ASSERT_EQ(store.info(i), "info " + std::to_string(record));
        ASSERT_EQ(store.markCount(i), 2u);
        const std::vector<Mark> expected = marksOf(record);
        MessageStore::MarkCursor cursor = store.marks(i);
        for (const Mark& mark : expected) {
            ASSERT_TRUE(cursor.next());
            ASSERT_EQ(cursor.mark().begin, mark.begin);
            ASSERT_EQ(cursor.mark().value, mark.value);
            ASSERT_EQ(cursor.mark().number, mark.number);
            ASSERT_EQ(cursor.mark().meaning, mark.meaning);
            ASSERT_EQ(cursor.mark().kind, mark.kind);
            ASSERT_EQ(cursor.mark().hasNumber, mark.hasNumber);
            ASSERT_EQ(cursor.label(), mark.kind == MarkKind::Field ? 0 : 1);
        }
        ASSERT_FALSE(cursor.next());
        MessageStore::MarkCursor labels = store.marks(i);
        for (const Mark& mark : expected) {
            ASSERT_TRUE(labels.nextLabel());
            ASSERT_EQ(labels.label(), mark.kind == MarkKind::Field ? 0 : 1);
        }
        ASSERT_FALSE(labels.nextLabel());
        ASSERT_EQ(store.mark(i, 1).begin, 999u);
        // A captured message's wire facts are its own after the oldest went; a log's have none.
        RecordFacts facts;
        std::string timeText;
        store.rowFacts(i, facts, timeText);
        ASSERT_EQ(facts.logLine, record * 3);
        ASSERT_EQ(facts.reason, "why");
        ASSERT_EQ(facts.wire.captured, record % kCapturedEvery == 0);
        if (facts.wire.captured) {
            ASSERT_EQ(facts.wire.opc, record);
            ASSERT_EQ(facts.wire.packet, record + 1);
        }
    }
    // The calls of the messages kept, and the long one whose first messages left.
    EXPECT_EQ(store.calls().size() + store.droppedCalls(), calls);
    for (const CallRow& call : store.calls()) EXPECT_GE(call.lastRecord, store.record(0));
    EXPECT_EQ(store.calls().back().firstRecord, 7u);
    EXPECT_EQ(store.callText(store.calls().back(), CallText::FirstTime), "call");
    EXPECT_EQ(store.callText(store.calls().back(), CallText::Called), "called");
    EXPECT_EQ(store.callText(store.calls().back(), CallText::Route), "");
    const CallInstants instants = store.calls().back().instants();
    EXPECT_TRUE(instants.opened);
    EXPECT_EQ(instants.first, 7);
    EXPECT_EQ(instants.addressComplete, std::nullopt);
    EXPECT_EQ(instants.answer, -static_cast<std::int64_t>(kTotal));
    EXPECT_EQ(instants.release, std::nullopt);

    // At most two blocks of rows and two pages of strings, where all the messages
    // would take five blocks and fifteen pages.
    const std::size_t bound = 2 * 65536 * sizeof(MessageStore::Row) + 2 * (std::size_t{1} << 20) + 256 * 1024;
    EXPECT_LE(store.memoryUse(), bound);
}

// A time as read is kept as the instant's time of day when it is that, byte for byte, else as
// it was read; either way the store gives the text back as read, for messages and calls. An info
// or short octets many messages have are kept once, the others with their message: each comes
// back, and what follows it too.
std::string infoOf(std::uint64_t record) {
    return record % 3 == 0 ? "" : record % 3 == 1 ? "cause 16, Normal call clearing." : "called " + std::to_string(record);
}

// Short octets (shared from their second message on) and longer ones (kept by each message).
std::string_view octetsOf(std::uint64_t i) {
    return i % 2 == 0 ? std::string_view("\x01\x02")
                      : std::string_view("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11");
}

TEST(MessageStore, TimesComeBackAsReadWhetherKeptOrRebuilt) {
    constexpr std::int64_t kDay = kMillisecondsPerDay;
    constexpr std::int64_t kFour = std::int64_t{4} * 3600000;
    struct Case {
        std::string_view time;
        std::int64_t instant;
    };
    const Case cases[] = {
        {"04:00:00.21", kFour + 210},            // hundredths
        {"04:00:00.215", kFour + 215},           // milliseconds
        {"04:00:00.21", 2 * kDay + kFour + 210}, // past two midnights
        {"23:59:59.99", kDay - 10},
        {"00:00:00.00", 0},
        {"04:00:00.21", kFour + 215},            // hundredths of an instant that has milliseconds
        {"04:00:00.22", kFour + 210},            // not the instant's
        {"4:00:00.210", kFour + 210},            // another way of writing it
        {"04:00:00,21", kFour + 210},
        {"04:00:00.21", MessageStore::kNoInstant},
        {"", MessageStore::kNoInstant},
        {"", kFour},
    };
    MessageEncoder encoder;
    MessageBatch batch;
    std::uint64_t index = 0;  // the message's in the store
    for (const Case& c : cases) {
        const std::uint64_t i = index++;
        MessageBatch::Message message;
        message.row.at = c.instant;
        message.row.flags = MessageStore::kOctetsAsBytes;
        message.row.textBegin = i * 100;
        message.stringsOffset = static_cast<std::uint32_t>(batch.strings.size());
        const std::string info = infoOf(i);
        encoder.append({.textLength = 8 + i, .logLine = i, .trailingOctets = 0, .time = c.time, .info = info, .reason = "",
                        .octets = octetsOf(i), .instant = c.instant},
                       {}, batch);
        batch.messages.push_back(message);
        // A call whose first message and answer are this one's, with the same texts and instants.
        MessageBatch::FinishedCall call;
        call.row.firstRecord = call.row.lastRecord = i + 1;
        const std::optional<std::int64_t> instant =
            c.instant == MessageStore::kNoInstant ? std::nullopt : std::optional<std::int64_t>(c.instant);
        call.row.setInstants({.opened = true, .first = instant, .addressComplete = std::nullopt, .answer = instant, .release = std::nullopt});
        call.stringsOffset = static_cast<std::uint32_t>(batch.callStrings.size());
        std::array<std::string_view, kCallTextCount> texts{};
        texts[static_cast<std::size_t>(CallText::FirstTime)] = c.time;
        texts[static_cast<std::size_t>(CallText::LastTime)] = c.time;
        texts[static_cast<std::size_t>(CallText::AnswerTime)] = c.time;
        texts[static_cast<std::size_t>(CallText::Called)] = "123";
        appendCallTexts(batch.callStrings, texts, call.row);
        batch.calls.push_back(call);
    }
    MessageStore store;
    store.append(std::move(batch));
    ASSERT_EQ(store.size(), std::size(cases));
    ASSERT_EQ(store.calls().size(), std::size(cases));
    MessageStore::Scratch scratch;
    for (std::size_t i = 0; i < store.size(); ++i) {
        const std::string_view expected = cases[i].time;
        EXPECT_EQ(store.time(i), expected) << i;
        EXPECT_EQ(store.info(i), infoOf(i)) << i;
        EXPECT_EQ(store.textEnd(i), store.textBegin(i) + 8 + i) << i;
        const RecordFacts facts = store.facts(i, nullptr, scratch);
        EXPECT_EQ(facts.time, expected) << i;
        // What follows the time is read where it lies, and octets are kept or shared.
        std::string octets;
        for (const std::string_view octet : facts.octets) octets += octet;
        EXPECT_EQ(octets, i % 2 == 0 ? "0102" : "0102030405060708090A0B0C0D0E0F1011") << i;
        const CallRow& row = store.calls()[i];
        EXPECT_EQ(store.callText(row, CallText::FirstTime), expected) << i;
        EXPECT_EQ(store.callText(row, CallText::LastTime), expected) << i;
        EXPECT_EQ(store.callText(row, CallText::AnswerTime), expected) << i;
        EXPECT_EQ(store.callText(row, CallText::Called), "123") << i;
        const Call call = store.call(row);
        EXPECT_EQ(call.first.time, expected) << i;
        EXPECT_EQ(call.answer.time, expected) << i;
        EXPECT_EQ(call.answer.at, row.instants().answer) << i;
    }
}

}  // namespace
}  // namespace truno
