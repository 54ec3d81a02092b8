// The platform file primitives: private modes from creation, whole files under their final names, moves
// that never replace, one lock holder at a time, temporaries removed when the process is interrupted.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <system_error>

#include "pasta_temporaria.h"
#include "safe_file.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace telvarim {
namespace {

namespace fs = std::filesystem;
using teste::LeArquivo;

class SafeFile : public teste::PastaTemporaria {};

constexpr fs::perms kDono = fs::perms::owner_read | fs::perms::owner_write;

#if !defined(_WIN32)
// Runs with a permissive umask, so that a mode fixed only by the umask would show.
class UmaskZero {
 public:
  UmaskZero() : antes_(::umask(0)) {}
  ~UmaskZero() { ::umask(antes_); }

 private:
  mode_t antes_;
};

TEST_F(SafeFile, PrivateFilesAreOwnerOnlyFromCreationAndOverAnOlderFile) {
  const UmaskZero umask;
  const fs::path novo = pasta / "novo", antigo = Grava("antigo", "conteudo antigo"), escrito = pasta / "escrito";
  fs::permissions(antigo, fs::perms::all);
  ASSERT_FALSE(create_private_file(novo));
  ASSERT_FALSE(create_private_file(antigo));
  ASSERT_FALSE(write_file(escrito, "segredo", {.ownerOnly = true}));
  for (const fs::path& p : {novo, antigo, escrito}) {
    SCOPED_TRACE(p.string());
    EXPECT_EQ(fs::status(p).permissions(), kDono);
  }
  EXPECT_EQ(LeArquivo(antigo), "") << "truncated";
  EXPECT_EQ(LeArquivo(escrito), "segredo");
  // A file not asked to be private keeps the usual mode.
  ASSERT_FALSE(write_file(pasta / "comum", "x"));
  EXPECT_NE(fs::status(pasta / "comum").permissions() & fs::perms::others_read, fs::perms::none);
}

TEST_F(SafeFile, ExclusiveCreationNeverWritesThroughAnExistingNameOrALink) {
  const fs::path alvo = Grava("alvo", "intacto"), elo = pasta / "elo";
  fs::create_symlink(alvo, elo);
  EXPECT_EQ(create_private_file(alvo, true), std::errc::file_exists);
  EXPECT_TRUE(create_private_file(elo, true));
  EXPECT_TRUE(create_private_file(elo)) << "a link is not followed either";
  EXPECT_EQ(LeArquivo(alvo), "intacto");
}

TEST_F(SafeFile, WriteFailuresCarryTheSystemsError) {
  EXPECT_EQ(write_file(pasta / "sem" / "arquivo", "x"), std::errc::no_such_file_or_directory);
  EXPECT_EQ(write_file(pasta, "x"), std::errc::is_a_directory);
#if defined(__linux__)
  const std::error_code cheio = write_file("/dev/full", "x", {.durable = true});
  EXPECT_EQ(cheio, std::errc::no_space_on_device);
  EXPECT_EQ(system_error_text(cheio), "No space left on device");
#endif
}
#endif

TEST_F(SafeFile, CommitPutsTheWholeFileInPlaceReplacingTheOld) {
  const fs::path parcial = Grava("pedido.REC.parcial", "novo"), final = Grava("pedido.REC", "velho");
  ASSERT_FALSE(commit_file(parcial, final));
  EXPECT_EQ(LeArquivo(final), "novo");
  EXPECT_FALSE(fs::exists(parcial));

  // A failed rename leaves the temporary where it was.
  const fs::path outro = Grava("outro.parcial", "dados");
  EXPECT_TRUE(commit_file(outro, pasta / "sem" / "outro"));
  EXPECT_EQ(LeArquivo(outro), "dados");
  EXPECT_TRUE(commit_file(pasta / "nada.parcial", pasta / "nada"));
}

TEST_F(SafeFile, MoveNeverReplacesAFileOrAFolder) {
  const fs::path origem = Grava("Recebidos/a_1.rec", "recebido");
  Grava("Processados/a_1.rec", "outro");
  Grava("Pasta/a_1.rec/dentro", "y");
  for (const fs::path& destino : {pasta / "Processados/a_1.rec", pasta / "Pasta/a_1.rec"}) {
    SCOPED_TRACE(destino.string());
    EXPECT_EQ(move_file_no_replace(origem, destino), std::errc::file_exists);
    EXPECT_EQ(LeArquivo(origem), "recebido");
  }
  EXPECT_EQ(LeArquivo(pasta / "Processados/a_1.rec"), "outro");
  const fs::path livre = pasta / "Processados" / "b_1.rec";
  ASSERT_FALSE(move_file_no_replace(origem, livre));
  EXPECT_EQ(LeArquivo(livre), "recebido");
  EXPECT_FALSE(fs::exists(origem));
  EXPECT_EQ(move_file_no_replace(origem, pasta / "c_1.rec"), std::errc::no_such_file_or_directory);
}

TEST_F(SafeFile, OneLockHolderAtATimeEvenInOneProcess) {
  const fs::path arquivo = pasta / ".telvarim.lock";
  LockAttempt primeiro = try_lock_file(arquivo, "telvarim, pid 1");
  ASSERT_TRUE(primeiro.lock.held()) << primeiro.error.message();
  EXPECT_EQ(LeArquivo(arquivo), "telvarim, pid 1");

  LockAttempt segundo = try_lock_file(arquivo, "telvarim-cli batch, pid 2");
  EXPECT_FALSE(segundo.lock.held());
  EXPECT_TRUE(segundo.busy);
  EXPECT_FALSE(segundo.error);
  EXPECT_EQ(segundo.holder, "telvarim, pid 1");
  EXPECT_EQ(LeArquivo(arquivo), "telvarim, pid 1") << "the one refused writes nothing";

  // Moved, the hold stays one; released, the next comer takes it and says who it is now.
  FileLock movido = std::move(primeiro.lock);
  EXPECT_TRUE(try_lock_file(arquivo, "x").busy);
  movido.release();
  LockAttempt terceiro = try_lock_file(arquivo, "b, pid 3");
  EXPECT_TRUE(terceiro.lock.held());
  EXPECT_EQ(LeArquivo(arquivo), "b, pid 3");

  const LockAttempt semPasta = try_lock_file(pasta / "sem" / ".lock", "x");
  EXPECT_FALSE(semPasta.lock.held());
  EXPECT_FALSE(semPasta.busy);
  EXPECT_EQ(semPasta.error, std::errc::no_such_file_or_directory);
}

#if !defined(_WIN32)
// The handler removes what is registered at the moment of the signal, then the process ends by that signal.
TEST_F(SafeFile, InterruptedProcessRemovesItsRegisteredTemporaries) {
  const fs::path registrado = Grava("TMP1.REC"), liberado = Grava("TMP2.REC"), alheio = Grava("outro");
  for (int sinal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(sinal);
    Grava("TMP1.REC");
    EXPECT_EXIT(
        {
          remove_temporaries_on_signals();
          const TemporaryRegistration r1(registrado);
          { const TemporaryRegistration r2(liberado); }
          std::raise(sinal);
        },
        testing::KilledBySignal(sinal), "");
    EXPECT_FALSE(fs::exists(registrado));
    EXPECT_TRUE(fs::exists(liberado)) << "its registration had ended";
    EXPECT_TRUE(fs::exists(alheio));
  }
}
#endif

}  // namespace
}  // namespace telvarim
