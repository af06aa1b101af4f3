// The settings file read from any text: a write must read back, must leave
// every value it did not touch reading as before, and must be stable (the
// same write again gives the same bytes).

#include "FuzzSupport.h"

#include "platform/RegistryFile.h"

#include <QByteArray>
#include <QList>

#include <map>
#include <tuple>

using namespace korvalo;

namespace {

const QString kProbeKey = QStringLiteral("Software\\Fuzz\\Probe");

struct KeyName {
    RegRoot root;
    QString key;
};

// The keys the text names in its headers, as the API addresses them.
QList<KeyName> keysNamedIn(const QByteArray& text) {
    QList<KeyName> keys;
    const std::pair<RegRoot, QString> roots[] = {
        {RegRoot::Users, QStringLiteral("HKEY_USERS\\")},
        {RegRoot::LocalMachine, QStringLiteral("HKEY_LOCAL_MACHINE\\")},
        {RegRoot::CurrentUser, QStringLiteral("HKEY_CURRENT_USER\\")}};
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw.trimmed());
        if (!line.startsWith(u'[') || !line.endsWith(u']'))
            continue;
        const QString name = line.mid(1, line.size() - 2);
        for (const auto& [root, prefix] : roots)
            if (name.startsWith(prefix, Qt::CaseInsensitive))
                keys.append({root, name.mid(prefix.size())});
    }
    return keys;
}

using Snapshot = std::map<std::tuple<int, QString, QString>, RegValue>;

Snapshot snapshot(const RegistryFile& reg, const QList<KeyName>& keys) {
    Snapshot values;
    for (const KeyName& k : keys) {
        if (k.key.compare(kProbeKey, Qt::CaseInsensitive) == 0)
            continue;
        for (const QString& name : reg.valueNames(k.root, k.key))
            if (const auto v = reg.value(k.root, k.key, name))
                values[{int(k.root), k.key.toLower(), name.toLower()}] = *v;
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::scratchFolder() + "registry.reg";
    fuzz::writeInput(path, data, size);
    RegistryFile reg(QString::fromStdString(path));
    const QList<KeyName> keys =
        keysNamedIn(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const Snapshot before = snapshot(reg, keys);

    const QString text = QStringLiteral("probe \"value\"\\\n\\x");
    FUZZ_CHECK(reg.setString(RegRoot::CurrentUser, kProbeKey, QStringLiteral("Check"), text));
    const auto back = reg.value(RegRoot::CurrentUser, kProbeKey, QStringLiteral("Check"));
    FUZZ_CHECK(back && back->type == RegValue::String && back->text == text);
    FUZZ_CHECK(snapshot(reg, keys) == before);

    const std::string written = fuzz::readBack(path);
    FUZZ_CHECK(reg.setString(RegRoot::CurrentUser, kProbeKey, QStringLiteral("Check"), text));
    FUZZ_CHECK(fuzz::readBack(path) == written);
    return 0;
}
