// standin.exe: a test program that stands in for the editor, the companion
// programs and any file an action opens. It appends its command line (what
// follows the program name, as Windows passed it) as one UTF-8 line to the
// file beside it named after itself with ".args" in place of ".exe"
// (halvikx.exe -> halvikx.args), then ends.
//
// "standin.exe /hub COMMAND LPARAM" instead sends WM_COMMAND COMMAND with
// that lParam to the running engine's hub window, as a watcher thread does
// (701 with action | wait << 16 is a direct action).
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

int SendToHub(const wchar_t* arguments) {
  wchar_t* end = nullptr;
  const unsigned long command = std::wcstoul(arguments, &end, 10);
  const unsigned long lParam = std::wcstoul(end, nullptr, 10);
  HWND hub = FindWindowW(L"HALVIK-TOP-CLASS-NAME", nullptr);
  if (hub == nullptr) return 2;
  SendMessageW(hub, WM_COMMAND, command, static_cast<LPARAM>(lParam));
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  if (commandLine != nullptr && std::wcsncmp(commandLine, L"/hub ", 5) == 0) return SendToHub(commandLine + 5);
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring record(path, n);
  const size_t dot = record.find_last_of(L'.');
  if (dot != std::wstring::npos) record.erase(dot);
  record += L".args";

  const std::wstring text = commandLine != nullptr ? commandLine : L"";
  std::string line(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                           nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), line.data(),
                      static_cast<int>(line.size()), nullptr, nullptr);
  line += '\n';

  HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
