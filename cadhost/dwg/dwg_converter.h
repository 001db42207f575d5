// Turns a DWG file into the DXF text and attribute sidecar the host reads, by
// the DWG reader helper (a node program), with a cache of what it converted.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace cadhost::dwg {

// Where the helper is and how long it may take.
struct DwgReaderSetup {
  std::string node = "node";            // the Node.js program, looked up on PATH
  std::filesystem::path script;         // dwg_reader.mjs, with its node_modules beside it
  std::chrono::milliseconds timeLimit{120'000};
  // Converted files are kept here, keyed by the DWG's path, size and
  // modification time; none given keeps nothing between conversions.
  std::filesystem::path cacheFolder;
};

// The files one conversion gave.
struct ConvertedDwg {
  std::filesystem::path dxf;
  std::filesystem::path sidecar;
  bool fromCache = false;
  // Set when nothing is cached: the folder holding both, for the caller to
  // remove once it has read them.
  std::filesystem::path temporaryFolder;
};

// The release a DWG file's first six bytes name ("R2004" for "AC1018"), or
// empty when they name none this knows.
std::string DwgRelease(const std::string& versionCode);

// Runs the helper, one process per file. Every failure throws cad::HostError
// naming the file as `shownName` and saying why; nothing is cached then.
class DwgConverter {
 public:
  explicit DwgConverter(DwgReaderSetup setup);

  ConvertedDwg Convert(const std::filesystem::path& dwg, const std::string& shownName);
  // How many conversions ran the helper (a cache hit runs none).
  int HelperRuns() const { return helperRuns_; }

 private:
  void CheckInstalled(const std::string& shownName) const;
  void RunReader(const std::filesystem::path& dwg, const std::filesystem::path& folder,
                 const std::string& shownName);

  DwgReaderSetup setup_;
  int helperRuns_ = 0;
};

}  // namespace cadhost::dwg
