// The file-system list controls of a folder chooser: a drive list of the
// roots a user picks from, a directory list of one folder's subfolders, and a
// file list of one folder's files that match a pattern.
#pragma once

#include "forms/list_controls.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

inline constexpr const char* kDeviceUnavailable = "device unavailable";
inline constexpr const char* kPathNotFound = "path not found";

// A folder cannot be shown: it exists but cannot be read (as a drive that is
// not ready: "device unavailable"), or it does not exist ("path not found").
// what() names the control, the description and the folder.
class FolderUnavailable : public ControlError {
 public:
  FolderUnavailable(const std::string& where, std::string description, const std::string& folder,
                    const std::string& reason = {})
      : ControlError(where + " " + description + ": " + folder + (reason.empty() ? "" : " (" + reason + ")")),
        description_(std::move(description)) {}
  // kDeviceUnavailable or kPathNotFound.
  const std::string& Description() const { return description_; }

 private:
  std::string description_;
};

// The folder that `text` names on disk, as an absolute path without "." and
// ".." parts: each part is taken as written when it exists, else the first
// entry that matches it without regard to letter case (as a Windows file
// system finds C:\Blocks for c:\blocks). nullopt when no such folder exists.
std::optional<std::filesystem::path> ResolveFolder(std::string_view text);

// The mount points of real file systems in a mount table written as
// /proc/self/mounts writes it (octal escapes such as \040 decoded), in table
// order, each once. Pseudo and kernel file systems (proc, sysfs, tmpfs,
// cgroup, ...) and mounts inside /proc, /sys and /dev are left out.
std::vector<std::string> RealFileSystemMounts(std::string_view mountTable);

// The user's home folder ($HOME, else the password database); empty when unknown.
std::string HomeFolder();

// The roots a user picks from on this machine: "/", the home folder, then the
// mounted volumes of /proc/self/mounts; only existing folders, each once.
std::vector<std::string> FileSystemRoots();

// Whether a file name matches a pattern such as "*.dwg" ("*" any run of
// characters, "?" one character), without regard to letter case. Several
// patterns may be joined by ";".
bool MatchesFilePattern(std::string_view name, std::string_view pattern);

// A drive list: one entry per file-system root, the selected one being the
// current drive. Choosing another entry (by the user, or by the program
// setting ListIndex) raises Change; choosing the entry already selected
// raises nothing. The entries are read again by Refresh, which a window calls
// when it loads.
class DriveList : public ListControl {
 public:
  using ListControl::ListControl;

  // Reads this machine's roots; selects nothing and raises nothing.
  void Refresh() { Refresh(FileSystemRoots()); }
  void Refresh(std::vector<std::string> roots);
  // The selected root, empty when none is selected.
  std::string Drive() const { return Text(); }
  // Selects, without raising Change, the root that holds `folder` most
  // closely (the current drive of that folder); nothing when none does.
  void ShowDriveOf(const std::string& folder);

  std::function<void()> onChange;

 protected:
  void SelectionChanged() override;
  void RestoreDesignState() override;

 private:
  int announcedIndex_ = -1;  // the selection Change was last raised for
};

// A directory list: the current folder (Path) and its subfolders as entries,
// sorted without regard to letter case (hidden folders, whose names begin
// with ".", are left out). ListIndex -1 stands for the current folder itself.
// Setting Path to another folder lists it and raises Change; selecting an
// entry raises Click and leaves Path as it is.
class DirectoryList : public ListControl {
 public:
  using ListControl::ListControl;

  // The current folder as it was set (absolute, without a trailing "/"
  // except for the root); empty before the first set.
  const std::string& Path() const { return path_; }
  // Goes to `folder`; a relative text is taken from the working directory.
  // Throws FolderUnavailable ("device unavailable", "path not found") and
  // then keeps the folder it had.
  void Path(const std::string& folder);
  // The full path of entry `index`.
  std::string EntryPath(int index) const;
  // The selected subfolder's full path, or Path when none is selected.
  std::string Text() const override;

  // The user's gestures: opening entry `index` (a double click), going up
  // one level (".."), and going to a folder by its path. Each is refused with
  // a ControlError (FolderUnavailable when the folder cannot be shown).
  void UserOpen(int index);
  void UserUp();
  void UserGoTo(const std::string& folder);

  std::function<void()> onChange;

 protected:
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  std::string path_;
  std::string designPath_;
};

// A file list: the files directly in one folder (Path) whose names match
// Pattern, sorted without regard to letter case. Setting Path or Pattern
// reads the folder again.
class FileList : public ListBox {
 public:
  explicit FileList(std::string name, int index = -1) : ListBox(std::move(name), index) {}

  const std::string& Path() const { return source_.path; }
  // Lists `folder`; throws FolderUnavailable and then keeps the list it had.
  void Path(const std::string& folder);
  const std::string& Pattern() const { return source_.pattern; }
  // Sets the pattern and lists the folder again; a folder that can no longer
  // be read then leaves the list empty.
  void Pattern(std::string pattern);
  // Reads the folder again; throws FolderUnavailable as Path does.
  void Refresh();

 protected:
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  struct Source {
    std::string path;
    std::string pattern = "*.*";
  };
  Source source_;
  Source design_;
};

}  // namespace forms
