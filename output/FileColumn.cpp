#include "output/FileColumn.h"

#include "output/ExportText.h"
#include "output/JsonWriter.h"

namespace truno {

FileColumn::FileColumn(std::string_view name) {
    if (name.empty()) return;
    Text json;
    appendJsonString(json, name);
    json_ = "\"file\":" + json.str() + ",";
    exporttext::appendCsvField(csv_, name);
    csv_ += ',';
}

}  // namespace truno
