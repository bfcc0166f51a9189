#include "host/wide_text.h"

#include <windows.h>

std::wstring WideText(const Text& text) {
  const int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (units <= 1) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], units);
  wide.resize(static_cast<std::size_t>(units - 1));
  return wide;
}

Text NarrowText(const wchar_t* text, int units) {
  if (units == 0) return Text();
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text, units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return Text();
  std::string narrow(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, units, &narrow[0], bytes, nullptr, nullptr);
  return ToText(narrow.c_str());
}
