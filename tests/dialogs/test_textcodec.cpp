// Tests of the byte-string boundary of the widgets and the entry-field check.
#include "dialogs/latin1validator.h"
#include "dialogs/textcodec.h"
#include "modaldriver.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace zarvo;
using zarvotest::TBeepCounter;
using zarvotest::TypeText;

TEST(TextCodec, EveryByteIsOneCharacterOfTheSameCode) {
    std::string All;
    for (int B = 0; B < 256; ++B)
        All.push_back(static_cast<char>(B));
    const QString Q = ToQt(All);
    ASSERT_EQ(Q.size(), 256);
    for (int B = 0; B < 256; ++B)
        EXPECT_EQ(Q[B].unicode(), B);
    EXPECT_EQ(FromQt(Q), All);
    EXPECT_TRUE(IsLatin1(Q));
    // Text typed on a German keyboard is stored as the Latin-1 bytes.
    EXPECT_EQ(FromQt(QString::fromUtf8("Größe µm")), "Gr\xF6\xDF" "e \xB5m");
}

TEST(TextCodec, CharactersWithoutAByteBecomeVisibleQuestionMarks) {
    const QString Euro = QString::fromUtf8("5 € und α");
    EXPECT_FALSE(IsLatin1(Euro));
    EXPECT_EQ(FromQt(Euro), "5 ? und ?");
}

TEST(Latin1Validator, RefusesWhatAStoredLineCannotHoldAndKeepsTheText) {
    QLineEdit Edit;
    Edit.setValidator(new TLatin1Validator(&Edit));
    TBeepCounter Beeps;
    TypeText(&Edit, QString::fromUtf8("aä"));
    EXPECT_EQ(Edit.text(), QString::fromUtf8("aä"));
    EXPECT_EQ(Beeps.Count(), 0);

    TypeText(&Edit, QString::fromUtf8("€"));
    EXPECT_EQ(Edit.text(), QString::fromUtf8("aä"));
    EXPECT_EQ(Beeps.Count(), 1);

    // Inserting (as paste and the character table do) is checked as a whole.
    Edit.insert(QString::fromUtf8("x→y"));
    Edit.insert("x\ny");
    Edit.insert(QString("x") + QChar(0) + "y");
    EXPECT_EQ(Edit.text(), QString::fromUtf8("aä"));
    EXPECT_EQ(Beeps.Count(), 4);

    Edit.insert(QString::fromUtf8("\tß"));
    EXPECT_EQ(FromQt(Edit.text()), "a\xE4\t\xDF");
}
