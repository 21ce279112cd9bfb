// The history database's tables, and the steps that bring a database written by an older
// version of the program up to the current one (PRAGMA user_version counts the versions).
#pragma once

#include <sqlite3.h>

#include <QString>

namespace vantorix::history {

constexpr int kSchemaVersion = 2;

enum class SchemaState { Ready, Newer, Failed };

// Creates the tables in an empty database or migrates an older one, in one transaction. A
// database of a newer version is left as it is (Newer): this program does not write it.
SchemaState prepareSchema(sqlite3* db, QString& why);

// Write-ahead logging keeps its index in memory shared by the programs using the file, which
// only programs on one computer can share: a history on a network file system (a lab's shared
// folder) keeps a rollback journal instead. fileSystemType as QStorageInfo names it.
bool writeAheadLogWorksOn(const QByteArray& fileSystemType);

}  // namespace vantorix::history
