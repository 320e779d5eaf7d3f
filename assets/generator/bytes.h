// The generator's output: bytes written little-endian, as the Windows picture formats want them,
// and one writer for every file it makes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

namespace assets::generator {

class Bytes {
 public:
  void U8(unsigned v) { data_.push_back(static_cast<char>(v & 0xFF)); }
  void U16(unsigned v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(std::uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Append(const Bytes& other) {
    data_.insert(data_.end(), other.data_.begin(), other.data_.end());
  }
  [[nodiscard]] std::size_t size() const { return data_.size(); }
  [[nodiscard]] const std::vector<char>& data() const { return data_; }

 private:
  std::vector<char> data_;
};

inline bool WriteFile(const std::filesystem::path& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out.flush());
}

inline bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  return WriteFile(path, std::string_view(bytes.data().data(), bytes.size()));
}

}  // namespace assets::generator
