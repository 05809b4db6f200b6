#include "core/extrasettings.h"

#include "irc/ircclient.h"

#include <QDir>
#include <QSettings>
#include <cmath>
#include <functional>
#include <optional>

namespace core {

namespace {

struct Key {
    QString Name;
    // Takes the text into the settings, or says why it cannot.
    std::function<QString(ConnectionSettings&, const QString&)> Apply;
};

const QString NotYesOrNo = QStringLiteral("is not yes or no");

std::optional<bool> ReadYesNo(const QString& text)
{
    static const QStringList yes { "1", "true", "yes", "on" };
    static const QStringList no { "0", "false", "no", "off" };
    const QString lower = text.trimmed().toLower();
    if (yes.contains(lower))
        return true;
    if (no.contains(lower))
        return false;
    return std::nullopt;
}

Key Flag(const QString& name, bool ConnectionSettings::*field)
{
    return { name, [field](ConnectionSettings& settings, const QString& text) {
                const std::optional<bool> value = ReadYesNo(text);
                if (!value)
                    return NotYesOrNo;
                settings.*field = *value;
                return QString();
            } };
}

Key Text(const QString& name, QString ConnectionSettings::*field)
{
    return { name, [field](ConnectionSettings& settings, const QString& text) {
                settings.*field = text;
                return QString();
            } };
}

// A whole number from min to max; with scale, a number of seconds (decimals allowed) kept in milliseconds.
Key Number(const QString& name, int ConnectionSettings::*field, double min, double max, int scale = 1)
{
    return { name, [field, min, max, scale](ConnectionSettings& settings, const QString& text) {
                bool ok = false;
                const double value = text.trimmed().toDouble(&ok);
                if (!ok || !std::isfinite(value) || value < min || value > max
                    || (scale == 1 && value != std::floor(value)))
                    return QStringLiteral("is not a %1 from %2 to %3")
                        .arg(
                            scale == 1 ? QStringLiteral("whole number") : QStringLiteral("number of seconds"))
                        .arg(min)
                        .arg(max);
                settings.*field = static_cast<int>(std::lround(value * scale));
                return QString();
            } };
}

const std::vector<Key>& Keys()
{
    using S = ConnectionSettings;
    static const std::vector<Key> keys {
        Flag(QStringLiteral("connection/tls"), &S::Tls),
        { QStringLiteral("connection/tls_fingerprint"),
            [](S& settings, const QString& text) {
                if (!text.trimmed().isEmpty() && irc::ParseFingerprint(text.trimmed()).isEmpty())
                    return QStringLiteral("is not a SHA-256 fingerprint (64 hex digits)");
                settings.TlsFingerprint = text.trimmed();
                return QString();
            } },
        Text(QStringLiteral("connection/sasl_account"), &S::SaslAccount),
        Text(QStringLiteral("connection/sasl_password"), &S::SaslPassword),
        Text(QStringLiteral("connection/sasl_certificate"), &S::SaslCertificate),
        Text(QStringLiteral("connection/sasl_key"), &S::SaslKey),
        Flag(QStringLiteral("connection/sasl_required"), &S::SaslRequired),
        Text(QStringLiteral("connection/nickserv_password"), &S::NickServPassword),
        Number(QStringLiteral("connection/connect_timeout"), &S::ConnectTimeoutMs, 0.1, 600, 1000),
        Number(QStringLiteral("connection/register_timeout"), &S::RegisterTimeoutMs, 0.1, 3600, 1000),
        Number(QStringLiteral("connection/dead_after"), &S::DeadAfterMs, 0.1, 86400, 1000),
        Number(QStringLiteral("connection/ping_timeout"), &S::PingTimeoutMs, 0.1, 3600, 1000),
        Number(QStringLiteral("flood/burst_lines"), &S::BurstLines, 1, 100),
        Number(QStringLiteral("flood/burst_bytes"), &S::BurstBytes, 512, 65536),
        Number(QStringLiteral("flood/line_interval"), &S::LineIntervalMs, 0, 60, 1000),
        Number(QStringLiteral("flood/queue_per_user"), &S::QueuePerUser, 1, 10000),
        Number(QStringLiteral("flood/lines_per_message"), &S::LinesPerMessage, 1, 100),
        Number(QStringLiteral("flood/ctcp_per_minute"), &S::CtcpPerMinute, 0, 100),
    };
    return keys;
}

// QSettings reads a value with commas as a list; the setting is the text as written.
QString RawText(const QVariant& value)
{
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void LoadAccessSettings(QSettings& file, ExtraSettings& settings)
{
    AccessSettings& access = settings.Access;
    const QString evidence = RawText(file.value(QStringLiteral("access/evidence"))).trimmed().toLower();
    if (evidence == QLatin1String("nick"))
        access.Proof = Evidence::Nick;
    else if (evidence == QLatin1String("account"))
        access.Proof = Evidence::Account;
    else if (!evidence.isEmpty() && evidence != QLatin1String("auto"))
        settings.Problems.append(ExtraSettingsFile
            + QStringLiteral(": access/evidence is not auto, nick or account; it keeps its default (auto)."));
    access.OwnerAccount = RawText(file.value(QStringLiteral("access/owner_account"))).trimmed();
    access.OwnerHostmask = RawText(file.value(QStringLiteral("access/owner_hostmask"))).trimmed();
}

QString Problem(const QString& key, const QString& problem)
{
    return ExtraSettingsFile + QStringLiteral(": ") + key + u' ' + problem
        + QStringLiteral("; it keeps its default.");
}

} // namespace

const QStringList& ConnectionSettingKeys()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Key& key : Keys())
            list.append(key.Name);
        return list;
    }();
    return names;
}

