#include <gtest/gtest.h>

#include "cadhost/dxf/error.h"
#include "cadhost/dxf/tag_reader.h"
#include "cadhost/dxf/tag_writer.h"
#include "tests/cadhost/dxf/dxf_fixture.h"

namespace cadhost::dxf {
namespace {

using test::asciiDxf;

TEST(AsciiTagReader, KeepsValueTextAndReadsLfAndCrLf) {
  for (const std::string eol : {"\n", "\r\n"}) {
    const std::string text = "  0" + eol + "SECTION" + eol + "2" + eol + "HEADER" + eol + " 40 " + eol +
                              "  1.50 " + eol + "  0" + eol + "EOF" + eol;
    TagList tags = readTags(text, "a.dxf");
    ASSERT_EQ(tags.size(), 4u);
    EXPECT_EQ(tags.code(1), 2);
    EXPECT_EQ(tags.value(1), "HEADER");
    EXPECT_EQ(tags.code(2), 40);
    EXPECT_EQ(tags.value(2), "  1.50 ");  // the value as written, spaces and all
    EXPECT_EQ(tags.lineEnding(), eol);
    EXPECT_EQ(tags.raw(1, 2), "2" + eol + "HEADER" + eol);
  }
}

TEST(AsciiTagReader, StopsAtEofAndKeepsWhatFollows) {
  const std::string text = "  0\nEOF\n\n\ngarbage that is never read\n";
  TagList tags = readTags(text, "a.dxf");
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags.trailer(), "\n\ngarbage that is never read\n");
}

// Each tag keeps only where it starts and how far its value is from there;
// a code line too long to say so still finds its value.
TEST(AsciiTagReader, ValueAfterAVeryLongCodeLine) {
  const std::string text = "  0\r\nSECTION\r\n" + std::string(70000, ' ') + "2\r\nHEADER\r\n  0\r\nEOF";
  TagList tags = readTags(text, "a.dxf");
  ASSERT_EQ(tags.size(), 3u);
  EXPECT_EQ(tags.code(1), 2);
  EXPECT_EQ(tags.value(1), "HEADER");
  EXPECT_EQ(tags.value(2), "EOF");
  EXPECT_EQ(tags.raw(0, 3), text);
}

TEST(AsciiTagReader, LastValueWithoutLineEnd) {
  TagList tags = readTags("  0\nSECTION\n  0\nEOF", "a.dxf");
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags.value(1), "EOF");
}

// Once the positions of read tags are given back, every code, value and raw
// span is found again in the file's text, whatever order they are asked in.
TEST(AsciiTagReader, ReleasedPositionsAreFoundAgainInTheText) {
  for (const std::string eol : {"\n", "\r\n"}) {
    std::string text = "\xEF\xBB\xBF  0" + eol + "SECTION" + eol + "\t2 " + eol + "ENTITIES" + eol;
    for (int i = 0; i < 40; ++i) {
      text += "  0" + eol + "INSERT" + eol + " 1" + eol + eol;  // an empty value
      text += (i == 7 ? std::string(70000, ' ') : std::string()) + "  8" + eol + "L" + std::to_string(i) + eol;
      text += "1000" + eol + "  value with  spaces " + eol;
    }
    text += "  0" + eol + "ENDSEC" + eol + "  0" + eol + "EOF";
    const TagList tags = readTags(text, "a.dxf");
    struct Seen {
      int code;
      std::string value;
      std::string raw;
    };
    std::vector<Seen> before;
    for (std::size_t i = 0; i < tags.size(); ++i)
      before.push_back({tags.code(i), std::string(tags.value(i)), std::string(tags.raw(i, i + 1))});

    for (const std::size_t releasedTo : {std::size_t{5}, std::size_t{37}, tags.size()}) {
      tags.releasePositionsBefore(releasedTo);
      std::vector<std::size_t> order;
      for (std::size_t i = tags.size(); i-- > 0;) order.push_back(i);             // backwards
      for (std::size_t i = 0; i < tags.size(); ++i) order.push_back(i);           // forwards
      for (std::size_t i = 0; i < tags.size(); ++i) order.push_back(i * 37 % tags.size());  // scattered
      for (const std::size_t i : order) {
        ASSERT_EQ(tags.code(i), before[i].code) << "tag " << i << " released to " << releasedTo;
        ASSERT_EQ(tags.value(i), before[i].value) << "tag " << i;
        ASSERT_EQ(tags.raw(i, i + 1), before[i].raw) << "tag " << i;
      }
      EXPECT_EQ(tags.preamble(), "\xEF\xBB\xBF");
      EXPECT_EQ(std::string(tags.preamble()) + std::string(tags.raw(0, tags.size())), text);
    }
  }
}

