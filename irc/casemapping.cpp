#include "irc/casemapping.h"

#include <algorithm>

namespace irc {

namespace {

CaseMapping s_current = CaseMapping::Ascii;

struct NamedMapping {
    QLatin1StringView Name;
    CaseMapping Mapping;
};

constexpr std::array<NamedMapping, 3> Names { {
    { QLatin1StringView("ascii"), CaseMapping::Ascii },
    { QLatin1StringView("rfc1459-strict"), CaseMapping::StrictRfc1459 },
    { QLatin1StringView("rfc1459"), CaseMapping::Rfc1459 },
} };

} // namespace

CaseMapping CaseMappingNamed(QStringView value)
{
    const auto found = std::find_if(Names.cbegin(), Names.cend(),
        [value](const NamedMapping& named) { return value.compare(named.Name, Qt::CaseInsensitive) == 0; });
    return found == Names.cend() ? CaseMapping::Ascii : found->Mapping;
}

QString CaseMappingName(CaseMapping mapping)
{
    const auto found = std::find_if(Names.cbegin(), Names.cend(),
        [mapping](const NamedMapping& named) { return named.Mapping == mapping; });
    return found->Name;
}

const std::array<FoldedCharacter, 4>& FoldedPunctuation()
{
    static constexpr std::array<FoldedCharacter, 4> folded { {
        { u'[', u'{', CaseMapping::StrictRfc1459 },
        { u']', u'}', CaseMapping::StrictRfc1459 },
        { u'\\', u'|', CaseMapping::StrictRfc1459 },
        { u'~', u'^', CaseMapping::Rfc1459 },
    } };
    return folded;
}

QChar FoldChar(QChar c, CaseMapping mapping)
{
    if (c >= u'A' && c <= u'Z')
        return QChar(c.unicode() + (u'a' - u'A'));
    for (const FoldedCharacter& folded : FoldedPunctuation()) {
        if (c == folded.From && mapping >= folded.Since)
            return folded.To;
    }
    return c;
}

QString Fold(QStringView name, CaseMapping mapping)
{
    QString folded = name.toString();
    for (QChar& c : folded)
        c = FoldChar(c, mapping);
    return folded;
}

QString PartedCharacters(CaseMapping from, CaseMapping to)
{
    QString parted;
    for (const FoldedCharacter& folded : FoldedPunctuation()) {
        if (from >= folded.Since && to < folded.Since)
            parted.append(folded.To);
    }
    return parted;
}

std::optional<QString> Refold(const QString& key, CaseMapping from, CaseMapping to)
{
    const QString parted = PartedCharacters(from, to);
    if (std::any_of(key.cbegin(), key.cend(), [&parted](QChar c) { return parted.contains(c); }))
        return std::nullopt;
    return Fold(key, to);
}

CaseMapping CurrentCaseMapping()
{
    return s_current;
}

void SetCurrentCaseMapping(CaseMapping mapping)
{
    s_current = mapping;
}

QString FoldName(QStringView name)
{
    return Fold(name, s_current);
}

bool SameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldChar(a[i], s_current) != FoldChar(b[i], s_current))
            return false;
    }
    return true;
}

} // namespace irc
