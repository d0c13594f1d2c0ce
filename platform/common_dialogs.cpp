#include "platform/common_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QSpacerItem>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "core/binary_stream.h"
#include "platform/app.h"
#include "platform/own_folders.h"
#include "platform/dc.h"
#include "platform/dialog.h"
#include "platform/file_dialog_name.h"
#include "platform/font_mapping.h"
#include "platform/testing_impl.h"
#include "platform/ui_log.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.c_str(), static_cast<int>(s.size())); }

QWidget* WidgetOf(Window* w) { return w && w->impl()->frame ? w->impl()->frame.data() : nullptr; }

}  // namespace

std::vector<std::string> FileDialogFilters(const std::string& filter) {
  std::vector<std::string> out;
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t bar = filter.find('|'); bar != std::string::npos; bar = filter.find('|', start)) {
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  if (start < filter.size()) parts.push_back(filter.substr(start));
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    const std::string& text = parts[i];
    std::string patterns = parts[i + 1];
    if (text.empty() && patterns.empty()) continue;
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    // A description that names its patterns already, as "Plot2D Dateien
    // (*.KV2)" does, keeps them alone: the dialog matches names without
    // regard to case.
    const std::string shown = "(" + patterns + ")";
    const bool named = text.size() >= shown.size() &&
                       std::equal(shown.begin(), shown.end(), text.end() - static_cast<long>(shown.size()),
                                  [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                              std::tolower(static_cast<unsigned char>(b)); });
    out.push_back(named ? text : text + " " + shown);
  }
  return out;
}

namespace {

// The folder the file dialog was last used in, kept for the user in a file
// of its own in the settings folder: a dialog given no folder starts
// there, also after a restart.
std::string LastFolderFile() { return SettingsDirectory() + "kurvato.folder"; }

std::string LastFolder() {
  std::vector<std::uint8_t> bytes;
  if (!kv::ReadWholeFile(LastFolderFile(), bytes, 65536)) return {};
  const std::string folder(bytes.begin(), bytes.end());
  return !folder.empty() && folder.front() == '/' && QFileInfo(Q(folder)).isDir() ? folder : std::string();
}

void RememberFolderOf(const QString& file) {
  const std::string folder = QFileInfo(file).absolutePath().toStdString();
  if (folder != LastFolder()) kv::WriteFileAtomically(LastFolderFile(), {folder.begin(), folder.end()});
}

}  // namespace

int MessageBox(Window* owner, const std::string& text, const std::string& caption, unsigned type) {
  testing::RecordedMessage m{caption, text, type};
  if (testing::TestingMode()) {
    testing::internal::RecordMessage(m);
    testing::internal::LogDialog("MESSAGEBOX");
    int answer = 0;
    if (testing::internal::PopMessageBoxAnswer(answer)) return answer;
    if ((type & 0x0F) == MB_OK) return IDOK;
    testing::internal::RecordFailure("unanswered question: " + text);
    return (type & 0x0F) == MB_YESNO ? IDNO : IDCANCEL;
  }
  LogEvent("message " + text);
  if (App::Terminating()) return (type & 0x0F) == MB_OK ? IDOK : (type & 0x0F) == MB_YESNO ? IDNO : IDCANCEL;
  QMessageBox box(WidgetOf(owner));
  NameToolkitDialog(&box, "MESSAGEBOX");
  box.setWindowTitle(Q(caption));
  box.setText(Q(text));
  box.setIcon((type & MB_ICONINFORMATION) ? QMessageBox::Information : QMessageBox::NoIcon);
  struct B {
    QPushButton* button;
    int id;
  };
  std::vector<B> buttons;
  auto add = [&](const char* label, QMessageBox::ButtonRole role, int id) {
    buttons.push_back({box.addButton(QString::fromUtf8(label), role), id});
  };
  switch (type & 0x0F) {
    case MB_OKCANCEL:
      add("OK", QMessageBox::AcceptRole, IDOK);
      add("Abbrechen", QMessageBox::RejectRole, IDCANCEL);
      break;
    case MB_YESNOCANCEL:
      add("&Ja", QMessageBox::YesRole, IDYES);
      add("&Nein", QMessageBox::NoRole, IDNO);
      add("Abbrechen", QMessageBox::RejectRole, IDCANCEL);
      break;
    case MB_YESNO:
      add("&Ja", QMessageBox::YesRole, IDYES);
      add("&Nein", QMessageBox::NoRole, IDNO);
      break;
    default:
      add("OK", QMessageBox::AcceptRole, IDOK);
      break;
  }
  // The window manager's title bar holds the caption beside its icon and
  // buttons (room of about eight lines' height): a box narrower than that
  // would show the caption cut short.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics m(bold);
    const int width = m.horizontalAdvance(Q(caption)) + 8 * m.height();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
  RunModal(box);
  for (const auto& b : buttons)
    if (box.clickedButton() == b.button) return b.id;
  return (type & 0x0F) == MB_OK ? IDOK : IDCANCEL;
}

