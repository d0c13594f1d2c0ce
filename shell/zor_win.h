// The window base under every plot window: the menu "DEFMENU" and the
// window-level commands every plot window shares (font and colour slots,
// help per menu, notes, "Neu", picture size, bitmap to the clipboard,
// printing), the companion windows it owns, the common file header and the
// window-kind settings file, and a set of values the higher layers keep
// with it.  The main frame also keeps one hidden TZORWin for the About box
// and the program help.
//
// Plot-file readers and writers start with CreateFileWithHeader /
// OpenFileReadHeader and go on with their blocks on the same open file
// (Out() / In() of the file layer).
//
// Implementation: zor_win.cpp (commands, companions, header, settings) and
// zor_printout.cpp (printing and simultaneous printing).
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/default_printer.h"
#include "platform/printer.h"
#include "shell/pre_win.h"
#include "shell/model/settings_file.h"

namespace kv {

class TColWin;
class TTextWin;
class TNoteWin;
class TZORPrintout;

inline constexpr int kPrintFileCount = 12;

// The window kinds' settings files (in the Windows directory).
inline constexpr const char* kSettingsFile2D = "kv2.ini";
inline constexpr const char* kSettingsFile3D = "kv3.ini";
inline constexpr const char* kSettingsFileLevel = "lev.ini";
inline constexpr const char* kSettingsFileRds = "rds.ini";
inline constexpr const char* kSettingsFileGuess = "guess.ini";
inline constexpr const char* kSettingsFileDomain = "dom2.ini";
inline constexpr const char* kSettingsFileRange = "ran2.ini";
inline constexpr const char* kSettingsFileLog = "kvlog.ini";

// A placement a window may open at: on the screen, at least 120 x 72.
bool IsPlacementOnScreen(const TPlacement& p, int screenWidth, int screenHeight);

class TZORWin : public TPreWin {
 public:
  TZORWin(plat::Window* parent, const std::string& title);
  ~TZORWin() override;

  void SetupWindow() override;
  void Destroy() override;
  const plat::CommandTable& Commands() const override;
  // Paints the background and picture; the plot layers draw their plots.
  void Paint(plat::DC& dc, bool erase, const plat::Rect& rect) override;

  // ---- file layer overrides ----
  // BeforeReadFile, the read, a valid placement, caption and repaint.
  int OpenFile() override;
  bool Save() override;
  void UpdateMenuChecks(bool drawMenuBar) override;
  // Unsaved notes count as a change of the window.
  bool CanClose() override { return CanCloseWithNotes(); }

  // ---- virtual operations ----
  virtual void BeforeReadFile() {}
  // Prints the plot on one page, after the print dialog.
  virtual void Print();
  // The desktop's default printer changed: a window that has a printer
  // takes a new printer object, which prints to the new default.
  void DefaultPrinterChanged();
  virtual void UpdateMoreMenuChecks() {}
  virtual bool CanCloseWithNotes();
  void BuildGreyTables() override;
  void ResetClientGeometry() override;
  // Draws the plot for a printed page / into the clipboard bitmap; here
  // only whether there is something to draw on.
  virtual bool PrintPlot(plat::DC& dc) { return true; }
  virtual bool PaintToBitmap(plat::DC& dc) { return true; }
  // Reads `name` into the (hidden) window for a simultaneous print: the
  // read's result, 0 when the file was read.
  virtual int LoadFileForPrint(const std::string& name);
  // Printed width in inches.
  virtual long double GetPrintWidth() { return 3.0L; }
  virtual void NewFile() {}               // command 78
  virtual void SetModeValue(std::int16_t value);
  virtual void ChooseColourForSlot(int slot);
  // The border of the drawing area when the print option "Rahmen
  // zeichnen" is on.
  virtual void DrawFrame(plat::DC& dc);
  // Shows a help text (a resource name) in the help window, at the first
  // occurrence of the topic when one is given; an unknown name gives
  // message 11.
  virtual void ShowHelpText(const std::string& name, const std::string& topic);

