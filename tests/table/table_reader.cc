#include "table/table_reader.h"

#include <sstream>

#include "program_runner.h"

namespace tabulon::test {
namespace {

std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

}  // namespace

ReadTable readTable(const std::string& format, const std::string& path, const std::string& scratch,
                    const std::string& spreadsheet) {
    std::vector<std::string> argv = {"/usr/bin/python3",
                                     TABULON_SOURCE_DIR "/tests/table/read_table.py", format, path};
    if (!spreadsheet.empty()) argv.push_back(spreadsheet);
    ProgramResult result = runProgram(argv, scratch);
    ReadTable table;
    table.ok = result.exitCode == 0;
    table.missing = result.exitCode == 77;
    table.error = result.err;
    std::istringstream lines(result.out);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '#') {
            table.notes.push_back(line);
            continue;
        }
        std::vector<std::string> row;
        std::istringstream cells(line);
        std::string cell;
        while (cells >> cell)
            row.push_back(fromHex(cell.substr(1)));
        table.rows.push_back(row);
    }
    return table;
}

}  // namespace tabulon::test
