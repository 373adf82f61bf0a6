// The Windows build has no zstd (Debian packages none for MinGW): the export folder is refused.
#include "output/ExportDirectory.h"

namespace truno {

std::unique_ptr<CompressedPart> createCompressedPart(const std::filesystem::path& /*path*/, std::string& error) {
    error = "--export-dir is not available on Windows (no zstd in this build)";
    return nullptr;
}

}  // namespace truno
