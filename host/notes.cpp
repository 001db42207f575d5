#include "host/notes.h"

#include <array>
#include <string_view>
#include <system_error>

namespace host {
namespace {

// The lines after the first one; an empty entry is a blank line.
constexpr std::array<std::string_view, 14> kBuiltInNotesBody{
    "",
    "The Cindral program works with AutoCAD® to replace blocks in your drawing, while "
    "preserving or combining the attribute data.",
    "",
    "Major Features:",
    "",
    "* The program records the blocks in your current AutoCAD drawing and displays them in an "
    "interactive grid.",
    "* Blocks may be replaced with any other blocks found within the drawing or from a selected "
    "directory.",
    "* Blocks to be replaced may be selected globally or from within a closed polyline.",
    "* Existing attributes values may be transferred, one to one or many to one, to the "
    "replacement block’s attributes via a configurable form.",
    "* Other options include: scale, rotation, layer, and whether or not to erase the replaced "
    "blocks.",
    "",
    "Disclaimer: Fenwright, its employees, owners, shareholders and agents are not responsible "
    "for the use or misuse of this program. The program is provided as-is. Users are "
    "responsible for checking all data, all changes to their documents and all results "
    "obtained or caused by using this program. As with all database work, frequent back-ups "
    "of your files to a secure location are recommended.",
    "",
    "For more information about the Cindral program, visit the Fenwright web site at "
    "https://www.fenwright.com/cindral",
};

}  // namespace

std::filesystem::path DataFolderOfExecutable(const std::filesystem::path& executable) {
  const std::filesystem::path folder = executable.parent_path();
  if (folder.filename() == "bin") {
    const std::filesystem::path installed = folder.parent_path() / "share" / "cindral";
    std::error_code error;
    if (std::filesystem::is_directory(installed, error)) return installed;
  }
  return folder;
}

std::filesystem::path ProgramDataFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return DataFolderOfExecutable(executable);
}

std::string BuiltInNotes(const std::filesystem::path& lookedAt) {
  std::string text = "The file: " + lookedAt.string() + " could not be found.";
  for (const std::string_view line : kBuiltInNotesBody) {
    text += '\r';
    text += line;
  }
  return text;
}

Notes LoadNotes(const std::filesystem::path& folder) {
  Notes notes;
  notes.lookedAt = folder / kNotesFileName;
  try {
    notes.richText = ReadRtfFile(notes.lookedAt);
    notes.plainText = notes.richText.PlainText();
    notes.source = Notes::Source::File;
  } catch (const RtfError&) {
    notes.richText = StyledText();
    notes.plainText = BuiltInNotes(notes.lookedAt);
    notes.source = Notes::Source::BuiltIn;
  }
  return notes;
}

Notes LoadNotes() { return LoadNotes(ProgramDataFolder()); }

}  // namespace host
