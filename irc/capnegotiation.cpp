#include "irc/capnegotiation.h"

#include "irc/textcodec.h"

namespace irc {

namespace {

// A capability list that never ends is cut short by the registration time-out; until then it is bounded.
constexpr qsizetype MaxCapListBytes = 16384;

int OutcomeNumeric(const QByteArray& command)
{
    bool ok = false;
    const int numeric = command.size() == 3 ? command.toInt(&ok) : 0;
    return ok && numeric >= 900 && numeric <= 908 ? numeric : 0;
}

} // namespace

QStringList CapNegotiation::Start(const CapSettings& settings)
{
    m_settings = settings;
    m_capList.clear();
    m_loggedIn = false;
    if (settings.Account.isEmpty() || settings.Password.isEmpty()) {
        m_step = Step::None;
        return {};
    }
    m_step = Step::Listing;
    return { QStringLiteral("CAP LS 302") };
}

std::optional<CapAction> CapNegotiation::Handle(const Message& message)
{
    if (m_step == Step::None || m_step == Step::Done)
        return std::nullopt;
    if (message.Command == "CAP")
        return HandleCap(message);
    if (message.Command == "AUTHENTICATE") {
        if (m_step != Step::Authenticating)
            return std::nullopt;
        return HandleAuthenticate(message);
    }
    if (const int numeric = OutcomeNumeric(message.Command)) {
        if (m_step != Step::Requested && m_step != Step::Authenticating)
            return std::nullopt;
        return HandleOutcome(numeric, message);
    }
    if (message.Command == "421" && m_step == Step::Listing && message.Param(1) == "CAP") {
        CapAction action;
        m_step = Step::Done;
        action.Status.append(QStringLiteral(
            "SASL: the server does not negotiate capabilities; registering without logging in."));
        action.PassOn = true;
        return action;
    }
    return std::nullopt;
}

CapAction CapNegotiation::HandleCap(const Message& message)
{
    const QByteArray subcommand = message.Param(1).toUpper();
    if (m_step == Step::Listing && subcommand == "LS") {
        const bool more = message.Param(2) == "*";
        m_capList += ' ' + message.Param(more ? 3 : 2);
        if (more && m_capList.size() < MaxCapListBytes)
            return {};
        std::optional<QByteArray> sasl;
        for (const QByteArray& capability : m_capList.split(' ')) {
            if (capability == "sasl" || capability.startsWith("sasl="))
                sasl = capability.mid(5);
        }
        if (!sasl)
            return End(QStringLiteral("SASL: the server does not offer it; registering without logging in."));
        if (!sasl->isEmpty() && !sasl->split(',').contains("PLAIN"))
            return End(QStringLiteral("SASL: the server offers only ") + DecodeText(*sasl)
                + QStringLiteral(", not PLAIN; registering without logging in."));
        m_step = Step::Requested;
        return { { QStringLiteral("CAP REQ :sasl") }, {} };
    }
    if (m_step == Step::Requested && subcommand == "ACK") {
        if (!message.Param(2).split(' ').contains("sasl"))
            return End();
        m_step = Step::Authenticating;
        return { { QStringLiteral("AUTHENTICATE PLAIN") }, {} };
    }
    if (m_step == Step::Requested && subcommand == "NAK")
        return End(QStringLiteral("SASL: the server refused it; registering without logging in."));
    return {};
}

CapAction CapNegotiation::HandleAuthenticate(const Message& message) const
{
    if (message.Param(0) != "+")
        return {};
    // PLAIN: authorisation identity, account and password, NUL-separated, in base64 pieces of 400 bytes;
    // a last piece of exactly 400 is followed by an empty one ("+").
    const QByteArray credentials
        = (m_settings.Account + QChar(0) + m_settings.Account + QChar(0) + m_settings.Password).toUtf8();
    const QByteArray encoded = credentials.toBase64();
    static constexpr qsizetype Piece = 400;
    CapAction action;
    for (qsizetype start = 0; start < encoded.size(); start += Piece)
        action.Send.append(QStringLiteral("AUTHENTICATE ") + QString::fromLatin1(encoded.mid(start, Piece)));
    if (encoded.size() % Piece == 0)
        action.Send.append(QStringLiteral("AUTHENTICATE +"));
    return action;
}

CapAction CapNegotiation::HandleOutcome(int numeric, const Message& message)
{
    // The text of the reply is its last parameter; the account name is the bot's own setting.
    const QString text = message.Params.isEmpty() ? QString() : DecodeText(message.Params.last());
    switch (numeric) {
    case 900:
        m_loggedIn = true;
        return {};
    case 903:
        m_loggedIn = true;
        return End(QStringLiteral("SASL: logged in as ") + m_settings.Account + u'.');
    case 902:
    case 904:
    case 905:
        return End(QStringLiteral("SASL: logging in as %1 failed (%2 %3); check sasl_account and "
                                  "sasl_password in tessarin.ini. Registering without logging in.")
                       .arg(m_settings.Account, QString::number(numeric), text));
    case 906:
    case 907:
        return End();
    default:
        return {};
    }
}

CapAction CapNegotiation::End(const QString& status)
{
    m_step = Step::Done;
    m_capList.clear();
    CapAction action { { QStringLiteral("CAP END") }, {} };
    if (!status.isEmpty())
        action.Status.append(status);
    return action;
}

} // namespace irc
