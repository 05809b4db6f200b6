#include "core/textwidth.h"

#include <QRegularExpression>
#include <array>

namespace core {

namespace {

// Advance widths of the printable ASCII characters, from the blank (32) to the tilde (126).
constexpr std::array<unsigned char, 95> AsciiWidths {
    3, 3, 4, 6, 6, 9, 7, 2, 3, 3, 4, 6, 3, 3, 3, 3, // blank ! " # $ % & ' ( ) * + , - . /
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 6, 6, 6, 6, // 0-9 : ; < = > ?
    11, 7, 7, 8, 8, 7, 6, 8, 8, 2, 5, 7, 6, 8, 8, 8, // @ A-O
    7, 8, 8, 7, 6, 8, 7, 10, 7, 7, 7, 3, 3, 3, 5, 6, // P-Z [ \ ] ^ _
    3, 6, 6, 5, 6, 6, 3, 6, 6, 2, 2, 5, 2, 8, 6, 6, // ` a-o
    6, 6, 3, 5, 3, 6, 5, 8, 5, 5, 5, 4, 2, 4, 6, // p-z { | } ~
};

constexpr int DefaultWidth = 6;
constexpr int WideWidth = 11;

bool IsWide(char32_t c)
{
    // East Asian scripts and emoji take about two Latin letters.
    return (c >= 0x1100 && c <= 0x115f) || (c >= 0x2e80 && c <= 0xa4cf) || (c >= 0xac00 && c <= 0xd7a3)
        || (c >= 0xf900 && c <= 0xfaff) || (c >= 0xfe30 && c <= 0xfe4f) || (c >= 0xff00 && c <= 0xff60)
        || (c >= 0x1f300 && c <= 0x1faff) || (c >= 0x20000 && c <= 0x3fffd);
}

// The length in UTF-16 units of the character that starts at index.
qsizetype CharLength(QStringView text, qsizetype index)
{
    return (text[index].isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate()) ? 2
                                                                                                          : 1;
}

char32_t CodePointAt(QStringView text, qsizetype index)
{
    if (CharLength(text, index) == 2)
        return QChar::surrogateToUcs4(text[index], text[index + 1]);
    return text[index].unicode();
}

void WrapParagraph(QStringView paragraph, int width, QStringList& lines)
{
    qsizetype lineStart = 0;
    while (lineStart < paragraph.size()) {
        // Walk as far as fits, remembering the last blank seen.
        int used = 0;
        qsizetype end = lineStart;
        qsizetype lastBlank = -1;
        while (end < paragraph.size()) {
            const int advance = CharWidth(CodePointAt(paragraph, end));
            if (used + advance > width && end > lineStart)
                break;
            if (paragraph[end] == u' ')
                lastBlank = end;
            used += advance;
            end += CharLength(paragraph, end);
        }
        if (end >= paragraph.size()) {
            lines.append(paragraph.mid(lineStart).toString());
            return;
        }
        if (paragraph[end] == u' ') { // the break falls on a blank
            lines.append(paragraph.mid(lineStart, end - lineStart).toString());
            lineStart = end + 1;
        } else if (lastBlank > lineStart) {
            lines.append(paragraph.mid(lineStart, lastBlank - lineStart).toString());
            lineStart = lastBlank + 1;
        } else { // one word wider than the line
            lines.append(paragraph.mid(lineStart, end - lineStart).toString());
            lineStart = end;
        }
    }
}

} // namespace

int CharWidth(char32_t character)
{
    if (character >= 32 && character <= 126)
        return AsciiWidths[character - 32];
    return IsWide(character) ? WideWidth : DefaultWidth;
}

int TextWidth(QStringView text)
{
    int width = 0;
    for (qsizetype i = 0; i < text.size(); i += CharLength(text, i))
        width += CharWidth(CodePointAt(text, i));
    return width;
}

QStringList WrapText(const QString& text, int width)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    for (const QString& paragraph : text.split(lineEnd))
        WrapParagraph(paragraph, width, lines);
    lines.removeIf([](const QString& line) { return line.isEmpty(); });
    return lines;
}

} // namespace core
