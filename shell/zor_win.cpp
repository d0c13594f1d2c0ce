#include "shell/zor_win.h"

#include <cstdlib>
#include <optional>

#include "platform/app.h"
#include "platform/clipboard.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "shell/col_win.h"
#include "shell/generic_dialogs.h"
#include "shell/note_win.h"
#include "shell/model/notes_block.h"
#include "shell/plot_frame.h"
#include "shell/text_helpers.h"
#include "shell/text_win.h"

namespace kv {

namespace {

enum : int {
  CM_COLOURS_MARK_MODIFIED = 56,
  CM_FONT_FIRST = 60,
  CM_FONT_LAST = 69,
  CM_NOTES = 75,
  CM_NEW = 78,
  CM_PICTURE_SIZE = 90,
  CM_PRINTER_SETUP = 93,
  CM_DELAY = 112,
  CM_COLOUR_FIRST = 200,
  CM_COLOUR_LAST = 214,
  CM_WITH_BACKGROUND = 221,
  CM_PRINT = 303,
  CM_PRINT_SIMULTANEOUS = 307,
  CM_BITMAP_TO_CLIPBOARD = 310,
  CM_MENU_HELP_FIRST = 330,
  CM_MENU_HELP_LAST = 342,
  CM_HELP = 354,
};

int CountChars(const std::string& s) {
  int n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

long double FromHundredths(std::int32_t v) { return static_cast<long double>(v) / 100.0L; }

}  // namespace

bool IsPlacementOnScreen(const TPlacement& p, int screenWidth, int screenHeight) {
  return p.x >= 0 && p.y >= 0 && p.height >= 72 && p.width >= 120 &&
         static_cast<long long>(p.x) + p.width <= screenWidth &&
         static_cast<long long>(p.y) + p.height <= screenHeight;
}

// ---------------------------------------------------------------------------

TZORWin::TZORWin(plat::Window* parent, const std::string& title) : TPreWin(parent, title) {
  AssignMenu("DEFMENU");
  Printer = std::make_unique<plat::Printer>();
  PrinterWatch = std::make_unique<plat::DefaultPrinterWatch>([this] { DefaultPrinterChanged(); });
}

void TZORWin::DefaultPrinterChanged() {
  if (Printer) Printer = std::make_unique<plat::Printer>();
}

TZORWin::~TZORWin() = default;

const plat::CommandTable& TZORWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TZORWin>(
      &TPreWin::Commands(), {
                                {CM_FONT_FIRST, CM_FONT_LAST, &TZORWin::CmFont},
                                {CM_COLOUR_FIRST, CM_COLOUR_LAST, &TZORWin::CmColour},
                                {CM_MENU_HELP_FIRST, CM_MENU_HELP_LAST, &TZORWin::CmMenuHelp},
                                {CM_HELP, &TZORWin::CmHelp},
                                {CM_NEW, &TZORWin::CmNew},
                                {CM_NOTES, &TZORWin::CmNotes, &TZORWin::CeNotes},
                                {CM_PICTURE_SIZE, &TZORWin::CmPictureSize},
                                {CM_BITMAP_TO_CLIPBOARD, &TZORWin::CmBitmapToClipboard},
                                {CM_WITH_BACKGROUND, &TZORWin::CmWithBackground},
                                {CM_COLOURS_MARK_MODIFIED, &TZORWin::CmColoursMarkModified},
                                {CM_DELAY, &TZORWin::CmDelay},
                                {CM_PRINT, &TZORWin::CmPrint},
                                {CM_PRINT_SIMULTANEOUS, &TZORWin::CmPrintSimultaneous, &TZORWin::CePrintSimultaneous},
                                {CM_PRINTER_SETUP, &TZORWin::CmPrinterSetup},
                            });
  return table;
}

TPlacement TZORWin::RandomPlacement() const {
  TPlacement p;
  int r2 = plat::Rand();
  int r = plat::Rand();
  kv::SetPlacement(p, r % 80, r2 % 30 + CaptionMenuHeight, HalfScreenWidth, HalfScreenWidth, 0);
  return p;
}

void TZORWin::SetupWindow() {
  TPreWin::SetupWindow();
  SettingsLoaded = LoadSettings() ? 1 : 0;
  // The companion windows start hidden; the colour window is made when a
  // colour is first asked for.
  const std::string help = plat::res::String(25);
  TextWindow = new TTextWin(this, plat::res::String(297), help, help, TextFontSlot);
  TextWindow->Create();
  TextWindow->Hidden = 1;
  HelpWindow = new TTextWin(this, plat::res::String(297), help, help, TextFontSlot);
  HelpWindow->Create();
  HelpWindow->Hidden = 1;
  if (HasNotes) {
    NotesWindow = new TNoteWin(this, "title", plat::res::String(93) + ".txt", "", TextFontSlot);
    NotesWindow->Create();
    NotesWindow->Hidden = 1;
    NotesWindow->ClearNotes();
    if (!NotesText.empty()) SetNotes(NotesText);
    NotesText.clear();
  }
  // A placement kept from another screen would put the window out of reach.
  if (!IsPlacementOnScreen(Placement, ScreenWidth, ScreenHeight)) Placement = RandomPlacement();
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  UpdateMenuChecks(false);
}

void TZORWin::Destroy() {
  if (IsDestroyed()) return;
  SaveSettings();
  TPreWin::Destroy();
}

void TZORWin::Paint(plat::DC& dc, bool, const plat::Rect&) {
  ClientSizeChanged();
  PaintBackground(dc);
}

// ---- file layer ----

int TZORWin::OpenFile() {
  BeforeReadFile();
  int code = ReadFile();
  if (IsFileOpen()) AbandonFile();
  if (code > 0) return code;
  MoveToFilePlacement();
  InvalidateBackBuffer(PaintBufferIndex);
  Named = 1;
  LastFileName = FileData.FileName;
  UpdateCaption(false);
  UpdateMenuChecks(DrawMenuBarOnOpen != 0);
  Invalidate(EraseOnOpen != 0);
  return 0;
}

void TZORWin::MoveToFilePlacement() {
  if (!IsPlacementOnScreen(Placement, ScreenWidth, ScreenHeight)) Placement = RandomPlacement();
  MovingToFilePlacement = 1;
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  MovingToFilePlacement = 0;
}

bool TZORWin::Save() {
  if (!TPreWin::Save()) return false;
  if (NotesWindow) NotesWindow->UpdateNotesCaption();
  return true;
}

void TZORWin::UpdateMenuChecks(bool drawMenuBar) {
  CheckMenuItem(CM_COLOURS_MARK_MODIFIED, ColoursMarkModified != 0);
  CheckMenuItem(CM_WITH_BACKGROUND, WithBackground != 0);
  UpdateMoreMenuChecks();
  if (drawMenuBar) DrawMenuBar();
}

bool TZORWin::CanCloseWithNotes() {
  if (HasNotes && NotesWindow && NotesWindow->TextModified()) Modified = 1;
  return TFileMsgWin::CanClose();
}

void TZORWin::BuildGreyTables() { TPreWin::BuildGreyTables(); }

void TZORWin::ResetClientGeometry() {
  TPreWin::ResetClientGeometry();
  DeviceTextScale = 1.0L;
}

void TZORWin::SetModeValue(std::int16_t value) {
  if (value == ModeValue) return;
  ModeValue = value;
  UpdateMenuChecks(false);
}

void TZORWin::ChooseColourForSlot(int slot) {
  if (slot < 0 || slot >= kColourSlotCount) return;
  auto k = static_cast<std::size_t>(slot);
  ShowColourWindow(ColourCaptionIds[k], &ColourSlots[k], ColourTargets[k], nullptr);
  if (TrackColourChanges && ColoursMarkModified) Modified = 1;
}

void TZORWin::DrawFrame(plat::DC& dc) {
  if (!PrintDrawFrame) return;
  int width = FrameWidth + 1;
  if (ScaleLineWidths) width *= LineWidthFactor;
  plat::Pen old = dc.SelectPen(plat::Pen{plat::PS_SOLID, width, plat::Rgb(0, 0, 0)});
  const int x0 = OriginX;
  const int y0 = OriginY;
  const int x1 = OriginX + ClientWidth;
  const int y1 = OriginY + ClientHeight;
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y0);
  dc.MoveTo(x1 - 1, y0);
  dc.LineTo(x1 - 1, y1);
  dc.MoveTo(x1 - 1, y1 - 1);
  dc.LineTo(x0, y1 - 1);
  dc.MoveTo(x0, y1 - 1);
  dc.LineTo(x0, y0);
  dc.SelectPen(old);
}

