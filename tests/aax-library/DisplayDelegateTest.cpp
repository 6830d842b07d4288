#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "aax-library/AAX_CBinaryDisplayDelegate.h"
#include "aax-library/AAX_CNumberDisplayDelegate.h"
#include "aax-library/AAX_CStringDisplayDelegate.h"
#include "aax-library/AAX_CUnitDisplayDelegateDecorator.h"

namespace {
template <typename Delegate, typename T>
std::string Show(const Delegate& delegate, T value) {
  AAX_CString text;
  delegate.ValueToString(value, &text);
  return text.StdString();
}
template <typename Delegate, typename T>
std::string Show(const Delegate& delegate, T value, int32_t maxChars) {
  AAX_CString text;
  delegate.ValueToString(value, maxChars, &text);
  return text.StdString();
}
}  // namespace

TEST(NumberDisplay, FixedPointWithItsPrecision) {
  const AAX_CNumberDisplayDelegate<double, 2> twoPlaces;
  EXPECT_EQ(Show(twoPlaces, 3.0), "3.00");
  EXPECT_EQ(Show(twoPlaces, -0.125), "-0.12");  // exact binary half: rounds to even
  EXPECT_EQ(Show(twoPlaces, 1234.5678), "1234.57");
  const AAX_CNumberDisplayDelegate<int32_t, 0> whole;
  EXPECT_EQ(Show(whole, 7), "7");
  EXPECT_EQ(Show(whole, -12), "-12");
}

TEST(NumberDisplay, MaximumCutsAndDropsATrailingPoint) {
  const AAX_CNumberDisplayDelegate<double, 2> delegate;
  EXPECT_EQ(Show(delegate, 12.345, 3), "12");    // "12." loses its point
  EXPECT_EQ(Show(delegate, 12.345, 4), "12.3");
  EXPECT_EQ(Show(delegate, 12.345, 2), "12");
  EXPECT_EQ(Show(delegate, 12.345, 1), "1");
  EXPECT_EQ(Show(delegate, 12.345, 0), "");
  EXPECT_EQ(Show(delegate, 12.345, -5), "");     // negative counts as 0
  EXPECT_EQ(Show(delegate, 12.5, 50), "12.50");
  const AAX_CNumberDisplayDelegate<int32_t, 0> whole;
  EXPECT_EQ(Show(whole, 123456, 3), "123");
}

TEST(NumberDisplay, ReadsLikeAStreamAndTruncatesIntegers) {
  const AAX_CNumberDisplayDelegate<double, 2> real;
  double d = -1.0;
  EXPECT_TRUE(real.StringToValue(AAX_CString("12.5dB"), &d));
  EXPECT_DOUBLE_EQ(d, 12.5);
  EXPECT_TRUE(real.StringToValue(AAX_CString("  -3e2"), &d));
  EXPECT_DOUBLE_EQ(d, -300.0);
  EXPECT_FALSE(real.StringToValue(AAX_CString("loud"), &d));
  EXPECT_EQ(d, 0.0);
  EXPECT_FALSE(real.StringToValue(AAX_CString(""), &d));

  const AAX_CNumberDisplayDelegate<int32_t, 0> whole;
  int32_t i = 5;
  EXPECT_TRUE(whole.StringToValue(AAX_CString("3.9"), &i));
  EXPECT_EQ(i, 3);
  EXPECT_TRUE(whole.StringToValue(AAX_CString("-3.9"), &i));
  EXPECT_EQ(i, -3);
  EXPECT_TRUE(whole.StringToValue(AAX_CString("1e12"), &i));  // beyond int32: held at the edge
  EXPECT_EQ(i, INT32_MAX);
  EXPECT_FALSE(whole.StringToValue(AAX_CString("x"), &i));
  EXPECT_EQ(i, 0);
}

TEST(UnitDisplay, AppendsTheUnitWithoutSeparator) {
  const AAX_CUnitDisplayDelegateDecorator<double> db(AAX_CNumberDisplayDelegate<double, 2>(), "dB");
  EXPECT_EQ(Show(db, -6.0), "-6.00dB");
  const AAX_CUnitDisplayDelegateDecorator<int32_t> ms(AAX_CNumberDisplayDelegate<int32_t, 0>(), " ms");
  EXPECT_EQ(Show(ms, 30), "30 ms");
}

