#include "shell/model/protection_block.h"

#include "core/text_encoding.h"

namespace kv {

namespace {

constexpr std::size_t kProtectionBytes = kProtectionTextMax + 1;  // with the NUL

std::string Clip(const std::string& s) { return TruncateChars(s, static_cast<int>(kProtectionTextMax)); }

bool ReadText(ByteReader& r, std::string& dest) {
  if (r.Failed()) return false;
  std::string s = r.CountedString(kProtectionBytes);
  if (r.Failed()) return false;
  dest = std::move(s);
  return true;
}

}  // namespace

int ModPow(int b, int e, int m) {
  std::int32_t result = 1;
  std::int32_t base = b;
  while (e > 0) {
    if (e % 2 == 1) result = result * base % m;
    e /= 2;
    if (e > 0) base = base * base % m;
  }
  return result;
}

void ScramblePassword(std::string& bytes, int exponent) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b == 0) {
      bytes.resize(i);
      return;
    }
    int v = ModPow(b, exponent, kScrambleModulus);
    if (v == 0) {
      bytes.resize(i);
      return;
    }
    bytes[i] = static_cast<char>(v);
  }
}

bool IsStorablePassword(const std::string& utf8) {
  std::string ansi = Utf8ToCp1252(utf8);
  if (Cp1252ToUtf8(ansi) != utf8) return false;
  for (char c : ansi)
    if (static_cast<unsigned char>(c) >= kScrambleModulus || c == 0) return false;
  return true;
}

void WriteProtectionBlock(ByteWriter& w, const TPasswordBlock& block) {
  std::string scrambled = Utf8ToCp1252(Clip(block.Password));
  ScramblePassword(scrambled, kScrambleWriteExponent);
  // Written as raw bytes: the scrambled password is no text.
  w.U16(static_cast<std::uint16_t>(scrambled.size() + 1));
  w.Bytes(scrambled.data(), scrambled.size());
  w.U8(0);
  w.CountedString(Clip(block.Author));
  w.CountedString(Clip(block.Date));
  w.CountedString(Clip(block.EMail));
  w.CountedString(Clip(block.Homepage));
}

bool ReadProtectionBlock(ByteReader& r, TPasswordBlock& out) {
  if (r.Failed()) return false;
  std::size_t n = r.U16();
  if (r.Failed() || n > kProtectionBytes || n > r.Remaining()) {
    r.Fail();
    return false;
  }
  std::string raw(n, '\0');
  if (n > 0 && !r.Bytes(raw.data(), n)) return false;
  if (auto nul = raw.find('\0'); nul != std::string::npos) raw.resize(nul);
  ScramblePassword(raw, kScrambleReadExponent);
  TPasswordBlock b;
  b.Password = Cp1252ToUtf8(raw);
  if (!ReadText(r, b.Author) || !ReadText(r, b.Date) || !ReadText(r, b.EMail) || !ReadText(r, b.Homepage))
    return false;
  out = std::move(b);
  return true;
}

}  // namespace kv
