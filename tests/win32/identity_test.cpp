// The program identity read back from a built program file with the calls Windows uses for it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "assets/windows/resources.h"

namespace {

// A program file of the build, by its path from this test's folder.
std::string BuiltProgram(const char* fromTest) {
  char self[MAX_PATH] = {};
  const ::DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self, length);
  return path.substr(0, path.find_last_of("\\/") + 1) + fromTest;
}

// The console program quorvane-cli.exe, which carries the identity.
std::string ProgramPath() {
  return BuiltProgram(QUORVANE_CLI_FROM_TEST);
}

class ProgramIdentity : public ::testing::Test {
 protected:
  void SetUp() override { Read(ProgramPath()); }

  void Read(const std::string& program) {
    ::DWORD ignored = 0;
    const ::DWORD size = ::GetFileVersionInfoSizeA(program.c_str(), &ignored);
    ASSERT_GT(size, 0U) << program;
    record_.resize(size);
    ASSERT_NE(::GetFileVersionInfoA(program.c_str(), 0, size, record_.data()), 0);
  }

  // The value at a path of the version record, or nothing.
  std::vector<char> Value(const std::string& path) {
    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(record_.data(), path.c_str(), &value, &length) == 0 || value == nullptr) {
      return {};
    }
    return {static_cast<char*>(value), static_cast<char*>(value) + length};
  }

  std::vector<char> record_;
};

