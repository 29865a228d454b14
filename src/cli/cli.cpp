#include "cli.h"

#include "common/text.h"

#include <unistd.h>

namespace pelix::cli {

bool ConsoleFeedback::isatty_stderr() { return ::isatty(STDERR_FILENO) == 1; }

MsgAnswer ConsoleFeedback::Message(const std::string& text, MsgType type, MsgButtons buttons)
{
    if (shown_ && tty_) std::fputc('\n', stderr);
    std::string t = text;
    for (char& c : t)
        if (c == '\r') c = '\n';
    const char* prefix = type == MsgType::Error ? "error: " : type == MsgType::Warning ? "warning: " : "";
    PrintError(prefix + t);
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    return answerToQuestions;
}

void ConsoleFeedback::ProgressShow(const std::string& caption, int maximum)
{
    caption_ = caption;
    max_ = maximum;
    step_ = 0;
    lastPrinted_ = -1;
    shown_ = true;
    Draw();
}

void ConsoleFeedback::ProgressSetMax(int maximum)
{
    max_ = maximum;
    Draw();
}

void ConsoleFeedback::ProgressCaption(const std::string& caption)
{
    caption_ = caption;
    Draw();
}

void ConsoleFeedback::ProgressStep()
{
    ++step_;
    Draw();
}

void ConsoleFeedback::ProgressClose()
{
    if (shown_ && tty_ && !quiet) std::fputc('\n', stderr);
    shown_ = false;
}

void ConsoleFeedback::Draw()
{
    if (!shown_ || quiet) return;
    const int shownStep = max_ > 0 && step_ > max_ ? max_ : step_;
    const int percent = max_ > 0 ? shownStep * 100 / max_ : 0;
    const std::string caption = ToCp1252(FromCp1252(caption_)).empty() ? std::string("Working") : caption_;
    if (tty_) {
        const int width = 30;
        const int filled = max_ > 0 ? shownStep * width / max_ : 0;
        std::fprintf(stderr, "\r%s [%s%s] %3d%%", FromCp1252(caption).toLocal8Bit().constData(),
                     std::string(static_cast<std::size_t>(filled), '#').c_str(),
                     std::string(static_cast<std::size_t>(width - filled), ' ').c_str(), percent);
        std::fflush(stderr);
    } else if (percent / 10 != lastPrinted_ / 10 || lastPrinted_ < 0) {
        // Plain lines in steps of ten percent, so a log stays short.
        std::fprintf(stderr, "%s: %d%% (%d/%d)\n", FromCp1252(caption).toLocal8Bit().constData(), percent, shownStep,
                     max_);
        lastPrinted_ = percent;
    }
}

bool ModelCode(const QString& text, std::uint8_t& code)
{
    const QString t = text.trimmed().toUpper();
    if (t == u"G" || t == u"19") code = kModelG;
    else if (t == u"I" || t == u"22") code = kModelI;
    else if (t == u"A" || t == u"21") code = kModelA;
    else return false;
    return true;
}

void PrintLine(const std::string& cp1252)
{
    std::fprintf(stdout, "%s\n", FromCp1252(cp1252).toLocal8Bit().constData());
}

void PrintError(const std::string& cp1252)
{
    std::fprintf(stderr, "%s\n", FromCp1252(cp1252).toLocal8Bit().constData());
}

}  // namespace pelix::cli
