// Saves one customer over and over, each time with a new generation number in
// every table, until it is killed. The crash test kills it half-way through a
// save and checks what is left.
//
//   save_loop DATA-FOLDER NAME [DATABASE-CONNECTION]
#include "db/customerdb.h"
#include "model/imageinit.h"

#include <QCoreApplication>

#include <cstdio>

namespace pelix::test {
void FillGeneration(Tag_GlobalBuffer& image, int generation);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) return 2;
    pelix::RecordingFeedback fb;
    fb.defaultAnswer = pelix::MsgAnswer::Yes;  // overwrite the customer each time
    pelix::ProgramState st(fb);
    if (argc > 3) st.settings.Database = QString::fromLocal8Bit(argv[3]);
    pelix::CustomerDatabase db(st);
    if (!db.SetTableLocations(QString::fromLocal8Bit(argv[1]))) return 1;
    for (int generation = 1;; ++generation) {
        st.cliente.TipoCentrale = pelix::kModelG;
        pelix::InitImage(st, st.image, true);
        st.cliente.Nome = argv[2];
        st.cliente.CodiceCliente = "0001";
        pelix::test::FillGeneration(st.image, generation);
        if (!db.SaveCustomer(std::to_string(generation))) {
            std::fprintf(stderr, "save failed: %s\n", fb.messages.empty() ? "" : fb.messages.back().text.c_str());
            return 1;
        }
        if (generation == 1) {
            std::printf("saving\n");
            std::fflush(stdout);
        }
    }
}
