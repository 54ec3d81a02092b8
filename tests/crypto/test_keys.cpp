// Key records as bytes and files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "crypto/keys.h"
#include "oracle.h"

namespace telvarim::test {
namespace {

RsaPrivateKey sample_private_key() {
  RsaPrivateKey key;
  auto* bytes = reinterpret_cast<unsigned char*>(&key);
  for (std::size_t i = 0; i < sizeof key; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
  key.bits = 0x0401;
  return key;
}

TEST(KeyRecords, BitsComeFirstLittleEndianThenTheFieldsInOrder) {
  RsaPublicKey pub{};
  pub.bits = 0x0200;
  pub.modulus[127] = 0xab;
  pub.exponent[125] = 0x01, pub.exponent[126] = 0x00, pub.exponent[127] = 0x01;
  unsigned char bytes[kRsaPublicKeyRecordSize];
  rsa_public_key_to_bytes(pub, bytes);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(bytes[1], 0x02);
  EXPECT_EQ(bytes[129], 0xab);
  EXPECT_EQ(to_hex(bytes + 255, 3), "010001");

  const RsaPrivateKey priv = sample_private_key();
  unsigned char pbytes[kRsaPrivateKeyRecordSize];
  rsa_private_key_to_bytes(priv, pbytes);
  EXPECT_EQ(pbytes[0], 0x01);
  EXPECT_EQ(pbytes[1], 0x04);
  EXPECT_EQ(pbytes[386], priv.prime1[0]);
  EXPECT_EQ(pbytes[705], priv.coefficient[63]);

  RsaPrivateKey back;
  ASSERT_TRUE(rsa_private_key_from_bytes(pbytes, sizeof pbytes, back));
  EXPECT_EQ(std::memcmp(&back, &priv, sizeof priv), 0);
  RsaPublicKey pub_back;
  ASSERT_TRUE(rsa_public_key_from_bytes(bytes, sizeof bytes, pub_back));
  EXPECT_EQ(std::memcmp(&pub_back, &pub, sizeof pub), 0);

  EXPECT_FALSE(rsa_public_key_from_bytes(bytes, sizeof bytes - 1, pub_back));
  EXPECT_FALSE(rsa_private_key_from_bytes(pbytes, kRsaPublicKeyRecordSize, back));
}

class KeyFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("telvarim_keys_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(KeyFiles, SaveAndLoadBothKindsOfRecord) {
  const RsaPrivateKey priv = sample_private_key();
  const RsaPublicKey pub = rsa_public_part(priv);
  ASSERT_TRUE(rsa_save_private_key(dir_ / "system.key", priv));
  ASSERT_TRUE(rsa_save_public_key(dir_ / "system.pub", pub));
  EXPECT_EQ(std::filesystem::file_size(dir_ / "system.key"), 706u);
  EXPECT_EQ(std::filesystem::file_size(dir_ / "system.pub"), 258u);

  RsaPrivateKey priv_back;
  RsaPublicKey pub_back, from_private;
  ASSERT_TRUE(rsa_load_private_key(dir_ / "system.key", priv_back));
  ASSERT_TRUE(rsa_load_public_key(dir_ / "system.pub", pub_back));
  ASSERT_TRUE(rsa_load_public_or_private_key(dir_ / "system.key", from_private));
  EXPECT_EQ(std::memcmp(&priv_back, &priv, sizeof priv), 0);
  EXPECT_EQ(std::memcmp(&pub_back, &pub, sizeof pub), 0);
  EXPECT_EQ(std::memcmp(&from_private, &pub, sizeof pub), 0);

  // A public key file is not a private key.
  std::string why;
  EXPECT_FALSE(rsa_load_private_key(dir_ / "system.pub", priv_back, &why));
  EXPECT_NE(why.find("258 bytes"), std::string::npos) << why;
}

TEST_F(KeyFiles, WrongSizesAndMissingFilesAreRefused) {
  {
    std::ofstream(dir_ / "short.pub", std::ios::binary) << std::string(257, 'x');
    std::ofstream(dir_ / "long.key", std::ios::binary) << std::string(707, 'x');
  }
  RsaPublicKey pub;
  RsaPrivateKey priv;
  std::string why;
  EXPECT_FALSE(rsa_load_public_key(dir_ / "short.pub", pub, &why));
  EXPECT_NE(why.find("257 bytes"), std::string::npos) << why;
  EXPECT_FALSE(rsa_load_public_or_private_key(dir_ / "short.pub", pub));
  EXPECT_FALSE(rsa_load_private_key(dir_ / "long.key", priv));
  EXPECT_FALSE(rsa_load_public_or_private_key(dir_ / "long.key", pub));
  EXPECT_FALSE(rsa_load_public_key(dir_ / "missing.pub", pub, &why));
  EXPECT_NE(why.find("cannot open"), std::string::npos) << why;
  EXPECT_FALSE(rsa_save_public_key(dir_ / "no_such_dir" / "x.pub", pub));
}

}  // namespace
}  // namespace telvarim::test
