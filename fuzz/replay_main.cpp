// Runs a fuzz target over every file of its seed corpus, so that the corpus
// is an ordinary test of every build (the sanitizer build included).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s corpus-dir...\n", argv[0]);
    return 2;
  }
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i], ec)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++files;
    }
    if (ec) {
      std::fprintf(stderr, "cannot read corpus %s: %s\n", argv[i], ec.message().c_str());
      return 1;
    }
  }
  if (files == 0) {
    std::fprintf(stderr, "empty corpus\n");
    return 1;
  }
  std::printf("%d corpus files replayed\n", files);
  return 0;
}
