// Windows' own folder dialog (in the language of Windows): the Vista dialog
// picking folders, or the older folder browser where that is missing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace win32ui {

struct FolderPickerArgs {
  HWND owner = nullptr;
  std::string title;        // the caption (and the older browser's prompt above the folders)
  std::string startFolder;  // an existing folder, or "" for Windows' choice
  // The older folder browser even where the Vista dialog exists (its own
  // tests, and systems whose Vista dialog misbehaves).
  bool forceOldBrowser = false;
};

// Shows the dialog modally. The chosen folder's full path, or nothing when
// the user cancelled or the dialog could not be shown.
std::optional<std::string> pickFolder(const FolderPickerArgs& args);

}  // namespace win32ui
