// truno-capture-bench: the capture reader against the log reader on the same messages, each
// alone (no decoding): messages per second of each, best of several runs, and their ratio.
//
//   truno-capture-bench LOG CAPTURE [RUNS]
//
// bench/capture.sh writes both with truno-loggen (the log, and --pcap for the capture).
#include "run/LogReader.h"
#include "run/capture/CaptureReader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

struct Timed {
    double seconds = 0;
    std::uint64_t messages = 0;
    std::uint64_t octets = 0;  // of the messages, so that nothing is optimised away
};

Timed best(int runs, const std::function<Timed()>& once) {
    Timed fastest;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Timed t = once();
        t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (i == 0 || t.seconds < fastest.seconds) fastest = t;
    }
    return fastest;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fputs("usage: truno-capture-bench LOG CAPTURE [RUNS]\n", stderr);
        return 2;
    }
    const int runs = argc == 4 ? std::atoi(argv[3]) : 3;
    const Timed log = best(runs, [&] {
        std::ifstream in(argv[1], std::ios::binary);
        truno::LogReader reader(in);
        Timed t;
        for (truno::LogMessage m; reader.next(m);) {
            ++t.messages;
            t.octets += m.octets.size();
        }
        return t;
    });
    truno::CaptureCounts counts;
    const Timed capture = best(runs, [&] {
        std::ifstream in(argv[2], std::ios::binary);
        truno::CaptureReader reader(in);
        Timed t;
        for (truno::CapturedMessage m; reader.next(m);) {
            ++t.messages;
            t.octets += m.userData.size();
        }
        counts = reader.counts();
        return t;
    });
    std::printf("log reader:     %llu messages, %llu octets, %.3f s, %.0f messages/s\n", static_cast<unsigned long long>(log.messages),
                static_cast<unsigned long long>(log.octets), log.seconds, static_cast<double>(log.messages) / log.seconds);
    std::printf("capture reader: %llu messages, %llu octets, %.3f s, %.0f messages/s (%llu packets, %llu retransmissions dropped)\n",
                static_cast<unsigned long long>(capture.messages), static_cast<unsigned long long>(capture.octets), capture.seconds,
                static_cast<double>(capture.messages) / capture.seconds, static_cast<unsigned long long>(counts.packets),
                static_cast<unsigned long long>(counts.retransmissionsDropped));
    std::printf("capture reader speed / log reader speed: %.2f\n", (static_cast<double>(capture.messages) / capture.seconds) /
                                                                  (static_cast<double>(log.messages) / log.seconds));
    return capture.messages == log.messages ? 0 : 1;
}