TEST(UnitDisplay, UnitOnlyWhenTheWholeUnitFits) {
  const AAX_CUnitDisplayDelegateDecorator<double> db(AAX_CNumberDisplayDelegate<double, 2>(), "dB");
  EXPECT_EQ(Show(db, -6.0, 7), "-6.00dB");
  EXPECT_EQ(Show(db, -6.0, 6), "-6.00");   // one free character, the unit needs two
  EXPECT_EQ(Show(db, -6.0, 5), "-6.00");   // the text fills the maximum
  EXPECT_EQ(Show(db, 3.0, 6), "3.00dB");
  EXPECT_EQ(Show(db, 3.0, 3), "3.0");
  EXPECT_EQ(Show(db, 3.0, 2), "3");
  EXPECT_EQ(Show(db, 3.0, 0), "");
}

TEST(UnitDisplay, ParsesWithOrWithoutTheUnit) {
  const AAX_CUnitDisplayDelegateDecorator<double> db(AAX_CNumberDisplayDelegate<double, 2>(), "dB");
  double v = 0.0;
  EXPECT_TRUE(db.StringToValue(AAX_CString("-4.5dB"), &v));
  EXPECT_DOUBLE_EQ(v, -4.5);
  EXPECT_TRUE(db.StringToValue(AAX_CString("2.25"), &v));
  EXPECT_DOUBLE_EQ(v, 2.25);
  EXPECT_FALSE(db.StringToValue(AAX_CString("dB"), &v));  // the unit alone goes whole to the number
  const AAX_CUnitDisplayDelegateDecorator<int32_t> hz(AAX_CNumberDisplayDelegate<int32_t, 0>(), "Hz");
  int32_t i = 0;
  EXPECT_TRUE(hz.StringToValue(AAX_CString("440Hz"), &i));
  EXPECT_EQ(i, 440);
  // Round trip of every displayed value.
  for (int32_t value = -50; value <= 50; value += 7) {
    AAX_CString text;
    hz.ValueToString(value, &text);
    ASSERT_TRUE(hz.StringToValue(text, &i));
    EXPECT_EQ(i, value);
  }
}

TEST(UnitDisplay, CloneOwnsItsInnerDelegate) {
  auto* original =
      new AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double, 2>(), AAX_CString("%"));
  std::unique_ptr<AAX_IDisplayDelegate<double>> clone(original->Clone());
  delete original;
  EXPECT_EQ(Show(*clone, 50.0), "50.00%");
}

TEST(StringDisplay, NamedValuesAndTheirTexts) {
  const std::map<int32_t, AAX_CString> names = {{0, "Off"}, {1, "Soft"}, {2, "Hard"}, {4, "Brick"}};
  const AAX_CStringDisplayDelegate<int32_t> delegate(names);
  EXPECT_EQ(Show(delegate, 1), "Soft");
  EXPECT_EQ(Show(delegate, 4, 2), "Brick");  // the maximum is ignored
  AAX_CString text;
  EXPECT_FALSE(delegate.ValueToString(3, &text));
  EXPECT_EQ(text.StdString(), "String Not Found");
  EXPECT_FALSE(delegate.ValueToString(3, 10, &text));
  EXPECT_EQ(text.StdString(), "String Not Found");
  int32_t value = -1;
  EXPECT_TRUE(delegate.StringToValue(AAX_CString("Hard"), &value));
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(delegate.StringToValue(AAX_CString("hard"), &value));  // exact match only
  EXPECT_EQ(value, 0);
}

TEST(BinaryDisplay, TextsAndShortenedPairs) {
  AAX_CBinaryDisplayDelegate<bool> delegate("bypass", "on");
  EXPECT_EQ(Show(delegate, true), "on");
  EXPECT_EQ(Show(delegate, false), "bypass");
  EXPECT_EQ(Show(delegate, false, 2), "bypass");  // no pairs: the full text
  delegate.AddShortenedStrings("byp", "on", 3);
  delegate.AddShortenedStrings("b", "1", 1);
  EXPECT_EQ(Show(delegate, false, 6), "bypass");
  EXPECT_EQ(Show(delegate, false, 10), "bypass");
  EXPECT_EQ(Show(delegate, false, 5), "byp");
  EXPECT_EQ(Show(delegate, false, 3), "byp");
  EXPECT_EQ(Show(delegate, false, 2), "b");
  EXPECT_EQ(Show(delegate, true, 1), "1");
  EXPECT_EQ(Show(delegate, false, 0), "b");   // nothing fits: the shortest pair
  EXPECT_EQ(Show(delegate, false, -3), "b");
  bool value = true;
  EXPECT_TRUE(delegate.StringToValue(AAX_CString("on"), &value));
  EXPECT_TRUE(value);
  EXPECT_TRUE(delegate.StringToValue(AAX_CString("bypass"), &value));
  EXPECT_FALSE(value);
  value = true;
  EXPECT_FALSE(delegate.StringToValue(AAX_CString("maybe"), &value));
  EXPECT_FALSE(value);
}
