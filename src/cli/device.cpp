// pelixctl read, write, sections, records and remote: the device commands of
// the main window on the JSON form of a configuration.
//
//   pelixctl read --model G|I|A [--release X] [--port N | --device PATH] [--out FILE]
//   pelixctl write FILE [--events assign|stop] [--port N | --device PATH]
//   pelixctl sections --model G|I FILE
//   pelixctl records --release X FILE
//   pelixctl remote build FILE [--compare OTHER] [--out LIST]
//   pelixctl remote send --to NUMBER LIST [--port N | --device PATH]
//
// Failures print the language text and end with exit code 1; usage errors with 2.
#include "cli.h"

#include "common/release.h"
#include "link/codec/records.h"
#include "link/codec/sections.h"
#include "link/devicecommands.h"
#include "link/remote.h"
#include "model/datetime.h"
#include "model/imageinit.h"
#include "model/imagejson.h"

#include <QCommandLineParser>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <optional>

namespace pelix::cli {

namespace {

constexpr int kUsage = 2;
constexpr int kFailed = 1;

int Usage(const std::string& text)
{
    PrintError("usage: " + text);
    return kUsage;
}

// The options every command that talks to a device takes.
struct LinkOptions {
    QCommandLineOption port{"port", "serial port number (COMn)", "n"};
    QCommandLineOption device{"device", "serial device path", "path"};
    QCommandLineOption charTimeout{"char-timeout", "seconds to await each character (default 2.0)", "seconds"};
    void Add(QCommandLineParser& p) { p.addOptions({port, device, charTimeout}); }
};

// Opens nothing yet: fills the port record the way the settings loader does.
bool PreparePort(const QCommandLineParser& p, const LinkOptions& o, ProgramState& st, stRecPort& rec, double& timeout)
{
    if (p.isSet(o.port) && p.isSet(o.device)) return false;
    bool ok = true;
    const int portNumber = p.isSet(o.port) ? p.value(o.port).toInt(&ok) : st.settings.LocalPort;
    if (!ok || portNumber < 1) return false;
    auto store = OpenUserSettings();
    PortLoadSettings(rec, portNumber, *store);
    if (p.isSet(o.device)) rec.device = p.value(o.device).toStdString();
    timeout = kCharTimeout;
    if (p.isSet(o.charTimeout)) {
        timeout = p.value(o.charTimeout).toDouble(&ok);
        if (!ok || timeout <= 0 || timeout > 60) return false;
    }
    return true;
}

std::optional<QByteArray> ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        PrintError("pelixctl: cannot read " + path.toStdString() + ": " + f.errorString().toStdString());
        return std::nullopt;
    }
    return f.readAll();
}

bool WriteOut(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty()) {
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
        std::fflush(stdout);
        return true;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        PrintError("pelixctl: cannot write " + path.toStdString() + ": " + f.errorString().toStdString());
        return false;
    }
    return true;
}

// Loads a configuration in JSON form into the state; the model it names
// becomes the current one and its language texts are loaded.
bool LoadImage(ProgramState& st, const QString& path)
{
    const auto text = ReadFile(path);
    if (!text) return false;
    Tag_Cliente header = st.cliente;
    Tag_GlobalBuffer image;
    std::string error;
    if (!ImageFromJsonText(*text, st.texts, header, image, error)) {
        PrintError("pelixctl: " + path.toStdString() + ": " + error);
        return false;
    }
    const bool modelChanged = header.TipoCentrale != st.cliente.TipoCentrale;
    st.cliente = header;
    st.image = image;
    st.EventiAssegnati = CountOutputEvents(image);
    if (modelChanged) ReloadLanguage(st);
    return true;
}

// --- read, write ---------------------------------------------------------------------

int RunRead(Context& c)
{
    const char* usage = "pelixctl read --model G|I|A [--release X] [--port N | --device PATH] [--out FILE]";
    QCommandLineParser p;
    const QCommandLineOption model("model", "G, I or A", "model");
    const QCommandLineOption release("release", "configured PELIX-A firmware release", "release");
    const QCommandLineOption out("out", "JSON file to write (default: standard output)", "file");
    LinkOptions link;
    p.addOptions({model, release, out});
    link.Add(p);
    if (!p.parse(QStringList{"read"} + c.args) || !p.positionalArguments().isEmpty()) return Usage(usage);
    ProgramState& st = *c.state;
    std::uint8_t code = 0;
    stRecPort rec;
    double timeout = kCharTimeout;
    if (!ModelCode(p.value(model), code)) return Usage(usage);
    st.cliente.TipoCentrale = code;
    ReloadLanguage(st);
    if (p.isSet(release)) st.cliente.Rel_firmware = p.value(release).toStdString();
    if (!PreparePort(p, link, st, rec, timeout)) return Usage(usage);

    // The first-generation read changes only what the records carry: the rest
    // comes from the model's defaults.
    InitImage(st, st.image, false);
    stRecModemInfo info;
    LinkContext ctx(rec, info, st, c.feedback);
    ctx.charTimeout = timeout;
    if (!ReadDeviceCommand(ctx)) return kFailed;
    return WriteOut(p.value(out), ImageToJsonText(st.cliente, st.image)) ? 0 : kFailed;
}

