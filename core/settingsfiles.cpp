#include "core/settingsfiles.h"

#include "common/parseinteger.h"
#include "core/configfile.h"
#include "core/filebaseline.h"

#include <QDir>
#include <algorithm>

namespace core {

namespace {

QString PathOf(const QString& filesDir, const QString& name)
{
    return QDir(filesDir).filePath(name);
}

QString FlagText(bool flag)
{
    return flag ? QStringLiteral("1") : QStringLiteral("0");
}

// Reads one line after another and stops for good at the first one that is missing or malformed, so
// each step keeps what it read before the failure and defaults for the rest.
class LineReader {
public:
    // With taken, each line read is marked in it.
    explicit LineReader(const std::optional<ConfigLines>& file, SettingsLinesTaken* taken = nullptr)
        : m_file(file)
        , m_taken(taken)
    {
    }

    bool Failed() const { return m_failed; }

    // With accept, a value it refuses leaves the field as it was, and the lines after it are read on.
    void Text(std::size_t line, QString& field, bool (*accept)(const QString&) = nullptr)
    {
        if (const auto value = Take(line); value && (!accept || accept(*value))) {
            field = *value;
            Mark(line);
        }
    }

    void Flag(std::size_t line, bool& field)
    {
        if (const auto value = Take(line)) {
            field = (*value == QLatin1String("1"));
            Mark(line);
        }
    }

    void Int(std::size_t line, int& field, IntRange range)
    {
        const auto value = Take(line);
        if (!value)
            return;
        const std::optional<int> number = common::ParseInteger(*value);
        if (!number) {
            m_failed = true;
            return;
        }
        field = range.Clamp(*number);
        Mark(line);
    }

private:
    void Mark(std::size_t line)
    {
        if (m_taken && line < m_taken->size())
            (*m_taken)[line] = true;
    }

    std::optional<QString> Take(std::size_t line)
    {
        if (m_failed)
            return std::nullopt;
        std::optional<QString> value = m_file ? m_file->At(line) : std::nullopt;
        if (!value)
            m_failed = true;
        return value;
    }

