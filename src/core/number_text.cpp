#include "core/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace core {

namespace {

bool isIgnoredBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

/// Walks a text while skipping the blanks the leading-number rule ignores.
class BlankSkippingCursor {
  public:
    explicit BlankSkippingCursor(QStringView text) : m_text(text) { skipBlanks(); }

    bool atEnd() const { return m_pos >= m_text.size(); }
    qsizetype position() const { return m_pos; }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    void advance() {
        ++m_pos;
        skipBlanks();
    }

  private:
    void skipBlanks() {
        while (m_pos < m_text.size() && isIgnoredBlank(m_text[m_pos]))
            ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

/// An optional "+" or "-"; true for "-".
bool readSign(BlankSkippingCursor &cursor) {
    const QChar c = cursor.peek();
    if (c != u'+' && c != u'-')
        return false;
    cursor.advance();
    return c == u'-';
}

/// Digits with at most one point, as ASCII; empty when no digit was read.
std::string readMantissa(BlankSkippingCursor &cursor) {
    std::string mantissa;
    bool sawPoint = false;
    bool sawDigit = false;
    for (;; cursor.advance()) {
        const QChar c = cursor.peek();
        if (isDigit(c)) {
            sawDigit = true;
        } else if (c == u'.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
        mantissa.push_back(static_cast<char>(c.unicode()));
    }
    return sawDigit ? mantissa : std::string();
}

/// "e" or "E", an optional sign and digits; 0 when no digit follows. Saturates far beyond any
/// double's exponent, so no text can overflow it.
long long readExponent(BlankSkippingCursor &cursor) {
    if (cursor.peek() != u'e' && cursor.peek() != u'E')
        return 0;
    cursor.advance();
    const bool negative = readSign(cursor);
    constexpr long long kSaturated = 1'000'000'000;
    long long exponent = 0;
    for (; isDigit(cursor.peek()); cursor.advance())
        exponent = std::min(kSaturated, exponent * 10 + (cursor.peek().unicode() - u'0'));
    return negative ? -exponent : exponent;
}

/// Decimal exponent of the leading significant digit of a mantissa, or nullopt when every
/// digit is zero.
std::optional<long long> leadingDigitExponent(const std::string &mantissa) {
    const auto point = mantissa.find('.');
    const auto wholeEnd = point == std::string::npos ? mantissa.size() : point;
    const auto first = mantissa.find_first_not_of("0.");
    if (first == std::string::npos)
        return std::nullopt;
    if (first < wholeEnd)
        return static_cast<long long>(wholeEnd - first) - 1;
    return -static_cast<long long>(first - point);
}

/// mantissa x 10^exponent; beyond the double range +infinity, below it 0.
double magnitudeOf(const std::string &mantissa, long long exponent) {
    const auto leading = leadingDigitExponent(mantissa);
    if (!leading)
        return 0.0;
    const std::string number = exponent == 0 ? mantissa : mantissa + 'e' + std::to_string(exponent);
    double magnitude = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), magnitude);
    if (result.ec == std::errc::result_out_of_range)
        return *leading + exponent >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return magnitude;
}

/// Turns the exponent of std::to_chars' general form into the upper-case one ("1.5E+07").
QString fromGeneralChars(const char *begin, const char *end) {
    QString text = QString::fromLatin1(begin, end - begin);
    const qsizetype e = text.indexOf(u'e');
    if (e >= 0)
        text[e] = u'E';
    return text;
}

template <typename Number> QString generalText(Number value, int significantDigits) {
    if (value == 0) // both zeros
        return QStringLiteral("0");
    if (std::isnan(value))
        return QStringLiteral("nan");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, significantDigits);
    return fromGeneralChars(buffer, result.ptr);
}

} // namespace

double leadingNumber(QStringView text) {
    BlankSkippingCursor cursor(text);
    const bool negative = readSign(cursor);
    const std::string mantissa = readMantissa(cursor);
    if (mantissa.empty())
        return 0.0;
    const double magnitude = magnitudeOf(mantissa, readExponent(cursor));
    return negative ? -magnitude : magnitude;
}

QString trimBlanks(QStringView text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == u' ')
        ++first;
    while (end > first && text[end - 1] == u' ')
        --end;
    return text.sliced(first, end - first).toString();
}

std::optional<double> strictNumber(QStringView text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isIgnoredBlank(text[first]))
        ++first;
    while (end > first && isIgnoredBlank(text[end - 1]))
        --end;
    const QStringView trimmed = text.sliced(first, end - first);
    if (std::any_of(trimmed.begin(), trimmed.end(), isIgnoredBlank))
        return std::nullopt;
    BlankSkippingCursor cursor(trimmed);
    const bool negative = readSign(cursor);
    const std::string mantissa = readMantissa(cursor);
    if (mantissa.empty())
        return std::nullopt;
    const qsizetype exponentStart = cursor.position();
    const long long exponent = readExponent(cursor);
    const bool exponentWithoutDigits =
        cursor.position() > exponentStart && !isDigit(trimmed[cursor.position() - 1]);
    if (!cursor.atEnd() || exponentWithoutDigits)
        return std::nullopt;
    const double magnitude = magnitudeOf(mantissa, exponent);
    if (std::isinf(magnitude))
        return std::nullopt;
    return negative ? -magnitude : magnitude;
}

QString singleText(float value) { return generalText(value, 7); }

QString doubleText(double value) { return generalText(value, 15); }

} // namespace core