void TZORWin::ShowHelpText(const std::string& name, const std::string& topic) {
  const std::optional<std::string> text = plat::res::HelpText(name);
  if (!text || !HelpWindow) {
    ShowMessageById(11);
    return;
  }
  HelpWindow->SetText(CutHelpText(*text));
  HelpWindow->ShowWindow();
  if (topic.empty()) return;
  HelpWindow->SearchText = topic;
  HelpWindow->FindText(topic);
}

// ---- other operations ----

std::int16_t TZORWin::GetSavedValue(int i) const {
  if (SavedValuesOff) return 0;
  return SavedValues[static_cast<std::size_t>(((i % 10) + 10) % 10)];
}

void TZORWin::SetPlacement(const TPlacement& p) {
  Placement = p;
  MoveWindow(p.x, p.y, p.width, p.height);
}

void TZORWin::MeasureCharE(plat::DC& dc) {
  plat::ClientDC screen(*this);
  const int screenHeight = screen.GetTextExtent("E").cy;
  const int deviceHeight = dc.GetTextExtent("E").cy;
  DeviceTextScale = screenHeight > 0 ? static_cast<long double>(deviceHeight) / screenHeight : 1.0L;
  DeviceDpiY = dc.GetDeviceCaps(plat::LOGPIXELSY);
}