    const std::optional<ConfigLines>& m_file;
    SettingsLinesTaken* m_taken;
    bool m_failed = false;
};

void ClearRuntimeFields(BotState& state)
{
    state.HelpLocked = false;
    state.MeowthActive = false;
    state.CountValue = 0;
    state.CountEnd = 0;
    state.CountStep = 0;
    state.CountPaused = false;
    state.Connected = false;
}

void ReadConnectionAndModes(
    BotState& state, const std::optional<ConfigLines>& settings, SettingsLinesTaken& taken)
{
    LineReader reader(settings, &taken);
    reader.Text(0, state.ServerAddress);
    reader.Int(1, state.ServerPort, ServerPortRange);
    reader.Text(2, state.BotNick);
    reader.Text(3, state.ChannelToJoin);
    reader.Text(4, state.OwnerNick);
    reader.Flag(14, state.Silent);
    reader.Flag(15, state.Teamrocketing);
    reader.Flag(16, state.Dicerollan);
    // A settings file that breaks off anywhere here starts the bot with all three modes off, so a damaged
    // file never leaves it silent or rolling dice unasked.
    if (reader.Failed()) {
        state.Silent = false;
        state.Teamrocketing = false;
        state.Dicerollan = false;
        for (const std::size_t mode : { 14, 15, 16 })
            taken[mode] = false;
    }
}

QStringList PhraseLines(const BotState& state)
{
    return QStringList(state.ReplyPhrases.cbegin(), state.ReplyPhrases.cend());
}

// Remembers what the file held as read, beside the lines the values read from it make.
void Remember(BotState& state, const QString& name, std::optional<ConfigLines> onDisk, QStringList ours)
{
    state.FilesAsKnown[name] = FileBaseline { std::move(onDisk), std::move(ours) };
}

// Returns how many phrases the file held.
int ReadReplyPhrases(BotState& state, const QString& filesDir)
{
    std::optional<ConfigLines> messages = ReadConfigLines(PathOf(filesDir, files::Messages));
    LineReader reader(messages);
    int read = 0;
    for (int i = 0; i < ReplyPhraseCount; ++i) {
        reader.Text(static_cast<std::size_t>(i), state.ReplyPhrases[static_cast<std::size_t>(i)]);
        read += reader.Failed() ? 0 : 1;
    }
    Remember(state, files::Messages, std::move(messages), PhraseLines(state));
    return read;
}

// The whole file as a list, as ReadConfigList takes it: empty when any line is unusable.
QStringList ListOf(const std::optional<ConfigLines>& file)
{
    QStringList list;
    for (const std::optional<QString>& line : file ? file->Lines : std::vector<std::optional<QString>>()) {
        if (!line)
            return {};
        list.append(*line);
    }
    return list;
}

// A blank around an entry would make it match nobody, unseen; an entry that is blank names nobody.
QStringList ReadUserList(BotState& state, const QString& filesDir, const QString& name)
{
    std::optional<ConfigLines> file = ReadConfigLines(PathOf(filesDir, name));
    QStringList entries;
    for (const QString& line : ListOf(file)) {
        if (const QString entry = line.trimmed(); !entry.isEmpty())
            entries.append(entry);
    }
    Remember(state, name, std::move(file), entries);
    return entries;
}

void ReadUsers(BotState& state, const QString& filesDir)
{
    state.PrivilegedUsers = ReadUserList(state, filesDir, files::Privileged);
    state.BannedUsers = ReadUserList(state, filesDir, files::Banned);
}

void ReadPrivilegesAndLimits(
    BotState& state, const std::optional<ConfigLines>& settings, SettingsLinesTaken& taken)
{
    LineReader reader(settings, &taken);
    reader.Flag(5, state.PrivilegedJoin);
    reader.Flag(6, state.PrivilegedPart);
    reader.Flag(7, state.PrivilegedSay);
    reader.Flag(8, state.PrivilegedQuit);
    reader.Flag(9, state.PrivilegedBe);
    reader.Flag(10, state.PrivilegedHow);
    reader.Int(11, state.HelpTimeout, TimeoutRange);
    reader.Int(12, state.SayTimeout, TimeoutRange);
    reader.Int(13, state.LastTimeout, TimeoutRange);
    reader.Int(17, state.LogLines, LogLinesRange);
    reader.Int(18, state.LineWidth, LineWidthRange);
    // An empty line reads as the default; a control character or a blank could not be typed or seen.
    reader.Text(CommandCharLine, state.CommandChar,
        [](const QString& text) { return text.isEmpty() || CanBeCommandChar(text); });
    reader.Int(20, state.ReconnectInterval, TimeoutRange);
    reader.Int(21, state.ReconnectAttempts, ReconnectAttemptsRange);
}

} // namespace

SettingsLinesTaken LoadAtStart(BotState& state, const QString& filesDir)
{
    SettingsLinesTaken taken {};
    ClearRuntimeFields(state);
    std::optional<ConfigLines> settings = ReadConfigLines(PathOf(filesDir, files::Settings));
    ReadConnectionAndModes(state, settings, taken);
    std::optional<ConfigLines> favorites = ReadConfigLines(PathOf(filesDir, files::FavoriteChannels));
    state.FavoriteChannels = ListOf(favorites);
    Remember(state, files::FavoriteChannels, std::move(favorites), state.FavoriteChannels);
    ReadReplyPhrases(state, filesDir);
    ReadPrivilegesAndLimits(state, settings, taken);
    Remember(state, files::Settings, std::move(settings), SettingsFileLines(state));
    ReadUsers(state, filesDir);
    return taken;
}

SettingsReload ReloadSettings(BotState& state, const QString& filesDir)
{
    std::optional<ConfigLines> disk = ReadConfigLines(PathOf(filesDir, files::Settings));
    const FileBaseline known = state.FilesAsKnown.value(files::Settings);
    if (!disk)
        return { {},
            QStringLiteral("%1 cannot be read; the settings stay as they were.").arg(files::Settings) };
    if (known.OnDisk && disk->Lines == known.OnDisk->Lines)
        return {};
    // The lines the operator edited, beside the bot's values for the others, read as at start.
    const QStringList ours = SettingsFileLines(state);
    ConfigLines merged;
    SettingsReload reload;
    for (std::size_t i = 0; i < std::max(SettingsLineCount, disk->Lines.size()); ++i) {
        const std::optional<QString> onDisk = disk->At(i);
        const bool edited = !known.OnDisk || known.OnDisk->At(i) != onDisk;
        if (edited && i < SettingsLineCount)
            reload.Edited.append(SettingsLineNames().at(i));
        merged.Lines.push_back(
            edited || i >= SettingsLineCount ? onDisk : ours.at(static_cast<qsizetype>(i)));
    }
    BotState read = state;
    SettingsLinesTaken taken {};
    ReadConnectionAndModes(read, merged, taken);
    ReadPrivilegesAndLimits(read, merged, taken);
    for (std::size_t i = 0; i < SettingsLineCount; ++i) {
        // A command character that cannot be typed keeps the one in force, as at start.
        if (!taken[i] && i != CommandCharLine)
            return { {},
                QStringLiteral("%1 was not taken: its line %2 (%3) is missing or malformed; the settings "
                               "stay as they were.")
                    .arg(files::Settings)
                    .arg(i + 1)
                    .arg(SettingsLineNames().at(i)) };
    }
    state = std::move(read);
    // What the file's values alone make, so that the bot's changes the file does not hold stay its own.
    BotState fileAlone;
    SettingsLinesTaken takenAlone {};
    ReadConnectionAndModes(fileAlone, disk, takenAlone);
    ReadPrivilegesAndLimits(fileAlone, disk, takenAlone);
    Remember(state, files::Settings, std::move(disk), SettingsFileLines(fileAlone));
    return reload;
}

int ReloadPhrasesAndUsers(BotState& state, const QString& filesDir)
{
    state.ReplyPhrases = DefaultReplyPhrases();
    const int phrases = ReadReplyPhrases(state, filesDir);
    ReadUsers(state, filesDir);
    return phrases;
}

const std::array<QString, SettingsLineCount>& SettingsLineNames()
{
    static const std::array<QString, SettingsLineCount> names {
        QStringLiteral("ServerAddress"),
        QStringLiteral("ServerPort"),
        QStringLiteral("BotNick"),
        QStringLiteral("ChannelToJoin"),
        QStringLiteral("OwnerNick"),
        QStringLiteral("PrivilegedJoin"),
        QStringLiteral("PrivilegedPart"),
        QStringLiteral("PrivilegedSay"),
        QStringLiteral("PrivilegedQuit"),
        QStringLiteral("PrivilegedBe"),
        QStringLiteral("PrivilegedHow"),
        QStringLiteral("HelpTimeout"),
        QStringLiteral("SayTimeout"),
        QStringLiteral("LastTimeout"),
        QStringLiteral("Silent"),
        QStringLiteral("Teamrocketing"),
        QStringLiteral("Dicerollan"),
        QStringLiteral("LogLines"),
        QStringLiteral("LineWidth"),
        QStringLiteral("CommandChar"),
        QStringLiteral("ReconnectInterval"),
        QStringLiteral("ReconnectAttempts"),
    };
    return names;
}

QStringList SettingsFileLines(const BotState& state)
{
    return {
        state.ServerAddress,
        QString::number(state.ServerPort),
        state.BotNick,
        state.ChannelToJoin,
        state.OwnerNick,
        FlagText(state.PrivilegedJoin),
        FlagText(state.PrivilegedPart),
        FlagText(state.PrivilegedSay),
        FlagText(state.PrivilegedQuit),
        FlagText(state.PrivilegedBe),
        FlagText(state.PrivilegedHow),
        QString::number(state.HelpTimeout),
        QString::number(state.SayTimeout),
        QString::number(state.LastTimeout),
        FlagText(state.Silent),
        FlagText(state.Teamrocketing),
        FlagText(state.Dicerollan),
        QString::number(state.LogLines),
        QString::number(state.LineWidth),
        state.CommandChar,
        QString::number(state.ReconnectInterval),
        QString::number(state.ReconnectAttempts),
    };
}

namespace {

QString Listed(const QStringList& entries)
{
    return entries.join(QStringLiteral(", "));
}

QString LineLabel(const QString& name, qsizetype index)
{
    return name == files::Settings ? SettingsLineNames().at(static_cast<std::size_t>(index))
                                   : QStringLiteral("line %1").arg(index + 1);
}

// The log's account of a file the operator edited while the bot ran.
void ReportMerge(const QString& name, const MergedFile& merged, const QStringList& ours, CommandLog* log)
{
    if (!log || !merged.EditedOnDisk)
        return;
    QString line = name + QStringLiteral(" was edited while the bot ran: the edits are kept");
    if (!merged.Written.isEmpty()) {
        QStringList labels;
        for (const int index : merged.Written)
            labels.append(LineLabel(name, index));
        line += QStringLiteral("; the bot's own changes written into it: ") + Listed(labels);
    }
    if (!merged.Added.isEmpty())
        line += QStringLiteral("; the bot added ") + Listed(merged.Added);
    if (!merged.Removed.isEmpty())
        line += QStringLiteral("; the bot removed ") + Listed(merged.Removed);
    log->Append(line + u'.');
    QStringList kept;
    for (const int index : merged.NotWritten)
        kept.append(QStringLiteral("%1 (the bot's value: %2)").arg(LineLabel(name, index), ours.at(index)));
    if (!kept.isEmpty())
        log->Append(
            QStringLiteral("%1: the bot's changes to lines edited in the file too were not written: %2.")
                .arg(name, Listed(kept)),
            LogLevel::Warning);
}

// Writes the file as MergeWithDisk decides, and remembers what it holds then.
QString Save(BotState& state, const QString& filesDir, const QString& name, const QStringList& ours,
    FileShape shape, CommandLog* log)
{
    const QString path = PathOf(filesDir, name);
    std::optional<ConfigLines> disk = ReadConfigLines(path);
    const MergedFile merged = MergeWithDisk(state.FilesAsKnown.value(name), disk, ours, shape);
    ReportMerge(name, merged, ours, log);
    if (merged.Write) {
        if (const QString error = WriteConfigLines(path, merged.Lines); !error.isEmpty())
            return QStringLiteral("Could not write %1: %2").arg(path, error);
        disk = ReadConfigLines(path);
    }
    Remember(state, name, std::move(disk), ours);
    return {};
}

} // namespace

QString SaveAtClose(BotState& state, const QString& filesDir, CommandLog* log)
{
    const std::tuple<QString, QStringList, FileShape> writes[] = {
        { files::Settings, SettingsFileLines(state), FileShape::Positional },
        { files::Privileged, state.PrivilegedUsers, FileShape::List },
        { files::Banned, state.BannedUsers, FileShape::List },
        { files::Messages, PhraseLines(state), FileShape::Positional },
    };
    for (const auto& [name, lines, shape] : writes) {
        if (const QString error = Save(state, filesDir, name, lines, shape, log); !error.isEmpty())
            return error;
    }
    return {};
}

QString SaveFavoriteChannels(BotState& state, const QString& filesDir, CommandLog* log)
{
    return Save(state, filesDir, files::FavoriteChannels, state.CurrentChannels, FileShape::List, log);
}

} // namespace core
