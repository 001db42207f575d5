// The program's notes: the rich-text file "CindralNotes.rtf" in the program's
// data folder, or the built-in notes when that file cannot be read.
#pragma once

#include <filesystem>
#include <string>

#include "host/rtf_reader.h"

namespace host {

inline constexpr const char* kNotesFileName = "CindralNotes.rtf";

// The folder the program's data files are installed in: the folder of the
// running executable, or <prefix>/share/cindral when the executable lives in
// <prefix>/bin and that folder exists.
std::filesystem::path ProgramDataFolder();

// The data folder for a program installed as `executable`.
std::filesystem::path DataFolderOfExecutable(const std::filesystem::path& executable);

// What the notes viewer shows.
struct Notes {
  enum class Source { File, BuiltIn };
  Source source = Source::BuiltIn;
  std::filesystem::path lookedAt;  // the notes file that was read or looked for
  StyledText richText;             // the file's text; empty for the built-in notes
  std::string plainText;           // the text without styles, lines joined by "\r"
};

// Reads the notes file from `folder`; any failure (missing, unreadable,
// malformed) gives the built-in notes naming the path that was looked at.
Notes LoadNotes(const std::filesystem::path& folder);

// Reads the notes file from `ProgramDataFolder()`.
Notes LoadNotes();

// The built-in notes, lines joined by single carriage returns; the first line
// names `lookedAt` as the file that could not be found.
std::string BuiltInNotes(const std::filesystem::path& lookedAt);

}  // namespace host
