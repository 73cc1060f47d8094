#include "tests/support/msgbox_recorder.h"

namespace zeltest {

MessageBoxRecorder::MessageBoxRecorder(int Answer) : FAnswer(Answer) {
  FPrevious = platform::SetMessageBoxPresenter(
      [this](HWND, const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
        FBoxes.push_back({Text, Caption, Flags});
        return FAnswer;
      });
}

MessageBoxRecorder::~MessageBoxRecorder() { platform::SetMessageBoxPresenter(std::move(FPrevious)); }

}  // namespace zeltest
