// The text of the value tables: column heads, the tables of functions and
// curves (evaluated row by row), the grid of a sampled surface, the terms
// of a cobweb iteration and the data sheet of a planetary system, and the
// cutting of a long table into sections that a text control can show.
//
// Cells are right-aligned in columns of a fixed width, or joined by a
// separator; numbers are never cut (see FormatTableCell).  Lines end with
// CR LF.  No windows here: the table window hands in its equation, the
// plot window's formula engine, the layout and the texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "formula/formula_engine.h"
#include "plotcore/model/equation.h"

namespace kv {

// The size a table is held to: a function table is cut to the rows that
// fit, a larger grid is refused.
inline constexpr std::size_t kTableTextLimit = 1000000;
// The longest section a text control is given.
inline constexpr std::size_t kTableSectionLength = 30000;

struct TTableLayout {
  int decimals = 5;
  int width = 10;             // column width, decimals + 5
  bool separated = false;     // cells joined by the separator, not padded
  std::string separator = "\t";
};

// The table's words, from the string table.
struct TTableTexts {
  std::string undefined = "nicht definiert";
  std::string tooMany = "zu viele Einträge";
  std::string body = "Körper";
  std::string centre = "Schwerpunkt";
  std::string mass = "Masse";
  std::string gravitation = "Gravitationskonstante";
  std::string duration = "Dauer";
  std::string points = "Punkte";
  std::string computations = "Berechnungen";
};

// The text padded on the left to the width; a longer text stays whole.
std::string PadCell(std::string_view text, int width);

// The line of column heads of a kind (t x y, n x y z, ...), or "" for a
// kind without heads.
std::string ColumnHeads(int kind, const TTableLayout& layout);

// Kinds 201, 202, 203: the variable (x, else t) from rangeMin to rangeMax in
// `density` steps; rows whose formulas are undefined say so.  Kinds 304 and
// 308: t, x, y, z.  A table whose rows would pass kTableTextLimit lists
// only those from the start that fit: with q the rows of full column width
// that fit after `out`, the rows 0 .. q - 2.  Only the listed rows are
// computed.  The engine's variables and its jump detection are as before
// afterwards.
void AppendFunctionTable(std::string& out, TEquation& e, TFormulaEngine& engine, const TTableLayout& layout,
                         const TTableTexts& texts);

// Kinds 301 and 302: the z values of the sample grid, one row per value of
// the second variable from the top down; too large a grid gives
// `texts.tooMany`.  Nothing is evaluated.
void AppendGridTable(std::string& out, const TEquation& e, const TTableLayout& layout, const TTableTexts& texts);

// The terms x(0) .. x(N) of a cobweb iteration; a run that ended early
// (an undefined term) ends with a row saying so.
void AppendSequenceTable(std::string& out, const std::vector<long double>& terms, int lastTerm,
                         const TTableLayout& layout, const TTableTexts& texts);

// Kind 219: start and current position and velocity and the mass of every
// body and of the centre of mass, then the constants of the run.
void AppendPlanetSheet(std::string& out, const TEquation& e, int decimals, const TTableTexts& texts);

// Where the sections of a text start: at 0, and then each after the last
// line break within `length` bytes of the previous start (at `length` when
// there is none, never inside a UTF-8 character).
std::vector<std::size_t> SectionStarts(std::string_view text, std::size_t length = kTableSectionLength);

}  // namespace kv
