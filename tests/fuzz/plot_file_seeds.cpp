// Writes the plot-file fuzz target's seeds into the folder named on the
// command line (tests/fuzz/corpus/plot_file holds what it wrote; run it
// again when the file layout changes):
//  - window_<kind>: a file of every window kind, saved by the window
//    itself, carrying every optional block (protection, term labels, notes,
//    background picture name) besides text labels, pictures, shadings,
//    freehand marks, user functions and axis titles; the whole file, the
//    target's first byte 0x80;
//  - version<n>: the 2D window's file laid out as version n (1 to 33) wrote
//    it, after the common header, the target's first byte n - 1;
//  - kinds_<window>: one entry of every kind of record the window's files
//    hold (the 2D, 3D and mapping windows take the kinds 2xx, 3xx and 4xx
//    of kEquationKinds), as the window saves it; the whole file, first byte
//    0x80.
// Every seed is read back as the target reads it and must be taken whole.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/window_registry.h"
#include "core/binary_stream.h"
#include "entry/model/plot_file.h"
#include "entry/plot11_win.h"
#include "planewin/map2_win.h"
#include "planewin/plane_windows.h"
#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/dialog.h"
#include "platform/emf_writer.h"
#include "platform/testing.h"
#include "plotcore/model/equation_record.h"
#include "shell/model/notes_block.h"
#include "shell/plot_frame.h"
#include "support/offscreen_program.h"

namespace {

// The fuzz target reads at most this many bytes of an input.
constexpr std::size_t kMaxSeedBytes = 65536;
constexpr std::size_t kHeaderBytes = 1102;
// The slider steps follow the common header, the plot header, the flags and
// the values; files of version 31 and older have none.
constexpr std::size_t kSliderStepsAt = kHeaderBytes + 80 * 2 + 50 + 80 * 10;
constexpr std::size_t kSliderStepsBytes = 2 * 40 * 4;

std::string g_dir;
int g_failures = 0;

void Fail(const std::string& what) {
  std::fprintf(stderr, "plot_file_seeds: %s\n", what.c_str());
  ++g_failures;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!kv::ReadWholeFile(path, bytes)) Fail("cannot read " + path);
  return bytes;
}

void WriteSeed(const std::string& name, std::uint8_t mode, const std::vector<std::uint8_t>& data) {
  if (data.size() + 1 > kMaxSeedBytes) Fail(name + " is longer than the target reads");
  std::vector<std::uint8_t> seed(data.size() + 1);
  seed[0] = mode;
  std::copy(data.begin(), data.end(), seed.begin() + 1);
  if (!kv::WriteFileAtomically(g_dir + name, seed)) Fail("cannot write " + name);
}

std::int32_t TypeOf(const std::vector<std::uint8_t>& file) {
  return file.size() < 4 ? 0
                         : static_cast<std::int32_t>(file[0] | (file[1] << 8) | (file[2] << 16) |
                                                     (static_cast<std::uint32_t>(file[3]) << 24));
}

// Runs each command as a user would choose it, its dialogs ended with OK.
void ByCommands(kv::TFileMsgWin& w, std::initializer_list<int> commands) {
  for (int id : commands) {
    plat::testing::AnswerDialog("", {}, plat::IDOK);
    w.Command(id);
  }
}

void Append(kv::TPlot11Win& w, int kind, long double lo, long double hi, std::string_view t1,
            std::string_view t2 = {}, std::string_view t3 = {}, std::string_view t4 = {},
            std::string_view t5 = {}) {
  const int i = w.AppendEquation(kind, lo, hi, t1, t2, t3, t4, t5);
  if (i < 0) return Fail("no room for an entry");
  w.CompileEquation(i);
  w.AddEquationLabel();
}

