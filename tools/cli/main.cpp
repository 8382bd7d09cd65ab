// verdimo-cli: the Verdimo model without a window, for scripts and checks.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/cli/catalogue_commands.h"
#include "tools/cli/project_commands.h"
#include "tools/cli/cli_options.h"

namespace {

// A command and its help: the first word is the command's name.
struct CommandHelp {
  const char* name;
  const char* text;
};

const CommandHelp kCommands[] = {
    {"catalogue",
     "  catalogue dump [--catalogue FILE] [--user-data DIR] [--multiplier M]\n"
     "      every catalogue element and its record as JSON\n"
     "  catalogue summary [--catalogue FILE] [--user-data DIR]\n"
     "      the number of elements of each kind\n"},
    {"project",
     "  project dump PROJECT\n"
     "      the document, its tables and every terrain primitive and object as JSON\n"
     "  project resave IN OUT\n"
     "      read a project and write it back\n"},
    {"render",
     "  render PROJECT -o OUT.png [--zoom Z] [--size WxH] [--coverage [--section N] [--cell M] [--pressure P]]\n"
     "         [--network]\n"
     "      the plan as the plan view paints it; with --coverage over the precipitation map\n"
     "      of the system or of section N, with its legend; with --network the pipes in the\n"
     "      colour of their water's velocity and the heads in that of their pressure\n"},
    {"hydraulics",
     "  hydraulics PROJECT\n"
     "      the water source, every object's section, mark and flow, and the section summaries as JSON\n"},
    {"coverage",
     "  coverage PROJECT [--cell M] [--section N] [--depth MM] [--runs K] [--pressure P]\n"
     "      the watering analysis as JSON: precipitation, uniformity (CU, DU_lq) and run times of\n"
     "      the system and of each section (N 0-based), on cells of M metres (0.25), for MM mm a\n"
     "      week (25) in K runs (3); heads the pipes feed work at the pressure the network gives\n"
     "      them (P network, the default) or at the one they were chosen at (P source)\n"},
    {"network",
     "  network PROJECT [--section N] [--default-diameter MM]\n"
     "      the pipe network as JSON: pressure and flow at every head, flow, velocity and loss in\n"
     "      every pipe segment of each section (N 0-based) solved with only its heads open; pipes\n"
     "      without a type taken at MM inner diameter (25)\n"},
    {"size-pipes",
     "  size-pipes PROJECT -o OUT.prj [--section N] [--default-diameter MM]\n"
     "      chooses for every pipe segment of the sections (or of section N) the cheapest catalogue\n"
     "      pipe keeping the water at 1.5 m/s at most and the heads within 20 % of each other, and\n"
     "      writes the project so sized; prints the pipes' cost before and after as JSON\n"},
    {"layout",
     "  layout PROJECT --area N --body CATNO [--nozzle CATNO | --nozzle-kind fixed|adjustable|rotary|strip]\n"
     "         [--pattern square|triangular|best] [--spacing S] [--pressure ATM] [--throw-over-hard] -o OUT.prj\n"
     "      lays sprinklers of body CATNO out in terrain primitive N (as project dump numbers them):\n"
     "      a rotary body with its own nozzle rows, a static body with the series of nozzle CATNO or\n"
     "      every nozzle of kind K (strips where the area is narrower than the throws), at S of the\n"
     "      throw (1, head to head) and ATM (the source's); --throw-over-hard lets water fall on\n"
     "      buildings, paving and water drawn over the area; writes the project and prints heads,\n"
     "      flowM3H, cu, duLq, thrownOutsidePct and targetReached as JSON\n"},
    {"route",
     "  route PROJECT [--section N] [--valve CATNO] [--pipes CATNO,...] -o OUT.prj\n"
     "      pipes the heads no pipe serves yet: for each section (or section N, 0-based) a valve\n"
     "      CATNO (the catalogue's first that carries the section) in a valve box near its heads\n"
     "      toward the source, laterals to every head along the shortest tree round buildings and\n"
     "      water, a main from the source to every box; then sizes the pipes (from the types of\n"
     "      --pipes, or all), writes the project\n"
     "      and prints the sections' heads, flow and pressures, the pipes' lengths by type and\n"
     "      the estimate's net total as JSON\n"},
    {"design",
     "  design PROJECT --areas N,M,... --body CATNO [--nozzle CATNO | --nozzle-kind K]\n"
     "         [--pattern P] [--spacing S] [--pressure ATM] [--capacity-share F] [--valve CATNO]\n"
     "         [--pipes CATNO,...] -o OUT.prj\n"
     "      the whole design from areas: heads laid out in terrain primitives N, M, ... (as in\n"
     "      layout), the plan's heads divided into sections (as in zone), pipes and valves routed\n"
     "      and sized (as in route); a step that fails leaves the project as it was; prints each\n"
     "      section's uniformity, heads, flow and pressures, the pipes by type and the estimate's\n"
     "      net total as JSON\n"},
    {"eto",
     "  eto --lat DEG --alt M --tmax C --tmin C (--rh-max % --rh-min % | --ea KPA) --wind MS\n"
     "      [--wind-height M] (--sunshine H | --rs MJ) (--day N | --month M [--tmean-prev C [--tmean-next C]])\n"
     "  eto --lat DEG --lon DEG --lz DEG --alt M --t C --rh % --wind MS [--wind-height M] --rs MJ\n"
     "      --day N --hour H\n"
     "      reference evapotranspiration by FAO-56 Penman-Monteith, daily or monthly (mm/day) or\n"
     "      hourly (mm/h; H the middle of the hour, --lon and --lz in degrees west of Greenwich,\n"
     "      --rs per hour), with every intermediate (delta, gamma, es, ea, ra, rso, rns, rnl, rn, g)\n"
     "      as JSON\n"},
    {"zone",
     "  zone PROJECT [--capacity-share F] -o OUT.prj\n"
     "      divides the heads into sections: each within F (0.9) of the source's capacity, of\n"
     "      neighbouring heads of one family (rotors, sprays, micro-sprinklers, drip lines), as\n"
     "      few as those rules allow; writes the project and prints the sections as JSON\n"},
    {"report",
     "  report summary|sections|info PROJECT -o OUT [--format html|csv|pdf] [--vat R] [--multiplier M]\n"
     "      the summary estimate, the estimate by sections or the project information\n"
     "      (HTML by default; CSV rows of the estimates; PDF of any report)\n"},
    {"print",
     "  print PROJECT -o OUT.pdf [--scale N] [--dpi D] [--background on|off]\n"
     "      the project's sheet with its title block at 1:N as a one-page PDF of its paper\n"},
};

const char kCommonOptions[] =
    "\n"
    "Common options: --home DIR (program folder), --user-data DIR, --catalogue FILE.\n"
    "--help after a command tells about that command; --version prints the version.\n"
    "Exit status: 0 success, 1 failure, 2 wrong command line. See verdimo-cli(1).\n";

std::string usage(const char* only = nullptr) {
  std::string text = "usage: verdimo-cli COMMAND ...\n\n";
  for (const CommandHelp& c : kCommands)
    if (!only || !std::strcmp(only, c.name)) text += c.text;
  return text + kCommonOptions;
}

bool isHelp(const char* arg) { return !std::strcmp(arg, "--help") || !std::strcmp(arg, "-h"); }

const CommandHelp* findCommand(const char* name) {
  for (const CommandHelp& c : kCommands)
    if (!std::strcmp(name, c.name)) return &c;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(usage().c_str(), stderr);
    return 2;
  }
  if (isHelp(argv[1])) {
    std::fputs(usage().c_str(), stdout);
    return 0;
  }
  if (!std::strcmp(argv[1], "--version")) {
    std::printf("verdimo-cli %s\n", VERDIMO_VERSION);
    return 0;
  }
  // COMMAND --help (anywhere among its arguments) tells about the command.
  if (const CommandHelp* c = findCommand(argv[1])) {
    for (int i = 2; i < argc; ++i) {
      if (isHelp(argv[i])) {
        std::fputs(usage(c->name).c_str(), stdout);
        return 0;
      }
    }
  }
  try {
    std::string command = argv[1];
    if (command == "catalogue") return cli::runCatalogueCommand(argc, argv);
    if (command == "project") return cli::runProjectCommand(argc, argv);
    if (command == "render") return cli::runRenderCommand(argc, argv);
    if (command == "hydraulics") return cli::runHydraulicsCommand(argc, argv);
    if (command == "coverage") return cli::runCoverageCommand(argc, argv);
    if (command == "report") return cli::runReportCommand(argc, argv);
    if (command == "print") return cli::runPrintCommand(argc, argv);
    if (command == "network") return cli::runNetworkCommand(argc, argv);
    if (command == "size-pipes") return cli::runSizePipesCommand(argc, argv);
    if (command == "zone") return cli::runZoneCommand(argc, argv);
    if (command == "layout") return cli::runLayoutCommand(argc, argv);
    if (command == "route") return cli::runRouteCommand(argc, argv);
    if (command == "design") return cli::runDesignCommand(argc, argv);
    if (command == "eto") return cli::runEtoCommand(argc, argv);
    throw cli::UsageError("unknown command \"" + command + "\"");
  } catch (const cli::UsageError& e) {
    const CommandHelp* c = findCommand(argv[1]);
    std::fprintf(stderr, "verdimo-cli: %s\n\n%s", e.what(), usage(c ? c->name : nullptr).c_str());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "verdimo-cli: %s\n", e.what());
    return 1;
  }
}
