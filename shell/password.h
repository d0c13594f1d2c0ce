// Protection of a plot file: a password chosen together with protection
// bits keeps other users from saving or renaming the file, changing its
// inventory or opening its notes until they give the password; the same
// block carries the author's name, a date, an e-mail address and a
// homepage.  The password is stored scrambled byte by byte with a modular
// power; the two exponents are inverse modulo m - 1, so reading undoes
// writing for every byte from 1 to m - 1.
#pragma once

#include <cstdint>
#include <string>

#include "shell/dialog_base.h"

namespace kv {

inline constexpr int kScrambleModulus = 239;
inline constexpr int kScrambleWriteExponent = 11;
inline constexpr int kScrambleReadExponent = 65;

// b^e mod m in 32-bit arithmetic (enough for m < 256); 1 for e <= 0.
int ModPow(int b, int e, int m);
// Replaces each byte b (unsigned) by ModPow(b, e, kScrambleModulus) up to
// the first NUL; a byte that becomes 0 ends the string there.
void ScramblePassword(std::string& bytes, int exponent);
// True when the password keeps its value through a file: every character
// exists in Windows-1252 and its byte lies below the modulus.
bool IsStorablePassword(const std::string& utf8);

// What the "Kennwortschutz" dialog decided.
struct TProtectionChoice {
  std::string Password;
  std::string Author;
  std::string Date;
  std::string EMail;
  std::string Homepage;
  std::int16_t Mask = 0;
};

// "SETPW": "Setzen" (1) checks and ends with 1; "Löschen" (kClearButton)
// ends with that id; Escape and the close box end with 2 and change
// nothing.
class TPwdDlg : public TDlg {
 public:
  static constexpr int kClearButton = 240;
  TPwdDlg(plat::Window* parent, TProtectionChoice& choice);
  void SetupWindow() override;
  bool CanClose() override;
  const plat::CommandTable& Commands() const override;

 private:
  void CmClear();
  TProtectionChoice& choice_;
};

}  // namespace kv
