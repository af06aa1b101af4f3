#pragma once

#include <QString>

namespace korvalo {

// What one change or lookup of the directory came to, as the windows need
// it: whether it was made, and what the user is told. Every status but Done
// means the data files are as they were before (a delete of a category can
// stop between its two rewrites; it then says which one failed).
struct Outcome {
    enum class Status {
        Done,
        Declined,      // the user answered "الغاء": nothing said
        Refused,       // the input cannot be stored, or is incomplete: a box says why
        Duplicate,     // the address is in the site file already: a box
        NotOpened,     // a data file could not be opened, read or replaced: nothing said
        ScratchFailed, // the scratch file could not be made: the "temp.tmp" box
        NotAppended,   // "cate.dat" cannot be appended to: the plain message, the program goes on
        CategoryFileMissing, // "cate.dat" cannot be read: the plain message, the program ends
        SiteFileMissing,     // the site file cannot be read where it must: the same, with its name
    };

    Status status = Status::Done;
    // What the user is told; empty for nothing. A Done with a message is an
    // information box too.
    QString message;

    bool ok() const { return status == Status::Done; }

    static Outcome done(QString message = {}) { return {Status::Done, std::move(message)}; }
    static Outcome declined() { return {Status::Declined, {}}; }
    static Outcome refused(QString message) { return {Status::Refused, std::move(message)}; }
    static Outcome notOpened() { return {Status::NotOpened, {}}; }
    static Outcome duplicate();
    static Outcome scratchFailed();
    static Outcome notAppended();
    static Outcome categoryFileMissing();
    static Outcome siteFileMissing(const QString& siteFileName);
};

// The texts the outcomes carry.
QString scratchFileMessage();
QString categoryFileMissingMessage();

} // namespace korvalo
