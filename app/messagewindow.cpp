#include "app/messagewindow.h"

#include "app/programicon.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace app {

TForm5::TForm5(irc::Sender& out, core::CommandLog& log, std::function<QString()> pickChannel, QWidget* parent)
    : QDialog(parent)
    , m_out(out)
    , m_log(log)
    , m_pickChannel(std::move(pickChannel))
{
    setWindowTitle(QStringLiteral("Messaging"));
    setWindowIcon(ProgramIcon());

    auto* targetGroup = new QGroupBox(QStringLiteral("Messaging target"), this);
    TargetEdit = new QLineEdit(targetGroup);
    auto* targetLayout = new QVBoxLayout(targetGroup);
    targetLayout->addWidget(TargetEdit);

    auto* messageGroup = new QGroupBox(QStringLiteral("Message"), this);
    MessageEdit = new QPlainTextEdit(messageGroup);
    MessageEdit->setTabChangesFocus(true);
    MessageEdit->installEventFilter(this);
    auto* messageLayout = new QVBoxLayout(messageGroup);
    messageLayout->addWidget(MessageEdit);

    SendButton = new QPushButton(QStringLiteral("Send"), this);
    SendButton->setEnabled(false);
    SendButton->setAutoDefault(false);
    connect(SendButton, &QPushButton::clicked, this, &TForm5::Send);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(SendButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(targetGroup);
    layout->addWidget(messageGroup, 1);
    layout->addLayout(buttons);
    resize(360, 260);
}

bool TForm5::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MessageEdit && event->type() == QEvent::FocusIn) {
        // Picking the channel selects one in the main window even when a target is already typed.
        const QString channel = m_pickChannel ? m_pickChannel() : QString();
        if (TargetEdit->text().isEmpty())
            TargetEdit->setText(channel);
    }
    return QDialog::eventFilter(watched, event);
}

void TForm5::Send()
{
    const QString target = TargetEdit->text();
    QString text = MessageEdit->toPlainText();
    text.remove(u'\r');
    text.remove(u'\n');
    if (!m_out.Say(target, text))
        m_log.Append(QStringLiteral("Error sending message to ") + target + u'.');
}

} // namespace app
