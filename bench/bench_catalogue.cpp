// Loading a large catalogue and pricing it.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "catalogue/prices.h"
#include "partix.h"
#include "tests/catalogue_file_builder.h"

namespace {

// 20,000 elements in the proportions of a real catalogue: mostly fittings,
// pipes and nozzles, some sprinklers with ten nozzles, drip lines, valves,
// a few controllers and HADAR bases.
const std::string& largeCatalogue() {
  static std::string path;
  if (!path.empty()) return path;
  testing_support::CatalogueFileBuilder f;
  const int n = 20000;
  f.header("bench", "bench", "bench", n);
  for (int i = 0; i < n; ++i) {
    const std::string no = "B" + std::to_string(i);
    const int bucket = i % 100;
    const int family = bucket < 6 ? 0 : bucket < 26 ? 1 : bucket < 38 ? 2 : bucket < 80 ? 3 : bucket < 86 ? 5
                     : bucket < 89 ? 6 : 7;
    switch (family) {
      case 0:
        f.head(0).common("Zraszacz <R>", "m", no, 50, "z.jpg").text("3/4", 15).u8(10);
        for (int k = 0; k < 10; ++k) f.text("1.0", 8).floats(12, 1);
        f.u8(1);
        break;
      case 1:
        f.head(7).common("Dysza <10>", "m", no, 9, "d.jpg").u8(4);
        for (int k = 0; k < 4; ++k) f.f32(90.0f * (k + 1)).floats(12, 1);
        break;
      case 2:
        f.head(3).common("Rura <25>", "m", no, 2.5f, "r.jpg").i32(25).f32(20.4f);
        break;
      case 3:
      case 4:
        f.head(4).common("Kolano 25", "m", no, 3, "k.jpg");
        break;
      case 5:
        f.head(9).common("Linia <LK>", "m", no, 1.2f, "l.jpg").floats(6, 1).text("1-3", 20).text("<1> komp", 50)
            .text("br", 20);
        break;
      case 6:
        f.head(1).common("Sterownik <ST>", "m", no, 450, "s.jpg").text("230V", 20).text("6", 15).i32(1)
            .text("3", 15).text("4", 15).text("x", 15).i32(1).i32(1).text("1", 15).text("1", 15).i32(1).i32(1).i32(1);
        break;
      default:
        f.head(16).common("Podstawa", "m", "", 0, "p.jpg").text("c", 40).i32(3);
        for (int k = 0; k < 3; ++k) f.text("Element", 30).text(no + "k" + std::to_string(k), 10).f32(1.5f);
        break;
    }
  }
  path = (std::filesystem::temp_directory_path() / "verdimo-bench-catalogue.dbc").string();
  f.write(path);
  return path;
}

void BM_LoadCatalogue20k(benchmark::State& state) {
  const std::string& path = largeCatalogue();
  partix::priceList().pricePath = "/nonexistent/prizes.db";
  for (auto _ : state) {
    CPartix root;
    root.fileName = path.c_str();
    root.LoadDB();
    UpdatePrizeMulFactor(1.15f);
    benchmark::DoNotOptimize(root.count);
    root.head->FreeAll();
  }
}
BENCHMARK(BM_LoadCatalogue20k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
