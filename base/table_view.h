// A read-only view of a static table: what the catalogues and the window
// definition hand to the loops that walk them.
#pragma once

#include <cstddef>

template <typename T>
struct TableView {
  const T* first;
  std::size_t count;
  const T* begin() const { return first; }
  const T* end() const { return first + count; }
  std::size_t size() const { return count; }
};

template <typename T, std::size_t N>
constexpr TableView<T> ViewOf(const T (&table)[N]) { return {table, N}; }
