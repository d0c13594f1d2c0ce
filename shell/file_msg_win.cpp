#include "shell/file_msg_win.h"

#include <filesystem>
#include <system_error>

#include "platform/app.h"
#include "platform/common_dialogs.h"
#include "platform/dc.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"

namespace kv {

namespace {

enum : int {
  CM_SAVE = 57,
  CM_SAVE_AS = 58,
  CM_OPEN = 59,
  CM_PASSWORD = 76,
  CM_AUTHOR = 77,
  CM_PRINT_AREA = 304,
  CM_CLOSE = 357,
  CM_CLOSE_BY_HIDING = 361,
};

}  // namespace

std::string NumberedMessageText(int n) { return TruncateChars(plat::res::String(400 + n), 255); }

void ShowMessageById(plat::Window* owner, int n, const char* caption) {
  plat::MessageBox(owner, NumberedMessageText(n), caption ? caption : "?", plat::MB_OK);
}

int RunMessageDialog(plat::Window* owner, const std::string& caption, const std::string& text, int type) {
  const char* name = type == 0 ? "OKMBOX" : type == 1 ? "YNMBOX" : "YNCMBOX";
  TMsgDlg dlg(owner, name, caption, text);
  return dlg.Execute();
}

// ---------------------------------------------------------------------------

TFileMsgWin::TFileMsgWin(plat::Window* parent, const std::string& title)
    : plat::Window(parent, title), OwnerWindow(parent) {
  FileData.FileName = title;
  plat::DeviceCaps screen = plat::ScreenCaps();
  ScreenWidth = screen.horzRes;
  ScreenHeight = screen.vertRes;
  HalfScreenWidth = ScreenWidth / 2;
  CaptionMenuHeight = CaptionAndMenuHeight();
  int r2 = plat::Rand();
  int r = plat::Rand();
  kv::SetPlacement(Placement, r % 80, CaptionMenuHeight + r2 % 30, HalfScreenWidth, HalfScreenWidth, 0);
  // The window is created at its default placement.
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  ClearProtection();
}

TFileMsgWin::~TFileMsgWin() = default;

const plat::CommandTable& TFileMsgWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TFileMsgWin>(
      &plat::Window::Commands(), {
                                     {CM_OPEN, &TFileMsgWin::CmOpen, &TFileMsgWin::CeOpen},
                                     {CM_SAVE, &TFileMsgWin::CmSave, &TFileMsgWin::CeSave},
                                     {CM_SAVE_AS, &TFileMsgWin::CmSaveAs, &TFileMsgWin::CeSaveAs},
                                     {CM_PRINT_AREA, &TFileMsgWin::EditPrintArea},
                                     {CM_PASSWORD, &TFileMsgWin::CmPassword},
                                     {CM_AUTHOR, &TFileMsgWin::CmAuthor, &TFileMsgWin::CeAuthor},
                                     {CM_CLOSE, &TFileMsgWin::CmClose},
                                     {CM_CLOSE_BY_HIDING, &TFileMsgWin::CmCloseByHiding},
                                 });
  return table;
}

void TFileMsgWin::SetupWindow() {
  plat::Window::SetupWindow();
  SetIcon(plat::res::String(999));
}

void TFileMsgWin::Destroy() {
  if (IsDestroyed()) return;
  AbandonFile();
  TextBuffer.clear();
  if (OwnerWindow && !OwnerWindow->IsDestroyed() && OwnerWindow->IsCreated()) OwnerWindow->BringToTop();
  plat::Window::Destroy();
}

// ---- messages ----

void TFileMsgWin::ShowMessageById(int n, const char* caption) { kv::ShowMessageById(this, n, caption); }

int TFileMsgWin::RunMessageDialog(const std::string& caption, const std::string& text, int type) {
  return kv::RunMessageDialog(this, caption, text, type);
}

void TFileMsgWin::SetCaption(int kind, int, int) {
  plat::Window::SetCaption(TruncateChars(plat::res::String(600 + kind), 255));
}

// ---- caption ----

std::string TFileMsgWin::CaptionName() const {
  if (!CaptionShowsNamePart) return FileData.FileName;
  std::string part;
  GetFileNamePart(part, FileData.FileName);
  return part;
}

void TFileMsgWin::UpdateCaption(bool saving, const char* extra) {
  std::string name = CaptionName();
  if (saving) {
    plat::Window::SetCaption(plat::res::String(1) + " " + name);
    return;
  }
  if (extra) name += extra;
  if (ProtectionMask != 0) name += "+";
  plat::Window::SetCaption(name);
}

// ---- the open file ----

bool TFileMsgWin::OpenForWriting(const std::string& path) {
  AbandonFile();
  if (path.empty()) return false;
  std::error_code ec;
  std::filesystem::path p(path);
  std::filesystem::path dir = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
  if (!std::filesystem::is_directory(dir, ec) || std::filesystem::is_directory(p, ec)) return false;
  out_ = std::make_unique<ByteWriter>();
  outPath_ = path;
  return true;
}

bool TFileMsgWin::OpenForReading(const std::string& path) {
  AbandonFile();
  if (path.empty()) return false;
  // Saves into this folder that were cut short (the program was killed)
  // left their temporaries; they go now, not only at the next save here.
  const std::size_t slash = path.find_last_of('/');
  RemoveStaleSaveTemporaries(slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1));
  if (!ReadWholeFile(path, inData_)) {
    inData_.clear();
    return false;
  }
  in_ = std::make_unique<ByteReader>(inData_);
  return true;
}

bool TFileMsgWin::CloseFile() {
  bool ok = true;
  if (out_) ok = WriteFileAtomically(outPath_, out_->Data());
  AbandonFile();
  return ok;
}

