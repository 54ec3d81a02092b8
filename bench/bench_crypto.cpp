// Throughput of the ciphers and MD5 and the time of the RSA-512 private operation, ours next to OpenSSL's in
// the same run, with the ratios printed at the end.
#include <benchmark/benchmark.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "crypto/cbc.h"
#include "crypto/digest.h"
#include "crypto/rsa.h"

namespace {

using telvarim::CbcContext;
using telvarim::CipherDirection;

constexpr std::size_t kBufferSize = 8192;

std::vector<unsigned char> random_buffer(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<unsigned char> b(n);
  for (auto& x : b) x = static_cast<unsigned char>(rng());
  return b;
}

void load_providers() {
  static const bool ok =
      OSSL_PROVIDER_load(nullptr, "legacy") != nullptr && OSSL_PROVIDER_load(nullptr, "default") != nullptr;
  if (!ok) throw std::runtime_error("cannot load the OpenSSL legacy provider");
}

void ours_cbc(benchmark::State& state, int algorithm) {
  const auto key = random_buffer(24, 1), iv = random_buffer(8, 2);
  auto buf = random_buffer(kBufferSize, 3);
  CbcContext ctx;
  telvarim::cbc_init(ctx, algorithm, key.data(), iv.data(), CipherDirection::kEncrypt);
  for (auto _ : state) {
    telvarim::cbc_update(ctx, buf.data(), buf.data(), buf.size());
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
}

void openssl_cbc(benchmark::State& state, const char* name) {
  load_providers();
  const auto key = random_buffer(24, 1), iv = random_buffer(8, 2);
  auto buf = random_buffer(kBufferSize, 3);
  std::vector<unsigned char> out(kBufferSize + 16);
  EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name, nullptr);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (!cipher || !EVP_EncryptInit_ex2(ctx, cipher, key.data(), iv.data(), nullptr)) {
    state.SkipWithError("OpenSSL cipher unavailable");
  } else {
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    for (auto _ : state) {
      int len = 0;
      EVP_EncryptUpdate(ctx, out.data(), &len, buf.data(), static_cast<int>(buf.size()));
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
  EVP_CIPHER_CTX_free(ctx);
  EVP_CIPHER_free(cipher);
}

void ours_md5(benchmark::State& state) {
  const auto buf = random_buffer(kBufferSize, 4);
  unsigned char digest[16];
  for (auto _ : state) {
    telvarim::DigestContext ctx;
    unsigned len = 0;
    telvarim::digest_init(ctx, telvarim::kDigestMd5);
    telvarim::digest_update(ctx, buf.data(), buf.size());
    telvarim::digest_final(ctx, digest, len);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
}

void openssl_md5(benchmark::State& state) {
  const auto buf = random_buffer(kBufferSize, 4);
  unsigned char digest[16];
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  const EVP_MD* md = EVP_md5();
  for (auto _ : state) {
    unsigned len = 0;
    EVP_DigestInit_ex(ctx, md, nullptr);
    EVP_DigestUpdate(ctx, buf.data(), buf.size());
    EVP_DigestFinal_ex(ctx, digest, &len);
    benchmark::DoNotOptimize(digest);
  }
  EVP_MD_CTX_free(ctx);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBufferSize));
}

// One 512-bit key, made by OpenSSL and copied field by field into our record.
struct RsaKeys {
  EVP_PKEY* openssl = nullptr;
  telvarim::RsaPrivateKey ours{};
};

const RsaKeys& rsa_keys() {
  static const RsaKeys keys = [] {
    RsaKeys k;
    k.openssl = EVP_RSA_gen(512);
    if (!k.openssl) throw std::runtime_error("EVP_RSA_gen failed");
    k.ours.bits = 512;
    auto copy = [&](const char* name, unsigned char* field, int len) {
      BIGNUM* v = nullptr;
      EVP_PKEY_get_bn_param(k.openssl, name, &v);
      BN_bn2binpad(v, field, len);
      BN_free(v);
    };
    copy(OSSL_PKEY_PARAM_RSA_N, k.ours.modulus, 128);
    copy(OSSL_PKEY_PARAM_RSA_E, k.ours.public_exponent, 128);
    copy(OSSL_PKEY_PARAM_RSA_D, k.ours.private_exponent, 128);
    copy(OSSL_PKEY_PARAM_RSA_FACTOR1, k.ours.prime1, 64);
    copy(OSSL_PKEY_PARAM_RSA_FACTOR2, k.ours.prime2, 64);
    copy(OSSL_PKEY_PARAM_RSA_EXPONENT1, k.ours.prime_exponent1, 64);
    copy(OSSL_PKEY_PARAM_RSA_EXPONENT2, k.ours.prime_exponent2, 64);
    copy(OSSL_PKEY_PARAM_RSA_COEFFICIENT1, k.ours.coefficient, 64);
    return k;
  }();
  return keys;
}

// The signing step of a sealing: block type 1 over a 34-byte DigestInfo, then the CRT private operation.
void ours_rsa_sign(benchmark::State& state) {
  const auto info = random_buffer(34, 5);
  const RsaKeys& keys = rsa_keys();
  unsigned char sig[128];
  for (auto _ : state) {
    std::size_t len = 0;
    telvarim::rsa_private_encrypt(sig, len, info.data(), info.size(), keys.ours);
    benchmark::DoNotOptimize(sig);
  }
}

void openssl_rsa_sign(benchmark::State& state) {
  const auto info = random_buffer(34, 5);
  const RsaKeys& keys = rsa_keys();
  unsigned char sig[128];
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, keys.openssl, nullptr);
  EVP_PKEY_sign_init(ctx);
  EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING);
  for (auto _ : state) {
    std::size_t len = sizeof sig;
    EVP_PKEY_sign(ctx, sig, &len, info.data(), info.size());
    benchmark::DoNotOptimize(sig);
  }
  EVP_PKEY_CTX_free(ctx);
}

