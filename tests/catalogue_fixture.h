#pragma once
// A catalogue loaded from bytes the test wrote, released afterwards as the
// program releases it at exit.

#include <gtest/gtest.h>

#include <string>

#include "catalogue/prices.h"
#include "partix.h"
#include "tests/catalogue_file_builder.h"

namespace testing_support {

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = makeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    partix::CPriceList& list = partix::priceList();
    list.pricePath = dir + "/prizes.db";
    list.finalPrices.clear();
    list.transient.clear();
    list.multiplier = 1.0f;
    partix::rearmPriceNudge();
  }
  void TearDown() override { release(); }

  // Writes `file` (cut to `keep` bytes) and loads it into `root`.
  CPartix& load(const CatalogueFileBuilder& file, size_t keep = SIZE_MAX) {
    release();
    path = dir + "/MainPartix.dbc";
    file.write(path, keep);
    root = new CPartix;
    root->fileName = path.c_str();
    root->LoadDB();
    return *root;
  }

  CElem* element(int index) {
    CElem* e = root ? root->head : nullptr;
    while (e && index-- > 0) e = e->next;
    return e;
  }

  template <typename Record>
  Record& record(int index) {
    CElem* e = element(index);
    if (!e || !e->data) throw std::runtime_error("no element " + std::to_string(index));
    return *static_cast<Record*>(e->data);
  }

  void release() {
    if (!root) return;
    if (root->count != 0 && root->head) root->head->FreeAll();
    delete root;
    root = nullptr;
  }

  std::string dir;
  std::string path;
  CPartix* root = nullptr;
};

}  // namespace testing_support
