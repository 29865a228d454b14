#include "settings.h"

#include "paths.h"

namespace pelix {

namespace {

int ReadInt(QSettings& s, const QString& key, int fallback)
{
    const QVariant v = s.value(key);
    if (!v.isValid()) return fallback;
    bool ok = false;
    const int i = v.toInt(&ok);
    return ok ? i : fallback;
}

bool ReadBool(QSettings& s, const QString& key, bool fallback)
{
    const QVariant v = s.value(key);
    if (!v.isValid()) return fallback;
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    const QString t = v.toString().trimmed().toLower();
    if (t == u"true" || t == u"1") return true;
    if (t == u"false" || t == u"0") return false;
    return fallback;
}

QString ReadString(QSettings& s, const QString& key, const QString& fallback)
{
    const QVariant v = s.value(key);
    if (!v.isValid() || !v.canConvert<QString>()) return fallback;
    return v.toString();
}

}  // namespace

std::unique_ptr<QSettings> OpenUserSettings()
{
#ifdef _WIN32
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\Pelix"), QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Pelix"));
#endif
}

Settings ReadSettings(QSettings& store)
{
    Settings s;
    s.LocalPort = ReadInt(store, QStringLiteral("Communication/LocalPort"), 1);
    s.Language = ReadString(store, QStringLiteral("Miscellaneous/Language"), QString());
    s.HelpDefault = ReadString(store, QStringLiteral("Miscellaneous/HelpDefault"), QStringLiteral("English"));
    s.DataPath = ReadString(store, QStringLiteral("Miscellaneous/DataPath"), QStringLiteral(".\\DATA"));
    s.TimeOut = ReadInt(store, QStringLiteral("Miscellaneous/TimeOut"), 100);
    s.Firmware = ReadString(store, QStringLiteral("Miscellaneous/Firmware"), QStringLiteral("1.00"));
    s.Show1 = ReadBool(store, QStringLiteral("Miscellaneous/Show1"), true);
    s.Show2 = ReadBool(store, QStringLiteral("Miscellaneous/Show2"), true);
    s.Show3 = ReadInt(store, QStringLiteral("Miscellaneous/Show3"), -1);
    s.Database = ReadString(store, QStringLiteral("Database/Connection"), QString());
    return s;
}

void SaveSettings(QSettings& store, const Settings& s, SettingsGroup group)
{
    switch (group) {
    case SettingsGroup::Language:
        store.setValue(QStringLiteral("Miscellaneous/Language"), s.Language);
        store.setValue(QStringLiteral("Miscellaneous/HelpDefault"), s.HelpDefault);
        break;
    case SettingsGroup::Layout:
        store.setValue(QStringLiteral("Miscellaneous/Show1"), s.Show1);
        store.setValue(QStringLiteral("Miscellaneous/Show2"), s.Show2);
        store.setValue(QStringLiteral("Miscellaneous/Show3"), s.Show3);
        break;
    case SettingsGroup::Port:
        store.setValue(QStringLiteral("Communication/LocalPort"), s.LocalPort);
        break;
    case SettingsGroup::Device:
        store.setValue(QStringLiteral("Miscellaneous/TipoCentrale"), s.TipoCentrale);
        store.setValue(QStringLiteral("Miscellaneous/Firmware"), s.Firmware);
        store.setValue(QStringLiteral("Miscellaneous/TimeOut"), s.TimeOut);
        break;
    }
    store.sync();
}

Folders DeriveFolders(const QString& programFolder, const QString& dataPath)
{
    Folders f;
    f.program = programFolder;
    f.data = dataPath == QStringLiteral(".\\DATA") ? JoinPath(programFolder, QStringLiteral("/Data")) : dataPath;
    f.configTables = JoinPath(f.data, QStringLiteral("/PELIX"));
    f.language = JoinPath(programFolder, QStringLiteral("/LANGUAGE/"));
    f.bitmap = JoinPath(programFolder, QStringLiteral("/BITMAP/"));
    return f;
}

}  // namespace pelix
