// Test entry point: an application object so that timers and sockets work, a fixed locale so that time
// stamps read the same on every machine ("07.12.26 10:15:02"), and each test starting with names compared
// as ascii: the mapping in force is one value for the whole process, which a test before may have changed.

#include "irc/casemapping.h"

#include <QCoreApplication>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

class AsciiAtEachStart : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        irc::SetCurrentCaseMapping(irc::CaseMapping::Ascii);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new AsciiAtEachStart);
    return RUN_ALL_TESTS();
}
