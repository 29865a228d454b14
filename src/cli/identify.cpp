// pelixctl identify: runs the checks a read or write starts with and prints the
// GSM module's identification.
//
//   pelixctl identify --model G|I|A [--port N | --device PATH] [--release X]
#include "cli.h"

#include "link/controller.h"
#include "link/identify.h"

#include <QCommandLineParser>

namespace pelix::cli {

namespace {

constexpr int kOperatorCaption = 900;

void PrintField(ProgramState& st, int caption, const std::string& value)
{
    PrintLine(st.Text(caption) + ": " + value);
}

}  // namespace

int RunIdentify(Context& c)
{
    QCommandLineParser p;
    const QCommandLineOption model("model", "G, I or A", "model");
    const QCommandLineOption port("port", "serial port number (COMn)", "n");
    const QCommandLineOption device("device", "serial device path", "path");
    const QCommandLineOption release("release", "configured PELIX-A firmware release", "release");
    p.addOptions({model, port, device, release});
    if (!p.parse(QStringList{QStringLiteral("identify")} + c.args) || !p.positionalArguments().isEmpty()) {
        PrintError(p.errorText().isEmpty() ? std::string("usage: pelixctl identify --model G|I|A [--port N | --device PATH]")
                                           : p.errorText().toStdString());
        return 2;
    }
    std::uint8_t code = 0;
    if (!ModelCode(p.value(model), code) || (p.isSet(port) && p.isSet(device))) {
        PrintError("usage: pelixctl identify --model G|I|A [--port N | --device PATH]");
        return 2;
    }
    ProgramState& st = *c.state;
    st.cliente.TipoCentrale = code;
    ReloadLanguage(st);
    if (p.isSet(release)) st.cliente.Rel_firmware = p.value(release).toStdString();

    stRecPort rec;
    auto store = OpenUserSettings();
    bool portOk = true;
    const int portNumber = p.isSet(port) ? p.value(port).toInt(&portOk) : st.settings.LocalPort;
    if (!portOk || portNumber < 1) {
        PrintError("pelixctl identify: --port takes a port number from 1");
        return 2;
    }
    PortLoadSettings(rec, portNumber, *store);
    if (p.isSet(device)) rec.device = p.value(device).toStdString();

    stRecModemInfo info;
    LinkContext ctx(rec, info, st, c.feedback);
    if (!PortEnsureOpen(rec, c.feedback, st.Text(119))) return 1;

    int result = 0;
    if (code == kModelA) {
        const int check = CheckDeviceRelease(ctx, st.cliente.Rel_firmware);
        if (check != 0) {
            ShowMsg(c.feedback, st.Text(check == 1 ? 146 : 54), MsgType::Error);
            result = 1;
        } else {
            PrintField(st, 92, st.cliente.Rel_firmware.str());
            if (!ModemIdentifyA(ctx, info)) {
                ShowMsg(c.feedback, st.Text(54), MsgType::Error);
                result = 1;
            }
            // The module's own order: model first, then its maker.
            PrintField(st, 75, info.s[1]);
            PrintField(st, 76, info.s[0]);
            PrintField(st, 77, info.s[2]);
            PrintField(st, 78, info.s[3]);
            PrintField(st, 79, info.s[4]);
        }
    } else {
        const auto variant = code == kModelG ? IdentifyVariant::PelixG : IdentifyVariant::PelixI;
        if (!ModemIdentify(ctx, info, true, false, variant)) {
            ShowMsg(c.feedback, st.Text(237), MsgType::Warning);
            result = 1;
        } else {
            for (int i = 0; i < 5; ++i) PrintField(st, 75 + i, info.s[static_cast<std::size_t>(i)]);
            PrintField(st, kOperatorCaption, info.operatorName());
        }
    }
    PortClose(rec);
    return result;
}

}  // namespace pelix::cli
