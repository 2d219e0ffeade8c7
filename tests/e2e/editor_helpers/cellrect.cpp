// cellrect: prints the screen rectangle of a window's control, or of one cell
// of a list view control, so that a test can click there with the mouse.
//
//   cellrect TITLE               -> "1" when the window is visible, else "0"
//   cellrect TITLE ID            -> "left top right bottom" of control ID
//   cellrect TITLE ID ROW COLUMN -> the same for the cell (read across processes)
//   cellrect TITLE ID view       -> "top count" of list view ID: its first visible
//                                   row and how many rows fit in it
//   cellrect TITLE size W H      -> resizes the window as dragging its border would
//   cellrect TITLE place X Y W H -> moves and resizes it
//
// TITLE is the exact caption of a top-level window. Exit 1 when not found.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 7) return 2;
  HWND window = FindWindowW(nullptr, argv[1]);
  if (window == nullptr) return 1;
  if (argc == 2) {
    std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
    return 0;
  }
  if (argc == 7 && std::wcscmp(argv[2], L"place") == 0) {
    return SetWindowPos(window, nullptr, _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6]),
                        SWP_NOZORDER) ? 0 : 1;
  }
  if (argc == 5 && std::wcscmp(argv[2], L"size") == 0) {
    return SetWindowPos(window, nullptr, 0, 0, _wtoi(argv[3]), _wtoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER) ? 0 : 1;
  }
  HWND control = GetDlgItem(window, _wtoi(argv[2]));
  if (control == nullptr) return 1;
  if (argc == 4) {
    if (std::wcscmp(argv[3], L"view") != 0) return 2;
    std::printf("%ld %ld\n", static_cast<long>(SendMessageW(control, LVM_GETTOPINDEX, 0, 0)),
                static_cast<long>(SendMessageW(control, LVM_GETCOUNTPERPAGE, 0, 0)));
    return 0;
  }
  RECT r;
  if (argc == 3) {
    GetWindowRect(control, &r);
  } else {
    int row = _wtoi(argv[3]);
    int column = _wtoi(argv[4]);
    DWORD pid = 0;
    GetWindowThreadProcessId(control, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr) return 1;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT ask = {LVIR_BOUNDS, column, 0, 0};
    WriteProcessMemory(process, remote, &ask, sizeof ask, nullptr);
    LRESULT ok = SendMessageW(control, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &r, sizeof r, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!ok) return 1;
    if (column == 0) {  // the bounds of column 0 are the whole row
      int width = static_cast<int>(SendMessageW(control, LVM_GETCOLUMNWIDTH, 0, 0));
      r.right = r.left + width;
    }
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&r), 2);
  }
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}
