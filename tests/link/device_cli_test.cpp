// pelixctl read, write, sections, records and remote against pelixsim, both as
// programs, the way a script would use them.
#include "devicefixture.h"

#include "link/codec/records.h"
#include "model/imagejson.h"
#include "support/testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace pelix;
using namespace pelix::test;

namespace {

const QString kBin = QStringLiteral(PELIX_PROGRAM_DIR);

struct Simulator {
    Simulator(const TempFolder& tmp, const QStringList& options)
    {
        proc.setProgram(kBin + "/pelixsim");
        proc.setArguments(QStringList{"--link", tmp.file("port"), "--state", tmp.file("state.json")} + options);
        proc.start();
        started = proc.waitForStarted(10000) && proc.waitForReadyRead(10000) &&
                  proc.readAllStandardOutput().startsWith("/dev/");
    }
    ~Simulator()
    {
        proc.terminate();
        if (!proc.waitForFinished(5000)) proc.kill();
        proc.waitForFinished(5000);
    }
    QJsonObject State(const TempFolder& tmp) const { return QJsonDocument::fromJson(tmp.read("state.json")).object(); }
    QProcess proc;
    bool started = false;
};

struct CtlRun {
    int exitCode = -1;
    QString out, err;
};

// Runs pelixctl with settings of its own (T of 10 ms) and a short character
// time-out for the commands that talk to the device.
CtlRun Ctl(const TempFolder& tmp, QStringList args, bool device = false)
{
    tmp.write("config/Pelix.ini", "[Miscellaneous]\nTimeOut=10\nLanguage=English\n");
    if (device) args << "--device" << tmp.file("port") << "--char-timeout" << "0.3";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", tmp.file("config"));
    env.insert("HOME", tmp.path());
    p.setProcessEnvironment(env);
    p.start(kBin + "/pelixctl", QStringList{"--program-folder", kBin} + args);
    CtlRun r;
    if (!p.waitForFinished(120000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// A rich configuration of the model, saved as JSON in the folder.
Tag_GlobalBuffer SaveRich(const TempFolder& tmp, std::uint8_t model, const QString& name, const char* release = "1.00")
{
    LinkBench b(model);
    b.state.cliente.Rel_firmware = release;
    if (model == kModelA) FillRichImageA(b.state, true);
    else FillRichImage(b.state);
    tmp.write(name, ImageToJsonText(b.state.cliente, b.state.image));
    return b.state.image;
}

TEST(DeviceCommandLine, SectionsAndRecordsPrintOneMessagePerLine)
{
    TempFolder tmp;
    SaveRich(tmp, kModelG, "g.json");
    const CtlRun s = Ctl(tmp, {"sections", "--model", "G", tmp.file("g.json")});
    ASSERT_EQ(s.exitCode, 0) << s.err.toStdString();
    const QStringList lines = s.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 25);
    EXPECT_TRUE(lines[0].startsWith("PX1 O1=H;M:GATE,1;03-05,030;")) << lines[0].toStdString();
    EXPECT_EQ(lines[6], "PX7 Alarm on input 1");
    EXPECT_EQ(lines[24], "PX25");

    const Tag_GlobalBuffer a = SaveRich(tmp, kModelA, "a.json", "1.12");
    const CtlRun r = Ctl(tmp, {"records", "--release", "1.12", tmp.file("a.json")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList records = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(records.size(), 14);
    EXPECT_EQ(records[1].toStdString(), "3 " + BuildRecord(a, 1, 1.12));

    EXPECT_EQ(Ctl(tmp, {"records", "--release", "2.0", tmp.file("a.json")}).exitCode, 2);
    EXPECT_EQ(Ctl(tmp, {"sections", "--model", "G", tmp.file("missing.json")}).exitCode, 1);
}

TEST(DeviceCommandLine, WriteThenReadAPelixI)
{
    TempFolder tmp;
    Simulator sim(tmp, {"--model", "I"});
    ASSERT_TRUE(sim.started);
    LinkBench rich(kModelI);
    FillRichImage(rich.state);
    // One input text is enough here: every message costs a sat-out prompt.
    for (int i = 1; i < kInputs; ++i) rich.state.image.Ingresso[static_cast<std::size_t>(i)].SMSAttiv.clear();
    for (auto& in : rich.state.image.Ingresso) in.SMSRipr.clear();
    const Tag_GlobalBuffer written = rich.state.image;
    tmp.write("i.json", ImageToJsonText(rich.state.cliente, written));
    const CtlRun w = Ctl(tmp, {"write", tmp.file("i.json")}, true);
    ASSERT_EQ(w.exitCode, 0) << w.err.toStdString();
    const CtlRun r = Ctl(tmp, {"read", "--model", "I", "--out", tmp.file("back.json")}, true);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    LinkBench b(kModelI);
    Tag_Cliente header = b.state.cliente;
    Tag_GlobalBuffer back;
    std::string error;
    ASSERT_TRUE(ImageFromJsonText(tmp.read("back.json"), b.state.texts, header, back, error)) << error;
    EXPECT_EQ(header.TipoCentrale, kModelI);
    EXPECT_TRUE(back.Uscite == written.Uscite);
    EXPECT_TRUE(back.Ingresso == written.Ingresso);
    EXPECT_EQ(back.NumTel[94].Numero.str(), "5559494");
    EXPECT_EQ(back.Opzioni.CodUscSms.str(), "4321");
}

TEST(DeviceCommandLine, FailuresPrintTheLanguageTextAndExitNonZero)
{
    TempFolder tmp;
    Simulator sim(tmp, {"--model", "G", "--error", "AT"});
    ASSERT_TRUE(sim.started);
    const CtlRun r = Ctl(tmp, {"read", "--model", "G", "--out", tmp.file("back.json")}, true);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("The device does not answer.")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(tmp.file("back.json")));

    // PELIX-A: an output event without output stops the write unless defaults are assigned.
    TempFolder a;
    Simulator simA(a, {"--model", "A", "--release", "1.05"});
    ASSERT_TRUE(simA.started);
    LinkBench b(kModelA);
    b.state.cliente.Rel_firmware = "1.05";
    FillRichImageA(b.state, false);
    b.state.image.Uscite[1].FG = 0;
    a.write("a.json", ImageToJsonText(b.state.cliente, b.state.image));
    const CtlRun stop = Ctl(a, {"write", a.file("a.json")}, true);
    EXPECT_EQ(stop.exitCode, 1);
    EXPECT_TRUE(stop.err.contains("FG")) << stop.err.toStdString();
}

TEST(DeviceCommandLine, RemoteSendRewritesTheListWithWhatRemains)
{
    TempFolder tmp;
    SaveRich(tmp, kModelI, "now.json");
    LinkBench b(kModelI);
    FillRichImage(b.state);
    b.state.image.NumTel[0].Numero = "000";
    b.state.image.NumTel[1].Numero = "111";
    tmp.write("before.json", ImageToJsonText(b.state.cliente, b.state.image));
    const CtlRun build = Ctl(tmp, {"remote", "build", tmp.file("now.json"), "--compare", tmp.file("before.json"),
                                   "--out", tmp.file("list.json")});
    ASSERT_EQ(build.exitCode, 0) << build.err.toStdString();
    const auto messages = [&] {
        return QJsonDocument::fromJson(tmp.read("list.json")).object().value("messages").toArray();
    };
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages()[0].toObject().value("text").toString(), "#*v025*01,\"0212345678\",,\"Office\"");

    // The second message is refused: the list keeps it, and only it, to send.
    {
        Simulator sim(tmp, {"--model", "G", "--refuse", "#*v002*02"});
        ASSERT_TRUE(sim.started);
        const CtlRun send = Ctl(tmp, {"remote", "send", "--to", "+393330001111", tmp.file("list.json")}, true);
        EXPECT_EQ(send.exitCode, 1);
        EXPECT_TRUE(send.err.contains("did not complete")) << send.err.toStdString();
        EXPECT_FALSE(messages()[0].toObject().value("send").toBool());
        EXPECT_TRUE(messages()[1].toObject().value("send").toBool());
    }
    Simulator sim(tmp, {"--model", "G"});
    ASSERT_TRUE(sim.started);
    const CtlRun again = Ctl(tmp, {"remote", "send", "--to", "+393330001111", tmp.file("list.json")}, true);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_FALSE(messages()[1].toObject().value("send").toBool());
    const QJsonArray sent = sim.State(tmp).value("sent").toArray();
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.last().toObject().value("text").toString(), "#*v002*02");
}

}  // namespace
