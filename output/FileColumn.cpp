#include "output/FileColumn.h"

#include "output/ExportText.h"
#include "output/JsonWriter.h"

// GCC 12 sees an overlap in the inlined std::string assignment where there is none (GCC bug
// 105329) and -Wrestrict fails the build.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

namespace truno {

FileColumn::FileColumn(std::string_view name) {
    if (name.empty()) return;
    Text json;
    appendJsonString(json, name);
    json_ = "\"file\":" + json.str() + ",";
    exporttext::appendCsvField(csv_, name);
    csv_ += ',';
}

FileColumn FileColumn::ofSeveralFiles() {
    FileColumn column;
    column.json_ = "\"file\":null,";
    column.csv_ = ",";
    return column;
}

}  // namespace truno
