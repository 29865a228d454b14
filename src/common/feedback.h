// What the lower layers (model, link, database) have to say to the user goes
// through this interface: numbered message boxes, questions, progress steps, the
// busy cursor and "let the window repaint". The GUI implements it with Qt
// dialogs, pelixctl with the terminal, and the tests with RecordingFeedback.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace pelix {

enum class MsgType { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
// The button the user pressed; None when nothing was shown.
enum class MsgAnswer { None = 0, Ok, Cancel, Yes, No };

class Feedback {
public:
    virtual ~Feedback() = default;

    // Shows a message box. Texts are Windows-1252, as everywhere in the core.
    virtual MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) = 0;

    // Progress display of a device command: shown with a caption and a maximum,
    // advanced one step at a time, closed at the end.
    virtual void ProgressShow(const std::string& caption, int maximum) { (void)caption; (void)maximum; }
    virtual void ProgressSetMax(int maximum) { (void)maximum; }
    virtual void ProgressCaption(const std::string& caption) { (void)caption; }
    virtual void ProgressStep() {}
    virtual void ProgressClose() {}

    // Hourglass cursor on (true) or back to normal (false).
    virtual void Busy(bool on) { (void)on; }
    // Lets the window repaint and handle pending input; called during long waits.
    virtual void ProcessEvents() {}
};

// The common message box. A help context of 1 shows nothing and answers None.
MsgAnswer ShowMsg(Feedback& fb, const std::string& text, MsgType type, MsgButtons buttons = MsgButtons::Ok,
                  int helpContext = 0);

// Shows the busy cursor for the life of the object, restoring it on every exit path.
class BusyScope {
public:
    explicit BusyScope(Feedback& fb) : fb_(fb) { fb_.Busy(true); }
    ~BusyScope() { fb_.Busy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Feedback& fb_;
};

// Records everything said to the user and answers questions from a script; used
// by tests and wherever nobody is there to answer.
class RecordingFeedback : public Feedback {
public:
    struct Shown {
        std::string text;
        MsgType type;
        MsgButtons buttons;
    };

    // Answers given to questions in order; when the script is empty a question is
    // answered with defaultAnswer (Ok for an OK-only box).
    std::deque<MsgAnswer> answers;
    MsgAnswer defaultAnswer = MsgAnswer::No;

    std::vector<Shown> messages;
    std::vector<std::string> progressCaptions;
    int progressMax = 0;
    int progressSteps = 0;
    int progressShown = 0;
    int progressClosed = 0;
    int busyDepth = 0;
    int processEventsCalls = 0;

    MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override;
    void ProgressShow(const std::string& caption, int maximum) override;
    void ProgressSetMax(int maximum) override { progressMax = maximum; }
    void ProgressCaption(const std::string& caption) override { progressCaptions.push_back(caption); }
    void ProgressStep() override { ++progressSteps; }
    void ProgressClose() override { ++progressClosed; }
    void Busy(bool on) override { busyDepth += on ? 1 : -1; }
    void ProcessEvents() override { ++processEventsCalls; }

    bool Said(const std::string& text) const;
};

}  // namespace pelix
