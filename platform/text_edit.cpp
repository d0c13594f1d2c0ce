#include "platform/text_edit.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "platform/clipboard.h"
#include "platform/font_mapping.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Line ends of the program's text (CR LF, or a lone CR or LF) as the
// document's paragraph breaks.
QString ToDocumentText(const std::string& text) {
  QString s = Q(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

int CodePoints(const QString& s) {
  int n = 0;
  for (qsizetype i = 0; i < s.size(); ++i)
    if (!s.at(i).isLowSurrogate()) ++n;
  return n;
}

// UTF-16 offset of the character `chars` of s (s.size() past the end).
int Utf16Offset(const QString& s, int chars) {
  qsizetype i = 0;
  for (int k = 0; k < chars && i < s.size(); ++k) {
    ++i;
    if (i < s.size() && s.at(i).isLowSurrogate()) ++i;
  }
  return static_cast<int>(i);
}

// The control: keys that are accelerators of its window run their command
// before the edit sees them.
class EditWidget : public QPlainTextEdit {
 public:
  EditWidget(Window* owner, QWidget* parent) : QPlainTextEdit(parent), owner_(owner) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setTabChangesFocus(false);
  }
  int FirstVisibleBlockNumber() const { return firstVisibleBlock().blockNumber(); }
  void Detach() { owner_ = nullptr; }

 protected:
  bool event(QEvent* e) override {
    // Claim accelerator keys before the edit's own shortcuts do.
    if (e->type() == QEvent::ShortcutOverride && AcceleratorOf(static_cast<QKeyEvent*>(e))) {
      e->accept();
      return true;
    }
    return QPlainTextEdit::event(e);
  }
  void keyPressEvent(QKeyEvent* e) override {
    if (int id = AcceleratorOf(e)) {
      Window* w = owner_;
      w->Command(id);
      return;
    }
    QPlainTextEdit::keyPressEvent(e);
  }

 private:
  int AcceleratorOf(QKeyEvent* e) const {
    if (!owner_ || owner_->IsDestroyed()) return 0;
    unsigned vk = 0, mods = 0, ch = 0;
    TranslateKey(e, vk, mods, ch);
    return vk ? owner_->FindAccelerator(vk, mods) : 0;
  }
  Window* owner_;
};

}  // namespace

struct TextEdit::Impl {
  QPointer<EditWidget> edit;
  int limit = 0;
  bool programChange = false;

  QTextDocument* Doc() const { return edit ? edit->document() : nullptr; }

  // Program position (CR LF counted as two) to a document position.
  int ToDoc(int pos) const {
    QTextDocument* doc = Doc();
    if (!doc || pos <= 0) return 0;
    int rest = pos;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      const QString t = b.text();
      const int n = CodePoints(t);
      if (rest <= n) return b.position() + Utf16Offset(t, rest);
      rest -= n;
      if (!b.next().isValid() || rest == 1) return b.position() + static_cast<int>(t.size());
      rest -= 2;
    }
    return 0;
  }

  // Document position to a program position.
  int FromDoc(int docPos) const {
    QTextDocument* doc = Doc();
    if (!doc) return 0;
    const QTextBlock target = doc->findBlock(docPos);
    int pos = 0;
    for (QTextBlock b = doc->begin(); b.isValid() && b != target; b = b.next()) pos += CodePoints(b.text()) + 2;
    if (target.isValid()) pos += CodePoints(target.text().left(docPos - target.position()));
    return pos;
  }

  int Length() const {
    QTextDocument* doc = Doc();
    if (!doc) return 0;
    int n = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) n += CodePoints(b.text()) + (b.next().isValid() ? 2 : 0);
    return n;
  }

  // Characters typed past the limit are taken back.
  void EnforceLimit(int position, int added) {
    if (programChange || limit <= 0 || !edit) return;
    int excess = Length() - limit;
    if (excess <= 0) return;
    programChange = true;
    QTextCursor c(Doc());
    const int end = position + added;
    const int start = std::max(position, end - excess);
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    // A line break counts two: take back whole characters until it fits.
    while (Length() > limit && c.position() > position) c.deletePreviousChar();
    programChange = false;
  }
};

TextEdit::TextEdit(Window& owner) : impl_(std::make_unique<Impl>()) {
  QWidget* parent = owner.impl() ? owner.impl()->clientArea.data() : nullptr;
  auto* e = new EditWidget(&owner, parent);
  impl_->edit = e;
  Impl* impl = impl_.get();
  QObject::connect(e->document(), &QTextDocument::contentsChange, e,
                   [impl](int position, int, int added) { impl->EnforceLimit(position, added); });
  if (parent) e->setGeometry(0, 0, parent->width(), parent->height());
  e->show();
}

