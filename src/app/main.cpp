// Pelix: the configuration tool.
//
//   Pelix [--device PATH]
//
// --device names the serial device to use instead of the one the port setting
// gives (a simulator's pseudo-terminal, say); it is not stored.
#include "app/mainwindow.h"
#include "app/qtfeedback.h"
#include "common/startup.h"
#include "db/customerdb.h"
#include "model/state.h"
#include "pages/pageform.h"
#include "pages/pageregistry.h"
#include "status/statushost.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelix"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(pelix::kApplicationTitle));
    pelix::SetHintPause(pelix::kHintPauseDefault);  // the pages shorten it while they are open

    pelix::QtFeedback feedback;
    pelix::ProgramState st(feedback);
    auto store = pelix::OpenUserSettings();
    const QString programFolder = QDir::currentPath();
    st.store = store.get();
    pelix::LoadSettings(st, *store, programFolder);
    pelix::ResetProgramValues(st);

    if (!pelix::StartupCheck(programFolder, st.settings.Language, feedback)) return 1;

    pelix::RegisterConfigurationPages();
    pelix::CustomerDatabase db(st);
    st.codes = &db;  // new customers take the first free code
    pelix::TfrmMain window(st, feedback, db);
    pelix::RegisterStatusPages(window);
    const QStringList args = QApplication::arguments();
    const qsizetype device = args.indexOf(QStringLiteral("--device"));
    if (device > 0 && device + 1 < args.size()) window.Port().device = args[device + 1].toStdString();
    window.showMaximized();
    window.FormShow();
    return app.exec();
}
