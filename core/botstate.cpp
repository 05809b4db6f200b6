#include "core/botstate.h"

namespace core {

const ReplyPhraseList& DefaultReplyPhrases()
{
    static const ReplyPhraseList phrases {
        QStringLiteral("I can't imagine what the hell you are babbling about."),
        QStringLiteral("Silence, you funny fool! Lol banned."),
        QStringLiteral("You're not my daddy and I won't listen to you."),
        QStringLiteral("Oh let killing me be a burden on your conscience!"),
        QStringLiteral("No. And I'm logging this, you know."),
        QStringLiteral("I'm logging this, you know."),
        QStringLiteral("I seem to have lost the file with the answers. Maybe you have seen it?"),
        QStringLiteral("I relayed a message less than a minute ago, and I am no messaging system."),
        QStringLiteral("Not so fast, Speedy Gonsalez!"),
        QStringLiteral("Come on, I just told you everything."),
        QStringLiteral("Hello, daddy. I'm here and ready to accept your commands!"),
    };
    return phrases;
}

QString EffectiveCommandChar(const BotState& state)
{
    return state.CommandChar.isEmpty() ? DefaultCommandChar : state.CommandChar;
}

QString CommandPrefix(const BotState& state)
{
    const QString text = EffectiveCommandChar(state);
    const qsizetype length
        = (text.size() >= 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate()) ? 2 : 1;
    return text.left(length);
}

bool CanBeCommandChar(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text.at(i).unicode();
        // A pair of surrogates is one character; a lone surrogate is no printable one.
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (!QChar::isPrint(code) || QChar::isSpace(code))
            return false;
    }
    return true;
}

} // namespace core
