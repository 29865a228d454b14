// The program-wide state: one object created by main (or by a test) and passed
// by reference, instead of hidden globals.
#pragma once

#include "common/customnames.h"
#include "common/feedback.h"
#include "common/langtext.h"
#include "common/settings.h"
#include "model/image.h"

#include <QSettings>

#include <array>
#include <atomic>
#include <string>

namespace pelix {

// Gives the first free four-digit customer code, or an empty text (after telling
// the user) when none can be had. The database implements it.
class CustomerCodeSource {
public:
    virtual ~CustomerCodeSource() = default;
    virtual std::string NextCustomerCode() = 0;
};

// Flags read by worker threads are atomic.
struct ProgramFlags {
    std::atomic<bool> closing{false};         // the main window is closing: long waits stop
    std::atomic<bool> progress{false};        // a command with a progress display runs
    std::atomic<bool> statusBusy{false};      // the PELIX-A cell view is polling
    std::atomic<bool> selectionGuard{false};  // a page is rewriting its own controls
    std::atomic<bool> identifyModem{true};    // identify the GSM module on the next read/write
    std::atomic<bool> devicePresent{false};
    std::atomic<bool> monitorRun{false};      // the PELIX-A modem monitor runs
    std::atomic<bool> monitorPauseRequest{false};
    std::atomic<bool> monitorPaused{false};
};

struct ProgramState {
    explicit ProgramState(Feedback& fb) : feedback(&fb) {}

    Feedback* feedback;
    CustomerCodeSource* codes = nullptr;
    QSettings* store = nullptr;  // where SaveSettings writes (the user's settings)

    Settings settings;
    Folders folders;
    LanguageTexts texts;
    std::array<std::string, kModelNameCount> modelNames{};  // display names by model code
    CustomNames custom;

    Tag_Cliente cliente;          // header of the customer being edited; TipoCentrale = current model
    Tag_GlobalBuffer image;       // the current image
    Tag_GlobalBuffer reference;   // as last loaded, saved or initialised
    Tag_GlobalBuffer workCopy;    // the second-generation reader's copy, all zero from start
    int EventiAssegnati = kMaxEventiAssegnati;
    int comDigEventCount = 13;    // events shown by the digital-communicator page
    ProgramFlags flags;

    int Model() const { return cliente.TipoCentrale; }
    std::string Text(int n) const { return texts.GetLangText(n); }
};

// Fills the settings, folders and run-time values and loads the language:
// the model is PELIX-G at every start, whatever the store holds.
// `systemLanguage` is the operating system's name of the user's language
// ("Italiano (Italia)"); empty means ask QLocale.
void LoadSettings(ProgramState& st, QSettings& store, const QString& programFolder,
                  const QString& systemLanguage = QString());

// Reloads the texts for the current model (".ln6" for PELIX-G, ".ln3" otherwise).
void ReloadLanguage(ProgramState& st);

// The start-up values of the shared flags and counters, and the three images.
void ResetProgramValues(ProgramState& st);

}  // namespace pelix
