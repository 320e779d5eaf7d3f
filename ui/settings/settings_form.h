// The hidden settings window frmSystemInfo: it runs the probes once at start-up, builds the
// settings listing, fills the main window and shows it, and refreshes the three memory captions on
// each tick. Plain C++: the Qt side only drives Timer1_Timer from a timer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/main/main_form.h"

namespace settings {

class frmSystemInfo {
 public:
  // The main window is created by the first write into one of its controls, so the settings window
  // holds a loader and calls it when Form_Load first touches the main window.
  using MainFormLoader = std::function<mainform::MainForm&()>;

  static constexpr int kTimerIntervalMs = 1400;

  explicit frmSystemInfo(MainFormLoader loadMain);

  void Form_Load();
  // Appends one block per drive to the listing.
  void Drives();
  void Timer1_Timer();

  // The listing, as built in the window's own text box.
  [[nodiscard]] const std::string& Text1() const { return Text1_; }
  [[nodiscard]] static bool Visible() { return false; }

 private:
  mainform::MainForm& Main();
  void Append(const std::string& line);
  void WriteMemoryCaptions();

  MainFormLoader loadMain_;
  mainform::MainForm* main_ = nullptr;
  std::string Text1_ = "Text1";

  std::string vbCrLf;
  std::string strCurrentRoot;
  std::uint8_t btePercentUsed = 0;
  std::int32_t lngFreeRam = 0;
  std::int32_t lngTotalRam = 0;
  std::string strProcessor;
  std::int32_t lngNumOfProcessors = 0;
  std::int32_t lngActiveProcessor = 0;
  std::int16_t intMajor = 0;
  std::int16_t intMinor = 0;
  std::string strPlatform;
  std::int64_t lngTotalSpace = 0;
  std::int64_t lngFreeSpace = 0;
  std::int16_t intRemovable = 0;
  std::int16_t intNotRemovable = 0;
  std::int16_t intRAM = 0;
  std::int16_t intNetwork = 0;
  std::int16_t intCD = 0;
};

}  // namespace settings
