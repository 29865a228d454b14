#include "customnames.h"

#include "paths.h"
#include "text.h"

#include <QFile>

#include <map>

namespace pelix {

namespace {

struct NameKey {
    int entry;
    const char* key;
    const char* fallback;
};

// Entries of the name table that carry a key; all others stay empty.
constexpr NameKey kNameKeys[] = {
    {1, "80ZONE", "Lumera"},
    {21, "PELIX", "PELIX-A"},
    {22, "PELIX", "PELIX-I"},
};

using Section = std::map<std::string, std::string>;  // upper-cased key -> value

bool ReadSection(const QString& file, const std::string& section, Section& out)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const std::string wanted = UpperCase(section);
    bool inSection = false;
    bool found = false;
    while (!f.atEnd()) {
        std::string line = f.readLine().toStdString();
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        line = TrimSpaces(line);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string name = TrimSpaces(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = UpperCase(name) == wanted;
            found = found || inSection;
            continue;
        }
        if (!inSection) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = UpperCase(TrimSpaces(line.substr(0, eq)));
        std::string value = TrimSpaces(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        out.emplace(std::move(key), std::move(value));  // the first occurrence wins
    }
    return found;
}

}  // namespace

bool ReadIniValue(const QString& file, const std::string& section, const std::string& key, std::string& value)
{
    Section s;
    if (!ReadSection(ResolveNoCase(file), section, s)) return false;
    auto it = s.find(UpperCase(key));
    if (it == s.end()) return false;
    value = it->second;
    return true;
}

CustomNames ReadCustomNames(const QString& folder)
{
    CustomNames n;
    const QString file = ResolveNoCase(JoinPath(folder, QStringLiteral("PERSONAL.INI")));
    if (!QFile::exists(file)) {
        for (const auto& k : kNameKeys) n.names[static_cast<std::size_t>(k.entry)] = k.fallback;
        n.Modem = "LumeraMod";
        n.Firm = "Corvane Security srl";
        n.Cennetsw = "Zenta Unit";
        return n;
    }
    Section s;
    ReadSection(file, "Personal", s);
    auto get = [&s](const char* key, const char* fallback) {
        auto it = s.find(UpperCase(key));
        return it == s.end() ? std::string(fallback) : it->second;
    };
    for (const auto& k : kNameKeys) n.names[static_cast<std::size_t>(k.entry)] = get(k.key, "");
    n.Logo = get("Logo", "");
    n.LogoSoft = get("LogoSoft", "");
    n.AddressWeb = get("AddressWeb", "");
    n.Modem = get("Modem", "LumeraMod");
    n.Firm = get("Firm", "Corvane Security srl");
    n.Cennetsw = get("Cennetsw", "Zenta Unit");
    return n;
}

}  // namespace pelix
