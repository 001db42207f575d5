#include "forms/file_system_lists.h"

#include <fnmatch.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "forms/form.h"
#include "forms/text_format.h"

namespace forms {

namespace fs = std::filesystem;

namespace {

// File systems that hold no user folders: kernel interfaces, memory-backed
// scratch space, container plumbing and read-only package images.
const std::set<std::string, std::less<>> kPseudoFileSystems = {
    "autofs",   "binfmt_misc", "bpf",      "cgroup",  "cgroup2",   "configfs",   "debugfs",
    "devpts",   "devtmpfs",    "efivarfs", "fusectl", "hugetlbfs", "mqueue",     "nsfs",
    "proc",     "pstore",      "ramfs",    "rpc_pipefs", "securityfs", "selinuxfs", "squashfs",
    "sysfs",    "tmpfs",       "tracefs",  "fuse.gvfsd-fuse", "fuse.portal"};

// Mount points below these folders belong to the system, not to the user
// (removable media under /run/media excepted).
const std::vector<std::string> kSystemFolders = {"/proc", "/sys", "/dev", "/run", "/snap"};
constexpr std::string_view kRemovableMedia = "/run/media";

bool IsInside(std::string_view path, std::string_view folder) {
  if (folder == "/") return !path.empty() && path.front() == '/';
  return path == folder || (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
                            path[folder.size()] == '/');
}

// The /proc/self/mounts form of a field: blanks, tabs, newlines and
// backslashes are written as three octal digits after a backslash.
std::string DecodeMountField(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string_view digits = field.substr(i + 1, 3);
      if (digits.size() == 3 &&
          std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool LessNoCase(const std::string& a, const std::string& b) {
  const auto lower = [](unsigned char c) { return std::tolower(c); };
  const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                 [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
  if (less) return true;
  const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                    [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
  return !greater && a < b;  // names equal but for case keep one fixed order
}

}  // namespace

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
    return user->pw_dir;
  }
  return {};
}

namespace {

// "window.Control" for the messages of a control that is not on a form yet too.
std::string Where(const Control& control) {
  return (control.Parent() != nullptr ? control.Parent()->Name() + "." : std::string()) +
         control.QualifiedName();
}

// The text a list shows for a folder: absolute, without "." and ".." parts
// and without a trailing separator, letter case as written.
std::string ShownFolderText(const std::string& folder) {
  std::error_code error;
  fs::path absolute = fs::absolute(fs::path(folder), error);
  if (error) absolute = fs::path(folder);
  std::string text = absolute.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

// What one folder holds directly: its subfolders and its files.
struct FolderContents {
  std::vector<std::string> folders;
  std::vector<std::string> files;
};

// Reads `folder` for `control`, or throws FolderUnavailable: "path not found"
// when the text names no folder, "device unavailable" when the folder exists
// but cannot be read. An entry that cannot be examined is left out, and a
// folder that stops being readable part-way keeps what was read so far.
FolderContents ReadFolder(const Control& control, const std::string& folder) {
  const std::optional<fs::path> disk = ResolveFolder(folder);
  if (!disk) {
    std::error_code error;
    [[maybe_unused]] const fs::file_status status = fs::status(fs::path(folder), error);
    const bool missing = !error || error == std::errc::no_such_file_or_directory ||
                         error == std::errc::not_a_directory;
    throw FolderUnavailable(Where(control), missing ? kPathNotFound : kDeviceUnavailable, folder,
                            missing ? std::string() : error.message());
  }
  std::error_code error;
  fs::directory_iterator entries(*disk, error);
  if (error) {
    throw FolderUnavailable(Where(control), kDeviceUnavailable, folder, error.message());
  }
  FolderContents contents;
  for (const fs::directory_iterator end; entries != end;) {
    std::error_code kindError;
    const fs::directory_entry& entry = *entries;
    std::string name = entry.path().filename().string();
    if (entry.is_directory(kindError)) {
      if (!name.starts_with(".")) contents.folders.push_back(std::move(name));
    } else if (entry.is_regular_file(kindError)) {
      contents.files.push_back(std::move(name));
    }
    entries.increment(error);
    if (error) break;
  }
  std::sort(contents.folders.begin(), contents.folders.end(), LessNoCase);
  std::sort(contents.files.begin(), contents.files.end(), LessNoCase);
  return contents;
}

}  // namespace

std::optional<fs::path> ResolveFolder(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::error_code error;
  fs::path given = fs::absolute(fs::path(std::string(text)), error);
  if (error) return std::nullopt;
  given = given.lexically_normal();
  fs::path resolved = given.root_path();
  for (const fs::path& part : given.relative_path()) {
    if (part.empty()) continue;  // what a trailing separator leaves
    if (fs::path exact = resolved / part; fs::exists(exact, error)) {
      resolved = std::move(exact);
      continue;
    }
    std::optional<fs::path> match;
    for (fs::directory_iterator it(resolved, error), end; !error && it != end; it.increment(error)) {
      if (EqualsNoCase(it->path().filename().string(), part.string())) {
        match = it->path();
        break;
      }
    }
    if (!match) return std::nullopt;
    resolved = std::move(*match);
  }
  if (!fs::is_directory(resolved, error)) return std::nullopt;
  return resolved;
}

std::vector<std::string> RealFileSystemMounts(std::string_view mountTable) {
  std::vector<std::string> mounts;
  std::istringstream lines{std::string(mountTable)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device;
    std::string point;
    std::string type;
    if (!(fields >> device >> point >> type)) continue;
    if (kPseudoFileSystems.count(type) != 0) continue;
    point = DecodeMountField(point);
    const bool system = std::any_of(kSystemFolders.begin(), kSystemFolders.end(), [&](const std::string& folder) {
      return IsInside(point, folder);
    });
    if (system && !IsInside(point, kRemovableMedia)) continue;
    if (std::find(mounts.begin(), mounts.end(), point) == mounts.end()) mounts.push_back(point);
  }
  return mounts;
}

std::vector<std::string> FileSystemRoots() {
  std::vector<std::string> candidates = {"/", HomeFolder()};
  std::ifstream table("/proc/self/mounts");
  std::stringstream text;
  text << table.rdbuf();
  for (std::string& mount : RealFileSystemMounts(text.str())) candidates.push_back(std::move(mount));

  std::vector<std::string> roots;
  for (const std::string& candidate : candidates) {
    if (candidate.empty()) continue;
    const std::string shown = ShownFolderText(candidate);
    std::error_code error;
    if (!fs::is_directory(shown, error)) continue;
    if (std::find(roots.begin(), roots.end(), shown) == roots.end()) roots.push_back(shown);
  }
  return roots;
}

bool MatchesFilePattern(std::string_view name, std::string_view pattern) {
  const std::string subject(name);
  std::size_t start = 0;
  while (start <= pattern.size()) {
    std::size_t stop = pattern.find(';', start);
    if (stop == std::string_view::npos) stop = pattern.size();
    std::string_view one = pattern.substr(start, stop - start);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
    // fnmatch with case folding is the C library's own wildcard matcher.
    if (!one.empty() && ::fnmatch(std::string(one).c_str(), subject.c_str(), FNM_CASEFOLD) == 0) return true;
    start = stop + 1;
  }
  return false;
}

// ---- DriveList ----

void DriveList::Refresh(std::vector<std::string> roots) {
  Clear();
  for (std::string& root : roots) AddItem(std::move(root));
  announcedIndex_ = -1;
}

void DriveList::ShowDriveOf(const std::string& folder) {
  int best = -1;
  std::size_t bestLength = 0;
  for (int i = 0; i < ListCount(); ++i) {
    const std::string& root = List(i);
    if (IsInside(folder, root) && (best < 0 || root.size() > bestLength)) {
      best = i;
      bestLength = root.size();
    }
  }
  ListIndexQuietly(best);
  announcedIndex_ = best;
}

void DriveList::SelectionChanged() {
  if (ListIndex() == announcedIndex_) return;
  announcedIndex_ = ListIndex();
  if (announcedIndex_ >= 0) RaiseEvent(onChange);
}

void DriveList::RestoreDesignState() {
  ListControl::RestoreDesignState();
  announcedIndex_ = ListIndex();
}

// ---- DirectoryList ----

void DirectoryList::Path(const std::string& folder) {
  const std::string shown = ShownFolderText(folder);
  FolderContents contents = ReadFolder(*this, folder);
  const bool changed = shown != path_;
  path_ = shown;
  Clear();
  for (std::string& name : contents.folders) AddItem(std::move(name));
  if (changed) RaiseEvent(onChange);
}

std::string DirectoryList::EntryPath(int index) const {
  const std::string& name = List(index);
  return path_ == "/" ? "/" + name : path_ + "/" + name;
}

std::string DirectoryList::Text() const { return ListIndex() < 0 ? path_ : EntryPath(ListIndex()); }

void DirectoryList::UserOpen(int index) {
  CheckIndex(index, "entry");
  BeginUserGesture();
  Path(EntryPath(index));
}

void DirectoryList::UserUp() {
  BeginUserGesture();
  if (path_.empty() || path_ == "/") return;
  Path(fs::path(path_).parent_path().string());
}

void DirectoryList::UserGoTo(const std::string& folder) {
  BeginUserGesture();
  Path(folder);
}

void DirectoryList::SaveDesignState() {
  ListControl::SaveDesignState();
  designPath_ = path_;
}

void DirectoryList::RestoreDesignState() {
  ListControl::RestoreDesignState();
  path_ = designPath_;
}

// ---- FileList ----

void FileList::Path(const std::string& folder) {
  FolderContents contents = ReadFolder(*this, folder);
  source_.path = ShownFolderText(folder);
  Clear();
  for (std::string& name : contents.files) {
    if (MatchesFilePattern(name, source_.pattern)) AddItem(std::move(name));
  }
}

void FileList::Pattern(std::string pattern) {
  source_.pattern = std::move(pattern);
  if (source_.path.empty()) return;
  try {
    Refresh();
  } catch (const FolderUnavailable&) {
    Clear();
  }
}

void FileList::Refresh() {
  if (!source_.path.empty()) Path(source_.path);
}

void FileList::SaveDesignState() {
  ListBox::SaveDesignState();
  design_ = source_;
}

void FileList::RestoreDesignState() {
  ListBox::RestoreDesignState();
  source_ = design_;
}

}  // namespace forms
