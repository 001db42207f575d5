#include "app/options.h"
#include "app/script_reader.h"
#include "forms/control_address.h"
#include "forms/text_format.h"

#include <sstream>

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(ScriptReader, TokensAndQuotedTextWithEscapes) {
  EXPECT_EQ(TokeniseScriptLine(R"(choose Frm_ReplaceBlocks.ComboReplaceWith "DOOR 2")", 1),
            (std::vector<std::string>{"choose", "Frm_ReplaceBlocks.ComboReplaceWith", "DOOR 2"}));
  EXPECT_EQ(TokeniseScriptLine(R"(type X "a\"b\\c\td\re")", 1),
            (std::vector<std::string>{"type", "X", "a\"b\\c\td\re"}));
  EXPECT_EQ(TokeniseScriptLine(R"(type X "")", 1), (std::vector<std::string>{"type", "X", ""}));
  EXPECT_EQ(TokeniseScriptLine("  click   A.B  ", 1), (std::vector<std::string>{"click", "A.B"}));
}

TEST(ScriptReader, MalformedQuotesNameTheLine) {
  for (const char* text : {R"(type X "open)", R"(type X "a"b)", R"(type X "bad\q")"}) {
    try {
      TokeniseScriptLine(text, 7);
      FAIL() << text;
    } catch (const ScriptSyntaxError& e) {
      EXPECT_EQ(e.line(), 7) << text;
    }
  }
}

TEST(ScriptReader, SkipsBlankAndCommentLinesKeepingLineNumbers) {
  std::istringstream script("# start\n\nclick Frm__MDI\r\n   # indented comment\nanswer Yes\n");
  const std::vector<ScriptLine> lines = ReadScript(script);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].number, 3);
  EXPECT_EQ(lines[0].verb, "click");
  EXPECT_EQ(lines[0].args, std::vector<std::string>{"Frm__MDI"});
  EXPECT_EQ(lines[1].number, 5);
}

TEST(ScriptReader, ControlAddresses) {
  using forms::ParseControlAddress;
  auto a = ParseControlAddress("Frm_ReplaceBlocks.OptRepWith(1)");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->form, "Frm_ReplaceBlocks");
  EXPECT_EQ(a->control, "OptRepWith");
  EXPECT_EQ(a->index, 1);
  auto form = ParseControlAddress("Frm__MDI");
  ASSERT_TRUE(form);
  EXPECT_TRUE(form->control.empty());
  EXPECT_EQ(form->index, -1);
  for (const char* bad : {"", ".X", "A.", "A.B(", "A.B()", "A.B(x)", "A.B(1", "A B.C"}) {
    EXPECT_FALSE(ParseControlAddress(bad)) << bad;
  }
}

TEST(ScriptReader, TranscriptEscapingMatchesScriptEscaping) {
  const std::string text = "say \"hi\"\\\r\tnow";
  const std::string line = "type X \"" + forms::EscapeText(text) + "\"";
  EXPECT_EQ(TokeniseScriptLine(line, 1).at(2), text);
}

TEST(Options, HostsAndVersions) {
  struct Case {
    const char* value;
    std::vector<std::string> ids;
    const char* version;
  };
  const Case cases[] = {
      {"17", {"17"}, "17.0"},
      {"16.1", {"16.1"}, "16.1"},
      {"15,15.0,15.1", {"15", "15.0", "15.1"}, "15.0"},
      {"17:15.06", {"17"}, "15.06"},
      {"15.06", {"15.06"}, "15.06"},
  };
  for (const Case& c : cases) {
    const HostInstanceOption host = ParseHostOption(c.value);
    EXPECT_EQ(host.ids, c.ids) << c.value;
    EXPECT_EQ(host.version, c.version) << c.value;
  }
  EXPECT_THROW(ParseHostOption("17:"), UsageError);
  EXPECT_THROW(ParseHostOption("17,,16"), UsageError);
}

TEST(Options, CommandLine) {
  const Options o = ParseOptions({"--script", "-", "--host", "17", "--host", "16.1", "--save",
                                  "out.dxf", "a.dxf", "b.dxf"});
  EXPECT_EQ(o.scriptPath, "-");
  EXPECT_EQ(o.savePath, "out.dxf");
  ASSERT_EQ(HostsToStart(o).size(), 2u);
  EXPECT_EQ(o.drawings, (std::vector<std::string>{"a.dxf", "b.dxf"}));

  const Options defaults = ParseOptions({});
  ASSERT_EQ(HostsToStart(defaults).size(), 1u);
  EXPECT_EQ(HostsToStart(defaults)[0].version, "17.0");
  EXPECT_TRUE(HostsToStart(ParseOptions({"--host", "none"})).empty());

  EXPECT_THROW(ParseOptions({"--script"}), UsageError);
  EXPECT_THROW(ParseOptions({"--bogus"}), UsageError);
  EXPECT_THROW(ParseOptions({"--host", "none", "--host", "17"}), UsageError);
}

}  // namespace
}  // namespace app
