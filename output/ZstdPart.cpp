// Part files of the export folder, compressed with zstd (libzstd's streaming interface).
#include "output/ExportDirectory.h"

#include <zstd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace truno {
namespace {

class ZstdPart final : public CompressedPart {
public:
    ZstdPart(std::FILE* file, std::string name) : file_(file), name_(std::move(name)), context_(ZSTD_createCCtx()) {
        out_.resize(ZSTD_CStreamOutSize());
        // The fastest level: JSON Lines compress well at any level, and the export should keep
        // pace with the decode. A worker thread compresses where libzstd was built with them.
        ZSTD_CCtx_setParameter(context_, ZSTD_c_compressionLevel, 1);
        ZSTD_CCtx_setParameter(context_, ZSTD_c_nbWorkers, 1);
    }
    ZstdPart(const ZstdPart&) = delete;
    ZstdPart& operator=(const ZstdPart&) = delete;
    ~ZstdPart() override {
        std::string ignored;
        close(ignored);
    }

    bool close(std::string& error) override {
        if (file_ == nullptr) return !failed_;
        compressPending(true);
        if (std::fclose(file_) != 0) failed_ = true;
        file_ = nullptr;
        ZSTD_freeCCtx(context_);
        context_ = nullptr;
        if (failed_) error = "cannot write '" + name_ + "'";
        return !failed_;
    }

private:
    void compressPending(bool end) override {
        const ZSTD_EndDirective mode = end ? ZSTD_e_end : ZSTD_e_continue;
        ZSTD_inBuffer in{pending_.data(), pending_.size(), 0};
        for (;;) {
            ZSTD_outBuffer out{out_.data(), out_.size(), 0};
            const std::size_t left = ZSTD_compressStream2(context_, &out, &in, mode);
            if (ZSTD_isError(left) != 0) {
                failed_ = true;
                break;
            }
            if (out.pos > 0 && std::fwrite(out_.data(), 1, out.pos, file_) != out.pos) failed_ = true;
            const bool done = mode == ZSTD_e_end ? left == 0 : in.pos == in.size;
            if (done || failed_) break;
        }
        pending_.clear();
    }

    std::FILE* file_;
    std::string name_;
    ZSTD_CCtx* context_;
    std::vector<char> out_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<CompressedPart> createCompressedPart(const std::filesystem::path& path, std::string& error) {
    std::FILE* file = std::fopen(path.string().c_str(), "wbx");
    if (file == nullptr) {
        error = "cannot create '" + path.string() + "': " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<ZstdPart>(file, path.string());
}

}  // namespace truno
