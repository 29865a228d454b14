#include "startup.h"

#include "langbundle.h"
#include "langtext.h"
#include "paths.h"

#include <QFileInfo>

namespace pelix {

bool StartupCheck(const QString& programFolder, const QString& language, Feedback& fb)
{
    const QString languageFolder = JoinPath(programFolder, QStringLiteral("/LANGUAGE/"));
    if (QFileInfo::exists(ResolveNoCase(JoinPath(languageFolder, language + QStringLiteral(".CMP")))))
        SplitLanguageBundles(programFolder, fb);

    if (QFileInfo::exists(ResolveNoCase(JoinPath(programFolder, QStringLiteral("/DATA/altflag.540"))))) return true;

    std::string notice;
    try {
        const auto lines = ReadTextLines(LanguageFilePath(languageFolder, language, QStringLiteral(".500")));
        notice = kApplicationTitle;
        notice += '\r';
        notice += lines.size() > 4 ? lines[4] : std::string();
        notice += '\r';
        notice += lines.size() > 5 ? lines[5] : std::string();
    } catch (const std::exception& e) {
        notice = e.what();
    }
    ShowMsg(fb, notice, MsgType::Information);
    return false;
}

}  // namespace pelix
