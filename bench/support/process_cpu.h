#pragma once
// The CPU time another process has used, for the benchmarks that measure a running program.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace rerov::bench {

// User plus system CPU time of a process in clock ticks (/proc/<pid>/stat fields 14, 15).
inline bool CpuTicks(qint64 pid, unsigned long long* ticks) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold spaces; the fields start after it.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0) return false;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // fields[0] is field 3 (state); utime is field 14, stime field 15.
    if (fields.size() < 13) return false;
    *ticks = fields[11].toULongLong() + fields[12].toULongLong();
    return true;
}

}  // namespace rerov::bench
