#include "irc/capnegotiation.h"

#include "irc/textcodec.h"

namespace irc {

namespace {

// A capability list that never ends is cut short by the registration time-out; until then it is bounded.
constexpr qsizetype MaxCapListBytes = 16384;

// The capabilities through which the server tells which services account each user is logged in to.
const QByteArray AccountCapabilities[] = { "account-notify", "account-tag", "extended-join" };

int OutcomeNumeric(const QByteArray& command)
{
    bool ok = false;
    const int numeric = command.size() == 3 ? command.toInt(&ok) : 0;
    return ok && numeric >= 900 && numeric <= 908 ? numeric : 0;
}

// The capabilities of an ACK, NAK or DEL line: the last parameter, after a "*" that marks more to come.
QList<QByteArray> CapabilitiesOf(const Message& message)
{
    QList<QByteArray> names;
    const QByteArray list = message.Params.isEmpty() ? QByteArray() : message.Params.last();
    for (const QByteArray& name : list.split(' ')) {
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

} // namespace

QStringList CapNegotiation::Start(const CapSettings& settings)
{
    m_settings = settings;
    m_capList.clear();
    m_enabled.clear();
    m_saslRequested = false;
    m_loggedIn = false;
    m_step = Step::Listing;
    return { QStringLiteral("CAP LS 302") };
}

std::optional<CapAction> CapNegotiation::Handle(const Message& message)
{
    if (m_step == Step::None)
        return std::nullopt;
    if (message.Command == "CAP")
        return HandleCap(message);
    if (m_step == Step::Done)
        return std::nullopt;
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
        CapAction action
            = End(m_settings.WantsLogin() ? QStringLiteral("SASL: the server does not negotiate capabilities")
                                          : QString());
        action.Send.clear();
        action.PassOn = !action.GiveUp && m_settings.WantsLogin();
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
        return HandleList(std::exchange(m_capList, QByteArray()));
    }
    if (m_step == Step::Requested && subcommand == "ACK") {
        for (const QByteArray& name : CapabilitiesOf(message)) {
            if (!name.startsWith('-'))
                m_enabled.insert(name);
        }
        if (message.Param(2) == "*")
            return {};
        // A login the list already ruled out has been reported.
        if (!m_saslRequested)
            return End();
        if (!Enabled("sasl"))
            return End(QStringLiteral("SASL: the server refused it"));
        m_step = Step::Authenticating;
        return { { QStringLiteral("AUTHENTICATE ") + Mechanism() }, {} };
    }
    if (m_step == Step::Requested && subcommand == "NAK")
        return End(m_saslRequested ? QStringLiteral("SASL: the server refused it") : QString());
    if (subcommand == "DEL") {
        for (const QByteArray& name : CapabilitiesOf(message))
            m_enabled.remove(name);
    }
    return {};
}

CapAction CapNegotiation::HandleList(const QByteArray& offered)
{
    QStringList wanted;
    std::optional<QByteArray> sasl;
    for (const QByteArray& capability : offered.split(' ')) {
        const QByteArray name = capability.split('=').first();
        if (name == "sasl")
            sasl = capability.mid(5);
        for (const QByteArray& accounts : AccountCapabilities) {
            if (name == accounts)
                wanted.append(QString::fromLatin1(name));
        }
    }
    QString loginProblem;
    if (m_settings.WantsLogin()) {
        if (!sasl)
            loginProblem = QStringLiteral("SASL: the server does not offer it");
        else if (!sasl->isEmpty() && !sasl->split(',').contains(Mechanism().toLatin1()))
            loginProblem = QStringLiteral("SASL: the server offers only ") + DecodeText(*sasl)
                + QStringLiteral(", not ") + Mechanism();
        else
            wanted.append(QStringLiteral("sasl"));
        m_saslRequested = loginProblem.isEmpty();
    }
    if (!loginProblem.isEmpty() && m_settings.Required)
        return End(loginProblem);
    if (wanted.isEmpty())
        return End(loginProblem);
    m_step = Step::Requested;
    CapAction action { { QStringLiteral("CAP REQ :") + wanted.join(u' ') }, {} };
    if (!loginProblem.isEmpty())
        action.Status.append(loginProblem + QStringLiteral("; registering without logging in."));
    return action;
}

CapAction CapNegotiation::HandleAuthenticate(const Message& message) const
{
    if (message.Param(0) != "+")
        return {};
    // EXTERNAL asks for the account the certificate belongs to: an empty answer lets the services choose.
    if (m_settings.External)
        return { { QStringLiteral("AUTHENTICATE +") }, {} };
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
    // The text of the reply is its last parameter; the account name is the bot's own setting, or the one
    // the services name for the certificate (the third parameter of 900).
    const QString text = message.Params.isEmpty() ? QString() : DecodeText(message.Params.last());
    switch (numeric) {
    case 900:
        m_loggedIn = true;
        if (m_settings.External)
            m_settings.Account = DecodeText(message.Param(2));
        return {};
    case 903:
        m_loggedIn = true;
        return End();
    case 902:
    case 904:
    case 905:
        return End(m_settings.External
                ? QStringLiteral("SASL: logging in with the client certificate failed (%1 %2); check "
                                 "sasl_certificate and sasl_key in tessarin.ini, and that the services know "
                                 "the certificate's fingerprint")
                      .arg(QString::number(numeric), text)
                : QStringLiteral("SASL: logging in as %1 failed (%2 %3); check sasl_account and "
                                 "sasl_password in tessarin.ini")
                      .arg(m_settings.Account, QString::number(numeric), text));
    case 906:
    case 907:
        return End(m_settings.Required ? QStringLiteral("SASL: the login was aborted") : QString());
    default:
        return {};
    }
}

CapAction CapNegotiation::End(const QString& loginProblem)
{
    m_step = Step::Done;
    m_capList.clear();
    CapAction action { { QStringLiteral("CAP END") }, {} };
    if (m_loggedIn)
        action.Status.append(QStringLiteral("SASL: logged in as ") + m_settings.Account + u'.');
    else if (!loginProblem.isEmpty() && m_settings.Required) {
        action.Status.append(loginProblem
            + QStringLiteral("; sasl_required is set, so the bot disconnects and tries again later."));
        action.GiveUp = true;
    } else if (!loginProblem.isEmpty())
        action.Status.append(loginProblem + QStringLiteral("; registering without logging in."));
    return action;
}

std::optional<QString> CapNegotiation::Welcomed()
{
    m_step = Step::Done;
    if (!m_settings.Required || m_loggedIn)
        return std::nullopt;
    return QStringLiteral("SASL: the server welcomed the bot without a login; sasl_required is set, so the "
                          "bot disconnects and tries again later.");
}

QString CapNegotiation::Mechanism() const
{
    return m_settings.External ? QStringLiteral("EXTERNAL") : QStringLiteral("PLAIN");
}

} // namespace irc
