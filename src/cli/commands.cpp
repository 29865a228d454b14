// The table of pelixctl commands. A command group adds one line here and a
// file of its own.
#include "cli.h"

namespace pelix::cli {

int RunVersion(Context& ctx);
int RunCustomers(Context& ctx);
int RunIdentify(Context& ctx);
int RunDeviceRead(Context& ctx);
int RunDeviceWrite(Context& ctx);
int RunSectionsCommand(Context& ctx);
int RunRecordsCommand(Context& ctx);
int RunRemote(Context& ctx);

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands = {
        {"version", "print the version of pelixctl", RunVersion},
        {"customers", "list, show, export, import, delete and copy stored customers", RunCustomers},
        {"identify", "identify the GSM module of the attached device", RunIdentify},
        {"read", "read the attached device's configuration as JSON", RunDeviceRead},
        {"write", "write a configuration (JSON) into the attached device", RunDeviceWrite},
        {"sections", "print the PELIX-G or PELIX-I messages a configuration is stored as", RunSectionsCommand},
        {"records", "print the PELIX-A records a configuration is stored as", RunRecordsCommand},
        {"remote", "build or send remote-programming messages", RunRemote},
    };
    return commands;
}

int RunVersion(Context&)
{
    PrintLine("pelixctl 0.1");
    return 0;
}

}  // namespace pelix::cli
