#pragma once
// The inputs of a run and how each is opened: a log file by its name, standard input ("-"), or a
// file followed as it grows. An input is opened when the run comes to it; what comes out is its
// bytes as they are (compressed or not): the run tells their compression and chooses their reader.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// An input as the run names it.
struct InputFile {
    std::string path;        // as given, in UTF-8; "-": standard input
    std::string shown;       // as messages name it: the path, "(standard input)" for "-"
    std::string switchName;  // the switch its messages are of
};

// A file as the messages and the summary name it: "(standard input)" for "-".
std::string shownName(std::string_view path);

// The switch a log file belongs to by default: its name without its folder, a compression
// suffix, a rotation number and a .log ending, or a capture's .pcap, .pcapng or .cap
// ("/var/log/sw1/trace.log.2.gz" -> "trace").
std::string switchOfFile(std::string_view file);

// The inputs of the files named: each of the switch `switchName` when it is given, otherwise of
// its own (switchOfFile of its name as shown, so "(standard input)" for "-").
std::vector<InputFile> inputFiles(const std::vector<std::string>& paths, std::string_view switchName = {});

// The path of a file named in UTF-8, on every system (Windows opens files by their wide names).
std::filesystem::path pathOfName(std::string_view utf8Name);

// The bytes of an open input as they come, compressed or not.
class InputSource {
public:
    InputSource() = default;
    virtual ~InputSource() = default;
    InputSource(const InputSource&) = delete;
    InputSource& operator=(const InputSource&) = delete;

    virtual std::istream& bytes() = 0;
    // Why a read failed, when the source knows; empty otherwise (errno then says why).
    virtual std::string error() const { return {}; }
    // A followed file: read as it is (not decompressed), its stream ending only when told to.
    virtual bool followed() const { return false; }
    // A warning of the source for the run's summary (a followed log's messages ended while they
    // still lacked octets); empty when none.
    virtual std::string warning() const { return {}; }
    // A regular file, read to its end as it is now (not standard input, a pipe or a device).
    virtual bool regularFile() const { return false; }
};

// Opens a file by its name, or standard input for "-"; null, with `error` set ("cannot open
// 'NAME': REASON"), when it cannot be opened or is a folder.
std::unique_ptr<InputSource> openInput(const InputFile& file, std::string& error);

// How a file is followed as it grows (-f, -F).
struct FollowSettings {
    bool byName = false;                     // across rotations, as tail -F
    std::chrono::milliseconds settle{1000};  // quiet time that completes the last message
    const std::atomic<bool>* stop = nullptr;  // when it becomes true, the stream ends
    // How long a message whose octets end before its own pointers and lengths say is waited for
    // (from its last line) before it is ended as it is.
    std::chrono::milliseconds incompleteWait{30000};
    // The file is binary (a packet capture): its stream adds no blank line of its own when the
    // file stays quiet.
    bool binary = false;
};

// Opens a file to follow as it grows; `idle` is called before each wait for more, and
// `incomplete` (when set) tells whether the message in progress lacks octets still to come. Null,
// with `error` set, when it cannot be opened (following the descriptor) or where the system
// cannot follow a file (the Windows build).
std::unique_ptr<InputSource> openFollowed(const InputFile& file, const FollowSettings& settings,
                                          const std::function<void()>& idle, const std::function<bool()>& incomplete,
                                          std::string& error);

}  // namespace truno
