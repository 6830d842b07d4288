#include <gtest/gtest.h>

#include <set>
#include <string>

#include "aax-library/AAX_Exception.h"
#include "aax-library/AAX_Results.h"

TEST(Results, EveryCodeOfTheTableHasItsOwnName) {
  std::set<std::string> names;
  for (AAX_Result code = -20001; code >= -20046; --code) {
    const std::string name = AAX::AsStringResult(code);
    EXPECT_TRUE(name.rfind("AAX_ERROR_", 0) == 0 || name.rfind("AAX_RESULT_", 0) == 0) << code << " " << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 46u);
}

TEST(Results, NamesOfTheCodesThePluginUses) {
  EXPECT_STREQ(AAX::AsStringResult(0), "AAX_SUCCESS");
  EXPECT_STREQ(AAX::AsStringResult(-20001), "AAX_ERROR_INVALID_PARAMETER_ID");
  EXPECT_STREQ(AAX::AsStringResult(-20002), "AAX_ERROR_INVALID_STRING_CONVERSION");
  EXPECT_STREQ(AAX::AsStringResult(-20004), "AAX_ERROR_NULL_OBJECT");
  EXPECT_STREQ(AAX::AsStringResult(-20006), "AAX_ERROR_INVALID_CHUNK_INDEX");
  EXPECT_STREQ(AAX::AsStringResult(-20007), "AAX_ERROR_INVALID_CHUNK_ID");
  EXPECT_STREQ(AAX::AsStringResult(-20009), "AAX_ERROR_UNIMPLEMENTED");
  EXPECT_STREQ(AAX::AsStringResult(-20011), "AAX_ERROR_NOT_INITIALIZED");
  EXPECT_STREQ(AAX::AsStringResult(-20033), "AAX_ERROR_SIGNED_INT_OVERFLOW");
  EXPECT_STREQ(AAX::AsStringResult(-20042), "AAX_ERROR_UNKNOWN_EXCEPTION");
  EXPECT_STREQ(AAX::AsStringResult(-20046), "AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW");
}

TEST(Results, PluginRangeAndUnknownCodesAtTheirBoundaries) {
  EXPECT_STREQ(AAX::AsStringResult(-21000), "plug-in defined error");
  EXPECT_STREQ(AAX::AsStringResult(-20600), "plug-in defined error");
  EXPECT_STREQ(AAX::AsStringResult(-20800), "plug-in defined error");
  for (AAX_Result code : {-21001, -20599, -20047, -20051, -20000, 1, -1, INT32_MIN, INT32_MAX}) {
    EXPECT_STREQ(AAX::AsStringResult(code), "<unknown error code>") << code;
  }
}

TEST(Results, DescriptionIsNameAndDecimalCode) {
  EXPECT_EQ(AAX::DescribeResult(-20004), "AAX_ERROR_NULL_OBJECT (-20004)");
  EXPECT_EQ(AAX::DescribeResult(0), "AAX_SUCCESS (0)");
  EXPECT_EQ(AAX::DescribeResult(-20700), "plug-in defined error (-20700)");
  EXPECT_EQ(AAX::DescribeResult(42), "<unknown error code> (42)");
}

TEST(Exceptions, MessageJoinsDescriptionFunctionAndLine) {
  EXPECT_EQ(AAX::Exception::Any("broken").What(), "broken");
  EXPECT_EQ(AAX::Exception::Any("broken", "Describe").What(), "broken func:Describe");
  EXPECT_EQ(AAX::Exception::Any("broken", "", "12").What(), "broken line:12");
  EXPECT_EQ(AAX::Exception::Any("broken", "Describe", "12").What(), "broken func:Describe line:12");
}

TEST(Exceptions, ResultErrorCarriesCodeAndDescription) {
  const AAX::Exception::ResultError error(AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(error.Result(), -20004);
  EXPECT_EQ(error.Description(), "AAX_ERROR_NULL_OBJECT (-20004)");
  EXPECT_EQ(error.What(), "AAX_ERROR_NULL_OBJECT (-20004)");
  const AAX::Exception::ResultError located(AAX_ERROR_INVALID_CHUNK_ID, "GetChunk", "7");
  EXPECT_EQ(located.What(), "AAX_ERROR_INVALID_CHUNK_ID (-20007) func:GetChunk line:7");
  // Caught as the base as well.
  try {
    throw AAX::Exception::ResultError(AAX_ERROR_UNIMPLEMENTED);
  } catch (const AAX::Exception::Any& any) {
    EXPECT_EQ(any.Description(), "AAX_ERROR_UNIMPLEMENTED (-20009)");
  }
}
