#pragma once

// How the server writes channel modes, as its feature list (005) tells: which mode letters take a
// parameter (CHANMODES), and which ones rank users on a channel, with the symbols that mark those ranks in
// names lists (PREFIX). Until the server tells, the letters of RFC 2811 hold: CHANMODES=beI,k,l,imnpst
// and PREFIX=(ov)@+. The client keeps one per connection.
//
// A user counts as a channel operator while he holds "o" or a rank PREFIX lists before it, such as the
// founder "q" (~) and protected "a" (&) of InspIRCd and ngircd: those ranks carry operator rights on
// every server that has them. A half-operator ("h", %) does not count: it cannot give anyone operator
// status, and servers differ in what else it may do. Without "o" in PREFIX nobody counts.

#include <QByteArray>
#include <QString>

namespace irc {

enum class ModeKind {
    // A list such as bans (b): a parameter both ways.
    List,
    // A setting such as the key (k): a parameter both ways.
    Always,
    // A setting such as the limit (l): a parameter when set only.
    WhenSet,
    // A flag such as moderated (m), and every letter the server did not name: no parameter.
    Never,
    // A rank such as operator (o) or voice (v) given to the user the parameter names.
    Rank,
};

class ModeSyntax {
public:
    // Takes one token of a 005 line ("CHANMODES=b,k,dl,imnpst", "PREFIX=(ov)@+", or "-PREFIX" to go back
    // to the default); other tokens, and malformed values of these, change nothing.
    void Take(const QByteArray& token);

    ModeKind KindOf(QChar mode) const;
    bool TakesParameter(QChar mode, bool adding) const;
    // The rank letter a names-list symbol stands for ("@" for "o"), or a null character.
    QChar RankOfSymbol(QChar symbol) const;
    // Whether holding the rank makes a user a channel operator (see above).
    bool IsOperatorRank(QChar rank) const;
    // The ranks in order, highest first.
    const QString& Ranks() const { return m_ranks; }

private:
    QString m_list = QStringLiteral("beI");
    QString m_always = QStringLiteral("k");
    QString m_whenSet = QStringLiteral("l");
    QString m_ranks = QStringLiteral("ov");
    // The symbols of m_ranks, one for each.
    QString m_symbols = QStringLiteral("@+");
};

} // namespace irc
