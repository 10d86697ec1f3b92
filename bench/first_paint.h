#pragma once

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

// Ends a whole-process measurement at the first paint of a window's list:
// once the paint that drew the list has been flushed, the probe prints one
// line and ends the process at once.
//
//   first_paint_ns=<CLOCK_MONOTONIC> cpu_us=<user+system> rss_kb=<VmRSS> hwm_kb=<VmHWM> rows=<n>
//
// rows is the number of lines the list held when it was painted.
//
// The driver took CLOCK_MONOTONIC just before it started the process, so the
// difference is the time from the user's command to the list on screen.
class FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(QMainWindow& window)
    {
        m_list = window.findChild<QAbstractItemView*>();
        if (!m_list)
            std::abort();
        m_list->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The paint runs inside the window's repaint, which flushes the
        // window to the display after it; a zero timer fires after both.
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            const int rows = m_list->model() ? m_list->model()->rowCount() : 0;
            QTimer::singleShot(0, [rows] { report(rows); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static long statusKb(const char* field)
    {
        std::FILE* status = std::fopen("/proc/self/status", "r");
        if (!status)
            return -1;
        char line[256];
        long kb = -1;
        const size_t length = std::char_traits<char>::length(field);
        while (std::fgets(line, sizeof line, status)) {
            if (std::char_traits<char>::compare(line, field, length) == 0) {
                kb = std::strtol(line + length, nullptr, 10);
                break;
            }
        }
        std::fclose(status);
        return kb;
    }

    static void report(int rows)
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long long cpuUs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL
                                + usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
        std::printf("first_paint_ns=%lld cpu_us=%lld rss_kb=%ld hwm_kb=%ld rows=%d\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, cpuUs,
                    statusKb("VmRSS:"), statusKb("VmHWM:"), rows);
        std::fflush(stdout);
        _exit(0);
    }

    QAbstractItemView* m_list = nullptr;
    bool m_seen = false;
};
