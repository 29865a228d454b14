// Pelix: the configuration tool. This build runs the start-up sequence and its
// database check; the main window is not part of it yet.
#include "app/qtfeedback.h"
#include "common/startup.h"
#include "model/imageinit.h"
#include "model/state.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelix"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(pelix::kApplicationTitle));

    pelix::QtFeedback feedback;
    pelix::ProgramState st(feedback);
    auto store = pelix::OpenUserSettings();
    const QString programFolder = QDir::currentPath();
    st.store = store.get();
    pelix::LoadSettings(st, *store, programFolder);
    pelix::ResetProgramValues(st);

    if (!pelix::StartupCheck(programFolder, st.settings.Language, feedback)) return 1;

    // The image the first page shows, and its reference copy.
    pelix::InitImage(st, st.image, true);
    st.reference = st.image;
    return 0;
}
