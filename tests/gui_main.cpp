// main() of the tests that need a QApplication: it must live on main's stack,
// not in a static that is destroyed after Qt's own.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
