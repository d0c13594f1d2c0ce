// The one-line German description of an inventory entry, as the inventory
// list, the combo lists, captions and the results window show it.
#include <initializer_list>
#include <string>
#include <string_view>

#include "plotcore/model/describe_equation.h"

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

// The word of the tool that built a derived entry.
std::string DerivedPrefix(const TEquation& e) {
  const std::string a = Cat({"#", std::to_string(e.source1 + 1)});
  const std::string b = Cat({"#", std::to_string(e.source2 + 1)});
  switch (e.derivation) {
    case 42:
      return Cat({a, " * ", b, ": "});
    case 43:
      return Cat({a, " + ", b, ": "});
    case 45:
      return Cat({a, " - ", b, ": "});
    case 47:
      return Cat({a, " / ", b, ": "});
    case 94:
      return Cat({a, " ^ ", b, ": "});
    case 177:
      return Cat({a, "(", b, "): "});
    case 65:
      return Cat({"Taylorpolynom von ", a, ": "});
    case 68:
      return Cat({"Ableitung von ", a, ": "});
    case 73:
      return Cat({"Stammfunktion von ", a, ": "});
    default:
      if (e.source1 < 0) return {};
      return Cat({"aus ", a, ": "});
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
  std::string text = Body(e);
  if (e.derivation > 0 && e.kind != kKindIntersection) text = DerivedPrefix(e) + text;
  return Finish(std::move(text), limit);
}

}  // namespace kv
