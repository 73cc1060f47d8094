// The message of an exception, whatever was thrown.
#include "platform/rtl/sysutils.h"

#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>

namespace {

TEST(ExceptionMessage, TakesTheMessageOfWhatWasThrown) {
  const std::string withZero("vor\0nach", 8);
  struct Case {
    const char* Name;
    std::exception_ptr Error;
    AnsiString Expected;
  };
  const Case cases[] = {
      {"Exception", std::make_exception_ptr(Exception("Stream-Lesefehler")), "Stream-Lesefehler"},
      {"derived class", std::make_exception_ptr(EConvertError("'x' ist kein g\xFC" "ltiger Integerwert")),
       "'x' ist kein g\xFC" "ltiger Integerwert"},
      // The message itself, not what() of it, which ends at a code 0.
      {"message with a code 0", std::make_exception_ptr(Exception(withZero)), withZero},
      {"standard exception", std::make_exception_ptr(std::runtime_error("kaputt")), "kaputt"},
      {"anything else", std::make_exception_ptr(42), "Unbekannte Exception"},
      {"no exception", std::exception_ptr(), "Unbekannte Exception"},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::ExceptionMessage(c.Error), c.Expected) << c.Name;
}

TEST(ExceptionMessage, TheCallerNamesTheTextForAnUnknownException) {
  EXPECT_EQ(platform::ExceptionMessage(std::make_exception_ptr(42), ""), "");
  EXPECT_EQ(platform::ExceptionMessage(std::make_exception_ptr(Exception("x")), ""), "x");
  try {
    throw 3.5;
  } catch (...) {
    EXPECT_EQ(platform::ExceptionMessage(std::current_exception(), "?"), "?");
  }
}

}  // namespace
