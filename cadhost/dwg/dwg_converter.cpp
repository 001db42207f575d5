#include "cadhost/dwg/dwg_converter.h"

#include <stdlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cadhost/dwg/helper_process.h"
#include "host/cad.h"

namespace cadhost::dwg {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPackage = "@mlightcad/libredwg-web";
constexpr const char* kDxfFile = "drawing.dxf";
constexpr const char* kSidecarFile = "attributes.json";
constexpr const char* kKeyFile = "source";

// The helper's exit statuses for failures it explains on standard error.
constexpr int kUnreadable = 3, kRefused = 4, kWriterFailed = 5;

// The releases a DWG file's version code names, oldest first; the reader
// takes R2000 to R2018.
constexpr std::array<std::pair<const char*, const char*>, 12> kReleases{{
    {"AC1003", "R2.6"}, {"AC1004", "R9"}, {"AC1006", "R10"}, {"AC1009", "R11/R12"},
    {"AC1012", "R13"}, {"AC1014", "R14"}, {"AC1015", "R2000"}, {"AC1018", "R2004"},
    {"AC1021", "R2007"}, {"AC1024", "R2010"}, {"AC1027", "R2013"}, {"AC1032", "R2018"},
}};
constexpr const char* kOldest = "AC1015";
constexpr const char* kNewest = "AC1032";

[[noreturn]] void Fail(const std::string& shownName, const std::string& why) {
  throw cad::HostError("Cannot read " + shownName + ": " + why);
}

// FNV-1a: a stable name for a cache entry; the entry's key file holds the
// whole key, so two keys that hash alike never share an entry.
std::string HashName(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
  return name;
}

std::string ReadWhole(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string FirstLine(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.find_first_not_of(" \t\r") != std::string::npos) return line;
  }
  return {};
}

// Node's own report of an uncaught error is a stack; its "Error: ..." line says what.
std::string ErrorLine(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.find("Error") != std::string::npos && line.find("    at ") != 0) return line;
  }
  return FirstLine(text);
}

// Makes a new empty folder `base/prefixXXXXXX`.
fs::path MakeWorkFolder(const fs::path& base, const std::string& prefix) {
  std::string pattern = (base / (prefix + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

}  // namespace

std::string DwgRelease(const std::string& versionCode) {
  for (const auto& [code, release] : kReleases)
    if (versionCode == code) return release;
  return {};
}

DwgConverter::DwgConverter(DwgReaderSetup setup) : setup_(std::move(setup)) {}

void DwgConverter::CheckInstalled(const std::string& shownName) const {
  std::error_code ec;
  if (setup_.script.empty() || !fs::exists(setup_.script, ec))
    Fail(shownName, "the DWG reader is not installed (" + setup_.script.string() +
                        " is missing); scripts/install-deps.sh installs it");
  const fs::path package = setup_.script.parent_path() / "node_modules" / kPackage / "package.json";
  if (!fs::exists(package, ec))
    Fail(shownName, std::string("the DWG reader's package ") + kPackage +
                        " is not installed; scripts/install-deps.sh installs it");
}

void DwgConverter::RunReader(const fs::path& dwg, const fs::path& folder, const std::string& shownName) {
  ++helperRuns_;
  // --liftoff-only: the module is 9.5 MB of WebAssembly, and without it exit
  // waits many seconds for V8 to finish optimising code that already ran.
  const HelperOutcome outcome = RunHelper(
      {setup_.node, "--liftoff-only", setup_.script.string(), dwg.string(), (folder / kDxfFile).string(),
       (folder / kSidecarFile).string()},
      setup_.timeLimit);
  switch (outcome.end) {
    case HelperOutcome::End::NotFound:
      Fail(shownName, "the DWG reader needs Node.js (\"" + setup_.node +
                          "\"), which is not installed or not on the PATH");
    case HelperOutcome::End::NotStarted:
      Fail(shownName, "the DWG reader could not be started (error " + std::to_string(outcome.status) + ")");
    case HelperOutcome::End::TimedOut:
      Fail(shownName, "the DWG reader did not finish within " +
                          std::to_string(setup_.timeLimit.count() / 1000) + " s and was stopped");
    case HelperOutcome::End::Signalled:
      Fail(shownName, "the DWG reader crashed (signal " + std::to_string(outcome.status) + ")");
    case HelperOutcome::End::Exited:
      break;
  }
  if (outcome.status == kUnreadable || outcome.status == kRefused || outcome.status == kWriterFailed)
    Fail(shownName, FirstLine(outcome.errorText));
  if (outcome.status != 0) {
    const std::string line = ErrorLine(outcome.errorText);
    Fail(shownName, "the DWG reader failed (exit status " + std::to_string(outcome.status) + ")" +
                        (line.empty() ? "" : ": " + line));
  }
  std::error_code ec;
  if (!fs::exists(folder / kDxfFile, ec) || !fs::exists(folder / kSidecarFile, ec))
    Fail(shownName, "the DWG reader ended without writing the drawing");
}

ConvertedDwg DwgConverter::Convert(const fs::path& dwg, const std::string& shownName) {
  std::error_code ec;
  const fs::path source = fs::absolute(dwg, ec);
  const auto size = fs::file_size(source, ec);
  if (ec) Fail(shownName, ec.message());
  const auto modified = fs::last_write_time(source, ec);
  if (ec) Fail(shownName, ec.message());

  std::string version(6, '\0');
  {
    std::ifstream in(source, std::ios::binary);
    in.read(version.data(), 6);
    if (in.gcount() != 6 || !version.starts_with("AC1")) Fail(shownName, "it is not a DWG drawing");
  }
  const std::string release = DwgRelease(version);
  const std::string named = release.empty() ? version : release + " (" + version + ")";
  if (version < kOldest)
    Fail(shownName, "it is a DWG drawing of release " + named + "; the DWG reader reads R2000 to R2018 drawings");
  if (version > kNewest)
    Fail(shownName, "it is a DWG drawing newer than R2018 (" + version +
                        "); the DWG reader reads R2000 to R2018 drawings");

  const std::string key = source.string() + "\n" + std::to_string(size) + "\n" +
                          std::to_string(modified.time_since_epoch().count()) + "\n";
  // A cache folder that cannot be made leaves the conversion uncached.
  fs::path entry;
  if (!setup_.cacheFolder.empty()) {
    ec.clear();
    fs::create_directories(setup_.cacheFolder, ec);
    if (!ec) entry = setup_.cacheFolder / HashName(key);
  }
  if (!entry.empty() && ReadWhole(entry / kKeyFile) == key && fs::exists(entry / kDxfFile, ec) &&
      fs::exists(entry / kSidecarFile, ec))
    return {entry / kDxfFile, entry / kSidecarFile, true, {}};

  CheckInstalled(shownName);
  const fs::path work = entry.empty() ? MakeWorkFolder(fs::temp_directory_path(ec), "cindral-dwg-")
                                      : MakeWorkFolder(setup_.cacheFolder, ".converting-");
  if (work.empty()) Fail(shownName, "no folder to convert it in");
  try {
    RunReader(source, work, shownName);
    if (entry.empty()) return {work / kDxfFile, work / kSidecarFile, false, work};
    std::ofstream(work / kKeyFile, std::ios::binary) << key;
    fs::remove_all(entry, ec);
    fs::rename(work, entry, ec);
    if (ec) Fail(shownName, "cannot keep the converted drawing in " + setup_.cacheFolder.string() + ": " + ec.message());
    return {entry / kDxfFile, entry / kSidecarFile, false, {}};
  } catch (...) {
    fs::remove_all(work, ec);
    throw;
  }
}

}  // namespace cadhost::dwg
