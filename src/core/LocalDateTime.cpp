#include "core/LocalDateTime.h"

#include <QDate>
#include <cstdio>

namespace quillory {

bool LocalDateTime::isValid() const {
    return QDate::isValid(year, month, day) && hour >= 0 && hour < 24 && minute >= 0 &&
           minute < 60 && second >= 0 && second < 60 && msec >= 0 && msec < 1000;
}

std::string LocalDateTime::toSqlText() const {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return buffer;
}

} // namespace quillory
