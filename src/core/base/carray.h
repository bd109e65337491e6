#pragma once

// CARRAY: a growable array of owned elements of one fixed size.
//
//   CARRAY* rows = CARRAY_Create(sizeof(ReportRow));
//   ReportRow r{"/index.html", 3};
//   CARRAY_Add(rows, &r);                        // copies the bytes of r
//   auto* first = static_cast<ReportRow*>(CARRAY_Item(rows, 0));
//   CARRAY_Free(rows);                           // frees elements, rows == nullptr
//
// Misuse (an absent array, an index out of range, a null source) prints a
// message beginning "Error in CARRAY_" to standard output and returns null;
// the program goes on. An element's address stays valid until the element is
// deleted; sorting reorders the element pointers, not the elements.

#include <cstdint>

namespace tw {

struct CARRAY;

// Three-way comparison of two elements, given as pointers to them.
using CARRAY_Compare = int (*)(const void* a, const void* b);

CARRAY* CARRAY_Create(std::uint32_t element_size);
// 0 for an absent array, without a message.
std::int32_t CARRAY_Count(const CARRAY* ar);
// The element at 0-based index i, or null with a message.
void* CARRAY_Item(const CARRAY* ar, std::int32_t i);
// Appends a copy of element-size bytes from src; returns the new element, or null with a message.
void* CARRAY_Add(CARRAY* ar, const void* src);
// Frees every element; the count becomes 0.
void CARRAY_DeleteAll(CARRAY* ar);
// Frees the array and its elements and sets the caller's pointer to null; null is ignored.
void CARRAY_Free(CARRAY*& ar);
// Sorts the elements with cmp. Elements that compare equal keep their order.
void CARRAY_Sort(CARRAY* ar, CARRAY_Compare cmp);

}  // namespace tw
