// Who sent a message and about what, from headers as real mail writes them: every form of From,
// encoded words in the character sets in use, folding, and what is broken stays as it came.

#include "mailbase/Header/MessageHeader.h"

#include <gtest/gtest.h>

TEST(MessageHeader, SenderAndSubjectOfRealWorldHeaders) {
    struct Case {
        std::vector<std::string> lines;
        std::string from, subject;
    };
    const Case cases[] = {
        {{"Return-Path: <alice@example.com>", "From: Alice Example <alice@example.com>",
          "Subject: Lunch?"},
         "Alice Example", "Lunch?"},
        {{"from: \"Example, Alice \\\"Al\\\"\" <alice@example.com>", "SUBJECT:  Re: Lunch  "},
         "Example, Alice \"Al\"", "Re: Lunch"},
        {{"From: bob@example.org", "Subject:"}, "bob@example.org", ""},
        {{"From: <bob@example.org>"}, "bob@example.org", ""},
        {{"From: bob@example.org (Bob Builder)"}, "Bob Builder", ""},
        {{"From: =?ISO-8859-1?Q?J=FCrgen_M=FCller?= <j@example.de>",
          "Subject: =?iso-8859-1?q?Gr=FC=DFe?="},
         "J\xC3\xBCrgen M\xC3\xBCller", "Gr\xC3\xBC\xC3\x9F" "e"},
        {{"From: \"=?UTF-8?Q?Ren=C3=A9?=\" <rene@example.fr>", "Subject: =?UTF-8?B?0J/RgNC40LLQtdGC?="},
         "Ren\xC3\xA9", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        // Folded: the whitespace between two encoded words goes, the rest stays.
        {{"Subject: =?UTF-8?Q?Caf=C3=A9?=", "\t=?UTF-8?Q?_au_lait?= for", "  two"},
         "", "Caf\xC3\xA9 au lait for  two"},
        {{"Subject: =?windows-1251?B?zvL3uPI=?= =?koi8-r?Q?=F3=DE=A3=D4?= =?ISO-8859-2?Q?Za=BF=F3=B3=E6?="},
         "", "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82\xD0\xA1\xD1\x87\xD1\x91\xD1\x82"
             "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"},
        {{"Subject: =?windows-1252?Q?=93Hi=94?= costs =?iso-8859-15?q?5=A4?="},
         "", "\xE2\x80\x9CHi\xE2\x80\x9D costs 5\xE2\x82\xAC"},
        {{"Subject: =?utf-8?b?w6k?= =?UTF-8*fr?B?zpXOu867zrfOvc65zrrOrA==?="},
         "", "\xC3\xA9\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC"},
        // Broken base64, bad hex, an unknown charset, an unknown encoding, no end: as they came.
        {{"Subject: =?UTF-8?B?@@@?= =?utf-8?q?=ZZ?= =?x-unknown?Q?abc?= =?utf-8?x?y?= =?utf-8?q?abc"},
         "", "=?UTF-8?B?@@@?= =?utf-8?q?=ZZ?= =?x-unknown?Q?abc?= =?utf-8?x?y?= =?utf-8?q?abc"},
        // Unlabelled 8-bit text is taken as Windows-1252; broken UTF-8 inside a word shows U+FFFD.
        {{"From: Gr\xFC\xDF" "e <g@example.de>", "Subject: =?utf-8?q?a=FFb?="},
         "Gr\xC3\xBC\xC3\x9F" "e", "a\xEF\xBF\xBD" "b"},
        // Line breaks and other control characters never reach the screen.
        {{"Subject: =?utf-8?q?one=0D=0Atwo=09three?=\x01"}, "", "one  two three"},
        // The first of each field counts; the body is not the header.
        {{"From: First <a@x>", "From: Second <b@x>", "X-Note: no colon follows", "",
          "Subject: not this"},
         "First", ""},
        {{"From: =?utf-8?q?" "?= <empty@example.com>", "Subject: a & b %s %n"},
         "empty@example.com", "a & b %s %n"},
        {{"Subject: no sender", "From:"}, "", "no sender"},
        {{" folded line with nothing before it", "Subject: ok"}, "", "ok"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.front());
        const TMessageSummary summary = ParseMessageHeader(c.lines);
        EXPECT_EQ(summary.From, c.from);
        EXPECT_EQ(summary.Subject, c.subject);
    }
}

TEST(MessageHeader, LongTextsAreCutAtACharacterBoundary) {
    std::string subject;
    for (int i = 0; i < 200; ++i) subject += "\xC3\xA9";  // 400 bytes of "é"
    const TMessageSummary summary = ParseMessageHeader({"Subject: x" + subject});
    EXPECT_EQ(summary.Subject, "x" + subject.substr(0, 254));
}
