// The form buffer: positioned text items for printed forms (bank transfer
// slips), written by the form's builder and printed by PrintForm.
// Positions are tenths of a millimetre from the printable area's top left,
// before the user's form offsets are added.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvera {

enum FormItemFlag : unsigned {
  kFormText = 1,
  kFormProportional = 2,  // drawn as it comes, not on the form's character pitch
  kFormPageBreak = 4,     // ends one form
  kFormRightAligned = 16, // the text ends at x
};

struct FormItem {
  unsigned flags = 0;
  int x = 0, y = 0;  // tenths of a millimetre
  std::string text;  // Windows-1252
};

class FormBuffer {
 public:
  void Clear();
  void AddText(int x, int y, std::string_view text, unsigned extraFlags = 0);
  void AddPageBreak();
  // Width of a character cell in tenths of a millimetre; 0 draws text as it comes.
  void SetPitch(int tenthsOfMm) { pitch_ = tenthsOfMm; }
  int Pitch() const { return pitch_; }
  const std::vector<FormItem>& Items() const { return items_; }
  // Forms in the buffer: one per page break, and one more for items after the last.
  int FormCount() const;

 private:
  std::vector<FormItem> items_;
  int pitch_ = 0;
};

FormBuffer& TheFormBuffer();

// A form shift typed as millimetres with one decimal ("-2,5") in tenths of a
// millimetre; false when it is no number or lies outside -10,0 to 10,0 mm.
bool ParseFormOffset(std::string_view text, int* tenths);
// Tenths of a millimetre as the dialog shows them: -25 gives "-2,5".
std::string FormatFormOffset(int tenths);

}  // namespace talvera
