#include "app/settingswindow.h"

#include "app/programicon.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QValidator>

namespace app {

namespace {

// Keeps out of the command character box what nobody could type or see at the start of a line; an empty
// box reads as the default character.
class CommandCharValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*position*/) const override
    {
        return input.isEmpty() || core::CanBeCommandChar(input) ? Acceptable : Invalid;
    }
};

QCheckBox* BoundCheckBox(const QString& caption, bool& field, const QString& toolTip, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setChecked(field);
    box->setToolTip(toolTip);
    QObject::connect(box, &QCheckBox::toggled, parent, [&field](bool checked) { field = checked; });
    return box;
}

// A number box within range, bound to field; applied runs after each change the box stores.
template <typename Applied>
QSpinBox* BoundSpinBox(
    core::IntRange range, int& field, const QString& toolTip, QWidget* parent, Applied applied)
{
    auto* box = new QSpinBox(parent);
    // The value is taken when the operator is done with it (Enter, leaving the box, an arrow), not at
    // every digit: typing 5000 must not set a timer to 5 ms on the way.
    box->setKeyboardTracking(false);
    box->setRange(range.Min, range.Max);
    box->setValue(range.Clamp(field));
    box->setToolTip(toolTip);
    QObject::connect(box, &QSpinBox::valueChanged, parent, [&field, applied](int value) {
        if (value == field)
            return;
        field = value;
        applied();
    });
    return box;
}

QGroupBox* Group(const QString& title, QWidget* parent, std::initializer_list<QWidget*> widgets)
{
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(group);
    for (QWidget* widget : widgets) {
        widget->setParent(group);
        layout->addWidget(widget);
    }
    return group;
}

} // namespace

