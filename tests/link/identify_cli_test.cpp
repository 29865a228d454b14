// pelixctl identify against pelixsim, both as programs: the simulator on a
// pseudo-terminal behind a symbolic link, the tool opening that link.
#include "support/testsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace pelix::test;

namespace {

const QString kBin = QStringLiteral(PELIX_PROGRAM_DIR);

struct Simulator {
    Simulator(const TempFolder& tmp, const QStringList& options)
    {
        proc.setProgram(kBin + "/pelixsim");
        proc.setArguments(QStringList{"--link", tmp.file("port"), "--state", tmp.file("state.json")} + options);
        proc.start();
        // The simulator prints its terminal once the link is in place.
        started = proc.waitForStarted(10000) && proc.waitForReadyRead(10000) &&
                  proc.readAllStandardOutput().startsWith("/dev/");
    }
    ~Simulator()
    {
        proc.terminate();
        if (!proc.waitForFinished(5000)) proc.kill();
        proc.waitForFinished(5000);
    }
    QProcess proc;
    bool started = false;
};

struct CtlRun {
    int exitCode = -1;
    QString out, err;
    qint64 ms = 0;
};

CtlRun Identify(const TempFolder& tmp, const QString& model)
{
    // Settings of our own: T of 10 ms instead of the user's.
    tmp.write("config/Pelix.ini", "[Miscellaneous]\nTimeOut=10\nLanguage=English\n");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", tmp.file("config"));
    env.insert("HOME", tmp.path());
    p.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    p.start(kBin + "/pelixctl", {"--program-folder", kBin, "identify", "--model", model, "--device", tmp.file("port")});
    CtlRun r;
    if (!p.waitForFinished(60000)) return r;
    r.ms = timer.elapsed();
    r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

}  // namespace

TEST(IdentifyCommand, PrintsTheModuleOfEachModel)
{
    struct Case {
        QStringList sim;
        QString model;
        QStringList lines;
    } cases[] = {
        {{"--model", "G"}, "G", {"Manufacturer: MOTOROLA", "Model: G24 EU", "GSM operator: PELIX NET"}},
        {{"--model", "I", "--module", "ericsson"}, "I", {"Manufacturer: ERICSSON", "Model: GM47 EU"}},
        {{"--model", "A"}, "A", {"Firmware release: 1.05", "Manufacturer: PELIX GSM", "Model: PX35",
                                 "SIM card: 89390100001234567890"}},
    };
    for (const auto& c : cases) {
        TempFolder tmp;
        Simulator sim(tmp, c.sim);
        ASSERT_TRUE(sim.started) << c.sim.join(' ').toStdString();
        const CtlRun r = Identify(tmp, c.model);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        for (const QString& line : c.lines)
            EXPECT_TRUE(r.out.contains(line)) << line.toStdString() << " in\n" << r.out.toStdString();
    }
}

TEST(IdentifyCommand, SilentDeviceFailsWithTheNoAnswerText)
{
    TempFolder tmp;
    Simulator sim(tmp, {"--model", "I", "--silent"});
    ASSERT_TRUE(sim.started);
    const CtlRun r = Identify(tmp, "I");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("The device does not answer.")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    // One character wait of 2 seconds decides it; allow for a loaded machine.
    EXPECT_GE(r.ms, 2000);
    EXPECT_LT(r.ms, 15000);
}