// A small metafile: a rectangle and a text.
std::vector<std::uint8_t> SmallMetafile() {
  plat::EmfDC dc(plat::ScreenCaps(), plat::Rect{0, 0, 1000, 600}, plat::EmfDescription("kurvato", "seed"));
  dc.Rectangle(2, 2, 30, 18);
  dc.TextOut(4, 4, "Bild");
  return dc.Close().Bits();
}

// Every block a plot file can carry, added as the window's own records.
void AddEveryBlock(kv::TPlot11Win& w, const std::string& work) {
  kv::TTextLabel label;
  label.text = "Kurvato";
  label.anchorX = -2;
  label.anchorY = 2;
  label.pointSize = 12;
  w.TextLabels.push_back(label);

  kv::TTextLabel term = label;
  term.text = "Term";
  term.termIndex = kv::kTermIndexBase;
  kv::TTermBlock block;
  block.terms = {"x", "x^2", "0", "0"};
  block.show = {1, 1, 0, 0, 0};
  block.shownCount = 2;
  w.TermLabels.push_back(term);
  w.TermBlocks.push_back(block);

  kv::TPictureRecord picture;
  picture.metafile = SmallMetafile();
  picture.xmin = -1;
  picture.xmax = 1;
  picture.ymin = -1;
  picture.ymax = 1;
  w.Pictures.push_back(picture);

  kv::TShadeRecord shade;
  shade.graphA = 0;
  shade.from = -1;
  shade.to = 1;
  shade.intervalFlag = 1;
  shade.colour = 4;
  w.shadings.push_back(shade);

  kv::TMouseMark pen;
  pen.kind = kv::kMarkPen;
  pen.pen = {kv::Rgb(200, 0, 0), 2, 0};
  w.mouseMarks.push_back(pen);
  for (int k = 0; k < 3; ++k) {
    kv::TMouseMark m;
    m.kind = k == 0 ? kv::kMarkBreak : kv::kMarkNext;
    m.point = {-1.0L + k, 0.5L * k};
    w.mouseMarks.push_back(m);
  }

  if (w.DefineUserFunction("quad", 1, "x^2+1", false) != 0) Fail("the user function was not taken");
  w.AxisNames = {"Zeit", "Weg", "Höhe"};
  w.SetNotes("Notizen zum Bild\r\nzweite Zeile");

  const std::string background = work + "background.bmp";
  if (!plat::Bitmap(24, 16, kv::Rgb(255, 240, 200)).WriteBmpFile(background)) Fail("no background picture");
  w.PictureFileData.FileName = background;
  if (w.OpenPicture() != 0) Fail("the background picture did not open");

  w.ProtectionMask = 1024;
  w.Password = "seed";
  w.Author = "Kurvato";
  w.Date = "2025";
  w.EMail = "post@kurvato.example";
  w.Homepage = "kurvato.example";
}

// One entry of every kind whose hundreds are `hundreds`, with what the
// reader looks at for that kind: a planet system's bodies, a point list's
// numbers, the start of a trajectory, a traced result.
void AppendEveryKind(kv::TPlot11Win& w, int hundreds) {
  for (kv::EquationKind kind : kv::kEquationKinds) {
    if (kind / 100 != hundreds) continue;
    const int i = w.AppendEquation(kind, 0, 1, "x", "y", "x*y", "1 2 3", "x*x+y*y=1");
    if (i < 0) return Fail("no room for kind " + std::to_string(kind));
    kv::TEquation& e = w.Equation(i);
    if (kind == kv::kKindPlanets) {
      e.auxValue1 = 2;  // two bodies and their centre of mass
      for (int k = 0; k <= 2; ++k) {
        kv::TEquationItem item;
        kv::InitEquationItem(item, 1219, 3 + k, 1, 0);
        kv::AllocEquationItemStrings(item);
        item.texts[3] = "Körper " + std::to_string(k);
        e.items.push_back(std::move(item));
      }
    }
    if (kind % 100 == 10 || kind % 100 == 11 || kind % 100 == 12)
      w.AddTrajectoryItem(i, {0.5L, 0.25L, 0}, kv::kMethodRungeKutta, 0.01L, 20, 1);
    const long double values[] = {0.5L, -1.25L};
    w.AddResultPoint(i, 10, values, 2, "Seed");
    w.CompileEquation(i);
    w.AddEquationLabel();
  }
}