int RunWrite(Context& c)
{
    const char* usage = "pelixctl write FILE [--events assign|stop] [--port N | --device PATH]";
    QCommandLineParser p;
    const QCommandLineOption events("events",
                                    "PELIX-A: an output event no output carries is given its default output "
                                    "(assign) or stops the write (stop, the default)",
                                    "assign|stop", "stop");
    LinkOptions link;
    p.addOption(events);
    link.Add(p);
    if (!p.parse(QStringList{"write"} + c.args) || p.positionalArguments().size() != 1) return Usage(usage);
    const QString ev = p.value(events);
    if (ev != u"assign" && ev != u"stop") return Usage(usage);
    c.feedback.answerToQuestions = ev == u"assign" ? MsgAnswer::Yes : MsgAnswer::No;
    ProgramState& st = *c.state;
    stRecPort rec;
    double timeout = kCharTimeout;
    if (!PreparePort(p, link, st, rec, timeout)) return Usage(usage);
    if (!LoadImage(st, p.positionalArguments().front())) return kFailed;

    stRecModemInfo info;
    LinkContext ctx(rec, info, st, c.feedback);
    ctx.charTimeout = timeout;
    return WriteDeviceCommand(ctx) ? 0 : kFailed;
}

// --- sections, records ----------------------------------------------------------------

int RunSections(Context& c)
{
    const char* usage = "pelixctl sections --model G|I FILE";
    QCommandLineParser p;
    const QCommandLineOption model("model", "G or I", "model");
    p.addOption(model);
    if (!p.parse(QStringList{"sections"} + c.args) || p.positionalArguments().size() != 1) return Usage(usage);
    std::uint8_t code = 0;
    if (!ModelCode(p.value(model), code) || code == kModelA) return Usage(usage);
    ProgramState& st = *c.state;
    if (!LoadImage(st, p.positionalArguments().front())) return kFailed;
    // Printed as a write would store them, without the SIM identity the write
    // reads from the card.
    const TSMSSlots built = BuildSections(st.image, code, std::string(), DateTimeToUnix(NowDateTime()));
    for (int n = 0; n < kSlotCount; ++n) {
        const std::string& text = built[static_cast<std::size_t>(n)].Testo;
        PrintLine("PX" + std::to_string(n + 1) + (text.empty() ? "" : " " + text));
    }
    return 0;
}

int RunRecords(Context& c)
{
    const char* usage = "pelixctl records --release X FILE";
    QCommandLineParser p;
    const QCommandLineOption release("release", "PELIX-A firmware release (1.0-1.09 or 1.1-1.19)", "release");
    p.addOption(release);
    if (!p.parse(QStringList{"records"} + c.args) || p.positionalArguments().size() != 1) return Usage(usage);
    const auto r = ReleaseNumber(p.value(release).toStdString());
    if (!r || !((*r >= kRelease10 && *r <= kRelease109) || (*r >= kRelease11 && *r <= kRelease119))) return Usage(usage);
    ProgramState& st = *c.state;
    if (!LoadImage(st, p.positionalArguments().front())) return kFailed;
    // One record per line with the message slot it is stored in.
    for (int n = 0; n < RecordCount(*r); ++n) PrintLine(std::to_string(n + 2) + " " + BuildRecord(st.image, n, *r));
    return 0;
}

// --- remote -------------------------------------------------------------------------------

// A list of messages to send: the model it was built for and each message with
// whether it is still to be sent. Texts are kept byte for byte.
QByteArray ListToJson(int model, const RemoteMessages& messages)
{
    QJsonArray a;
    for (const RemoteMessage& m : messages)
        a.append(QJsonObject{{"text", QString::fromLatin1(m.text.data(), static_cast<qsizetype>(m.text.size()))},
                             {"send", m.checked}});
    return QJsonDocument(QJsonObject{{"model", model}, {"messages", a}}).toJson();
}

