// The edit mask over arbitrary masks, values, texts and pasted text.
// Input: one byte of options (bit 0 Empty, bits 1-4 MaxLength, bits 5-7
// selection), then the mask, the text and the clipboard text separated by
// line feeds.  Checks what holds for every mask:
// - StripMask leaves no literal (and no "," for a decimal mask) and keeps
//   the order of what it keeps;
// - for a plain mask the raw value of a formatted value is a prefix of the
//   raw value given;
// - FormatDecimal, FormatTypedDecimal and FormatTime give their shapes;
// - a paste with the end before the start changes nothing; a paste that
//   fits gives a value that strips to itself without decimals;
// - nothing raises.
#include <cstdint>
#include <string>

#include "controls/K_Edit.h"
#include "fuzz/fuzz_support.h"

using fuzzing::Check;

namespace {


bool IsSubsequence(const AnsiString& Part, const AnsiString& Whole) {
  std::size_t j = 0;
  for (char c : Whole)
    if (j < Part.size() && Part[j] == c) ++j;
  return j == Part.size();
}

AnsiString NextField(const AnsiString& S, std::size_t& Pos) {
  const std::size_t end = S.find('\n', Pos);
  AnsiString r = S.substr(Pos, end == AnsiString::npos ? AnsiString::npos : end - Pos);
  Pos = end == AnsiString::npos ? S.size() : end + 1;
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0];
  const AnsiString input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t pos = 0;
  const AnsiString mask = NextField(input, pos);
  const AnsiString text = NextField(input, pos);
  const AnsiString clip = input.substr(pos);

  platform::TEditMask m;
  m.SetMask(mask);
  m.SetEmpty(options & 1);
  const int d = m.Decimals();
  const bool plain = d == 0 && !m.IsTime();

  // Stripping.
  const AnsiString raw = m.StripMask(text);
  Check(IsSubsequence(raw, text));
  for (char c : raw) {
    Check(!platform::TEditMask::IsLiteral(c));
    if (d > 0) Check(c != ',');
  }
  if (plain) Check(m.StripMask(raw) == raw);

  // Formatting.
  const AnsiString shown = m.FormatMask(text);
  if (plain) {
    const AnsiString back = m.StripMask(shown);
    Check(raw.compare(0, back.size(), back) == 0);
    Check(shown.size() <= 2 * mask.size());
    if (text.empty()) Check(shown.empty());
  }
  if (d > 0) {
    const AnsiString dec = m.FormatDecimal(text);
    if (!text.empty() || !m.Empty()) {
      Check(dec.size() >= static_cast<std::size_t>(d) + 2);
      Check(dec[dec.size() - static_cast<std::size_t>(d) - 1] == ',');
    } else {
      Check(dec.empty());
    }
  }
  if (d > 0) {
    // A typed amount gets the decimal shape; a "," in it keeps it from
    // reading as empty.
    const AnsiString typed = m.FormatTypedDecimal(text);
    if (text.find(',') != AnsiString::npos) Check(!typed.empty());
    if (!typed.empty()) {
      Check(typed.size() >= static_cast<std::size_t>(d) + 2);
      Check(typed[typed.size() - static_cast<std::size_t>(d) - 1] == ',');
    }
  }
  if (m.IsTime()) {
    const AnsiString t = m.FormatTime(text);
    if (!text.empty() || !m.Empty()) {
      Check(t.size() >= 5 && t[2] == ':');
      for (std::size_t i = 0; i < t.size(); ++i)
        if (i != 2) Check(t[i] >= '0' && t[i] <= '9');
    }
  } else {
    Check(m.FormatTime(text) == text);
  }

  // Character tests at every position.
  for (int p = 0; p <= static_cast<int>(mask.size()) + 1; ++p) {
    for (char c : clip.substr(0, 4)) {
      char k = c;
      const bool fits = m.CharFitsAt(p, text, k);
      char k2 = c;
      if (p >= 1 && p <= static_cast<int>(mask.size())) {
        const char mc = mask[static_cast<std::size_t>(p - 1)];
        if (m.CharFitsMask(p, text, k2) && (mc == '0' || mc == '9'))
          Check((k2 >= '0' && k2 <= '9') || mask.find(k2) != AnsiString::npos);
      }
      (void)fits;
    }
  }

  // Paste.
  const int len = static_cast<int>(text.size());
  const int maxLength = static_cast<int>((options >> 1) & 0x0F);
  const int s = len ? static_cast<int>((options >> 5) % (len + 1)) : 0;
  AnsiString value = "unchanged";
  Check(!m.PasteValue(clip, text, s + 1, s, maxLength, value));
  Check(value == "unchanged");
  if (m.PasteValue(clip, text, s, len, maxLength, value)) {
    if (plain) Check(m.StripMask(value) == value);
  } else {
    Check(value == "unchanged");
  }

  (void)m.AsInteger(text);
  (void)m.AsInteger(clip);
  return 0;
}
