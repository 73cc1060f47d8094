// The values of a reply: integers and base64.
#include "platform/soap/opconvert.h"

#include <gtest/gtest.h>

#include "platform/rtl/codepage.h"

using namespace platform::soap;

namespace {

TEST(SoapValues, IntegersAndBase64) {
  EXPECT_EQ(ParseSoapInteger(u" -2147483648 "), -2147483647 - 1);
  EXPECT_EQ(ParseSoapInteger(u"+17"), 17);
  for (const char16_t* bad : {u"", u"-", u"2147483648", u"1.5", u"12x", u"99999999999999999999"})
    EXPECT_THROW(ParseSoapInteger(bad), ESOAPDomConvertError) << platform::WideToAnsi(bad);
  EXPECT_EQ(ParseBase64(u"/9j/\r\n4A=="), (TByteDynArray{0xFF, 0xD8, 0xFF, 0xE0}));
  EXPECT_TRUE(ParseBase64(u"").empty());
  EXPECT_THROW(ParseBase64(u"@@@@"), ESOAPDomConvertError);
}

}  // namespace
