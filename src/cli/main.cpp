// pelixctl: command-line front end of the suite.
//
//   pelixctl [--program-folder DIR] [--language NAME] [--database CONNECTION] COMMAND [ARGS...]
//
// --database overrides the connection setting for this run: empty for the
// SQLite files in the data folder, or postgresql://USER@HOST:PORT/DATABASE.
#include "cli.h"

#include "model/state.h"

#include <QCoreApplication>
#include <QDir>

#include <optional>

using namespace pelix::cli;

namespace {

void Usage()
{
    PrintError("usage: pelixctl [--program-folder DIR] [--language NAME] [--database CONNECTION] COMMAND [ARGS...]");
    PrintError("commands:");
    for (const auto& c : Commands()) PrintError(std::string("  ") + c.name + "  " + c.summary);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pelix"));
    QStringList args = QCoreApplication::arguments().mid(1);

    Context ctx;
    ctx.programFolder = QCoreApplication::applicationDirPath();
    QString language;
    std::optional<QString> database;
    while (!args.isEmpty() && args.front().startsWith(u"--")) {
        const QString opt = args.takeFirst();
        if ((opt == u"--program-folder" || opt == u"--language") && !args.isEmpty()) {
            (opt == u"--program-folder" ? ctx.programFolder : language) = args.takeFirst();
        } else if (opt == u"--database" && !args.isEmpty()) {
            database = args.takeFirst();
        } else if (opt == u"--help") {
            Usage();
            return 0;
        } else {
            PrintError("unknown option " + opt.toStdString());
            Usage();
            return 2;
        }
    }
    if (args.isEmpty()) {
        Usage();
        return 2;
    }
    const QString name = args.takeFirst();
    ctx.args = args;

    ctx.state = std::make_unique<pelix::ProgramState>(ctx.feedback);
    auto store = pelix::OpenUserSettings();
    pelix::LoadSettings(*ctx.state, *store, QDir(ctx.programFolder).absolutePath());
    if (!language.isEmpty()) {
        ctx.state->settings.Language = language;
        pelix::ReloadLanguage(*ctx.state);
    }
    pelix::ResetProgramValues(*ctx.state);
    if (database) ctx.state->settings.Database = *database;

    for (const auto& c : Commands())
        if (name == QLatin1String(c.name)) return c.run(ctx);
    PrintError("unknown command " + name.toStdString());
    Usage();
    return 2;
}