void TZORWin::ScaleFontsForPrinter(bool begin, int dpi) {
  if (begin) {
    SavedFonts = std::make_unique<std::array<plat::LogFont, kFontSlotCount>>(FontSlots);
    for (std::size_t k = 0; k < FontSlots.size(); ++k)
      FontSlots[k].height = FontHeightForPoints(std::abs(FontPointSizes[k]), dpi);
  } else if (SavedFonts) {
    FontSlots = *SavedFonts;
    SavedFonts.reset();
  }
}

plat::Colour TZORWin::GetDrawColour(int index, bool avoidBackground) const {
  if (Printing && !ColourPrinter) return GetGreyColour(index);
  return avoidBackground ? GetColourAvoidingBackground(index) : GetColour(index);
}

plat::Colour TZORWin::GetColourAvoidingBackground(int index) const {
  if (!Printing && index == ColourSlots[0]) index = index == 0 ? 1 : 0;
  return GetColour(index);
}

std::int16_t TZORWin::CheckColourIndex(int index) const {
  if (Printing && !ColourPrinter) return 0;
  return index >= 1 && index < kColourCount ? static_cast<std::int16_t>(index) : 0;
}

void TZORWin::FormatWindowNumber(long double value, std::string& dest) const {
  FormatNumber(value, FieldWidth, Decimals, dest);
}

void TZORWin::CheckMenu(int id, bool on) { CheckMenuItem(id, on); }

void TZORWin::ShowColourWindow(int captionId, std::int16_t* index, std::int32_t target, const char* caption) {
  if (!index) return;
  if (!ColourWindow) {
    ColourWindow = new TColWin(this);
    ColourWindow->Create();
  }
  ColourWindow->ShowColourWindow(captionId, index, target, caption);
}

bool TZORWin::IsColourWindowVisible() const {
  return ColourWindow && !ColourWindow->Hidden && ColourWindow->IsVisible();
}

void TZORWin::HideColourWindow() {
  if (IsColourWindowVisible()) ColourWindow->Hide();
}

