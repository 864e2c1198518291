#include "core/time_stamp.h"

namespace core {

namespace {

// Built by hand rather than with QDateTime::toString, so that no locale (digits, calendar)
// can ever change the texts stored in the log.
QString zeroPadded(int number, int width) {
    return QString::number(number).rightJustified(width, u'0');
}

/// "hh:mm:ss"
QString timeText(QTime time) {
    return zeroPadded(time.hour(), 2) + u':' + zeroPadded(time.minute(), 2) + u':' +
           zeroPadded(time.second(), 2);
}

/// "mm-dd-yyyy"
QString dateText(QDate date) {
    return zeroPadded(date.month(), 2) + u'-' + zeroPadded(date.day(), 2) + u'-' +
           zeroPadded(date.year(), 4);
}

} // namespace

QString timeStamp(const QDateTime &localTime) {
    return timeText(localTime.time()) + u'/' + dateText(localTime.date());
}

QString clockText(const QDateTime &localTime) {
    return dateText(localTime.date()) + u' ' + timeText(localTime.time());
}

std::optional<QDateTime> readTimeStamp(QStringView stamp) {
    // "hh:mm:ss/mm-dd-yyyy": digits where digits belong, the separators at their places.
    constexpr QStringView kShape = u"00:00:00/00-00-0000";
    if (stamp.size() != kShape.size())
        return std::nullopt;
    for (qsizetype i = 0; i < stamp.size(); ++i) {
        const bool digit = stamp[i] >= u'0' && stamp[i] <= u'9';
        if (kShape[i] == u'0' ? !digit : stamp[i] != kShape[i])
            return std::nullopt;
    }
    const auto number = [stamp](qsizetype from, qsizetype length) {
        return stamp.mid(from, length).toInt();
    };
    const QDate date(number(15, 4), number(9, 2), number(12, 2));
    const QTime time(number(0, 2), number(3, 2), number(6, 2));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

QString isoTime(const QDateTime &localTime) {
    const QDate date = localTime.date();
    return zeroPadded(date.year(), 4) + u'-' + zeroPadded(date.month(), 2) + u'-' +
           zeroPadded(date.day(), 2) + u'T' + timeText(localTime.time());
}

} // namespace core
