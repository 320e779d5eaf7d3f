// The hidden settings window frmSystemInfo: it runs the probes once at start-up, builds the
// settings listing, fills the main window and shows it, and refreshes the three memory captions on
// each tick. Plain C++: the window that hosts it only drives Timer1_Timer from a timer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/text.h"
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

 private:
  mainform::MainForm& Main();
  // A text from the probes as people are shown it: its control characters as escapes (see
  // ui/main/visible_text.h), so that no value can break a line of the listing or the report.
  std::string Shown(const std::string& text) const;
  void Append(const std::string& line);
  void WriteMemoryCaptions();

  MainFormLoader loadMain_;
  mainform::MainForm* main_ = nullptr;
  std::string Text1_ = "Text1";
  platform::TextEncoding encoding_ = platform::TextEncoding::Utf8;

  // The memory figures, shared by the start-up and every tick.
  std::uint8_t btePercentUsed = 0;
  std::int32_t lngFreeRam = 0;
  std::int32_t lngTotalRam = 0;
};

}  // namespace settings
