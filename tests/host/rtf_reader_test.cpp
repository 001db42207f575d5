#include "host/rtf_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using host::ReadRtf;
using host::RtfError;
using host::StyledParagraph;
using host::StyledRun;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

StyledRun Plain(std::string text) { return StyledRun{std::move(text), false, false}; }
StyledRun Bold(std::string text) { return StyledRun{std::move(text), true, false}; }
StyledRun Italic(std::string text) { return StyledRun{std::move(text), false, true}; }
StyledRun BoldItalic(std::string text) { return StyledRun{std::move(text), true, true}; }

TEST(RtfReader, ParagraphsAndStylesWithGroupsRestoringThem) {
  const auto text = ReadRtf(
      "{\\rtf1\\ansi\\deff0 {\\fonttbl{\\f0\\fswiss Arial;}}"
      "{\\colortbl ;\\red0\\green0\\blue192;}"
      "{\\stylesheet{\\s0 Normal;}}\r\n"
      "\\pard Plain {\\b bold {\\i both} bold} plain\\par\r\n"
      "\\par\n"
      "\\i italic\\i0  and \\b on\\b0\\par\n"
      "last \\b bold\\plain  reset}");
  EXPECT_THAT(text.paragraphs,
              ElementsAre(StyledParagraph{{Plain("Plain "), Bold("bold "), BoldItalic("both"),
                                           Bold(" bold"), Plain(" plain")}},
                          StyledParagraph{},
                          StyledParagraph{{Italic("italic"), Plain(" and "), Bold("on")}},
                          StyledParagraph{{Plain("last "), Bold("bold"), Plain(" reset")}}));
  EXPECT_EQ(text.PlainText(), "Plain bold both bold plain\r\ritalic and on\rlast bold reset");
}

// Each input is one paragraph's text after the header "{\rtf1\ansi ".
struct TextCase {
  const char* label;
  std::string body;
  std::string expected;
  friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.label; }
};

