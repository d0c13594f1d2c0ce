// Points given as lists: the numbers of a text pasted from the clipboard,
// and point sequences, whose points are a curve's points at a list of
// parameter values and which follow their curve when it changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plotcore/model/equation.h"

namespace kv {

// Derivation code of a point sequence tied to its curve.
inline constexpr int kDerivedPointSequence = 99;

// The numbers of a pasted text, in order.  A number is a run of digits,
// "." and "-" holding a digit, with at most one point and a minus only in
// front, and no exponent after it; runs without a digit ("-", ".") and all
// other characters separate numbers.  Result 0; 1 ("unverständlich") with
// badLine (1-based) set to the line of the first run that is no such number
// or is longer than a formula text, and no numbers; 24 ("fehlende Daten")
// when the text holds no number.
int ScanPastedNumbers(std::string_view text, std::vector<std::string>& numbers, int& badLine);

// A new point sequence (kind 215) on curve entry `curve` at index
// curveIndex: the value list, the point size and colour, the curve's kind
// and running letter; then RefreshPointSequence.
void PreparePointSequence(TEquation& e, const TEquation& curve, int curveIndex, std::string_view list, int size,
                          int colour);
// The sequence anew from its list text and its curve: up to 128 values,
// the curve's interval (into sampleLower/sampleUpper, where the drawing
// looks), its interval flag and copies of its trees 0 to 2.
void RefreshPointSequence(TEquation& e, const TEquation& curve);

}  // namespace kv
