#include "app/replyphrasewindow.h"

#include "app/programicon.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace app {

const std::array<QString, core::ReplyPhraseCount>& ReplyPhraseLabels()
{
    static const std::array<QString, core::ReplyPhraseCount> labels {
        QStringLiteral("Unknown command:"),
        QStringLiteral("User banned: command rejected:"),
        QStringLiteral("Access denied:"),
        QStringLiteral("Reply to ,quit command issued by the owner:"),
        QStringLiteral("Reply to ,quit command issued by an unauthorized user:"),
        QStringLiteral("Reply to ,quit command issued by any user if the command is not owner-only:"),
        QStringLiteral("Text file for the command not found:"),
        QStringLiteral("Command rejected since the timeout time hasn't passed: say"),
        QStringLiteral("Command rejected since the timeout time hasn't passed: last"),
        QStringLiteral("Command rejected since the timeout time hasn't passed: help"),
        QStringLiteral("Reply to ,hello command issued by the owner"),
    };
    return labels;
}

TForm3::TForm3(core::BotState& state, QWidget* parent)
    : QDialog(parent)
    , m_state(state)
{
    setWindowTitle(QStringLiteral("Command reply setup"));
    setWindowIcon(ProgramIcon());

    auto* group = new QGroupBox(QStringLiteral("Messages"), this);
    auto* form = new QFormLayout(group);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    for (int i = 0; i < core::ReplyPhraseCount; ++i) {
        auto* edit = new QLineEdit(m_state.ReplyPhrases[static_cast<std::size_t>(i)], group);
        edit->setMinimumWidth(420);
        connect(edit, &QLineEdit::textChanged, this,
            [this, i](const QString& text) { m_state.ReplyPhrases[static_cast<std::size_t>(i)] = text; });
        form->addRow(ReplyPhraseLabels()[static_cast<std::size_t>(i)], edit);
        PhraseEdits[static_cast<std::size_t>(i)] = edit;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace app
