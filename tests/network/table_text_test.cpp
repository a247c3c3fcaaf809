// A table file read in blocks parses as the same text given whole: records,
// skipped lines and their line numbers, whatever the block size.
#include "network/table_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "network/table_parse.h"
#include "tests/support/files.h"

namespace rill {
namespace {

using testing::ScratchDir;

// Lines cut anywhere by small blocks: one longer than a block and than a
// line may be, an empty one, one with a carriage return, a last one
// without its line feed.
const std::string kSections =
    "0,100,5,7,10,500\n"
    "0,60,7,3,20,600\r\n"
    "\n"
    "1,2,3\n" +
    std::string(230, '9') +
    "\n"
    "60,100,9,7,20,400\n"
    "0,30,8,9,40,300\n"
    "30,70,11,5,40,400";

std::string Dump(const ParsedTable<SectionRecord>& t) {
  std::string out;
  for (const SectionRecord& s : t.records)
    out += std::to_string(s.Com_id) + ":" + std::to_string(s.Fnode) + ":" + std::to_string(s.F_meas) + " ";
  for (const SkippedLine& k : t.skipped)
    out += "line " + std::to_string(k.line) + " before " + std::to_string(k.recordsBefore) + ": " + k.reason + "; ";
  return out;
}

TEST(TableText, FileInBlocksParsesAsTheWholeText) {
  ScratchDir dir;
  const std::string path = dir.work() + "secdata.txt";
  std::ofstream(path, std::ios::binary) << kSections;
  TableText whole(kSections);
  const std::string expected = Dump(ParseSections(whole));
  for (std::size_t block : {1u, 2u, 7u, 18u, 64u, 4096u}) {
    std::optional<TableText> text = TableText::Open(path, block);
    ASSERT_TRUE(text) << block;
    EXPECT_EQ(text->lines(), whole.lines()) << block;
    EXPECT_EQ(Dump(ParseSections(*text)), expected) << block;
    EXPECT_FALSE(text->Failed()) << block;
  }
}

TEST(TableText, BlocksEndAtLineFeedsAndAddUpToTheFile) {
  ScratchDir dir;
  const std::string path = dir.work() + "secdata.txt";
  std::ofstream(path, std::ios::binary) << kSections;
  std::optional<TableText> text = TableText::Open(path, 5);
  ASSERT_TRUE(text);
  std::string joined;
  std::string_view block;
  while (text->NextBlock(block)) {
    joined += block;
    if (joined.size() < kSections.size()) {
      EXPECT_EQ(block.back(), '\n');
    }
  }
  EXPECT_EQ(joined, kSections);
}

TEST(TableText, AFolderOrAMissingFileIsNoTable) {
  ScratchDir dir;
  EXPECT_FALSE(TableText::Open(dir.work() + "absent.txt"));
  EXPECT_FALSE(TableText::Open(dir.path().string()));
}

}  // namespace
}  // namespace rill
