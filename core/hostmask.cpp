#include "core/hostmask.h"

#include "irc/casemapping.h"

namespace core {

namespace {

// Whether the mask's character fits the text's character at position t: within the nick (the first
// nickLength characters) as the server compares nicks, after it with A to Z in either case.
bool SameCharacter(QChar mask, QChar text, qsizetype t, qsizetype nickLength)
{
    const irc::CaseMapping mapping = t < nickLength ? irc::CurrentCaseMapping() : irc::CaseMapping::Ascii;
    return irc::FoldChar(mask, mapping) == irc::FoldChar(text, mapping);
}

// Glob matching with one remembered star: on a mismatch the last "*" takes one more character. Linear in
// practice and never worse than the product of the lengths, so a hostile mask cannot stall the bot.
bool Glob(QStringView mask, QStringView text, qsizetype nickLength)
{
    qsizetype m = 0;
    qsizetype t = 0;
    qsizetype star = -1;
    qsizetype starText = 0;
    while (t < text.size()) {
        if (m < mask.size() && (mask[m] == u'?' || SameCharacter(mask[m], text[t], t, nickLength))) {
            ++m;
            ++t;
        } else if (m < mask.size() && mask[m] == u'*') {
            star = m++;
            starText = t;
        } else if (star >= 0) {
            m = star + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

} // namespace

bool IsAccountEntry(const QString& entry)
{
    return entry.startsWith(AccountEntryPrefix, Qt::CaseInsensitive);
}

bool IsHostmaskEntry(const QString& entry)
{
    return !IsAccountEntry(entry) && (entry.contains(u'!') || entry.contains(u'@'));
}

bool MatchesHostmask(const QString& mask, const QString& nick, const QString& address)
{
    if (nick.isEmpty() || address.isEmpty())
        return false;
    return Glob(mask, QString(nick + u'!' + address), nick.size());
}

} // namespace core
