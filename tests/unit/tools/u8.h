// UTF-8 literals in tests: the sources compile narrow literals to CP932, so
// text that must stay UTF-8 is written u8"..." and viewed as bytes here.
#pragma once

#include <string>

inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
