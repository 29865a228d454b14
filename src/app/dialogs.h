// Small windows of the main window: the port dialog, the language choice and
// the start page.
#pragma once

#include "model/state.h"
#include "pages/pageform.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pelix {

// Chooses the serial port COM1..COM4; the choice takes effect at the next start.
class TfrmSerial : public QDialog {
    Q_OBJECT

public:
    TfrmSerial(ProgramState& st, int currentPort, QWidget* parent = nullptr);

    QGroupBox* RadioGroup1;
    QButtonGroup* items;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void BitBtn1Click();
    ProgramState& st_;
};

// The language choice: lists the language folders and leaves the chosen name
// in `buffer` (255 characters and a terminator), or leaves it as it was.
// `settingsFile` is accepted for the caller's sake and not used.
extern "C" void DoSceltaLingua(const char* settingsFile, char* buffer, const char* title);

// Where DoSceltaLingua looks for language folders (the program's language folder).
void SetLanguageFolderForChoice(const QString& folder);

// Runs the language choice for the program: asks (through `chooser`, which has
// DoSceltaLingua's contract), stores the setting and reloads the texts.
// Returns true when the language changed.
using LanguageChooser = void (*)(const char*, char*, const char*);
bool ChooseLanguage(ProgramState& st, LanguageChooser chooser = DoSceltaLingua);

// The start page shown for the root node of the page tree.
class TfrmLogo : public TPageForm {
    Q_OBJECT

public:
    TfrmLogo(PageContext& ctx, QWidget* owner);

    QWidget* Panel1;
    QWidget* Panel2;
    QLabel* Image3;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;

protected:
    void FormShow() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Place();
};

}  // namespace pelix
