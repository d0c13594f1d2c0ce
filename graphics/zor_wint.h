// The text-label layer of the plot windows, between the view layer and
// the picture layer: free texts placed on the plot with their own font,
// colour and angle, bound to the frame, the figure or an object of the
// plot, created and edited in the label dialog, dragged with a rubber band,
// hidden, shown and deleted, drawn on the screen, the printer and into the
// vector exports.  Term labels show values of formulas; the plot windows
// compose their text.
//
// A label's anchor is stored relative to its binding (the view centre for
// the frame, an object's point for an object) and made absolute only for
// one operation at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/grid_win.h"
#include "graphics/model/text_label_record.h"
#include "shell/dialog_base.h"

namespace kv {

enum : int {
  kCmDeleteTexts = 113,  // "Text &löschen ..."
  kCmToggleTexts = 360,  // "Text &anzeigen/verbergen"
};

// Rows the binding list of the label and picture dialogs may have (the
// object codes once filled a 16000-byte table).
inline constexpr int kMaxBindingRows = 8000;

// ---- label lists ----
// Numbers 0, 1, 2 ... from `first` in list order.
void RenumberTexts(std::vector<TTextLabel>& list, int first);
// Removes the label with the number and renumbers the list from 0; false
// when none has it.
bool RemoveText(std::vector<TTextLabel>& list, int number);
// Every label gets the negation of the first label's visibility.
void ToggleTextVisibility(std::vector<TTextLabel>& list);
// The frame-bound labels' offsets from the view centre scaled by fx, fy.
void ScaleBoundTexts(std::vector<TTextLabel>& list, long double fx, long double fy);

class TZORWint : public TGridWin {
 public:
  TZORWint(plat::Window* parent, const std::string& title);
  ~TZORWint() override;

  const plat::CommandTable& Commands() const override;
  void Destroy() override;
  // View changes keep the frame-bound labels in their place of the frame.
  void PreviousView() override;
  void ChangeView(long double cx, long double cy, long double hx) override;
  void NewView(long double cx, long double cy, long double hx, long double hy, std::uint8_t mode) override;
  void ResetView() override;

  // ---- virtual operations (the plot windows fill them) ----
  // Fills the list box `id` of the dialog with the objects a label or
  // picture can be bound to, keeps their codes in BindingCodes and selects
  // the row of `binding`; nothing here.
  virtual void FillBindingList(plat::Dialog& d, int id, int binding) {}
  // The frame-bound labels after the half-extents changed from old to new.
  virtual void ScaleTexts(long double newHx, long double newHy, long double oldHx, long double oldHy);
  // The world point of object n that labels and pictures bound to it follow.
  virtual TPoint2D GetBindingPoint(int object) { return {0, 0}; }
  // Frees the labels (the plain list here).
  virtual void FreeTexts();
  // The text a label shows.
  virtual std::string GetTextString(const TTextLabel& label) { return label.text; }
  // Fills the block of a term label from its term index; 1 when it did.
  virtual int LoadTermBlock(TTermBlock& block, int termIndex) { return 0; }
  // Checks the block (checkOnly) or stores it for the term index (given a
  // new index when negative): 0, a negative code that ends the dialog, or a
  // message number.
  virtual int StoreTermBlock(TTermBlock& block, std::int16_t& termIndex, bool checkOnly) { return 0; }
  virtual bool HasTexts() const { return !TextLabels.empty(); }
  // Whether a click creates term labels (the plot windows' term mode).
  virtual bool TermMode() const { return false; }

  // ---- operations for the plot windows and the plot file ----
  // Creates or edits the label at the device point.
  void EditTextAtPoint(plat::Point p);
  // Draws a list; the background of opaque labels has the colour of the
  // colour slot.  While PiCTeX records, the list goes to that file instead.
  void DrawTexts(plat::DC& dc, std::vector<TTextLabel>& list, int backgroundSlot);
  // The index of the first visible label under the device point (-1 when
  // none), with the point's offset from its top-left and its size in pixels.
  int HitTestText(plat::Point p, plat::Point& offset, plat::Size& size, std::vector<TTextLabel>& list);
  // Moves the label under the point with the rubber band; whether one was hit.
  bool DragText(plat::Point p, std::vector<TTextLabel>& list);
  // The outline of a box of `size` turned by `angle` tenths follows the
  // mouse (held at `offset` from its top-left corner) until the left button
  // is released, the capture is lost or the window goes; the new top-left,
  // or `topLeft` when the box was dropped outside the client area.
  plat::Point DragRubberBand(plat::Point topLeft, plat::Point offset, plat::Size size, int angle);
  // The reference point of a binding: the view centre for the frame, the
  // object's point for an object, nothing for the figure.
  TPoint2D ReferencePoint(int binding);
  void TextToAbsolute(TTextLabel& label);
  void TextToRelative(TTextLabel& label);
  // Marks the overlays of the picture for drawing anew and invalidates.
  void RedrawPlacedObjects();

  // ---- fields ----
  // The plain labels, the term labels (term index 1000 + k) and the term
  // blocks they show (at most kMaxTermBlocks).
  std::vector<TTextLabel> TextLabels;
  std::vector<TTextLabel> TermLabels;
  std::vector<TTermBlock> TermBlocks;
  // Whether the window offers objects to bind to, and the object code of
  // each row of the binding list.
  std::uint8_t HasBindingList = 0;
  std::vector<std::int16_t> BindingCodes;

 private:
  void CmDeleteTexts();
  void CmToggleTexts();
  void CeHasTexts(plat::CommandEnabler& ce) { ce.Enable(HasTexts()); }
  void DrawTextsToPictex(plat::DC& dc, std::vector<TTextLabel>& list);
};

}  // namespace kv
