#include "startup/application.h"

#include <filesystem>

#include "document/catalogue_lookup.h"
#include "document/registry_values.h"
#include "document/settings_file.h"
#include "platform/file_sys.h"
#include "platform/folders.h"
#include "platform/textcodec.h"
#include "printing/print_job.h"
#include "printing/print_layout.h"
#include "sections/extra_elements.h"
#include "sections/section_list.h"

namespace fs = std::filesystem;

namespace {

std::string pl(const char* utf8) { return platform::utf8ToCp1250(utf8); }

BlockRead fromStatus(bool ok) { return ok ? BlockRead::ok : BlockRead::damaged; }

template <typename Status>
BlockRead fromStatus(Status s) {
  switch (s) {
    case Status::ok: return BlockRead::ok;
    case Status::missingElement: return BlockRead::missingElement;
    default: return BlockRead::damaged;
  }
}

const std::string& userDataFolder() { return platform::fileSys().dirPath(platform::UserDataDir); }

// Sections, print layout, extra elements and sets start afresh for every
// project that is made or opened.
void resetProjectTables() {
  Application& a = application();
  sectionList().reset();
  printLayout().reset();
  extraReportElements().clear();
  auto sets = std::make_unique<CDBSets>();
  sets->load(userDataFolder(), a.catalogue);
  a.sets = std::move(sets);
}

// Everything outside the document that opening a project changes, kept so
// that a file which does not read leaves the open project as it was.
struct KeptTables {
  CSectionList sections;
  PrintLayout layout;
  PaperSize customPaper;
  CExtraReportElements extras;
  std::unique_ptr<CDBSets> sets;
  AppSettings settings;
  float currentSourcePressure = 0;
  CGraphicPlane* document = nullptr;
};

KeptTables keepTables() {
  Application& a = application();
  return {sectionList(), printLayout(), paperTable()[kPaperCustom], extraReportElements(), std::move(a.sets),
          app().settings, app().currentSourcePressure, app().document};
}

void restoreTables(KeptTables& kept) {
  Application& a = application();
  sectionList() = kept.sections;
  printLayout() = kept.layout;
  paperTable()[kPaperCustom] = kept.customPaper;
  extraReportElements() = kept.extras;
  a.sets = std::move(kept.sets);
  setConnectionSetLookup(a.sets.get());
  app().settings = kept.settings;
  app().currentSourcePressure = kept.currentSourcePressure;
  app().document = kept.document;
}

// A new document's company block and author come from the settings.
void takeCompanyFromSettings(CGraphicPlane& doc, const AppSettings& s) {
  doc.companyName = s.companyName;
  doc.companyAddress = s.companyAddress;
  doc.companyPhone = s.companyPhone;
  doc.companyEmail = s.companyEmail;
  doc.companyWww = s.companyWww;
  doc.companyLogo = s.companyLogoFile;
  doc.author = s.authorName;
}

}  // namespace

Application& application() {
  static Application a;
  return a;
}

bool provisionUserFolders() {
  const platform::CFileSys& dirs = platform::fileSys();
  const std::string data = dirs.dirPath(platform::UserDataDir);
  const std::string defaults = platform::joinPath(platform::programDir(), "Defaults");
  std::error_code ec;
  fs::create_directories(data, ec);
  if (ec) return false;
  for (const char* name : {"wnd.ini", "seq.dat", "sets.zdb"}) {
    const fs::path target = fs::path(data) / name;
    const fs::path source = fs::path(defaults) / name;
    if (!fs::exists(target, ec) && fs::exists(source, ec)) fs::copy_file(source, target, ec);
  }
  fs::create_directories(dirs.dirPath(platform::UserProjectsDir), ec);
  return true;
}

StartupResult startUp(const StartupOptions& options) {
  Application& a = application();
  AppState& state = app();
  printLayout().reset();
  // The folders are resolved now, as the program starts.
  platform::CFileSys& dirs = platform::fileSys();
  dirs = platform::CFileSys();
  provisionUserFolders();
  loadRegistryValues(state.settings);

  if (sectionList().loadFile(dirs.filePath(platform::UserDataDir, "seq.dat")) != 0) return {false, pl("Nie załadowano pliku z sekcjami."), pl("Błąd krytyczny.")};
  state.projectUntitled = 0;
  state.projectOpen = 0;
  if (loadSettings(state.settings, dirs.dirPath(platform::UserDataDir)) != 0)
    return {false, pl("Nie załadowano pliku z ustawieniami."), pl("Błąd krytyczny.")};

  a.catalogueFile = options.catalogueFile.empty() ? dirs.filePath(platform::DataBaseDir, "MainPartix.dbc")
                                                  : fs::absolute(options.catalogueFile).string();
  a.catalogueDir = fs::path(a.catalogueFile).parent_path().string();
  a.catalogue.fileName = a.catalogueFile.c_str();
  forgetElementIndex();
  a.catalogue.LoadDB();
  if (a.catalogue.count == 0) return {false, pl("Brak Bazy danych !!!"), "Info!!"};
  UpdatePrizeMulFactor(state.settings.priceMultiplier);
  state.catalogue = &a.catalogue;

  a.sets = std::make_unique<CDBSets>();
  a.sets->load(dirs.dirPath(platform::UserDataDir), a.catalogue);
  ImgDir = a.catalogueDir.c_str();
  a.started = true;
  return {};
}

