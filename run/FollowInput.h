#pragma once
// A log that is still being written, read as one stream that ends only when asked to: after the
// end of the file the stream waits for more (watching the file) instead of
// ending. A message is complete when its blank line or the next column header comes; when the
// file stays quiet for the settle time after a whole line, the stream adds a blank line of its
// own, so that the last message goes out without waiting for the next one (never inside a
// line); unless the message ends before its own pointers and lengths say: then its writer may
// have paused inside it, and it waits for the rest up to a longer time. The file is watched with inotify, and looked at every poll interval besides (a file on
// a network mount may change without an event). Following by name (as tail -F): when the name comes to stand for another file (the
// log was rotated), the old file is read to its end and the new one from its start; when the
// file gets shorter (copy-truncate), it is read again from its start; while the name stands for
// no file, the stream waits for one. Before each wait, `idle` is called, so that what was decoded
// so far goes out. Linux only (the Windows build leaves it out).
#include <atomic>
#include <chrono>
#include <functional>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

namespace truno {

struct FollowOptions {
    bool byName = false;                              // -F: follow the name across rotations
    std::chrono::milliseconds settle{1000};           // quiet time that completes a message
    std::chrono::milliseconds poll{250};              // how often the file is looked at without an event
    const std::atomic<bool>* stop = nullptr;          // when true, the stream ends
    std::function<void()> idle;                       // called before each wait
    // Whether the message in progress ends before its own pointers and lengths say: then it is
    // not ended after the settle time, but waited for up to `incompleteWait`.
    std::function<bool()> incomplete;
    std::chrono::milliseconds incompleteWait{30000};
    bool binary = false;  // a packet capture: no blank line is added when the file is quiet
};

class FollowBuffer : public std::streambuf {
public:
    FollowBuffer(std::string path, FollowOptions options);
    ~FollowBuffer() override;
    FollowBuffer(const FollowBuffer&) = delete;
    FollowBuffer& operator=(const FollowBuffer&) = delete;

    // Whether the file could be opened (or, by name, is awaited).
    bool opened() const { return fd_ >= 0 || options_.byName; }
    // How often the log was rotated and truncated while it was followed.
    unsigned rotations() const { return rotations_; }
    unsigned truncations() const { return truncations_; }
    // The messages ended after `incompleteWait` while they still lacked octets.
    unsigned endedIncomplete() const { return endedIncomplete_; }
    std::chrono::milliseconds incompleteWait() const { return options_.incompleteWait; }

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char* s, std::streamsize n) override;

private:
    // Reads what the file holds now into `to` (at most n bytes); waits while it holds nothing
    // more; 0 at the end (stop).
    std::streamsize readSome(char* to, std::streamsize n);
    bool replaced() const;
    bool truncated() const;
    bool reopen();
    void watch();
    void wait();

    std::string path_;
    FollowOptions options_;
    int fd_ = -1;
    unsigned long long inode_ = 0, device_ = 0;
    long long offset_ = 0;
    char lastByte_ = '\n';
    bool settled_ = true;       // a blank line was added since the last data (or none needed)
    std::chrono::steady_clock::time_point lastData_;
    unsigned rotations_ = 0, truncations_ = 0, endedIncomplete_ = 0;
    int notify_ = -1, fileWatch_ = -1, folderWatch_ = -1;
    char buffer_[65536];
};

// An input stream over a FollowBuffer.
class FollowInput : public std::istream {
public:
    FollowInput(std::string path, FollowOptions options);
    bool opened() const { return buffer_->opened(); }
    const FollowBuffer& buffer() const { return *buffer_; }

private:
    std::unique_ptr<FollowBuffer> buffer_;
};

}  // namespace truno
