// Part files of the export folder, compressed with zstd (libzstd's streaming interface).
#include "output/ExportDirectory.h"

#include <zstd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace truno {
namespace {

// Each batch of rows is handed whole to a thread of the part's own, which feeds it to libzstd and
// writes what comes out while the run goes on to the next batch: the run's thread only swaps
// buffers, where feeding libzstd itself had it copy every byte into libzstd's buffers (a seventh of
// its instructions). libzstd compresses on a worker of its own, as before. At most one batch
// waits; the run waits for the thread only when it has filled the next before the last went in.
class ZstdPart final : public CompressedPart {
public:
    ZstdPart(std::FILE* file, std::string name) : file_(file), name_(std::move(name)), context_(ZSTD_createCCtx()) {
        out_.resize(ZSTD_CStreamOutSize());
        // The fastest standard level: JSON Lines compress well at any level, and lower ones
        // (--fast) gave bigger files for no less time. A worker thread compresses where libzstd
        // was built with them.
        ZSTD_CCtx_setParameter(context_, ZSTD_c_compressionLevel, 1);
        ZSTD_CCtx_setParameter(context_, ZSTD_c_nbWorkers, 1);
        worker_ = std::thread([this] { compressBatches(); });
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
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        worker_.join();
        if (std::fclose(file_) != 0) failed_ = true;
        file_ = nullptr;
        ZSTD_freeCCtx(context_);
        context_ = nullptr;
        if (failed_) error = "cannot write '" + name_ + "'";
        return !failed_;
    }

private:
    void compressPending(bool end) override {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !waiting_; });
        std::swap(batch_, pending_);
        pending_.clear();
        waiting_ = true;
        ending_ = end;
        changed_.notify_all();
        // The stream's end is written before the file closes.
        if (end) changed_.wait(lock, [this] { return !waiting_; });
    }

    // The thread: each batch handed over, compressed and written.
    void compressBatches() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return waiting_ || stopping_; });
            if (!waiting_) return;
            const bool end = ending_;
            lock.unlock();
            compress(batch_.view(), end);
            lock.lock();
            batch_.clear();
            waiting_ = false;
            changed_.notify_all();
        }
    }

    void compress(std::string_view bytes, bool end) {
        const ZSTD_EndDirective mode = end ? ZSTD_e_end : ZSTD_e_continue;
        ZSTD_inBuffer in{bytes.data(), bytes.size(), 0};
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
    }

    std::FILE* file_;
    std::string name_;
    ZSTD_CCtx* context_;
    std::vector<char> out_;
    bool failed_ = false;  // written by the thread, read after it was joined or waited for
    Text batch_;            // the batch handed to the thread
    std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false;   // batch_ waits for the thread
    bool ending_ = false;    // the stream ends after batch_
    bool stopping_ = false;  // the part is closing: the thread ends
    std::thread worker_;     // last: it starts once everything it uses is there
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
