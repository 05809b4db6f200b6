#pragma once

// Tarot spreads: which cards a request asks for (written "3cT" or "10cd full"), and the drawing of them
// from the 78 lines of the tarot file (cards repeat freely; nothing is remembered between spreads).

#include <QString>
#include <QStringList>
#include <optional>

namespace games {

struct TarotRequest {
    QString CountText; // the number of cards as typed
    QChar SetLetter; // d, m, s or t in either case; anything else draws nothing
    bool ShowFace = false;
};

// Reads the long form: the parameter of "tarot" ("3cT full"); line is the whole command line.
TarotRequest ReadTarotRequest(const QString& parameter, const QString& line);

// Reads the short form, the whole command line such as ",3cT" or ",12cm full".
TarotRequest ReadBareTarotRequest(const QString& line);

struct TarotSet {
    int FirstLine; // 0-based line of the tarot file
    int Choices;
    const char* Opening;
};

// The set a letter names, if it names one.
std::optional<TarotSet> TarotSetFor(QChar letter);

// Draws count cards of the set from the tarot file's lines ("The Fool (face up)"). Reseeds first.
QStringList DrawTarotCards(const QStringList& cards, const TarotSet& set, int count, bool showFace);

} // namespace games
