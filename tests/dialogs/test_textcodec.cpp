// Tests of the byte-string boundary of the widgets and the entry-field check.
#include "dialogs/ansivalidator.h"
#include "dialogs/textcodec.h"
#include "modaldriver.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::TBeepCounter;
using zarvotest::TypeText;

TEST(TextCodec, EveryByteIsOneCharacterOfTheAnsiCodePage) {
    std::string All;
    for (int B = 0; B < 256; ++B)
        All.push_back(static_cast<char>(B));
    const QString Q = ToQt(All);
    ASSERT_EQ(Q.size(), 256);
    // Latin-1 outside 0x80..0x9F; the five unassigned codes keep their own code.
    for (int B : {0, 0x41, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0xA0, 0xE4, 0xFF})
        EXPECT_EQ(Q[B].unicode(), B) << B;
    EXPECT_EQ(Q.mid(0x80, 32), QString::fromUtf8("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"
                                                 "\u0090‘’“”•–—˜™š›œ\u009DžŸ"));
    EXPECT_EQ(FromQt(Q), All);
    EXPECT_TRUE(IsAnsi(Q));
    // Text typed on a German keyboard is stored as the code page's bytes.
    EXPECT_EQ(FromQt(QString::fromUtf8("„Größe“ 5 € µm")), "\x84Gr\xF6\xDF"
                                                           "e\x93 5 \x80 \xB5m");
}

TEST(TextCodec, CharactersWithoutAByteBecomeVisibleQuestionMarks) {
    const QString Alpha = QString::fromUtf8("5 \u0080 und α");
    EXPECT_FALSE(IsAnsi(Alpha));
    EXPECT_EQ(FromQt(Alpha), "5 ? und ?");
}

TEST(AnsiValidator, RefusesWhatAStoredLineCannotHoldAndKeepsTheText) {
    QLineEdit Edit;
    Edit.setValidator(new TAnsiValidator(&Edit));
    TBeepCounter Beeps;
    // Every character of the code page, up to U+00FF, the last one.
    TypeText(&Edit, QString::fromUtf8("aä„€–ŸÿŒ"));
    EXPECT_EQ(Edit.text(), QString::fromUtf8("aä„€–ŸÿŒ"));
    EXPECT_EQ(Beeps.Count(), 0);
    Edit.setText(QString::fromUtf8("aä"));

    TypeText(&Edit, QString::fromUtf8("α"));
    EXPECT_EQ(Edit.text(), QString::fromUtf8("aä"));
    EXPECT_EQ(Beeps.Count(), 1);
    // The five codes without a character are refused, each with a beep.
    for (char16_t U : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        Edit.insert(QString(QChar(U)));
    EXPECT_EQ(Edit.text(), QString::fromUtf8("aä"));
    EXPECT_EQ(Beeps.Count(), 6);

    // Inserting (as paste and the character table do) is checked as a whole.
    Edit.insert(QString::fromUtf8("x→y"));
    Edit.insert("x\ny");
    Edit.insert(QString("x") + QChar(0) + "y");
    EXPECT_EQ(Edit.text(), QString::fromUtf8("aä"));
    EXPECT_EQ(Beeps.Count(), 9);

    Edit.insert(QString::fromUtf8("\tß…"));
    EXPECT_EQ(FromQt(Edit.text()), "a\xE4\t\xDF\x85");
}
