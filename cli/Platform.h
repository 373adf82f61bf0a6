#pragma once
// What differs between the systems the command-line programs run on, kept in this one place:
// the arguments as UTF-8, standard streams as bytes, file names, writes to a descriptor. On
// POSIX systems each is the plain call; on Windows (MinGW-w64) the C runtime's defaults are set
// right: text-mode streams would turn LF into CR LF, and argv and narrow file names are in the
// ANSI code page, which cannot hold every name.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// Standard input, output and error carry bytes as they are (Windows: binary mode, so that LF
// stays LF, CR LF stays CR LF and a ^Z in the input is data).
void useBinaryStandardStreams();

// The program's arguments in UTF-8 (Windows: read from the wide command line).
std::vector<std::string> utf8Arguments(int argc, char** argv);

// The path of a file named in UTF-8 (Windows: through its wide form, which file opening uses).
std::filesystem::path pathOf(const std::string& utf8Name);

// Writes every byte to the descriptor, again after an interrupted write; false when a write fails
// (errno says why).
bool writeAll(int fd, std::string_view bytes);
// The same with several pieces, one after the other, handed to the system together where it takes
// them so (POSIX writev), without joining them first.
bool writeAll(int fd, std::span<const std::string_view> pieces);

}  // namespace truno
