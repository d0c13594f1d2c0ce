// The picture dialog "METADLG": the size of an embedded picture in
// centimetres, its binding and its background, and the actions copy, cut
// and delete.  It works on the picture's absolute rectangle, flag and
// binding in place, changing them only when OK finds the input sound.
#pragma once

#include "graphics/model/picture_record.h"
#include "shell/dialog_base.h"

namespace kv {

class TZORWinm;

enum : int {
  kPictureApply = 1,
  kPictureCopy = 95,
  kPictureCut = 96,
  kPictureDelete = 52,
};

class TMetaDlg : public TDlg {
 public:
  TMetaDlg(TZORWinm& window, TPictureRecord& picture);

  const plat::CommandTable& Commands() const override;
  void SetupWindow() override;
  bool CanClose() override;
  // What the dialog ended with: kPictureApply, kPictureCopy, kPictureCut
  // or kPictureDelete.
  int Action() const { return action_; }

 private:
  void CmAction(int id);
  // Reads the fields and, when they changed and are sound, stores them.
  void ReadFields();

  TZORWinm& window_;
  TPictureRecord& picture_;
  int dpi_ = 96;
  long double widthCm_ = 0;
  long double heightCm_ = 0;
  bool valid_ = true;
  bool changed_ = false;
  int action_ = kPictureApply;
};

}  // namespace kv
