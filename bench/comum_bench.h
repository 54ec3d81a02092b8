// What the workspace benchmarks share: the median of repeated runs. (The sealed sample they process comes from
// tests/comum/amostra_selada.h.)
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace telvarim::bench {

template <class F>
double Mediana(int vezes, F&& f) {
  std::vector<double> t;
  for (int i = 0; i < vezes; ++i) {
    auto a = std::chrono::steady_clock::now();
    f();
    t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace telvarim::bench
