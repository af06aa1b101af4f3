// The command-line splitter over any text: arguments quoted by the same rules
// split back into themselves, and the program part never loses text.

#include "FuzzSupport.h"

#include "browser/CommandLine.h"
#include "browser/Execute.h"

using namespace korvalo;

namespace {

// Quotes one argument so that the runtime's rules give it back unchanged.
QString quoted(const QString& argument) {
    QString out(u'"');
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        out += QString(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
        out += c;
        backslashes = 0;
    }
    out += QString(2 * backslashes, u'\\');
    out += u'"';
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList arguments = splitArguments(line);
    QStringList quotedArguments;
    for (const QString& argument : arguments)
        quotedArguments.append(quoted(argument));
    FUZZ_CHECK(splitArguments(quotedArguments.join(u' ')) == arguments);

    const CommandLine split = splitCommandLine(line);
    FUZZ_CHECK(line.contains(split.program));
    addressGivesAnOption(QStringLiteral("/bin/true --flag"), line);
    return 0;
}
