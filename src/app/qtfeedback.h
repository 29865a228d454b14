// Feedback for the windows: message boxes under the application title, the
// hourglass cursor, and event processing during long waits.
#pragma once

#include "common/feedback.h"

class QWidget;

namespace pelix {

class QtFeedback : public Feedback {
public:
    explicit QtFeedback(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    MsgAnswer Message(const std::string& text, MsgType type, MsgButtons buttons) override;
    void Busy(bool on) override;
    void ProcessEvents() override;

private:
    QWidget* parent_;
};

}  // namespace pelix
