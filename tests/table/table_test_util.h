// Writing a whole table through a writer into memory, for the table tests.
#pragma once

#include <string>
#include <vector>

#include "output/table_writers.h"
#include "test_util.h"

namespace tabulon::test {

using Rows = std::vector<std::vector<std::string>>;

// The bytes `format` writes for the header `names` and `rows`; fails the test on
// an error.
inline std::string writeTable(TableFormat format, const std::vector<std::string>& names,
                              const Rows& rows, const TableOptions& options = {}) {
    StringSink sink;
    std::unique_ptr<TableWriter> writer = makeTableWriter(format, sink, options);
    Status status = writer->begin(names);
    for (const auto& row : rows) {
        if (status.ok()) status = writer->row(row);
    }
    if (status.ok()) status = writer->finish();
    if (!status.ok()) ADD_FAILURE() << status.message();
    return sink.text;
}

}  // namespace tabulon::test
