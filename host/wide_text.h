// Text in the ANSI code page (GBK) to and from the UTF-16 the wide Windows
// functions take.
#pragma once

#include <string>

#include "base/text_ops.h"

// Up to the first zero.
std::wstring WideText(const Text& text);
// Up to the first zero, or `units` units; a character the code page lacks
// becomes its default character.
Text NarrowText(const wchar_t* text, int units = -1);