void TZORWin::ColourIndexChanged(const std::int16_t* index, std::int32_t target) {
  if (index == &ColourSlots[0]) SetBkgndColor(GetColour(ColourSlots[0]));
  EvViewNotify(target);
  InvalidateBackBuffer(PaintBufferIndex);
  Invalidate(true);
}

void TZORWin::ColourTableChanged(std::int32_t target) {
  BuildGreyTables();
  SetBkgndColor(GetColour(ColourSlots[0]));
  EvViewNotify(target);
  InvalidateBackBuffer(PaintBufferIndex);
  Invalidate(true);
}

void TZORWin::ForgetColourIndex(const std::int16_t* index) {
  if (ColourWindow) ColourWindow->ForgetIndex(index);
}

// ---- notes ----

std::string TZORWin::GetNotes() { return NotesWindow ? NotesWindow->GetText() : NotesText; }

void TZORWin::SetNotes(const std::string& text) {
  if (!NotesWindow) {
    NotesText = CutToChars(text, kTextMaxChars);
    return;
  }
  NotesWindow->SetText(text);
  NotesWindow->UpdateNotesCaption();
}

void TZORWin::WriteNotes(ByteWriter& w) {
  WriteNotesBlock(w, GetNotes());
  if (NotesWindow && NotesWindow->Edit()) NotesWindow->Edit()->SetModified(false);
}

bool TZORWin::ReadNotes(ByteReader& r) {
  std::string notes;
  if (!ReadNotesBlock(r, notes)) return false;
  SetNotes(notes);
  return true;
}

bool TZORWin::NotesVisible() const {
  if (!NotesWindow) return NotesShown != 0;
  return !NotesWindow->Hidden && NotesWindow->IsVisible();
}

void TZORWin::ShowNotes() {
  NotesShown = 1;
  if (NotesWindow) NotesWindow->ShowWindow();
}

int TZORWin::PollKey() { return plat::PollKey(*this); }

std::int16_t TZORWin::GetClipboardText(std::string& dest, int size) {
  auto text = plat::clipboard::GetText();
  if (!text) return 0;
  if (CountChars(*text) > size - 1) return 20;
  dest = *text;
  return 0;
}

// ---- header and settings file ----

TCommonHeader TZORWin::MakeFileHeader(std::int32_t typeCode) const {
  TCommonHeader h;
  h.TypeCode = typeCode >= 1 ? typeCode : FileTypeCode;
  h.Version = FileVersion;
  plat::Rect r = IsCreated() ? NormalRect()
                             : plat::Rect{Placement.x, Placement.y, Placement.x + Placement.width,
                                          Placement.y + Placement.height};
  h.X = r.left;
  h.Y = r.top;
  h.Width = r.Width();
  h.Height = r.Height();
  h.Maximised = IsCreated() && IsZoomed() ? 1 : 0;
  h.ColoursMarkModified = ColoursMarkModified ? 1 : 0;
  h.PrintScale100 = RoundToInt(PrintScale * 100);
  h.PrintWidth100 = RoundToInt(PrintWidth * 100);
  h.PrintLeft100 = RoundToInt(PrintLeft * 100);
  h.PrintTop100 = RoundToInt(PrintTop * 100);
  h.DrawFrame = PrintDrawFrame ? 1 : 0;
  h.ColourPrinter = ColourPrinter ? 1 : 0;
  h.FontPointSizes = FontPointSizes;
  h.Fonts = FontSlots;
  h.FontColours = FontColours;
  h.ColourSlots = ColourSlots;
  h.ColourTable = ColourTable;
  return h;
}

