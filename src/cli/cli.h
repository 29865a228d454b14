// pelixctl: shared pieces of the command-line front end. Each command group
// lives in a file of its own and registers itself in commands.cpp.
#pragma once

#include "common/feedback.h"
#include "model/state.h"

#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>

namespace pelix::cli {

// Feedback on a terminal: messages go to stderr; questions are answered from
// the options given (there is nobody to ask); progress is a bar on a terminal
// and plain lines otherwise.
class ConsoleFeedback : public Feedback {
public:
    MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override;
    void ProgressShow(const std::string& caption, int maximum) override;
    void ProgressSetMax(int maximum) override;
    void ProgressCaption(const std::string& caption) override;
    void ProgressStep() override;
    void ProgressClose() override;

    MsgAnswer answerToQuestions = MsgAnswer::No;
    bool quiet = false;

private:
    void Draw();
    bool tty_ = isatty_stderr();
    static bool isatty_stderr();
    std::string caption_;
    int max_ = 0;
    int step_ = 0;
    int lastPrinted_ = -1;
    bool shown_ = false;
};

// What every command gets: the program state with settings and language texts
// loaded from the program folder (the folder of pelixctl unless --program-folder
// says otherwise), and its own arguments.
struct Context {
    ConsoleFeedback feedback;
    std::unique_ptr<ProgramState> state;
    QString programFolder;
    QStringList args;  // the command's arguments, after the command name
};

using CommandFn = std::function<int(Context&)>;

struct Command {
    const char* name;
    const char* summary;
    CommandFn run;
};

// All commands; defined in commands.cpp.
const std::vector<Command>& Commands();

// A model given on the command line: G, I or A (or its code 19, 22, 21).
bool ModelCode(const QString& text, std::uint8_t& code);

// Prints to stdout in the terminal's encoding (texts of the core are Windows-1252).
void PrintLine(const std::string& cp1252);
void PrintError(const std::string& cp1252);

}  // namespace pelix::cli
