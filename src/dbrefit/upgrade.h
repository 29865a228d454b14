// The upgrade run of dbrefit: from its folders and marker files it decides what
// is to be done, creates and extends the tables, seeds and corrects data,
// removes files of earlier releases and leaves the markers. No window here: the
// window (or the unattended run) drives these steps and shows what they report.
#pragma once

#include "common/feedback.h"
#include "dbrefit/structure.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace pelix::refit {

struct RefitFolders {
    QString base;      // the argument when it names an existing folder, else the current folder
    QString data;      // base + "DATA" (an existing folder of that name in any letter case, else "Data")
    QString lumera;    // data + "LUMERA": data of the older panel family
    QString quadrel2;  // data + "QUADREL2": data of the second telephone communicator
    QString language;  // base + "LANGUAGE"
};

RefitFolders ComputeFolders(const QString& argument, const QString& currentFolder);

// Whether file `name` (any letter case) exists in `folder`.
bool MarkerExists(const QString& folder, const QString& name);

// Lines of the ".500" file used by the window.
enum RefitLine {
    kLineCaption = 1,
    kLineLabel1 = 2,
    kLineLabel2 = 3,
    kLineOk = 9,
    kLineCancel = 10,
    kLineQuestion = 22,
};

class Upgrade {
public:
    // `currentFolder` holds the settings file (LUMERA.INI or MULTI.INI) and
    // PERSONAL.INI; `structFolder` the shipped text form of the structure tables
    // and the list of files of earlier releases (OBSOLETE.txt). `database` is
    // the connection setting: empty for SQLite in the data folder, else the
    // server whose tables are made (the markers stay in the data folder).
    Upgrade(const RefitFolders& folders, const QString& currentFolder, const QString& structFolder, Feedback& fb,
            const QString& database = QString());

    const RefitFolders& Folders() const { return f_; }

    // "altflag.540" is there: nothing to do.
    bool AlreadyDone() const;

    // When the window is shown: unpacks the language's bundle, loads the texts
    // and reads the edition. False when the texts could not be loaded (the
    // window keeps its design texts).
    bool LoadTexts();
    // Line n of the ".500" file, or `fallback` when the file has no such line.
    std::string Text(int n, const std::string& fallback = std::string()) const;
    bool Multi() const { return multi_; }

    // The question before an upgrade of older products' data: asked only when
    // the LUMERA folder exists.
    bool NeedsQuestion() const;

    // The whole run. True when it completed and left "altflag.540"; an error
    // that stops it has been shown.
    bool UpgradeSteps(const StatusFn& status);

    // Pieces of the run, public for the tests.
    void RemoveOldFiles();
    void WriteMarkers();

private:
    RefitFolders f_;
    QString currentFolder_;
    QString structFolder_;
    Feedback& fb_;
    QString database_;
    QString language_ = QStringLiteral("English");
    std::vector<std::string> lines_;
    bool multi_ = false;
};

// Files directly in `languageFolder` whose extension is a digit from 0 to 6
// followed by up to two characters (the language files of earlier releases).
QStringList OldLanguageFiles(const QString& languageFolder);

}  // namespace pelix::refit
