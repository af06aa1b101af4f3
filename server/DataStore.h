#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct sqlite3;

namespace korvalo::server {

// A proposal for the directory, as the form sends it.
struct SiteProposal {
    QString address;
    QString description;
    QString category;
    QString email;
    QString remoteAddress;
};

// The server's own records in one SQLite database in write-ahead-log mode:
// the installation counter and the site proposals. Each change is one
// statement committed before the caller answers, so parallel calls (and
// several server processes on one database) lose nothing.
class DataStore {
public:
    DataStore() = default;
    ~DataStore();
    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    // Opens or creates the database; on failure error says why.
    bool open(const QString& path, QString* error);

    // The count after adding one installation; nullopt on a database error.
    std::optional<int64_t> countInstallation();
    std::optional<int64_t> installations();
    bool addProposal(const SiteProposal& proposal);
    std::optional<int64_t> proposalCount();

private:
    bool exec(const char* sql);
    std::optional<int64_t> single(const char* sql);

    sqlite3* db_ = nullptr;
};

} // namespace korvalo::server
