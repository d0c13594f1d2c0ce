// Every dialog template, built and shown as the program builds it (the same
// layout code runs under the offscreen platform as on a display): the rules
// of display/support/dialog_geometry.h hold for its controls, once as the
// template leaves them and once with its hidden controls shown as well (the
// program shows them in some of its modes).  Besides, every control is at
// least as wide as the template says, and lists, multi-line edits, scroll
// bars and statics with a height of their own keep the template's height.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLayout>

#include <algorithm>
#include <string>

#include "display/support/dialog_geometry.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/ui_log.h"
#include "platform/window_impl.h"

namespace {

using plat::res::Control;

// The built dialog as the event log would describe it.
kvdisplay::LoggedDialog Logged(const plat::Dialog& dlg, QWidget* native) {
  kvdisplay::LoggedDialog out;
  out.templateName = dlg.TemplateName();
  const auto& controls = dlg.impl()->dialog.controls;
  for (QObject* o : native->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w || w->isWindow()) continue;
    kvdisplay::LoggedControl c;
    for (const auto& [id, cw] : controls)
      if (cw.data() == w) c.id = id;
    c.kind = plat::UiControlKind(w);
    const QRect g = w->geometry();
    c.rect = {g.x(), g.y(), g.width(), g.height()};
    c.hintW = w->sizeHint().width();
    c.hintH = w->sizeHint().height();
    c.visible = w->isVisible();
    c.text = plat::UiControlText(w);
    out.controls.push_back(c);
  }
  return out;
}

bool KeepsTemplateHeight(const Control& c) {
  if (c.height <= 0) return false;
  return c.kind == Control::ListBox || c.kind == Control::RichEdit || c.kind == Control::ScrollBar ||
         c.kind == Control::Static || (c.kind == Control::Edit && c.multiline);
}

// Template sizes in pixels, as the dialog's font makes dialog units.
void ExpectTemplateSizes(const plat::Dialog& dlg, QWidget* native) {
  const QFontMetrics fm(native->font());
  const int duX = std::max(fm.averageCharWidth(), 1), duY = std::max(fm.height(), 1);
  for (const auto& row : dlg.Template()->rows) {
    for (const Control& c : row.controls) {
      if (c.id < 0 || !dlg.IsItemVisible(c.id)) continue;
      const plat::Rect r = dlg.ItemRect(c.id);
      SCOPED_TRACE("control " + std::to_string(c.id));
      EXPECT_GE(r.right - r.left, c.width * duX / 4) << "narrower than the template";
      if (KeepsTemplateHeight(c)) {
        EXPECT_NEAR(r.bottom - r.top, c.height * duY / 8, 1) << "not the template's height";
      }
    }
  }
}

void ExpectSoundLayout(const plat::Dialog& dlg, QWidget* native) {
  std::string faults;
  for (const std::string& f : kvdisplay::DialogGeometryFaults(Logged(dlg, native), native->width(), native->height()))
    faults += f + "\n";
  if (!faults.empty()) ADD_FAILURE() << faults;
  ExpectTemplateSizes(dlg, native);
}

TEST(DialogLayout, EveryTemplateShowsItsControlsSideBySideAtTheirNaturalHeight) {
  const auto names = plat::res::AllDialogNames();
  ASSERT_GT(names.size(), 100u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    plat::Dialog dlg(nullptr, name);
    ASSERT_TRUE(dlg.Create());
    dlg.Show(plat::SW_SHOW);
    QApplication::processEvents();
    QWidget* native = dlg.impl()->frame.data();
    ASSERT_NE(native, nullptr);
    ExpectSoundLayout(dlg, native);

    bool hidden = false;
    for (const auto& row : dlg.Template()->rows)
      for (const Control& c : row.controls)
        if (c.hidden && c.id >= 0) {
          dlg.ShowItem(c.id, true);
          hidden = true;
        }
    if (hidden) {
      SCOPED_TRACE("with the hidden controls shown");
      native->layout()->activate();
      QApplication::processEvents();
      ExpectSoundLayout(dlg, native);
    }
    dlg.Destroy();
  }
}

}  // namespace
