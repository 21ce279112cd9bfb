#include "history/SqlStatement.h"

namespace vantorix::history {

SqlStatement::SqlStatement(sqlite3* db, const char* sql) {
    prepareError_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    if (prepareError_ == SQLITE_OK && !stmt_) prepareError_ = SQLITE_MISUSE;
}

SqlStatement& SqlStatement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

SqlStatement& SqlStatement::bind(int index, qint64 number) {
    sqlite3_bind_int64(stmt_, index, number);
    return *this;
}

SqlStatement& SqlStatement::bindBlob(int index, const QByteArray& bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

int SqlStatement::step() {
    return stmt_ ? sqlite3_step(stmt_) : prepareError_;
}

QString SqlStatement::text(int column) const {
    return QString::fromUtf8(bytes(column));
}

QByteArray SqlStatement::bytes(int column) const {
    const void* data = sqlite3_column_blob(stmt_, column);
    return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt_, column));
}

int execSql(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

QString sqlError(sqlite3* db) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no database");
}

}  // namespace vantorix::history
