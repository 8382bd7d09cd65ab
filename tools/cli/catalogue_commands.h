#pragma once
// verdimo-cli catalogue dump | summary

namespace cli {

// argv[1] is "catalogue". Returns the exit status.
int runCatalogueCommand(int argc, char** argv);

}  // namespace cli
