#include "core/clock.h"

namespace core {

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

} // namespace core
