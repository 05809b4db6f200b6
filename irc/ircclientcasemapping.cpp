// Following how the server compares names. Its feature list (005) names the mapping with CASEMAPPING; a
// server that has not named one when its greeting ends (the end of the MOTD, or the word that it has
// none) compares as ascii, as does one that names a mapping this program does not know (casemapping.h).

#include "irc/ircclient.h"
#include "irc/textcodec.h"

namespace irc {

void TIrcClient::NoteCaseMapping(const Message& message)
{
    static const QByteArray token = "CASEMAPPING=";
    for (qsizetype i = 1; i + 1 < message.Params.size(); ++i) {
        if (message.Params.at(i).startsWith(token))
            FollowCaseMapping(CaseMappingNamed(DecodeText(message.Params.at(i).mid(token.size()))));
    }
}

void TIrcClient::FollowCaseMapping(CaseMapping mapping)
{
    m_caseMappingTold = true;
    if (mapping != CurrentCaseMapping()) {
        SetCurrentCaseMapping(mapping);
        // The keys made under the mapping before.
        m_queue.Refold();
        m_ctcpTimes.clear();
    }
    Q_EMIT OnCaseMapping(mapping);
}

} // namespace irc
