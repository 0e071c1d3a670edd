// SPDX-License-Identifier: MIT
// What the window takes from the desktop: regional settings and the system colours.
#include <gtest/gtest.h>

#include <QLocale>
#include <QPalette>

#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
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

// Each system colour of the scene follows its role in the scene's palette.
TEST_F(GameWindowTest, SystemColoursFollowThePalette) {
    QPalette palette = window.scene().palette();
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::ButtonText, QColor(4, 5, 6));
    palette.setColor(QPalette::Text, QColor(7, 8, 9));
    palette.setColor(QPalette::WindowText, QColor(10, 11, 12));
    palette.setColor(QPalette::Base, QColor(13, 14, 15));
    window.scene().setPalette(palette);
    const host::Scene& scene = window.driver().scene();
    using host::Rgb;
    EXPECT_EQ(scene.rgb(systemColor(SystemColor::ButtonFace)), (Rgb{1, 2, 3}));
    EXPECT_EQ(scene.rgb(systemColor(SystemColor::ButtonText)), (Rgb{4, 5, 6}));
    EXPECT_EQ(scene.rgb(systemColor(SystemColor::WindowText)), (Rgb{7, 8, 9}));
    EXPECT_EQ(scene.rgb(systemColor(SystemColor::MenuText)), (Rgb{10, 11, 12}));
    EXPECT_EQ(scene.rgb(systemColor(SystemColor::WindowBackground)), (Rgb{13, 14, 15}));
    EXPECT_EQ(scene.rgb(kRed), (Rgb{255, 0, 0}));
}

}  // namespace
}  // namespace vandrel::qt::test
