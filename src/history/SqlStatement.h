// A prepared SQLite statement that finalises itself, with the few bindings and columns the
// history uses. Texts travel as UTF-8.
#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QString>

namespace vantorix::history {

class SqlStatement {
  public:
    SqlStatement(sqlite3* db, const char* sql);
    ~SqlStatement() { sqlite3_finalize(stmt_); }
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    bool prepared() const { return stmt_ != nullptr; }
    // Parameters count from 1, as in SQLite.
    SqlStatement& bind(int index, const QString& text);
    SqlStatement& bind(int index, qint64 number);
    SqlStatement& bindBlob(int index, const QByteArray& bytes);
    // SQLITE_ROW, SQLITE_DONE or the error; a statement not prepared gives its prepare error.
    int step();
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

    QString text(int column) const;
    QByteArray bytes(int column) const;  // a text or blob column, raw
    qint64 number(int column) const { return sqlite3_column_int64(stmt_, column); }

  private:
    sqlite3_stmt* stmt_ = nullptr;
    int prepareError_ = SQLITE_OK;
};

// Runs statements without results; the SQLite result code.
int execSql(sqlite3* db, const char* sql);
// The database's last error, for messages.
QString sqlError(sqlite3* db);

}  // namespace vantorix::history