// Reads the file as the fuzz target does; the blocks must all be there.
bool TakenWhole(const std::vector<std::uint8_t>& file, std::int32_t version, kv::TPlotFileState& state) {
  kv::ByteReader r(file);
  if (kv::ReadPlotFile(r, TypeOf(file), state) != 0 || state.header.Version != version) return false;
  return r.Remaining() == 0;
}

bool CarriesEveryBlock(const kv::TPlotFileState& s) {
  return !s.entries.empty() && !s.labels.empty() && !s.termLabels.empty() && !s.pictures.empty() &&
         !s.captions.empty() && !s.shadings.empty() && !s.notes.empty() && !s.pictureName.empty() &&
         !s.password.Password.empty() && s.functions->UserFunctions().Count() > 0;
}

// Saves the window with every block into the work folder and writes its
// seed; the file's bytes.
std::vector<std::uint8_t> SaveKind(kv::TFileMsgWin* window, const std::string& name, const std::string& work,
                                   const std::function<void(kv::TPlot11Win&)>& fill) {
  auto* w = dynamic_cast<kv::TPlot11Win*>(window);
  if (!w) {
    Fail(name + ": no window");
    return {};
  }
  w->MoveWindow(10, 40, 600, 480);
  fill(*w);
  AddEveryBlock(*w, work);
  w->FileData.FileName = work + name;
  if (!w->WriteFile()) Fail(name + ": not saved");
  for (const std::string& f : plat::testing::Failures()) Fail(name + ": " + f);
  w->Modified = 0;
  w->Destroy();
  plat::App::DeleteDestroyedWindows();
  plat::testing::Reset();

  const std::vector<std::uint8_t> file = ReadBytes(work + name);
  kv::TPlotFileState state;
  if (!TakenWhole(file, kv::kPlotFileVersion, state)) Fail(name + ": not read back whole");
  if (!CarriesEveryBlock(state)) Fail(name + ": a block is missing");
  WriteSeed(name, 0x80, file);
  return file;
}

// The file as version `version` wrote it: without the slider steps up to
// version 31 and without the freehand marks up to version 23.
std::vector<std::uint8_t> AsVersion(const std::vector<std::uint8_t>& file, const kv::TPlotFileState& state,
                                    std::int32_t version) {
  std::vector<std::uint8_t> out = file;
  out[4] = static_cast<std::uint8_t>(version);
  out[5] = out[6] = out[7] = 0;
  if (version <= 23) {
    kv::ByteWriter marks, tail;
    kv::WriteMouseMarks(marks, state.marks);
    if (!state.notes.empty()) kv::WriteNotesBlock(tail, state.notes);
    const std::size_t end = out.size() - tail.Size() - (state.pictureName.empty() ? 0 : kv::kPictureNameSize);
    out.erase(out.begin() + static_cast<std::ptrdiff_t>(end - marks.Size()),
              out.begin() + static_cast<std::ptrdiff_t>(end));
  }
  if (version <= 31)
    out.erase(out.begin() + kSliderStepsAt, out.begin() + kSliderStepsAt + kSliderStepsBytes);
  return out;
}

