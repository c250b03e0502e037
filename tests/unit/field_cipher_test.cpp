#include "net/field_cipher.h"

#include <gtest/gtest.h>

#include <random>

namespace zelv {
namespace {

constexpr char kKey[] = "k42RT5Mvwe";

// Made with an independent implementation of the page format's index arithmetic; a textbook
// RC4 gives other letters.
TEST(FieldCipher, DecodesKnownFields) {
  EXPECT_EQ(DecodeField("abOHFPFP", kKey), "1.0");
  EXPECT_EQ(DecodeField("Q7JEIJGIIL", kKey), "下载");
}

TEST(FieldCipher, ShortFieldsAreEmpty) {
  for (const char* field : {"", "a", "ab"}) EXPECT_EQ(DecodeField(field, kKey), "") << field;
}

TEST(FieldCipher, LowerCaseBodyReadsLikeCapitals) {
  EXPECT_EQ(DecodeField("abohfpfp", kKey), "1.0");
  EXPECT_EQ(DecodeField("abOhFpfP", kKey), "1.0");
}

TEST(FieldCipher, OddBodyLastLetterIsOneDigit) {
  // The lone "C" is the data byte 2, the lone "A" the data byte 0: their outputs differ by 2.
  const Text three = DecodeField("abOHFPFPC", kKey);
  ASSERT_EQ(three.size(), 4u);
  EXPECT_EQ(three.substr(0, 3), "1.0");
  const Text withA = DecodeField("abOHFPFPA", kKey);  // data byte 0
  ASSERT_EQ(withA.size(), 4u);
  EXPECT_EQ(static_cast<unsigned char>(three[3]) ^ static_cast<unsigned char>(withA[3]), 2u);
}

TEST(FieldCipher, SaltChangesTheText) {
  EXPECT_NE(DecodeField("abOHFPFP", kKey), DecodeField("zzOHFPFP", kKey));
  // The salt enters the key as it is, so its case matters.
  EXPECT_NE(DecodeField("ABOHFPFP", kKey), "1.0");
}

TEST(FieldCipher, TwoPassesDecodeTheFirstResult) {
  const Text inner = *EncodeField("notes", "xy", kKey);
  const Text outer = *EncodeField(inner, "pq", kKey);
  EXPECT_EQ(DecodeField(outer, kKey, 1), inner);
  EXPECT_EQ(DecodeField(outer, kKey, 2), "notes");
}

TEST(FieldCipher, NonLettersAndZeroBytes) {
  // "--" reads as -2*16 + -2 = -34, low byte 0xDE: still a data byte.
  EXPECT_EQ(LettersToNumber("--"), -34);
  EXPECT_EQ(LettersToNumber("AB"), 1);
  EXPECT_EQ(LettersToNumber("pp"), 255);
  EXPECT_EQ(LettersToNumber("Z"), 25);
  EXPECT_EQ(LettersToNumber(""), 0);
  EXPECT_EQ(DecodeField("ab--", kKey).size(), 1u);
  // In "abOHFPFP" the letters F P carry '.' (0x2E) under the keystream byte 0x71; the
  // letters H B carry 0x71 itself, which deciphers to a zero byte and ends the text.
  EXPECT_EQ(DecodeField("abOHHBFP", kKey), "1");
}

TEST(FieldCipher, EncodeRefusesUnusableSalts) {
  for (const char* salt : {"~a", "a-", "$$", "a", "abc"}) EXPECT_FALSE(EncodeField("x", salt, kKey)) << salt;
  EXPECT_FALSE(EncodeField(Text("a\0b", 3), "ab", kKey));
}

TEST(FieldCipher, RandomTextsRoundTrip) {
  std::mt19937 random(42);
  for (int round = 0; round < 200; ++round) {
    Text plain(random() % 300, ' ');
    for (char& c : plain) c = static_cast<char>(1 + random() % 255);
    const Text salt = {static_cast<char>('a' + random() % 26), static_cast<char>('0' + random() % 10)};
    const auto field = EncodeField(plain, salt, kKey);
    ASSERT_TRUE(field);
    EXPECT_EQ(DecodeField(*field, kKey), plain);
    EXPECT_EQ(field->find_first_not_of("ABCDEFGHIJKLMNOP", 2), Text::npos);
  }
}

}  // namespace
}  // namespace zelv
