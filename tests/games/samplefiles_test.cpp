// The entry files shipped in files/ must have the shape the commands read: every entry present and closed.

#include "core/configfile.h"
#include "games/darkheresytables.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

const QString FilesDir = QStringLiteral(TESSARIN_FILES_DIR);

// Longer lines would not fit one IRC message.
constexpr qsizetype MaxLineChars = 400;

void ExpectEntries(const QString& name, int entries, int linesEach)
{
    const std::optional<QStringList> file = core::ReadConfigList(FilesDir + u'/' + name);
    ASSERT_TRUE(file) << name.toStdString();
    for (int n = 1; n <= entries; ++n) {
        const std::optional<QStringList> entry = games::EntryOfFile(*file, n);
        ASSERT_TRUE(entry) << name.toStdString() << " entry " << n;
        if (linesEach > 0)
            EXPECT_EQ(entry->size(), linesEach) << name.toStdString() << " entry " << n;
        else
            EXPECT_FALSE(entry->isEmpty()) << name.toStdString() << " entry " << n;
        for (const QString& line : *entry) {
            EXPECT_FALSE(line.trimmed().isEmpty()) << name.toStdString() << " entry " << n;
            EXPECT_LE(line.size(), MaxLineChars) << name.toStdString() << " entry " << n;
        }
    }
    EXPECT_FALSE(games::EntryOfFile(*file, entries + 1)) << name.toStdString() << " has more entries";
}

TEST(SampleFiles, DivinationHoldsTwentyEightEntriesOfTwoLines)
{
    ExpectEntries(QStringLiteral("Divination.txt"), 28, 2);
    // The effect line is sent right after the divination, so it must start with a blank.
    const QStringList file = *core::ReadConfigList(FilesDir + QStringLiteral("/Divination.txt"));
    for (int n = 1; n <= 28; ++n)
        EXPECT_TRUE(games::EntryOfFile(file, n)->at(1).startsWith(u' ')) << n;
}

TEST(SampleFiles, HallucinogenHoldsTenEntries)
{
    ExpectEntries(QStringLiteral("Hallucinogen.txt"), games::HallucinogenEntries, 0);
}

TEST(SampleFiles, EachCriticalHitFileHoldsTenEntries)
{
    for (const char* type : { "E", "I", "R", "X" }) {
        for (const char* zone : { "Head", "Body", "Arm", "Leg" })
            ExpectEntries(QStringLiteral("%1 %2.txt").arg(type, zone), games::CritEntries, 0);
    }
}

} // namespace
