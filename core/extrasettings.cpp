#include "core/extrasettings.h"

#include "irc/ircclient.h"

#include <QDir>
#include <QSettings>
#include <algorithm>
#include <cmath>

namespace core {

namespace {

// Each row reaches its field through an accessor, [](auto& s) -> auto& { return s.Connection.Tls; }, which
// serves for reading (a const settings record) and for writing alike.

template <typename Field> SettingKey Flag(const QString& name, const QString& comment, Field field)
{
    return { name, comment,
        [field](ExtraSettings& settings, const QString& text) {
            static const QStringList yes { "1", "true", "yes", "on" };
            static const QStringList no { "0", "false", "no", "off" };
            const QString lower = text.trimmed().toLower();
            if (!yes.contains(lower) && !no.contains(lower))
                return QStringLiteral("is not yes or no");
            field(settings) = yes.contains(lower);
            return QString();
        },
        [field](const ExtraSettings& settings) {
            return field(settings) ? QStringLiteral("yes") : QStringLiteral("no");
        } };
}

// Text taken as written; with trimmed, without the blanks around it.
template <typename Field>
SettingKey Text(const QString& name, const QString& comment, Field field, bool trimmed = false)
{
    return { name, comment,
        [field, trimmed](ExtraSettings& settings, const QString& text) {
            field(settings) = trimmed ? text.trimmed() : text;
            return QString();
        },
        [field](const ExtraSettings& settings) { return QString(field(settings)); } };
}

template <typename Field> SettingKey Password(const QString& name, const QString& comment, Field field)
{
    SettingKey key = Text(name, comment, field);
    key.Secret = true;
    return key;
}

// A whole number from min to max; with scale, a number of seconds (decimals allowed) kept in milliseconds.
template <typename Field>
SettingKey Number(
    const QString& name, const QString& comment, Field field, double min, double max, int scale = 1)
{
    return { name, comment,
        [field, min, max, scale](ExtraSettings& settings, const QString& text) {
            bool ok = false;
            const double value = text.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(value) || value < min || value > max
                || (scale == 1 && value != std::floor(value)))
                return QStringLiteral("is not a %1 from %2 to %3")
                    .arg(scale == 1 ? QStringLiteral("whole number") : QStringLiteral("number of seconds"))
                    .arg(min)
                    .arg(max);
            field(settings) = static_cast<int>(std::lround(value * scale));
            return QString();
        },
        [field, scale](const ExtraSettings& settings) {
            return QString::number(static_cast<double>(field(settings)) / scale);
        } };
}

// A time: seconds in the file (decimals allowed), milliseconds in the settings the IRC client takes. The one
// place where the file's unit becomes the client's.
template <typename Field>
SettingKey Seconds(const QString& name, const QString& comment, Field field, double min, double max)
{
    constexpr int MsPerSecond = 1000;
    return Number(name, comment, field, min, max, MsPerSecond);
}

// One of a few words, each standing for a value.
template <typename Field, typename Value>
SettingKey Choice(
    const QString& name, const QString& comment, Field field, std::vector<std::pair<QString, Value>> words)
{
    QStringList names;
    for (const auto& [word, value] : words)
        names.append(word);
    const QString refusal = QStringLiteral("is not one of ") + names.join(QStringLiteral(", "));
    return { name, comment,
        [field, words, refusal](ExtraSettings& settings, const QString& text) {
            for (const auto& [word, value] : words) {
                if (text.trimmed().compare(word, Qt::CaseInsensitive) == 0) {
                    field(settings) = value;
                    return QString();
                }
            }
            return refusal;
        },
        [field, words](const ExtraSettings& settings) {
            for (const auto& [word, value] : words) {
                if (field(settings) == value)
                    return word;
            }
            return QString();
        } };
}

QString CheckFingerprint(const QString& text)
{
    if (!text.trimmed().isEmpty() && irc::ParseFingerprint(text.trimmed()).isEmpty())
        return QStringLiteral("is not a SHA-256 fingerprint (64 hex digits)");
    return QString();
}

SettingKey Fingerprint(const QString& name, const QString& comment)
{
    return { name, comment,
        [](ExtraSettings& settings, const QString& text) {
            const QString problem = CheckFingerprint(text);
            if (problem.isEmpty())
                settings.Connection.TlsFingerprint = text.trimmed();
            return problem;
        },
        [](const ExtraSettings& settings) { return settings.Connection.TlsFingerprint; } };
}

// Groups whose unknown keys have always been passed over in silence; in every other group of the table an
// unknown key is a problem for the command log.
const QStringList LenientGroups { QStringLiteral("help"), QStringLiteral("ware") };

// QSettings reads a value with commas as a list; the setting is the text as written.
QString RawText(const QVariant& value)
{
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

// A value as QSettings reads it back unchanged: quoted when it has a character the format gives a meaning.
QString IniValue(const QString& value)
{
    static const QString special = QStringLiteral(",;\"\\=");
    const bool plain = std::none_of(value.cbegin(), value.cend(), [](QChar c) { return special.contains(c); })
        && value.trimmed() == value && !value.startsWith(u'@');
    if (plain)
        return value;
    QString quoted = value;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + quoted + u'"';
}

// A comment as lines of at most about a hundred characters, each opened by "; ".
QString CommentLines(const QString& comment)
{
    constexpr qsizetype Width = 100;
    QString lines;
    QString line;
    for (const QString& word : comment.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > Width) {
            lines += QStringLiteral("; ") + line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return line.isEmpty() ? lines : lines + QStringLiteral("; ") + line + u'\n';
}

QStringList GroupsInTableOrder()
{
    QStringList groups;
    for (const SettingKey& key : SettingKeys()) {
        const QString group = key.Name.section(u'/', 0, 0);
        if (!groups.contains(group))
            groups.append(group);
    }
    return groups;
}

} // namespace

const std::vector<SettingKey>& SettingKeys()
{
    static const std::vector<SettingKey> keys {
        Text(
            QStringLiteral("help/request_address"), QStringLiteral("named in \",help dnd\" for requests"),
            [](auto& s) -> auto& { return s.RequestAddress; }, true),
        Text(
            QStringLiteral("help/home_page"), QStringLiteral("named at the end of \",help\""),
            [](auto& s) -> auto& { return s.HomePage; }, true),
        Text(
            QStringLiteral("ware/host"),
            QStringLiteral("the curiosity shop whose drawers \",ware\" opens (host or host:port)"),
            [](auto& s) -> auto& { return s.DrawerHost; }, true),
        Flag(
            QStringLiteral("connection/tls"),
            QStringLiteral(
                "TLS (usually port 6697 in settings.conf): the server's certificate must verify for "
                "its name, or be the one of tls_fingerprint"),
            [](auto& s) -> auto& { return s.Connection.Tls; }),
        Fingerprint(QStringLiteral("connection/tls_fingerprint"),
            QStringLiteral("the SHA-256 fingerprint of a self-signed server's certificate (a failed connect "
                           "logs it)")),
        Text(
            QStringLiteral("connection/sasl_account"),
            QStringLiteral("log in with SASL PLAIN while registering"),
            [](auto& s) -> auto& { return s.Connection.SaslAccount; }),
        Password(
            QStringLiteral("connection/sasl_password"),
            QStringLiteral("quote a password with commas or semicolons; keep this file readable by the bot "
                           "alone"),
            [](auto& s) -> auto& { return s.Connection.SaslPassword; }),
        Text(
            QStringLiteral("connection/sasl_certificate"),
            QStringLiteral("or log in with a client certificate over TLS (SASL EXTERNAL): its PEM file ..."),
            [](auto& s) -> auto& { return s.Connection.ClientCertificate; }, true),
        Text(
            QStringLiteral("connection/sasl_key"),
            QStringLiteral("... and its key's (empty when the certificate's file holds the key)"),
            [](auto& s) -> auto& { return s.Connection.ClientKey; }, true),
        Flag(
            QStringLiteral("connection/sasl_required"),
            QStringLiteral("not logged in with SASL: disconnect and try again later instead of staying"),
            [](auto& s) -> auto& { return s.Connection.SaslRequired; }),
        Password(
            QStringLiteral("connection/nickserv_password"),
            QStringLiteral("for networks without SASL: IDENTIFY to NickServ after the welcome"),
            [](auto& s) -> auto& { return s.Connection.NickServPassword; }),
        Seconds(
            QStringLiteral("connection/connect_timeout"), QStringLiteral("seconds to make the connection"),
            [](auto& s) -> auto& { return s.Connection.ConnectTimeoutMs; }, 0.1, 600),
        Seconds(
            QStringLiteral("connection/register_timeout"),
            QStringLiteral("a server that has not welcomed the bot this long after connecting is given up"),
            [](auto& s) -> auto& { return s.Connection.RegisterTimeoutMs; }, 0.1, 3600),
        Seconds(
            QStringLiteral("connection/dead_after"),
            QStringLiteral("no line from the server for this long: the bot pings it ..."),
            [](auto& s) -> auto& { return s.Connection.IdleTimeoutMs; }, 0.1, 86400),
        Seconds(
            QStringLiteral("connection/ping_timeout"),
            QStringLiteral("... and reconnects when no answer comes in this time"),
            [](auto& s) -> auto& { return s.Connection.PingTimeoutMs; }, 0.1, 3600),
        Number(
            QStringLiteral("flood/burst_lines"),
            QStringLiteral("every line goes through one queue: a burst of this many lines and bytes ..."),
            [](auto& s) -> auto& { return s.Connection.Pace.BurstLines; }, 1, 100),
        Number(
            QStringLiteral("flood/burst_bytes"), QString(),
            [](auto& s) -> auto& { return s.Connection.Pace.BurstBytes; }, 512, 65536),
        Seconds(
            QStringLiteral("flood/line_interval"), QStringLiteral("... then one line per this many seconds"),
            [](auto& s) -> auto& { return s.Connection.Pace.IntervalMs; }, 0, 60),
        Number(
            QStringLiteral("flood/queue_per_user"),
            QStringLiteral("lines one user may have waiting; past it that user's oldest are dropped"),
            [](auto& s) -> auto& { return s.Connection.Pace.OwnerLimit; }, 1, 10000),
        Number(
            QStringLiteral("flood/lines_per_message"),
            QStringLiteral("a message too long for one line is split into at most this many lines"),
            [](auto& s) -> auto& { return s.Connection.MaxLinesPerMessage; }, 1, 100),
        Number(
            QStringLiteral("flood/ctcp_per_minute"),
            QStringLiteral("automatic CTCP answers (VERSION, PING, ...) per user and minute"),
            [](auto& s) -> auto& { return s.Connection.CtcpRepliesPerMinute; }, 0, 100),
        Choice(
            QStringLiteral("access/evidence"),
            QStringLiteral("who is the owner or privileged: auto (services accounts where the network tells "
                           "them, nicks elsewhere), nick or account"),
            [](auto& s) -> auto& { return s.Access.Proof; },
            std::vector<std::pair<QString, Evidence>> { { QStringLiteral("auto"), Evidence::Automatic },
                { QStringLiteral("nick"), Evidence::Nick },
                { QStringLiteral("account"), Evidence::Account } }),
        Text(
            QStringLiteral("access/owner_account"),
            QStringLiteral("the owner's services account, when it is not his nick"),
            [](auto& s) -> auto& { return s.Access.OwnerAccount; }, true),
        Text(
            QStringLiteral("access/owner_hostmask"),
            QStringLiteral("a nick!user@host mask (* and ?) that also makes a user the owner"),
            [](auto& s) -> auto& { return s.Access.OwnerHostmask; }, true),
        Flag(
            QStringLiteral("access/creator"),
            QStringLiteral("whoever is logged in to the services account Vaddox passes every gate, as the "
                           "bot's creator"),
            [](auto& s) -> auto& { return s.Access.CreatorPasses; }),
        Flag(
            QStringLiteral("commands/address_with_colon"),
            QStringLiteral(
                "\"Tessarin: roll 2d6\", as clients complete a nick, is a command like \"Tessarin, "
                "roll 2d6\""),
            [](auto& s) -> auto& { return s.AddressWithColon; }),
        Flag(
            QStringLiteral("dice/inline_rolls"),
            QStringLiteral("roll every [[expression]] in ordinary channel lines (at most three a line)"),
            [](auto& s) -> auto& { return s.Dice.InlineRolls; }),
        Text(
            QStringLiteral("dice/game_master"),
            QStringLiteral(
                "who sees the secret rolls of \",gmroll\": a nick, $a:account or nick!user@host mask "
                "(empty: the owner)"),
            [](auto& s) -> auto& { return s.Dice.GameMaster; }, true),
        Choice(
            QStringLiteral("dice/system"),
            QStringLiteral(
                "the game system whose pool \",r 9\" rolls where a channel has not chosen its own: "
                "none, sr3, sr4, ex, ep, dh or dryh"),
            [](auto& s) -> auto& { return s.Dice.System; }, GameSystemWords()),
        Choice(
            QStringLiteral("log/level"),
            QStringLiteral("the least serious command-log lines the console and the headless bot print: "
                           "error, warning or info (--log-level for one run)"),
            [](auto& s) -> auto& { return s.Log.Level; },
            std::vector<std::pair<QString, LogLevel>> { { QStringLiteral("error"), LogLevel::Error },
                { QStringLiteral("warning"), LogLevel::Warning },
                { QStringLiteral("info"), LogLevel::Info } }),
        Choice(
            QStringLiteral("log/stamps"),
            QStringLiteral("start each printed line with date, time and level: yes, no, or auto (on a "
                           "terminal only; the journal gets levels, and times of its own)"),
            [](auto& s) -> auto& { return s.Log.Stamps; },
            std::vector<std::pair<QString, LogStamps>> { { QStringLiteral("auto"), LogStamps::Auto },
                { QStringLiteral("yes"), LogStamps::Yes }, { QStringLiteral("no"), LogStamps::No } }),
        Flag(
            QStringLiteral("store/keep"),
            QStringLiteral("keep who was seen, the channel logs, the poker deck and the roll history in "
                           "tessarin.db across restarts (no: in memory only, a restart starts afresh)"),
            [](auto& s) -> auto& { return s.Store.Keep; }),
        Number(
            QStringLiteral("store/roll_days"),
            QStringLiteral("rolls older than this many days are forgotten"),
            [](auto& s) -> auto& { return s.Store.RollDays; }, 1, 100000),
        Number(
            QStringLiteral("store/seen_days"),
            QStringLiteral("users not seen for this many days are forgotten (0: never)"),
            [](auto& s) -> auto& { return s.Store.SeenDays; }, 0, 100000),
        Number(
            QStringLiteral("store/channel_settings"),
            QStringLiteral(
                "the most channels with settings of their own; when full, those of a channel the bot "
                "is not on and that is not a favourite give way, least recently set first"),
            [](auto& s) -> auto& { return s.Store.SettingsChannels; }, 1, 4096),
    };
    return keys;
}

const SettingKey* FindSettingKey(const QString& name)
{
    for (const SettingKey& key : SettingKeys()) {
        if (key.Name == name)
            return &key;
    }
    return nullptr;
}

const QStringList& ConnectionSettingKeys()
{
    static const QStringList names = [] {
        QStringList list;
        for (const SettingKey& key : SettingKeys()) {
            if (key.Name.startsWith(QLatin1String("connection/"))
                || key.Name.startsWith(QLatin1String("flood/")))
                list.append(key.Name);
        }
        return list;
    }();
    return names;
}

QString ApplyConnectionSetting(irc::ClientSettings& settings, const QString& key, const QString& value)
{
    if (!ConnectionSettingKeys().contains(key))
        return QStringLiteral("is not a setting");
    ExtraSettings all;
    all.Connection = settings;
    const QString problem = FindSettingKey(key)->Apply(all, value);
    settings = all.Connection;
    return problem;
}

ExtraSettings LoadExtraSettings(const QString& filesDir)
{
    QSettings file(QDir(filesDir).filePath(ExtraSettingsFile), QSettings::IniFormat);
    ExtraSettings settings;
    for (const QString& group : GroupsInTableOrder()) {
        file.beginGroup(group);
        const QStringList names = file.childKeys();
        file.endGroup();
        for (const QString& name : names) {
            const QString key = group + u'/' + name;
            const SettingKey* row = FindSettingKey(key);
            if (!row && LenientGroups.contains(group))
                continue;
            const QString problem
                = row ? row->Apply(settings, RawText(file.value(key))) : QStringLiteral("is not a setting");
            if (problem.isEmpty())
                settings.FromFile.append(key);
            else
                settings.Problems.append(ExtraSettingsFile + QStringLiteral(": ") + key + u' ' + problem
                    + QStringLiteral("; it keeps its default."));
        }
    }
    if (!settings.Connection.ClientCertificate.isEmpty() && !settings.Connection.Tls)
        settings.Problems.append(ExtraSettingsFile
            + QStringLiteral(": connection/sasl_certificate is only presented over TLS; set tls = yes to "
                             "log in with it."));
    return settings;
}

QString DefaultExtraSettingsText()
{
    const ExtraSettings defaults;
    QString text
        = QStringLiteral("; Tessarin's settings beyond the classic files, each at its default. A missing key "
                         "keeps its default;\n; times are in seconds (decimals allowed).\n");
    QString group;
    for (const SettingKey& key : SettingKeys()) {
        const QString keyGroup = key.Name.section(u'/', 0, 0);
        if (keyGroup != group) {
            group = keyGroup;
            text += QStringLiteral("\n[") + group + QStringLiteral("]\n");
        }
        text += CommentLines(key.Comment);
        const QString value = IniValue(key.Show(defaults));
        text += key.Name.section(u'/', 1)
            + (value.isEmpty() ? QStringLiteral(" =") : QStringLiteral(" = ") + value) + u'\n';
    }
    return text;
}

} // namespace core
