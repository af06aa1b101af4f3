#include "browser/CommandLine.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isExecutablePath(const QByteArray& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.constData(), X_OK) == 0;
}

} // namespace

bool isExecutableFile(const QString& name) {
    if (name.isEmpty() || name.contains(QChar(0)))
        return false;
    const QByteArray bytes = name.toUtf8();
    if (name.contains(u'/'))
        return isExecutablePath(bytes);
    // Same search list as posix_spawnp: PATH, or its default when unset; an
    // empty entry is the current folder.
    const char* path = std::getenv("PATH");
    const QByteArray folders = path ? QByteArray(path) : QByteArrayLiteral("/bin:/usr/bin");
    for (const QByteArray& folder : folders.split(':')) {
        const QByteArray candidate = folder.isEmpty() ? bytes : folder + '/' + bytes;
        if (isExecutablePath(candidate))
            return true;
    }
    return false;
}

QStringList splitArguments(QStringView text) {
    QStringList arguments;
    QString current;
    bool inArgument = false; // set by any character, so "" makes an empty argument
    bool quoted = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text[i];
        if (isBlank(c) && !quoted) {
            if (inArgument)
                arguments.append(std::exchange(current, QString()));
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == u'\\') {
            qsizetype end = i;
            while (end < n && text[end] == u'\\')
                ++end;
            const qsizetype count = end - i;
            if (end < n && text[end] == u'"') {
                current.append(QString(count / 2, u'\\'));
                if (count % 2 == 1) {
                    current.append(u'"');
                    ++end;
                }
                // With an even count the quote is left for the next round.
            } else {
                current.append(QString(count, u'\\'));
            }
            i = end;
        } else if (c == u'"') {
            if (quoted && i + 1 < n && text[i + 1] == u'"') {
                current.append(u'"');
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
        } else {
            current.append(c);
            ++i;
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

CommandLine splitCommandLine(const QString& line) {
    qsizetype start = 0;
    while (start < line.size() && isBlank(line[start]))
        ++start;
    const QStringView rest = QStringView(line).mid(start);

    CommandLine result;
    if (rest.startsWith(u'"')) {
        const qsizetype close = rest.indexOf(u'"', 1);
        const qsizetype end = close < 0 ? rest.size() : close;
        result.program = rest.mid(1, end - 1).toString();
        result.arguments = splitArguments(rest.mid(qMin(end + 1, rest.size())));
        return result;
    }

    qsizetype firstBlank = -1;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        if (i < rest.size() && !isBlank(rest[i]))
            continue;
        if (firstBlank < 0)
            firstBlank = i;
        const QString candidate = rest.left(i).toString();
        if (isExecutableFile(candidate)) {
            result.program = candidate;
            result.arguments = splitArguments(rest.mid(i));
            return result;
        }
    }
    result.program = rest.left(firstBlank).toString();
    result.arguments = splitArguments(rest.mid(firstBlank));
    return result;
}

} // namespace korvalo