void WriteVersions(const std::vector<std::uint8_t>& file) {
  kv::TPlotFileState state;
  if (!TakenWhole(file, kv::kPlotFileVersion, state)) return Fail("versions: the file is not read");
  for (std::int32_t version = 1; version <= kv::kPlotFileVersion; ++version) {
    const std::vector<std::uint8_t> old = AsVersion(file, state, version);
    kv::TPlotFileState back;
    if (!TakenWhole(old, version, back) || !CarriesEveryBlock(back))
      Fail("version " + std::to_string(version) + " is not read back whole");
    char name[24];
    std::snprintf(name, sizeof name, "version%02d", version);
    WriteSeed(name, static_cast<std::uint8_t>(version - 1),
              std::vector<std::uint8_t>(old.begin() + kHeaderBytes, old.end()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  g_dir = argv[1];
  if (g_dir.back() != '/') g_dir += '/';
  std::filesystem::create_directories(g_dir);
  const std::string work = std::filesystem::temp_directory_path().string() + "/kurvato-seeds-" +
                           std::to_string(::getpid()) + "/";
  kvtest::OffscreenProgram program(argv, work + "settings");
  kv::TPlotFrame* frame = program.Frame();
  if (!frame) return 1;

  const std::vector<std::uint8_t> plane = SaveKind(frame->New2DWindow(""), "window_2d", work, [](kv::TPlot11Win& w) {
    Append(w, kv::kKindExplicit, -4, 4, {}, "xsin(x)");
    Append(w, kv::kKindParametric, 0, 6.28L, "3cos(t)", "2sin(t)");
    Append(w, kv::kKindImplicit, 0, 1, {}, {}, "xx+yy-4", {}, "xx+yy=4");
    Append(w, kv::kKindPoint, 0, 1, "1", "2");
    Append(w, kv::kKindOde, 0, 1, "y", "-sin(x)");
  });
  SaveKind(frame->New3DWindow(""), "window_3d", work, [](kv::TPlot11Win& w) {
    // A surface, a space curve, a point, a plane and an implicit surface,
    // each by its entry command with the example values of its dialog.
    const auto ok = [](plat::Dialog& d) { d.Press(plat::IDOK); };
    for (const auto& [command, dialog] : {std::pair{1001, "EQUA301"}, std::pair{1004, "EQUA304"},
                                          std::pair{1009, "EQUA309"}, std::pair{1015, "EQUA315"}}) {
      plat::testing::ExpectDialog(dialog, ok);
      w.Command(command);
    }
    plat::testing::ExpectDialog("EQUA305", ok);
    plat::testing::ExpectDialog("AUTOBOXB", ok);
    w.Command(1005);
  });
  SaveKind(frame->NewPlanetWindow(""), "window_planets", work, [](kv::TPlot11Win& w) {
    for (int i = 0; i <= w.equationCount; ++i)
      if (w.Equation(i).kind == kv::kKindPlanets) kv::TPlanetSystem(w.Equation(i)).Positions() = 50;
  });
  SaveKind(frame->NewMappingPair("", 0), "window_mapping_xy", work,
           [](kv::TPlot11Win& w) { ByCommands(w, {kv::kCmNewMapping}); });
  SaveKind(frame->NewMappingPair("", 1), "window_mapping_z", work, [](kv::TPlot11Win& w) {
    ByCommands(w, {kv::kCmNewMapping, kv::kCmNewSum, kv::kCmNewComplexPoint});
  });
  for (int axes = 1; axes <= 3; ++axes)
    SaveKind(frame->NewLogWindow("", axes), "window_log" + std::to_string(axes), work,
             [](kv::TPlot11Win& w) { Append(w, kv::kKindExplicit, 1, 100, {}, "x*x"); });
  WriteVersions(plane);
  SaveKind(frame->New2DWindow(""), "kinds_2d", work, [](kv::TPlot11Win& w) { AppendEveryKind(w, 2); });
  SaveKind(frame->New3DWindow(""), "kinds_3d", work, [](kv::TPlot11Win& w) { AppendEveryKind(w, 3); });
  SaveKind(frame->NewMappingPair("", 1), "kinds_mapping", work, [](kv::TPlot11Win& w) { AppendEveryKind(w, 4); });

  frame->Destroy();
  plat::App::DeleteDestroyedWindows();
  std::error_code ec;
  std::filesystem::remove_all(work, ec);
  return g_failures == 0 ? 0 : 1;
}
