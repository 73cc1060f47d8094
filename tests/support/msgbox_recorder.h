// Records message boxes instead of showing them and answers at once.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/dialogs.h"

namespace zeltest {

class MessageBoxRecorder {
public:
  struct Box {
    AnsiString Text;
    AnsiString Caption;
    UINT Flags = 0;
  };
  explicit MessageBoxRecorder(int Answer = IDOK);
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void SetAnswer(int Answer) { FAnswer = Answer; }
  const std::vector<Box>& Boxes() const { return FBoxes; }
  int Count() const { return static_cast<int>(FBoxes.size()); }
  const Box& Last() const { return FBoxes.back(); }
  void Clear() { FBoxes.clear(); }

private:
  int FAnswer;
  std::vector<Box> FBoxes;
  platform::MessageBoxPresenter FPrevious;
};

}  // namespace zeltest
