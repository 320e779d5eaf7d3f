// The facts document on fake machines: every fact in its place with its exact number, the drives
// of the listing in its order with the same sizes, null where nothing can tell, and text that is
// not UTF-8 kept to the byte.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "facts/facts.h"
#include "facts/json.h"
#include "tests/fake/fake_platform.h"
#include "tests/support/recording_main_form.h"
#include "ui/settings/settings_form.h"

namespace {

using nlohmann::json;

// An independent thousands formatter: every third digit from the right gets a point before it.
std::string Grouped(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) {
      grouped += '.';
    }
    grouped += digits[i];
  }
  return grouped;
}

class Document : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  static json Gathered() { return json::parse(facts::Json(facts::Gather())); }
};

TEST_F(Document, HoldsEveryFactWithExactNumbers) {
  // Exact, control characters too: the document escapes them as JSON does, not as the window.
  fake::machine().computerName = "WORK\nSTATION\x1b";
  fake::machine().platformId = 2;
  fake::machine().major = 10;
  fake::machine().processors = 32;
  fake::machine().activeMask = 0xFFFFFFFF;
  fake::machine().totalPhys = 3ULL << 40;  // 3 TiB: beyond the window's 32-bit kilobytes
  fake::machine().availPhys = 1536;        // the window rounds it to 2 Kb
  fake::machine().memoryLoad = 99;
  const json document = Gathered();
  EXPECT_EQ(document["format"], 1);
  EXPECT_EQ(document["computer_name"], "WORK\nSTATION\x1b");
  EXPECT_NE(facts::Json(facts::Gather()).find(R"("WORK\nSTATION\u001b")"), std::string::npos);
  EXPECT_EQ(document["user_name"], "alice");
  EXPECT_EQ(document["os"], (json{{"platform", "Windows NT"}, {"major", 10}, {"minor", 0}}));
  EXPECT_EQ(document["processor"],
            (json{{"name", "Intel Pentium"}, {"count", 32}, {"active_mask", 4294967295U}}));
  EXPECT_EQ(document["memory"],
            (json{{"used_percent", 99}, {"total_bytes", 3ULL << 40}, {"available_bytes", 1536}}));
  EXPECT_EQ(document["directories"], (json{{"windows", "C:\\WINDOWS\\"},
                                           {"system", "C:\\WINDOWS\\SYSTEM\\"},
                                           {"temp", "C:\\TEMP\\"}}));
  EXPECT_EQ(document["keyboard"],
            (json{{"type", "IBM enhanced (101 or 102 key)"}, {"function_keys", 12}}));
  // Keys in the documented order.
  std::string keys;
  const auto ordered = nlohmann::ordered_json::parse(facts::Json(facts::Gather()));
  for (const auto& [key, value] : ordered.items()) {
    keys += key + " ";
  }
  EXPECT_EQ(keys,
            "format computer_name user_name os processor memory directories keyboard drives ");
}

