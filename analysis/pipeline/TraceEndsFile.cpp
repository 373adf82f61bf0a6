#include "analysis/pipeline/TraceEndsFile.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace truno {

bool readNetworkFile(const std::string& name, std::vector<EndsRow>& rows, std::string& error) {
    std::ifstream network(pathOfName(name));
    if (!network) {
        error = "cannot read the network file '" + name + "'";
        return false;
    }
    std::size_t number = 0;
    for (std::string line; std::getline(network, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        std::istringstream words(line);
        EndsRow row;
        std::string extra;
        if (!(words >> row[0] >> row[1] >> row[2]) || (words >> extra)) {
            error = name + ":" + std::to_string(number) + ": expected FILE THIS FAR";
            return false;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

bool matchTraceEnds(const std::vector<EndsRow>& rows, std::vector<InputFile>& inputs, std::vector<TraceEnds>& ends,
                    std::string& error) {
    ends.clear();
    std::vector<bool> used(rows.size(), false);
    for (InputFile& input : inputs) {
        TraceEnds end{.file = input.shown, .self = input.switchName, .far = {}, .declared = false};
        const std::size_t slash = input.path.find_last_of("/\\");
        const std::string base = slash == std::string::npos ? input.path : input.path.substr(slash + 1);
        for (std::size_t k = rows.size(); k-- > 0;) {
            const std::string& name = rows[k][0];
            if (name != input.path && name != base) continue;
            end.self = rows[k][1];
            end.far = rows[k][2];
            end.declared = true;
            used[k] = true;
            break;
        }
        input.switchName = end.self;
        ends.push_back(std::move(end));
    }
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (used[k]) continue;
        // A row another row of the same file overrode is not an error.
        bool shadowed = false;
        for (std::size_t later = k + 1; later < rows.size(); ++later) shadowed = shadowed || (used[later] && rows[later][0] == rows[k][0]);
        if (!shadowed) {
            error = "--ends/--network: '" + rows[k][0] + "' is none of the files read";
            return false;
        }
    }
    return true;
}

}  // namespace truno
