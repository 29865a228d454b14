// Times whole configuration writes and reads against the simulated devices and
// prints each beside the time the sequence itself dictates: the waits it asks
// for (T x k and the fixed ones) plus the character time-outs it must sit out,
// such as the message prompt that ends without CR. The ratio shows what our own
// code adds; the sequences are paced by their waits, so it should stay near 1.
//
//   bench_device [T in ms, default 100]
#include "link/devicecommands.h"
#include "model/datetime.h"
#include "model/imageinit.h"
#include "sim/device.h"
#include "sim/ptyserver.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace pelix;

namespace {

struct Scenario {
    const char* name;
    sim::Model model;
    std::uint8_t code;
    const char* release;
};

// A configuration with numbers, input texts and the options a device keeps.
void Fill(ProgramState& st)
{
    InitImage(st, st.image, false);
    Tag_GlobalBuffer& img = st.image;
    for (int i = 0; i < 8; ++i) img.NumTel[static_cast<std::size_t>(i)].Numero = "02123456" + std::to_string(10 + i);
    img.NumTel[0].Descrizione = "Office";
    for (int i = 0; i < 4; ++i) {
        img.Ingresso[static_cast<std::size_t>(i)].SMSAttiv = "Alarm on input " + std::to_string(i + 1);
        img.Ingresso[static_cast<std::size_t>(i)].SMSRipr = "Input " + std::to_string(i + 1) + " restored";
    }
    img.Opzioni.SMSDataPrimo = img.Opzioni.SMSOraPrimo = NowDateTime() + 1.0;
    img.ComDig.Numero1 = "0499998888";
    st.EventiAssegnati = CountOutputEvents(img);
}

bool Run(const Scenario& s, int t)
{
    sim::Device device(sim::DefaultState(s.model, sim::Module::Motorola, s.release), {});
    sim::PtyServer server(device);
    std::string error;
    if (!server.Open(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    server.Start();

    RecordingFeedback fb;
    fb.defaultAnswer = MsgAnswer::Yes;
    ProgramState st(fb);
    st.cliente.TipoCentrale = s.code;
    st.cliente.Rel_firmware = s.release;
    st.settings.TimeOut = t;
    st.texts.SetLanguageFolder(QCoreApplication::applicationDirPath() + QStringLiteral("/LANGUAGE/"));
    st.texts.LoadLanguage(QStringLiteral("English"), s.code == kModelG, fb);
    stRecPort port;
    port.device = server.SlavePath();
    stRecModemInfo info;
    LinkContext ctx(port, info, st, fb);
    Fill(st);

    bool ok = true;
    for (const bool write : {true, false}) {
        LinkTiming timing;
        ctx.timing = &timing;
        const auto start = std::chrono::steady_clock::now();
        ok = (write ? WriteDeviceCommand(ctx) : ReadDeviceCommand(ctx)) && ok;
        const double total =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double dictated = static_cast<double>(timing.waitedMs + timing.timeoutMs) / 1000.0;
        std::printf("%-22s %-5s total %7.2f s   dictated %7.2f s (waits %.2f, time-outs %.2f)   ratio %.3f%s\n",
                    s.name, write ? "write" : "read", total, dictated, timing.waitedMs / 1000.0,
                    timing.timeoutMs / 1000.0, dictated > 0 ? total / dictated : 0.0, ok ? "" : "   FAILED");
        std::fflush(stdout);
    }
    PortClose(port);
    server.Stop();
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int t = argc > 1 ? std::atoi(argv[1]) : 100;
    if (t <= 0) {
        std::fprintf(stderr, "usage: bench_device [T in ms]\n");
        return 2;
    }
    std::printf("T = %d ms\n", t);
    const Scenario scenarios[] = {
        {"PELIX-G (Motorola)", sim::Model::G, kModelG, "1.00"},
        {"PELIX-A family 1.1", sim::Model::A, kModelA, "1.12"},
    };
    bool ok = true;
    for (const Scenario& s : scenarios) ok = Run(s, t) && ok;
    return ok ? 0 : 1;
}
