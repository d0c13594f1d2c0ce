// Builders of new trees from existing ones.  Every builder allocates its
// result and copies its operands; the operands stay unchanged.
#pragma once

#include "formula/expr_node.h"

namespace kv {

// Builders that adopt their operands (the caller hands them over), for code
// that puts a tree together from new nodes.
namespace adopt {
TExprNode* Num(long double v);
TExprNode* Add(TExprNode* a, TExprNode* b);
TExprNode* Sub(TExprNode* a, TExprNode* b);
TExprNode* Mul(TExprNode* a, TExprNode* b);
TExprNode* Div(TExprNode* a, TExprNode* b);
}  // namespace adopt

// token(a, b) and token(a) over copies.
TExprNode* BuildBinary(int token, const TExprNode* a, const TExprNode* b);
TExprNode* BuildFunction(int token, const TExprNode* argument);

TExprNode* NegateTree(const TExprNode* tree);  // 0 - tree
TExprNode* BuildQuotient(const TExprNode* a, const TExprNode* b);
TExprNode* BuildSumOfProducts(const TExprNode* a, const TExprNode* b, const TExprNode* c,
                              const TExprNode* d);  // a·b + c·d
TExprNode* BuildDifferenceOfProducts(const TExprNode* a, const TExprNode* b, const TExprNode* c,
                                     const TExprNode* d);  // a·b − c·d
// a1·b1 + a2·b2 + a3·b3
TExprNode* BuildDotProduct3(const TExprNode* const a[3], const TExprNode* const b[3]);
// result[i] = a[i+1]·b[i+2] − a[i+2]·b[i+1], indices modulo 3.
void BuildCrossProduct(TExprNode* result[3], const TExprNode* const a[3], const TExprNode* const b[3]);
// √(a² + b² + c²): a square-root node (251) over square nodes (253); c may
// be null for √(a² + b²).
TExprNode* BuildHypot3(const TExprNode* a, const TExprNode* b, const TExprNode* c);
// x = r·cos(t), y = r·sin(t).
void BuildPolarToCartesian(const TExprNode* r, const TExprNode* t, TExprNode*& x, TExprNode*& y);
// x = (ρ·sin φ)·cos θ, y = (ρ·sin φ)·sin θ, z = ρ·cos φ.
void BuildSphericalToCartesian(const TExprNode* rho, const TExprNode* theta, const TExprNode* phi,
                               TExprNode*& x, TExprNode*& y, TExprNode*& z);
// tree(at) + line·derivative(at), with `letter` replaced by the tree `at`:
// the tangent line x(t0) + L·x'(t0) when line is the line's parameter letter.
TExprNode* BuildPointValueSum(const TExprNode* tree, const TExprNode* derivative, const TExprNode* at,
                              int letter, int line);
// a + b·letter (T by default).
TExprNode* BuildLinearInToken(const TExprNode* a, const TExprNode* b, int letter = tok::T);

// Integrands for the volume of the solid swept by the region between the
// graphs f and g (trees in X).  Washer, about the line y = k, integrated in X:
// π (R² − r²) with R and r the larger and smaller distance of f and g from
// the axis, and r = 0 where the region spans the axis.
TExprNode* BuildWasherIntegrand(const TExprNode* f, const TExprNode* g, long double k);
// Shell, about the line x = k, integrated in the shifted variable X over the
// bounds minus k: 2π·X·|f(X+k) − g(X+k)| (negative left of the axis; the
// caller takes the sign).  Mirrored, for the strip of X in [0, m] where the
// region lies on both sides of the axis: 2π·X times the length of the union
// of the two strips at k + X and k − X.
TExprNode* BuildShellIntegrand(const TExprNode* f, const TExprNode* g, long double k, bool mirrored);

}  // namespace kv