  // ---- other operations ----
  std::int16_t GetSavedValue(int i) const;
  void SetPlacement(const TPlacement& p);
  void MeasureCharE(plat::DC& dc);
  void ScaleFontsForPrinter(bool begin, int dpi);
  plat::Colour GetDrawColour(int index, bool avoidBackground) const;
  plat::Colour GetColourAvoidingBackground(int index) const;
  std::int16_t CheckColourIndex(int index) const;
  void FormatWindowNumber(long double value, std::string& dest) const;
  void CheckMenu(int id, bool on);
  void ShowColourWindow(int captionId, std::int16_t* index, std::int32_t target, const char* caption);
  bool IsColourWindowVisible() const;
  void HideColourWindow();
  // The clipboard's text into dest: 20 (dest unchanged) when it holds more
  // than size - 1 characters, else 0.
  std::int16_t GetClipboardText(std::string& dest, int size);

  // Moves the window to the placement the file just read brought (a
  // random one when it lies off the screen).  While it moves,
  // MovingToFilePlacement is set: the drawing the file holds was laid out
  // for that size, so a window kind that keeps things in place on a resize
  // lays them out as the file has them instead.
  void MoveToFilePlacement();

  // Opens the start file the main frame named (or the last file).
  void OpenStartFile();
  // The window kind's help texts: the general one (command 354) and one per
  // top-level menu in menu-bar order (commands 330, 331, ...).
  void SetHelpNames(const std::string& general, std::initializer_list<const char*> menus);

  // The upper-cased character of a waiting key press, 65 ("A") for a key
  // that is one of the window's accelerators (its command runs), or 0.
  int PollKey();

  // ---- companion windows ----
  // A colour index the colour window edited: background and redraw, then
  // EvViewNotify(target).
  void ColourIndexChanged(const std::int16_t* index, std::int32_t target);
  // An entry of the colour table changed (the RGB dialog).
  void ColourTableChanged(std::int32_t target);
  // The colour window stops editing an index that is going away.
  void ForgetColourIndex(const std::int16_t* index);
  // The notes: the notes window's text, or (for a window without one) the
  // text the file brought.
  std::string GetNotes();
  // Into the notes window, which then shows the caption for the current file.
  void SetNotes(const std::string& text);
  // The notes as one counted string on a plot file; clears the notes'
  // modified mark.
  void WriteNotes(ByteWriter& w);
  // False (nothing changed) for a damaged block.
  bool ReadNotes(ByteReader& r);
  bool NotesVisible() const;
  // Shows the notes window (when there is one) without further ado.
  void ShowNotes();

  // ---- printing (zor_printout.cpp) ----
  // Draws the printed page: each copy (each file of a simultaneous print)
  // at the print area's margins and width.
  void PrintPage(TZORPrintout& job, plat::DC& dc, int page);
  void SetPrinterMetrics(int dpiX, int dpiY, int offsetX, int offsetY);
  // Command 307: asks for up to 12 plot files and prints them over each
  // other on one page.
  void PrintSimultaneous();

  // ---- header and settings file ----
  TCommonHeader MakeFileHeader(std::int32_t typeCode) const;
  // Applies a header read from a file (placement, print area, fonts,
  // colour slots, the colour table when the signatures match).
  void ApplyFileHeader(const TCommonHeader& h);
  void WriteFileHeader(std::int32_t typeCode);
  // Reads the header from the open file: the file's version, or 0 when it
  // is another window kind's or damaged (the file is then closed).  A
  // version newer than FileVersion is returned without applying anything.
  std::int32_t ReadFileHeader();
  bool CreateFileWithHeader(const std::string& name, std::int32_t typeCode);
  // Opens FileData.FileName and reads its header; 0 when it cannot be
  // read or is refused.  The background picture goes with an accepted file.
  std::int32_t OpenFileReadHeader();
  // Checks the result of OpenFileReadHeader as the readers do: 0 when the
  // file may be read on, 11 when refused, 8 when newer than the window.
  int CheckHeaderVersion(std::int32_t version);
  // The settings file's bytes for the window's state.
  std::vector<std::uint8_t> SettingsFileBytes();
  bool SaveSettings();
  bool LoadSettings();

