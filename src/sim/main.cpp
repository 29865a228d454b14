// pelixsim: a simulated PELIX communicator on a pseudo-terminal.
//
//   pelixsim --model G|I|A [--module motorola|ericsson] --link PATH --state FILE
//            [--log FILE] [faults...]
//
// Prints the pseudo-terminal it serves and keeps a symbolic link to it at PATH.
// The device's state (phone books, stored messages, inputs, outputs, warnings,
// supply, counters, PIN) is read from FILE when it exists and written back
// after every change.
#include "sim/device.h"
#include "sim/ptyserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>

using namespace pelix::sim;

namespace {

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

std::string Printable(const std::string& bytes)
{
    std::string s;
    for (unsigned char c : bytes) {
        if (c >= 32 && c < 127) {
            s += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "<%02X>", c);
            s += buf;
        }
    }
    return s;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelixsim"));
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Simulated PELIX communicator on a pseudo-terminal"));
    p.addHelpOption();
    const QCommandLineOption model({"m", "model"}, "Device model: G, I or A.", "model");
    const QCommandLineOption module("module", "GSM module of a PELIX-I: motorola or ericsson.", "module", "motorola");
    const QCommandLineOption link("link", "Keep a symbolic link to the terminal here.", "path");
    const QCommandLineOption state("state", "State file (JSON), read at start and written on change.", "file");
    const QCommandLineOption log("log", "Write every exchange to this file.", "file");
    const QCommandLineOption silent("silent", "Answer nothing at all.");
    const QCommandLineOption error("error", "Answer ERROR to this AT command (e.g. +CPBW); may repeat.", "command");
    const QCommandLineOption refuse("refuse", "Answer ERROR to a command line or message text holding this text; may repeat.",
                                    "text");
    const QCommandLineOption badChecksum("bad-checksum", "Send controller replies with a wrong checksum.");
    const QCommandLineOption notReady("not-ready", "The controller reports that it is not ready.");
    const QCommandLineOption pinLocked("pin-locked", "The SIM asks for its PIN.");
    const QCommandLineOption busy("busy", "The device is busy and refuses programming.");
    const QCommandLineOption drop("drop", "Lose every n-th byte sent.", "n");
    const QCommandLineOption echo("echo", "Start with the module's echo on.");
    const QCommandLineOption release("release", "PELIX-A firmware release in message slot 1 of a new state.",
                                     "release", "1.05");
    p.addOptions({model, module, link, state, log, silent, error, refuse, badChecksum, notReady, pinLocked, busy, drop, echo,
                  release});
    p.process(app);

    Model m;
    Module mod;
    if (!p.isSet(model) || !ParseModel(p.value(model), m)) {
        std::fprintf(stderr, "pelixsim: --model G, I or A is required\n");
        return 2;
    }
    if (!ParseModule(p.value(module), mod) || mod == Module::Native) {
        std::fprintf(stderr, "pelixsim: --module is motorola or ericsson\n");
        return 2;
    }
    if (!p.isSet(link) || !p.isSet(state)) {
        std::fprintf(stderr, "pelixsim: --link and --state are required\n");
        return 2;
    }

    DeviceState st = DefaultState(m, mod, p.value(release).toStdString());
    const QString statePath = p.value(state);
    QString why;
    if (QFile::exists(statePath) && !LoadStateFile(statePath, st, &why)) {
        std::fprintf(stderr, "pelixsim: cannot read %s: %s\n", qPrintable(statePath), qPrintable(why));
        return 1;
    }
    // The options decide the device; the file only its contents.
    st.model = m;
    st.module = m == Model::A ? Module::Native : m == Model::G ? Module::Motorola : mod;
    if (p.isSet(echo)) st.echo = true;
    if (p.isSet(notReady)) st.notReady = true;
    if (p.isSet(busy)) st.busy = true;
    if (p.isSet(pinLocked)) st.pinEnabled = st.pinRequired = true;
    if (!SaveStateFile(statePath, st, &why)) {
        std::fprintf(stderr, "pelixsim: cannot write %s: %s\n", qPrintable(statePath), qPrintable(why));
        return 1;
    }

    Faults faults;
    faults.silent = p.isSet(silent);
    faults.badChecksum = p.isSet(badChecksum);
    faults.dropEvery = p.value(drop).toInt();
    for (const QString& c : p.values(error)) faults.errorCommands.insert(CommandName(c.toStdString()));
    for (const QString& t : p.values(refuse)) faults.errorContaining.push_back(t.toStdString());

    Device device(st, faults);
    PtyServer server(device);
    std::string err;
    if (!server.Open(&err) || !server.Link(p.value(link).toStdString(), &err)) {
        std::fprintf(stderr, "pelixsim: %s\n", err.c_str());
        return 1;
    }
    server.onChange = [&](const DeviceState& s) {
        QString e;
        if (!SaveStateFile(statePath, s, &e)) std::fprintf(stderr, "pelixsim: %s\n", qPrintable(e));
    };
    std::FILE* logFile = nullptr;
    if (p.isSet(log)) {
        logFile = std::fopen(p.value(log).toLocal8Bit().constData(), "a");
        if (!logFile) {
            std::fprintf(stderr, "pelixsim: cannot open the log %s\n", qPrintable(p.value(log)));
            return 1;
        }
        server.onTraffic = [&](const std::string& in, const std::string& out) {
            std::fprintf(logFile, "<< %s\n>> %s\n", Printable(in).c_str(), Printable(out).c_str());
            std::fflush(logFile);
        };
    }

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("%s\n", server.SlavePath().c_str());
    std::fflush(stdout);
    while (!gStop)
        if (!server.Serve(100)) break;
    if (logFile) std::fclose(logFile);
    return 0;
}
