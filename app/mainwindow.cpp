#include "app/mainwindow.h"

#include "app/programicon.h"
#include "commands/clientevents.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

namespace app {

TForm1::TForm1(const QString& filesDir, QWidget* parent)
    : QWidget(parent)
    , m_bot(filesDir, m_client, m_client, m_clock)
    , m_state(m_bot.State())
    , m_connection(m_state, m_bot.Log(), m_client, m_clock, filesDir)
    , m_trayAvailable(QSystemTrayIcon::isSystemTrayAvailable())
{
    m_bot.Start();
    m_connection.ApplyReconnectSettings();

    setWindowTitle(QStringLiteral("Tessarin Bot"));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    auto* left = new QVBoxLayout();
    left->addWidget(MakeServerGroup());
    left->addWidget(MakeOwnerGroup());
    left->addWidget(MakeSettingsGroup());
    auto* top = new QHBoxLayout();
    top->addLayout(left, 1);
    top->addWidget(MakeChannelGroup(), 1);

    CommandLogView = new QPlainTextEdit(this);
    CommandLogView->setReadOnly(true);
    CommandLogView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    CommandLogView->setToolTip(
        QStringLiteral("The log of all the commands given to the bot, as well as events "
                       "and notices it receives from the server"));
    for (const QString& line : m_bot.Log().Lines())
        CommandLogView->appendPlainText(line);
    GeneratorTestButton = new QPushButton(QStringLiteral("Random generator test"), this);
    GeneratorTestButton->hide();
    auto* logHeader = new QHBoxLayout();
    logHeader->addWidget(new QLabel(QStringLiteral("Command log:"), this));
    logHeader->addStretch();
    logHeader->addWidget(GeneratorTestButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addLayout(logHeader);
    layout->addWidget(CommandLogView, 1);
    setFixedSize(ClientWidth, ClientHeight);

    MakeTray();
    MakeWindows();
    WireBot();
    SetDefaultButton(ConnectButton);
}

TForm1::~TForm1()
{
    // This window's handlers must not hear of the bot's parts as they go away, and the controls and other
    // windows go first, while the bot they are bound to is still there.
    m_client.disconnect(this);
    m_connection.disconnect(this);
    m_bot.Log().disconnect(this);
    ChannelList->viewport()->removeEventFilter(this);
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

QWidget* TForm1::MakeServerGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Server"), this);
    AddressEdit = new QLineEdit(m_state.ServerAddress, group);
    AddressEdit->setToolTip(
        QStringLiteral("Enter the address of the IRC server to connect to, for example irc.libera.chat"));
    connect(AddressEdit, &QLineEdit::textChanged, this,
        [this](const QString& text) { m_state.ServerAddress = text; });

    PortBox = new QSpinBox(group);
    PortBox->setRange(core::ServerPortRange.Min, core::ServerPortRange.Max);
    PortBox->setValue(core::ServerPortRange.Clamp(m_state.ServerPort));
    PortBox->setToolTip(QStringLiteral("The port number of the server; typically 6667"));
    connect(PortBox, &QSpinBox::valueChanged, this, [this](int port) { m_state.ServerPort = port; });

    NickEdit = new QLineEdit(m_state.BotNick, group);
    NickEdit->setToolTip(QStringLiteral(
        "The bot's chat handle; Tessarin-Secundus is used by default if the one you select is taken"));
    connect(NickEdit, &QLineEdit::textChanged, this, [this](const QString& text) { m_state.BotNick = text; });
    // Leaving the box renames the bot on the server at once.
    connect(NickEdit, &QLineEdit::editingFinished, this, [this] { m_client.SetNick(m_state.BotNick); });

    AutoReconnectBox = new QCheckBox(QStringLiteral("Autoreconnect"), group);
    AutoReconnectBox->setChecked(m_state.AutoReconnect);
    connect(AutoReconnectBox, &QCheckBox::clicked, this,
        [this](bool checked) { m_state.AutoReconnect = checked; });

    ConnectButton = new QPushButton(QStringLiteral("Connect"), group);
    ConnectButton->setToolTip(QStringLiteral("Try connecting the bot to the selected server"));
    connect(ConnectButton, &QPushButton::clicked, this, [this] { m_connection.Connect(); });
    DisconnectButton = new QPushButton(QStringLiteral("Disconnect"), group);
    DisconnectButton->setToolTip(QStringLiteral("Leave the server"));
    connect(DisconnectButton, &QPushButton::clicked, this, &TForm1::Disconnect);

    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Address:"), group), 0, 0);
    grid->addWidget(AddressEdit, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Port:"), group), 1, 0);
    grid->addWidget(PortBox, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Nick:"), group), 2, 0);
    grid->addWidget(NickEdit, 2, 1, 1, 2);
    grid->addWidget(AutoReconnectBox, 3, 0, 1, 3);
    grid->addWidget(ConnectButton, 4, 0, 1, 2);
    grid->addWidget(DisconnectButton, 4, 2);
    return group;
}

QWidget* TForm1::MakeChannelGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Channels"), this);
    JoinBox = new QComboBox(group);
    JoinBox->setEditable(true);
    JoinBox->setInsertPolicy(QComboBox::NoInsert);
    // The items first: an editable box takes its first item as its text when items arrive.
    JoinBox->addItems(m_state.FavoriteChannels);
    JoinBox->setEditText(m_state.ChannelToJoin);
    // The Channels column gets the width its controls ask for and the other column the rest: room for a
    // dozen characters shows most channel names whole and leaves the other column's captions whole.
    JoinBox->setMinimumContentsLength(12);
    JoinBox->setToolTip(QStringLiteral("Name of a channel to join"));
    connect(JoinBox, &QComboBox::editTextChanged, this,
        [this](const QString& text) { m_state.ChannelToJoin = text; });
    connect(JoinBox->lineEdit(), &QLineEdit::textEdited, this, [this] { SetDefaultButton(JoinButton); });

    JoinButton = new QPushButton(QStringLiteral("Join"), group);
    JoinButton->setToolTip(QStringLiteral("Join the selected channel"));
    JoinButton->setEnabled(false);
    connect(JoinButton, &QPushButton::clicked, this, &TForm1::Join);

    ChannelList = new QListWidget(group);
    ChannelList->setToolTip(QStringLiteral("The list of channels the bot is currently on"));
    ChannelList->viewport()->installEventFilter(this);

    LeaveButton = new QPushButton(QStringLiteral("Leave"), group);
    LeaveButton->setToolTip(QStringLiteral("Leave the channel currently selected in the list"));
    LeaveButton->setEnabled(false);
    connect(LeaveButton, &QPushButton::clicked, this, &TForm1::Leave);

    // The label goes above the Join box, so that the box has the column's whole width.
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(new QLabel(QStringLiteral("Join:"), group));
    layout->addWidget(JoinBox);
    layout->addWidget(JoinButton);
    layout->addWidget(new QLabel(QStringLiteral("Currently on:"), group));
    layout->addWidget(ChannelList, 1);
    layout->addWidget(LeaveButton);
    return group;
}

QWidget* TForm1::MakeOwnerGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Owner's nick"), this);
    OwnerEdit = new QLineEdit(m_state.OwnerNick, group);
    OwnerEdit->setToolTip(QStringLiteral(
        "Your nick in the chat; as an owner, you have access to commands otherwise restricted"));
    connect(
        OwnerEdit, &QLineEdit::textChanged, this, [this](const QString& text) { m_state.OwnerNick = text; });
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(OwnerEdit);
    return group;
}

QWidget* TForm1::MakeSettingsGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Settings"), this);
    SettingsButton = new QPushButton(QStringLiteral("Settings"), group);
    RepliesButton = new QPushButton(QStringLiteral("Replies"), group);
    RepliesButton->setToolTip(
        QStringLiteral("Set up the reply phrases the bot uses for standard usage cases"));
    MessageButton = new QPushButton(QStringLiteral("Message"), group);
    MessageButton->setToolTip(
        QStringLiteral("Send messages to a selected channel the bot is on, or to a specific user via PM"));
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(SettingsButton);
    layout->addWidget(RepliesButton);
    layout->addWidget(MessageButton);
    return group;
}

void TForm1::MakeTray()
{
    TrayIcon = new QSystemTrayIcon(windowIcon(), this);
    TrayIcon->setToolTip(TrayToolTip);
    TrayMenu = new QMenu(this);
    ShowAction = TrayMenu->addAction(QStringLiteral("Show"));
    ExitAction = TrayMenu->addAction(QStringLiteral("Exit"));
    TrayIcon->setContextMenu(TrayMenu);
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            RestoreFromTray();
    });
    connect(ShowAction, &QAction::triggered, this, &TForm1::RestoreFromTray);
    // Exit writes nothing: whatever changed since the start is lost, by the operator's choice.
    connect(ExitAction, &QAction::triggered, this, &TForm1::ExitChosen);
}

