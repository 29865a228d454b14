#include "state.h"

#include "common/paths.h"
#include "common/text.h"

#include <QDir>
#include <QLocale>

namespace pelix {

namespace {

QString SystemLanguageName(const QString& given)
{
    QString name = given;
    if (name.isEmpty()) name = QLocale::languageToString(QLocale::system().language());
    const qsizetype paren = name.indexOf(u'(');
    if (paren >= 0) name = name.left(paren);
    name = name.left(40);
    return FromCp1252(TrimSpaces(ToCp1252(name)));
}

}  // namespace

void LoadSettings(ProgramState& st, QSettings& store, const QString& programFolder, const QString& systemLanguage)
{
    Settings s = ReadSettings(store);
    st.cliente.TipoCentrale = kModelG;
    st.cliente.Rel_firmware = ToCp1252(s.Firmware);
    st.folders = DeriveFolders(programFolder, s.DataPath);
    st.texts.SetLanguageFolder(st.folders.language);
    st.texts.SetFeedback(st.feedback);

    if (s.Language.isEmpty()) {
        s.Language = SystemLanguageName(systemLanguage);
        if (s.Language.isEmpty() || !QDir(ResolveNoCase(JoinPath(st.folders.language, s.Language))).exists())
            s.Language = QStringLiteral("English");
    }
    st.settings = s;
    ReloadLanguage(st);

    st.custom = ReadCustomNames(programFolder);
    st.modelNames = st.custom.names;
    st.modelNames[kModelA].clear();
    st.modelNames[kModelI].clear();
    st.modelNames[kModelG] = "MX7720-IG";
}

void ReloadLanguage(ProgramState& st)
{
    st.texts.LoadLanguage(st.settings.Language, st.Model() == kModelG, *st.feedback);
}

void ResetProgramValues(ProgramState& st)
{
    st.flags.statusBusy = false;
    st.flags.closing = false;
    st.flags.identifyModem = true;
    st.EventiAssegnati = kMaxEventiAssegnati;
    st.comDigEventCount = 13;
    st.image = Tag_GlobalBuffer{};
    st.reference = Tag_GlobalBuffer{};
    st.workCopy = Tag_GlobalBuffer{};
}

}  // namespace pelix
