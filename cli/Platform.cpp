#include "cli/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <climits>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace truno {

#if defined(_WIN32)

namespace {

std::string utf8Of(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));  // without the terminating zero
    return out;
}

std::wstring wideOf(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    return out;
}

}  // namespace

void useBinaryStandardStreams() {
    for (std::FILE* stream : {stdin, stdout, stderr}) _setmode(_fileno(stream), _O_BINARY);
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return {argv, argv + argc};
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) arguments.push_back(utf8Of(wide[i]));
    LocalFree(wide);
    return arguments;
}

std::filesystem::path pathOf(const std::string& utf8Name) { return {wideOf(utf8Name)}; }

bool writeAll(int fd, std::span<const std::string_view> pieces) {
    for (const std::string_view piece : pieces)
        if (!writeAll(fd, piece)) return false;
    return true;
}

bool writeAll(int fd, std::string_view bytes) {
    constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;  // _write takes an unsigned int
    while (!bytes.empty()) {
        const auto size = static_cast<unsigned>(std::min(bytes.size(), kMostAtOnce));
        const int n = _write(fd, bytes.data(), size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

#else

void useBinaryStandardStreams() {}

std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

std::filesystem::path pathOf(const std::string& utf8Name) { return {utf8Name}; }

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool writeAll(int fd, std::span<const std::string_view> pieces) {
    constexpr std::size_t kMostPieces = std::min<std::size_t>(IOV_MAX, 1024);
    iovec vectors[kMostPieces];
    while (!pieces.empty()) {
        const std::size_t count = std::min(pieces.size(), kMostPieces);
        for (std::size_t i = 0; i < count; ++i)
            vectors[i] = iovec{.iov_base = const_cast<char*>(pieces[i].data()), .iov_len = pieces[i].size()};
        const ssize_t n = ::writev(fd, vectors, static_cast<int>(count));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        // The pieces written whole are done; the rest of one written in part goes on its own.
        auto written = static_cast<std::size_t>(n);
        std::size_t done = 0;
        while (done < count && written >= pieces[done].size()) written -= pieces[done++].size();
        if (done < count && written > 0) {
            if (!writeAll(fd, pieces[done].substr(written))) return false;
            ++done;
        }
        pieces = pieces.subspan(done);
    }
    return true;
}

#endif

}  // namespace truno
