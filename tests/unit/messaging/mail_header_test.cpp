// Header values, sender addresses, date texts and the list line.
#include <gtest/gtest.h>

#include "messaging/mail_header.h"

namespace halvik::messaging {
namespace {

constexpr std::string_view kHeaders =
    "+OK\n"
    "Return-Path: <a@b>\n"
    "X-Original-Subject: not this one\n"
    "SUBJECT: =?ISO-2022-JP?B?GyRCN29MPiVGJTklSBsoQg==?=\n"
    " =?ISO-2022-JP?B?IE9O?=\n"
    "From: Taro\n"
    "\tYamada <taro@example.jp>\n"
    "Date:Tue, 7 Jan 2003 20:15:00 -0000\n"
    "\n"
    "Subject: in the body\n";

TEST(HeaderValue, FindsUnfoldsAndStopsAtTheBody) {
  EXPECT_EQ(HeaderValue(kHeaders, "Subject"),
            "=?ISO-2022-JP?B?GyRCN29MPiVGJTklSBsoQg==?==?ISO-2022-JP?B?IE9O?=");
  EXPECT_EQ(HeaderValue(kHeaders, "From"), "TaroYamada <taro@example.jp>");
  EXPECT_EQ(HeaderValue(kHeaders, "date"), "Tue, 7 Jan 2003 20:15:00 -0000");
  EXPECT_EQ(HeaderValue(kHeaders, "To"), "");
  EXPECT_EQ(HeaderValue("+OK\n\nSubject: body\n", "Subject"), "");
  EXPECT_EQ(HeaderValue("Subject: last line without break", "Subject"), "last line without break");
  EXPECT_EQ(HeaderValue("Subject: a\n  b\n", "Subject"), "a b");  // one folding space dropped
}

TEST(SenderAddress, BracketedOrBare) {
  struct Case {
    std::string from, address;
  } cases[] = {
      {"Taro Yamada <taro@example.jp>", "taro@example.jp"},
      {"\"a <b>\" <taro@example.jp>  ", "taro@example.jp"},
      {"taro@example.jp", "taro@example.jp"},
      {"<taro@example.jp>", "taro@example.jp"},
      {"taro@example.jp (Taro)", "taro@example.jp (Taro)"},
      {"broken>", "broken>"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SenderAddress(c.from), c.address) << c.from;
}

TEST(DateText, JapanTimeOfTheDateValue) {
  struct Case {
    std::string date, text;
  } cases[] = {
      {"Tue, 7 Jan 2003 20:15:00 -0000", "01/08 05:15"},
      {"Tue, 7 Jan 2003 20:15:00 +0900", "01/07 20:15"},
      {"  Tue,  07 jan 2003 08:05:09 +0900 (JST)", "01/07 08:05"},
      {"7 Jan 2003 20:15:00 +0000", "01/08 05:15"},
      {"Fri, 31 Jan 2003 23:30:00 -0000", "02/01 08:30"},  // month carry
      {"Wed, 31 Dec 2003 20:00:00 GMT", "01/01 05:00"},    // year carry
      {"Tue, 7 Jan 2003 20:15:00 -0500", "01/08 10:15"},
      {"Mon, 1 Mar 2004 01:00:00 +1000", "03/01 00:00"},
      {"Sun, 29 Feb 2004 12:00 JST", "02/29 12:00"},
      {"Tue, 7 Foo 2003 20:15:00 +0900", "13/07 20:15"},   // unknown month
      {"Tue, 7 Jan 2003 20:15:00", "01/07 20:15"},          // no zone: as written
      {"", "00/00 00:00"},
      {"garbage", "00/00 00:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(DateText(c.date), c.text) << c.date;
}

TEST(ListLine, Layout) {
  EXPECT_EQ(ListLine(2, 5, "件名", "taro@example.jp", "01/07 20:15"),
            "*2/5   題名:件名   発信元:taro@example.jp   日付:01/07 20:15");
}

}  // namespace
}  // namespace halvik::messaging
