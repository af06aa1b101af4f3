#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace korvalo {

// The parts of an address, as ParseURL fills them.
struct URLParts {
    QString Protocol;
    QString HostName;
    QString URLPath;
    QString UserName;
    QString Password;
    QString ExtraInfo; // the query (with its "?") or the fragment (with its "#")
    uint16_t Port = 0;
};

// Splits an address; "http://" is put in front of one that names no scheme.
// %xx escapes are turned into plain characters. A part longer than its
// buffer (32 characters of scheme, 256 of host, 128 of user name and of
// password, 2048 of path and of extra information) makes the whole split
// fail: the outputs keep their previous values and the result is false.
// Port is the explicit one or the scheme's default.
bool ParseURL(const QString& url, QString& Protocol, QString& HostName, QString& URLPath,
              QString& UserName, QString& Password, QString& ExtraInfo, uint16_t& Port);
bool ParseURL(const QString& url, URLParts& parts);

QString URLToHostName(const QString& url);
// The last segment of the address, after its last "/" or "\" (query kept).
QString URLToFileName(const QString& url);

// Part as a percentage of Total, rounded to the nearest integer and kept in
// eight bits; 0 when Total is 0.
uint8_t PercentsOf(double Total, double Part);

// The media type the system's type database names for a file extension
// (with or without its "."), else "application/octet-stream".
QString GetMIMEType(const QString& extension);

// "---HTTP-DATA-BOUNDARY-", Ch, "-", the Base64 form of the current date and
// time, "---".
QByteArray GenerateAttachBoundary(char Ch);

// Standard Base64 with "=" fill and a CR LF after every 80 output characters.
QByteArray Base64Encode(const QByteArray& text);

// The bytes of an address as they go on the wire: "http://" in front when it
// names no scheme, the text as UTF-8, and every byte that may not stand raw
// in a request line (controls, blank, non-ASCII, and "\"<>\\^`{|}") written
// as %XX. Escapes already present are left as they are.
QByteArray EncodeURLForRequest(const QString& url);

} // namespace korvalo
