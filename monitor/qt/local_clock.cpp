#include "monitor/qt/local_clock.h"

#include <QDateTime>
#include <QLocale>

namespace monitor {

LocalStamp LocalNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale system = QLocale::system();
  LocalStamp stamp;
  stamp.year = now.date().year();
  stamp.month = now.date().month();
  stamp.day = now.date().day();
  stamp.short_date = system.toString(now.date(), QLocale::ShortFormat).toStdString();
  stamp.short_time = system.toString(now.time(), QLocale::LongFormat).toStdString();
  return stamp;
}

}  // namespace monitor
