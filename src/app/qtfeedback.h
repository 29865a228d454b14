// Feedback for the windows: message boxes under the application title, the
// hourglass cursor, and event processing during long waits.
#pragma once

#include "common/feedback.h"

class QWidget;

namespace pelix {

class TfrmProg;

class QtFeedback : public Feedback {
public:
    explicit QtFeedback(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    // The progress window the device commands advance.
    void SetProgressWindow(TfrmProg* prog) { prog_ = prog; }

    MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override;
    void Busy(bool on) override;
    void ProcessEvents() override;
    void ProgressShow(const std::string& caption, int maximum) override;
    void ProgressSetMax(int maximum) override;
    void ProgressCaption(const std::string& caption) override;
    void ProgressStep() override;
    void ProgressClose() override;

private:
    QWidget* parent_;
    TfrmProg* prog_ = nullptr;
};

}  // namespace pelix
