// The Windows command line: quoted lines split as the C runtime splits them
// and joined with single blanks; raw lines kept byte for byte.
#include "text/windows_command_line.h"

#include <gtest/gtest.h>

namespace rill {
namespace {

TEST(WindowsCommandLine, QuotedLinesAreSplitAndJoinedRawLinesKept) {
  struct Case {
    const char* line;
    const char* expected;
  };
  const Case cases[] = {
      // As Python's list2cmdline quotes one argument holding blanks.
      {R"("1,4102,50,X,0,D,0,MI,1,C:\Users\Ann Lee\runs\,r.csv,.\,0,0")",
       R"(1,4102,50,X,0,D,0,MI,1,C:\Users\Ann Lee\runs\,r.csv,.\,0,0)"},
      {R"(  "md,C:\new folder"  )", R"(md,C:\new folder)"},
      // Several arguments, tabs and runs of blanks between them.
      {"\"md,C:\\a b\" \t x  y", R"(md,C:\a b x y)"},
      // Backslashes: literal unless before a quote; 2n give n and group, 2n+1
      // give n and a literal quote.
      {R"("a\\"b c")", R"(a\b c)"},
      {R"("a\"b" c)", R"(a"b c)"},
      {R"("a\\\"b")", R"(a\"b)"},
      {R"("x\y\\z")", R"(x\y\\z)"},
      {R"("say ""hi""")", R"(say "hi")"},
      {R"("" x)", R"( x)"},
      // Raw lines: anything not starting with a quote stays as sent.
      {R"(1,4102,50,X,0,D,0,MI,1,C:\Ann Lee\,"r.csv",.\,0,0)", R"(1,4102,50,X,0,D,0,MI,1,C:\Ann Lee\,"r.csv",.\,0,0)"},
      {"  md,C:\\x  ", "  md,C:\\x  "},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandLineFromWindows(c.line), c.expected) << c.line;
}

}  // namespace
}  // namespace rill
