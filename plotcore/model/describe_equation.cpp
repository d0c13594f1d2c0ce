// The one-line German description of an inventory entry, as the inventory
// list, the combo lists, captions and the results window show it.
#include <initializer_list>
#include <string>
#include <string_view>

#include "plotcore/model/describe_equation.h"

#include "core/number_text.h"
#include "core/text_encoding.h"
#include "formula/formula_text.h"

namespace kv {

namespace {

// Joins the pieces of a description (one allocation, and no operator+ chains
// of literals, which some optimisers warn about).
std::string Cat(std::initializer_list<std::string_view> parts) {
  std::size_t n = 0;
  for (std::string_view p : parts) n += p.size();
  std::string out;
  out.reserve(n);
  for (std::string_view p : parts) out.append(p);
  return out;
}

// The text of a slot, or the tree's text for entries a tool built.
std::string SlotText(const TEquation& e, int slot) {
  const auto s = static_cast<std::size_t>(slot);
  if (!e.formulaText[s].empty()) return e.formulaText[s];
  std::string text;
  if (e.trees[s] && TreeToText(e.trees[s].get(), text)) return text;
  return "?";
}

std::string Pair(const TEquation& e, int a, int b) { return Cat({"(", SlotText(e, a), ";", SlotText(e, b), ")"}); }

std::string Triple(const TEquation& e, int a, int b, int c) {
  return Cat({"(", SlotText(e, a), ";", SlotText(e, b), ";", SlotText(e, c), ")"});
}

// The first "=" of an implicit equation becomes the inequality sign.
std::string WithSign(std::string text, int sign) {
  if (sign == 0) return text;
  const std::size_t eq = text.find('=');
  const char c = sign > 0 ? '<' : '>';
  if (eq == std::string::npos) return Cat({text, (sign > 0 ? " < 0" : " > 0")});
  text[eq] = c;
  return text;
}

std::string Body(const TEquation& e) {
  auto t = [&e](int slot) { return SlotText(e, slot); };
  switch (e.kind) {
    case kKindExplicit:
      if (e.interpolated) {
        if (!e.formulaText[1].empty()) return e.formulaText[1];
        return Cat({"Polynom ", std::to_string(e.auxValue3)});
      }
      return Cat({"y = ", t(1)});
    case kKindPolar:
      return Cat({"r = ", t(2)});
    case kKindParametric:
      return Cat({"x = ", t(0), " , y = ", t(1)});
    case kKindImplicit:
      return WithSign(e.formulaText[4].empty() ? Cat({t(2), " = 0"}) : e.formulaText[4], e.subKind);
    case kKindSegment:
      return Cat({"Strecke ", Pair(e, 0, 1), " bis ", Pair(e, 2, 3)});
    case kKindAntiderivative:
      return Cat({"Stammfunktion von ", t(1)});
    case kKindRoulette:
      return "Rollkurve";
    case kKindLine:
      return Cat({t(0), "x + ", t(1), "y = ", t(2)});
    case kKindPoint:
      if (e.arrowMode == 4) return Cat({"z = ", t(0)});
      return Cat({"Punkt ", Pair(e, 0, 1)});
    case kKindOde:
      return Cat({"x' = ", t(0), " , y' = ", t(1)});
    case kKindOdeDyDx:
      return Cat({"y' = ", t(2)});
    case kKindSequence:
      if (e.kindFlag) return Cat({"z(n+1) = ", t(0)});
      return Cat({"x(n+1) = ", t(0), " , y(n+1) = ", t(1)});
    case kKindPointSequence:
      return "Punktfolge";
    case kKindSum:
      return Cat({"Summe ", e.formulaText[0], " = ", std::to_string(e.divisions[0]), "..",
                  std::to_string(e.divisions[1]), ": ", t(1)});
    case kKindPlanets:
      return "Planetensystem";
    case kKindSurface:
      return Cat({"z = ", t(2)});
    case kKindCylinderSurface:
      return Cat({"z(r;t) = ", t(2)});
    case kKindParametricSurface:
      return Cat({"Oberfläche x = ", t(0), " , y = ", t(1), " , z = ", t(2)});
    case kKindSpaceCurve:
      return Cat({"Kurve x = ", t(0), " , y = ", t(1), " , z = ", t(2)});
    case kKindImplicitSurface:
      if (e.formulaText[4].empty()) return Cat({"Implizite Fläche ", t(3), " = 0"});
      return Cat({"Implizite Fläche ", e.formulaText[4]});
    case kKindTube:
      return Cat({"Röhre um ", Triple(e, 0, 1, 2)});
    case kKindRevolution:
      return Cat({"Rotationsfläche ", e.formulaText[4]});
    case kKindSegment3D:
      return Cat({"Strecke von ", Triple(e, 0, 1, 2), " bis ", Triple(e, 3, 5, 6)});
    case kKindPoint3D:
      return Cat({"Punkt ", Triple(e, 0, 1, 2)});
    case kKindOde3D:
      return Cat({"x' = ", t(0), " , y' = ", t(1), " , z' = ", t(2)});
    case kKindSequence3D:
      return Cat({"x(n+1) = ", t(0), " , y(n+1) = ", t(1), " , z(n+1) = ", t(2)});
    case kKindPlane:
      return Cat({"Ebene ", Triple(e, 0, 1, 2), " durch ", e.formulaText[3]});
    case kKindSphericalSurface:
      return Cat({"Oberfläche r = ", e.formulaText[3]});
    case kKindIntersection:
      return Cat({"Schnittkurve für #", std::to_string(e.source1 + 1), " und #", std::to_string(e.source2 + 1)});
    case kKindComplexMap:
      return Cat({"F(z) = ", t(0)});
    case kKindPlaneMap:
      return Cat({"U = ", t(0), " , V = ", t(1)});
    default:
      return Cat({"Art ", std::to_string(e.kind)});
  }
}

std::string Index(int source) { return Cat({"#", std::to_string(source + 1)}); }

// A derived entry's line.  The tools that copy their source and give the
// copy new trees (combinations, Taylor polynomials, derivative graphs,
// antiderivatives, tangents, points of a graph, images under a map, |f|,
// frozen copies) leave the source's formula texts in the entry, and a
// rebuild after the source changed does not touch them: such an entry is
// told by the tool's word, its sources and the values the tool keeps in
// texts of its own, never by a formula.  The other derived entries write
// their own texts (points and vectors of a trajectory, slices, mirror
// lines, segment ends) or have none, so their formula is shown after the
// source.
std::string DescribeDerived(const TEquation& e) {
  const std::string a = Index(e.source1);
  const std::string b = Index(e.source2);
  auto text = [&e](int slot) -> const std::string& { return e.formulaText[static_cast<std::size_t>(slot)]; };
  switch (e.derivation) {
    case 42:
      return Cat({a, " * ", b});
    case 43:
      return Cat({a, " + ", b});
    case 45:
      return Cat({a, " - ", b});
    case 47:
      return Cat({a, " / ", b});
    case 94:
      return Cat({a, " ^ ", b});
    case 177:
      return Cat({a, "(", b, ")"});
    case 142:
      return Cat({a, " X ", b});
    case 150:
      return Cat({a, " paral ", b});
    case 151:
      return Cat({a, " senk ", b});
    case 65:
      return Cat({"Taylorpolynom von ", a, " (Grad ", std::to_string(e.auxValue1), ", Mitte ", text(3), ")"});
    case 68:
      return Cat({"Ableitung von ", a});
    case 73:
      if (e.source2 >= 0) return Cat({"Stammfunktion von ", a, " - ", b});
      return Cat({"Stammfunktion von ", a});
    case 76:
      return Cat({"Tangente an ", a, " bei ", text(3)});
    case 109:
      return Cat({"Punkt von ", a, " bei ", text(6)});
    case 101:
      return Cat({"Spiegelung von ", a, " an der x-Achse"});
    case 102:
      return Cat({"Spiegelung von ", a, " an der y-Achse"});
    case 103:
      return Cat({"Spiegelung von ", a, " an x = y"});
    case 104:
      return Cat({"Spiegelung von ", a, " an ", text(0), "x + ", text(1), "y = ", text(2)});
    case 105:
      return Cat({"Punktspiegelung von ", a, " an ", Pair(e, 1, 2)});
    case 106:
      return Cat({"Drehung von ", a, " um ", Pair(e, 1, 2), ", Winkel ", text(0)});
    case 110:
      return Cat({"Verschiebung von ", a, " um ", Pair(e, 0, 1)});
    case 111:
      return Cat({"Betrag von ", a});
    case 180:
      if (e.auxValue1 < 1 || e.auxValue1 > 26) return Cat({"Kopie von ", a});
      return Cat({"Kopie von ", a, " mit ", std::string(1, static_cast<char>('A' + e.auxValue1 - 1)), " = ",
                  FormatNumberSci(e.values[9].x, 4)});
    default:
      if (e.source1 < 0) return Body(e);
      return Cat({"aus ", a, ": ", Body(e)});
  }
}

std::string Finish(std::string text, int limit) {
  for (char& c : text)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  if (limit <= 0) return {};
  return TruncateChars(text, limit);
}

}  // namespace

std::string DescribeEquationByKind(const TEquation& e, int limit) { return Finish(Body(e), limit); }

std::string DescribeEquation(const TEquation& e, int limit) {
  if (e.derivation > 0 && e.kind != kKindIntersection) return Finish(DescribeDerived(e), limit);
  return Finish(Body(e), limit);
}

std::string DescribeRevolvedCurve(const TEquation& surface, int limit) {
  TEquation curve;
  curve.kind = static_cast<std::uint16_t>(surface.subKind);
  // The curve's texts as the equation dialog shows them; the fifth is the
  // surface's description, not the curve's equation.
  for (std::size_t k = 0; k < 4; ++k) curve.formulaText[k] = surface.formulaText[k];
  return Finish(Body(curve), limit);
}

}  // namespace kv
