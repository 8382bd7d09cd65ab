// Writing and reading a project of 50,000 objects.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "document/project_file.h"
#include "document/settings_file.h"
#include "reports/reports.h"
#include "tests/support/scene_builder.h"

namespace {

using namespace testing_support;

AppSettings& settings() {
  static AppSettings s = freshInstallSettings();
  return s;
}

CGraphicPlane& largeProject() {
  static CGraphicPlane* doc = [] {
    auto* d = new CGraphicPlane;
    d->sourcePressure = 3.0f;
    CPartix& cat = shippedCatalogue();
    for (int i = 0; d->objects().size() < 50000; ++i) {
      addEveryObject(*d, cat, {(i % 40) * 1200, (i / 40) * 900}, i);
      if (i % 20 == 0) addEveryTerrain(*d, {(i % 40) * 1200, (i / 40) * 900});
    }
    return d;
  }();
  return *doc;
}

const std::string& projectPath() {
  static const std::string path = (std::filesystem::temp_directory_path() / "verdimo-bench.prj").string();
  return path;
}

void BM_SaveProject50k(benchmark::State& state) {
  CGraphicPlane& doc = largeProject();
  ProjectIo io{doc, shippedCatalogue(), settings(), {}, std::filesystem::temp_directory_path().string()};
  for (auto _ : state) benchmark::DoNotOptimize(saveProject(io, projectPath()).ok);
  state.counters["objects"] = static_cast<double>(doc.objects().size());
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(projectPath())) / 1e6;
}

void BM_LoadProject50k(benchmark::State& state) {
  {
    ProjectIo io{largeProject(), shippedCatalogue(), settings(), {}, std::filesystem::temp_directory_path().string()};
    saveProject(io, projectPath());
  }
  for (auto _ : state) {
    CGraphicPlane doc;
    ProjectIo io{doc, shippedCatalogue(), settings(), {}, std::filesystem::temp_directory_path().string()};
    benchmark::DoNotOptimize(loadProject(io, projectPath()).ok);
    state.counters["objects"] = static_cast<double>(doc.objects().size());
  }
}

void BM_SummaryEstimate50k(benchmark::State& state) {
  CGraphicPlane& doc = largeProject();
  reports::ReportContext ctx = reports::currentReportContext();
  ctx.catalogue = &shippedCatalogue();
  for (auto _ : state) benchmark::DoNotOptimize(reports::summaryEstimateHtml(doc, ctx));
}

BENCHMARK(BM_SaveProject50k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummaryEstimate50k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadProject50k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
