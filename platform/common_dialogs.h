// Message boxes and the common dialogs: file open and save, font choice.
// In tests these are answered by the responder (platform/testing.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/logfont.h"
#include "platform/types.h"

namespace plat {

class Window;

enum MessageBoxType : unsigned {
  MB_OK = 0,
  MB_OKCANCEL = 1,
  MB_YESNOCANCEL = 3,
  MB_YESNO = 4,
  MB_ICONINFORMATION = 0x40,
};

// Shows a message box owned by the window; returns IDOK, IDCANCEL, IDYES or
// IDNO.
int MessageBox(Window* owner, const std::string& text, const std::string& caption,
               unsigned type = MB_OK);

struct FileDialogRequest {
  bool save = false;
  // "description|*.ext|description|*.ext|" pairs; the trailing "|" is optional.
  std::string filter;
  std::string defaultExtension;  // without the dot
  std::string initialName;       // proposed file name (may include a directory)
  std::string title;
  // The dialog asks before an existing file is chosen to be replaced (where
  // no question of the program's own follows).
  bool confirmOverwrite = false;
};
// The chosen path, or nullopt when cancelled.  A request whose initial name
// names no folder starts in the folder the user last chose a file in (kept
// in the settings folder, so also after a restart), else in the working
// folder.
std::optional<std::string> FileDialog(Window* owner, const FileDialogRequest& request);
// The filter lines the file dialog shows for a request's filter: each
// description with its patterns once, "Bilder (*.bmp *.dib)".
std::vector<std::string> FileDialogFilters(const std::string& filter);

struct FontChoice {
  LogFont font;
  Colour colour = 0;
  int pointSizeTenths = 0;  // out: the chosen size in tenths of a point
};
// Font dialog with effects (underline, strike-out) and colour when `effects`;
// `caption` titles it.  Returns false when cancelled (choice untouched).
bool ChooseFont(Window* owner, FontChoice& choice, bool effects, const std::string& caption);

}  // namespace plat
