// The virtual hosts beside the records, across the column's blocks.

#include <gtest/gtest.h>

#include "log/record_array.h"
#include "log/virtual_hosts.h"

namespace tw {
namespace {

TEST(VirtualHostColumnTest, EachRecordKeepsItsHostAcrossBlocksAndTheOthersHaveNone) {
  RecordArray records;
  for (int i = 0; i < 140000; ++i) records.Append(LogRecord{});
  VirtualHostColumn column(records);
  const struct {
    std::int32_t index;
    const char* host;
    std::uint32_t number;
  } given[] = {{65535, "A.example", 1}, {65536, "a.EXAMPLE", 1}, {131072, "b.example", 2}};
  for (const auto& g : given) column.Set(g.index, column.Pool().Intern(g.host));
  for (const auto& g : given) {
    EXPECT_EQ(column.NumberOf(*records[g.index]), g.number) << g.index;
    EXPECT_EQ(column.NumberOf(*records[g.index - 1]), g.index == 65536 ? 1u : 0u) << g.index;
  }
  EXPECT_EQ(column.NumberOf(*records[139999]), 0u) << "past the last block given a host";
  EXPECT_STREQ(column.Text(1), "A.example");
}

}  // namespace
}  // namespace tw
