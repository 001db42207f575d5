#include <gtest/gtest.h>

#include "cadhost/dxf/text_codec.h"

namespace cadhost::dxf {
namespace {

TEST(TextCodec, OlderFilesUseTheirCodePageAndEscapes) {
  const TextCodec codec("AC1015", "ANSI_1252");
  EXPECT_FALSE(codec.utf8());
  EXPECT_EQ(codec.decode("Stra\xDF" "e \x80"), "Stra\xC3\x9F" "e \xE2\x82\xAC");  // ß, € (0x80 in 1252)
  EXPECT_EQ(codec.decode("\\U+03A9 ohm"), "\xCE\xA9 ohm");
  EXPECT_EQ(codec.encode("Stra\xC3\x9F" "e"), "Stra\xDF" "e");
  EXPECT_EQ(codec.encode("\xCE\xA9 ohm"), "\\U+03A9 ohm");  // not in code page 1252
  // Beyond the first 65,536 characters: a surrogate pair of escapes.
  EXPECT_EQ(codec.decode("pipe \\U+D83D\\U+DEB0"), "pipe \xF0\x9F\x9A\xB0");
  EXPECT_EQ(codec.encode("pipe \xF0\x9F\x9A\xB0"), "pipe \\U+D83D\\U+DEB0");
  EXPECT_EQ(codec.decode("\\U+D83D alone"), "\xED\xA0\xBD alone");  // a lone half is kept as the unit it names
  EXPECT_EQ(codec.encode("plain"), "plain");
}

TEST(TextCodec, NewerFilesAreUtf8) {
  const TextCodec codec("AC1032", "ANSI_1252");
  EXPECT_TRUE(codec.utf8());
  EXPECT_EQ(codec.decode("\xCE\xA9 \\U+00DF"), "\xCE\xA9 \xC3\x9F");
  EXPECT_EQ(codec.encode("\xCE\xA9"), "\xCE\xA9");
}

TEST(TextCodec, OtherCodePages) {
  EXPECT_EQ(TextCodec("AC1009", "ANSI_1251").decode("\xC4\xE0"), "\xD0\x94\xD0\xB0");  // Cyrillic "Да"
  EXPECT_EQ(TextCodec("AC1009", "ANSI_1251").encode("\xD0\x94\xD0\xB0"), "\xC4\xE0");
}

}  // namespace
}  // namespace cadhost::dxf
