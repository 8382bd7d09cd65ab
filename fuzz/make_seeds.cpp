// Writes the harnesses' seed inputs from the shipped files of the build's
// program folder: verdimo-fuzz-seeds OUT_DIR. Each harness gets a folder of
// its own name holding inputs in the form it reads.

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/partix_internal.h"
#include "document/settings_file.h"
#include "fuzz/fuzz_support.h"
#include "platform/folders.h"
#include "printing/print_layout.h"
#include "sections/connection_sets.h"
#include "sections/extra_elements.h"
#include "sections/section_list.h"
#include "startup/application.h"

namespace fs = std::filesystem;

namespace {

std::string gOut;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeSeed(const std::string& harness, const std::string& name, const std::string& bytes) {
  const fs::path dir = fs::path(gOut) / harness;
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

// A block as the project harness's first byte chooses it.
void writeBlockSeed(int which, const std::string& name, const TokenWriter& w) {
  writeSeed("project_blocks", name, std::string(1, static_cast<char>(which)) + w.text());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: verdimo-fuzz-seeds OUT_DIR\n");
    return 2;
  }
  gOut = argv[1];
  const fs::path program = fuzzing::programDir();
  fuzzing::startProgram();

  // The catalogue in plain bytes (the harness scrambles what it reads).
  std::string catalogue = readFile(program / "DataBase" / "MainPartix.dbc");
  partix::scramble(reinterpret_cast<uint8_t*>(catalogue.data()), catalogue.size(), 0);
  writeSeed("catalogue", "MainPartix.dbc", catalogue);

  // A price list over the first catalogue numbers.
  std::string prices;
  int n = 0;
  for (CElem* e = application().catalogue.head; e && n < 12; e = e->next, ++n)
    if (e->data) prices += std::string(e->data->catalogueNo) + "\r\n" + std::to_string(10 + n) + ".5\r\n";
  writeSeed("price_list", "prizes.db", prices);

  // The smallest element pictures.
  std::vector<fs::path> pictures;
  for (const auto& e : fs::directory_iterator(program / "DataBase"))
    if (e.path().extension() == ".jpg") pictures.push_back(e.path());
  std::sort(pictures.begin(), pictures.end(),
            [](const fs::path& a, const fs::path& b) { return fs::file_size(a) < fs::file_size(b); });
  for (size_t i = 0; i < pictures.size() && i < 6; ++i)
    writeSeed("jpeg", pictures[i].filename().string(), readFile(pictures[i]));

  // The shipped defaults.
  const std::string settings = readFile(program / "Defaults" / "wnd.ini");
  writeSeed("settings", "wnd.ini", settings);
  writeSeed("sections", "seq.dat", std::string(1, '\x01') + readFile(program / "Defaults" / "seq.dat"));
  writeSeed("connection_sets", "sets.zdb", readFile(program / "Defaults" / "sets.zdb"));
  for (const auto& e : fs::directory_iterator(program / "Gui"))
    if (e.path().extension() == ".sym") writeSeed("symbols", e.path().filename().string(), readFile(e.path()));

  // The sample project, as it is and with a small background picture.
  const fs::path sample = program / "Projekty" / "Ogrod_przykladowy.prj";
  const std::string sampleText = readFile(sample);
  writeSeed("project", "sample.prj", sampleText);
  writeSeed("project", "model_garden.prj", readFile(program / "Projekty" / "Ogrod_wzorcowy.prj"));
  writeSeed("token_stream", "sample.prj", std::string(1, '\x40') + std::string(64, '\x05') + sampleText);
  writeSeed("token_stream", "wnd.ini", std::string(1, '\x27') + std::string(39, '\x04') + settings);
  if (!openProject(sample.string()).ok) {
    std::fprintf(stderr, "the sample project does not open\n");
    return 1;
  }
  CGraphicPlane& doc = *application().document;

  // Every block of the sample project on its own.
  {
    TokenWriter extra, sections, sets, layout, settingsBlock;
    extraReportElements().writeProjectBlock(extra);
    sectionList().writeBlock(sections);
    application().sets->writeProjectBlock(sets, doc);
    printLayout().writeBlock(layout);
    writeSettingsBlock(settingsBlock, app().settings);
    writeBlockSeed(0, "extra.blk", extra);
    writeBlockSeed(2, "sections.blk", sections);
    writeBlockSeed(3, "sets.blk", sets);
    writeBlockSeed(4, "layout.blk", layout);
    writeBlockSeed(5, "settings.blk", settingsBlock);
    writeSeed("sections", "sections.blk", std::string(1, '\x00') + sections.text());
  }

  QImage picture(24, 16, QImage::Format_RGB32);
  picture.fill(QColor(90, 160, 70));
  const std::string pictureName = "seed-background.png";
  picture.save(QString::fromStdString(platform::joinPath(platform::userDataDir(), pictureName)), "PNG");
  doc.hasBackground = 1;
  doc.backgroundFile = doc.backgroundTempFile = pictureName;
  const std::string withBackground = fuzzing::scratchDir() + "/with-background.prj";
  if (!saveOpenProject(withBackground).ok) {
    std::fprintf(stderr, "the sample project cannot be saved\n");
    return 1;
  }
  writeSeed("project", "sample-with-background.prj", readFile(withBackground));
  closeProject();
  return 0;
}
