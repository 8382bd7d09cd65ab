// partix-build SOURCE.json OUTDIR [--pictures DIR]
//
// Writes OUTDIR/MainPartix.dbc from the readable catalogue source and puts
// every element's picture into OUTDIR: copied from DIR when a file of that
// name is there, otherwise drawn as a pictogram of the element's kind.

#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "partix.h"
#include "platform/folders.h"
#include "tools/partix-build/catalogue_writer.h"
#include "tools/partix-build/pictures.h"

namespace fs = std::filesystem;

namespace {

QString shortCode(const std::string& name) {
  auto open = name.find('<');
  if (open == std::string::npos) return {};
  auto close = name.find('>', open + 1);
  if (close == std::string::npos) return {};
  return QString::fromStdString(name.substr(open + 1, close - open - 1));
}

bool safePictureName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

int usage() {
  std::fputs("usage: partix-build SOURCE.json OUTDIR [--pictures DIR]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string sourcePath, outDir, pictureDir;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--pictures" && i + 1 < argc)
      pictureDir = argv[++i];
    else if (sourcePath.empty())
      sourcePath = a;
    else if (outDir.empty())
      outDir = a;
    else
      return usage();
  }
  if (sourcePath.empty() || outDir.empty()) return usage();

  nlohmann::json source;
  try {
    std::ifstream in(sourcePath);
    if (!in) throw std::runtime_error("cannot open " + sourcePath);
    source = nlohmann::json::parse(in);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "partix-build: %s: %s\n", sourcePath.c_str(), e.what());
    return 1;
  }

  std::vector<uint8_t> bytes;
  try {
    bytes = partix_build::buildCatalogue(source);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "partix-build: %s: %s\n", sourcePath.c_str(), e.what());
    return 1;
  }

  std::error_code ec;
  fs::create_directories(outDir, ec);
  const fs::path target = fs::path(outDir) / "MainPartix.dbc";
  {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "partix-build: cannot write %s\n", target.c_str());
      return 1;
    }
  }

  platform::prepareHeadlessGui();
  QGuiApplication app(argc, argv);
  // A picture shared by a family of elements carries no single element's code.
  std::map<std::string, int> uses;
  for (const auto& e : source.at("elements")) ++uses[e.value("picture", std::string())];
  std::set<std::string> done;
  int drawn = 0, copied = 0;
  for (const auto& e : source.at("elements")) {
    std::string picture = e.value("picture", std::string());
    if (picture.empty() || done.count(picture)) continue;
    done.insert(picture);
    if (!safePictureName(picture)) {
      std::fprintf(stderr, "partix-build: picture name \"%s\" is not a plain file name\n", picture.c_str());
      return 1;
    }
    const fs::path dest = fs::path(outDir) / picture;
    if (!pictureDir.empty() && fs::exists(fs::path(pictureDir) / picture)) {
      fs::copy_file(fs::path(pictureDir) / picture, dest, fs::copy_options::overwrite_existing, ec);
      if (ec) {
        std::fprintf(stderr, "partix-build: cannot copy %s: %s\n", picture.c_str(), ec.message().c_str());
        return 1;
      }
      ++copied;
      continue;
    }
    partix_build::PictureSubject subject;
    subject.kind = e.at("kind").get<int>();
    if (uses[picture] == 1) subject.code = shortCode(e.value("name", std::string()));
    if (subject.kind == kKindValveBox) subject.round = e.value("data", nlohmann::json::object()).value("isRound", 0) != 0;
    if (!partix_build::drawPicture(subject).save(QString::fromStdString(dest.string()), "JPEG", 88)) {
      std::fprintf(stderr, "partix-build: cannot write %s\n", dest.c_str());
      return 1;
    }
    ++drawn;
  }
  std::printf("partix-build: %s: %zu elements, %d pictures drawn, %d copied\n", target.c_str(),
              source.at("elements").size(), drawn, copied);
  return 0;
}
