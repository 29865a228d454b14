// dbrefit: creates and upgrades the suite's tables in the data folder of the
// base folder and leaves the markers that let Pelix start.
//
//   dbrefit [--unattended] [BASE-FOLDER]
//
// --unattended runs without a window and asks nothing (the older products'
// data, when present, is upgraded); messages go to stderr. The exit status is 0
// when the data folder is at the current level.
#include "app/qtfeedback.h"
#include "common/text.h"
#include "dbrefit/creafile.h"
#include "dbrefit/upgrade.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstring>
#include <memory>

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
    for (const QString& a : QCoreApplication::arguments().mid(1))
        if (a != u"--unattended" && argument.isEmpty()) argument = a;

    const QString current = QDir::currentPath();
    const auto folders = pelix::refit::ComputeFolders(argument, current);
    const QString structFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/STRUCT");

    if (unattended) {
        StderrFeedback fb;
        pelix::refit::Upgrade upgrade(folders, current, structFolder, fb);
        if (upgrade.AlreadyDone()) return 0;
        upgrade.LoadTexts();
        return upgrade.UpgradeSteps({}) ? 0 : 1;
    }

    pelix::QtFeedback fb;
    pelix::refit::Upgrade upgrade(folders, current, structFolder, fb);
    if (upgrade.AlreadyDone()) return 0;
    pelix::refit::TfrmCreafile window(upgrade, fb);
    fb.SetParent(&window);
    window.show();
    QApplication::exec();
    return upgrade.AlreadyDone() ? 0 : 1;
}
