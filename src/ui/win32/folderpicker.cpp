#include "ui/win32/folderpicker.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/wintext.h"
#include "ui/win32/com.h"

namespace win32ui {

namespace {

template <typename T>
void release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// The Vista dialog. Nothing when it cannot be made (the caller then falls
// back); an empty text when the user cancelled.
std::optional<std::wstring> vistaDialog(const FolderPickerArgs& args) {
  IFileOpenDialog* dialog = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog))))
    return std::nullopt;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(platform::widen(args.title).c_str());
  if (!args.startFolder.empty()) {
    IShellItem* start = nullptr;
    if (SUCCEEDED(::SHCreateItemFromParsingName(platform::widen(args.startFolder).c_str(), nullptr,
                                                IID_IShellItem,
                                                reinterpret_cast<void**>(&start)))) {
      dialog->SetFolder(start);
      release(start);
    }
  }
  std::wstring chosen;
  const HRESULT shown = dialog->Show(args.owner);
  IShellItem* item = nullptr;
  if (SUCCEEDED(shown) && SUCCEEDED(dialog->GetResult(&item))) {
    PWSTR path = nullptr;
    if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
      chosen = path;
      ::CoTaskMemFree(path);
    }
    release(item);
  }
  release(dialog);
  // A failure other than the user's cancel: try the other dialog.
  if (FAILED(shown) && shown != HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  return chosen;
}

struct BrowserStart {
  std::wstring title;
  std::wstring folder;
};

// The browser's caption is Windows' own ("Browse for Folder" in its
// language): it gets our title, as the Vista dialog does.
int CALLBACK selectStart(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message != BFFM_INITIALIZED) return 0;
  const auto* start = reinterpret_cast<const BrowserStart*>(data);
  ::SetWindowTextW(dialog, start->title.c_str());
  if (!start->folder.empty())
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                   reinterpret_cast<LPARAM>(start->folder.c_str()));
  return 0;
}

std::wstring oldBrowser(const FolderPickerArgs& args) {
  const BrowserStart start{platform::widen(args.title), platform::widen(args.startFolder)};
  BROWSEINFOW info{};
  info.hwndOwner = args.owner;
  info.lpszTitle = start.title.c_str();  // the prompt above the folders
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = &selectStart;
  info.lParam = reinterpret_cast<LPARAM>(&start);
  PIDLIST_ABSOLUTE list = ::SHBrowseForFolderW(&info);
  if (list == nullptr) return {};
  wchar_t path[MAX_PATH] = {};
  const bool ok = ::SHGetPathFromIDListW(list, path) != FALSE;
  ::CoTaskMemFree(list);
  return ok ? std::wstring(path) : std::wstring();
}

}  // namespace

std::optional<std::string> pickFolder(const FolderPickerArgs& args) {
  ComScope com;
  if (!com.usable()) return std::nullopt;
  std::optional<std::wstring> chosen;
  if (!args.forceOldBrowser) chosen = vistaDialog(args);
  if (!chosen) chosen = oldBrowser(args);
  if (chosen->empty()) return std::nullopt;
  return platform::narrow(*chosen);
}

}  // namespace win32ui
