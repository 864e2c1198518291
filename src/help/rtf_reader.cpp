#include "help/rtf_reader.h"

#include <QColor>
#include <QList>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <optional>

namespace help {

namespace {

// Deeper nesting than any real document has is read as text of the deepest level.
constexpr int kMaxDepth = 256;

struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int colour = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
    int spaceBefore = 0; ///< twips
    int spaceAfter = 0;  ///< twips
    int unicodeSkip = 1;
    bool skip = false; ///< a destination whose text is not shown
    bool colourTable = false;
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Reader {
  public:
    Reader(QByteArrayView rtf, QTextDocument &document)
        : m_rtf(rtf), m_cursor(&document), m_decoder(QStringConverter::Latin1) {
        // Word processors write 8-bit characters in the Windows code page.
        if (auto cp1252 = QStringDecoder("windows-1252"); cp1252.isValid())
            m_decoder = std::move(cp1252);
        m_stack.append(GroupState{});
    }

    void read() {
        while (m_pos < m_rtf.size()) {
            const char c = m_rtf[m_pos++];
            switch (c) {
            case '{':
                flush();
                if (m_stack.size() < kMaxDepth)
                    m_stack.append(state());
                else
                    ++m_overflow;
                m_destinationPending = true;
                break;
            case '}':
                flush();
                if (m_overflow > 0)
                    --m_overflow;
                else if (m_stack.size() > 1)
                    m_stack.removeLast();
                m_destinationPending = false;
                break;
            case '\\':
                controlSymbolOrWord();
                break;
            case '\r':
            case '\n':
                break;
            default:
                m_destinationPending = false;
                addChar(QChar::fromLatin1(c), true);
                break;
            }
        }
        flush();
    }

  private:
    GroupState &state() { return m_stack.last(); }

    void controlSymbolOrWord() {
        if (m_pos >= m_rtf.size())
            return;
        const char c = m_rtf[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_rtf.size() && isLetter(m_rtf[m_pos]) && m_pos - start < 32)
            ++m_pos;
        const QByteArray word = m_rtf.sliced(start, m_pos - start).toByteArray();
        std::optional<int> parameter;
        bool negative = false;
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        qint64 value = 0;
        int digits = 0;
        while (m_pos < m_rtf.size() && isDigit(m_rtf[m_pos])) {
            if (digits++ < 10)
                value = value * 10 + (m_rtf[m_pos] - '0');
            ++m_pos;
        }
        if (digits > 0)
            parameter = int(std::clamp<qint64>(negative ? -value : value, -2147483647, 2147483647));
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == ' ')
            ++m_pos;
        controlWord(word, parameter);
        m_destinationPending = false;
    }

    void controlSymbol(char c) {
        switch (c) {
        case '\'': {
            const int high = m_pos < m_rtf.size() ? hexValue(m_rtf[m_pos]) : -1;
            const int low = m_pos + 1 < m_rtf.size() ? hexValue(m_rtf[m_pos + 1]) : -1;
            if (high < 0 || low < 0)
                return;
            m_pos += 2;
            const char byte = char(high * 16 + low);
            const QString decoded = m_decoder.decode(QByteArrayView(&byte, 1));
            addChar(decoded.isEmpty() ? QChar(u'?') : decoded.front(), true);
            break;
        }
        case '*':
            // An optional destination: one we do not know is skipped whole.
            if (m_destinationPending)
                state().skip = true;
            break;
        case '\\':
        case '{':
        case '}':
            addChar(QChar::fromLatin1(c), true);
            break;
        case '~':
            addChar(QChar(0x00a0), true);
            break;
        case '_':
            addChar(QChar(0x2011), true);
            break;
        case '\n':
        case '\r':
            paragraph();
            break;
        default:
            break;
        }
        m_destinationPending = false;
    }

