// Median wall time of repeated runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace pelnoro::bench {

inline double medianMs(int runs, const std::function<void()>& f) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const auto a = std::chrono::steady_clock::now();
    f();
    const auto b = std::chrono::steady_clock::now();
    t.push_back(std::chrono::duration<double, std::milli>(b - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace pelnoro::bench