struct BadFile {
  const char* name;
  std::string text;
  std::string message;
};

class BadDxf : public testing::TestWithParam<BadFile> {};

TEST_P(BadDxf, NamesFileLineAndFault) {
  try {
    readTags(GetParam().text, "site.dxf");
    FAIL() << "read a broken file";
  } catch (const DxfError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadDxf,
    testing::Values(
        BadFile{"CodeNotANumber", "  0\nSECTION\nabc\nHEADER\n", "site.dxf, line 3: expected a group code, found \"abc\""},
        BadFile{"MissingValue", "  0\nSECTION\n  2\n", "site.dxf, line 3: group code 2 has no value line"},
        BadFile{"CodeOutOfRange", "99999999\nx\n", "site.dxf, line 1: group code 99999999 is out of range"},
        BadFile{"Empty", "", "site.dxf: the file is empty"},
        BadFile{"Dwg", std::string("AC1015\0\0\0", 9), "site.dxf: this is a DWG drawing; the built-in host reads DXF drawings"},
        BadFile{"BinaryTruncatedReal", std::string(kBinarySentinel) + std::string("\x0A\x00\x01\x02", 4),
                "site.dxf, byte offset 24: the file ends inside a real value"},
        BadFile{"BinaryUnterminatedText", std::string(kBinarySentinel) + std::string("\x00\x00SECT", 6),
                "site.dxf, byte offset 24: a text value has no terminating zero byte"}),
    [](const auto& info) { return info.param.name; });

// Binary files: written with each code width, read back to the same tags and
// written again byte for byte.
TEST(BinaryTags, RoundTripEveryValueKind) {
  const test::Pairs pairs{{0, "SECTION"}, {2, "ENTITIES"}, {0, "LWPOLYLINE"}, {5, "2F"}, {10, "1.25"},
                          {20, "-3e-05"}, {70, "1"}, {90, "70000"}, {160, "123456789012"}, {290, "1"},
                          {310, "00FF10AB"}, {1004, "0A0B"}, {1071, "-5"}, {1040, "0.1"}, {0, "ENDSEC"}, {0, "EOF"}};
  for (BinaryCodeWidth width : {BinaryCodeWidth::OneByte, BinaryCodeWidth::TwoBytes}) {
    std::string bytes;
    TagWriter writer(bytes, WriteFormat{FileFormat::Binary, "\n", width});
    writer.writeStart();
    for (const auto& [code, value] : pairs) writer.write(code, value);
    TagList tags = readTags(bytes, "b.dxf");
    ASSERT_EQ(tags.format(), FileFormat::Binary);
    EXPECT_EQ(tags.codeWidth(), width);
    ASSERT_EQ(tags.size(), pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      EXPECT_EQ(tags.code(i), pairs[i].first);
      EXPECT_EQ(tags.value(i), pairs[i].second) << "code " << pairs[i].first;
    }
    std::string again;
    TagWriter(again, WriteFormat::of(tags)).writeFile(tags);
    EXPECT_EQ(again, bytes);
  }
}

TEST(TagWriter, CopiesReadFilesByteForByteAndConvertsBetweenLayouts) {
  const std::string text = "0\r\nSECTION\r\n  2\r\nENTITIES\r\n 10\r\n1.000\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n\r\n";
  TagList tags = readTags(text, "a.dxf");
  std::string same;
  TagWriter(same, WriteFormat::of(tags)).writeFile(tags);
  EXPECT_EQ(same, text);

  std::string binary;
  TagWriter(binary, WriteFormat{FileFormat::Binary}).writeFile(tags);
  TagList fromBinary = readTags(binary, "b.dxf");
  std::string ascii;
  TagWriter(ascii, WriteFormat{}).writeFile(fromBinary);
  EXPECT_EQ(ascii, "  0\nSECTION\n  2\nENTITIES\n 10\n1\n  0\nENDSEC\n  0\nEOF\n");
}

TEST(TagWriter, RefusesValuesBinaryCannotHold) {
  std::string out;
  TagWriter writer(out, WriteFormat{FileFormat::Binary});
  EXPECT_THROW(writer.write(10, "not a number"), DxfError);
  EXPECT_THROW(writer.write(310, "XYZ"), DxfError);
}

}  // namespace
}  // namespace cadhost::dxf