TEST_F(ProgramIdentity, FileAndProductVersionAreZeroNinetySix) {
  const auto fixed = Value("\\");
  ASSERT_EQ(fixed.size(), sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO info{};
  std::memcpy(&info, fixed.data(), sizeof info);
  EXPECT_EQ(info.dwSignature, 0xFEEF04BDU);
  EXPECT_EQ(info.dwFileVersionMS, MAKELONG(96, 0));
  EXPECT_EQ(info.dwFileVersionLS, 0U);
  EXPECT_EQ(info.dwProductVersionMS, MAKELONG(96, 0));
  EXPECT_EQ(info.dwProductVersionLS, 0U);
  EXPECT_EQ(info.dwFileType, static_cast<::DWORD>(VFT_APP));
}

TEST_F(ProgramIdentity, TheOnlyTranslationIsUsEnglishUnicode) {
  const auto translation = Value("\\VarFileInfo\\Translation");
  ASSERT_EQ(translation.size(), 4U);
  WORD language = 0;
  WORD codePage = 0;
  std::memcpy(&language, translation.data(), 2);
  std::memcpy(&codePage, translation.data() + 2, 2);
  EXPECT_EQ(language, 0x0409);
  EXPECT_EQ(codePage, 1200);
}

struct VersionString {
  const char* name;
  const char* text;
};

// ctest names each case by what this prints.
void PrintTo(const VersionString& value, std::ostream* out) {
  *out << value.name;
}

class ProgramVersionStrings : public ProgramIdentity,
                              public ::testing::WithParamInterface<VersionString> {};

TEST_P(ProgramVersionStrings, StandInTheUsEnglishBlock) {
  const auto value = Value(std::string("\\StringFileInfo\\040904B0\\") + GetParam().name);
  ASSERT_FALSE(value.empty());
  EXPECT_EQ(std::string(value.data()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, ProgramVersionStrings,
    ::testing::Values(VersionString{"Comments", "Beta 0.96intf"},
                      VersionString{"CompanyName", "Pelvaro"},
                      VersionString{"ProductName", "Quorvane 0.96intf"},
                      VersionString{"FileVersion", "0.96"}, VersionString{"ProductVersion", "0.96"},
                      VersionString{"LegalCopyright", "Copyright (C) 2026 The Quorvane authors"}));

// What Task Manager, the file's properties and the installed programs call each program file.
TEST_F(ProgramIdentity, EachProgramFileIsNamedAndDescribed) {
  struct Named {
    std::string path;
    const char* description;
    const char* internalName;
    const char* fileName;
  };
  for (const Named& program :
       {Named{BuiltProgram(QUORVANE_WINDOW_FROM_TEST), "Quorvane", "quorvane", "quorvane.exe"},
        Named{ProgramPath(), "Quorvane command line", "quorvane-cli", "quorvane-cli.exe"}}) {
    Read(program.path);
    const auto text = [&](const char* name) {
      const auto value = Value(std::string("\\StringFileInfo\\040904B0\\") + name);
      return value.empty() ? std::string() : std::string(value.data());
    };
    EXPECT_EQ(text("FileDescription"), program.description) << program.path;
    EXPECT_EQ(text("InternalName"), program.internalName) << program.path;
    EXPECT_EQ(text("OriginalFilename"), program.fileName) << program.path;
    EXPECT_EQ(text("ProductName"), "Quorvane 0.96intf") << program.path;
  }
}

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = ::LoadLibraryExA(ProgramPath().c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << ProgramPath();
  }
  void TearDown() override {
    if (module_ != nullptr) {
      ::FreeLibrary(module_);
    }
  }

  std::vector<unsigned char> Resource(LPCSTR type, LPCSTR name) {
    const HRSRC found = ::FindResourceA(module_, name, type);
    if (found == nullptr) {
      return {};
    }
    const auto* data =
        static_cast<const unsigned char*>(::LockResource(::LoadResource(module_, found)));
    return {data, data + ::SizeofResource(module_, found)};
  }

  HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, TheTitleIsInTheStringTable) {
  char title[128] = {};
  ASSERT_GT(::LoadStringA(module_, QUORVANE_IDS_TITLE, title, sizeof title), 0);
  EXPECT_STREQ(title, "Quorvane Beta 0.96intf");
}

BOOL CALLBACK TakeFirst(HMODULE, LPCSTR, LPSTR name, LONG_PTR first) {
  // The callback's context travels as an integer; it is the address of the caller's variable.
  *reinterpret_cast<ULONG_PTR*>(first) =  // NOLINT(performance-no-int-to-ptr)
      reinterpret_cast<ULONG_PTR>(name);
  return FALSE;
}

TEST_F(ProgramResources, TheFirstIconIsTheInformationIcon) {
  ULONG_PTR first = 0;
  ::EnumResourceNamesA(module_, RT_GROUP_ICON, TakeFirst, reinterpret_cast<LONG_PTR>(&first));
  ASSERT_TRUE(IS_INTRESOURCE(first));
  EXPECT_EQ(first, static_cast<ULONG_PTR>(QUORVANE_IDI_PROGRAM));

  // Each image of the icon file is one icon resource, byte for byte, in the file's order: the
  // design's 32 and 16 pixels, then the drawing at 48, 64 and 256.
  std::ifstream file("..\\..\\assets\\program.ico", std::ios::binary);
  ASSERT_TRUE(file.good());
  const std::vector<unsigned char> ico{std::istreambuf_iterator<char>(file), {}};
  ASSERT_GE(ico.size(), 6U);
  const auto word = [](const unsigned char* at) { return at[0] | at[1] << 8; };
  const auto dword = [](const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0] | at[1] << 8 | at[2] << 16) |
           static_cast<std::uint32_t>(at[3]) << 24;
  };
  const int images = word(ico.data() + 4);
  ASSERT_EQ(images, 5);
  const auto group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(QUORVANE_IDI_PROGRAM));
  ASSERT_EQ(group.size(), 6U + 14U * static_cast<std::size_t>(images));
  ASSERT_EQ(word(group.data() + 4), images);
  for (std::size_t i = 0; i < static_cast<std::size_t>(images); ++i) {
    const unsigned char* fileEntry = ico.data() + 6 + 16 * i;
    const unsigned char* groupEntry = group.data() + 6 + 14 * i;
    EXPECT_EQ(std::memcmp(fileEntry, groupEntry, 12), 0) << "image " << i;
    const std::uint32_t size = dword(fileEntry + 8);
    const std::uint32_t offset = dword(fileEntry + 12);
    ASSERT_LE(offset + size, ico.size());
    const auto image = Resource(RT_ICON, MAKEINTRESOURCEA(word(groupEntry + 12)));
    EXPECT_EQ(image, std::vector<unsigned char>(ico.begin() + offset, ico.begin() + offset + size))
        << "image " << i;
  }
}

}  // namespace