class RtfReaderText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfReaderText, DecodesToUtf8) {
  const auto text = ReadRtf("{\\rtf1\\ansi " + GetParam().body + "}");
  EXPECT_EQ(text.PlainText(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfReaderText,
    ::testing::Values(
        TextCase{"UnicodeWithFallback", "AutoCAD\\u174?  block\\u8217's", "AutoCAD®  block’s"},
        TextCase{"NegativeUnicode", "\\u-3913?", "\uF0B7"},
        TextCase{"FallbackOfTwo", "\\uc2\\u8364\\'80\\'80 x", "€ x"},
        TextCase{"NoFallback", "\\uc0\\u8364 x", "€x"},
        TextCase{"FallbackEndsWithGroup", "{\\uc3\\u8364 ab}cd", "€cd"},
        TextCase{"SurrogatePair", "\\u55357?\\u56832?", "😀"},
        TextCase{"LoneSurrogate", "\\u55357?x", "\uFFFDx"},
        TextCase{"CodePage1252", "caf\\'e9 \\'93q\\'94 \\'80", "café “q” €"},
        TextCase{"CodePage1251", "\\ansicpg1251 \\'cf\\'f0\\'e8", "При"},
        TextCase{"FontCharsets",
                 "\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset204 "
                 "Calibri;}{\\f2\\fcharset161 Greek;}}caf\\'e9 \\f1\\'cf\\'f0\\'e8{\\f2 "
                 "\\'e1}\\'e8\\f0\\'e8",
                 "café Приαиè"},
        TextCase{"ShiftJisPair", "\\ansicpg932 \\'93\\'fa", "日"},
        TextCase{"EscapedSymbols", "\\{a\\}\\\\b\\~c\\-d\\_e", "{a}\\b\u00A0cd\u2011e"},
        TextCase{"NamedCharacters", "\\lquote a\\rquote \\ldblquote b\\rdblquote \\emdash\\endash\\bullet",
                 "‘a’“b”—–•"},
        TextCase{"TabsAndLines", "a\\tab b\\line c", "a\tb\nc"},
        TextCase{"SourceLineEndsIgnored", "one\r\ntwo\nthree", "onetwothree"},
        TextCase{"StrayControlCharacters", std::string("a\x01\0b\tc", 6), "ab\tc"},
        TextCase{"IgnorableDestination", "a{\\*\\generator Writer 1.0;}{\\*\\unknown x}b", "ab"},
        TextCase{"Picture", "a{\\pict\\wmetafile8 0102ff}b", "ab"},
        TextCase{"BinaryData", "a{\\*\\blipuid \\bin4 {}{}}b", "ab"},
        TextCase{"BinaryBracesSkipped", "a{\\pict\\bin3 {{{}b", "ab"},
        TextCase{"FieldShowsResult", "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt site}}", "site"},
        TextCase{"ParagraphBySymbol", "a\\\nb", "a\rb"},
        TextCase{"UnknownWordsIgnored", "\\fs24\\cf1\\highlight2 x\\sa120 y", "xy"}),
    [](const auto& info) { return std::string(info.param.label); });

struct MalformedCase {
  const char* label;
  std::string rtf;
  const char* complaint;
  friend void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.label; }
};

class RtfReaderMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(RtfReaderMalformed, GivesAClearError) {
  try {
    (void)ReadRtf(GetParam().rtf);
    ADD_FAILURE() << "malformed rich text was accepted";
  } catch (const RtfError& error) {
    EXPECT_THAT(error.what(), HasSubstr(GetParam().complaint));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfReaderMalformed,
    ::testing::Values(
        MalformedCase{"Empty", "", "does not begin"},
        MalformedCase{"PlainText", "Just some notes.", "does not begin"},
        MalformedCase{"UnclosedGroup", "{\\rtf1 text {\\b bold}", "open group"},
        MalformedCase{"ExtraClosingBrace", "{\\rtf1 a}}", "text follows"},
        MalformedCase{"TextAfterEnd", "{\\rtf1 a} more", "text follows"},
        MalformedCase{"BinaryPastEnd", "{\\rtf1 {\\pict\\bin999 ab}}", "binary data"},
        MalformedCase{"NegativeBinary", "{\\rtf1 \\bin-5 ab}", "binary data"},
        MalformedCase{"BadHex", "{\\rtf1 \\'zz}", "two hex digits"},
        MalformedCase{"CutHex", "{\\rtf1 \\'4", "cut short"},
        MalformedCase{"BackslashAtEnd", "{\\rtf1 a\\", "ends after a backslash"},
        MalformedCase{"LongWord", "{\\rtf1 \\" + std::string(40, 'a') + " x}", "too long"},
        MalformedCase{"LongNumber", "{\\rtf1 \\fs12345678901 x}", "too long"},
        MalformedCase{"DashWithoutNumber", "{\\rtf1 \\u- x}", "without a number"},
        MalformedCase{"DeepNesting", "{\\rtf1 " + std::string(100000, '{'), "nested too deeply"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RtfReader, TrailingLineEndAndNulAfterTheDocumentAreAccepted) {
  EXPECT_EQ(ReadRtf(std::string("  {\\rtf1 a}\r\n\0", 14)).PlainText(), "a");
}

TEST(RtfReader, ShippedNotesFileReadsWithItsHeadings) {
  const auto text =
      host::ReadRtfFile(std::filesystem::path(CINDRAL_SOURCE_DIR) / "data" / "CindralNotes.rtf");
  const std::string plain = text.PlainText();
  EXPECT_THAT(plain, HasSubstr("works with AutoCAD® to replace blocks"));
  EXPECT_THAT(plain, HasSubstr("replacement block’s attributes"));
  EXPECT_THAT(plain, HasSubstr("Disclaimer:"));
  EXPECT_THAT(plain, ::testing::Not(HasSubstr("Arial")));
  EXPECT_THAT(plain, ::testing::Not(HasSubstr("Heading 1")));
  bool boldHeading = false;
  for (const auto& paragraph : text.paragraphs) {
    if (paragraph.runs.size() == 1 && paragraph.runs[0] == Bold("Major Features:")) boldHeading = true;
  }
  EXPECT_TRUE(boldHeading);
}

TEST(RtfReader, MissingFileGivesAnError) {
  EXPECT_THROW(host::ReadRtfFile("/nonexistent/folder/CindralNotes.rtf"), RtfError);
}

}  // namespace
