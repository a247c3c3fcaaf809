// Output files: everything written arrives, and a failure is never silent.
#include "text/text_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/files.h"

namespace rill {
namespace {

using testing::ReadAll;

// A path in a scratch folder of this program, removed when the program ends.
std::string TempPath(const std::string& name) {
  static const testing::ScratchDir dir("rill-text-writer");
  return (dir.path() / name).string();
}

TEST(TextWriter, WritesAndPrintsInOrder) {
  const std::string path = TempPath("order.txt");
  TextWriter writer;
  ASSERT_TRUE(writer.Open(path));
  EXPECT_TRUE(writer.IsOpen());
  writer.Write("Navigating reach ");
  writer.Print("%d from %10.2f\n", 7, 12.345);
  writer.Write("done\n");
  EXPECT_TRUE(writer.Close());
  EXPECT_FALSE(writer.Failed());
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_EQ(ReadAll(path), "Navigating reach 7 from      12.35\ndone\n");
}

TEST(TextWriter, OpenTruncatesAnExistingFile) {
  const std::string path = TempPath("truncate.txt");
  {
    std::ofstream old(path);
    old << "old contents that must disappear";
  }
  TextWriter writer;
  ASSERT_TRUE(writer.Open(path));
  writer.Write("new");
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(ReadAll(path), "new");
}

TEST(TextWriter, LargeOutputArrivesWhole) {
  const std::string path = TempPath("large.txt");
  TextWriter writer;
  ASSERT_TRUE(writer.Open(path));
  // Well past the internal buffer, so that it is flushed along the way.
  std::string expected;
  for (int i = 0; i < 120000; ++i) {
    writer.Print("%10d\n", i);
    expected += std::string(10 - std::to_string(i).size(), ' ') + std::to_string(i) + "\n";
  }
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(ReadAll(path), expected);
}

TEST(TextWriter, FullDiskIsDetectedOnClose) {
  TextWriter writer;
  ASSERT_TRUE(writer.Open("/dev/full"));
  writer.Write("Flow 1: no sections to place the junction\n");
  EXPECT_FALSE(writer.Close());
  EXPECT_TRUE(writer.Failed());
}

TEST(TextWriter, FullDiskIsDetectedOnFlush) {
  TextWriter writer;
  ASSERT_TRUE(writer.Open("/dev/full"));
  writer.Write("x");
  writer.Flush();
  EXPECT_TRUE(writer.Failed());
  writer.Write("more");
  EXPECT_FALSE(writer.Close());
}

TEST(TextWriter, FullDiskIsDetectedForLargeOutput) {
  TextWriter writer;
  ASSERT_TRUE(writer.Open("/dev/full"));
  const std::string line(1000, 'r');
  for (int i = 0; i < 3000; ++i) writer.Write(line);
  EXPECT_TRUE(writer.Failed());
  EXPECT_FALSE(writer.Close());
}

TEST(TextWriter, ReopeningStartsWithoutTheOldFailure) {
  TextWriter writer;
  ASSERT_TRUE(writer.Open("/dev/full"));
  writer.Write("lost");
  EXPECT_FALSE(writer.Close());
  const std::string path = TempPath("reopen.txt");
  ASSERT_TRUE(writer.Open(path));
  EXPECT_FALSE(writer.Failed());
  writer.Write("kept");
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(ReadAll(path), "kept");
}

TEST(TextWriter, MissingFolderCannotBeOpened) {
  TextWriter writer;
  EXPECT_FALSE(writer.Open(TempPath("no_such_folder") + "/out.txt"));
  EXPECT_FALSE(writer.IsOpen());
}

TEST(TextWriter, MovedWriterKeepsTheFileAndItsText) {
  const std::string path = TempPath("moved.txt");
  TextWriter first;
  ASSERT_TRUE(first.Open(path));
  first.Write("before ");
  TextWriter second(std::move(first));
  EXPECT_TRUE(second.IsOpen());
  second.Write("after");
  TextWriter third;
  third = std::move(second);
  EXPECT_TRUE(third.Close());
  EXPECT_EQ(ReadAll(path), "before after");
}

TEST(TextWriter, DestructorWritesWhatIsBuffered) {
  const std::string path = TempPath("destructor.txt");
  {
    TextWriter writer;
    ASSERT_TRUE(writer.Open(path));
    writer.Print("%s %d\n", "reach", 3);
  }
  EXPECT_EQ(ReadAll(path), "reach 3\n");
}

}  // namespace
}  // namespace rill
