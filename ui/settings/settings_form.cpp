#include "ui/settings/settings_form.h"

#include <charconv>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "probes/system.h"
#include "ui/main/visible_text.h"

namespace settings {
namespace {

using mainform::Label;

// Every line of the listing ends with it, the last one too.
constexpr char vbCrLf[] = "\r\n";

template <typename Int>
std::string Decimal(Int value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return {digits, end};
}

}  // namespace

frmSystemInfo::frmSystemInfo(MainFormLoader loadMain) : loadMain_(std::move(loadMain)) {}

mainform::MainForm& frmSystemInfo::Main() {
  if (main_ == nullptr) {
    main_ = &loadMain_();
  }
  return *main_;
}

std::string frmSystemInfo::Shown(const std::string& text) const {
  return visibletext::Escaped(text, encoding_);
}

void frmSystemInfo::Append(const std::string& line) {
  Text1_ += line;
  Text1_ += vbCrLf;
}

void frmSystemInfo::WriteMemoryCaptions() {
  Main().SetCaption(Label::Label12, Decimal(lngTotalRam) + " Kb");
  Main().SetCaption(Label::Label13, Decimal(lngFreeRam) + " Kb");
  Main().SetCaption(Label::Label14, Decimal(btePercentUsed) + " %");
}

void frmSystemInfo::Form_Load() {
  std::string strProcessor;
  std::int32_t lngNumOfProcessors = 0;
  std::int32_t lngActiveProcessor = 0;
  std::int16_t intMajor = 0;
  std::int16_t intMinor = 0;
  std::string strPlatform;
  std::int16_t intRemovable = 0;
  std::int16_t intNotRemovable = 0;
  std::int16_t intRAM = 0;
  std::int16_t intNetwork = 0;
  std::int16_t intCD = 0;
  System::FreeMemory(btePercentUsed, lngTotalRam, lngFreeRam);
  System::SystemInfo(strProcessor, lngNumOfProcessors, lngActiveProcessor);
  System::Drives(intRemovable, intNotRemovable, intCD, intRAM, intNetwork);
  System::WinVer(intMajor, intMinor, strPlatform);
  encoding_ = platform::SystemTextEncoding();

  Text1_.clear();
  Append("Scroll Down To View All Settings");
  Main().SetCaption(Label::Label7, Shown(strPlatform));
  Main().SetCaption(Label::Label9, Decimal(intMajor) + "." + Decimal(intMinor));
  Main().SetCaption(Label::Label5, Shown(System::UserName()));
  Append("Windows Directory    = " + Shown(System::WinDir()));
  Append("System Directory     = " + Shown(System::SystemDir()));
  Append("Temp Directory       = " + Shown(System::TempDir()));
  Append("Keyboard Type        = " + Shown(System::KeyboardType()));
  Append("Functionkeys         = " + Decimal(System::FunctionKeys()));
  Main().SetCaption(Label::Label1, Shown(System::ComputerName()));
  Append("Number of Processors = " + Decimal(lngNumOfProcessors));
  // The mask is shown unsigned: with 32 CPUs its top bit is set and must not read as a minus sign.
  Append("Active Processor     = #" + Decimal(static_cast<std::uint32_t>(lngActiveProcessor)));
  Main().SetCaption(Label::Label26, Shown(strProcessor));
  WriteMemoryCaptions();
  Append("Removable drives     = " + Decimal(intRemovable));
  Append("Fixed drives         = " + Decimal(intNotRemovable));
  Append("CD-ROM drives        = " + Decimal(intCD));
  Append("RAM drives           = " + Decimal(intRAM));
  Append("Network drives       = " + Decimal(intNetwork));
  Drives();
  Main().Show();
  Main().SetText1(std::string());
  Main().SetText1(Text1_);
}

void frmSystemInfo::Drives() {
  // A failed drive list gives no blocks.
  for (const std::string& strCurrentRoot :
       System::LogicalDriveRoots().value_or(std::vector<std::string>{})) {
    std::int64_t lngTotalSpace = 0;
    std::int64_t lngFreeSpace = 0;
    System::DriveInfo(strCurrentRoot, lngTotalSpace, lngFreeSpace);
    Text1_ += std::string(vbCrLf) + "Disk " + Shown(strCurrentRoot) + " :" + vbCrLf;
    Append("Drive Type        = " + Shown(System::DriveType(strCurrentRoot)));
    if (lngTotalSpace == 0) {
      Append("Total disk space  = No disk loaded");
      Append("Free disk space   = -");
      Append("Volumelabel       = -");
      Append("Serial Number     = -");
    } else {
      Append("Total disk space  = " + System::PutPoints(lngTotalSpace) + " Bytes");
      Append("Free disk space   = " + System::PutPoints(lngFreeSpace) + " Bytes");
      Append("Volumelabel       = " + Shown(System::VolumeLabel(strCurrentRoot)));
      Append("Serial Number     = " + Shown(System::SerialNumber(strCurrentRoot)));
    }
  }
}

void frmSystemInfo::Timer1_Timer() {
  System::FreeMemory(btePercentUsed, lngTotalRam, lngFreeRam);
  WriteMemoryCaptions();
}

}  // namespace settings
