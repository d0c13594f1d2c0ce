// File images of the equation record and of the records attached to it.
// Each image is written field by field at its fixed offset; pointer places
// are written as zeros and skipped on reading.
//
// Readers bound every count against the bytes left and against the
// program's limits before they allocate, and clamp the counts inside a
// record (densities, divisions, field rows ...) to the ranges the drawers
// can work with, so a damaged file cannot make a drawer loop for ever or
// allocate without bound.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "plotcore/model/equation.h"
#include "core/binary_stream.h"

namespace kv {

// ---- the 547-byte equation record ----
// Kind 307 keeps its slider parameters in value blocks 6 and 7 (offsets 341
// and 371); revolution_sliders.h says how.
void WriteEquationRecord(ByteWriter& w, const TEquation& e);
// Reads the fixed part; the heap parts of e are freed (texts, trees and lists
// come in their own blocks).  False on a short read (e then unchanged).
bool ReadEquationRecord(ByteReader& r, TEquation& e);
// Clamps the counts and sizes of a record read from a file to their ranges.
void SanitizeEquation(TEquation& e);

// ---- items: i16 count, then per item its 95-byte part and, for a start
// code above 1000, its four counted strings ----
void WriteEquationItem(ByteWriter& w, const TEquationItem& item);
bool ReadEquationItem(ByteReader& r, TEquationItem& item);
void WriteEquationItems(ByteWriter& w, const std::list<TEquationItem>& items);
// Replaces the list; false (list empty) on a negative or impossible count or
// a short read.
bool ReadEquationItems(ByteReader& r, std::list<TEquationItem>& items);

// ---- results: i16 count, then 78-byte records ----
void WriteResultPoint(ByteWriter& w, const TResultPoint& p);
bool ReadResultPoint(ByteReader& r, TResultPoint& p);
void WriteResultPoints(ByteWriter& w, const std::list<TResultPoint>& list);
bool ReadResultPoints(ByteReader& r, std::list<TResultPoint>& list);

// ---- mouse marks: i32 count, then 26-byte records ----
void WriteMouseMark(ByteWriter& w, const TMouseMark& m);
bool ReadMouseMark(ByteReader& r, TMouseMark& m);
void WriteMouseMarks(ByteWriter& w, const std::vector<TMouseMark>& marks);
bool ReadMouseMarks(ByteReader& r, std::vector<TMouseMark>& marks);

// ---- shading: i16 count, then 37-byte records ----
void WriteShadeRecord(ByteWriter& w, const TShadeRecord& s);
bool ReadShadeRecord(ByteReader& r, TShadeRecord& s);
void WriteShadeRecords(ByteWriter& w, const std::list<TShadeRecord>& list);
// The file's version is accepted for the callers; every version has the same
// record.
bool ReadShadeRecords(ByteReader& r, std::list<TShadeRecord>& list, std::int32_t version);

// Limits of the lists a file may hold.
inline constexpr int kMaxItemsPerEquation = 10000;
inline constexpr int kMaxResultsPerEquation = 10000;
inline constexpr std::int32_t kMaxMouseMarks = 1000000;
inline constexpr int kMaxShadeRecords = 10000;

}  // namespace kv