// Collects the mean time per iteration of each benchmark while the console shows the usual table.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0)
        seconds_[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double seconds(const std::string& name) const {
    const auto it = seconds_.find(name);
    return it == seconds_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> seconds_;
};

void print_throughput(const Collector& c, const char* label, const std::string& name, const char* target) {
  const double ours = c.seconds(name + "/ours"), theirs = c.seconds(name + "/openssl");
  if (ours <= 0 || theirs <= 0) return;
  const double mb = static_cast<double>(kBufferSize) / 1e6;
  std::printf("%-22s ours %8.1f MB/s   OpenSSL %8.1f MB/s   ratio %5.2f  %s\n", label, mb / ours, mb / theirs,
              theirs / ours, target);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("DES-CBC/ours", ours_cbc, telvarim::kCipherDesCbc);
  benchmark::RegisterBenchmark("DES-CBC/openssl", openssl_cbc, "DES-CBC");
  benchmark::RegisterBenchmark("DESX-CBC/ours", ours_cbc, telvarim::kCipherDesxCbc);
  benchmark::RegisterBenchmark("DESX-CBC/openssl", openssl_cbc, "DESX-CBC");
  benchmark::RegisterBenchmark("DES-EDE3-CBC/ours", ours_cbc, telvarim::kCipherDesEde3Cbc);
  benchmark::RegisterBenchmark("DES-EDE3-CBC/openssl", openssl_cbc, "DES-EDE3-CBC");
  benchmark::RegisterBenchmark("MD5/ours", ours_md5);
  benchmark::RegisterBenchmark("MD5/openssl", openssl_md5);
  benchmark::RegisterBenchmark("RSA-512-private/ours", ours_rsa_sign)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("RSA-512-private/openssl", openssl_rsa_sign)->Unit(benchmark::kMicrosecond);

  benchmark::Initialize(&argc, argv);
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);

  std::printf("\nSame run, 8 KiB buffers (ratio = our throughput / OpenSSL's; for RSA = our time / OpenSSL's):\n");
  print_throughput(collector, "DES-CBC", "DES-CBC", "(target >= 0.80)");
  print_throughput(collector, "DESX-CBC", "DESX-CBC", "(target >= 0.80)");
  print_throughput(collector, "3DES (EDE3-CBC)", "DES-EDE3-CBC", "(information)");
  print_throughput(collector, "MD5", "MD5", "(target >= 0.80)");
  const double ours = collector.seconds("RSA-512-private/ours"), theirs = collector.seconds("RSA-512-private/openssl");
  if (ours > 0 && theirs > 0) {
    std::printf("%-22s ours %8.1f us     OpenSSL %8.1f us     ratio %5.2f  (target <= 3.00)\n", "RSA-512 private (CRT)",
                ours * 1e6, theirs * 1e6, ours / theirs);
  }
  benchmark::Shutdown();
  return 0;
}
