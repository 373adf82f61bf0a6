#include "run/InputList.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <system_error>

namespace truno {
namespace {

// Standard input, which the program keeps open.
class StandardInput final : public InputSource {
public:
    std::istream& bytes() override { return std::cin; }
};

class NamedFile final : public InputSource {
public:
    explicit NamedFile(const std::filesystem::path& path) : stream_(path, std::ios::binary) {
        std::error_code ignored;
        regular_ = std::filesystem::is_regular_file(path, ignored);
    }
    bool isOpen() const { return stream_.is_open(); }
    std::istream& bytes() override { return stream_; }
    bool regularFile() const override { return regular_; }

private:
    std::ifstream stream_;
    bool regular_ = false;
};

}  // namespace

std::string shownName(std::string_view path) { return path == "-" ? std::string("(standard input)") : std::string(path); }

std::string switchOfFile(std::string_view file) {
    const std::size_t slash = file.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? file : file.substr(slash + 1);
    for (const std::string_view suffix : {".gz", ".zst", ".xz", ".bz2"})
        if (name.ends_with(suffix)) name.remove_suffix(suffix.size());
    // A rotation number: "trace.log.2", "trace.log-20261209".
    const std::size_t dot = name.find_last_of(".-");
    if (dot != std::string_view::npos && dot + 1 < name.size() &&
        name.find_first_not_of("0123456789", dot + 1) == std::string_view::npos)
        name.remove_suffix(name.size() - dot);
    for (const std::string_view ending : {".log", ".pcapng", ".pcap", ".cap"})
        if (name.ends_with(ending)) {
            name.remove_suffix(ending.size());
            break;
        }
    return name.empty() ? std::string("log") : std::string(name);
}

std::vector<InputFile> inputFiles(const std::vector<std::string>& paths, std::string_view switchName) {
    std::vector<InputFile> inputs;
    inputs.reserve(paths.size());
    for (const std::string& path : paths) {
        std::string shown = shownName(path);
        std::string switchOf = switchName.empty() ? switchOfFile(shown) : std::string(switchName);
        inputs.push_back({.path = path, .shown = std::move(shown), .switchName = std::move(switchOf)});
    }
    return inputs;
}

std::filesystem::path pathOfName(std::string_view utf8Name) {
    // A path made of char8_t is read as UTF-8 everywhere: its bytes as they are on POSIX systems.
    std::u8string name(utf8Name.size(), u8'\0');
    std::memcpy(name.data(), utf8Name.data(), utf8Name.size());
    return {name};
}

std::unique_ptr<InputSource> openInput(const InputFile& file, std::string& error) {
    if (file.path == "-") return std::make_unique<StandardInput>();
    const std::filesystem::path path = pathOfName(file.path);
    std::error_code ignored;
    const bool directory = std::filesystem::is_directory(path, ignored);
    errno = 0;
    std::unique_ptr<NamedFile> input;
    if (!directory) input = std::make_unique<NamedFile>(path);
    if (input && input->isOpen()) return input;
    const int why = directory ? EISDIR : errno;
    error = "cannot open '" + file.path + "': " + (why != 0 ? std::strerror(why) : "unknown error");
    return nullptr;
}

}  // namespace truno
