// LZW on a 20 MB recharge-like text, file to file: ours against Debian's ncompress (compress -b16 and
// uncompress, the classic 16-bit LZW) on the same input in the same run. MB/s count the uncompressed bytes
// in both directions. After the runs: both round trips checked byte for byte, the compressed sizes, the
// speed ratios, and the peak memory of this process (the text is generated straight to disk and the codecs
// work file to file, so the peak is what the codec needs, not the size of the file).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#include <sys/wait.h>
#endif

#include "amostra.h"
#include "lzw.h"
#include "records.h"

namespace fs = std::filesystem;
using namespace telvarim;

namespace {

constexpr std::size_t kTamanhoAlvo = 20'000'000;

struct Arquivos {
  fs::path pasta, texto, nossoZ, nossoVolta, ncZ, ncVolta;
  std::size_t tamanho = 0;
  long registros = 0;
};
Arquivos g;

std::string Aspas(const fs::path& p) { return "'" + p.string() + "'"; }

// A received file as the central system lays it out (the sample text), enough holders to pass 20 MB. The
// text is freed and the process's peak-memory mark reset afterwards (Linux), so the peak reported is the
// codecs', not the generator's.
void GeraTexto(const fs::path& destino) {
  {
    std::string t =
        TextoAmostra({.titulares = static_cast<int>(kTamanhoAlvo / (kTamDetalhe + 2)) + 1, .semente = 20261210});
    std::ofstream(destino, std::ios::binary) << t;
    g.tamanho = t.size();
    g.registros = static_cast<long>(std::count(t.begin(), t.end(), '\n'));
  }
#if defined(__linux__)
  std::ofstream("/proc/self/clear_refs") << "5";
#endif
}

bool MesmoConteudo(const fs::path& a, const fs::path& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  std::vector<char> ba(1 << 20), bb(1 << 20);
  while (fa && fb) {
    fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
    fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
    if (fa.gcount() != fb.gcount() || !std::equal(ba.begin(), ba.begin() + fa.gcount(), bb.begin())) return false;
  }
  return !fa && !fb;
}

bool Executa(const std::string& comando) {
  const int st = std::system(comando.c_str());
#if defined(__unix__) || defined(__APPLE__)
  return st != -1 && WIFEXITED(st) && WEXITSTATUS(st) == 0;
#else
  return st == 0;
#endif
}

void Bytes(benchmark::State& s) {
  s.SetBytesProcessed(static_cast<std::int64_t>(s.iterations()) * static_cast<std::int64_t>(g.tamanho));
}

void BM_Compress_Telvarim(benchmark::State& s) {
  for (auto _ : s)
    if (lzw_compress_file(g.texto, g.nossoZ) != kLzwOk) s.SkipWithError("lzw_compress_file failed");
  Bytes(s);
}
void BM_Compress_Ncompress(benchmark::State& s) {
  const std::string cmd = "compress -b16 -c " + Aspas(g.texto) + " > " + Aspas(g.ncZ);
  for (auto _ : s)
    if (!Executa(cmd)) s.SkipWithError("compress -b16 failed");
  Bytes(s);
}
void BM_Expand_Telvarim(benchmark::State& s) {
  for (auto _ : s)
    if (lzw_expand_file(g.nossoZ, g.nossoVolta) != kLzwOk) s.SkipWithError("lzw_expand_file failed");
  Bytes(s);
}
void BM_Expand_Ncompress(benchmark::State& s) {
  const std::string cmd = "uncompress -c " + Aspas(g.ncZ) + " > " + Aspas(g.ncVolta);
  for (auto _ : s)
    if (!Executa(cmd)) s.SkipWithError("uncompress failed");
  Bytes(s);
}

// The codecs run in child processes for ncompress, so only wall-clock time is comparable.
BENCHMARK(BM_Compress_Telvarim)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_Compress_Ncompress)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_Expand_Telvarim)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3);
BENCHMARK(BM_Expand_Ncompress)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3);

// Keeps the best (fastest) repetition of every benchmark for the summary.
class Relator : public benchmark::ConsoleReporter {
 public:
  Relator() : ConsoleReporter(OO_None) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
      const double seg = r.real_accumulated_time / static_cast<double>(r.iterations);
      auto& melhor = segundos[r.run_name.function_name];
      if (melhor == 0 || seg < melhor) melhor = seg;
    }
  }
  std::map<std::string, double> segundos;
};

double MBs(const Relator& rel, const std::string& nome) {
  auto it = rel.segundos.find(nome);
  return it == rel.segundos.end() || it->second <= 0 ? 0 : static_cast<double>(g.tamanho) / it->second / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  g.pasta = fs::temp_directory_path() / ("telvarim-bench-lzw-" + std::to_string(std::random_device{}()));
  fs::create_directories(g.pasta);
  g.texto = g.pasta / "TMP1.REC";
  g.nossoZ = g.pasta / "TMP2.REC";
  g.nossoVolta = g.pasta / "VOLTA.REC";
  g.ncZ = g.pasta / "TMP1.REC.Z";
  g.ncVolta = g.pasta / "VOLTA_NC.REC";
  GeraTexto(g.texto);
  std::printf("input: %zu bytes, %ld records of the recharge layout\n", g.tamanho, g.registros);

  Relator rel;
  benchmark::RunSpecifiedBenchmarks(&rel);

  const bool nossoOk = MesmoConteudo(g.texto, g.nossoVolta);
  const bool ncOk = MesmoConteudo(g.texto, g.ncVolta);
  std::error_code ec;
  const auto zNosso = fs::file_size(g.nossoZ, ec), zNc = fs::file_size(g.ncZ, ec);
  const double cN = MBs(rel, "BM_Compress_Telvarim"), cC = MBs(rel, "BM_Compress_Ncompress");
  const double eN = MBs(rel, "BM_Expand_Telvarim"), eC = MBs(rel, "BM_Expand_Ncompress");
  auto razao = [](double a, double b) { return b > 0 ? a / b : 0; };

  std::printf("\n%-16s %14s %12s %16s %10s %11s\n", "", "compress MB/s", "expand MB/s", "compressed bytes", "ratio",
              "round trip");
  std::printf("%-16s %14.1f %12.1f %16ju %9.2f:1 %11s\n", "telvarim", cN, eN, static_cast<std::uintmax_t>(zNosso),
              razao(double(g.tamanho), double(zNosso)), nossoOk ? "exact" : "DIFFERS");
  std::printf("%-16s %14.1f %12.1f %16ju %9.2f:1 %11s\n", "ncompress -b16", cC, eC, static_cast<std::uintmax_t>(zNc),
              razao(double(g.tamanho), double(zNc)), ncOk ? "exact" : "DIFFERS");
  const double rc = razao(cN, cC), re = razao(eN, eC);
  std::printf("speed telvarim/ncompress: compress %.2f, expand %.2f (%s)\n", rc, re,
              rc >= 1.0 && re >= 1.0 ? "both at least as fast" : "SLOWER");
#if defined(__unix__) || defined(__APPLE__)
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  std::printf("peak resident memory of this process: %ld KiB (input %zu KiB)\n", ru.ru_maxrss, g.tamanho / 1024);
#endif

  fs::remove_all(g.pasta, ec);
  benchmark::Shutdown();
  return nossoOk && ncOk ? 0 : 1;
}
