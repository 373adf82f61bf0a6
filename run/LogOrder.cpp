#include "run/LogOrder.h"

#include "base/Times.h"
#include "run/InputList.h"
#include "run/LogInput.h"
#include "run/LogReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>

namespace truno {

std::optional<FirstInstant> firstInstantOf(std::istream& in) {
    LogInput log(in);
    if (log.refused()) return std::nullopt;
    LogReader reader(log);
    LogMessage message;
    while (reader.next(message)) {
        if (const auto ofDay = millisecondsOfDay(message.time))
            return FirstInstant{.day = daysFromDate(reader.pageDate()).value_or(0), .millisecondOfDay = *ofDay};
    }
    return std::nullopt;
}

std::vector<std::size_t> orderByFirstInstant(const std::vector<std::optional<FirstInstant>>& instants) {
    std::vector<std::size_t> order(instants.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&instants](std::size_t a, std::size_t b) {
        if (instants[a].has_value() != instants[b].has_value()) return instants[a].has_value();
        return instants[a].has_value() && *instants[a] < *instants[b];
    });
    return order;
}

std::vector<std::size_t> timeOrderOfFiles(const std::vector<std::string>& paths) {
    std::vector<std::optional<FirstInstant>> instants;
    instants.reserve(paths.size());
    for (const std::string& name : paths) {
        const std::filesystem::path path = pathOfName(name);
        std::error_code ignored;
        std::ifstream in;
        if (std::filesystem::is_regular_file(path, ignored)) in.open(path, std::ios::binary);
        instants.push_back(in.is_open() ? firstInstantOf(in) : std::nullopt);
    }
    return orderByFirstInstant(instants);
}

}  // namespace truno
