// Splitting and converting the navigator's command line, and the lines it refuses.
#include "navigator/command_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/net_fixture.h"

namespace rill {
namespace {

CommandLineFields Parsed(const std::string& line) {
  auto result = ParseCommandLine(line);
  if (!result.ok()) {
    ADD_FAILURE() << "refused: " << result.status().message();
    return {};
  }
  return *result;
}

std::string Refusal(const std::string& line) { return ParseCommandLine(line).status().message(); }

const std::string kExample = "3,A,10,B,0,D,5,MI,1,W\\,out.csv,p_,0,0";

TEST(CommandLine, FourteenFieldsInTheirOrder) {
  const CommandLineFields r = Parsed(kExample);
  EXPECT_EQ(r.NavType, 3);
  EXPECT_EQ(r.StartReach, "A");
  EXPECT_EQ(r.StartMeasure, 10.0);
  EXPECT_EQ(r.EndReach, "B");
  EXPECT_EQ(r.EndMeasure, 0.0);
  EXPECT_EQ(r.Direction, "D");
  EXPECT_EQ(r.Distance, 5.0);
  EXPECT_EQ(r.DistanceUnits, "MI");
  EXPECT_EQ(r.TraversalOrder, "1");
  EXPECT_EQ(r.WorkPath, "W\\");
  EXPECT_EQ(r.OutFile, "out.csv");
  EXPECT_EQ(r.FilePrefix, "p_");
  EXPECT_EQ(r.WholeReachStartMode, 0);
  EXPECT_EQ(r.EndAtCUBoundary, 0);
  EXPECT_EQ(r.PathOf("message.out"), "W\\p_message.out");
  EXPECT_EQ(r.PathOf(r.OutFile), "W\\p_out.csv");

  // A leading comma is skipped; text after the fourteenth field is ignored.
  const CommandLineFields lead = Parsed("," + kExample + ",9,extra,,");
  EXPECT_EQ(lead.NavType, 3);
  EXPECT_EQ(lead.StartReach, "A");
  EXPECT_EQ(lead.EndAtCUBoundary, 0);

  // Strings stand as written: blanks and quotes stay.
  const CommandLineFields blanks = Parsed("1, A ,10,\"B\",0,D ,5,MI,1,W/,out.csv,p_,0,0");
  EXPECT_EQ(blanks.StartReach, " A ");
  EXPECT_EQ(blanks.EndReach, "\"B\"");
  EXPECT_EQ(blanks.Direction, "D ");
}

TEST(CommandLine, AnEmptyFieldVanishesAndTheRestMovesUp) {
  // The third field left empty, with one more field at the end to make 14.
  const CommandLineFields r = Parsed("3,A,,B,0,D,5,MI,1,W\\,out.csv,p_,0,0,7");
  EXPECT_EQ(r.StartReach, "A");
  EXPECT_EQ(r.StartMeasure, 0.0);  // read from "B"
  EXPECT_EQ(r.EndReach, "0");
  EXPECT_EQ(r.EndMeasure, 0.0);  // "D"
  EXPECT_EQ(r.Direction, "5");
  EXPECT_EQ(r.Distance, 0.0);  // "MI"
  EXPECT_EQ(r.DistanceUnits, "1");
  EXPECT_EQ(r.TraversalOrder, "W\\");
  EXPECT_EQ(r.WorkPath, "out.csv");
  EXPECT_EQ(r.OutFile, "p_");
  EXPECT_EQ(r.FilePrefix, "0");
  EXPECT_EQ(r.WholeReachStartMode, 0);
  EXPECT_EQ(r.EndAtCUBoundary, 7);

  // Without the extra field only 13 remain: refused.
  const std::string message = Refusal("3,A,,B,0,D,5,MI,1,W\\,out.csv,p_,0,0");
  EXPECT_NE(message.find("13"), std::string::npos) << message;
}

TEST(CommandLine, NumbersReadAsTheCLibraryReadsThem) {
  const CommandLineFields r = Parsed("x,A, 7.5e1,B,nan,U,-2,FT,1,W/,out.csv,p_,65537,98304");
  EXPECT_EQ(r.NavType, 0);
  EXPECT_EQ(r.StartMeasure, 75.0);
  EXPECT_TRUE(std::isnan(r.EndMeasure));
  EXPECT_EQ(r.Distance, -2.0);
  EXPECT_EQ(r.WholeReachStartMode, 1);   // 65537 = 0x10001
  EXPECT_EQ(r.EndAtCUBoundary, -32768);  // 98304 = 0x18000
  const CommandLineFields big = Parsed("  5abc,A,0x10,B,1,D,1,M,1,W/,o,p,99999999999,-1");
  EXPECT_EQ(big.NavType, 5);
  EXPECT_EQ(big.StartMeasure, 16.0);
  EXPECT_EQ(big.WholeReachStartMode, -1);  // clamped to 2147483647, low 16 bits 0xFFFF
  EXPECT_EQ(big.EndAtCUBoundary, -1);

  // The header shows the values as read, the 16-bit fields widened.
  testing::LogFile log;
  WriteRequestHeader(Parsed("3,A,10,B,0,D,5,MI,1,W\\,out.csv,p_,65537,0"), log.writer());
  EXPECT_EQ(log.Text(),
            "NavType: 3\nStartReach: A\nStartMeasure:   10.00000\nEndReach: B\nEndMeasure:    0.00000\nDirection: D\n"
            "Distance:    5.00000\nDistanceUnits: MI\nTraversalOrder: 1\nWorkPath: W\\\nOutFile: out.csv\n"
            "Whole Reach Start Mode: 1\nEnd at CU Boundary: 0\n\n");
}

TEST(CommandLine, UnusableLinesAreRefused) {
  // Too few fields: the count and the 14 names in order.
  for (const std::string& line : {std::string(""), std::string(",,,"), std::string("1,A,10,B,0,D,5,MI,1,W/,o,p,0")}) {
    const std::string message = Refusal(line);
    ASSERT_FALSE(message.empty()) << line;
    const std::size_t found = line.empty() || line == ",,," ? 0 : 13;
    EXPECT_NE(message.find(std::to_string(found)), std::string::npos) << message;
    std::size_t at = 0;
    for (const char* name :
         {"NavType", "StartReach", "StartMeasure", "EndReach", "EndMeasure", "Direction", "Distance", "DistanceUnits",
          "TraversalOrder", "WorkPath", "OutFile", "FilePrefix", "WholeReachStartMode", "EndAtCUBoundary"}) {
      at = message.find(name, at);
      ASSERT_NE(at, std::string::npos) << name << " missing or out of order in: " << message;
    }
  }

  // At most 999 characters.
  const std::string pad999 = kExample + "," + std::string(999 - kExample.size() - 1, 'x');
  ASSERT_EQ(pad999.size(), 999u);
  EXPECT_EQ(Refusal(pad999), "");
  EXPECT_NE(Refusal(pad999 + "x"), "");

  // Paths of at most 449 characters; flowdata.txt is the longest name of the run.
  const std::string work436(436, 'w');  // 436 + "p_" + "flowdata.txt" = 450
  EXPECT_NE(Refusal("1,A,1,B,0,D,5,MI,1," + work436 + ",o.csv,p_,0,0"), "");
  EXPECT_EQ(Refusal("1,A,1,B,0,D,5,MI,1," + work436.substr(1) + ",o.csv,p_,0,0"), "");
  const std::string out446(446, 'o');  // "W/" + "p_" + 446 = 450
  EXPECT_NE(Refusal("1,A,1,B,0,D,5,MI,1,W/," + out446 + ",p_,0,0"), "");
  EXPECT_EQ(Refusal("1,A,1,B,0,D,5,MI,1,W/," + out446.substr(1) + ",p_,0,0"), "");

  // The result file may not be another file of the run, in any letter case.
  for (const char* name : {"message.out", "MESSAGE.OUT", "Ccode.Txt", "rchdata.TXT", "FlowData.txt", "SECDATA.txt"})
    EXPECT_NE(Refusal(std::string("1,A,1,B,0,D,5,MI,1,W/,") + name + ",p_,0,0"), "") << name;
  for (const char* name : {"message.out2", "ccode.csv", "xrchdata.txt"})
    EXPECT_EQ(Refusal(std::string("1,A,1,B,0,D,5,MI,1,W/,") + name + ",p_,0,0"), "") << name;

  // Nor may it reach one by a detour through the folder names.
  for (const char* name : {"./rchdata.txt", "sub/../ccode.txt", "./Message.Out"})
    EXPECT_NE(Refusal(std::string("1,A,1,B,0,D,5,MI,1,W/,") + name + ",./,0,0"), "") << name;
  // With a name prefix, "./rchdata.txt" lies in a folder "p_." of its own.
  EXPECT_EQ(Refusal("1,A,1,B,0,D,5,MI,1,W/,./rchdata.txt,p_,0,0"), "");
  EXPECT_EQ(Refusal("1,A,1,B,0,D,5,MI,1,W/,sub/rchdata.txt,./,0,0"), "");
}

}  // namespace
}  // namespace rill
