// Waits until Veltro's start-up scan has finished: polls the caption of
// 标签13 (id 1113) on the Wine virtual desktop named on the command line.
// Exit code 0 when it reads "完毕！", 1 on time-out. Prints the seconds
// waited. Further arguments ID@X,Y click control ID at X,Y of its client
// area afterwards (to show another page before the picture is taken);
// tab@ID,N selects page N of tab control ID as a click on its tab would;
// cursor@X,Y rests the pointer at X,Y of the screen.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
  int id;
  HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM lParam) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  if (std::strcmp(name, "VeltroMainWindow") != 0) return TRUE;
  reinterpret_cast<Search*>(lParam)->found = window;
  return FALSE;
}

BOOL CALLBACK MatchId(HWND child, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindMainWindow(const char* desktopName) {
  Search search{0, nullptr};
  auto match = MatchMainWindow;
  if (HDESK desktop = OpenDesktopA(desktopName, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE)) {
    EnumDesktopWindows(desktop, match, reinterpret_cast<LPARAM>(&search));
    CloseDesktop(desktop);
  }
  if (search.found == nullptr) search.found = FindWindowA("VeltroMainWindow", nullptr);
  return search.found;
}

HWND FindDescendant(HWND window, int id) {
  Search search{id, nullptr};
  EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int main(int argc, char** argv) {
  const char* desktop = argc > 1 ? argv[1] : "veltro";
  const int timeoutSeconds = argc > 2 ? std::atoi(argv[2]) : 180;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < static_cast<DWORD>(timeoutSeconds) * 1000u) {
    if (HWND window = FindMainWindow(desktop)) {
      if (HWND label = FindDescendant(window, 1113)) {
        char caption[64] = {};
        GetWindowTextA(label, caption, sizeof(caption));
        if (std::strcmp(caption, "完毕！") == 0) {
          std::printf("%.1f\n", (GetTickCount() - start) / 1000.0);
          for (int i = 3; i < argc; ++i) {
            int id = 0, x = 0, y = 0;
            if (std::sscanf(argv[i], "cursor@%d,%d", &x, &y) == 2) {   // rest the pointer there
              SetCursorPos(x, y);
              Sleep(100);
              SetCursorPos(x + 1, y);
              Sleep(1500);
              continue;
            }
            if (std::sscanf(argv[i], "tab@%d,%d", &id, &x) == 2) {
              // Moving the focus of a tab control without buttons selects the
              // tab and notifies the window, as a click does.
              if (HWND tab = FindDescendant(window, id)) SendMessageA(tab, TCM_SETCURFOCUS, x, 0);
              Sleep(300);
              continue;
            }
            if (std::sscanf(argv[i], "menu@%d,%d,%d", &id, &x, &y) == 3) {
              // The right button's menu at that point of the control, as
              // the list opens it (it stays open for the picture).
              if (HWND control = FindDescendant(window, id)) {
                POINT point{x, y};
                ClientToScreen(control, &point);
                PostMessageA(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(point.x, point.y));
              }
              Sleep(500);
              continue;
            }
            if (std::sscanf(argv[i], "%d@%d,%d", &id, &x, &y) != 3) continue;
            HWND control = FindDescendant(window, id);
            if (control == nullptr) continue;
            PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
            Sleep(300);
          }
          return 0;
        }
      }
    }
    Sleep(200);
  }
  std::printf("timeout\n");
  return 1;
}