void TZORWin::ApplyFileHeader(const TCommonHeader& h) {
  kv::SetPlacement(Placement, h.X, h.Y, h.Width, h.Height, h.Maximised != 0 ? 1 : 0);
  ColoursMarkModified = h.ColoursMarkModified != 0 ? 1 : 0;
  PrintScale = h.PrintScale100 == 0 ? -1.0L / 2.54L : FromHundredths(h.PrintScale100);
  PrintWidth = FromHundredths(h.PrintWidth100);
  PrintLeft = FromHundredths(h.PrintLeft100);
  PrintTop = FromHundredths(h.PrintTop100);
  PrintDrawFrame = h.DrawFrame != 0 ? 1 : 0;
  ColourPrinter = h.ColourPrinter != 0 ? 1 : 0;
  const int fonts = h.FontCount < kFontSlotCount ? h.FontCount : kFontSlotCount;
  for (int i = 0; i < fonts; ++i) {
    auto k = static_cast<std::size_t>(i);
    FontPointSizes[k] = h.FontPointSizes[k];
    FontSlots[k] = h.Fonts[k];
    FontColours[k] = h.FontColours[k];
  }
  const int slots = h.ColourSlotCount < kColourSlotCount ? h.ColourSlotCount : kColourSlotCount;
  for (int i = 0; i < slots; ++i) {
    std::int16_t v = h.ColourSlots[static_cast<std::size_t>(i)];
    // A slot names a colour of the table; anything else is the fall-back 0.
    ColourSlots[static_cast<std::size_t>(i)] = v >= 0 && v < kColourCount ? v : 0;
  }
  if (h.SignaturesMatch() && h.ColourCount > 0) {
    const int colours = h.ColourCount < kColourCount ? h.ColourCount : kColourCount;
    for (int i = 0; i < colours; ++i) ColourTable[static_cast<std::size_t>(i)] = h.ColourTable[static_cast<std::size_t>(i)];
    BuildGreyTables();
  }
  if (IsCreated()) SetBkgndColor(GetColour(ColourSlots[0]));
}

void TZORWin::WriteFileHeader(std::int32_t typeCode) {
  if (Out()) WriteCommonHeader(*Out(), MakeFileHeader(typeCode));
}

std::int32_t TZORWin::ReadFileHeader() {
  if (!In()) return 0;
  TCommonHeader h;
  if (ReadCommonHeader(*In(), FileTypeCode, h) != THeaderResult::Ok || h.Version <= 0) {
    AbandonFile();
    return 0;
  }
  // A newer file is left alone: the reader refuses it with message 8.
  if (h.Version > FileVersion) {
    AbandonFile();
    return h.Version;
  }
  ApplyFileHeader(h);
  return h.Version;
}

bool TZORWin::CreateFileWithHeader(const std::string& name, std::int32_t typeCode) {
  if (!OpenForWriting(name)) return false;
  WriteFileHeader(typeCode);
  return true;
}

std::int32_t TZORWin::OpenFileReadHeader() {
  if (!OpenForReading(FileData.FileName)) return 0;
  std::int32_t version = ReadFileHeader();
  if (version > 0 && version <= FileVersion) FreePicture();
  return version;
}

int TZORWin::CheckHeaderVersion(std::int32_t version) {
  if (version <= 0) return 11;
  if (version > FileVersion) {
    AbandonFile();
    return 8;
  }
  return 0;
}

std::vector<std::uint8_t> TZORWin::SettingsFileBytes() {
  auto& block1 = SettingsBlocks.Ints[0];
  block1[0] = DelayMilliseconds;
  block1[1] = 10;
  for (std::size_t i = 0; i < SavedValues.size(); ++i) block1[2 + i] = SavedValues[i];
  SettingsBlocks.FileName = FileData.FileName;
  ByteWriter w;
  WriteCommonHeader(w, MakeFileHeader(FileTypeCode));
  WriteSettingsBlocks(w, SettingsBlocks, SettingsIntBlockSize, SettingsRealBlockSize, SettingsByteBlockSize);
  return w.Data();
}

bool TZORWin::SaveSettings() {
  if (!SaveSettingsOnClose || SettingsFileName.empty()) return true;
  return WriteFileAtomically(WindowsDirectory() + SettingsFileName, SettingsFileBytes());
}