void TForm1::MakeWindows()
{
    Replies = new TForm3(m_state, this);
    Settings = new TForm4(m_bot, m_connection, this);
    Messages = new TForm5(
        m_client, m_bot.Log(), [this] { return PickChannel(); }, this);
    GeneratorTest = new TForm6(this);

    connect(SettingsButton, &QPushButton::clicked, this, [this] {
        ShowWindow(Settings);
        Settings->ShowModes();
    });
    connect(RepliesButton, &QPushButton::clicked, this, [this] { ShowWindow(Replies); });
    connect(MessageButton, &QPushButton::clicked, this, [this] { ShowWindow(Messages); });
    connect(GeneratorTestButton, &QPushButton::clicked, this, [this] { ShowWindow(GeneratorTest); });
}

void TForm1::WireBot()
{
    commands::FeedBotFromClient(m_bot, m_client, m_connection);
    connect(&m_bot.Log(), &core::CommandLog::LineAppended, this,
        [this](const QString& line) { CommandLogView->appendPlainText(line); });
    // The connection handles each event first; these only show its outcome.
    connect(&m_client, &irc::TIrcClient::OnConnected, this, [this] {
        SetConnectedControls(true);
        Settings->LockLogLines();
    });
    connect(&m_client, &irc::TIrcClient::OnDisconnected, this, &TForm1::AfterDisconnection);
    connect(&m_connection, &core::Connection::Stopped, this, &TForm1::AfterDisconnection);
    connect(&m_client, &irc::TIrcClient::OnJoined, this, &TForm1::ShowChannels);
    connect(&m_client, &irc::TIrcClient::OnParted, this, &TForm1::ShowChannels);
    // A command may have changed the command character.
    connect(&m_client, &irc::TIrcClient::OnMessage, this, [this] { Settings->ShowCommandChar(); });
}

