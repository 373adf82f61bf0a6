#pragma once
// The file an output's object or row came from, when a run reads several files (each on its own,
// or as one run with --merge): every writer puts it first, as a JSON member ("file":"trace.log",)
// and as a CSV column (trace.log,), and a CSV header then begins with "file,". With one file the
// column is empty and writes nothing.
#include <string>
#include <string_view>

namespace truno {

class FileColumn {
public:
    FileColumn() = default;
    explicit FileColumn(std::string_view name);
    // The column of a row or object that spans the files of a --merge run (its KPIs, statistics
    // and circuits): there, and empty ("file":null, and an empty CSV field).
    static FileColumn ofSeveralFiles();

    bool empty() const { return json_.empty(); }
    // "file":"NAME", (escaped as JSON), first in an object.
    std::string_view json() const { return json_; }
    // NAME, (quoted as CSV where it must be), first in a row.
    std::string_view csv() const { return csv_; }
    // file, first in a header row.
    std::string_view csvHeader() const { return empty() ? std::string_view{} : std::string_view("file,"); }

private:
    std::string json_;
    std::string csv_;
};

}  // namespace truno