bool TZORWin::LoadSettings() {
  if (!LoadSettingsOnSetup || SettingsFileName.empty()) return false;
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(WindowsDirectory() + SettingsFileName, bytes)) return false;
  ByteReader r(bytes);
  TCommonHeader h;
  THeaderResult result = ReadCommonHeader(r, FileTypeCode, h);
  if (result == THeaderResult::WrongType) return false;
  TSettingsBlocks blocks = SettingsBlocks;
  if (result == THeaderResult::Damaged ||
      !ReadSettingsBlocks(r, blocks, SettingsIntBlockSize, SettingsRealBlockSize, SettingsByteBlockSize)) {
    ShowMessageById(21);  // "fehlerhafte .ini Datei": the defaults stay
    return false;
  }
  if (h.Version <= 0 || h.Version > FileVersion) return false;
  ApplyFileHeader(h);
  SettingsBlocks = blocks;
  LastFileName = blocks.FileName;
  const auto& block1 = blocks.Ints[0];
  DelayMilliseconds = block1[0] < 0 ? 0 : block1[0];
  const int count = block1[1] < 0 ? 0 : block1[1] > 10 ? 10 : block1[1];
  for (int i = 0; i < count; ++i) {
    std::int32_t v = block1[static_cast<std::size_t>(2 + i)];
    SavedValues[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
  }
  return true;
}

void TZORWin::SetHelpNames(const std::string& general, std::initializer_list<const char*> menus) {
  HelpName = general;
  std::size_t k = 0;
  for (const char* name : menus)
    if (k < HelpNames.size()) HelpNames[k++] = name;
  for (; k < HelpNames.size(); ++k) HelpNames[k].clear();
}

void TZORWin::OpenStartFile() {
  // A start file that cannot be opened leaves an empty window with its
  // previous name; the window kinds decide whether to say more.
  OpenFileByName();
}

// ---- the basic file ----

bool TZORWin::WriteBasicFile() {
  if (!CreateFileWithHeader(FileData.FileName, 0)) return false;
  Out()->I16(ProtectionMask);
  if (ProtectionMask != 0) WritePasswordBlock();
  return CloseFile();
}

int TZORWin::ReadBasicFile() {
  if (!OpenForReading(FileData.FileName)) return 11;
  TCommonHeader h;
  THeaderResult result = ReadCommonHeader(*In(), FileTypeCode, h);
  if (result != THeaderResult::Ok || h.Version <= 0) {
    AbandonFile();
    return 11;
  }
  if (h.Version > FileVersion) {
    AbandonFile();
    return 8;
  }
  std::int16_t mask = In()->I16();
  TPasswordBlock block;
  bool ok = !In()->Failed() && (mask == 0 || ParsePasswordBlock(block));
  AbandonFile();
  if (!ok) return 11;
  ApplyFileHeader(h);
  FreePicture();
  if (mask != 0) {
    ApplyPasswordBlock(block);
    if (Password.empty()) mask = 0;
  } else {
    ClearProtection();
  }
  ProtectionMask = mask;
  Unlocked = ProtectionMask > 0 ? 0 : 1;
  return 0;
}

// ---- commands ----

void TZORWin::CmFont(int id) { ChooseFontForSlot(id - CM_FONT_FIRST); }
void TZORWin::CmColour(int id) { ChooseColourForSlot(id - CM_COLOUR_FIRST); }
void TZORWin::CmMenuHelp(int id) { ShowHelpText(HelpNames[static_cast<std::size_t>(id - CM_MENU_HELP_FIRST)], ""); }
void TZORWin::CmHelp() { ShowHelpText(HelpName, ""); }

void TZORWin::CmNotes() {
  if (!CheckPassword(kProtectNotes) || !NotesWindow) return;
  ShowNotes();
  Modified = 1;
}

void TZORWin::CeNotes(plat::CommandEnabler& ce) { ce.Enable(HasNotes != 0); }

void TZORWin::CmNew() {
  if (CanClose()) NewFile();
}

void TZORWin::CmWithBackground() {
  WithBackground = WithBackground ? 0 : 1;
  UpdateMenuChecks(false);
}