void shutDown() {
  Application& a = application();
  closeProject();
  a.sets.reset();
  if (a.catalogue.count != 0 && a.catalogue.head) a.catalogue.head->FreeAll();
  a.catalogue.head = a.catalogue.tail = nullptr;
  a.catalogue.count = 0;
  forgetElementIndex();
  app().catalogue = nullptr;
  a.started = false;
}

ProjectIo projectIo(CGraphicPlane& doc) {
  Application& a = application();
  ProjectIo io{doc, a.catalogue, app().settings, {}, userDataFolder()};
  ProjectBlocks& b = io.blocks;
  CPartix& cat = a.catalogue;
  b.writeExtraElements = [](TokenWriter& w) { extraReportElements().writeProjectBlock(w); };
  b.readExtraElements = [&cat](TokenReader& r) { return fromStatus(extraReportElements().readProjectBlock(r, cat)); };
  b.readOldExtraElements = [&cat](TokenReader& r) {
    return fromStatus(extraReportElements().readOldProjectBlock(r, cat));
  };
  b.writeSections = [](TokenWriter& w) { sectionList().writeBlock(w); };
  b.readSections = [](TokenReader& r) { return fromStatus(sectionList().readBlock(r)); };
  b.writePrintLayout = [](TokenWriter& w) { printLayout().writeBlock(w); };
  b.readPrintLayout = [](TokenReader& r) { return fromStatus(printLayout().readBlock(r)); };
  b.layoutMargins = [] { return printLayout().margins(); };
  b.setLayoutMargins = [](const DefaultMargins& m) { printLayout().setMargins(m); };
  if (a.sets) {
    CDBSets* sets = a.sets.get();
    b.writeSets = [sets, &doc](TokenWriter& w) { sets->writeProjectBlock(w, doc); };
    b.readSets = [sets, &cat](TokenReader& r) { return fromStatus(sets->readProjectBlock(r, cat)); };
    b.setKey = [sets](uint32_t stored, bool oldVersion) -> uint32_t {
      // An old file keeps an index into the collection where a key is below 4096.
      if (oldVersion) return stored < 4096 ? sets->keyFromOldIndex(stored) : (stored | CDBSets::kProjectBit);
      return CDBSets::projectKey(stored);
    };
  }
  return io;
}

void newProject() {
  Application& a = application();
  a.document.reset();
  a.background.reset();
  resetProjectTables();
  // "wnd.ini" again: what an opened project's settings block changed for the
  // run is taken back (a file that cannot be read keeps the values in use).
  loadSettings(app().settings, userDataFolder());
  printLayout().resetForNewProject(app().settings.defaultMargins);
  a.document = std::make_unique<CGraphicPlane>();
  takeCompanyFromSettings(*a.document, app().settings);
  app().projectOpen = 1;
  app().projectUntitled = 1;
  a.autosave.setInterval(app().settings.autosaveMinutes);
  a.autosave.start();
}

ProjectResult openProject(const std::string& path) {
  Application& a = application();
  // The file is read into fresh tables and a fresh document; the open project
  // is released only when the file has read.
  KeptTables kept = keepTables();
  resetProjectTables();
  auto doc = std::make_unique<CGraphicPlane>();
  // The objects read take the drawing scale and pressure of their document.
  app().document = doc.get();
  ProjectIo io = projectIo(*doc);
  ProjectResult r = loadProject(io, path);
  if (!r.ok) {
    doc.reset();
    restoreTables(kept);
    return r;
  }
  sectionList().refreshFromObjects(*doc);
  // The picture the project carries sets its drawing scale; one that cannot
  // be read leaves the plan at 29 plan units per centimetre.
  std::shared_ptr<const platform::Image> background;
  if (doc->hasBackground) {
    auto image = std::make_shared<platform::Image>(loadBackgroundImage(*doc));
    if (image->width > 0 && image->height > 0) background = std::move(image);
  }
  doc->pixelsPerCm = background ? 28.0f : 29.0f;
  doc->rescaleSprinklers();
  a.background = std::move(background);
  a.document = std::move(doc);
  app().projectOpen = 1;
  app().projectUntitled = 0;
  app().projectPath = path;
  a.autosave.setInterval(app().settings.autosaveMinutes);
  a.autosave.start();
  return r;
}

ProjectResult saveOpenProject(const std::string& path) {
  Application& a = application();
  if (!a.document) return {false, pl("Brak otwartego projektu."), "Info!!"};
  ProjectIo io = projectIo(*a.document);
  ProjectResult r = saveProject(io, path);
  if (r.ok) {
    app().projectPath = path;
    app().projectUntitled = 0;
  }
  return r;
}

void closeProject() {
  Application& a = application();
  a.autosave.stop();
  a.document.reset();
  a.background.reset();
  if (a.started) resetProjectTables();
  app().projectOpen = 0;
}
