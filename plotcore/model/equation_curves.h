// The curves of inventory entries: explicit, polar and parametric entries
// (kinds 201, 202, 203) sampled with gaps, implicit entries (204) traced.
// The entry's trees are evaluated with the window's formula engine; the
// window hands in its view, scale and point mapping and draws the runs the
// sink receives.
#pragma once

#include "core/vector2d.h"
#include "formula/formula_engine.h"
#include "plotcore/model/curve_sampler.h"
#include "plotcore/model/entry_evaluation.h"
#include "plotcore/model/equation.h"
#include "plotcore/model/implicit_tracer.h"

namespace kv {

// Samples the entry over the visible x range (explicit; of its interval
// when one is set) or its parameter interval; areaWidth is the drawing
// area's width in pixels, which the density multiplies.  The jump test
// follows the entry's density flag.  Nothing for other kinds.
TSampleStats SampleEquation(TEquation& e, TFormulaEngine& engine, const TSamplerSettings& settings, int areaWidth,
                            const TPointMap& map, TPolylineSink& sink);

// Traces an implicit entry (F in slot 2, gradient in 4 and 5, restriction
// in 3 when restricted) in the view; with `from`, only the piece through
// that point; with `continued`, the next pass of a continued search.
// `space`: the window is a space window (point variables).
TTraceStats TraceEquation(TEquation& e, TFormulaEngine& engine, const TTracerSettings& settings, bool space,
                          const TPoint2D* from, TPolylineSink& sink, TContinuedSearch* continued = nullptr);

}  // namespace kv
