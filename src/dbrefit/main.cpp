// dbrefit: creates and upgrades the suite's tables in the data folder of the
// base folder and leaves the markers that let Pelix start.
//
//   dbrefit [--unattended] [--database CONNECTION] [BASE-FOLDER]
//
// --unattended runs without a window and asks nothing (the older products'
// data, when present, is upgraded); messages go to stderr. --database names the
// server whose tables are made (postgresql://USER@HOST:PORT/DATABASE; the
// password comes from PGPASSWORD or a pgpass file), overriding the connection
// setting; empty means the SQLite files in the data folder. The markers always
// go to the data folder. The exit status is 0 when the data folder is at the
// current level.
#include "app/qtfeedback.h"
#include "common/settings.h"
#include "common/text.h"
#include "dbrefit/creafile.h"
#include "dbrefit/upgrade.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

class StderrFeedback : public pelix::Feedback {
public:
    pelix::MsgAnswer Message(const std::string& text, pelix::MsgType type, pelix::MsgButtons buttons) override
    {
        std::string t = text;
        for (char& c : t)
            if (c == '\r') c = '\n';
        const char* prefix = type == pelix::MsgType::Error ? "dbrefit: error: " : "dbrefit: ";
        std::fprintf(stderr, "%s%s\n", prefix, pelix::FromCp1252(t).toLocal8Bit().constData());
        return buttons == pelix::MsgButtons::Ok ? pelix::MsgAnswer::Ok : pelix::MsgAnswer::Yes;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    bool unattended = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--unattended") == 0) unattended = true;

    std::unique_ptr<QCoreApplication> app;
    if (unattended)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dbrefit"));

    QString argument;
    std::optional<QString> database;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--unattended") continue;
        if (args[i] == u"--database" && i + 1 < args.size())
            database = args[++i];
        else if (args[i].startsWith(u"--database="))
            database = args[i].mid(11);
        else if (argument.isEmpty())
            argument = args[i];
    }
    if (!database) database = pelix::ReadSettings(*pelix::OpenUserSettings()).Database;

    const QString current = QDir::currentPath();
    const auto folders = pelix::refit::ComputeFolders(argument, current);
    const QString structFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/STRUCT");

    if (unattended) {
        StderrFeedback fb;
        pelix::refit::Upgrade upgrade(folders, current, structFolder, fb, *database);
        if (upgrade.AlreadyDone()) return 0;
        upgrade.LoadTexts();
        return upgrade.UpgradeSteps({}) ? 0 : 1;
    }

    pelix::QtFeedback fb;
    pelix::refit::Upgrade upgrade(folders, current, structFolder, fb, *database);
    if (upgrade.AlreadyDone()) return 0;
    pelix::refit::TfrmCreafile window(upgrade, fb);
    fb.SetParent(&window);
    window.show();
    QApplication::exec();
    return upgrade.AlreadyDone() ? 0 : 1;
}
