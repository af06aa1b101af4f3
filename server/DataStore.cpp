#include "DataStore.h"

#include <QDateTime>

#include <sqlite3.h>

namespace korvalo::server {

DataStore::~DataStore() {
    if (db_ != nullptr)
        sqlite3_close(db_);
}

bool DataStore::open(const QString& path, QString* error) {
    if (sqlite3_open_v2(path.toUtf8().constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        if (error != nullptr)
            *error = QString::fromUtf8(db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    const bool ok = single("PRAGMA journal_mode=WAL").has_value() &&
                    exec("PRAGMA synchronous=NORMAL") &&
                    exec("CREATE TABLE IF NOT EXISTS counter ("
                         " name TEXT PRIMARY KEY, value INTEGER NOT NULL)") &&
                    exec("INSERT OR IGNORE INTO counter VALUES ('installations', 0)") &&
                    exec("CREATE TABLE IF NOT EXISTS proposals ("
                         " id INTEGER PRIMARY KEY, received TEXT NOT NULL,"
                         " address TEXT NOT NULL, description TEXT NOT NULL,"
                         " category TEXT NOT NULL, email TEXT NOT NULL,"
                         " remote TEXT NOT NULL)");
    if (!ok && error != nullptr)
        *error = QString::fromUtf8(sqlite3_errmsg(db_));
    return ok;
}

bool DataStore::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<int64_t> DataStore::single(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
        return std::nullopt;
    std::optional<int64_t> value;
    if (sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

std::optional<int64_t> DataStore::countInstallation() {
    // One statement: the increment and the read-back are a single write
    // transaction, so two servers on one database cannot both read the old
    // value.
    return single("UPDATE counter SET value = value + 1 WHERE name = 'installations'"
                  " RETURNING value");
}

std::optional<int64_t> DataStore::installations() {
    return single("SELECT value FROM counter WHERE name = 'installations'");
}

bool DataStore::addProposal(const SiteProposal& p) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "INSERT INTO proposals (received, address, description, category,"
                           " email, remote) VALUES (?, ?, ?, ?, ?, ?)",
                           -1, &statement, nullptr) != SQLITE_OK)
        return false;
    const QByteArray fields[] = {QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toUtf8(),
                                 p.address.toUtf8(),
                                 p.description.toUtf8(),
                                 p.category.toUtf8(),
                                 p.email.toUtf8(),
                                 p.remoteAddress.toUtf8()};
    int index = 1;
    for (const QByteArray& field : fields)
        sqlite3_bind_text(statement, index++, field.constData(), static_cast<int>(field.size()),
                          SQLITE_TRANSIENT);
    const bool ok = sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
    return ok;
}

std::optional<int64_t> DataStore::proposalCount() {
    return single("SELECT count(*) FROM proposals");
}

} // namespace korvalo::server
