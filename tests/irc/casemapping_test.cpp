// How names compare under each case mapping, what a server's CASEMAPPING value gives, and how a key made
// under one mapping becomes a key under another.

#include "irc/casemapping.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using irc::CaseMapping;

struct PairCase {
    QString A;
    QString B;
    bool Ascii;
    bool Strict;
    bool Rfc1459;
};

TEST(CaseMapping, EachMappingTakesItsOwnPairsAsOneName)
{
    const PairCase cases[] = {
        { "Troll", "tROLL", true, true, true },
        { "#Dice", "#dice", true, true, true },
        { "Troll[1]", "troll{1}", false, true, true },
        { "a]b\\c", "A}B|C", false, true, true },
        { "x~", "X^", false, false, true },
        { "[~]", "{^}", false, false, true },
        { "#Ärger", "#ärger", false, false, false },
        { "Σ", "σ", false, false, false },
        { "troll", "troll_", false, false, false },
        { "{", "[[", false, false, false },
        // The long s and the Kelvin sign are no s and k to a server.
        { "ſ", "s", false, false, false },
        { "\u212A", "k", false, false, false },
        { "@", "`", false, false, false },
    };
    for (const PairCase& c : cases) {
        const std::pair<CaseMapping, bool> expected[] = {
            { CaseMapping::Ascii, c.Ascii },
            { CaseMapping::StrictRfc1459, c.Strict },
            { CaseMapping::Rfc1459, c.Rfc1459 },
        };
        for (const auto& [mapping, same] : expected) {
            const std::string where = (c.A + u' ' + c.B + u' ' + irc::CaseMappingName(mapping)).toStdString();
            EXPECT_EQ(irc::Fold(c.A, mapping) == irc::Fold(c.B, mapping), same) << where;
            irc::SetCurrentCaseMapping(mapping);
            EXPECT_EQ(irc::SameName(c.A, c.B), same) << where;
            EXPECT_EQ(irc::SameName(c.B, c.A), same) << where;
            EXPECT_EQ(irc::FoldName(c.A) == irc::FoldName(c.B), same) << where;
        }
    }
}

TEST(CaseMapping, AServersValueNamesItsMappingAndAnUnknownOneGivesAscii)
{
    const std::pair<QString, CaseMapping> cases[] = {
        { "ascii", CaseMapping::Ascii },
        { "rfc1459", CaseMapping::Rfc1459 },
        { "RFC1459", CaseMapping::Rfc1459 },
        { "rfc1459-strict", CaseMapping::StrictRfc1459 },
        { "strict-rfc1459", CaseMapping::Ascii },
        { "rfc7613", CaseMapping::Ascii },
        { "ru_RU.cp1251-charlink", CaseMapping::Ascii },
        { "", CaseMapping::Ascii },
    };
    for (const auto& [value, mapping] : cases)
        EXPECT_EQ(irc::CaseMappingNamed(value), mapping) << value.toStdString();
    for (const CaseMapping mapping : { CaseMapping::Ascii, CaseMapping::StrictRfc1459, CaseMapping::Rfc1459 })
        EXPECT_EQ(irc::CaseMappingNamed(irc::CaseMappingName(mapping)), mapping);
}

// Towards a mapping that folds more, a key is folded again; towards one that folds less, a key holding a
// character the old mapping folded onto may stand for names the new one tells apart, and has no key.
TEST(CaseMapping, AKeyIsFoldedAgainOrHasNoKeyWhereTheNewMappingPartsItsNames)
{
    struct Case {
        QString Key;
        CaseMapping From;
        CaseMapping To;
        std::optional<QString> Refolded;
    };
    const Case cases[] = {
        { "troll[1]", CaseMapping::Ascii, CaseMapping::Rfc1459, "troll{1}" },
        { "a~b\\", CaseMapping::Ascii, CaseMapping::StrictRfc1459, "a~b|" },
        { "a~b|", CaseMapping::StrictRfc1459, CaseMapping::Rfc1459, "a^b|" },
        { "#ärger", CaseMapping::Ascii, CaseMapping::Rfc1459, "#ärger" },
        { "troll{1}", CaseMapping::Rfc1459, CaseMapping::Ascii, std::nullopt },
        { "a^b", CaseMapping::Rfc1459, CaseMapping::StrictRfc1459, std::nullopt },
        { "a|b", CaseMapping::Rfc1459, CaseMapping::StrictRfc1459, "a|b" },
        { "a|b", CaseMapping::StrictRfc1459, CaseMapping::Ascii, std::nullopt },
        { "a^b", CaseMapping::StrictRfc1459, CaseMapping::Ascii, "a^b" },
        { "troll_1", CaseMapping::Rfc1459, CaseMapping::Ascii, "troll_1" },
        { "troll{1}", CaseMapping::Rfc1459, CaseMapping::Rfc1459, "troll{1}" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(irc::Refold(c.Key, c.From, c.To), c.Refolded)
            << (c.Key + u' ' + irc::CaseMappingName(c.From) + u' ' + irc::CaseMappingName(c.To))
                   .toStdString();
    }
}

} // namespace
