// Paints the 224 x 80 banner of 图片框1 itself, so that no image file is
// needed: a blue gradient, the product name and a subtitle.
#include "ui/banner.h"

#include <windows.h>

namespace {

constexpr int kBannerWidth = 224;
constexpr int kBannerHeight = 80;

// One GDI object, deleted when the scope ends.
class GdiObject {
 public:
  explicit GdiObject(HGDIOBJ object) : object_(object) {}
  ~GdiObject() { if (object_) DeleteObject(object_); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  HGDIOBJ Get() const { return object_; }
 private:
  HGDIOBJ object_;
};

// Selects an object into a DC for one scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, previous_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
 private:
  HDC dc_;
  HGDIOBJ previous_;
};

int Mix(int from, int to, int step, int steps) { return from + (to - from) * step / steps; }

void PaintBanner(HDC dc) {
  constexpr int kBands = 40;
  for (int band = 0; band < kBands; ++band) {
    RECT strip = {0, kBannerHeight * band / kBands, kBannerWidth, kBannerHeight * (band + 1) / kBands};
    GdiObject brush(CreateSolidBrush(RGB(Mix(18, 40, band, kBands), Mix(52, 120, band, kBands),
                                         Mix(110, 190, band, kBands))));
    FillRect(dc, &strip, static_cast<HBRUSH>(brush.Get()));
  }
  // A light ring on the left, the product's mark.
  {
    GdiObject pen(CreatePen(PS_SOLID, 4, RGB(120, 210, 255)));
    Selection usePen(dc, pen.Get());
    Selection noFill(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, 14, 14, 62, 62);
    MoveToEx(dc, 27, 38, nullptr);
    LineTo(dc, 36, 48);
    LineTo(dc, 51, 27);
  }
  SetBkMode(dc, TRANSPARENT);
  {
    GdiObject font(CreateFontA(-34, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"));
    Selection useFont(dc, font.Get());
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 74, 10, "Veltro", 6);
  }
  {
    GdiObject font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, nullptr));
    Selection useFont(dc, font.Get());
    SetTextColor(dc, RGB(200, 230, 255));
    const char subtitle[] = "系统修复工具";
    TextOutA(dc, 78, 52, subtitle, static_cast<int>(sizeof(subtitle) - 1));
  }
}

LRESULT CALLBACK BannerProc(HWND banner, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(banner, &paint);
      PaintBanner(dc);
      EndPaint(banner, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;   // WM_PAINT covers every pixel
    default:
      return DefWindowProcA(banner, message, wParam, lParam);
  }
}

}  // namespace

void RegisterBannerClass() {
  WNDCLASSA bannerClass{};
  bannerClass.lpfnWndProc = BannerProc;
  bannerClass.hInstance = GetModuleHandleA(nullptr);
  bannerClass.hCursor = LoadCursor(nullptr, IDC_HAND);
  bannerClass.lpszClassName = kBannerClassName;
  RegisterClassA(&bannerClass);
}
