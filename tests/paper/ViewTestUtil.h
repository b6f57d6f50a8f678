#pragma once
// A fake window for the paper views, and a fixture that gives every test the same printer and
// page metrics. Other test folders include it as "paper/ViewTestUtil.h".
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "BaseViews.h"
#include "FakePrinters.h"
#include "SheetPrinters.h"

namespace kaede::test {

// Records what a view asks of its window.
class TFakeViewHost : public IViewHost {
public:
  std::vector<TRect> Invalidated;
  struct TScroll {
    int32_t Dx, Dy;
    TRect Clip;
  };
  std::vector<TScroll> Scrolls;
  bool CanScroll = true;
  std::map<int, int32_t> Timers;  // running timers and their intervals
  int32_t Cursor = 0;
  TPoint Pointer{0, 0};
  bool Focused = false;
  int FocusRequests = 0;
  TClockValue Clock{2026, 12, 9, 8, 5};

  void InvalidateRect(const TRect& r) override { Invalidated.push_back(r); }
  bool ScrollPixels(int32_t dx, int32_t dy, const TRect& clip) override {
    Scrolls.push_back({dx, dy, clip});
    return CanScroll;
  }
  void StartTimer(int id, int32_t interval) override { Timers[id] = interval; }
  void StopTimer(int id) override { Timers.erase(id); }
  void SetCursor(int32_t c) override { Cursor = c; }
  TPoint PointerPos() const override { return Pointer; }
  bool HostFocused() const override { return Focused; }
  void FocusHost() override {
    ++FocusRequests;
    Focused = true;
  }
  TClockValue Now() const override { return Clock; }
  void Clear() {
    Invalidated.clear();
    Scrolls.clear();
  }
};

// Every test starts without a printer and with the page metrics of A4 at 360 dots per inch
// on a 96-dpi screen, and leaves them so.
class TViewTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    SheetPrinter().SetBackend(nullptr);
    SetScreenDpiSource([] { return 96; });
    PageMetrics() = TPageMetrics();
    ResetPageMetrics(false);
  }
  // A fake printer (A4 and the postcard at dpi) as the process's printer; returns its backend.
  static TFakePrinterBackend& InstallFakePrinter(int32_t dpi = 600) {
    auto backend = std::make_unique<TFakePrinterBackend>();
    backend->Devices = {TFakePrinter::Standard()};
    backend->Devices[0].Dpi = {dpi, dpi};
    TFakePrinterBackend& b = *backend;
    SheetPrinter().SetBackend(std::move(backend));
    return b;
  }
};

}  // namespace kaede::test