TEST_F(Document, HasTheListingsDrivesInItsOrderWithTheSameSizesAndNullWhereNothingTells) {
  fake::Drive floppy = fake::Disk("A:\\", 2, 0, 0, "", 0);
  floppy.sizeOk = false;
  fake::Drive unreadable = fake::Disk("E:\\", 4, 4096, 1024, "", 0);
  unreadable.readable = false;
  unreadable.serialOk = false;
  fake::machine().drives = {
      floppy, fake::Disk("C:\\", 3, 5'000'000'000'000ULL, 123, "SYSTEM", 0xA1B2C3),
      fake::Disk("D:\\", 5, 681574400, 0, "", 0), unreadable, fake::Disk("X:\\", 0, 10, 1, "x", 0)};
  const json drives = Gathered()["drives"];
  const json expected = json::parse(R"([
    {"root": "A:\\", "kind": "Removable drive", "total_bytes": null, "free_bytes": null,
     "label": null, "serial": null},
    {"root": "C:\\", "kind": "Fixed drive", "total_bytes": 5000000000000, "free_bytes": 123,
     "label": "SYSTEM", "serial": "00A1-B2C3"},
    {"root": "D:\\", "kind": "CD-ROM drive", "total_bytes": 681574400, "free_bytes": 0,
     "label": "", "serial": "0000-0000"},
    {"root": "E:\\", "kind": "Network drive", "total_bytes": 4096, "free_bytes": 1024,
     "label": null, "serial": null},
    {"root": "X:\\", "kind": "", "total_bytes": 10, "free_bytes": 1, "label": "x",
     "serial": "0000-0000"}])");
  EXPECT_EQ(drives, expected);

  // The listing of the same machine names the same drives in the same order, with these sizes.
  testing_support::RecordingMainForm main;
  settings::frmSystemInfo form([&main]() -> mainform::MainForm& { return main; });
  form.Form_Load();
  const std::string& listing = form.Text1();
  std::size_t at = 0;
  for (const json& drive : drives) {
    const std::string root = drive["root"];
    at = listing.find(std::string("\r\nDisk ").append(root).append(" :\r\n"), at);
    ASSERT_NE(at, std::string::npos) << root << " where the listing has no more";
    const std::string block = listing.substr(at, listing.find("Serial", at) - at);
    const std::string total = drive["total_bytes"].is_null()
                                  ? "No disk loaded"
                                  : Grouped(drive["total_bytes"]) + " Bytes";
    const std::string free =
        drive["free_bytes"].is_null() ? "-" : Grouped(drive["free_bytes"]) + " Bytes";
    EXPECT_NE(block.find("Total disk space  = " + total + "\r\n"), std::string::npos) << block;
    EXPECT_NE(block.find("Free disk space   = " + free + "\r\n"), std::string::npos) << block;
    ++at;
  }
}

// A drive list that cannot be read (no mount table) is no list at all, not a machine without
// drives.
TEST_F(Document, DrivesAreNullWhereTheListCannotBeReadAndEmptyWhereThereIsNone) {
  fake::machine().driveListFails = true;
  EXPECT_TRUE(Gathered()["drives"].is_null());
  fake::machine().driveListFails = false;
  fake::machine().drives.clear();
  EXPECT_EQ(Gathered()["drives"], json::array());
}

TEST(Utf8, TextThatIsNotUtf8KeepsItsBytesBesideARepairedCopy) {
  facts::Facts facts;
  facts.computerName = "m\xC3\xBCller";         // valid: as it stands
  facts.userName = "\xD0\x94\xD0\xBC\xD0\xB8";  // Cyrillic, valid
  facts.drives = {{"/mnt/\xFF\xFE x/", "Fixed drive", 1, 1, "\xC3", std::nullopt}};
  const json document = json::parse(facts::Json(facts));
  EXPECT_EQ(document["computer_name"], "m\xC3\xBCller");
  EXPECT_FALSE(document.contains("computer_name_base64"));
  EXPECT_EQ(document["user_name"], "\xD0\x94\xD0\xBC\xD0\xB8");
  const json& drive = document["drives"][0];
  EXPECT_EQ(drive["root"], "/mnt/\xEF\xBF\xBD\xEF\xBF\xBD x/");
  EXPECT_EQ(drive["root_base64"], "L21udC///iB4Lw==");
  EXPECT_EQ(drive["label"], "\xEF\xBF\xBD");
  EXPECT_EQ(drive["label_base64"], "ww==");
}

TEST(Utf8, TakesOnlyWellFormedSequences) {
  struct Case {
    const char* text;
    bool valid;
  };
  const Case cases[] = {
      {"", true},
      {"plain", true},
      {"\xE2\x82\xAC", true},       // the euro sign
      {"\xF0\x9F\x98\x80", true},   // beyond the basic plane
      {"\xC0\xAF", false},          // an overlong slash
      {"\xE0\x80\xAF", false},      // the same, three bytes long
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // past U+10FFFF
      {"\xE2\x82", false},          // cut short
      {"\x80", false},              // a continuation alone
  };
  for (const Case& c : cases) {
    EXPECT_EQ(facts::IsUtf8(c.text), c.valid) << ::testing::PrintToString(std::string(c.text));
  }
  // One U+FFFD for each byte that is not part of a valid sequence.
  EXPECT_EQ(facts::RepairedUtf8("a\xE2\x82z\xF0\x9F\x98\x80"),
            "a\xEF\xBF\xBD\xEF\xBF\xBDz\xF0\x9F\x98\x80");
  EXPECT_EQ(facts::Base64("Man"), "TWFu");
  EXPECT_EQ(facts::Base64("Ma"), "TWE=");
}

}  // namespace
