// Listing a large blocks directory in the chooser's lists: the file list with
// its "*.dwg" pattern and the directory list, as a user who keeps thousands of
// drawing files in one folder meets them; and finding a folder written in
// other letter case.
#include "forms/file_system_lists.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A folder of `files` files, every other one a drawing file ("*.DWG" and
// "*.dwg" alternating), the rest backups, plus 100 subfolders.
class LargeFolder {
 public:
  explicit LargeFolder(int files)
      : path_(fs::temp_directory_path() /
              ("cindral_drivedir_bench_" + std::to_string(::getpid()) + "_" + std::to_string(files))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
    for (int i = 0; i < files; ++i) {
      const std::string name = "BLOCK_" + std::to_string((i * 7919) % files) +
                               (i % 4 == 0 ? ".DWG" : i % 2 == 0 ? ".dwg" : ".dwg.bak");
      std::ofstream(path_ / name) << "0\nEOF\n";
    }
    for (int i = 0; i < 100; ++i) fs::create_directories(path_ / ("Folder_" + std::to_string(i)));
  }
  ~LargeFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  LargeFolder(const LargeFolder&) = delete;
  LargeFolder& operator=(const LargeFolder&) = delete;
  std::string Path() const { return path_.string(); }

 private:
  fs::path path_;
};

void BM_FileListDrawingFiles(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const LargeFolder folder(files);
  forms::FileList list("File1");
  list.Pattern("*.dwg");
  for (auto _ : state) {
    list.Path(folder.Path());
    benchmark::DoNotOptimize(list.ListCount());
  }
  state.SetItemsProcessed(state.iterations() * files);
}
BENCHMARK(BM_FileListDrawingFiles)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_DirectoryListBesideManyFiles(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const LargeFolder folder(files);
  forms::DirectoryList list("Dir1");
  for (auto _ : state) {
    list.Path(folder.Path());
    benchmark::DoNotOptimize(list.ListCount());
  }
  state.SetItemsProcessed(state.iterations() * files);
}
BENCHMARK(BM_DirectoryListBesideManyFiles)->Arg(20000)->Unit(benchmark::kMillisecond);

// The last part of the path differs in letter case, so the folder beside
// `files` files is searched for it.
void BM_ResolveFolderInOtherCase(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const LargeFolder folder(files);
  const std::string wanted = folder.Path() + "/FOLDER_99";
  for (auto _ : state) benchmark::DoNotOptimize(forms::ResolveFolder(wanted));
}
BENCHMARK(BM_ResolveFolderInOtherCase)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
