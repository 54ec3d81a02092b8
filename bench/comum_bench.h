// What the workspace benchmarks share: the median of repeated runs. (The sealed sample they process comes from
// tests/comum/amostra_selada.h.)
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace telvarim::bench {

// The median time of `f`, each run after an untimed `antes` (what puts the state back).
template <class A, class F>
double MedianaCom(int vezes, A&& antes, F&& f) {
  std::vector<double> t;
  for (int i = 0; i < vezes; ++i) {
    antes();
    auto a = std::chrono::steady_clock::now();
    f();
    t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

template <class F>
double Mediana(int vezes, F&& f) {
  return MedianaCom(
      vezes, [] {}, f);
}

}  // namespace telvarim::bench
