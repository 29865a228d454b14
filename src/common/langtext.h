// Numbered user-interface texts of the current language.
//
// A language L has the folder L in the language folder with "L.ln3" (texts for
// PELIX-A and PELIX-I), "L.ln6" (texts for PELIX-G) and "L.500" (start-up
// notice). Entries are lines "00054=text". A lookup is a binary search; a text
// the active file lacks comes from "English/English.ln3".
#pragma once

#include "feedback.h"

#include <QString>

#include <string>
#include <vector>

namespace pelix {

class LanguageTexts {
public:
    // The language folder holds one folder per language.
    void SetLanguageFolder(const QString& folder) { languageFolder_ = folder; }
    const QString& LanguageFolder() const { return languageFolder_; }

    // Rebuilds both lists from the ".ln6" file (secondGeneration) or the ".ln3"
    // file of `language`. A file that cannot be read is reported through `fb`;
    // the lists keep what was built, so lookups fall back to English.
    void LoadLanguage(const QString& language, bool secondGeneration, Feedback& fb);

    // Text number n; empty when neither the language nor English holds it.
    // A failure inside the fast lookup is reported through fb when one is set.
    std::string GetLangText(int n) const;

    // Where lookup failures are reported (may stay unset).
    void SetFeedback(Feedback* fb) { fb_ = fb; }

    const std::vector<std::string>& Lines() const { return lines_; }
    const std::vector<std::string>& KeyIndex() const { return keys_; }
    const QString& LoadedFile() const { return loadedFile_; }

private:
    std::string EnglishFallback(int n) const;

    QString languageFolder_;
    QString loadedFile_;
    std::vector<std::string> lines_;  // every line, non-entries as "00000", sorted
    std::vector<std::string> keys_;   // five-digit keys ("" for non-entries), sorted
    Feedback* fb_ = nullptr;
};

// Reads a whole text file as lines (LF or CRLF). Throws std::runtime_error with
// a message for the user when the file cannot be read.
std::vector<std::string> ReadTextLines(const QString& path);

// The path of language file "<language>/<language><ext>" in the language folder,
// found without regard to letter case.
QString LanguageFilePath(const QString& languageFolder, const QString& language, const QString& ext);

}  // namespace pelix