void TFileMsgWin::AbandonFile() {
  out_.reset();
  outPath_.clear();
  in_.reset();
  inData_.clear();
  inData_.shrink_to_fit();
}

void TFileMsgWin::WriteCountedString(const std::string& s) {
  if (out_) out_->CountedString(s);
}

bool TFileMsgWin::ReadCountedString(std::string& dest, std::size_t maxBytes) {
  if (!in_ || in_->Failed()) return false;
  std::string s = in_->CountedString(maxBytes);
  if (in_->Failed()) return false;
  dest = std::move(s);
  return true;
}

// ---- Save, Save as, Open, Close ----

bool TFileMsgWin::ConfirmOverwrite(const std::string& name) {
  std::error_code ec;
  if (!std::filesystem::exists(name, ec)) return true;
  return RunMessageDialog(plat::res::String(2), plat::res::String(13), 2) == plat::IDYES;
}

bool TFileMsgWin::Save() {
  // A name chosen here is taken back when the file cannot be written.
  const std::string keptName = FileData.FileName;
  const bool wasNamed = Named != 0;
  if (!Named) {
    plat::FileDialogRequest req;
    req.save = true;
    req.filter = FileData.Filter;
    req.defaultExtension = FileData.DefaultExt;
    req.initialName = FileData.FileName;
    auto chosen = plat::FileDialog(this, req);
    if (chosen && ConfirmOverwrite(*chosen)) {
      FileData.FileName = *chosen;
      Named = 1;
    }
    if (!Named) return false;
  }
  UpdateCaption(true);
  BusyDelay(500);
  bool ok = WriteFile();
  // A writer that left its file open is committed here; a writer that
  // failed leaves nothing behind.
  if (ok && IsWriting()) ok = CloseFile();
  if (IsFileOpen()) AbandonFile();
  if (!ok) {
    if (!wasNamed) {
      FileData.FileName = keptName;
      Named = 0;
    }
    UpdateCaption(false);
    ShowMessageById(12);
    return false;
  }
  UpdateCaption(false);
  LastFileName = FileData.FileName;
  Named = 1;
  ClearModified();
  return true;
}

void TFileMsgWin::CmSave() {
  // A refused password blocks saving also for a window without a name.
  if (!CheckPassword(kProtectSave)) return;
  if (!CanSave() && Named) return;
  Save();
}

void TFileMsgWin::CmSaveAs() {
  if (!CheckPassword(kProtectSave)) return;
  // Cancelled, the window stays unnamed: the next Save asks for a name.
  Named = 0;
  Save();
}

void TFileMsgWin::CeOpen(plat::CommandEnabler& ce) { ce.Enable(CanOpen()); }
void TFileMsgWin::CeSave(plat::CommandEnabler& ce) { ce.Enable(CanSave()); }
void TFileMsgWin::CeSaveAs(plat::CommandEnabler& ce) { ce.Enable(CanSaveAs()); }
void TFileMsgWin::CmOpen() { ChooseFileToOpen(); }

void TFileMsgWin::ChooseFileToOpen() {
  if (!CanClose()) return;
  std::string kept = FileData.FileName;
  plat::FileDialogRequest req;
  req.save = false;
  req.filter = FileData.Filter;
  req.defaultExtension = FileData.DefaultExt;
  req.initialName = FileData.FileName;
  auto chosen = plat::FileDialog(this, req);
  if (!chosen) return;
  FileData.FileName = *chosen;
  int code = OpenFile();
  if (code > 0) {
    ShowMessageById(code);
    FileData.FileName = kept;
    UpdateCaption(false);
  }
}

int TFileMsgWin::OpenFileByName() {
  std::string kept = FileData.FileName;
  if (!FileToOpen.empty()) {
    FileData.FileName = FileToOpen;
    const int code = OpenFile();
    if (code == 0) return 0;
    // The user named this file (on the command line, by a second start or
    // by dropping it): say why it did not open, as "Öffnen" does.  The
    // fallback to the last file below stays silent.
    FileData.FileName = kept;
    ShowMessageById(code > 0 ? code : 11);
  }
  if (OpenLastFileFlag && !LastFileName.empty()) {
    FileData.FileName = LastFileName;
    if (OpenFile() == 0) return 0;
  }
  FileData.FileName = kept;
  return 11;
}

bool TFileMsgWin::CanClose() {
  if (!Modified) return true;
  return AskSave();
}

bool TFileMsgWin::AskSave() {
  std::string part;
  GetFileNamePart(part, FileData.FileName);
  int answer = RunMessageDialog(plat::res::String(2), plat::res::String(1) + part + "?", 2);
  if (answer == plat::IDYES) return CheckPassword(kProtectSave) && Save();
  if (answer == plat::IDNO) {
    Modified = 0;
    return true;
  }
  return false;
}

void TFileMsgWin::Hide() {
  Show(plat::SW_HIDE);
  Hidden = 1;
}

bool TFileMsgWin::CloseByHiding() {
  if (!CanClose()) return false;
  Modified = 0;
  Hide();
  return true;
}

void TFileMsgWin::CmClose() { Hide(); }
void TFileMsgWin::CmCloseByHiding() { CloseByHiding(); }

// ---- print area record ----

TPrintArea TFileMsgWin::GetPrintArea() const {
  return TPrintArea{PrintWidth, PrintLeft, PrintTop, PrintScale, PrintDrawFrame, ColourPrinter};
}

void TFileMsgWin::SetPrintArea(const TPrintArea& a) {
  PrintWidth = a.PrintWidth;
  PrintLeft = a.PrintLeft;
  PrintTop = a.PrintTop;
  PrintScale = a.PrintScale;
  PrintDrawFrame = a.DrawFrame;
  ColourPrinter = a.ColourPrinter;
}

}  // namespace kv
