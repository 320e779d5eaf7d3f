// A fuzz target's entry fed with files, without libFuzzer, so that every build (a cross build under
// its emulator too) runs the parsers over the fuzzers' seeds. Each file goes in as it is, and again
// with every letter turned into a byte above 0x7F, so that such bytes stand wherever text stands:
// char is signed on x86 and unsigned on ARM. A fault aborts, as under the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Feed(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    std::string input{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Feed(input);
    for (char& c : input) {
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
        c = static_cast<char>(static_cast<unsigned char>(c) | 0x80U);
      }
    }
    Feed(input);
  }
  std::printf("%d files, each as it is and with its letters above 0x7F\n", argc - 1);
  return 0;
}
