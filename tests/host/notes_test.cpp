#include "host/notes.h"

#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/host/temp_folder.h"

namespace {

using host::Notes;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\r') {
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

TEST(Notes, BuiltInNotesNameTheMissingFileAndFollowTheirLineOrder) {
  host_test::TempFolder folder;
  const Notes notes = host::LoadNotes(folder.Path());
  EXPECT_EQ(notes.source, Notes::Source::BuiltIn);
  EXPECT_TRUE(notes.richText.paragraphs.empty());
  EXPECT_EQ(notes.plainText.find('\n'), std::string::npos);

  const auto lines = Lines(notes.plainText);
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0], "The file: " + (folder.Path() / "CindralNotes.rtf").string() +
                          " could not be found.");
  for (std::size_t blank : {1u, 3u, 5u, 11u, 13u}) EXPECT_EQ(lines[blank], "") << blank;
  EXPECT_EQ(lines[2],
            "The Cindral program works with AutoCAD® to replace blocks in your drawing, while "
            "preserving or combining the attribute data.");
  EXPECT_EQ(lines[4], "Major Features:");
  EXPECT_EQ(lines[9],
            "* Existing attributes values may be transferred, one to one or many to one, to the "
            "replacement block’s attributes via a configurable form.");
  EXPECT_EQ(lines[10],
            "* Other options include: scale, rotation, layer, and whether or not to erase the "
            "replaced blocks.");
  EXPECT_THAT(lines[12], StartsWith("Disclaimer:"));
  EXPECT_THAT(lines[12], HasSubstr("as-is"));
  EXPECT_THAT(lines[14], HasSubstr("web site"));
}

TEST(Notes, MalformedOrUnreadableFileFallsBackToTheBuiltInNotes) {
  host_test::TempFolder folder;
  std::ofstream(folder.Path() / "CindralNotes.rtf") << "{\\rtf1 unfinished {\\b notes";
  EXPECT_EQ(host::LoadNotes(folder.Path()).source, Notes::Source::BuiltIn);

  std::filesystem::remove(folder.Path() / "CindralNotes.rtf");
  std::filesystem::create_directory(folder.Path() / "CindralNotes.rtf");
  const Notes notes = host::LoadNotes(folder.Path());
  EXPECT_EQ(notes.source, Notes::Source::BuiltIn);
  EXPECT_THAT(notes.plainText, StartsWith("The file: " + folder.Path().string()));
}

TEST(Notes, NotesFileInTheFolderIsShownWithItsStyles) {
  host_test::TempFolder folder;
  std::ofstream(folder.Path() / "CindralNotes.rtf") << "{\\rtf1\\ansi {\\b Title}\\par Body\\par}";
  const Notes notes = host::LoadNotes(folder.Path());
  ASSERT_EQ(notes.source, Notes::Source::File);
  EXPECT_EQ(notes.lookedAt, folder.Path() / "CindralNotes.rtf");
  EXPECT_EQ(notes.plainText, "Title\rBody");
  EXPECT_TRUE(notes.richText.paragraphs.at(0).runs.at(0).bold);
}

TEST(Notes, BuildTreeShipsTheNotesBesideTheProgram) {
  const Notes notes = host::LoadNotes(std::filesystem::path(CINDRAL_BINARY_DIR) / "app");
  EXPECT_EQ(notes.source, Notes::Source::File);
  EXPECT_THAT(notes.plainText, HasSubstr("Major Features:"));
}

TEST(Notes, DataFolderIsTheProgramsOwnFolder) {
  const auto executable = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(host::ProgramDataFolder(), executable.parent_path());
}

TEST(Notes, InstalledProgramFindsItsDataInShare) {
  host_test::TempFolder prefix;
  const auto executable = prefix.Path() / "bin" / "cindral";
  EXPECT_EQ(host::DataFolderOfExecutable(executable), prefix.Path() / "bin");
  std::filesystem::create_directories(prefix.Path() / "share" / "cindral");
  EXPECT_EQ(host::DataFolderOfExecutable(executable), prefix.Path() / "share" / "cindral");
  EXPECT_EQ(host::DataFolderOfExecutable(prefix.Path() / "build" / "app" / "cindral"),
            prefix.Path() / "build" / "app");
}

}  // namespace
