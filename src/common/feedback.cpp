#include "feedback.h"

namespace pelix {

MsgAnswer ShowMsg(Feedback& fb, const std::string& text, MsgType type, MsgButtons buttons, int helpContext)
{
    if (helpContext == 1) return MsgAnswer::None;
    return fb.Message(text, type, buttons);
}

MsgAnswer RecordingFeedback::Message(const std::string& text, MsgType type, MsgButtons buttons)
{
    messages.push_back({text, type, buttons});
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return defaultAnswer;
}

void RecordingFeedback::ProgressShow(const std::string& caption, int maximum)
{
    ++progressShown;
    progressCaptions.push_back(caption);
    progressMax = maximum;
    progressSteps = 0;
}

bool RecordingFeedback::Said(const std::string& text) const
{
    for (const auto& m : messages)
        if (m.text == text) return true;
    return false;
}

}  // namespace pelix
