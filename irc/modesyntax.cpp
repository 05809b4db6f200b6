#include "irc/modesyntax.h"

#include <QList>

namespace irc {

void ModeSyntax::Take(const QByteArray& token)
{
    const qsizetype equals = token.indexOf('=');
    const QByteArray name = equals < 0 ? token : token.left(equals);
    const QByteArray value = equals < 0 ? QByteArray() : token.mid(equals + 1);
    const ModeSyntax defaults;
    if (name == "-CHANMODES") {
        m_list = defaults.m_list;
        m_always = defaults.m_always;
        m_whenSet = defaults.m_whenSet;
    } else if (name == "-PREFIX") {
        m_ranks = defaults.m_ranks;
        m_symbols = defaults.m_symbols;
    } else if (name == "CHANMODES") {
        // Four groups, A to D; later groups a future server may add are not ours to read.
        const QList<QByteArray> groups = value.split(',');
        if (groups.size() < 4)
            return;
        m_list = QString::fromLatin1(groups.at(0));
        m_always = QString::fromLatin1(groups.at(1));
        m_whenSet = QString::fromLatin1(groups.at(2));
    } else if (name == "PREFIX" && equals >= 0) {
        // "(qaohv)~&@%+", or nothing for a server without ranks.
        const qsizetype close = value.indexOf(')');
        if (value.isEmpty()) {
            m_ranks.clear();
            m_symbols.clear();
        } else if (value.startsWith('(') && close > 0 && value.size() - close - 1 == close - 1) {
            m_ranks = QString::fromLatin1(value.mid(1, close - 1));
            m_symbols = QString::fromLatin1(value.mid(close + 1));
        }
    }
}

ModeKind ModeSyntax::KindOf(QChar mode) const
{
    // A server that lists a rank letter among the other groups as well means the rank.
    if (m_ranks.contains(mode))
        return ModeKind::Rank;
    if (m_list.contains(mode))
        return ModeKind::List;
    if (m_always.contains(mode))
        return ModeKind::Always;
    if (m_whenSet.contains(mode))
        return ModeKind::WhenSet;
    return ModeKind::Never;
}

bool ModeSyntax::TakesParameter(QChar mode, bool adding) const
{
    const ModeKind kind = KindOf(mode);
    return kind != ModeKind::Never && (kind != ModeKind::WhenSet || adding);
}

QChar ModeSyntax::RankOfSymbol(QChar symbol) const
{
    const qsizetype index = m_symbols.indexOf(symbol);
    return index < 0 ? QChar() : m_ranks.at(index);
}

bool ModeSyntax::IsOperatorRank(QChar rank) const
{
    const qsizetype index = m_ranks.indexOf(rank);
    return index >= 0 && index <= m_ranks.indexOf(u'o');
}

} // namespace irc
