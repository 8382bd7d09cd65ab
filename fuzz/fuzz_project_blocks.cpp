// The project's own blocks, each on its own so that mutations reach every
// field: extra report elements (both forms), the section table, the
// connection sets the project uses, the print layout and the settings. The
// first byte chooses the block; what reads is written and read once more.

#include <cstdint>
#include <string_view>

#include "document/settings_file.h"
#include "fuzz/fuzz_support.h"
#include "printing/print_layout.h"
#include "sections/connection_sets.h"
#include "sections/extra_elements.h"
#include "sections/section_list.h"
#include "startup/application.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::startProgram();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TokenReader in(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  in.setMagnitudeLimit(1.0e7);
  CPartix& catalogue = application().catalogue;
  TokenWriter out;
  switch (data[0] % 6) {
    case 0: {
      CExtraReportElements extra;
      if (extra.readProjectBlock(in, catalogue) != CExtraReportElements::ProjectStatus::ok) break;
      extra.resolve(catalogue);
      extra.onSectionRemoved(0);
      extra.writeProjectBlock(out);
      TokenReader back(out.text());
      CExtraReportElements again;
      if (again.readProjectBlock(back, catalogue) == CExtraReportElements::ProjectStatus::damaged) __builtin_trap();
      break;
    }
    case 1: {
      CExtraReportElements extra;
      if (extra.readOldProjectBlock(in, catalogue) == CExtraReportElements::ProjectStatus::ok) extra.writeProjectBlock(out);
      break;
    }
    case 2: {
      CSectionList sections;
      if (!sections.readBlock(in)) break;
      sections.writeBlock(out);
      TokenReader back(out.text());
      CSectionList again;
      if (!again.readBlock(back)) __builtin_trap();
      break;
    }
    case 3: {
      CDBSets sets;
      if (sets.readProjectBlock(in, catalogue) != CDBSets::ProjectStatus::ok) break;
      for (int i = 0; i < sets.count(); ++i) {
        (void)sets.findSet(sets.item(i).id);
        sets.writeProjectSet(sets.item(i).id, out);
      }
      break;
    }
    case 4: {
      PrintLayout layout = printLayout();
      if (!layout.readBlock(in)) break;
      layout.ensurePrintScale(100.0f);
      layout.writeBlock(out);
      TokenReader back(out.text());
      PrintLayout again = printLayout();
      if (!again.readBlock(back)) __builtin_trap();
      break;
    }
    default: {
      AppSettings settings;
      readSettingsBlock(in, settings);
      writeSettingsBlock(out, settings);
      break;
    }
  }
  return 0;
}
