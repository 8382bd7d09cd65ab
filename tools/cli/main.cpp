// verdimo-cli: the Verdimo model without a window, for scripts and checks.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/cli/catalogue_commands.h"
#include "tools/cli/project_commands.h"
#include "tools/cli/cli_options.h"

namespace {

const char kUsage[] =
    "usage: verdimo-cli COMMAND ...\n"
    "\n"
    "  catalogue dump [--catalogue FILE] [--user-data DIR] [--multiplier M]\n"
    "      every catalogue element and its record as JSON\n"
    "  catalogue summary [--catalogue FILE] [--user-data DIR]\n"
    "      the number of elements of each kind\n"
    "  project dump PROJECT\n"
    "      the document, its tables and every terrain primitive and object as JSON\n"
    "  project resave IN OUT\n"
    "      read a project and write it back\n"
    "  render PROJECT -o OUT.png [--zoom Z] [--size WxH]\n"
    "      the plan as the plan view paints it\n"
    "  hydraulics PROJECT\n"
    "      the water source, every object's section, mark and flow, and the section summaries as JSON\n"
    "  report summary|sections|info PROJECT -o OUT [--format html|csv|pdf] [--vat R] [--multiplier M]\n"
    "      the summary estimate, the estimate by sections or the project information\n"
    "      (HTML by default; CSV rows of the estimates; PDF of any report)\n"
    "  print PROJECT -o OUT.pdf [--scale N] [--dpi D] [--background on|off]\n"
    "      the project's sheet with its title block at 1:N as a one-page PDF of its paper\n"
    "\n"
    "Common options: --home DIR (program folder), --user-data DIR, --catalogue FILE.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  try {
    std::string command = argv[1];
    if (command == "catalogue") return cli::runCatalogueCommand(argc, argv);
    if (command == "project") return cli::runProjectCommand(argc, argv);
    if (command == "render") return cli::runRenderCommand(argc, argv);
    if (command == "hydraulics") return cli::runHydraulicsCommand(argc, argv);
    if (command == "report") return cli::runReportCommand(argc, argv);
    if (command == "print") return cli::runPrintCommand(argc, argv);
    throw cli::UsageError("unknown command \"" + command + "\"");
  } catch (const cli::UsageError& e) {
    std::fprintf(stderr, "verdimo-cli: %s\n\n%s", e.what(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "verdimo-cli: %s\n", e.what());
    return 1;
  }
}
