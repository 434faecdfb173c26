// Replays fuzz inputs through a fuzz target without the fuzzing engine: every file
// named on the command line (or inside a directory named there) is one input.
// Built with the ordinary compiler so that `make test` runs the seed corpora and
// the inputs of every crash found.
//
// A path that does not exist, or a folder without a single input, fails the replay
// (status 2): a corpus that went missing must not pass as a replay of nothing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

namespace fs = std::filesystem;

// Adds the inputs under `path` (the file itself, or every file below the folder) to
// `files`; false when the path does not exist or names a folder without inputs.
bool collect(const fs::path &path, std::vector<fs::path> &files) {
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    std::fprintf(stderr, "replay: %s: no such file or folder\n", path.c_str());
    return false;
  }
  if (!fs::is_directory(path, ec)) {
    files.push_back(path);
    return true;
  }
  const size_t before = files.size();
  for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) files.push_back(it->path());
  if (ec) {
    std::fprintf(stderr, "replay: %s: %s\n", path.c_str(), ec.message().c_str());
    return false;
  }
  if (files.size() == before) {
    std::fprintf(stderr, "replay: %s: no inputs in the folder\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER_OR_FILE...\n", argv[0]);
    return 2;
  }
  std::vector<fs::path> files;
  bool complete = true;
  // Absolute names: a target may change the working directory (fuzz_startup does).
  std::error_code ec;
  for (int i = 1; i < argc; ++i) complete = collect(fs::absolute(argv[i], ec), files) && complete;
  if (!complete) return 2;
  for (const fs::path &f : files) {
    std::ifstream in(f, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "replay: %s: cannot be read\n", f.c_str());
      return 2;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
  }
  std::printf("replayed %zu inputs\n", files.size());
  return 0;
}