std::optional<std::string> FileDialog(Window* owner, const FileDialogRequest& request) {
  if (testing::TestingMode()) {
    testing::internal::RecordFileRequest(request);
    testing::internal::LogDialog("FILEDIALOG");
    std::optional<std::string> answer;
    if (!testing::internal::PopFileAnswer(answer)) return std::nullopt;
    return answer;
  }
  if (App::Terminating()) return std::nullopt;
  QFileDialog dlg(WidgetOf(owner), Q(request.title));
  NameToolkitDialog(&dlg, request.save ? "FILESAVE" : "FILEOPEN");
  dlg.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The program asks before overwriting, in its own words, unless the
  // request leaves that to the dialog.
  dlg.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  QStringList filters;
  for (const std::string& f : FileDialogFilters(request.filter)) filters << Q(f);
  dlg.setNameFilters(filters);
  dlg.setFilter(dlg.filter() & ~QDir::CaseSensitive);  // "*.KV2" finds "a.kv2"
  if (!request.defaultExtension.empty()) dlg.setDefaultSuffix(Q(request.defaultExtension));
  if (request.initialName.find('/') == std::string::npos) {
    const std::string last = LastFolder();
    if (!last.empty()) dlg.setDirectory(Q(last));
  }
  if (!request.initialName.empty()) dlg.selectFile(Q(request.initialName));
  KeepTypedFileName(dlg);
  if (RunModal(dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  RememberFolderOf(dlg.selectedFiles().first());
  return dlg.selectedFiles().first().toStdString();
}

bool ChooseFont(Window* owner, FontChoice& choice, bool effects, const std::string& caption) {
  if (testing::TestingMode()) {
    testing::internal::LogDialog("FONTDIALOG");
    std::optional<FontChoice> answer;
    if (!testing::internal::PopFontAnswer(answer) || !answer) return false;
    choice = *answer;
    return true;
  }
  if (App::Terminating()) return false;
  const int dpi = ScreenCaps().logPixelsY;
  QDialog dlg(WidgetOf(owner));
  NameToolkitDialog(&dlg, "FONTDIALOG");
  dlg.setWindowTitle(Q(caption));
  auto* form = new QFormLayout;
  // The family the face is drawn in; a face the user leaves as it is keeps
  // its name (so "Symbol" stays the symbol slot it is).
  const QString shownFamily = FamilyForFace(choice.font.Face());
  auto* family = new QFontComboBox(&dlg);
  family->setCurrentFont(QFont(shownFamily));
  const QString startFamily = family->currentFont().family();
  auto* size = new QSpinBox(&dlg);
  size->setRange(4, 200);
  int points = choice.font.height != 0 ? static_cast<int>(std::lround(std::abs(choice.font.height) * 72.0 / dpi)) : 10;
  size->setValue(points);
  auto* bold = new QCheckBox(QString::fromUtf8("Fett"), &dlg);
  bold->setChecked(choice.font.weight >= FW_BOLD);
  auto* italic = new QCheckBox(QString::fromUtf8("Kursiv"), &dlg);
  italic->setChecked(choice.font.italic != 0);
  form->addRow(QString::fromUtf8("Schriftart"), family);
  form->addRow(QString::fromUtf8("Größe"), size);
  form->addRow(bold);
  form->addRow(italic);
  // Underline, strike-out and colour exist only where the slot offers
  // them: a control built but left out of the layout would lie over the
  // others.
  QCheckBox* underline = nullptr;
  QCheckBox* strike = nullptr;
  QComboBox* colour = nullptr;
  if (effects) {
    underline = new QCheckBox(QString::fromUtf8("Unterstrichen"), &dlg);
    underline->setChecked(choice.font.underline != 0);
    strike = new QCheckBox(QString::fromUtf8("Durchgestrichen"), &dlg);
    strike->setChecked(choice.font.strikeOut != 0);
    colour = new QComboBox(&dlg);
    static const std::pair<const char*, Colour> kColours[] = {
        {"Schwarz", Rgb(0, 0, 0)},       {"Dunkelrot", Rgb(128, 0, 0)}, {"Grün", Rgb(0, 128, 0)},
        {"Oliv", Rgb(128, 128, 0)},      {"Marine", Rgb(0, 0, 128)},    {"Violett", Rgb(128, 0, 128)},
        {"Blaugrün", Rgb(0, 128, 128)},  {"Grau", Rgb(128, 128, 128)},  {"Silber", Rgb(192, 192, 192)},
        {"Rot", Rgb(255, 0, 0)},         {"Hellgrün", Rgb(0, 255, 0)},  {"Gelb", Rgb(255, 255, 0)},
        {"Blau", Rgb(0, 0, 255)},        {"Fuchsie", Rgb(255, 0, 255)}, {"Türkis", Rgb(0, 255, 255)},
        {"Weiß", Rgb(255, 255, 255)}};
    for (const auto& [name, c] : kColours) {
      colour->addItem(QString::fromUtf8(name), QVariant::fromValue(static_cast<uint>(c)));
      if (c == choice.colour) colour->setCurrentIndex(colour->count() - 1);
    }
    form->addRow(underline);
    form->addRow(strike);
    form->addRow(QString::fromUtf8("Farbe"), colour);
  }
  auto* box = new QDialogButtonBox(&dlg);
  box->addButton(QString::fromUtf8("OK"), QDialogButtonBox::AcceptRole);
  box->addButton(QString::fromUtf8("Abbrechen"), QDialogButtonBox::RejectRole);
  QObject::connect(box, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  auto* v = new QVBoxLayout(&dlg);
  v->addLayout(form);
  v->addWidget(box);
  if (RunModal(dlg) != QDialog::Accepted) return false;
  if (family->currentFont().family() != startFamily) choice.font.SetFace(family->currentFont().family().toStdString());
  choice.font.height = -static_cast<int>(std::lround(size->value() * dpi / 72.0));
  choice.font.weight = bold->isChecked() ? FW_BOLD : FW_NORMAL;
  choice.font.italic = italic->isChecked() ? 1 : 0;
  if (effects) {
    choice.font.underline = underline->isChecked() ? 1 : 0;
    choice.font.strikeOut = strike->isChecked() ? 1 : 0;
    choice.colour = static_cast<Colour>(colour->currentData().toUInt());
  }
  choice.pointSizeTenths = size->value() * 10;
  return true;
}

}  // namespace plat