    void controlWord(const QByteArray &word, std::optional<int> parameter) {
        static const QSet<QByteArray> kSkipped{"fonttbl",      "stylesheet",
                                               "info",         "pict",
                                               "object",       "fldinst",
                                               "header",       "footer",
                                               "headerl",      "headerr",
                                               "footerl",      "footerr",
                                               "listtable",    "listoverridetable",
                                               "rsidtbl",      "generator",
                                               "themedata",    "colorschememapping",
                                               "latentstyles", "datastore",
                                               "xmlnstbl",     "bkmkstart",
                                               "bkmkend",      "footnote",
                                               "filetbl",      "revtbl",
                                               "pgdsctbl",     "nonshppict"};
        GroupState &s = state();
        const int p = parameter.value_or(1);
        if (kSkipped.contains(word)) {
            if (m_destinationPending)
                s.skip = true;
        } else if (word == "colortbl") {
            s.colourTable = true;
            s.skip = true;
            m_colours.clear();
            m_colours.append(QColor());
        } else if (s.colourTable && (word == "red" || word == "green" || word == "blue")) {
            QColor &colour = m_colours.last();
            if (!colour.isValid())
                colour = QColor(0, 0, 0);
            const int component = std::clamp(p, 0, 255);
            if (word == "red")
                colour.setRed(component);
            else if (word == "green")
                colour.setGreen(component);
            else
                colour.setBlue(component);
        } else if (word == "bin") {
            // Raw bytes follow; they may contain braces, so they are stepped over unread.
            m_pos = std::min(m_rtf.size(), m_pos + std::max(0, parameter.value_or(0)));
        } else if (word == "par") {
            paragraph();
        } else if (word == "line") {
            addChar(QChar(QChar::LineSeparator), false);
        } else if (word == "tab") {
            addChar(QChar(u'\t'), false);
        } else if (word == "b") {
            format([&] { s.bold = p != 0; });
        } else if (word == "i") {
            format([&] { s.italic = p != 0; });
        } else if (word == "ul") {
            format([&] { s.underline = p != 0; });
        } else if (word == "ulnone") {
            format([&] { s.underline = false; });
        } else if (word == "fs") {
            format([&] { s.halfPoints = std::clamp(p, 2, 400); });
        } else if (word == "cf") {
            format([&] { s.colour = p; });
        } else if (word == "plain") {
            format([&] {
                s.bold = s.italic = s.underline = false;
                s.halfPoints = 24;
                s.colour = 0;
            });
        } else if (word == "pard") {
            s.alignment = Qt::AlignLeft;
            s.spaceBefore = s.spaceAfter = 0;
        } else if (word == "sb") {
            s.spaceBefore = std::clamp(p, 0, 14400);
        } else if (word == "sa") {
            s.spaceAfter = std::clamp(p, 0, 14400);
        } else if (word == "qc") {
            s.alignment = Qt::AlignHCenter;
        } else if (word == "qr") {
            s.alignment = Qt::AlignRight;
        } else if (word == "qj") {
            s.alignment = Qt::AlignJustify;
        } else if (word == "ql") {
            s.alignment = Qt::AlignLeft;
        } else if (word == "uc") {
            s.unicodeSkip = std::clamp(p, 0, 16);
        } else if (word == "u") {
            // Signed 16-bit by the format; anything outside is no character.
            if (p >= -32768 && p <= 65535)
                addChar(QChar(char16_t(p < 0 ? p + 65536 : p)), false);
            m_fallbackToSkip = s.unicodeSkip;
        } else if (word == "emdash") {
            addChar(QChar(0x2014), false);
        } else if (word == "endash") {
            addChar(QChar(0x2013), false);
        } else if (word == "bullet") {
            addChar(QChar(0x2022), false);
        } else if (word == "lquote" || word == "rquote") {
            addChar(QChar(word == "lquote" ? 0x2018 : 0x2019), false);
        } else if (word == "ldblquote" || word == "rdblquote") {
            addChar(QChar(word == "ldblquote" ? 0x201c : 0x201d), false);
        }
    }

    template <typename Change> void format(Change change) {
        flush();
        change();
    }

    /// A character of the text; `fallback` ones may be the stand-in of a preceding \u.
    void addChar(QChar c, bool fallback) {
        if (fallback && m_fallbackToSkip > 0) {
            --m_fallbackToSkip;
            return;
        }
        m_fallbackToSkip = 0;
        GroupState &s = state();
        if (s.colourTable && c == u';') {
            m_colours.append(QColor());
            return;
        }
        if (s.skip)
            return;
        m_run.append(c);
    }

    void paragraph() {
        if (state().skip)
            return;
        flush();
        applyAlignment();
        m_cursor.insertBlock();
        m_blockStarted = false;
    }

    void applyAlignment() {
        QTextBlockFormat block = m_cursor.blockFormat();
        block.setAlignment(state().alignment);
        // Twips to pixels, 15 to one as everywhere in the program.
        block.setTopMargin(state().spaceBefore / 15.0);
        block.setBottomMargin(state().spaceAfter / 15.0);
        m_cursor.setBlockFormat(block);
    }

    void flush() {
        if (m_run.isEmpty())
            return;
        const GroupState &s = state();
        QTextCharFormat format;
        format.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(s.italic);
        format.setFontUnderline(s.underline);
        format.setFontPointSize(s.halfPoints / 2.0);
        if (s.colour > 0 && s.colour < m_colours.size() && m_colours[s.colour].isValid())
            format.setForeground(m_colours[s.colour]);
        if (!m_blockStarted) {
            applyAlignment();
            m_blockStarted = true;
        }
        m_cursor.insertText(m_run, format);
        m_run.clear();
    }

    QByteArrayView m_rtf;
    qsizetype m_pos = 0;
    QTextCursor m_cursor;
    QStringDecoder m_decoder;
    QList<GroupState> m_stack;
    QList<QColor> m_colours;
    QString m_run;
    int m_overflow = 0;
    int m_fallbackToSkip = 0;
    bool m_destinationPending = false;
    bool m_blockStarted = false;
};

} // namespace

void readRtf(QByteArrayView rtf, QTextDocument &document) {
    document.clear();
    Reader(rtf, document).read();
}

} // namespace help
