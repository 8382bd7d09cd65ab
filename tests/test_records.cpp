// The element list and the records of the catalogue.

#include <gtest/gtest.h>

#include <typeinfo>

#include "partix.h"

TEST(CatalogueRecords, NewRecordsAreEmpty) {
  CElem e;
  EXPECT_EQ(e.kind, 0xFFFFFFFFu);
  EXPECT_EQ(e.data, nullptr);
  EXPECT_EQ(e.next, nullptr);
  EXPECT_EQ(e.archived, 0);

  CPartix root;
  EXPECT_EQ(root.count, 0);
  EXPECT_EQ(root.head, nullptr);
  EXPECT_EQ(root.tail, nullptr);
  EXPECT_STREQ(root.version, "");

  // The fixed nozzles start with one row; everything else with nothing.
  EXPECT_EQ(CNozzleVanNonReg().rowCount, 1);
  EXPECT_EQ(CNozzleMPNonReg().rowCount, 1);
  CDBSprinkler s;
  EXPECT_EQ(s.nozzleCount, 0);
  EXPECT_EQ(s.nozzles[99].work[3].R, 0.0f);
  EXPECT_STREQ(s.name, "");
  EXPECT_EQ(s.priceMul, 0.0f);
}

TEST(CatalogueRecords, InitDataCreatesTheKindsRecord) {
  const struct {
    unsigned long kind;
    const std::type_info& type;
  } cases[] = {
      {0, typeid(CDBSprinkler)},  {1, typeid(CKontr)},         {5, typeid(CAkces)},
      {8, typeid(CDyszaPr)},      {16, typeid(CMicroSprinklerHADAR)}, {18, typeid(CKabel)},
      {21, typeid(CNozzleRectNonReg)}, {22, typeid(CRWSSprinkler)}, {24, typeid(CMicroSprinkler)},
  };
  for (const auto& c : cases) {
    CElem e;
    e.InitData(c.kind);
    ASSERT_NE(e.data, nullptr) << c.kind;
    EXPECT_EQ(e.kind, c.kind);
    EXPECT_EQ(typeid(*e.data), c.type) << c.kind;
    e.FreeData();
    EXPECT_EQ(e.data, nullptr);
  }
  // A code outside 0..24 sets the kind only.
  CElem e;
  e.InitData(25);
  EXPECT_EQ(e.kind, 25u);
  EXPECT_EQ(e.data, nullptr);
}

TEST(CatalogueRecords, AddElementAppendsSharingTheRecord) {
  CPartix root;
  CElem first;
  first.InitData(kKindPipe);
  root.AddElement(&first);
  EXPECT_EQ(root.count, 1);
  EXPECT_EQ(root.head, root.tail);
  EXPECT_NE(root.head, &first);
  EXPECT_EQ(root.head->data, first.data);  // the copy shares the caller's record

  CElem second;
  second.InitData(kKindFitting);
  second.next = &first;  // not carried into the list
  root.AddElement(&second);
  EXPECT_EQ(root.count, 2);
  EXPECT_EQ(root.head->next, root.tail);
  EXPECT_EQ(root.tail->next, nullptr);
  EXPECT_EQ(root.tail->data, second.data);

  // Copies of an element and of the root are shallow.
  CElem copy = *root.head;
  EXPECT_EQ(copy.data, root.head->data);
  EXPECT_EQ(copy.next, root.tail);
  CPartix rootCopy(root);
  EXPECT_EQ(rootCopy.head, root.head);

  root.ReleaseDB();
  EXPECT_EQ(root.head, nullptr);
  EXPECT_EQ(root.count, 2);  // left as it was
}

TEST(CatalogueRecords, FreeAllReleasesFromTheElementOnwards) {
  CElem* a = new CElem;
  a->InitData(kKindCable);
  a->Init_Next();
  ASSERT_NE(a->next, nullptr);
  CElem* b = a->next;
  b->InitData(kKindValve);
  b->Init_Next();
  CElem* c = b->next;
  c->InitData(kKindOther);

  // The last element alone.
  b->next = nullptr;
  c->FreeAll();
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->kind, static_cast<uint32_t>(kKindValve));
  a->FreeAll();
}

TEST(CatalogueRecords, LongListsAreReleasedWithoutRecursion) {
  CPartix root;
  for (int i = 0; i < 300000; ++i) {
    CElem e;
    e.InitData(kKindFitting);
    root.AddElement(&e);
  }
  root.ReleaseDB();
  EXPECT_EQ(root.head, nullptr);
}

TEST(CatalogueRecords, RecordCopiesCopyEveryField) {
  CRWSSprinkler a;
  a.connection = "1/2\"";
  a.work[2].Q = 0.5f;
  a.price = 12.5f;
  CRWSSprinkler b(a);
  EXPECT_EQ(b.connection, "1/2\"");
  EXPECT_EQ(b.work[2].Q, 0.5f);
  EXPECT_EQ(b.price, 12.5f);

  CDyszaPr p;
  p.position = 4;
  p.strips[2].flow = 0.3f;
  CDyszaPr q;
  q = p;
  EXPECT_EQ(q.position, 4);
  EXPECT_EQ(q.strips[2].flow, 0.3f);
}
