// What the file lists and the disk exchange take from the platform: letter case, accented names, the length
// of a path, files the system hides. Each check runs wherever it applies; CI runs them on Linux and, cross-built,
// on Windows under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cp1252.h"
#include "pasta_temporaria.h"
#include "pastas.h"
#include "trocaarquivos.h"
#include "windows_sistema.h"

using namespace telvarim;
using namespace telvarim::literais;
namespace fs = std::filesystem;

namespace {

class Plataforma : public teste::PastaTemporaria {
 protected:
  // Writes a file named by engine text (cp1252) into a folder of the temporary folder.
  fs::path GravaNome(const std::string& pastaRelativa, const std::string& nome) {
    return Grava(fs::path(pastaRelativa) / CaminhoDeTexto(nome), nome);
  }
  // The names of a folder as the system holds them, as UTF-8 bytes, sorted.
  // The names as the file system holds them (the folder's lock, which the copy held, aside).
  static std::vector<std::string> NomesNoDisco(const fs::path& p) {
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(p))
      if (e.path().filename() != kArquivoTrava) r.push_back(Bytes(e.path().filename().u8string()));
    std::sort(r.begin(), r.end());
    return r;
  }
  static std::string Bytes(std::u8string_view s) { return std::string(s.begin(), s.end()); }
};

TEST_F(Plataforma, MasksMatchInAnyLetterCaseAndListsSortWithoutCase) {
  // Distinct names also where the file system ignores case.
  for (const std::string n : {"b_1.REC", "A_1.rec", "c_1.Rec", "d_2.rec", "e_1.rec.bak", "\xE1gua_1.REC",
                              "\xC9"
                              "DIO_1.rec"})
    GravaNome("disco", n);
  const std::vector<std::string> recebidos = {"A_1.rec", "b_1.REC", "c_1.Rec", "\xE1gua_1.REC",
                                              "\xC9"
                                              "DIO_1.rec"};
  struct Caso {
    const char* mascara;
    std::vector<std::string> nomes;
  } casos[] = {
      {"*_1.rec", recebidos},       {"*_1.REC", recebidos},
      {"*_2.Rec", {"d_2.rec"}},     {"?_1.rec", {"A_1.rec", "b_1.REC", "c_1.Rec"}},
      {"\xC1*", {"\xE1gua_1.REC"}},  // accented letters have their case too
  };
  for (const auto& c : casos) EXPECT_EQ(ListaArquivos(pasta / "disco", c.mascara), c.nomes) << c.mascara;
}

TEST_F(Plataforma, AccentedNamesKeepTheirLettersThroughTheListsTheCopyAndTheMark) {
  const std::string nome = "A\xC7\xC3O_1.rec";  // AÇÃO_1.rec as engine text
  GravaNome("disco", nome);
  fs::create_directories(pasta / "Recebidos");
  ASSERT_EQ(ListaArquivos(pasta / "disco", MascaraRecebidos), std::vector<std::string>{nome});

  const ResultadoTroca r = CarregaArquivos(pasta / "disco", {nome}, pasta / "Recebidos");
  EXPECT_TRUE(r.Completo()) << TextoResultado(r);
  // The system holds the real letters (UTF-16 on Windows, UTF-8 elsewhere), never the cp1252 bytes.
  EXPECT_EQ(NomesNoDisco(pasta / "Recebidos"), std::vector<std::string>{Bytes(u8"AÇÃO_1.rec")});
  EXPECT_EQ(NomesNoDisco(pasta / "disco"), std::vector<std::string>{Bytes(u8"AÇÃO_4.REC")});
  EXPECT_EQ(teste::LeArquivo(pasta / "Recebidos" / CaminhoDeTexto(nome)), nome);
  EXPECT_EQ(ListaArquivos(pasta / "Recebidos", MascaraRecebidos), std::vector<std::string>{nome});
}

