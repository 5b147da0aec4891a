// The tables that --update-tables brings up to date: each table made with only
// the new messages (tabulon-convert --new-only, or the app's "Only new
// messages") is remembered with how it was made: the folder it was made in and
// the arguments tabulon-convert takes to make it again. Never a password (no
// argument holds one). One small text file in the user's state folder,
// replaced whole under a lock, so that two runs that remember a table at once
// both keep theirs:
//   table /home/ann/orders.csv
//   folder /home/ann
//   argument -m
//   ...
// with a blank line between tables and "\\", "\n", "\r" in an argument escaped
// as "\\\\", "\\n", "\\r".
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace tabulon {

struct RememberedTable {
    std::string table;                   // its absolute path
    std::string folder;                  // where the arguments' relative paths start
    std::vector<std::string> arguments;  // tabulon-convert's, without the program's name
    bool operator==(const RememberedTable&) const = default;
};

// stateFolder() + "Tabulon/tables".
std::string rememberedTablesPath();

// The tables the file at `path` remembers, in the order first remembered; a
// missing file remembers none. Lines it does not know are passed by.
Status readRememberedTables(const std::string& path, std::vector<RememberedTable>* tables);

// Adds `entry`, or replaces the one of the same table, in the file at `path`
// (its folder made private to the user when missing).
Status rememberTable(const RememberedTable& entry, const std::string& path);

std::string rememberedTablesText(const std::vector<RememberedTable>& tables);
std::vector<RememberedTable> parseRememberedTables(const std::vector<std::string>& lines);

}  // namespace tabulon
