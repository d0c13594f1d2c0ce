// The window's settings in blocks 2 to 5 of a plot file: which field goes
// to which header word, flag byte and value entry, and what the reader puts
// in place of a value the window cannot use.  A value outside its range is
// replaced, never refused, so an older or slightly damaged file still
// opens.
//
// Settings the window has no field for (the 3D view words, the option
// bytes of the plot layer, the slider-dialog flags, the integration ranges
// of the tool dialogs ...) are kept in storedSettings as read and written
// back unchanged, so a file passing through this window loses nothing.
#include <algorithm>
#include <cmath>

#include "entry/plot111_win.h"
#include "entry/plot11_win.h"

namespace kv {

namespace {

// Header words, flag bytes and value entries taken over from storedSettings.
constexpr int kCarriedWords[] = {kWordView3DA, kWordView3DB, kWordView3DC, kWordSetting3D};
constexpr int kCarriedFlags[] = {kFlagAutoTicks, kFlagFilledArea, kFlagPlotOptionFirst, kFlagPlotOptionFirst + 1,
                                 kFlagPlotOptionFirst + 2};
constexpr int kCarriedValues[] = {26, 27, 28, kValueIntegrationA, kValueIntegrationB, kValueIntegrationN,
                                  kValueAnimationFrames, 59, 60, 61};

bool Finite(long double v) { return std::isfinite(v); }

long double FiniteOr(long double v, long double fallback) { return std::isfinite(v) ? v : fallback; }

long double PositiveOr(long double v, long double fallback) { return std::isfinite(v) && v > 0 ? v : fallback; }

std::int16_t InRange(int v, int lo, int hi, int fallback) {
  return static_cast<std::int16_t>(v >= lo && v <= hi ? v : fallback);
}

std::uint8_t Flag(int v) { return v != 0 ? 1 : 0; }

// A count kept as a long double: the nearest whole number, within the
// range of an i32.
long double RoundedCount(long double v) {
  if (!std::isfinite(v)) return 0;
  if (v > 2147483647.0L) return 2147483647.0L;
  if (v < -2147483647.0L) return -2147483647.0L;
  return std::nearbyint(v);
}

std::int32_t RoundedInt(long double v) { return static_cast<std::int32_t>(RoundedCount(v)); }

// An integration range: start, end and step count.  A count below 1
// becomes the default (the dialogs take every count from 1 on), an end not
// beyond the start becomes start + 1.
TSimpsonRange RangeOf(const std::array<long double, kPlotValues>& v, int first, std::int32_t defaultCount) {
  TSimpsonRange r;
  r.lower = FiniteOr(v[static_cast<std::size_t>(first)], 0);
  r.upper = v[static_cast<std::size_t>(first + 1)];
  if (!Finite(r.upper) || r.upper < r.lower + 1e-16L) r.upper = r.lower + 1;
  const long double n = RoundedCount(v[static_cast<std::size_t>(first + 2)]);
  r.parts = n < 1 ? defaultCount : static_cast<std::int32_t>(n);
  return r;
}

void PutRange(std::array<long double, kPlotValues>& v, int first, const TSimpsonRange& r) {
  v[static_cast<std::size_t>(first)] = r.lower;
  v[static_cast<std::size_t>(first + 1)] = r.upper;
  v[static_cast<std::size_t>(first + 2)] = r.parts;
}

void PutPoint(std::array<long double, kPlotValues>& v, int first, const TPoint3D& p) {
  v[static_cast<std::size_t>(first)] = p.x;
  v[static_cast<std::size_t>(first + 1)] = p.y;
  v[static_cast<std::size_t>(first + 2)] = p.z;
}

void TakePoint(const std::array<long double, kPlotValues>& v, int first, TPoint3D& p) {
  p.x = FiniteOr(v[static_cast<std::size_t>(first)], p.x);
  p.y = FiniteOr(v[static_cast<std::size_t>(first + 1)], p.y);
  p.z = FiniteOr(v[static_cast<std::size_t>(first + 2)], p.z);
}

// A span the view mapping can resolve: finite, within reach of the
// drawers' arithmetic, and wider than the rounding of its own position.
constexpr long double kViewLimit = 1e300L;
bool UsableSpan(long double lo, long double hi) {
  if (!Finite(lo) || !Finite(hi) || !(hi > lo)) return false;
  const long double reach = std::max(std::fabs(lo), std::fabs(hi));
  const long double width = hi - lo;
  return reach <= kViewLimit && width >= 1e-300L && width >= reach * 1e-12L;
}

bool ValidSteps(std::int32_t small, std::int32_t medium) { return small >= 2 && medium >= 1 && medium <= small; }

// The reader's replacements in the settings kept without a field.
void ReplaceUnusableCarried(TPlotSettingsBlock& s, std::int32_t version) {
  auto& w = s.words;
  auto& v = s.values;
  if (w[kWordSetting3D] < 0) w[kWordSetting3D] = 0;
  if (version < 16) s.flags[kFlagFilledArea] = 0;
  if (version < 25) {
    w[kWordOpenWindows] = 0;
    w[kWordIntegrationFirst + 2] = 0;
  }
  v[kValueIntegrationN] = RoundedCount(v[kValueIntegrationN]);
  v[kValueAnimationFrames] = RoundedCount(v[kValueAnimationFrames]);
}

}  // namespace

TPlotSettingsBlock TPlot11Win::DefaultStoredSettings() {
  TPlotSettingsBlock s;
  // No slider dialog open, "Nächster &Graph schwarz" off, no integration
  // dialog.
  for (int k = 0; k < kSliderFlagCount; ++k) s.flags[static_cast<std::size_t>(kFlagSliderHiddenFirst + k)] = 1;
  s.flags[kFlagNotNextBlack] = 1;
  s.words[kWordIntegrationFirst] = -1;
  s.words[kWordIntegrationFirst + 1] = -1;
  s.smallSteps.fill(100);
  s.mediumSteps.fill(10);
  // A new window holds what reading its own file would give.
  ReplaceUnusableCarried(s, kPlotFileVersion);
  return s;
}

void TPlot11Win::StoreFileSettings(TPlotSettingsBlock& s) {
  s = TPlotSettingsBlock{};
  for (int k : kCarriedWords) s.words[static_cast<std::size_t>(k)] = storedSettings.words[static_cast<std::size_t>(k)];
  for (int k = kWordIntegrationFirst + 3; k < kPlotHeaderWords; ++k)
    s.words[static_cast<std::size_t>(k)] = storedSettings.words[static_cast<std::size_t>(k)];
  for (int k : kCarriedFlags) s.flags[static_cast<std::size_t>(k)] = storedSettings.flags[static_cast<std::size_t>(k)];
  for (int k = 0; k < kSliderFlagCount; ++k)
    s.flags[static_cast<std::size_t>(kFlagSliderHiddenFirst + k)] = IsSliderDialogOpen(k) ? 0 : 1;
  for (int k : kCarriedValues) s.values[static_cast<std::size_t>(k)] = storedSettings.values[static_cast<std::size_t>(k)];

  // ---- header words ----
  auto& w = s.words;
  w[kWordDecimals] = Decimals;
  w[kWordMouseMode] = MouseMode;
  w[kWordHideEdges] = View3D.HideEdges;
  w[kWordColourMode3D] = colourMode3D;
  w[kWordLabelFrequencyX] = LabelFrequencyX;
  w[kWordLabelFrequencyY] = LabelFrequencyY;
  w[kWordAxisChoice] = AxisChoice;
  w[kWordAxisFlags] = static_cast<std::int16_t>((ArrowsShown ? 1 : 0) | (RasterShown ? 2 : 0) | (OriginMark ? 4 : 0));
  w[kWordAxisWidthPrint] = AxisWidthPrint;
  w[kWordLastIndex] = equationCount;
  w[kWordFlatness] = View3D.FlatnessTolerance;
  w[kWordTickLength] = TickLength;
  w[kWordFieldWidth] = FieldWidth;
  w[kWordGridBits] = GridBits;
  w[kWordOpaqueLabels] = OpaqueLabels;
  w[kWordScaleBits] = ScaleBits;
  w[kWordHiddenLineSteps] = View3D.SegmentPieces;
  w[kWordPhotoCount] = View3D.PhotoCount;
  w[kWordDecimalsX] = DecimalsX;
  w[kWordDecimalsY] = DecimalsY;
  w[kWordColourMode3D2] = colourMode3D2;
  w[kWordOverlayMask] = static_cast<std::int16_t>(GetOverlayMask());
  w[kWordPrintPenWidth] = View3D.BoxPenHidden;
  w[kWordPictexMode] = PictexMode;
  w[kWordPicture] = KeepsPictureName() ? kPictureMark : 0;
  w[kWordCubic] = View3D.Cubic ? kPictureMark : 0;
  w[kWordAxisWidthDisplay] = AxisWidthDisplay;
  w[kWordPiChar] = PiChar;
  w[kWordPolarSectors] = PolarSectors;
  w[kWordNameLength] = kStoredNameLength;
  w[kWordProtection] = ProtectionMask;
  w[kWordFillInsteadOfHatch] = fillInsteadOfHatch;
  w[kWordDrawingMode] = drawingMode;
  w[kWordTerms] = TermLabels.empty() ? -1 : kTermMark;
  w[kWordDensity] = defaultDensity;
  w[kWordPlaneWindow] = viewChanged;
  w[kWordSuffixChar] = SuffixChar;
  w[kWordCriticalAngle] = criticalAngle;
  w[kWordRegionMode] = regionMode;
  w[kWordAxisKind] = AxisKind;
  w[kWordMarkPenWidth] = mouseMarkPenWidth;
  w[kWordOpenWindows] = static_cast<std::int16_t>(GetOpenWindowsMask() & ~kOpenSlopeDialog);
  std::int16_t integration[3];
  GetIntegrationDialogState(integration);
  for (int k = 0; k < 3; ++k) w[static_cast<std::size_t>(kWordIntegrationFirst + k)] = integration[k];

  // ---- flag bytes ----
  auto& f = s.flags;
  f[kFlagViewMode] = ViewMode;
  f[kFlagInventoryShown] = inventoryHidden ? 0 : 1;
  f[kFlagBoxVisible] = View3D.BoxVisible;
  f[kFlagTicksShown] = TicksShown;
  f[kFlagAxesShown] = AxesShown;
  f[kFlagAxisLength] = View3D.AxisLengthSet;
  f[kFlagPiX] = PiX;
  f[kFlagPiY] = PiY;
  f[kFlagLabelsShown] = LabelsShown;
  f[kFlagTicksShownY] = TicksShownY;
  f[kFlagRealMode] = ComplexMode() ? 0 : 1;
  f[kFlagBoxCoordinates] = View3D.BoxCoordinates;
  f[kFlagNoNotes] = GetNotes().empty() ? 1 : 0;
  f[kFlagDashedEdges] = View3D.DashedEdges;
  f[kFlagFilledArrowHeads] = FilledArrowHeads;
  f[kFlagNotesHidden] = NotesVisible() ? 0 : 1;
  f[kFlagNotParametersAsValues] = parametersAsValues ? 0 : 1;
  f[kFlagShadeIntersection] = shadeIntersection;
  f[kFlagNotNextBlack] = SavedValuesOff ? 0 : 1;

  // ---- values ----
  auto& v = s.values;
  v[kValueCentreX] = Centre.x;
  v[kValueCentreY] = Centre.y;
  v[kValueHalfX] = HalfX;
  const TSegment2D& rect = AxisKind < 1 ? World : Alternate;
  v[kValueRectFirst] = rect.xmin;
  v[kValueRectFirst + 1] = rect.xmax;
  v[kValueRectFirst + 2] = rect.ymin;
  v[kValueRectFirst + 3] = rect.ymax;
  v[kValueAnimation] = animationStepFactor;
  v[kValueTickIntervalX] = TickIntervalX;
  v[kValueTickIntervalY] = TickIntervalY;
  PutPoint(v, kValueObserver, View3D.Observer);
  PutPoint(v, kValueBoxCentre, View3D.BoxCentre);
  PutPoint(v, kValueSight, View3D.V);
  v[kValuePanShare] = PanShare;
  v[kValueArrowRatio] = ArrowWidthRatio;
  v[kValueTickOriginX] = TickOriginX;
  v[kValueTickOriginY] = TickOriginY;
  v[kValueArrowBeta] = ArrowShapeBeta;
  v[kValueZoomFactor] = ZoomFactor;
  v[kValueCentreZoom] = centreZoomFactor;
  v[kValueDartCount] = dartCount;
  v[kValueTrajectoryDensity] = trajectoryDensity;
  v[kValueAspect] = Aspect;
  PutPoint(v, kValueBoxMin, View3D.BoxMin);
  PutPoint(v, kValueBoxMax, View3D.BoxMax);
  PutRange(v, kValueLineIntegral, lineRange);
  PutRange(v, kValueFluxFirst, fluxRangeT);
  PutRange(v, kValueFluxSecond, fluxRangeU);

  // ---- slider steps ----
  if (const auto* sliders = dynamic_cast<const TPlot111Win*>(this)) {
    s.smallSteps = sliders->smallSteps;
    s.mediumSteps = sliders->mediumSteps;
  } else {
    s.smallSteps = storedSettings.smallSteps;
    s.mediumSteps = storedSettings.mediumSteps;
  }
  s.hasSliderSteps = true;
}

void TPlot11Win::ApplyFileSettings(const TPlotSettingsBlock& file, std::int32_t version) {
  // What the window has no field for is kept as read, with the reader's
  // replacements.
  TPlotSettingsBlock kept = file;
  ReplaceUnusableCarried(kept, version);
  if (version <= 18)
    for (int k = kValue3DFirst; k < kValue3DFirst + 3; ++k) kept.values[static_cast<std::size_t>(k)] = storedSettings.values[static_cast<std::size_t>(k)];
  // A file without the tables leaves the window's own.
  auto* sliders = dynamic_cast<TPlot111Win*>(this);
  if (!file.hasSliderSteps) {
    kept.smallSteps = sliders ? sliders->smallSteps : storedSettings.smallSteps;
    kept.mediumSteps = sliders ? sliders->mediumSteps : storedSettings.mediumSteps;
  }
  for (int k = 0; k < kSliderTableEntries; ++k) {
    auto& small = kept.smallSteps[static_cast<std::size_t>(k)];
    auto& medium = kept.mediumSteps[static_cast<std::size_t>(k)];
    if (!ValidSteps(small, medium)) {
      small = 100;
      medium = 10;
    }
  }

  // ---- header words ----
  const auto& w = file.words;
  Decimals = InRange(w[kWordDecimals], 0, 19, 5);
  MouseMode = InRange(w[kWordMouseMode], kCmMouseFirst - 1, kCmMouseLast, kCmMouseCoordinates);
  View3D.HideEdges = Flag(w[kWordHideEdges]);
  colourMode3D = version < 13 ? 1 : static_cast<std::uint8_t>(w[kWordColourMode3D]);
  if (version > 12) colourMode3D2 = static_cast<std::uint8_t>(w[kWordColourMode3D2]);
  // A label frequency of 0 would divide by zero in the axis pass.
  LabelFrequencyX = w[kWordLabelFrequencyX] >= 1 ? w[kWordLabelFrequencyX] : std::int16_t{1};
  LabelFrequencyY = w[kWordLabelFrequencyY] >= 1 ? w[kWordLabelFrequencyY] : std::int16_t{1};
  AxisChoice = InRange(w[kWordAxisChoice], 0, 4, 3);
  ArrowsShown = Flag(w[kWordAxisFlags] & 1);
  RasterShown = Flag(w[kWordAxisFlags] & 2);
  OriginMark = Flag(w[kWordAxisFlags] & 4);
  AxisWidthPrint = w[kWordAxisWidthPrint] >= 1 ? w[kWordAxisWidthPrint] : std::int16_t{1};
  View3D.FlatnessTolerance = w[kWordFlatness] >= 1 ? w[kWordFlatness] : std::int16_t{1};
  View3D.FlatnessThreshold = 0.001L * View3D.FlatnessTolerance;
  TickLength = w[kWordTickLength] >= 1 ? w[kWordTickLength] : std::int16_t{10};
  ShortTickLength = static_cast<std::int16_t>(TickLength * 7 / 10);
  FieldWidth = InRange(w[kWordFieldWidth], Decimals + 2, 100, Decimals + 2);
  GridBits = w[kWordGridBits];
  OpaqueLabels = Flag(w[kWordOpaqueLabels]);
  ScaleBits = InRange(w[kWordScaleBits], 0, 7, 0);
  // Any count the hidden-lines command takes comes back as it was stored.
  View3D.SegmentPieces = InRange(w[kWordHiddenLineSteps], 1, 32767, 12);
  View3D.SegmentPieceLength = 1.0L / View3D.SegmentPieces;
  // Each photo is a picture of the window: a count beyond reason is none.
  View3D.PhotoCount = InRange(w[kWordPhotoCount], 0, 1000, 0);
  DecimalsX = InRange(w[kWordDecimalsX], 0, 19, 1);
  DecimalsY = InRange(w[kWordDecimalsY], 0, 19, 1);
  SetOverlayMask(static_cast<std::uint16_t>(w[kWordOverlayMask]));
  View3D.BoxPenHidden = w[kWordPrintPenWidth] >= 1 ? w[kWordPrintPenWidth] : std::int16_t{1};
  PictexMode = w[kWordPictexMode];
  View3D.Cubic = w[kWordCubic] == kPictureMark ? 1 : 0;
  // The screen's axes may be 0 wide (drawn one pixel wide), as the command accepts.
  AxisWidthDisplay = w[kWordAxisWidthDisplay] >= 0 ? w[kWordAxisWidthDisplay] : std::int16_t{1};
  PiChar = w[kWordPiChar] >= 32 ? w[kWordPiChar] : std::int16_t{112};
  PolarSectors = w[kWordPolarSectors] >= 2 ? w[kWordPolarSectors] : std::int16_t{8};
  fillInsteadOfHatch = Flag(w[kWordFillInsteadOfHatch]);
  drawingMode = InRange(w[kWordDrawingMode], kCmDrawOpaque, kCmDrawXor, kCmDrawOpaque);
  // The value table's step count, which the table dialog takes up to the
  // field's bound.
  defaultDensity = InRange(w[kWordDensity], 1, 32767, 50);
  viewChanged = w[kWordPlaneWindow];
  if (version > 17) SuffixChar = InRange(w[kWordSuffixChar], 32, 255, 176);
  criticalAngle = Flag(w[kWordCriticalAngle]);
  regionMode = version < 22 ? std::int16_t{0} : w[kWordRegionMode];
  // Logarithmic axes belong to the windows that have them.
  if (version > 32) AxisKind = LogWindowType > 0 ? InRange(w[kWordAxisKind], 0, 3, 0) : std::int16_t{0};
  mouseMarkPenWidth = InRange(w[kWordMarkPenWidth], 1, 6, 1);

  // ---- flag bytes ----
  const auto& f = file.flags;
  ViewMode = Flag(f[kFlagViewMode]);
  View3D.BoxVisible = Flag(f[kFlagBoxVisible]);
  TicksShown = Flag(f[kFlagTicksShown]);
  AxesShown = Flag(f[kFlagAxesShown]);
  View3D.AxisLengthSet = Flag(f[kFlagAxisLength]);
  PiX = Flag(f[kFlagPiX]);
  PiY = Flag(f[kFlagPiY]);
  LabelsShown = Flag(f[kFlagLabelsShown]);
  TicksShownY = Flag(f[kFlagTicksShownY]);
  SetComplexMode(f[kFlagRealMode] == 0);
  View3D.BoxCoordinates = Flag(f[kFlagBoxCoordinates]);
  View3D.DashedEdges = Flag(f[kFlagDashedEdges]);
  FilledArrowHeads = Flag(f[kFlagFilledArrowHeads]);
  parametersAsValues = f[kFlagNotParametersAsValues] == 0 ? 1 : 0;
  shadeIntersection = Flag(f[kFlagShadeIntersection]);
  SavedValuesOff = f[kFlagNotNextBlack] == 0 ? 1 : 0;

  // ---- values ----
  const auto& v = file.values;
  // The view: the centre and half width decide it in view mode 0, the
  // rectangle in mode 1.  Values no view can have give the default view.
  const long double aspect = v[kValueAspect];
  Aspect = aspect >= 1e-16L && aspect <= 1e16L ? aspect : 1.0L;
  const long double cx = v[kValueCentreX];
  const long double cy = v[kValueCentreY];
  const long double hx = v[kValueHalfX];
  if (UsableSpan(cx - hx, cx + hx) && UsableSpan(cy - hx * Aspect, cy + hx * Aspect)) {
    Centre = {cx, cy};
    HalfX = hx;
  } else {
    Centre = {0, 0};
    HalfX = 5;
  }
  TSegment2D rect{v[kValueRectFirst], v[kValueRectFirst + 1], v[kValueRectFirst + 2], v[kValueRectFirst + 3]};
  if (!UsableSpan(rect.xmin, rect.xmax) || !UsableSpan(rect.ymin, rect.ymax))
    rect = {Centre.x - HalfX, Centre.x + HalfX, Centre.y - HalfX * Aspect, Centre.y + HalfX * Aspect};
  World = rect;
  HalfY = (rect.ymax - rect.ymin) / 2;
  const long double animation = v[kValueAnimation];
  animationStepFactor = animation >= 0.1L && animation <= 10 ? animation : 1.0L;
  TickIntervalX = PositiveOr(v[kValueTickIntervalX], 1);
  TickIntervalY = PositiveOr(v[kValueTickIntervalY], 1);
  TakePoint(v, kValueObserver, View3D.Observer);
  TakePoint(v, kValueBoxCentre, View3D.BoxCentre);
  TakePoint(v, kValueSight, View3D.V);
  PanShare = PositiveOr(v[kValuePanShare], 0.01L);
  ArrowWidthRatio = PositiveOr(v[kValueArrowRatio], 0.9L);
  TickOriginX = FiniteOr(v[kValueTickOriginX], 0);
  TickOriginY = FiniteOr(v[kValueTickOriginY], 0);
  ArrowShapeBeta = PositiveOr(v[kValueArrowBeta], 0.5L);
  ZoomFactor = v[kValueZoomFactor] >= 1e-16L && Finite(v[kValueZoomFactor]) ? v[kValueZoomFactor] : 1.01L;
  centreZoomFactor = PositiveOr(v[kValueCentreZoom], 0.5L);
  const std::int32_t darts = RoundedInt(v[kValueDartCount]);
  // Any count the dialog takes ("A" stops the darts).
  dartCount = darts >= 1 ? darts : 1000;
  const std::int32_t density = RoundedInt(v[kValueTrajectoryDensity]);
  trajectoryDensity = density >= 1 && density <= 1000000 ? density : 400;
  TakePoint(v, kValueBoxMin, View3D.BoxMin);
  TakePoint(v, kValueBoxMax, View3D.BoxMax);
  // Plot files keep whether the axis ends were set but not the ends
  // themselves: a window that reads the mark draws its axes from the box it
  // read, not from the ends of whatever it showed before.
  if (View3D.AxisLengthSet) DefaultAxisEnds(View3D.BoxMin, View3D.BoxMax, View3D.AxisStart, View3D.AxisEnd);
  lineRange = RangeOf(v, kValueLineIntegral, 1000);
  fluxRangeT = RangeOf(v, kValueFluxFirst, 100);
  fluxRangeU = RangeOf(v, kValueFluxSecond, 100);

  // ---- slider steps ----
  if (sliders) {
    sliders->smallSteps = kept.smallSteps;
    sliders->mediumSteps = kept.mediumSteps;
    // The file's entries are the sliders' own: an open dialog takes the
    // entry of its parameter, not entry 0.
    sliders->ReinitSliderDialogs();
  }
  storedSettings = kept;
}

}  // namespace kv