void TZORWin::CmColoursMarkModified() {
  ColoursMarkModified = ColoursMarkModified ? 0 : 1;
  UpdateMenuChecks(false);
}

void TZORWin::CmDelay() {
  int value = DelayMilliseconds;
  int code = AskIntInRange(this, plat::res::String(5), plat::res::String(24), 0, 2147483647, value);
  if (code == 0) DelayMilliseconds = value;
  else if (code == 17) ShowMessageById(17);
}

void TZORWin::CmPrint() {
  CopyCount = 1;
  SimultaneousPrint = 0;
  Print();
}

void TZORWin::CmPrintSimultaneous() { PrintSimultaneous(); }
// Printing files together reads them: a window that opens no files of its
// own kind has none to print.
void TZORWin::CePrintSimultaneous(plat::CommandEnabler& ce) { ce.Enable(CanOpen()); }

void TZORWin::CmPrinterSetup() {
  if (Printer) Printer->Setup(this);
}

void TZORWin::CmPictureSize() {
  plat::DeviceCaps screen = plat::ScreenCaps();
  const int dpiX = screen.logPixelsX > 0 ? screen.logPixelsX : 96;
  const int dpiY = screen.logPixelsY > 0 ? screen.logPixelsY : 96;
  plat::Rect outer = GetWindowRect();
  plat::Rect client = GetClientRect();
  const int fx = outer.Width() - client.Width();
  int fy = outer.Height() - client.Height();

  std::string width = FormatNumber(client.Width() * 2.54L / dpiX, 4, 1);
  std::string height = FormatNumber(client.Height() * 2.54L / dpiY, 4, 1);
  TInp2Dlg dlg(this, plat::res::String(26), "TWOINPUT", plat::res::String(27), plat::res::String(28), width,
               height, 22);
  if (dlg.Execute() != plat::IDOK) return;

  bool pixels = false;
  for (std::string* s : {&width, &height}) {
    if (s->size() > 1 && s->back() == '@') {
      s->pop_back();
      pixels = true;
    }
  }
  long long w = 0;
  long long h = 0;
  bool valid = true;
  if (pixels) {
    w = ParseInt(width);
    h = ParseInt(height);
    valid = w >= 50 && h >= 50 && fx + w + 8 <= screen.horzRes && fy + h + 8 <= screen.vertRes;
  } else {
    long double cmW = 0;
    long double cmH = 0;
    ParseLongDouble(cmW, width);
    ParseLongDouble(cmH, height);
    valid = cmW >= 0.5L && cmW <= 27.0L && cmH >= 0.5L && cmH <= 27.0L;
    if (valid) {
      w = RoundToInt(cmW / 2.54L * dpiX);
      h = RoundToInt(cmH / 2.54L * dpiY);
    }
  }
  if (!valid) {
    ShowMessageById(17);
    return;
  }
  const int iw = static_cast<int>(w);
  const int ih = static_cast<int>(h);
  // Moved and sized out of sight, so the two steps do not show.
  plat::Window::Show(plat::SW_HIDE);
  MoveWindow(10, 10, iw + fx, ih + fy);
  // The menu bar may wrap differently at the new width.
  fy = GetWindowRect().Height() - GetClientRect().Height();
  MoveWindow(10, 10, iw + fx, ih + fy);
  plat::Window::Show(plat::SW_SHOWNORMAL);
  kv::SetPlacement(Placement, 10, 10, iw + fx, ih + fy, 0);
}

void TZORWin::CmBitmapToClipboard() {
  UpdateClientSize();
  ClipboardBitmap = plat::Bitmap(ClientWidth, ClientHeight);
  {
    plat::BitmapDC dc(ClipboardBitmap);
    if (PaintToBitmap(dc)) DrawFrame(dc);
  }
  // The clipboard takes a copy; the window keeps its own.
  plat::clipboard::SetBitmap(ClipboardBitmap);
  ShowMessageById(22);
}

}  // namespace kv
