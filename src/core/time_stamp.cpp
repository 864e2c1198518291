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

} // namespace core