void TForm1::Disconnect()
{
    m_state.AutoReconnect = false;
    AutoReconnectBox->setChecked(false);
    // A reconnect waiting for its next attempt is called off too: the operator's disconnect is final.
    const bool waitingToReconnect = m_connection.ReconnectTimer.isActive();
    m_connection.ReconnectTimer.stop();
    m_client.Disconnect();
    m_bot.Log().Append(QStringLiteral("Disconnect GUI button pressed."));
    m_state.Connected = false;
    if (waitingToReconnect) {
        // No connection was left to raise the disconnection, so its steps are taken here.
        m_state.CurrentChannels.clear();
        AfterDisconnection();
    }
}

void TForm1::Join()
{
    const QString channel = m_state.ChannelToJoin;
    if (!m_client.Join(channel))
        m_bot.Log().Append(QStringLiteral("Unable to join ") + channel);
}

void TForm1::Leave()
{
    const QList<QListWidgetItem*> selected = ChannelList->selectedItems();
    if (!selected.isEmpty())
        m_client.Part(selected.first()->text());
}

QString TForm1::PickChannel()
{
    if (ChannelList->selectedItems().isEmpty()) {
        if (ChannelList->count() == 0)
            return {};
        ChannelList->setCurrentRow(ChannelList->count() - 1);
    }
    return ChannelList->selectedItems().first()->text();
}

