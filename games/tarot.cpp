#include "games/tarot.h"

#include "common/asciicase.h"
#include "dice/randomsource.h"

namespace games {

namespace {

bool FaceOptionGiven(const QString& line)
{
    const qsizetype c = line.indexOf(u'c');
    return c >= 0 && line.mid(c + 3, 10) == QLatin1String("full");
}

} // namespace

TarotRequest ReadTarotRequest(const QString& parameter, const QString& line)
{
    const qsizetype c = parameter.indexOf(u'c');
    TarotRequest request;
    request.CountText = c < 0 ? QString() : parameter.left(c);
    request.SetLetter = (c >= 0 && c + 1 < parameter.size()) ? parameter.at(c + 1) : QChar();
    request.ShowFace = FaceOptionGiven(line);
    return request;
}

TarotRequest ReadBareTarotRequest(const QString& line)
{
    const qsizetype c = line.indexOf(u'c');
    TarotRequest request;
    request.CountText = line.mid(1, c - 1);
    request.SetLetter = c + 1 < line.size() ? line.at(c + 1) : QChar();
    request.ShowFace = FaceOptionGiven(line);
    return request;
}

std::optional<TarotSet> TarotSetFor(QChar letter)
{
    switch (common::AsciiLower(QStringView(&letter, 1)).at(0).unicode()) {
    case u'd':
        return TarotSet { 0, 78, ", here are your tarot cards: " };
    case u'm':
        return TarotSet { 0, 56, ", here are your minor arcanas: " };
    case u's':
        return TarotSet { 0, 52, ", here are your cards from 52-card deck: " };
    case u't':
        return TarotSet { 56, 22, ", here are your trumps: " };
    default:
        return std::nullopt;
    }
}

QStringList DrawTarotCards(const QStringList& cards, const TarotSet& set, int count, bool showFace)
{
    dice::RandomizeGenerator();
    QStringList drawn;
    for (int i = 0; i < count; ++i) {
        QString card = cards.value(set.FirstLine + dice::RandomBelow(set.Choices));
        if (showFace)
            card += dice::RandomBelow(2) == 1 ? QStringLiteral(" (face up)") : QStringLiteral(" (face down)");
        drawn.append(card);
    }
    return drawn;
}

} // namespace games
