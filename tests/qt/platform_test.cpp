// SPDX-License-Identifier: MIT
// The runtime services on Qt: regional settings, box prompts and colour values.
#include <gtest/gtest.h>

#include <QLocale>
#include <QPalette>

#include "qt/colors.h"
#include "qt/qt_platform.h"

namespace vandrel::qt {
namespace {

TEST(Regional, SeparatorsAndSignComeFromTheLocale) {
    Regional german = regionalOf(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.decimalSeparator, ",");
    EXPECT_EQ(german.groupSeparator, ".");
    EXPECT_EQ(german.negativeSign, "-");
    EXPECT_TRUE(german.leadingZero);
    EXPECT_FALSE(german.parentheses);
    EXPECT_TRUE(german.grouping);

    Regional english = regionalOf(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(english.decimalSeparator, ".");
    EXPECT_EQ(english.groupSeparator, ",");
    // Separators that are not plain ASCII arrive as UTF-8.
    Regional french = regionalOf(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(french.decimalSeparator, ",");
    EXPECT_EQ(QString::fromStdString(french.groupSeparator),
              QLocale(QLocale::French, QLocale::France).groupSeparator());
}

TEST(Regional, FormattedScoreUsesTheLocale) {
    Regional german = regionalOf(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatNumber(1388.89, 0, Tristate::UseDefault, Tristate::UseDefault,
                           Tristate::UseDefault, german),
              "1.389");
}

TEST(Colours, ValuesHaveRedInTheLowByte) {
    QPalette palette;
    EXPECT_EQ(toQColor(kRed, palette), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(kGreen, palette), QColor(0, 255, 0));
    EXPECT_EQ(toQColor(0x804020, palette), QColor(0x20, 0x40, 0x80));
}

TEST(Colours, SystemColoursFollowThePalette) {
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::ButtonText, QColor(4, 5, 6));
    palette.setColor(QPalette::Text, QColor(7, 8, 9));
    palette.setColor(QPalette::WindowText, QColor(10, 11, 12));
    palette.setColor(QPalette::Base, QColor(13, 14, 15));
    EXPECT_EQ(toQColor(systemColor(SystemColor::ButtonFace), palette), QColor(1, 2, 3));
    EXPECT_EQ(toQColor(systemColor(SystemColor::ButtonText), palette), QColor(4, 5, 6));
    EXPECT_EQ(toQColor(systemColor(SystemColor::WindowText), palette), QColor(7, 8, 9));
    EXPECT_EQ(toQColor(systemColor(SystemColor::MenuText), palette), QColor(10, 11, 12));
    EXPECT_EQ(toQColor(systemColor(SystemColor::WindowBackground), palette), QColor(13, 14, 15));
}

}  // namespace
}  // namespace vandrel::qt
