#include "engine/shell_win.h"

#include <windows.h>
#include <shellapi.h>

#include "win/text.h"

namespace halvik::engine {
namespace {

void EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  }
  CloseHandle(token);
}

class RealShell : public Shell {
 public:
  void EndSession(unsigned ewxFlags) override {
    EnableShutdownPrivilege();
    ExitWindowsEx(ewxFlags, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
  }
  void Open(const std::string& file, const std::string& parameters) override {
    ShellExecuteW(nullptr, L"open", win::WideFromCp932(file).c_str(), win::WideFromCp932(parameters).c_str(),
                  nullptr, SW_SHOW);
  }
};

}  // namespace

Shell& WindowsShell() {
  static RealShell shell;
  return shell;
}

void StartCompanion(const std::string& folder, const char* program) {
  ShellExecuteW(nullptr, L"open", win::WideFromCp932(folder + program).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace halvik::engine
