#include <QFile>

#include "thread_name.h"

namespace lumora::testing {

QString ThreadName(pid_t threadId) {
  QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(threadId));
  return comm.open(QIODevice::ReadOnly) ? QString::fromLatin1(comm.readAll()).trimmed() : QString();
}

}  // namespace lumora::testing