  // ---- fields ----
  std::int16_t CopyCount = 0;
  std::array<std::int16_t, 10> SavedValues{24, 6, 7, 0, 10, 8, 13, 2, 14, 17};
  std::int16_t FrameWidth = 0;
  std::int16_t LineWidthFactor = 1;
  std::int16_t ModeValue = 0;
  std::int32_t DelayMilliseconds = 0;
  std::uint8_t Printing = 0;
  long double DeviceTextScale = 1.0L;
  std::int32_t DeviceDpiY = 72;
  std::uint8_t TrackColourChanges = 1;
  std::uint8_t LoadSettingsOnSetup = 1;
  std::uint8_t SaveSettingsOnClose = 1;
  std::uint8_t SettingsLoaded = 0;
  std::uint8_t EraseOnOpen = 1;
  std::uint8_t DrawMenuBarOnOpen = 0;
  std::uint8_t SimultaneousPrint = 0;
  std::uint8_t MovingToFilePlacement = 0;
  std::uint8_t ColoursMarkModified = 1;
  std::uint8_t WithBackground = 0;
  std::uint8_t ScaleLineWidths = 0;
  std::uint8_t SavedValuesOff = 0;
  // Companion windows (created with the text and colour windows); null
  // until then.
  TColWin* ColourWindow = nullptr;
  TTextWin* TextWindow = nullptr;
  TTextWin* HelpWindow = nullptr;
  TNoteWin* NotesWindow = nullptr;
  std::uint8_t HasNotes = 0;
  // The notes and their shown flag of a window without a notes window.
  std::string NotesText;
  std::uint8_t NotesShown = 0;
  std::unique_ptr<plat::Printer> Printer;
  // Notices a new default printer of the desktop (checked when the program
  // becomes active again and before each print).
  std::unique_ptr<plat::DefaultPrinterWatch> PrinterWatch;
  std::array<std::string, kPrintFileCount> PrintFiles{};
  plat::Bitmap ClipboardBitmap;
  TSettingsBlocks SettingsBlocks;
  std::int32_t SettingsIntBlockSize = kSettingsIntBlockMax;
  std::int32_t SettingsRealBlockSize = kSettingsRealBlockMax;
  std::int32_t SettingsByteBlockSize = kSettingsByteBlockMax;
  std::int32_t PrinterDpiX = 0;
  std::int32_t PrinterDpiY = 0;
  std::int32_t PrinterOffsetX = 0;
  std::int32_t PrinterOffsetY = 0;

 protected:
  // "&Neu": asks to save, then NewFile(), which the file layers override.
  void CmNew();
  // The file of a window kind that has no plot blocks yet: the header, the
  // protection mask (i16) and, when the mask is not 0, the protection block.
  // Reading checks the whole file before it changes the window: 11 for a
  // missing, foreign or damaged file, 8 for a newer one.
  bool WriteBasicFile();
  int ReadBasicFile();
  // A default placement: x = r mod 80, y = caption-and-menu + r' mod 30,
  // half the screen width square.
  TPlacement RandomPlacement() const;

 private:
  void CmFont(int id);
  void CmColour(int id);
  void CmMenuHelp(int id);
  void CmHelp();
  void CmNotes();
  void CeNotes(plat::CommandEnabler& ce);
  void CmPictureSize();
  void CmBitmapToClipboard();
  void CmWithBackground();
  void CmColoursMarkModified();
  void CmDelay();
  void CmPrint();
  void CmPrintSimultaneous();
  void CePrintSimultaneous(plat::CommandEnabler& ce);
  void CmPrinterSetup();
};

}  // namespace kv
