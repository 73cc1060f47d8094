// Helpers of the standard controls' tests: a form to put controls on and
// show, and the fruit the box tests sort.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/forms.h"
#include "tests/support/gui_input.h"

namespace zeltest {

class FormTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 400, 300);
  }
  void Show(TWinControl* Focus) {
    zeltest::ShowForm(form.get());
    Focus->SetFocus();
    zeltest::RunPostedMessages();
  }
  void TearDown() override { form.reset(); }
  std::unique_ptr<TForm> form;
};

inline const char* const kFruit[] = {"Zitrone", "apfel", "\xC4pfel", "Birne", "banane", "10", "9"};
inline const std::vector<std::string> kFruitSorted = {"10", "9", "apfel", "\xC4pfel", "banane", "Birne", "Zitrone"};

}  // namespace zeltest
