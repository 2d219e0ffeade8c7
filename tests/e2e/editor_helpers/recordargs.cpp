// recordargs: a stand-in for a program the editor starts (halvik.exe,
// tonelog.exe, vistamo.exe). It writes its whole command line, UTF-8, to
// NAME.args beside itself (NAME = its own file name without ".exe"), prints
// the ANSI code page it runs under when started as "acp.exe", and exits.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring out(path, n);
  out.resize(out.size() - 4);
  std::wstring text = GetCommandLineW();
  if (out.size() >= 4 && out.substr(out.size() - 4) == L"\\acp") text = std::to_wstring(GetACP());
  out += L".args";
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