QString ApplyConnectionSetting(ConnectionSettings& settings, const QString& key, const QString& value)
{
    for (const Key& known : Keys()) {
        if (known.Name == key)
            return known.Apply(settings, value);
    }
    return QStringLiteral("is not a setting");
}

ExtraSettings LoadExtraSettings(const QString& filesDir)
{
    QSettings file(QDir(filesDir).filePath(ExtraSettingsFile), QSettings::IniFormat);
    ExtraSettings settings;
    settings.RequestAddress = file.value(QStringLiteral("help/request_address")).toString().trimmed();
    settings.HomePage = file.value(QStringLiteral("help/home_page")).toString().trimmed();
    settings.DrawerHost = file.value(QStringLiteral("ware/host")).toString().trimmed();
    LoadAccessSettings(file, settings);
    settings.Dice.GameMaster = file.value(QStringLiteral("dice/game_master")).toString().trimmed();
    const auto readFlag = [&file, &settings](const QString& key, bool& flag) {
        if (!file.contains(key))
            return;
        const std::optional<bool> value = ReadYesNo(RawText(file.value(key)));
        if (value)
            flag = *value;
        else
            settings.Problems.append(Problem(key, NotYesOrNo));
    };
    readFlag(QStringLiteral("commands/address_with_colon"), settings.AddressWithColon);
    readFlag(QStringLiteral("dice/inline_rolls"), settings.Dice.InlineRolls);
    for (const QString& group : { QStringLiteral("connection"), QStringLiteral("flood") }) {
        file.beginGroup(group);
        const QStringList keys = file.childKeys();
        file.endGroup();
        for (const QString& name : keys) {
            const QString key = group + u'/' + name;
            const QString problem
                = ApplyConnectionSetting(settings.Connection, key, RawText(file.value(key)));
            if (!problem.isEmpty())
                settings.Problems.append(Problem(key, problem));
        }
    }
    if (!settings.Connection.SaslCertificate.isEmpty() && !settings.Connection.Tls)
        settings.Problems.append(ExtraSettingsFile
            + QStringLiteral(": connection/sasl_certificate is only presented over TLS; set tls = yes to "
                             "log in with it."));
    return settings;
}

} // namespace core
