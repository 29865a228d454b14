// The table of pelixctl commands. A command group adds one line here and a
// file of its own.
#include "cli.h"

namespace pelix::cli {

int RunVersion(Context& ctx);
int RunCustomers(Context& ctx);
int RunIdentify(Context& ctx);

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands = {
        {"version", "print the version of pelixctl", RunVersion},
        {"customers", "list, show, export, import and delete stored customers", RunCustomers},
        {"identify", "identify the GSM module of the attached device", RunIdentify},
    };
    return commands;
}

int RunVersion(Context&)
{
    PrintLine("pelixctl 0.1");
    return 0;
}

}  // namespace pelix::cli
