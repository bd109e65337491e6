#include "base/carray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tw {
namespace {

struct Row {
  std::int32_t key;
  std::int32_t tag;
};

// Runs `action` and returns what it printed on standard output.
std::string Printed(const std::function<void()>& action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

CARRAY* MakeRows(std::initializer_list<Row> rows) {
  CARRAY* ar = CARRAY_Create(sizeof(Row));
  for (const Row& r : rows) CARRAY_Add(ar, &r);
  return ar;
}

const Row& At(CARRAY* ar, int i) { return *static_cast<const Row*>(CARRAY_Item(ar, i)); }

TEST(CARRAY, AddCopiesTheBytesAndItemReturnsThem) {
  CARRAY* ar = CARRAY_Create(sizeof(Row));
  EXPECT_EQ(CARRAY_Count(ar), 0);
  Row r{7, 1};
  void* added = nullptr;
  EXPECT_EQ(Printed([&] { added = CARRAY_Add(ar, &r); }), "");
  ASSERT_NE(added, nullptr);
  EXPECT_NE(added, static_cast<void*>(&r));
  r.key = 99;  // the array holds its own copy
  EXPECT_EQ(CARRAY_Count(ar), 1);
  EXPECT_EQ(CARRAY_Item(ar, 0), added);
  EXPECT_EQ(At(ar, 0).key, 7);
  CARRAY_Free(ar);
}

TEST(CARRAY, MisusePrintsItsMessageAndReturnsNull) {
  CARRAY* ar = MakeRows({{1, 0}, {2, 0}});
  CARRAY* none = nullptr;
  const Row r{3, 0};
  struct Case {
    const char* name;
    std::function<void*()> call;
    const char* message;
  } cases[] = {
      {"Item(-1)", [&] { return CARRAY_Item(ar, -1); }, "Error in CARRAY_Item. Out of range i=-1\n"},
      {"Item(count)", [&] { return CARRAY_Item(ar, 2); }, "Error in CARRAY_Item. Out of range i=2\n"},
      {"Item(large)", [&] { return CARRAY_Item(ar, 2147483647); }, "Error in CARRAY_Item. Out of range i=2147483647\n"},
      {"Item(min)", [&] { return CARRAY_Item(ar, -2147483647 - 1); },
       "Error in CARRAY_Item. Out of range i=-2147483648\n"},
      {"Item on null", [&] { return CARRAY_Item(none, 0); }, "Error in CARRAY_Item. *ar=NULL\n"},
      {"Add null source", [&] { return CARRAY_Add(ar, nullptr); }, "Error in CARRAY_Add. *ar=NULL\n"},
      {"Add to null", [&] { return CARRAY_Add(none, &r); }, "Error in CARRAY_Add. *ar=NULL\n"},
  };
  for (const auto& c : cases) {
    void* result = reinterpret_cast<void*>(1);
    EXPECT_EQ(Printed([&] { result = c.call(); }), c.message) << c.name;
    EXPECT_EQ(result, nullptr) << c.name;
    EXPECT_EQ(CARRAY_Count(ar), 2) << c.name;
  }
  EXPECT_EQ(At(ar, 1).key, 2);
  CARRAY_Free(ar);
}

TEST(CARRAY, OperationsOnAnAbsentArray) {
  CARRAY* none = nullptr;
  struct Case {
    const char* name;
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {"Count", [&] { EXPECT_EQ(CARRAY_Count(none), 0); }, ""},
      {"DeleteAll", [&] { CARRAY_DeleteAll(none); }, "Error in CARRAY_DeleteAll. *ar=NULL\n"},
      {"Free", [&] { CARRAY_Free(none); }, ""},
      {"Sort", [&] { CARRAY_Sort(none, [](const void*, const void*) { return 0; }); },
       "Error in CARRAY_Insert. *ar=NULL\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Printed(c.call), c.message) << c.name;
    EXPECT_EQ(none, nullptr) << c.name;
  }
}

TEST(CARRAY, SortWithoutComparisonPrintsAndLeavesTheOrder) {
  CARRAY* ar = MakeRows({{3, 0}, {1, 0}, {2, 0}});
  EXPECT_EQ(Printed([&] { CARRAY_Sort(ar, nullptr); }), "Error in CARRAY_Insert. *ar=NULL\n");
  EXPECT_EQ(At(ar, 0).key, 3);
  EXPECT_EQ(At(ar, 1).key, 1);
  EXPECT_EQ(At(ar, 2).key, 2);
  CARRAY_Free(ar);
}

TEST(CARRAY, DeleteAllEmptiesTheArrayWhichStaysUsable) {
  CARRAY* ar = MakeRows({{1, 0}, {2, 0}, {3, 0}});
  EXPECT_EQ(Printed([&] { CARRAY_DeleteAll(ar); }), "");
  EXPECT_EQ(CARRAY_Count(ar), 0);
  EXPECT_EQ(Printed([&] { EXPECT_EQ(CARRAY_Item(ar, 0), nullptr); }), "Error in CARRAY_Item. Out of range i=0\n");
  const Row r{4, 0};
  ASSERT_NE(CARRAY_Add(ar, &r), nullptr);
  EXPECT_EQ(CARRAY_Count(ar), 1);
  EXPECT_EQ(At(ar, 0).key, 4);
  CARRAY_DeleteAll(ar);
  CARRAY_DeleteAll(ar);  // again on an empty array: silent
  CARRAY_Free(ar);
}

TEST(CARRAY, FreeNullsThePointerSilentlyAndTwiceIsHarmless) {
  for (const bool with_elements : {false, true}) {
    CARRAY* ar = with_elements ? MakeRows({{1, 0}, {2, 0}}) : CARRAY_Create(sizeof(Row));
    EXPECT_EQ(Printed([&] { CARRAY_Free(ar); }), "") << with_elements;
    EXPECT_EQ(ar, nullptr) << with_elements;
    EXPECT_EQ(Printed([&] { CARRAY_Free(ar); }), "") << with_elements;
    EXPECT_EQ(ar, nullptr) << with_elements;
  }
}

TEST(CARRAY, ElementsKeepTheirAddressesWhileTheArrayGrows) {
  CARRAY* ar = CARRAY_Create(sizeof(Row));
  constexpr int kCount = 100000;
  std::vector<const void*> addresses;
  for (int i = 0; i < kCount; ++i) {
    const Row r{i, -i};
    addresses.push_back(CARRAY_Add(ar, &r));
  }
  ASSERT_EQ(CARRAY_Count(ar), kCount);
  int wrong = 0;
  for (int i = 0; i < kCount; ++i) {
    const auto* row = static_cast<const Row*>(addresses[i]);
    if (CARRAY_Item(ar, i) != addresses[i] || row->key != i || row->tag != -i) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  CARRAY_Free(ar);
}

TEST(CARRAY, SortOrdersByTheComparisonAndKeepsEqualElementsInTheirOrder) {
  auto by_key = [](const void* a, const void* b) {
    const auto* x = static_cast<const Row*>(a);
    const auto* y = static_cast<const Row*>(b);
    return (x->key > y->key) - (x->key < y->key);
  };
  struct Case {
    std::vector<Row> in;
    std::vector<Row> out;
  } cases[] = {
      {{}, {}},
      {{{1, 0}}, {{1, 0}}},
      {{{2, 0}, {1, 0}}, {{1, 0}, {2, 0}}},
      {{{3, 0}, {1, 1}, {3, 2}, {1, 3}, {2, 4}, {1, 5}}, {{1, 1}, {1, 3}, {1, 5}, {2, 4}, {3, 0}, {3, 2}}},
      {{{5, 0}, {5, 1}, {5, 2}, {5, 3}}, {{5, 0}, {5, 1}, {5, 2}, {5, 3}}},
  };
  for (const auto& c : cases) {
    CARRAY* ar = CARRAY_Create(sizeof(Row));
    for (const Row& r : c.in) CARRAY_Add(ar, &r);
    std::vector<const void*> before;
    for (int i = 0; i < CARRAY_Count(ar); ++i) before.push_back(CARRAY_Item(ar, i));
    EXPECT_EQ(Printed([&] { CARRAY_Sort(ar, by_key); }), "");
    std::string got, want;
    for (int i = 0; i < CARRAY_Count(ar); ++i) {
      got += std::to_string(At(ar, i).key) + "/" + std::to_string(At(ar, i).tag) + " ";
    }
    for (const Row& r : c.out) want += std::to_string(r.key) + "/" + std::to_string(r.tag) + " ";
    EXPECT_EQ(got, want) << "case of " << c.in.size() << " rows";
    // Sorting moves the element pointers, not the elements.
    for (int i = 0; i < CARRAY_Count(ar); ++i) {
      bool found = false;
      for (const void* p : before) found = found || p == CARRAY_Item(ar, i);
      EXPECT_TRUE(found) << "element " << i;
    }
    CARRAY_Free(ar);
  }

  // A larger shuffled set: keys 0..9, tags record the insertion order.
  CARRAY* ar = CARRAY_Create(sizeof(Row));
  for (int i = 0; i < 1000; ++i) {
    const Row r{(i * 7919) % 10, i};
    CARRAY_Add(ar, &r);
  }
  CARRAY_Sort(ar, by_key);
  for (int i = 1; i < 1000; ++i) {
    const Row& a = At(ar, i - 1);
    const Row& b = At(ar, i);
    EXPECT_TRUE(a.key < b.key || (a.key == b.key && a.tag < b.tag)) << "position " << i;
  }
  CARRAY_Free(ar);
}

}  // namespace
}  // namespace tw
