// Replays fuzz inputs through a fuzz target without the fuzzing engine: every file
// named on the command line (or inside a directory named there) is one input.
// Built with the ordinary compiler so that `make test` runs the seed corpora and
// the inputs of every crash found.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

void collect(const std::string &path, std::vector<std::string> &files) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    files.push_back(path);
    return;
  }
  DIR *dir = opendir(path.c_str());
  if (!dir) return;
  while (dirent *e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    collect(path + "/" + name, files);
  }
  closedir(dir);
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) collect(argv[i], files);
  for (const std::string &f : files) {
    FILE *in = std::fopen(f.c_str(), "rb");
    if (!in) continue;
    std::vector<uint8_t> data;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) data.insert(data.end(), buf, buf + n);
    std::fclose(in);
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  std::printf("replayed %zu inputs\n", files.size());
  return 0;
}
