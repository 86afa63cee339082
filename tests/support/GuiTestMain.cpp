#include "pages/Fonts.h"
#include "support/SanitizerOptions.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    // Widget tests never need a display; a run from a desktop shell stays off screen too.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Pages render with the same faces as in the program.
    tarvex::registerFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
