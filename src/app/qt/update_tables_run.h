// File > Update Tables: runs tabulon-convert --update-tables, the program beside
// the app, without a terminal (so a mailbox's password is never asked for), and
// shows what it said of each table in one message once it has ended. One run
// at a time; the app stays usable meanwhile.
#pragma once

class QWidget;

namespace tabulon {

void updateTables(QWidget* parent);

// Tests: the program run instead of the one beside the app ("": that one).
void setUpdateTablesProgramForTesting(const char* program);

}  // namespace tabulon