NickListEditor::NickListEditor(const QString& title, QStringList& nicks, QWidget* parent)
    : QGroupBox(title, parent)
    , m_nicks(nicks)
{
    List = new QListWidget(this);
    NickEdit = new QLineEdit(this);
    AddButton = new QPushButton(QStringLiteral("Add"), this);
    DeleteButton = new QPushButton(QStringLiteral("Delete"), this);
    for (QPushButton* button : { AddButton, DeleteButton })
        button->setAutoDefault(false);
    List->setMinimumHeight(110);

    auto* nickRow = new QHBoxLayout();
    nickRow->addWidget(new QLabel(QStringLiteral("Nick to add:"), this));
    nickRow->addWidget(NickEdit, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(AddButton);
    buttons->addWidget(DeleteButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List, 1);
    layout->addLayout(nickRow);
    layout->addLayout(buttons);

    connect(AddButton, &QPushButton::clicked, this, [this] {
        m_nicks.append(NickEdit->text());
        ShowList();
    });
    connect(DeleteButton, &QPushButton::clicked, this, [this] {
        const QList<QListWidgetItem*> selected = List->selectedItems();
        if (selected.isEmpty())
            return;
        const int row = List->row(selected.first());
        if (row >= 0 && row < m_nicks.size())
            m_nicks.removeAt(row);
        ShowList();
    });
    ShowList();
}

void NickListEditor::ShowList()
{
    List->clear();
    List->addItems(m_nicks);
}

TForm4::TForm4(commands::Bot& bot, core::Connection& connection, QWidget* parent)
    : QDialog(parent)
    , m_bot(bot)
    , m_state(bot.State())
    , m_connection(connection)
{
    setWindowTitle(QStringLiteral("Settings"));
    setWindowIcon(ProgramIcon());

    PrivilegedUsers = new NickListEditor(QStringLiteral("Privileged users"), m_state.PrivilegedUsers, this);
    PrivilegedUsers->List->setToolTip(QStringLiteral(
        "List of the users capable of performing privileged-access level commands. It might be a good idea "
        "to add server-wide admins or ops on the channel to that list, so that they might operate the bot "
        "while you're absent"));
    PrivilegedUsers->AddButton->setToolTip(
        QStringLiteral("Add the specified nick to the list of privileged. Any nick changes the bot sees will "
                       "be tracked, and the access rights persist for the new nick"));
    PrivilegedUsers->DeleteButton->setToolTip(
        QStringLiteral("Delete the selected record from the list of privileged users"));
    PrivilegedUsers->NickEdit->setToolTip(QStringLiteral("Nick to add to the privileged list"));

    BannedUsers = new NickListEditor(QStringLiteral("Banned users"), m_state.BannedUsers, this);
    BannedUsers->List->setToolTip(QStringLiteral("The list of the banned users; reserved specifically for "
                                                 "bitter losers who try to use the bot for evil"));
    BannedUsers->AddButton->setToolTip(
        QStringLiteral("Add the specified nick to the ban list. Ban takes precedence over privileged access, "
                       "with all the commands from the banned user ignored"));
    BannedUsers->DeleteButton->setToolTip(QStringLiteral("Unban the selected user from the ban list"));
    BannedUsers->NickEdit->setToolTip(QStringLiteral("The nick of the user to be banned from using the bot"));

    CommandCharEdit = new QLineEdit(m_state.CommandChar, this);
    CommandCharEdit->setValidator(new CommandCharValidator(CommandCharEdit));
    CommandCharEdit->setToolTip(QStringLiteral(
        "The bot analyzes any line starting with this symbol as a command. Changing it may be a "
        "good idea if several similar bots are on the same channel"));
    connect(CommandCharEdit, &QLineEdit::textChanged, this,
        [this](const QString& text) { m_state.CommandChar = text; });
    auto* charGroup = new QGroupBox(QStringLiteral("First character"), this);
    auto* charLayout = new QHBoxLayout(charGroup);
    charLayout->addWidget(new QLabel(QStringLiteral("in a char command:"), charGroup));
    charLayout->addWidget(CommandCharEdit, 1);

    // The reply wrapper reads the width at every reply.
    LineWidthBox = BoundSpinBox(core::LineWidthRange, m_state.LineWidth,
        QStringLiteral(
            "The bot cuts long messages into lines of fixed length, since otherwise everything past "
            "a certain length of text (dictated by the server setting) is lost. The length of the "
            "lines is supplied here in pixels"),
        this, [] {});
    // Read at connect time only.
    LogLinesBox = BoundSpinBox(core::LogLinesRange, m_state.LogLines,
        QStringLiteral("The number of log lines to remember for each chat channel the bot is on"), this,
        [] {});

    auto* grid = new QGridLayout(this);
    auto* left = new QVBoxLayout();
    left->addWidget(MakePrivilegeGroup());
    left->addWidget(MakeTimeoutGroup());
    left->addWidget(charGroup);
    left->addWidget(Group(QStringLiteral("Output line length (in pixels)"), this, { LineWidthBox }));
    left->addWidget(Group(QStringLiteral("Log lines to remember"), this, { LogLinesBox }));
    left->addStretch();
    auto* middle = new QVBoxLayout();
    middle->addWidget(PrivilegedUsers, 1);
    middle->addWidget(BannedUsers, 1);
    auto* right = new QVBoxLayout();
    right->addWidget(MakeModeGroup());
    right->addWidget(MakeReconnectGroup());
    right->addWidget(MakeUpdateGroup());
    right->addStretch();
    grid->addLayout(left, 0, 0);
    grid->addLayout(middle, 0, 1);
    grid->addLayout(right, 0, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

QGroupBox* TForm4::MakePrivilegeGroup()
{
    JoinBox = BoundCheckBox(QStringLiteral("join"), m_state.PrivilegedJoin,
        QStringLiteral("The command to make the bot join new channels; may be used for disruptive multiple "
                       "reconnects"),
        this);
    PartBox = BoundCheckBox(QStringLiteral("part"), m_state.PrivilegedPart,
        QStringLiteral("The command to make the bot leave a channel; may be used to make the bot leave the "
                       "channels it is needed on"),
        this);
    SayBox = BoundCheckBox(QStringLiteral("say"), m_state.PrivilegedSay,
        QStringLiteral("The command to make the bot relay a message to another channel; may be used for "
                       "flooding"),
        this);
    QuitBox = BoundCheckBox(QStringLiteral("quit"), m_state.PrivilegedQuit,
        QStringLiteral("The command to make the bot leave the server"), this);
    BeBox = BoundCheckBox(QStringLiteral("be"), m_state.PrivilegedBe,
        QStringLiteral("The command for fine-tuning the bot; may be used for changing settings disruptively"),
        this);
    HowBox = BoundCheckBox(QStringLiteral("how"), m_state.PrivilegedHow,
        QStringLiteral("The command to make the bot describe its current state; may give up the information "
                       "about the bot's settings"),
        this);
    auto* group = new QGroupBox(QStringLiteral("Privileged commands"), this);
    auto* layout = new QGridLayout(group);
    int index = 0;
    for (QCheckBox* box : { JoinBox, PartBox, SayBox, QuitBox, BeBox, HowBox }) {
        box->setParent(group);
        layout->addWidget(box, index % 3, index / 3);
        ++index;
    }
    return group;
}

QGroupBox* TForm4::MakeTimeoutGroup()
{
    core::Lockouts& locks = m_bot.Locks();
    // Setting a running timer's interval restarts it, so a running lock-out ends one new interval from now.
    HelpTimeoutBox = BoundSpinBox(core::TimeoutRange, m_state.HelpTimeout,
        QStringLiteral("The timeout in milliseconds that should pass between two consecutive help commands; "
                       "present to prevent excessive server traffic (which sometimes leaves the bot banned)"),
        this, [this, &locks] { locks.Timer1.setInterval(m_state.HelpTimeout); });
    SayTimeoutBox = BoundSpinBox(core::TimeoutRange, m_state.SayTimeout,
        QStringLiteral("The timeout in milliseconds between two consecutive say commands. Present here to "
                       "prevent interchannel flooding; banned users abusing the bot to talk back, and such"),
        this, [this, &locks] { locks.SayTimer.setInterval(m_state.SayTimeout); });
    LastTimeoutBox = BoundSpinBox(core::TimeoutRange, m_state.LastTimeout,
        QStringLiteral(
            "The interval of time in milliseconds between two consecutive last commands; those are "
            "extremely traffic-intensive, and while the bot is busy replying to a single request, "
            "he ignores all the others"),
        this, [this, &locks] { locks.LastTimer.setInterval(m_state.LastTimeout); });
    auto* group = new QGroupBox(QStringLiteral("Timeouts (in ms)"), this);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Help"), HelpTimeoutBox);
    form->addRow(QStringLiteral("Say"), SayTimeoutBox);
    form->addRow(QStringLiteral("Last"), LastTimeoutBox);
    return group;
}

QGroupBox* TForm4::MakeModeGroup()
{
    DicerollanBox = BoundCheckBox(QStringLiteral("dicerollan"), m_state.Dicerollan, QString(), this);
    SilentBox = BoundCheckBox(QStringLiteral("silent"), m_state.Silent, QString(), this);
    // The box is the bot's Meowth role in the other-bot dialog; clearing it is the only way to end it.
    TeamrocketingBox = BoundCheckBox(QStringLiteral("teamrocketing"), m_state.MeowthActive, QString(), this);
    return Group(QStringLiteral("Currently set to be"), this, { DicerollanBox, SilentBox, TeamrocketingBox });
}

QGroupBox* TForm4::MakeReconnectGroup()
{
    ReconnectTimeoutBox = BoundSpinBox(core::TimeoutRange, m_state.ReconnectInterval,
        QStringLiteral("The interval of time between reconnection attempts"), this,
        [this] { m_connection.ReconnectTimer.setInterval(m_state.ReconnectInterval); });
    AttemptsBox = BoundSpinBox(core::ReconnectAttemptsRange, m_state.ReconnectAttempts,
        QStringLiteral("The number of reconnect attempts before giving up"), this,
        [this] { m_connection.ApplyReconnectSettings(); });
    auto* group = new QGroupBox(QStringLiteral("Reconnects"), this);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Timeout"), ReconnectTimeoutBox);
    form->addRow(QStringLiteral("Attempts number:"), AttemptsBox);
    return group;
}

QGroupBox* TForm4::MakeUpdateGroup()
{
    CustomFilesButton = new QPushButton(QStringLiteral("Custom files"), this);
    AliasesButton = new QPushButton(QStringLiteral("Aliases"), this);
    for (QPushButton* button : { CustomFilesButton, AliasesButton })
        button->setAutoDefault(false);
    connect(CustomFilesButton, &QPushButton::clicked, this, [this] {
        m_bot.Log().Append(m_bot.RescanCustomFiles()
                ? QStringLiteral("Updated the list of custom random generation files.")
                : QStringLiteral("Error updating the list of custom random generation files."));
    });
    connect(AliasesButton, &QPushButton::clicked, this, [this] {
        m_bot.Log().Append(m_bot.ReloadAliases() ? QStringLiteral("Updated the list of alias files.")
                                                 : QStringLiteral("Error updating the list of alias files."));
    });
    return Group(QStringLiteral("Update"), this, { CustomFilesButton, AliasesButton });
}

void TForm4::ShowModes()
{
    DicerollanBox->setChecked(m_state.Dicerollan);
    SilentBox->setChecked(m_state.Silent);
    TeamrocketingBox->setChecked(m_state.MeowthActive);
}

void TForm4::ShowCommandChar()
{
    if (CommandCharEdit->text() != m_state.CommandChar)
        CommandCharEdit->setText(m_state.CommandChar);
}

void TForm4::LockLogLines()
{
    LogLinesBox->setEnabled(false);
}

} // namespace app