bool ListFromJson(const QByteArray& text, int& model, RemoteMessages& messages)
{
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    if (!doc.isObject() || !doc.object().value("messages").isArray()) return false;
    model = doc.object().value("model").toInt();
    if (model != kModelG && model != kModelI) return false;
    messages.clear();
    for (const QJsonValue& v : doc.object().value("messages").toArray()) {
        const QJsonObject o = v.toObject();
        if (!o.value("text").isString()) return false;
        messages.push_back({o.value("text").toString().toLatin1().toStdString(), o.value("send").toBool(true)});
    }
    return true;
}

int RunRemoteBuild(Context& c, const QStringList& args)
{
    const char* usage = "pelixctl remote build FILE [--compare OTHER] [--out LIST]";
    QCommandLineParser p;
    const QCommandLineOption compare("compare", "send only what differs from this configuration", "file");
    const QCommandLineOption out("out", "list file to write (default: standard output)", "file");
    p.addOptions({compare, out});
    if (!p.parse(QStringList{"build"} + args) || p.positionalArguments().size() != 1) return Usage(usage);
    ProgramState& st = *c.state;
    if (!LoadImage(st, p.positionalArguments().front())) return kFailed;
    if (st.Model() == kModelA) {
        PrintError("pelixctl: remote programming serves PELIX-G and PELIX-I");
        return kFailed;
    }
    const std::uint32_t now = DateTimeToUnix(NowDateTime());
    RemoteMessages messages;
    if (!p.isSet(compare)) {
        messages = RemoteBuildAll(st, std::string(), now);
    } else {
        const auto other = ReadFile(p.value(compare));
        if (!other) return kFailed;
        std::string error;
        const bool loaded = RemoteBuildCompare(st, std::string(), now, [&](ProgramState& s) {
            Tag_Cliente header = s.cliente;
            Tag_GlobalBuffer image;
            if (!ImageFromJsonText(*other, s.texts, header, image, error)) return false;
            s.cliente = header;
            s.image = image;
            return true;
        }, messages);
        if (!loaded) {
            PrintError("pelixctl: " + p.value(compare).toStdString() + ": " + error);
            return kFailed;
        }
    }
    return WriteOut(p.value(out), ListToJson(st.Model(), messages)) ? 0 : kFailed;
}

int RunRemoteSend(Context& c, const QStringList& args)
{
    const char* usage = "pelixctl remote send --to NUMBER LIST [--port N | --device PATH]";
    QCommandLineParser p;
    const QCommandLineOption to("to", "telephone number of the communicator to program", "number");
    LinkOptions link;
    p.addOption(to);
    link.Add(p);
    if (!p.parse(QStringList{"send"} + args) || p.positionalArguments().size() != 1) return Usage(usage);
    const QString number = p.value(to).trimmed();
    if (number.isEmpty() || number.size() > 35) return Usage(usage);
    ProgramState& st = *c.state;
    stRecPort rec;
    double timeout = kCharTimeout;
    if (!PreparePort(p, link, st, rec, timeout)) return Usage(usage);
    const QString listPath = p.positionalArguments().front();
    const auto text = ReadFile(listPath);
    if (!text) return kFailed;
    int model = 0;
    RemoteMessages messages;
    if (!ListFromJson(*text, model, messages)) {
        PrintError("pelixctl: " + listPath.toStdString() + " is not a list built by pelixctl remote build");
        return kFailed;
    }
    st.cliente.TipoCentrale = static_cast<std::uint8_t>(model);
    ReloadLanguage(st);
    stRecModemInfo info;
    LinkContext ctx(rec, info, st, c.feedback);
    ctx.charTimeout = timeout;
    // The list file is rewritten after every message, so an interrupted send
    // leaves in it exactly what remains to be sent.
    const auto keep = [&](const RemoteMessages& m) { WriteOut(listPath, ListToJson(model, m)); };
    const RemoteSendResult r = RemoteSend(ctx, number.toStdString(), messages, keep);
    keep(messages);
    if (r == RemoteSendResult::NotMotorola) {
        // The window says nothing here; on a terminal silence would read as success.
        PrintError("pelixctl: " + st.Text(236));
        return kFailed;
    }
    return r == RemoteSendResult::Sent ? 0 : kFailed;
}

}  // namespace

int RunDeviceRead(Context& c) { return RunRead(c); }
int RunDeviceWrite(Context& c) { return RunWrite(c); }
int RunSectionsCommand(Context& c) { return RunSections(c); }
int RunRecordsCommand(Context& c) { return RunRecords(c); }

int RunRemote(Context& c)
{
    QStringList args = c.args;
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    if (sub == u"build") return RunRemoteBuild(c, args);
    if (sub == u"send") return RunRemoteSend(c, args);
    return Usage("pelixctl remote build|send ...");
}

}  // namespace pelix::cli