// The copy's limit is in characters: a path of accented letters that is longer in UTF-8 than 255 bytes but
// 255 characters long is copied; one character more is refused before anything is touched.
TEST_F(Plataforma, TheCopyLimitCountsCharactersNotBytes) {
  const std::string nome = "X_1.rec";
  GravaNome("disco", nome);
  const std::size_t base = TextoCaminho(pasta).size();
  ASSERT_LT(base, 150u) << "temporary folder too deep for this test";
  // pasta / C1 / C2 / nome, each C of 'Ç' only; components stay below the file systems' 255-byte limit.
  auto destino = [&](std::size_t comprimento) {
    const std::size_t letras = comprimento - base - 3 - nome.size();
    const std::size_t a = letras / 2;
    return pasta / CaminhoDeTexto(std::string(a, '\xC7')) / CaminhoDeTexto(std::string(letras - a, '\xC7'));
  };
  for (const std::size_t comprimento : {std::size_t{255}, std::size_t{256}}) {
    SCOPED_TRACE(comprimento);
    const fs::path pastaDestino = destino(comprimento);
    ASSERT_EQ(TextoCaminho(pastaDestino / nome).size(), comprimento);
    fs::create_directories(pastaDestino);
    const ResultadoTroca r = CarregaArquivos(pasta / "disco", {nome}, pastaDestino);
    if (comprimento <= kMaxCaminhoCopia) {
      EXPECT_TRUE(r.Completo()) << TextoResultado(r);
      EXPECT_EQ(teste::LeArquivo(pastaDestino / nome), nome);
      fs::rename(pasta / "disco" / "X_4.REC", pasta / "disco" / nome);  // ready for the next round
    } else {
      ASSERT_EQ(r.falhas.size(), 1u);
      EXPECT_EQ(r.falhas[0].motivo.rfind("caminho com mais de 255 caracteres: ", 0), 0u);
      EXPECT_FALSE(fs::exists(pastaDestino / nome));
      EXPECT_TRUE(fs::exists(pasta / "disco" / nome));
    }
  }
}

TEST_F(Plataforma, FilesTheSystemHidesAreNotListed) {
  GravaNome("disco", "visivel_1.rec");
#ifdef _WIN32
  // Attributes, not names: the original platform's lists leave out hidden and system files.
  for (const auto& [nome, atributo] :
       {std::pair{"oculto_1.rec", FILE_ATTRIBUTE_HIDDEN}, std::pair{"sistema_1.rec", FILE_ATTRIBUTE_SYSTEM}}) {
    const fs::path p = GravaNome("disco", nome);
    ASSERT_TRUE(SetFileAttributesW(p.c_str(), atributo));
    if (!(GetFileAttributesW(p.c_str()) & atributo)) GTEST_SKIP() << "this file system keeps no attributes";
  }
#else
  GravaNome("disco", ".oculto_1.rec");
#endif
  EXPECT_EQ(ListaArquivos(pasta / "disco", MascaraRecebidos), std::vector<std::string>{"visivel_1.rec"});
  EXPECT_EQ(ListaArquivos(pasta / "disco", "*"), std::vector<std::string>{"visivel_1.rec"});
}

// The generation's log has always named its folder with a lower-case drive letter on Windows.
TEST(TextoDasPastas, GenerationLinesNameTheDriveInLowerCaseOnWindows) {
#ifdef _WIN32
  EXPECT_EQ(TextoCaminhoGerado(fs::path("C:\\Quintaro\\Telvarim\\Gerados") / "RM_000123_0001_2612101100_2.REC"),
            "c:\\Quintaro\\Telvarim\\Gerados\\RM_000123_0001_2612101100_2.REC");
  EXPECT_EQ(TextoCaminho(PastasTrabalho(fs::path("C:\\Quintaro\\Telvarim")).Processados()),
            "C:\\Quintaro\\Telvarim\\Processados");
  EXPECT_EQ(TextoCaminhoGerado(fs::path("\\\\servidor\\Gerados\\A_2.REC")), "\\\\servidor\\Gerados\\A_2.REC");
#else
  EXPECT_EQ(TextoCaminhoGerado(fs::path("/home/ana/Quintaro/Telvarim/Gerados/A_2.REC")),
            "/home/ana/Quintaro/Telvarim/Gerados/A_2.REC");
  EXPECT_EQ(TextoCaminhoGerado(fs::path("C:/x/A_2.REC")), "C:/x/A_2.REC");
#endif
}

}  // namespace
