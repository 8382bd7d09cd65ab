#pragma once
// verdimo-cli project dump | resave, and render.

namespace cli {

// argv[1] is "project". Returns the exit status.
int runProjectCommand(int argc, char** argv);
// argv[1] is "render".
int runRenderCommand(int argc, char** argv);
// argv[1] is "hydraulics".
int runHydraulicsCommand(int argc, char** argv);
// argv[1] is "coverage".
int runCoverageCommand(int argc, char** argv);
// argv[1] is "report".
int runReportCommand(int argc, char** argv);
// argv[1] is "print".
int runPrintCommand(int argc, char** argv);
// argv[1] is "network".
int runNetworkCommand(int argc, char** argv);
// argv[1] is "size-pipes".
int runSizePipesCommand(int argc, char** argv);
// argv[1] is "zone".
int runZoneCommand(int argc, char** argv);
// argv[1] is "layout".
int runLayoutCommand(int argc, char** argv);
int runRouteCommand(int argc, char** argv);
int runDesignCommand(int argc, char** argv);
int runEtoCommand(int argc, char** argv);

}  // namespace cli