TextEdit::~TextEdit() {
  if (impl_->edit) {
    impl_->edit->Detach();
    impl_->edit->deleteLater();
  }
}

void TextEdit::Move(int x, int y, int width, int height) {
  if (impl_->edit) impl_->edit->setGeometry(x, y, std::max(width, 1), std::max(height, 1));
}

void TextEdit::SetFont(const LogFont& font) {
  if (impl_->edit) impl_->edit->setFont(QFontFromLogFont(font, true));
}

void TextEdit::Focus() {
  if (impl_->edit) impl_->edit->setFocus();
}

void TextEdit::SetText(const std::string& text) {
  if (!impl_->edit) return;
  impl_->programChange = true;
  impl_->edit->setPlainText(ToDocumentText(text));
  impl_->programChange = false;
  SetSelection(0, 0);
}

std::string TextEdit::GetText() const {
  if (!impl_->edit) return {};
  QString s = impl_->edit->toPlainText();
  s.replace(QChar('\n'), QStringLiteral("\r\n"));
  return s.toStdString();
}

int TextEdit::Length() const { return impl_->Length(); }

void TextEdit::SetLimit(int characters) { impl_->limit = std::max(characters, 0); }
int TextEdit::Limit() const { return impl_->limit; }

void TextEdit::ReplaceSelection(const std::string& text) {
  if (!impl_->edit) return;
  QString s = ToDocumentText(text);
  if (impl_->limit > 0) {
    // Room left once the selection is gone; a line break counts two.
    int room = impl_->limit - (Length() - (SelectionEnd() - SelectionStart()));
    qsizetype keep = 0;
    for (int used = 0; keep < s.size(); ++keep) {
      const QChar c = s.at(keep);
      if (c.isLowSurrogate()) continue;
      used += c == QChar('\n') ? 2 : 1;
      if (used > room) break;
    }
    s.truncate(keep);
  }
  impl_->programChange = true;
  QTextCursor c = impl_->edit->textCursor();
  c.insertText(s);
  impl_->edit->setTextCursor(c);
  impl_->programChange = false;
}

void TextEdit::SetSelection(int start, int end) {
  if (!impl_->edit) return;
  QTextCursor c = impl_->edit->textCursor();
  c.setPosition(impl_->ToDoc(start));
  c.setPosition(impl_->ToDoc(end), QTextCursor::KeepAnchor);
  impl_->edit->setTextCursor(c);
}

int TextEdit::SelectionStart() const {
  return impl_->edit ? impl_->FromDoc(impl_->edit->textCursor().selectionStart()) : 0;
}

int TextEdit::SelectionEnd() const {
  return impl_->edit ? impl_->FromDoc(impl_->edit->textCursor().selectionEnd()) : 0;
}

std::string TextEdit::SelectedText() const {
  if (!impl_->edit) return {};
  QString s = impl_->edit->textCursor().selectedText();
  s.replace(QChar(0x2029), QStringLiteral("\r\n"));
  return s.toStdString();
}

bool TextEdit::IsModified() const { return impl_->Doc() && impl_->Doc()->isModified(); }

void TextEdit::SetModified(bool modified) {
  if (impl_->Doc()) impl_->Doc()->setModified(modified);
}

int TextEdit::LineCount() const { return impl_->Doc() ? impl_->Doc()->blockCount() : 0; }

int TextEdit::LineFromChar(int position) const {
  if (!impl_->Doc()) return 0;
  return impl_->Doc()->findBlock(impl_->ToDoc(position)).blockNumber();
}

int TextEdit::FirstVisibleLine() const { return impl_->edit ? impl_->edit->FirstVisibleBlockNumber() : 0; }

void TextEdit::ScrollLines(int lines) {
  if (!impl_->edit) return;
  QScrollBar* bar = impl_->edit->verticalScrollBar();
  bar->setValue(bar->value() + lines);
}

void TextEdit::Copy() {
  if (HasSelection()) clipboard::SetText(SelectedText());
}

void TextEdit::Cut() {
  if (!HasSelection()) return;
  Copy();
  ReplaceSelection("");
}

void TextEdit::Paste() {
  if (auto text = clipboard::GetText()) ReplaceSelection(*text);
}

}  // namespace plat
