// Settings kept by the operating system (the registry under
// HKEY_CURRENT_USER\Software\Pelix on Windows, ~/.config/Pelix.ini elsewhere),
// and the program's folders.
#pragma once

#include <QSettings>
#include <QString>

#include <memory>

namespace pelix {

// Line settings of the serial port as the settings give them. Indexes follow the
// port dialog: baud index 6 = 9600, parity 0 = none, data bits index 4 = 8 bits,
// stop bits index 0 = one.
struct PortLineSettings {
    int port = 1;
    int baudIndex = 6;
    int parity = 0;
    int dataBitsIndex = 4;
    int stopBitsIndex = 0;
};

struct Settings {
    int LocalPort = 1;
    QString Language = QStringLiteral("English");
    QString HelpDefault = QStringLiteral("English");
    QString DataPath = QStringLiteral(".\\DATA");
    int TimeOut = 100;  // T, the base delay unit of every device exchange, in ms
    QString Firmware = QStringLiteral("1.00");
    int TipoCentrale = 19;  // last installer-dialog choice: written, never read back
    bool Show1 = true;
    bool Show2 = true;
    int Show3 = -1;
    // Where the customer tables live: empty for the SQLite files in the data
    // folder, else a PostgreSQL address (see db/location.h). Set by hand in
    // the settings ("Database/Connection") or given on a command line.
    QString Database;
};

enum class SettingsGroup { Language, Layout, Port, Device };

// The settings store of this user: native on Windows, an INI file elsewhere.
std::unique_ptr<QSettings> OpenUserSettings();

// Reads every value; a value that is absent or of the wrong type gives its default.
// "Language" is returned as stored (empty when absent): the caller resolves it.
Settings ReadSettings(QSettings& store);

// Writes one group of values.
void SaveSettings(QSettings& store, const Settings& s, SettingsGroup group);

struct Folders {
    QString program;       // the current folder at start-up
    QString data;          // customer database
    QString configTables;  // data folder + "PELIX"
    QString language;      // program folder + "LANGUAGE/"
    QString bitmap;        // program folder + "BITMAP/"
};

// The folders derived from the program folder and the "DataPath" setting. Only
// the exact text ".\DATA" means "the Data folder of the program folder".
Folders DeriveFolders(const QString& programFolder, const QString& dataPath);

}  // namespace pelix
