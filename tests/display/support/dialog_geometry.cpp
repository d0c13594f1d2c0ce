#include "dialog_geometry.h"

#include <algorithm>

#include "platform/resources.h"

namespace kvdisplay {

namespace {

std::string RectText(const Rect& r) {
  return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" + std::to_string(r.h);
}

std::string Describe(const LoggedControl& c) {
  std::string s = "control " + std::to_string(c.id) + " (" + c.kind;
  if (!c.text.empty()) s += " \"" + c.text + "\"";
  return s + " at " + RectText(c.rect) + ")";
}

bool Overlap(const Rect& a, const Rect& b) {
  return std::max(a.x, b.x) < std::min(a.x + a.w, b.x + b.w) && std::max(a.y, b.y) < std::min(a.y + a.h, b.y + b.h);
}

// A static to which the template gives a height: room for several lines.
bool ReservesLines(const plat::res::DialogTemplate* t, const LoggedControl& c) {
  if (!t || c.id < 0) return false;
  const plat::res::Control* tc = t->Find(c.id);
  return tc && tc->kind == plat::res::Control::Static && tc->height > 0;
}

bool OneLine(const std::string& kind) {
  return kind == "edit" || kind == "combo" || kind == "spin" || kind == "button" || kind == "check" ||
         kind == "radio" || kind == "static";
}

// A dialog the toolkit builds (no template) gives a text the height of its
// row and centres it there.
bool CentredInRow(const plat::res::DialogTemplate* t, const LoggedControl& c) { return !t && c.kind == "static"; }

// The width its text needs: the size hint, except that the style widens the
// hint of a button with a short text to a minimum width, so that such a
// button's need is unknown (and below that width).
constexpr int kButtonHintMinimum = 80;
int TextWidth(const LoggedControl& c) {
  if (c.kind == "static" || c.kind == "check" || c.kind == "radio") return c.hintW;
  if (c.kind == "button" && c.hintW > kButtonHintMinimum) return c.hintW;
  return 0;
}

}  // namespace

std::vector<std::string> DialogGeometryFaults(const LoggedDialog& dialog, int clientWidth, int clientHeight) {
  std::vector<std::string> faults;
  const std::string name = dialog.templateName + ": ";
  const plat::res::DialogTemplate* t = plat::res::FindDialog(dialog.templateName);
  std::vector<const LoggedControl*> shown;
  for (const LoggedControl& c : dialog.controls)
    if (c.visible) shown.push_back(&c);

  for (std::size_t i = 0; i < shown.size(); ++i) {
    const LoggedControl& c = *shown[i];
    if (c.rect.w <= 0 || c.rect.h <= 0) faults.push_back(name + Describe(c) + " has no room");
    for (std::size_t j = i + 1; j < shown.size(); ++j)
      if (Overlap(c.rect, shown[j]->rect)) faults.push_back(name + Describe(c) + " overlaps " + Describe(*shown[j]));
    if (clientWidth > 0 && clientHeight > 0 &&
        (c.rect.x < 0 || c.rect.y < 0 || c.rect.x + c.rect.w > clientWidth || c.rect.y + c.rect.h > clientHeight))
      faults.push_back(name + Describe(c) + " is clipped by the dialog of " + std::to_string(clientWidth) + "x" +
                       std::to_string(clientHeight));
    if (OneLine(c.kind) && !ReservesLines(t, c) && !CentredInRow(t, c) && c.rect.h > c.hintH + kTallSlack)
      faults.push_back(name + Describe(c) + " is taller than its content needs (" + std::to_string(c.hintH) + ")");
    if (c.rect.w < TextWidth(c))
      faults.push_back(name + Describe(c) + " is narrower than its text needs (" + std::to_string(TextWidth(c)) + ")");
  }
  return faults;
}

}  // namespace kvdisplay