void TForm1::SetDefaultButton(QPushButton* button)
{
    for (QPushButton* candidate : { ConnectButton, JoinButton, LeaveButton })
        candidate->setDefault(candidate == button);
    m_defaultButton = button;
}

void TForm1::SetConnectedControls(bool enabled)
{
    JoinButton->setEnabled(enabled);
    LeaveButton->setEnabled(enabled);
    Messages->SendButton->setEnabled(enabled);
}

void TForm1::AfterDisconnection()
{
    // Only the bot giving up on reconnecting switches the option off behind the box's back; the option
    // then stays off for the rest of the run.
    if (AutoReconnectBox->isChecked() && !m_state.AutoReconnect)
        AutoReconnectBox->setEnabled(false);
    AutoReconnectBox->setChecked(m_state.AutoReconnect);
    if (!m_state.Connected && !m_connection.ReconnectTimer.isActive()) {
        SetConnectedControls(false);
        SetDefaultButton(ConnectButton);
    }
    ShowChannels();
}

void TForm1::ShowChannels()
{
    QStringList shown;
    for (int row = 0; row < ChannelList->count(); ++row)
        shown.append(ChannelList->item(row)->text());
    if (shown == m_state.CurrentChannels)
        return;
    const QList<QListWidgetItem*> selected = ChannelList->selectedItems();
    const QString selectedName = selected.isEmpty() ? QString() : selected.first()->text();
    ChannelList->clear();
    ChannelList->addItems(m_state.CurrentChannels);
    const qsizetype row = selectedName.isEmpty() ? -1 : m_state.CurrentChannels.indexOf(selectedName);
    if (row >= 0)
        ChannelList->setCurrentRow(static_cast<int>(row));
}

void TForm1::ShowWindow(QWidget* window)
{
    // A window minimised with its own title-bar button stays minimised through show(): clear that first.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

QList<QWidget*> TForm1::ToolWindows() const
{
    return { Replies, Settings, Messages, GeneratorTest };
}

void TForm1::GoToTray()
{
    TrayIcon->show();
    hide();
}

void TForm1::RestoreFromTray()
{
    TrayIcon->hide();
    showNormal();
    raise();
    activateWindow();
    // A tool window minimised meanwhile (by the operator, or by the desktop along with this window) comes
    // back too, in front of this one as it was before; one the operator closed stays closed.
    for (QWidget* window : ToolWindows()) {
        if (window->isVisible() && window->isMinimized())
            ShowWindow(window);
    }
}

void TForm1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Without a notification area the window is minimised as usual, or nothing would bring it back.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_trayAvailable)
        QTimer::singleShot(0, this, &TForm1::GoToTray);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // The closing disconnect must not start a reconnect.
    m_state.AutoReconnect = false;
    AutoReconnectBox->setChecked(false);
    m_connection.ReconnectTimer.stop();
    const QString error = m_bot.Close();
    if (!error.isEmpty()) {
        // The program goes on, disconnected, so that the operator can make room and close again.
        event->ignore();
        auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(), error, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    event->accept();
    for (QWidget* window : ToolWindows())
        window->hide();
    TrayIcon->hide();
    Q_EMIT Finished();
}

void TForm1::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_defaultButton) {
        m_defaultButton->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Only the window's own background counts, not a control or group that passed the click on.
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint())) {
        GeneratorTestButton->setHidden(!GeneratorTestButton->isHidden());
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == ChannelList->viewport())
        SetDefaultButton(LeaveButton);
    return QWidget::eventFilter(watched, event);
}

} // namespace app
