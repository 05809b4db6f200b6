#pragma once

// The reply-phrase window.

#include "core/botstate.h"

#include <QDialog>
#include <QLineEdit>
#include <array>

namespace app {

// Eleven boxes, one per stock reply phrase, that are the phrases: an edit is stored at once, so the next
// reply that uses the phrase says the new text, and the boxes' texts are what the program saves at exit.
// Closing the window only hides it.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    // Requires: state outlives the window. The boxes start with the phrases the bot holds.
    explicit TForm3(core::BotState& state, QWidget* parent = nullptr);

    std::array<QLineEdit*, core::ReplyPhraseCount> PhraseEdits {};

private:
    core::BotState& m_state;
};

// The label of each phrase's box, in phrase order.
const std::array<QString, core::ReplyPhraseCount>& ReplyPhraseLabels();

} // namespace app
